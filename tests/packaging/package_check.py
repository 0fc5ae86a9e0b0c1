#!/usr/bin/python3
"""The Debian package as a user receives it: builds it with CPack from the finished build, reads its control
file and contents, unpacks it into a scratch root (no system change, no root needed) and runs the unpacked
programs from there with LD_LIBRARY_PATH unset, so that they find only what an installed copy would.

    package_check.py CPACK BUILD_DIR VERSION DATABASE

Exits 1 when a check fails, naming each.
"""
import configparser
import glob
import gzip
import os
import re
import subprocess
import sys
import tempfile

PROGRAMS = ["vnmrtgen", "vnmrtgen-report", "vnmrtgen-demo"]
# What the programs load by name at run time, which dpkg-shlibdeps cannot see, plus libqt6gui6, whose
# platform plug-ins (offscreen, xcb) every program opens.
RUNTIME_PACKAGES = ["libqt6sql6-sqlite", "libqt6sql6-psql", "libqt6gui6", "fonts-liberation2",
                    "fonts-dejavu-core"]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def run(args, **kwargs):
    return subprocess.run(args, capture_output=True, timeout=120, **kwargs)


def control_fields(deb):
    text = run(["dpkg-deb", "-f", deb]).stdout.decode()
    fields = {}
    for line in text.splitlines():
        if line and not line[0].isspace() and ":" in line:
            key, value = line.split(":", 1)
            fields[key] = value.strip()
    return fields


def depends_names(depends):
    """Package names of a Depends field, without versions or alternatives' order."""
    return {re.split(r"[\s(]", alt.strip())[0] for part in depends.split(",") for alt in part.split("|")}


def man_text(path):
    """The words a reader sees of a roff page: escaped hyphens and font changes undone."""
    with gzip.open(path, "rt", encoding="utf-8") as f:
        roff = f.read()
    return roff, re.sub(r"\\f[BIRP]", "", roff).replace("\\-", "-").replace("\\e", "\\")


def help_options(program, env):
    out = run([program, "--help"], env=env).stdout.decode()
    return sorted(set(re.findall(r"(?<![\w-])(--[a-z][a-z-]*|-h)\b", out)))


