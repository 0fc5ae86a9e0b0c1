#!/usr/bin/python3
"""The batch command vnmrtgen-report on the demo database: --help, the --list calls, the exit status and
exact message of input and validation errors, the dispatch to a builder and the files it writes.

    report_cli.py VNMRTGEN_REPORT DATABASE

Each case is a row: arguments, expected exit status, and either the exact stderr message or lines that
stdout must hold. Exits 1 when a case fails.
"""
import os
import subprocess
import sys
import tempfile

PERIOD = ["--from", "01/03/2026", "--to", "31/03/2026"]


def main(command, database):
    out_dir = tempfile.mkdtemp(prefix="vnmrtgen-report-")
    pdf = os.path.join(out_dir, "informe.pdf")
    written = {name: os.path.join(out_dir, name) for name in ("type4.pdf", "type0.pdf", "type0.xlsx", "type9.xlsx")}
    db = ["--db", database]
    report = db + ["--company", "1"]

    # (name, arguments, exit status, exact stderr message or None, lines stdout must contain)
    cases = [
        ("help documents every option", ["--help"], 0, None,
         ["--" + o for o in ("db", "company", "type", "from", "to", "kinds", "classes", "prototypes", "account",
                             "observations", "pdf", "xlsx", "date-format", "user", "list")]),
        ("help lists the eleven types", ["--help"], 0, None,
         ["Conciliación de Nómina", "Gestión Humana", "Consolidado Vacaciones"]),
        ("list companies", db + ["--list", "companies"], 0, None,
         ["1\tSERVICIOS TEMPORALES ANDINOS S.A.S.", "4\tCOMERCIALIZADORA DEL CARIBE S.A.S."]),
        ("list classes of a company", report + ["--list", "classes"], 0, None,
         ["1\tNOMINA ADMINISTRATIVA", "3\tCONDUCTORES"]),
        ("list prototypes of a company", report + ["--list", "prototypes"], 0, None,
         ["7\tCOMISIONES CONDUCTORES", "14\tRETENCION EN LA FUENTE"]),
        ("list classes needs a company", db + ["--list", "classes"], 2, "Falta la opción --company.", []),
        ("list of something else", db + ["--list", "employees"], 2,
         "--list admite companies, classes o prototypes, no 'employees'.", []),
        ("unknown company", db + ["--company", "9", "--list", "classes"], 2, "Empresa 9 no encontrada.", []),
        ("missing database file", ["--db", "/nonexistent/none.sqlite", "--list", "companies"], 1,
         "No se pudo abrir la base de datos '/nonexistent/none.sqlite': el archivo no existe.", []),
        ("unknown option", db + ["--colour", "red"], 2, None, []),
        ("type out of range", report + ["--type", "11"] + PERIOD + ["--pdf", pdf], 2,
         "Tipo de reporte inválido: 11 (use 0 a 10).", []),
        ("no output file", report + ["--type", "4"] + PERIOD, 2, "Indique --pdf, --xlsx o ambos.", []),
        ("unknown payroll kind letter", report + ["--type", "3", "--kinds", "NZ"] + PERIOD + ["--pdf", pdf], 2,
         "Tipo de nómina desconocido: 'Z' (use las letras NADCXPV).", []),
        ("unknown class", report + ["--type", "2", "--classes", "1,77"] + PERIOD + ["--pdf", pdf], 2,
         "Clase de nómina no encontrada...", []),
        ("unknown prototype", report + ["--type", "5", "--prototypes", "3,99"] + PERIOD + ["--pdf", pdf], 2,
         "Prototipo no encontrado...", []),
        ("class code that is no number", report + ["--type", "2", "--classes", "1,x"] + PERIOD + ["--pdf", pdf], 2,
         "Código de clase de nómina inválido: 'x'.", []),
        ("impossible start date", report + ["--type", "4", "--from", "31/02/2026", "--to", "31/03/2026",
                                            "--pdf", pdf], 2, "Fecha inicial inválida. Revise por favor.", []),
        ("impossible end date", report + ["--type", "4", "--from", "01/03/2026", "--to", "32/03/2026",
                                          "--pdf", pdf], 2, "Fecha final inválida. Revise por favor.", []),
        ("type 10 with an impossible end date", report + ["--type", "10", "--kinds", "N", "--from", "01/01/2026",
                                                          "--to", "2026", "--pdf", pdf], 2,
         "Fecha final inválida. Revise por favor.", []),
        ("account before date order", report + ["--type", "0", "--from", "31/03/2026", "--to", "01/03/2026",
                                                "--pdf", pdf], 2, "Debe ingresar una cuenta válida.", []),
        ("account of blanks", report + ["--type", "0", "--account", "   "] + PERIOD + ["--pdf", pdf], 2,
         "Debe ingresar una cuenta válida.", []),
        ("date order before kinds", report + ["--type", "0", "--account", "510506", "--from", "31/03/2026",
                                              "--to", "01/03/2026", "--pdf", pdf], 2,
         "La fecha inicial no puede ser mayor a la fecha final.", []),
        ("kinds before prototypes", report + ["--type", "0", "--account", "510506"] + PERIOD + ["--pdf", pdf], 2,
         "Debe seleccionar un tipo de nómina...", []),
        ("prototypes before classes", report + ["--type", "0", "--account", "510506", "--kinds", "N"] + PERIOD +
         ["--pdf", pdf], 2, "Debe seleccionar un prototipo...", []),
        ("classes last", report + ["--type", "0", "--account", "510506", "--kinds", "N", "--prototypes", "9"] +
         PERIOD + ["--pdf", pdf], 2, "No ha seleccionado ninguna Clase de Nómina para validar.", []),
        ("type 2 requires a class", report + ["--type", "2"] + PERIOD + ["--pdf", pdf], 2,
         "No ha seleccionado ninguna Clase de Nómina para validar.", []),
        ("type 6 requires a kind", report + ["--type", "6", "--prototypes", "8"] + PERIOD + ["--pdf", pdf], 2,
         "Debe seleccionar un tipo de nómina...", []),
        ("date format of the command line", report + ["--type", "4", "--date-format", "yyyy-MM-dd",
                                                      "--from", "01/03/2026", "--to", "2026-03-31", "--pdf", pdf],
         2, "Fecha inicial inválida. Revise por favor.", []),
        ("date format that is no date pattern", report + ["--type", "4", "--date-format", "dd.MM", "--pdf", pdf] +
         PERIOD, 2, "Formato de fecha inválido: 'dd.MM' (use por ejemplo dd/MM/yyyy).", []),
        # A valid request runs its builder and writes the files asked for.
        ("valid request writes the report", report + ["--type", "4"] + PERIOD + ["--pdf", written["type4.pdf"]], 0,
         None, []),
        ("complete reconciliation writes the report",
         report + ["--type", "0", "--account", "250505", "--kinds", "NP", "--prototypes", "9", "--classes", "1,2",
                   "--observations", "Cierre de marzo"] + PERIOD + ["--pdf", written["type0.pdf"],
                                                                   "--xlsx", written["type0.xlsx"]], 0, None, []),
        ("date format applied to the period", report + ["--type", "9", "--date-format", "yyyy-MM-dd",
                                                        "--from", "2026-03-01", "--to", "2026-03-31", "--xlsx",
                                                        written["type9.xlsx"]], 0, None, []),
        # A type whose builder this version lacks says so, and is no input error.
        ("report not in this version", report + ["--type", "5", "--prototypes", "7"] + PERIOD + ["--pdf", pdf], 1,
         "El informe \"Comisiones Conductores\" no está disponible en esta versión.", []),
    ]

    failures = 0
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    for name, args, status, message, lines in cases:
        run = subprocess.run([command] + args, capture_output=True, text=True, env=env, timeout=120)
        problems = []
        if run.returncode != status:
            problems.append("exit status %d, expected %d" % (run.returncode, status))
        if message is not None and run.stderr != message + "\n":
            problems.append("stderr %r, expected %r" % (run.stderr, message + "\n"))
        if status != 0 and run.stdout:
            problems.append("stdout not empty: %r" % run.stdout[:200])
        if status == 0 and run.stderr:
            problems.append("stderr not empty: %r" % run.stderr[:200])
        for line in lines:
            if line not in run.stdout.splitlines() and line not in run.stdout:
                problems.append("stdout lacks %r" % line)
        print(("ok   " if not problems else "FAIL ") + name)
        for p in problems:
            print("       " + p)
        failures += bool(problems)
    if os.path.exists(pdf):
        print("FAIL a failed run left " + pdf)
        failures += 1
    for path in written.values():
        if not os.path.exists(path):
            print("FAIL not written: " + path)
            failures += 1
            continue
        with open(path, "rb") as f:
            head = f.read(4)
        if head not in (b"%PDF", b"PK\x03\x04"):
            print("FAIL not a PDF or spreadsheet: " + path)
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        print(__doc__)
        sys.exit(2)
    sys.exit(main(sys.argv[1], sys.argv[2]))
