#!/usr/bin/env python3
"""Times setup.exe from start to exit under Wine against bare-launcher.exe,
the least a launcher can do (load dropnestlib.dll, call PreInstall once,
exit), both with the same test library beside them.

The two run alternately, so that whatever else the machine does falls on
both alike; setup-driver.exe measures each run inside Wine, from
CreateProcessA to the end of the process. Prints the medians and their
ratio; with --doc, writes them into the part of that file between
"<!-- startup-table:begin -->" and "<!-- startup-table:end -->".

With --pinned-release (a release pinned to its package, as the Windows
build's tests/e2e/pinned-release) and --standin (the system DLL its library
imports, put into the prefix's system folder for the run), two more rows:
that release's setup.exe, which checks every file of its package before
loading it, and the unpinned setup.exe with the same package.

Usage: bench-startup.py --wine-run W --prefix P --driver D --setup S
                        --bare B --library L [--pinned-release R --standin DLL]
                        [--runs N] [--doc FILE]

Standard library only. A timing, not a test: `make bench-startup`.
"""

import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys

FOLDER = "Startup-Bench"  # on the prefix's C: drive
BEGIN = "<!-- startup-table:begin -->"
END = "<!-- startup-table:end -->"
GOAL = 1.1


def run_once(args, program):
    """One start of `program` (a C: path); its time in microseconds."""
    output = subprocess.run(
        [args.wine_run, args.driver, "--report-time", "--timeout", "30", program],
        stdin=subprocess.DEVNULL, capture_output=True, check=True, timeout=120).stdout.decode()
    match = re.search(r"exit code: 0 .*\n.*elapsed: (\d+) us", output)
    if match is None:
        raise SystemExit("bench-startup: unexpected output from %s:\n%s" % (program, output))
    return int(match.group(1))


def write_doc(path, text):
    with open(path, encoding="utf-8") as f:
        doc = f.read()
    pattern = re.compile(re.escape(BEGIN) + ".*?" + re.escape(END), re.S)
    if not pattern.search(doc):
        raise SystemExit("bench-startup: %s has no %s ... %s section" % (path, BEGIN, END))
    with open(path, "w", encoding="utf-8") as f:
        f.write(pattern.sub(lambda _: "%s\n%s\n%s" % (BEGIN, text, END), doc))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    for name in ("wine-run", "prefix", "driver", "setup", "bare", "library"):
        parser.add_argument("--" + name, required=True)
    parser.add_argument("--pinned-release", help="a pinned release folder (two more rows)")
    parser.add_argument("--standin", help="the system DLL the pinned release's library imports")
    parser.add_argument("--runs", type=int, default=25, help="runs of each (at least 20)")
    parser.add_argument("--doc", help="the page to write the table into")
    args = parser.parse_args(argv)
    if args.runs < 20:
        parser.error("--runs must be at least 20")
    if (args.pinned_release is None) != (args.standin is None):
        parser.error("--pinned-release and --standin go together")

    folder = os.path.join(args.prefix, "drive_c", FOLDER)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    shutil.copyfile(args.setup, os.path.join(folder, "setup.exe"))
    shutil.copyfile(args.bare, os.path.join(folder, "bare-launcher.exe"))
    shutil.copyfile(args.library, os.path.join(folder, "dropnestlib.dll"))
    programs = {"setup.exe": "C:\\%s\\setup.exe" % FOLDER,
                "bare-launcher.exe": "C:\\%s\\bare-launcher.exe" % FOLDER}
    standin = None
    if args.pinned_release:
        size = sum(os.path.getsize(os.path.join(root, name))
                   for root, _, names in os.walk(args.pinned_release) for name in names
                   if not (root == args.pinned_release and name == "setup.exe"))
        pinned_row = "setup.exe pinned (package of %d KiB)" % (size // 1024)
        for sub, program in (("pinned", None), ("unpinned", args.setup)):
            shutil.copytree(args.pinned_release, os.path.join(folder, sub))
            if program:
                shutil.copyfile(program, os.path.join(folder, sub, "setup.exe"))
        programs[pinned_row] = "C:\\%s\\pinned\\setup.exe" % FOLDER
        programs["setup.exe unpinned, same package"] = "C:\\%s\\unpinned\\setup.exe" % FOLDER
        windows = os.path.join(args.prefix, "drive_c", "windows")
        system = "syswow64" if os.path.isdir(os.path.join(windows, "syswow64")) else "system32"
        standin = os.path.join(windows, system, os.path.basename(args.standin))
        shutil.copyfile(args.standin, standin)
    times = {name: [] for name in programs}
    try:
        for name, program in programs.items():
            run_once(args, program)  # warms Wine's caches; not counted
        for _ in range(args.runs):
            for name, program in programs.items():
                times[name].append(run_once(args, program))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
        if standin:
            os.remove(standin)

    medians = {name: statistics.median(values) / 1000.0 for name, values in times.items()}
    ratio = medians["setup.exe"] / medians["bare-launcher.exe"]
    table = "\n".join([
        "| program | median, ms | fastest, ms | runs |",
        "|---|---|---|---|",
    ] + ["| %s | %.1f | %.1f | %d |" % (name, medians[name], min(times[name]) / 1000.0,
                                        len(times[name])) for name in programs] + [
        "",
        "setup.exe ÷ bare-launcher.exe: **%.2f** (goal: at most %.1f)." % (ratio, GOAL),
    ])
    if args.pinned_release:
        table += ("\n\nPinned ÷ unpinned with the same package: **%.2f** (the checks: bcrypt.dll "
                  "loaded, every file opened and hashed through its handle)."
                  % (medians[pinned_row] / medians["setup.exe unpinned, same package"]))
    print(table)
    if args.doc:
        write_doc(args.doc, table)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
