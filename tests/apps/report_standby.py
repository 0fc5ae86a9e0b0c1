#!/usr/bin/python3
"""The reports on a PostgreSQL hot standby give what they give on its primary. The module only reads, so a
payroll can run its reports on a streaming replica; a statement that wrote, or took a lock a standby
refuses, would fail there.

    report_standby.py PG_CLUSTER_SH VNMRTGEN_DEMO VNMRTGEN_REPORT

Starts a primary and a standby streaming from it (pg-cluster.sh start / standby) under a temporary
directory, loads the scale-1 demo into the primary, waits until the standby has replayed the primary's WAL
position, runs every report type into XLSX against both and compares the workbooks cell by cell (the
printed time of day aside). Both servers are stopped whatever happens. Exits 1 when something differs or
fails, 77 (skipped) when the PostgreSQL server programs are missing and VNMRTGEN_REQUIRE_PG is not set.
"""
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

PERIOD = ["--company", "1", "--user", "ADMIN", "--from", "01/10/2026", "--to", "31/12/2026"]
# Every report type with the options the demo gives it (scripts/demo.sh).
REPORTS = [
    ("0", ["--account", "250505", "--kinds", "NADCXPV", "--prototypes", "9", "--classes", "1,2,3,4",
           "--observations", "Conciliación del cuarto trimestre de 2026."]),
    ("1", []),
    ("2", ["--classes", "1,2,3,4"]),
    ("3", ["--kinds", "NADCXPV", "--observations", "Novedades del cuarto trimestre de 2026."]),
    ("4", []),
    ("5", ["--prototypes", "7"]),
    ("6", ["--kinds", "N", "--prototypes", "8"]),
    ("7", []),
    ("8", []),
    ("9", []),
    ("10", ["--kinds", "NADCXPV"]),
]
REPLAY_TIMEOUT = 60
TIME_OF_DAY = re.compile(r"\b\d{1,2}:\d{2}(:\d{2})?\b")
ENV = dict(os.environ, QT_QPA_PLATFORM="offscreen")
SKIPPED = 77


def server_bin():
    """The newest installed PostgreSQL server's program folder, as pg-cluster.sh picks it; None if none."""
    found = sorted(glob.glob("/usr/lib/postgresql/*/bin"), key=lambda p: [int(x) for x in re.findall(r"\d+", p)])
    for folder in reversed(found):
        if all(os.access(os.path.join(folder, p), os.X_OK) for p in ("initdb", "pg_ctl", "pg_basebackup", "psql")):
            return folder
    return None


class Failure(Exception):
    pass


class PrivateCluster:
    """A throw-away cluster of its own (pg-cluster.sh start, the first free port from `port`) in a new
    temporary folder, stopped and removed on leaving: `with PrivateCluster(...) as c:` gives c.work (the
    folder), c.data (the cluster's folder, also its socket directory), c.server (its URL) and c.psql.
    Raises Failure when it does not start."""

    def __init__(self, cluster, prefix, port):
        self.cluster, self.prefix, self.port = cluster, prefix, port
        self.psql = os.path.join(server_bin(), "psql")

    def __enter__(self):
        self.work = tempfile.mkdtemp(prefix=self.prefix)
        os.chmod(self.work, 0o755)  # the cluster belongs to the postgres user when this runs as root
        self.data = os.path.join(self.work, "cluster")
        run = subprocess.run([self.cluster, "start", self.data, str(self.port)], capture_output=True, text=True,
                             timeout=120)
        if run.returncode != 0:
            shutil.rmtree(self.work, ignore_errors=True)
            raise Failure(run.stderr.strip())
        self.server = run.stdout.strip()
        return self

    def __exit__(self, *exc):
        subprocess.run([self.cluster, "stop", self.data], capture_output=True, timeout=120)
        shutil.rmtree(self.work, ignore_errors=True)
        return False


def verdict(name, problems):
    """Prints a case's outcome and its problems; 1 when it failed."""
    print(("ok   " if not problems else "FAIL ") + name)
    for p in problems:
        print("       " + p)
    return 1 if problems else 0


def without_server_programs():
    """None when PostgreSQL's server programs are installed; else the exit status: a failure when the run
    requires PostgreSQL, a skip otherwise."""
    if server_bin() is not None:
        return None
    print("faltan los programas del servidor PostgreSQL (initdb, pg_ctl, psql)")
    return 1 if os.environ.get("VNMRTGEN_REQUIRE_PG") else SKIPPED


def sql(psql, url, statement):
    run = subprocess.run([psql, "-AtX", "-v", "ON_ERROR_STOP=1", "-d", url, "-c", statement],
                         capture_output=True, text=True, timeout=60)
    if run.returncode != 0:
        raise Failure("%s en %s: %s" % (statement, url, run.stderr.strip()))
    return run.stdout.strip()


def with_database(url, name):
    return url.rsplit("/", 1)[0] + "/" + name


