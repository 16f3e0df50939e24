#!/usr/bin/env python3
"""The pin list that a released setup.exe carries about its package (the
layout is described in AdminExe/PinList.h), shared by tools/release.sh,
tools/check-package.py and tools/check-pe.py.

  pin_list.py check PACKAGE        refuses a package the list cannot hold
  pin_list.py make PACKAGE OUT     writes the pin list of PACKAGE to OUT
  pin_list.py unsigned-pe PACKAGE  lists the PE files without a signature,
                                   one relative path (with /) a line

Both print one line per problem and end with status 1 when there is one.
Needs pefile (Debian: python3-pefile), to find the companion DLLs and the
order in which they import one another.
"""

import hashlib
import os
import stat
import struct
import sys

try:
    import pefile
except ImportError:
    sys.path.append("/usr/lib/python3/dist-packages")
    import pefile

MAGIC = b"DNPL"
VERSION = 1
HEADER = struct.Struct("<4sBBH")
ENTRY = struct.Struct("<I32sBB")
FLAG_COMPANION = 1
MAX_LIST_SIZE = 64 * 1024
MAX_ENTRIES = 1024
MAX_NAME_LENGTH = 200
MAX_FILE_SIZE = 0xFFFFFFFF
INSTALLER_LIBRARY = "dropnestlib.dll"
FORBIDDEN_PROGRAMS = ("setup.exe", "setup-debug.exe")
RESERVED = set('/:*?"<>|')

RT_RCDATA = 10
RESOURCE_ID = 1


class PinListError(Exception):
    pass


def name_problem(name):
    """Why `name` (backslashes between its parts) cannot stand in the list, or None."""
    try:
        raw = name.encode("ascii")
    except UnicodeEncodeError:
        return "not plain ASCII"
    if not raw or len(raw) > MAX_NAME_LENGTH:
        return "longer than %d characters" % MAX_NAME_LENGTH if raw else "empty"
    for part in name.split("\\"):
        if part in ("", ".", ".."):
            return "an empty part, '.' or '..'"
        if part[-1] in ". ":
            return "a part ending in a dot or a blank (Windows drops them)"
        if any(c < " " or c > "~" or c in RESERVED for c in part):
            return "a character Windows does not allow in a name"
    return None


def scan(package):
    """[(name with backslashes, full path)] of every file in `package`,
    sorted; raises PinListError naming every file the list cannot hold."""
    problems = []
    files = []
    if not os.path.isdir(package) or os.path.islink(package):
        raise PinListError("PACKAGE %s is not a folder" % package)
    for root, folders, names in os.walk(package):
        folders.sort()
        for name in sorted(folders + names):
            path = os.path.join(root, name)
            relative = os.path.relpath(path, package).replace(os.sep, "\\")
            mode = os.lstat(path).st_mode
            if stat.S_ISLNK(mode):
                problems.append("%s: a link (a release holds plain files only)" % relative)
            elif stat.S_ISDIR(mode):
                continue
            elif not stat.S_ISREG(mode):
                problems.append("%s: a special file (a release holds plain files only)" % relative)
            else:
                if os.path.basename(name).lower() in FORBIDDEN_PROGRAMS:
                    problems.append("%s: a launcher inside the package (the release adds "
                                    "setup.exe itself; setup-debug.exe never ships)" % relative)
                why = name_problem(relative)
                if why:
                    problems.append("%r: a name the pin list cannot hold: %s" % (relative, why))
                elif os.path.getsize(path) > MAX_FILE_SIZE:
                    problems.append("%s: larger than 4 GiB" % relative)
                files.append((relative, path))
        # os.walk does not descend into links to folders: reported above.
    seen = {}
    for relative, _ in files:
        other = seen.setdefault(relative.lower(), relative)
        if other != relative:
            problems.append("%s and %s: one name on Windows" % (other, relative))
    if INSTALLER_LIBRARY not in seen:
        problems.append("no %s at the top level of %s" % (INSTALLER_LIBRARY, package))
    if len(files) > MAX_ENTRIES:
        problems.append("%d files: the pin list holds at most %d" % (len(files), MAX_ENTRIES))
    if problems:
        raise PinListError("\n".join(problems))
    return sorted(files, key=lambda f: f[0].lower())


def x86_dll_imports(path):
    """The lower-case names a 32-bit x86 DLL imports (delay-loaded ones
    too), or None when the file is no such DLL."""
    try:
        pe = pefile.PE(path, fast_load=True)
    except pefile.PEFormatError:
        return None
    if pe.FILE_HEADER.Machine != 0x14C or not pe.FILE_HEADER.Characteristics & 0x2000:
        return None
    pe.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"]])
    entries = (getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) +
               getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", []))
    return {entry.dll.decode("ascii", "replace").lower() for entry in entries}