def main():
    cpack, build_dir, version, database = sys.argv[1:5]
    with tempfile.TemporaryDirectory(prefix="vnmrtgen-package.") as scratch:
        # Packed outside the build directory, so that a second build tree testing at the same time, or a
        # package the user made by hand, is never overwritten.
        packed = run([cpack, "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-G", "DEB",
                      "-B", os.path.join(scratch, "out")])
        debs = glob.glob(os.path.join(scratch, "out", "*.deb"))
        if not check(packed.returncode == 0 and len(debs) == 1,
                     "cpack failed: %s" % (packed.stdout + packed.stderr).decode(errors="replace")):
            return
        deb = debs[0]

        fields = control_fields(deb)
        check(fields.get("Package") == "vnmrtgen", "Package is %r" % fields.get("Package"))
        check(fields.get("Version") == version, "Version %r, project version %r" % (fields.get("Version"), version))
        check(bool(fields.get("Maintainer")), "no Maintainer")
        depends = depends_names(fields.get("Depends", ""))
        for package in RUNTIME_PACKAGES:
            check(package in depends, "Depends lacks %s: %s" % (package, fields.get("Depends")))
        # libstdc++ comes only from dpkg-shlibdeps reading the programs: its absence means it did not run.
        check("libstdc++6" in depends, "Depends has nothing from dpkg-shlibdeps: %s" % fields.get("Depends"))

        listing = run(["dpkg-deb", "-c", deb]).stdout.decode()
        paths = {line.split()[-1].lstrip(".") for line in listing.splitlines() if line.strip()}
        expected = ["/usr/bin/" + p for p in PROGRAMS] + ["/usr/share/man/man1/%s.1.gz" % p for p in PROGRAMS] + [
            "/usr/lib/libVNmRtgen.so", "/usr/share/applications/vnmrtgen.desktop",
            "/usr/share/icons/hicolor/scalable/apps/vnmrtgen.svg"]
        for path in expected:
            check(path in paths, "package lacks %s" % path)

        root = os.path.join(scratch, "root")
        check(run(["dpkg-deb", "-x", deb, root]).returncode == 0, "dpkg-deb -x failed")
        usr = os.path.join(root, "usr")
        env = {k: v for k, v in os.environ.items() if k not in ("LD_LIBRARY_PATH", "VNMRTGEN_PLUGIN")}
        env["QT_QPA_PLATFORM"] = "offscreen"

        # An installed binary must not point back into the tree it was built in.
        for binary in ["bin/" + p for p in PROGRAMS] + ["lib/libVNmRtgen.so"]:
            dynamic = run(["readelf", "-d", os.path.join(usr, binary)]).stdout.decode()
            for line in dynamic.splitlines():
                if "RPATH" in line or "RUNPATH" in line:
                    check(os.path.realpath(build_dir) not in line, "%s keeps the build tree: %s" % (binary, line))

        for program in PROGRAMS:
            installed = os.path.join(usr, "bin", program)
            shown = run([installed, "--version"], env=env).stdout.decode()
            check(shown.split() == [program, version], "%s --version says %r" % (program, shown))
            # The page must document every option --help lists: a new option without its page fails here.
            page = os.path.join(usr, "share/man/man1/%s.1.gz" % program)
            try:
                roff, text = man_text(page)
            except (OSError, EOFError, UnicodeDecodeError) as error:
                check(False, "%s: %s" % (page, error))
                continue
            check(".TH %s 1" % program.upper() in roff, "%s has no .TH %s 1 line" % (page, program.upper()))
            for option in help_options(installed, env):
                check(re.search(r"(?<![\w-])%s\b" % re.escape(option), text),
                      "%s: %s of --help is not documented" % (page, option))

        desktop = configparser.ConfigParser(interpolation=None)
        desktop.optionxform = str
        desktop.read(os.path.join(usr, "share/applications/vnmrtgen.desktop"), encoding="utf-8")
        entry = desktop["Desktop Entry"] if desktop.has_section("Desktop Entry") else {}
        check(entry.get("Type") == "Application", "desktop entry Type %r" % entry.get("Type"))
        executable = (entry.get("Exec") or " ").split()[0]
        check(os.path.exists(os.path.join(usr, "bin", executable)), "desktop Exec runs %r, not packaged" % executable)
        icon = os.path.join(usr, "share/icons/hicolor/scalable/apps/%s.svg" % entry.get("Icon"))
        check(os.path.exists(icon), "desktop Icon %r has no packaged icon" % entry.get("Icon"))

        # The batch command from the unpacked root: Qt, its SQLite driver and fonts from the system, the
        # module's code from the package only.
        pdf = os.path.join(scratch, "out.pdf")
        report = run([os.path.join(usr, "bin/vnmrtgen-report"), "--db", database, "--company", "1", "--type", "4",
                      "--from", "01/10/2026", "--to", "31/12/2026", "--pdf", pdf], env=env, cwd=scratch)
        check(report.returncode == 0, "unpacked vnmrtgen-report exited %d: %s"
              % (report.returncode, report.stderr.decode(errors="replace")))
        check(os.path.exists(pdf) and open(pdf, "rb").read(5) == b"%PDF-", "unpacked vnmrtgen-report wrote no PDF")

        # The desktop program must load the packaged plug-in (through ../lib of its own directory), not the
        # build tree's, which it would also find here: the loader's trace names the file it opened. The
        # screenshot shows that the form opened on the database.
        png = os.path.join(scratch, "window.png")
        window = run([os.path.join(usr, "bin/vnmrtgen"), "--db", database, "--company", "1", "--screenshot", png],
                     env=dict(env, LD_DEBUG="files"), cwd=scratch)
        trace = window.stderr.decode(errors="replace")
        check(window.returncode == 0, "unpacked vnmrtgen exited %d: %s" % (window.returncode, trace[-2000:]))
        loaded = {os.path.realpath(f) for f in re.findall(r"file=(\S*libVNmRtgen\.so)\b", trace)}
        check(loaded == {os.path.realpath(os.path.join(usr, "lib/libVNmRtgen.so"))},
              "unpacked vnmrtgen loaded %s" % (sorted(loaded) or "no libVNmRtgen.so"))
        check(os.path.exists(png) and open(png, "rb").read(8) == b"\x89PNG\r\n\x1a\n",
              "unpacked vnmrtgen saved no screenshot")


main()
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