def wait_for_replay(psql, primary, standby):
    target = sql(psql, primary, "SELECT pg_current_wal_lsn()")
    deadline = time.monotonic() + REPLAY_TIMEOUT
    while True:
        replayed = sql(psql, standby, "SELECT pg_last_wal_replay_lsn()")
        if sql(psql, standby, "SELECT pg_last_wal_replay_lsn() >= '%s'::pg_lsn" % target) == "t":
            return
        if time.monotonic() > deadline:
            raise Failure("el servidor en espera no alcanzó la posición %s del primario en %d s (va en %s)"
                          % (target, REPLAY_TIMEOUT, replayed or "ninguna"))
        time.sleep(0.2)


def cells(path):
    """Every sheet as (title, {coordinate: (value, number format)}), times of day masked."""
    import openpyxl
    sheets = []
    for ws in openpyxl.load_workbook(path).worksheets:
        values = {}
        for row in ws.iter_rows():
            for c in row:
                if c.value is None:
                    continue
                value = TIME_OF_DAY.sub("hh:mm", c.value) if isinstance(c.value, str) else c.value
                values[c.coordinate] = (value, c.number_format)
        sheets.append((ws.title, values, sorted(str(r) for r in ws.merged_cells.ranges)))
    return sheets


def differences(left, right):
    if [s[0] for s in left] != [s[0] for s in right]:
        return ["hojas %s frente a %s" % ([s[0] for s in left], [s[0] for s in right])]
    found = []
    for (title, a, merged_a), (_, b, merged_b) in zip(left, right):
        for coordinate in sorted(set(a) | set(b)):
            if a.get(coordinate) != b.get(coordinate):
                found.append("%s!%s: %r frente a %r" % (title, coordinate, a.get(coordinate), b.get(coordinate)))
        if merged_a != merged_b:
            found.append("%s: celdas combinadas distintas" % title)
    if not any(s[1] for s in left):
        found.append("libro sin datos")
    return found


def report(command, url, report_type, options, xlsx):
    run = subprocess.run([command, "--db", url, "--type", report_type] + PERIOD + options + ["--xlsx", xlsx],
                         capture_output=True, text=True, env=ENV, timeout=300)
    if run.returncode != 0:
        # Progress bars go to stderr too; the message is its last line.
        raise Failure("tipo %s sobre %s: estado %d: %s"
                      % (report_type, url, run.returncode, run.stderr.strip().splitlines()[-1:] or ""))


def main():
    cluster, demo, command = sys.argv[1:4]
    folder = server_bin()
    if folder is None:
        print("faltan los programas del servidor PostgreSQL (initdb, pg_ctl, pg_basebackup, psql)")
        return 1 if os.environ.get("VNMRTGEN_REQUIRE_PG") else SKIPPED
    psql = os.path.join(folder, "psql")
    work = tempfile.mkdtemp(prefix="vnmrtgen-standby.")
    os.chmod(work, 0o755)  # the clusters belong to the postgres user when this runs as root
    primary_dir, standby_dir = os.path.join(work, "primary"), os.path.join(work, "standby")
    started = []
    failures = 0
    try:
        def start(*args):
            started.append(args[1])
            run = subprocess.run([cluster] + list(args), capture_output=True, text=True, timeout=120)
            if run.returncode != 0:
                raise Failure(run.stderr.strip())
            return run.stdout.strip()

        server = start("start", primary_dir, "5450")
        port = int(server.rsplit(":", 1)[1].split("/")[0])
        standby_server = start("standby", standby_dir, str(port + 1), server)
        if sql(psql, standby_server, "SELECT pg_is_in_recovery()") != "t":
            raise Failure("la copia no quedó en espera (pg_is_in_recovery falso)")
        sql(psql, server, "CREATE DATABASE nomina")
        primary, standby = with_database(server, "nomina"), with_database(standby_server, "nomina")
        load = subprocess.run([demo, "--postgresql", primary], capture_output=True, text=True, timeout=300)
        if load.returncode != 0:
            raise Failure("vnmrtgen-demo: " + load.stderr.strip())
        wait_for_replay(psql, server, standby_server)

        out = os.path.join(work, "out")
        os.mkdir(out)
        for report_type, options in REPORTS:
            problems = []
            try:
                paths = [os.path.join(out, "%s-%s.xlsx" % (report_type, side)) for side in ("primario", "espera")]
                report(command, primary, report_type, options, paths[0])
                report(command, standby, report_type, options, paths[1])
                problems = differences(cells(paths[0]), cells(paths[1]))
            except Failure as e:
                problems = [str(e)]
            print(("ok   " if not problems else "FAIL ") + "tipo " + report_type)
            for p in problems[:10]:
                print("       " + p)
            failures += 1 if problems else 0
    except Failure as e:
        print("FAIL " + str(e))
        failures += 1
    finally:
        for directory in reversed(started):
            subprocess.run([cluster, "stop", directory], capture_output=True, timeout=120)
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
