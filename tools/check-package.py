#!/usr/bin/env python3
"""Shows the pin list that a released setup.exe carries and, given a folder,
checks that folder as setup.exe would before it loads anything.

Usage: check-package.py SETUP.EXE [DIR]

Prints every pinned file (its size, SHA-256, and for companions their place
in the load order). With DIR: one line per file that is missing, of another
size or of another SHA-256, and status 1 when any differs. Status 2 when
SETUP.EXE carries no pin list or an unsound one (setup.exe refuses to run
with such a list). Files in DIR that the list does not name are never
loaded by setup.exe and are reported as not pinned, without failing.

Needs pefile (Debian: python3-pefile).
"""

import hashlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pin_list  # noqa: E402  (beside this file)

pefile = pin_list.pefile


def main(argv):
    if len(argv) not in (2, 3) or argv[1].startswith("-"):
        print(__doc__)
        return 2
    try:
        data = pin_list.from_program(pefile.PE(argv[1]))
    except (OSError, pefile.PEFormatError) as error:
        print("check-package: %s: %s" % (argv[1], error))
        return 2
    if data is None:
        print("check-package: %s carries no pin list: an unpinned program" % argv[1])
        return 2
    try:
        entries = pin_list.parse(data)
    except pin_list.PinListError as error:
        print("check-package: %s: pin list refused: %s" % (argv[1], error))
        return 2
    companion = 0
    for name, size, digest, is_companion in entries:
        role = ""
        if is_companion:
            companion += 1
            role = "  (companion %d)" % companion
        elif name.lower() == pin_list.INSTALLER_LIBRARY:
            role = "  (installer library, loaded last)"
        print("%s %10d  %s%s" % (digest.hex(), size, name, role))
    if len(argv) == 2:
        return 0

    folder = argv[2]
    differ = 0
    pinned = set()
    for name, size, digest, _ in entries:
        path = os.path.join(folder, *name.split("\\"))
        pinned.add(os.path.normcase(os.path.normpath(path)))
        if not os.path.isfile(path) or os.path.islink(path):
            problem = "missing"
        else:
            with open(path, "rb") as f:
                content = f.read()
            if len(content) != size:
                problem = "another size (%d bytes, pinned %d)" % (len(content), size)
            elif hashlib.sha256(content).digest() != digest:
                problem = "another SHA-256"
            else:
                continue
        differ += 1
        print("DIFFERS  %s: %s" % (name, problem))
    for root, _, names in os.walk(folder):
        for name in sorted(names):
            path = os.path.normcase(os.path.normpath(os.path.join(root, name)))
            if path not in pinned and name.lower() not in ("setup.exe", "sha256sums"):
                print("not pinned (never loaded): %s" % os.path.relpath(path, folder))
    if differ:
        print("check-package: %d of %d files differ: setup.exe would refuse to run (exit 577)"
              % (differ, len(entries)))
        return 1
    print("check-package: all %d files as pinned" % len(entries))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
