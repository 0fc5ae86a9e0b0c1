#!/usr/bin/python3
"""The batch command logs in to PostgreSQL as every other client of the server does: through the socket
directory named as host, and with the password libpq finds by itself (passfile=, PGPASSWORD, ~/.pgpass, a
service of pg_service.conf) when the locator carries none. A password written in --db still works but is
warned about, since it shows in the process list.

    report_server_login.py PG_CLUSTER_SH VNMRTGEN_REPORT

Starts its own cluster (pg-cluster.sh, ports from 5480 on) whose pg_hba.conf makes one role log in with a
SCRAM password over the socket and TCP alike, so that a password that is not found, or is wrong, fails.
Each case lists the companies of a one-company database. Exits 1 when a case fails, 77 (skipped) when
the PostgreSQL server programs are missing and VNMRTGEN_REQUIRE_PG is not set.
"""
import os
import subprocess
import sys

from report_standby import Failure, PrivateCluster, verdict, without_server_programs

ROLE, PASSWORD = "informes", "Cl4ve-Nomina"
LISTED = "1\tEmpresa Uno\n"
WARNING = ("Aviso: la contraseña escrita en --db queda a la vista de otros usuarios en la lista de procesos; "
           "use PGPASSWORD o ~/.pgpass.\n")
REFUSED = "No se pudo abrir la base de datos 'nomina': el servidor PostgreSQL rechazó el usuario o la contraseña"


def private_file(path, text):
    with open(path, "w") as f:
        f.write(text)
    os.chmod(path, 0o600)  # libpq ignores a password file others can read
    return path


def main():
    cluster, command = sys.argv[1:3]
    status = without_server_programs()
    if status is not None:
        return status
    failures = 0
    try:
        with PrivateCluster(cluster, "vnmrtgen-login.", 5480) as c:
            psql, work, sockets, admin = c.psql, c.work, c.data, c.server
            port = admin.rsplit(":", 1)[1].split("/")[0]

            def sql(database, statement):
                url = admin.rsplit("/", 1)[0] + "/" + database
                subprocess.run([psql, "-qAtX", "-v", "ON_ERROR_STOP=1", "-d", url, "-c", statement], check=True,
                               capture_output=True, timeout=60)

            sql("postgres", "CREATE ROLE %s LOGIN PASSWORD '%s'" % (ROLE, PASSWORD))
            sql("postgres", "CREATE DATABASE nomina")
            sql("nomina", "CREATE TABLE GN_EMPRE (COD_EMPR SMALLINT, NOM_EMPR VARCHAR(60), NIT_EMPR VARCHAR(20), "
                          "BMP_REPO BYTEA); INSERT INTO GN_EMPRE VALUES (1, 'Empresa Uno', '900', NULL); "
                          "GRANT SELECT ON GN_EMPRE TO %s" % ROLE)
            # Lines are read top down: these come before initdb's trust lines.
            hba = os.path.join(sockets, "data", "pg_hba.conf")
            with open(hba) as f:
                rules = f.read()
            with open(hba, "w") as f:
                f.write("local all %s scram-sha-256\nhost all %s 127.0.0.1/32 scram-sha-256\n%s" % (ROLE, ROLE, rules))
            sql("postgres", "SELECT pg_reload_conf()")

            home = os.path.join(work, "home")
            os.mkdir(home)
            right = private_file(os.path.join(work, "right.pgpass"), "*:*:nomina:%s:%s\n" % (ROLE, PASSWORD))
            own_home = os.path.join(work, "own-home")
            os.mkdir(own_home)
            private_file(os.path.join(own_home, ".pgpass"), "*:*:nomina:%s:%s\n" % (ROLE, PASSWORD))
            wrong = private_file(os.path.join(work, "wrong.pgpass"), "*:*:nomina:%s:Otra-Clave\n" % ROLE)
            services = os.path.join(work, "pg_service.conf")
            with open(services, "w") as f:
                f.write("[nomina]\nhost=%s\nport=%s\ndbname=nomina\nuser=%s\n" % (sockets, port, ROLE))
            socket_url = "postgresql://%s@/nomina?host=%s&port=%s" % (ROLE, sockets.replace("/", "%2F"), port)
            tcp_url = "postgresql://%s@127.0.0.1:%s/nomina" % (ROLE, port)
            with_home = {"HOME": home}
            # Each case: name, --db, environment added, whether companies are listed, whether it warns.
            cases = [
                ("socket directory, passfile=", socket_url + "&passfile=" + right, {}, True, False),
                ("wrong password in passfile=", socket_url + "&passfile=" + wrong, {}, False, False),
                ("PGPASSWORD", tcp_url, {"PGPASSWORD": PASSWORD}, True, False),
                ("~/.pgpass", tcp_url, {"HOME": own_home}, True, False),
                ("PGPASSFILE", tcp_url, {"PGPASSFILE": right}, True, False),
                ("service=", "postgresql:///?service=nomina", {"PGSERVICEFILE": services, "PGPASSWORD": PASSWORD},
                 True, False),
                ("password in --db", "postgresql://%s:%s@127.0.0.1:%s/nomina" % (ROLE, PASSWORD, port), {}, True, True),
                ("no password anywhere", tcp_url, {}, False, False),
            ]
            base = {k: v for k, v in os.environ.items() if not k.startswith("PG")}
            base.update(QT_QPA_PLATFORM="offscreen", **with_home)
            for name, db, extra, listed, warned in cases:
                run = subprocess.run([command, "--db", db, "--list", "companies"], capture_output=True, text=True,
                                     env=dict(base, **extra), timeout=60)
                problems = []
                if listed and (run.returncode != 0 or run.stdout != LISTED):
                    problems.append("estado %d, salida %r, errores %r" % (run.returncode, run.stdout, run.stderr))
                if not listed and (run.returncode != 1 or not run.stderr.startswith(REFUSED)):
                    problems.append("estado %d, errores %r" % (run.returncode, run.stderr))
                if (WARNING in run.stderr) != warned or (warned and not run.stderr.startswith(WARNING)):
                    problems.append("aviso de contraseña %s: %r" % ("ausente" if warned else "de más", run.stderr))
                if "Otra-Clave" in run.stderr or (PASSWORD in run.stderr):
                    problems.append("la contraseña aparece en los mensajes")
                failures += verdict(name, problems)
    except Failure as e:
        print("FAIL " + str(e))
        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
