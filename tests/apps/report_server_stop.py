#!/usr/bin/python3
"""The PostgreSQL server stops while a report waits for its data: the batch command says so in Spanish,
exits 1 and leaves no file; once the server is back, the same command writes the report.

    report_server_stop.py PG_CLUSTER_SH VNMRTGEN_DEMO VNMRTGEN_REPORT

Starts a cluster of its own (pg-cluster.sh, ports from 5460 on), loads the scale-1 demo, and for each way an
administrator stops a server (fast: sessions are ended and told so; immediate: as in a crash) holds a lock
on the accumulated payroll table so that the report's statement is certainly running on the server when
it stops. Exits 1 on a difference, 77 (skipped) without PostgreSQL's server programs unless
VNMRTGEN_REQUIRE_PG is set.
"""
import os
import subprocess
import sys
import time

from report_standby import (ENV, PERIOD, Failure, PrivateCluster, sql, verdict, with_database,
                            without_server_programs)

# A fast shutdown ends each session as an administrator does; after an immediate one the connection just
# breaks. Either way the user learns that the server closed it, and what to do.
EXPECTED = ("Error del servidor de base de datos: el servidor PostgreSQL cerró la conexión (apagado o reinicio del "
            "servidor, o un administrador la terminó); vuelva a conectarse y repita la operación.")
WAIT = 60


def wait_until(what, probe):
    deadline = time.monotonic() + WAIT
    while not probe():
        if time.monotonic() > deadline:
            raise Failure("no ocurrió en %d s: %s" % (WAIT, what))
        time.sleep(0.1)


def stopped_mid_report(cluster, folder, psql, server, database, mode, out):
    """Problems found when the server stops in `mode` under a running report."""
    holder = subprocess.Popen([psql, "-AtX", "-d", database], stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, text=True)
    holder.stdin.write("BEGIN; LOCK TABLE nm_acumu IN ACCESS EXCLUSIVE MODE; SELECT pg_sleep(%d);\n" % WAIT)
    holder.stdin.flush()
    wait_until("el bloqueo de nm_acumu", lambda: sql(psql, database,
               "SELECT count(*) FROM pg_locks l JOIN pg_class c ON c.oid = l.relation "
               "WHERE c.relname = 'nm_acumu' AND l.mode = 'AccessExclusiveLock' AND l.granted") == "1")
    pdf, xlsx = os.path.join(out, mode + ".pdf"), os.path.join(out, mode + ".xlsx")
    command = [REPORT, "--db", database, "--type", "4"] + PERIOD + ["--pdf", pdf, "--xlsx", xlsx]
    report = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=ENV)
    wait_until("el informe esperando sus datos", lambda: sql(psql, database,
               "SELECT count(*) FROM pg_stat_activity WHERE application_name = 'VNmRtgen' "
               "AND wait_event_type = 'Lock'") == "1")
    subprocess.run([cluster, "stop", folder, mode], capture_output=True, timeout=120)
    _, err = report.communicate(timeout=WAIT)
    holder.stdin.close()
    holder.wait(timeout=WAIT)
    problems = []
    last = (err.strip().splitlines() or [""])[-1]
    if report.returncode != 1:
        problems.append("estado %d en vez de 1" % report.returncode)
    if last != EXPECTED:
        problems.append("mensaje %r" % last)
    left = sorted(os.listdir(out))
    if left:
        problems.append("quedaron archivos: %s" % left)

    # The server back: the same command writes both files.
    resumed = subprocess.run([cluster, "resume", folder, server.rsplit(":", 1)[1].split("/")[0]],
                             capture_output=True, text=True, timeout=120)
    if resumed.returncode != 0 or resumed.stdout.strip() != server:
        raise Failure("el servidor no volvió en su puerto: " + (resumed.stderr.strip() or resumed.stdout.strip()))
    again = subprocess.run(command, capture_output=True, text=True, env=ENV, timeout=300)
    if again.returncode != 0 or not (os.path.getsize(pdf) > 0 and os.path.getsize(xlsx) > 0):
        problems.append("con el servidor de vuelta: estado %d %s" % (again.returncode, again.stderr.strip()[-200:]))
    for name in os.listdir(out):
        os.remove(os.path.join(out, name))
    return problems


def main():
    global REPORT
    cluster, demo, REPORT = sys.argv[1:4]
    status = without_server_programs()
    if status is not None:
        return status
    failures = 0
    try:
        with PrivateCluster(cluster, "vnmrtgen-stop.", 5460) as c:
            sql(c.psql, c.server, "CREATE DATABASE nomina")
            database = with_database(c.server, "nomina")
            load = subprocess.run([demo, "--postgresql", database], capture_output=True, text=True, timeout=300)
            if load.returncode != 0:
                raise Failure("vnmrtgen-demo: " + load.stderr.strip())
            out = os.path.join(c.work, "out")
            os.mkdir(out)
            for mode in ("fast", "immediate"):
                problems = stopped_mid_report(cluster, c.data, c.psql, c.server, database, mode, out)
                failures += verdict("servidor detenido (" + mode + ")", problems)
    except Failure as e:
        print("FAIL " + str(e))
        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