def companion_order(files):
    """The top-level 32-bit x86 DLLs other than the installer library, each
    after the companions it imports; ties in name order."""
    imports = {}
    for name, path in files:
        if "\\" in name or name.lower() == INSTALLER_LIBRARY:
            continue
        found = x86_dll_imports(path)
        if found is not None:
            imports[name.lower()] = (name, found)
    order = []
    placed = set()
    while len(order) < len(imports):
        ready = sorted(key for key, (_, found) in imports.items() if key not in placed and
                       all(i in placed or i not in imports or i == key for i in found))
        if not ready:
            cycle = sorted(imports[k][0] for k in imports if k not in placed)
            raise PinListError("companions that import each other in a cycle: %s"
                               % ", ".join(cycle))
        placed.add(ready[0])
        order.append(imports[ready[0]][0])
    return order


def make(package):
    """The pin list of `package` as bytes."""
    files = scan(package)
    companions = companion_order(files)
    rank = {name: i for i, name in enumerate(companions)}
    ordered = sorted(files, key=lambda f: (0, rank[f[0]]) if f[0] in rank else (1, f[0].lower()))
    out = HEADER.pack(MAGIC, VERSION, 0, len(ordered))
    for name, path in ordered:
        with open(path, "rb") as f:
            content = f.read()
        out += ENTRY.pack(len(content), hashlib.sha256(content).digest(),
                          FLAG_COMPANION if name in rank else 0, len(name))
        out += name.encode("ascii")
    if len(out) > MAX_LIST_SIZE:
        raise PinListError("the pin list would take %d bytes, at most %d" % (len(out), MAX_LIST_SIZE))
    return out


def parse(data):
    """[(name, size, digest, companion)] of a pin list; raises PinListError
    for every list that setup.exe would refuse."""
    if len(data) < HEADER.size:
        raise PinListError("cut short")
    if len(data) > MAX_LIST_SIZE:
        raise PinListError("too large")
    magic, version, reserved, count = HEADER.unpack_from(data, 0)
    if (magic, version, reserved) != (MAGIC, VERSION, 0):
        raise PinListError("unknown format")
    if count == 0:
        raise PinListError("no files")
    if count > MAX_ENTRIES:
        raise PinListError("too large")
    entries = []
    offset = HEADER.size
    for _ in range(count):
        if len(data) - offset < ENTRY.size:
            raise PinListError("cut short")
        size, digest, flags, length = ENTRY.unpack_from(data, offset)
        offset += ENTRY.size
        if len(data) - offset < length:
            raise PinListError("cut short")
        raw = data[offset:offset + length]
        offset += length
        name = raw.decode("latin-1")
        why = name_problem(name)
        if why:
            raise PinListError("name %r: %s" % (name, why))
        if any(name.lower() == e[0].lower() for e in entries):
            raise PinListError("%s listed twice" % name)
        companion = flags == FLAG_COMPANION
        if flags > FLAG_COMPANION or (companion and ("\\" in name or
                                                     not name.lower().endswith(".dll") or
                                                     name.lower() == INSTALLER_LIBRARY)):
            raise PinListError("%s: a companion that is not a DLL at the top level" % name)
        entries.append((name, size, digest, companion))
    if offset != len(data):
        raise PinListError("data after the last entry")
    if sum(1 for e in entries if e[0].lower() == INSTALLER_LIBRARY) != 1:
        raise PinListError("no %s at the top level" % INSTALLER_LIBRARY)
    return entries


def from_program(pe):
    """The pin list resource's bytes of a parsed setup.exe, or None."""
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return None
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != RT_RCDATA:
            continue
        for item in kind.directory.entries:
            if item.id != RESOURCE_ID:
                continue
            for language in item.directory.entries:
                entry = language.data.struct
                return pe.get_data(entry.OffsetToData, entry.Size)
    return None


def unsigned_pe(package):
    """Relative paths (with /) of the PE files in `package` that carry no
    certificate table."""
    found = []
    for name, path in scan(package):
        try:
            pe = pefile.PE(path, fast_load=True)
        except pefile.PEFormatError:
            continue
        security = pe.OPTIONAL_HEADER.DATA_DIRECTORY[
            pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]]
        if security.VirtualAddress == 0 or security.Size == 0:
            found.append(name.replace("\\", "/"))
    return found


def main(argv):
    try:
        if len(argv) == 3 and argv[1] == "unsigned-pe":
            for name in unsigned_pe(argv[2]):
                print(name)
            return 0
        if len(argv) == 3 and argv[1] == "check":
            scan(argv[2])
            return 0
        if len(argv) == 4 and argv[1] == "make":
            data = make(argv[2])
            with open(argv[3], "wb") as f:
                f.write(data)
            return 0
    except PinListError as error:
        print(str(error))
        return 1
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
