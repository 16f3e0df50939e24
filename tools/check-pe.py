#!/usr/bin/env python3
"""Checks a built setup.exe (or, with --debug-build, setup-debug.exe) against
what the program must be:

  - a 32-bit (PE32) x86 Windows GUI program, no DLL;
  - importing exactly KERNEL32.dll and msvcrt.dll: no other DLL (user32.dll
    is loaded at run time only when a string resource is read), no
    delay-load imports, and no static import of SetDefaultDllDirectories,
    AddDllDirectory or RemoveDllDirectory, which older systems lack (a missing import would stop
    the program from starting);
  - address-space layout randomisation and no-execute data (DYNAMIC_BASE,
    NX_COMPAT), with the relocations that randomisation needs;
  - its resources, all in German (Germany), 0x0407: exactly one manifest
    (resource 1) with exactly the expected XML, the version information
    with exactly the expected numbers and strings, icon group 102 with three
    32-bit images of 48, 32 and 16 pixels (icons 1 to 3), nothing else;
    setup-debug.exe's description and internal name say that it is the
    vendor's debug build;
  - the vendor's debug folder "C:\\OvratDebug": its name appears nowhere in
    setup.exe, and does appear in setup-debug.exe's code; likewise the debug
    trail's lines ("setup-debug: ..."), which only setup-debug.exe tells;
  - the build identification string in its data;
  - PE timestamp 0 (reproducible builds) and at most MAX_SIZE bytes, not
    counting an Authenticode certificate table or a release's pin list;
  - a release's pin list (RCDATA 1, tools/pin_list.py), when there is one,
    sound as setup.exe reads it; setup-debug.exe never carries one;
  - a certificate table, when there is one, is a WIN_CERTIFICATE holding
    PKCS#7 signed data.

Usage: check-pe.py [--debug-build] [--signed] FILE...   Prints one line per
check; exit status 1 when any check fails, 2 when a file cannot be read as a
PE file at all. --signed (a release): the certificate table is required.

Needs pefile (Debian: python3-pefile, installed by tools/install-deps.sh).
"""

import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

try:
    import pefile
except ImportError:
    # Another python3 first on PATH (pyenv, a venv) does not see Debian's
    # packages; pefile is pure Python, so Debian's copy serves any version.
    sys.path.append("/usr/lib/python3/dist-packages")
    try:
        import pefile
    except ImportError:
        print("check-pe: the Python module pefile is missing "
              "(Debian package python3-pefile; run tools/install-deps.sh)")
        sys.exit(2)

# The shipped program's budget: its string library and launcher, resources
# included; the signature is not counted (see below).
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pin_list  # noqa: E402  (beside this file)

MAX_SIZE = 60 * 1024
# setup-debug.exe carries the debug folder's lookup on top and never ships.
MAX_DEBUG_SIZE = 64 * 1024
LANGUAGE = 0x0407  # German (Germany)

RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 10, 14, 16, 24
RESOURCE_TYPE_NAMES = {RT_ICON: "icon", RT_GROUP_ICON: "icon group", RT_VERSION: "version",
                       RT_MANIFEST: "manifest", RT_RCDATA: "pin list"}

IMPORTED_DLLS = ["kernel32.dll", "msvcrt.dll"]
# Functions of newer systems that must be looked up at run time.
NOT_IMPORTED = {b"SetDefaultDllDirectories", b"AddDllDirectory", b"RemoveDllDirectory"}

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
IMAGE_DLLCHARACTERISTICS_NX_COMPAT = 0x0100
IMAGE_DIRECTORY_ENTRY_BASERELOC = 5

DEBUG_FOLDER = b"C:\\OvratDebug"
DEBUG_TRAIL = b"setup-debug: "  # how each line of setup-debug.exe's debug trail begins

V1 = "{urn:schemas-microsoft-com:asm.v1}"
V2 = "{urn:schemas-microsoft-com:asm.v2}"

# The manifest's element tree: (tag, attributes, text, children). Text None
# means no text but blanks.
MANIFEST = (V1 + "assembly", {"manifestVersion": "1.0"}, None, [
    (V1 + "assemblyIdentity", {"version": "1.0.0.0", "processorArchitecture": "X86",
                               "name": "Ovrat.Zandor.DropnestAdmin", "type": "win32"},
     None, []),
    (V1 + "description", {}, "Ovrat Zandor USB Stick Selfinstaller Helper", []),
    (V2 + "trustInfo", {}, None, [
        (V2 + "security", {}, None, [
            (V2 + "requestedPrivileges", {}, None, [
                (V2 + "requestedExecutionLevel",
                 {"level": "requireAdministrator", "uiAccess": "false"}, None, []),
            ]),
        ]),
    ]),
])

# VS_FIXEDFILEINFO, by pefile's field names; a pair of fields is one
# 64-bit number, most significant half first.
FIXED_FILE_INFO = [
    ("file version", ("FileVersionMS", "FileVersionLS"), (0x00010004, 0x00000000)),  # 1.4.0.0
    ("product version", ("ProductVersionMS", "ProductVersionLS"), (0x00010000, 0x00000001)),
    ("flags mask", ("FileFlagsMask",), (0x3F,)),
    ("flags", ("FileFlags",), (0,)),
    ("operating system", ("FileOS",), (0x40004,)),
    ("file type", ("FileType",), (1,)),
    ("file subtype", ("FileSubtype",), (0,)),
    ("date", ("FileDateMS", "FileDateLS"), (0, 0)),
]
FIXED_FILE_INFO_SIZE = 52
FIXED_FILE_INFO_SIGNATURE = 0xFEEF04BD
STRING_TABLE = "040704b0"
STRINGS = {
    "CompanyName": "Ovrat Zandor",
    "FileDescription": "Ovrat Zandor USB Stick Installation",
    "FileVersion": "1, 4, 0, 0",
    "InternalName": "DropnestAdminExe",
    "OriginalFilename": "DropnestAdmin.exe",
    "ProductName": "  Dropnest",
    "ProductVersion": "1, 0, 0, 1",
}
# setup-debug.exe tells whoever prepares a release what it is.
DEBUG_STRINGS = dict(STRINGS, **{
    "FileDescription": "Ovrat Zandor USB Stick Installation - VENDOR DEBUG BUILD: "
                       "loads C:\\OvratDebug\\dropnestlib.dll first; never ship",
    "InternalName": "DropnestAdminExe-Debug (never ship)",
})
OPTIONAL_STRINGS = {"LegalCopyright"}  # the legal notice may be there or not
TRANSLATIONS = [(0x0407, 1200)]

ICON_GROUP = 102
ICONS = [(48, 1), (32, 2), (16, 3)]  # (pixels, icon id), in this order


class Checks:
    def __init__(self, name):
        self.name = name
        self.failures = 0

    def check(self, ok, what, detail=""):
        if ok:
            print("ok    %s" % what)
        else:
            self.failures += 1
            print("FAIL  %s%s" % (what, ": " + detail if detail else ""))
        return ok


# --- resources -------------------------------------------------------------

def resources(pe):
    """{type id: [(resource id, language, bytes)]}."""
    found = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        kind_id = kind.id if kind.name is None else str(kind.name)
        for item in kind.directory.entries:
            item_id = item.id if item.name is None else str(item.name)
            for language in item.directory.entries:
                entry = language.data.struct
                data = pe.get_data(entry.OffsetToData, entry.Size)
                found.setdefault(kind_id, []).append((item_id, language.id, data))
    return found


def tag_name(element):
    if element.tag is ET.Comment:
        return "a comment"
    if element.tag is ET.ProcessingInstruction:
        return "a processing instruction"
    return element.tag


def compare_tree(element, expected, path, problems):
    tag, attributes, text, children = expected
    where = path + "/" + tag.split("}")[-1]
    if element.tag != tag:
        problems.append("%s: found %s, expected %s" % (where, tag_name(element), tag))
        return
    if dict(element.attrib) != attributes:
        problems.append("%s: attributes %r, expected %r" % (where, dict(element.attrib), attributes))
    actual_text = (element.text or "")
    if text is None:
        if actual_text.strip():
            problems.append("%s: unexpected text %r" % (where, actual_text))
    elif actual_text != text:
        problems.append("%s: text %r, expected %r" % (where, actual_text, text))
    for child in element:
        if (child.tail or "").strip():
            problems.append("%s: unexpected text %r" % (where, child.tail))
    actual_children = list(element)
    if len(actual_children) != len(children):
        problems.append("%s: %d child elements %r, expected %d" % (
            where, len(actual_children), [tag_name(c) for c in actual_children], len(children)))
    for child, expected_child in zip(actual_children, children):
        compare_tree(child, expected_child, where, problems)


def manifest_problems(data):
    problems = []
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError as error:
        return ["not UTF-8: %s" % error]
    if text.startswith("\ufeff"):
        text = text[1:]
    declaration = re.match(r"<\?xml\s+([^?]*)\?>", text)
    if declaration is None:
        problems.append("no XML declaration")
    else:
        pseudo = dict(re.findall(r'(\w+)\s*=\s*["\']([^"\']*)["\']', declaration.group(1)))
        if pseudo.get("version") != "1.0":
            problems.append("XML version %r" % pseudo.get("version"))
        if (pseudo.get("encoding") or "").upper() != "UTF-8":
            problems.append("encoding %r, expected UTF-8" % pseudo.get("encoding"))
        if pseudo.get("standalone") != "yes":
            problems.append("standalone %r, expected yes" % pseudo.get("standalone"))
    # Comments and processing instructions become elements here, so that
    # "nothing else" covers them too.
    parser = ET.XMLParser(target=ET.TreeBuilder(insert_comments=True, insert_pis=True))
    try:
        parser.feed(data)
        root = parser.close()
    except ET.ParseError as error:
        return problems + ["not well-formed XML: %s" % error]
    compare_tree(root, MANIFEST, "", problems)
    return problems


def version_problems(pe, expected_strings):
    """What differs in the file's one version resource, as pefile reads it."""
    # pefile stops at the first block it cannot read and says so only in
    # its warnings; a block it skipped must not pass for a missing one.
    unread = [w for w in pe.get_warnings()
              if re.search(r"VS_VERSION|VS_FIXED|StringFileInfo|StringTable|VarFileInfo|"
                           r"version information", w)]
    if unread:
        return ["unreadable version resource: %s" % "; ".join(unread)]
    # pefile reads a VS_VERSION_INFO block only under that key.
    if not getattr(pe, "VS_FIXEDFILEINFO", None) or not getattr(pe, "FileInfo", None):
        return ["no VS_VERSION_INFO block with a fixed part"]
    problems = []
    if pe.VS_VERSIONINFO[0].ValueLength != FIXED_FILE_INFO_SIZE:
        return ["fixed part of %d bytes, expected %d" % (pe.VS_VERSIONINFO[0].ValueLength,
                                                         FIXED_FILE_INFO_SIZE)]
    fixed = pe.VS_FIXEDFILEINFO[0]
    if fixed.Signature != FIXED_FILE_INFO_SIGNATURE:
        problems.append("fixed part signature 0x%08X" % fixed.Signature)
    for what, fields, expected in FIXED_FILE_INFO:
        actual = tuple(getattr(fixed, field) for field in fields)
        if actual != expected:
            shown = (actual, expected) if len(fields) > 1 else (actual[0], expected[0])
            problems.append("%s %r, expected %r" % ((what,) + shown))

    keys = [block.Key.decode("utf-8") for block in pe.FileInfo[0]]
    if sorted(keys) != ["StringFileInfo", "VarFileInfo"]:
        problems.append("blocks %r, expected StringFileInfo and VarFileInfo" % keys)
    blocks = dict(zip(keys, pe.FileInfo[0]))
    string_info = blocks.get("StringFileInfo")
    if string_info is not None:
        tables = getattr(string_info, "StringTable", [])
        names = [table.LangID.decode("utf-8") for table in tables]
        if names != [STRING_TABLE]:
            problems.append("string tables %r, expected [%r]" % (names, STRING_TABLE))
        for table in tables:
            if table.LangID.decode("utf-8") != STRING_TABLE:
                continue
            strings = {}
            for key, value in table.entries.items():
                name = key.decode("utf-8")
                # pefile keeps each String's key and value, not its header;
                # the header's last word, wType, ends just before the key.
                key_offset = table.entries_offsets[key][0]
                if pe.get_word_from_offset(key_offset - 2) != 1:
                    problems.append("string %s is not text" % name)
                strings[name] = value.decode("utf-8")
            for name, expected in expected_strings.items():
                if strings.get(name) != expected:
                    problems.append("%s %r, expected %r" % (name, strings.get(name), expected))
            extra = set(strings) - set(expected_strings) - OPTIONAL_STRINGS
            if extra:
                problems.append("unexpected strings %r" % sorted(extra))
    var_info = blocks.get("VarFileInfo")
    if var_info is not None:
        variables = getattr(var_info, "Var", [])
        # A Var without a value has no entry.
        names = [name.decode("utf-8") for var in variables for name in getattr(var, "entry", {})]
        if names != ["Translation"]:
            problems.append("VarFileInfo holds %r, expected [Translation]" % names)
        # pefile reads the first Var only: that one must fill the block.
        elif (variables[0].get_file_offset() + variables[0].Length
              != var_info.get_file_offset() + var_info.Length):
            problems.append("VarFileInfo holds more than Translation")
        for var in variables:
            value = getattr(var, "entry", {}).get(b"Translation")
            if value is None:
                continue
            # pefile gives the last language and code page pair as text;
            # the value's size tells how many pairs there are.
            pair = tuple(int(part, 16) for part in value.split())
            if var.ValueLength != 4 * len(TRANSLATIONS) or [pair] != TRANSLATIONS:
                problems.append("translations: %d bytes, last %s; expected %r" % (
                    var.ValueLength, value, [(hex(a), b) for a, b in TRANSLATIONS]))
    return problems


def icon_problems(found):
    problems = []
    groups = found.get(RT_GROUP_ICON, [])
    if [(g[0], g[1]) for g in groups] != [(ICON_GROUP, LANGUAGE)]:
        return ["icon groups %r, expected one: %d in 0x%04X"
                % ([(g[0], "0x%04X" % g[1]) for g in groups], ICON_GROUP, LANGUAGE)]
    group = groups[0][2]
    reserved, kind, count = struct.unpack_from("<HHH", group, 0)
    if (reserved, kind, count) != (0, 1, len(ICONS)) or len(group) != 6 + 14 * count:
        return ["icon group header %r (%d bytes), expected (0, 1, %d)"
                % ((reserved, kind, count), len(group), len(ICONS))]
    images = {i[0]: i[2] for i in found.get(RT_ICON, [])}
    if sorted(images) != sorted(icon_id for _, icon_id in ICONS):
        problems.append("icons %r, expected %r" % (sorted(images), [i for _, i in ICONS]))
    for index, (pixels, icon_id) in enumerate(ICONS):
        width, height, colors, _, planes, bits, size, actual_id = struct.unpack_from(
            "<BBBBHHIH", group, 6 + 14 * index)
        what = "group entry %d" % (index + 1)
        if (width, height, colors, planes, bits, actual_id) != (pixels, pixels, 0, 1, 32, icon_id):
            problems.append("%s: %dx%d, %d colours, %d planes, %d bits, icon %d; expected "
                            "%dx%d, 32 bits, icon %d" % (what, width, height, colors, planes, bits,
                                                         actual_id, pixels, pixels, icon_id))
        image = images.get(icon_id)
        if image is None:
            continue
        if size != len(image):
            problems.append("%s: says %d bytes, icon %d has %d" % (what, size, icon_id, len(image)))
        header = struct.unpack_from("<IiiHHI", image, 0)
        # XOR image of 32-bit pixels, then the 1-bit AND mask (rows of 32-bit words).
        expected_size = 40 + pixels * pixels * 4 + ((pixels + 31) // 32) * 4 * pixels
        if header != (40, pixels, 2 * pixels, 1, 32, 0) or len(image) != expected_size:
            problems.append("icon %d: bitmap header %r, %d bytes; expected (40, %d, %d, 1, 32, 0), "
                            "%d bytes" % (icon_id, header, len(image), pixels, 2 * pixels,
                                          expected_size))
    return problems


# --- the pin list ----------------------------------------------------------

# A type, a name and a language level: a directory and one entry each.
PIN_LIST_DIRECTORY_BYTES = 3 * (16 + 8) + 16


def pin_list_problems(pins, debug_build):
    if debug_build:
        return ["setup-debug.exe never carries a pin list"]
    if [p[0] for p in pins] != [pin_list.RESOURCE_ID]:
        return ["RCDATA resources %r, expected one: %d" % ([p[0] for p in pins],
                                                           pin_list.RESOURCE_ID)]
    try:
        pin_list.parse(pins[0][2])
    except pin_list.PinListError as error:
        return [str(error)]
    return []


# --- the file --------------------------------------------------------------

def certificate_table(pe):
    """The security directory's (file offset, size); (0, 0) when unsigned."""
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]]
    return entry.VirtualAddress, entry.Size


# WIN_CERTIFICATE: revision 2.0, type PKCS_SIGNED_DATA; its content a DER
# ContentInfo whose content type is signedData (1.2.840.113549.1.7.2).
WIN_CERT_REVISION_2_0 = 0x0200
WIN_CERT_TYPE_PKCS_SIGNED_DATA = 0x0002
SIGNED_DATA_OID = bytes.fromhex("06092a864886f70d010702")


def certificate_problems(pe, content, signed):
    offset, size = certificate_table(pe)
    if offset == 0 and size == 0:
        return ["no certificate table"] if signed else []
    # A signature goes after everything it covers: the end of the file.
    if offset == 0 or size < 8 or offset % 8 or offset + size != len(content):
        return ["table at %d, %d bytes, in a file of %d bytes: not at its end"
                % (offset, size, len(content))]
    length, revision, kind = struct.unpack_from("<IHH", content, offset)
    problems = []
    if not 8 < length <= size:
        problems.append("WIN_CERTIFICATE of %d bytes in a table of %d" % (length, size))
    if (revision, kind) != (WIN_CERT_REVISION_2_0, WIN_CERT_TYPE_PKCS_SIGNED_DATA):
        problems.append("revision 0x%04X, type %d; expected 0x0200, PKCS#7 signed data (2)"
                        % (revision, kind))
    der = content[offset + 8:offset + min(length, size)]
    # SEQUENCE { OBJECT IDENTIFIER signedData, ... } with a long-form length.
    header = 2 + (der[1] & 0x7F if len(der) > 1 and der[1] & 0x80 else 0)
    if der[:1] != b"\x30" or der[header:header + len(SIGNED_DATA_OID)] != SIGNED_DATA_OID:
        problems.append("content is no PKCS#7 signed data")
    return problems


def check_file(path, debug_build=False, signed=False):
    checks = Checks(path)
    print("== %s" % path)
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as error:
        print("FAIL  readable PE file: %s" % error)
        return 2

    checks.check(pe.OPTIONAL_HEADER.Magic == 0x10B, "PE32 (32-bit)",
                 "optional header magic 0x%X" % pe.OPTIONAL_HEADER.Magic)
    checks.check(pe.FILE_HEADER.Machine == 0x14C, "machine i386",
                 "machine 0x%X" % pe.FILE_HEADER.Machine)
    checks.check(pe.OPTIONAL_HEADER.Subsystem == 2, "Windows GUI subsystem",
                 "subsystem %d" % pe.OPTIONAL_HEADER.Subsystem)
    characteristics = pe.FILE_HEADER.Characteristics
    checks.check(characteristics & 0x0002 and not characteristics & 0x2000,
                 "an executable, not a DLL", "characteristics 0x%04X" % characteristics)
    checks.check(pe.FILE_HEADER.TimeDateStamp == 0, "PE timestamp 0",
                 "0x%08X" % pe.FILE_HEADER.TimeDateStamp)
    # The signature's size is the vendor's certificate chain's and timestamp's,
    # not the program's, and Windows does not load it.
    # Nor is a release's pin list, which grows with the package: its bytes
    # and the resource directory entries it adds, rounded up to the file
    # alignment that they can push the resource section over.
    found = resources(pe)
    pins = found.get(RT_RCDATA, [])
    pin_bytes = sum(len(p[2]) for p in pins)
    if pins:
        alignment = pe.OPTIONAL_HEADER.FileAlignment
        pin_bytes = -(-(pin_bytes + PIN_LIST_DIRECTORY_BYTES) // alignment) * alignment
    size = os.path.getsize(path) - certificate_table(pe)[1] - pin_bytes
    limit = MAX_DEBUG_SIZE if debug_build else MAX_SIZE
    checks.check(size <= limit, "file size at most %d bytes%s" % (
        limit, ", not counting the pin list" if pins else ""), "%d bytes" % size)

    imports = getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])
    imported = [entry.dll.decode("ascii", "replace") for entry in imports]
    checks.check(sorted(d.lower() for d in imported) == IMPORTED_DLLS,
                 "imports exactly %s" % " and ".join(IMPORTED_DLLS), ", ".join(imported))
    delayed = [entry.dll.decode("ascii", "replace")
               for entry in getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])]
    checks.check(not delayed, "no delay-load imports", ", ".join(delayed))
    static = sorted(function.name.decode("ascii") for entry in imports for function in entry.imports
                    if function.name in NOT_IMPORTED)
    checks.check(not static, "newer loader functions looked up, not imported", ", ".join(static))

    dll_characteristics = pe.OPTIONAL_HEADER.DllCharacteristics
    wanted = IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE | IMAGE_DLLCHARACTERISTICS_NX_COMPAT
    checks.check(dll_characteristics & wanted == wanted, "DYNAMIC_BASE and NX_COMPAT",
                 "DllCharacteristics 0x%04X" % dll_characteristics)
    relocations = pe.OPTIONAL_HEADER.DATA_DIRECTORY[IMAGE_DIRECTORY_ENTRY_BASERELOC]
    checks.check(relocations.Size > 0 and not characteristics & IMAGE_FILE_RELOCS_STRIPPED,
                 "relocations kept", "%d bytes, characteristics 0x%04X"
                 % (relocations.Size, characteristics))

    unexpected = sorted(str(k) for k in found if k not in RESOURCE_TYPE_NAMES)
    checks.check(not unexpected, "only manifest, version, icon and pin list resources",
                 "other resource types: " + ", ".join(unexpected))
    if pins:
        problems = pin_list_problems(pins, debug_build)
        checks.check(not problems, "pin list: resource %d, a sound list" % pin_list.RESOURCE_ID,
                     "; ".join(problems))
    wrong_language = ["%s %s: 0x%04X" % (RESOURCE_TYPE_NAMES.get(k, k), item, language)
                      for k, items in found.items() for item, language, _ in items
                      if language != LANGUAGE]
    checks.check(not wrong_language, "every resource in language 0x%04X" % LANGUAGE,
                 "; ".join(wrong_language))

    manifests = found.get(RT_MANIFEST, [])
    if checks.check([(m[0], m[1]) for m in manifests] == [(1, LANGUAGE)],
                    "exactly one manifest: resource 1, language 0x%04X" % LANGUAGE,
                    "found %r" % [(m[0], hex(m[1])) for m in manifests]):
        problems = manifest_problems(manifests[0][2])
        checks.check(not problems, "manifest content", "; ".join(problems))

    versions = found.get(RT_VERSION, [])
    if checks.check([(v[0], v[1]) for v in versions] == [(1, LANGUAGE)],
                    "exactly one version information: resource 1, language 0x%04X" % LANGUAGE,
                    "found %r" % [(v[0], hex(v[1])) for v in versions]):
        problems = version_problems(pe, DEBUG_STRINGS if debug_build else STRINGS)
        checks.check(not problems, "version information content", "; ".join(problems))

    problems = icon_problems(found)
    checks.check(not problems, "icon group %d: 48, 32, 16 pixels, 32 bits, icons 1-3" % ICON_GROUP,
                 "; ".join(problems))

    with open(path, "rb") as f:
        content = f.read()
    if debug_build:
        checks.check(DEBUG_FOLDER in content, "looks in %s" % DEBUG_FOLDER.decode(),
                     "the folder's name is not in its data")
    else:
        # In any case and either encoding: the shipped program must not even
        # mention the folder, let alone hold code that looks there.
        folded = content.lower()
        name = b"ovratdebug"
        mentions = [encoding for encoding, text in (("ASCII", name),
                                                    ("UTF-16", name.decode().encode("utf-16-le")))
                    if text in folded]
        checks.check(not mentions, "never mentions %s" % DEBUG_FOLDER.decode(),
                     "found in " + ", ".join(mentions))
    # Every line of the debug trail begins so: setup.exe tells a debugger
    # nothing but a pinned package's refusal.
    if debug_build:
        checks.check(DEBUG_TRAIL in content, "tells a debugger what it does (the debug trail)",
                     "no %r text in its data" % DEBUG_TRAIL.decode())
    else:
        checks.check(DEBUG_TRAIL not in content, "holds no debug trail",
                     "%r text found" % DEBUG_TRAIL.decode())
    build_info = re.search(rb"\[[\x20-\x7e]*Ovrat Zandor[\x20-\x7e]*1\.4[\x20-\x7e]*"
                           rb"\d{4}-\d{2}-\d{2}[\x20-\x7e]*\]", content)
    checks.check(build_info is not None, "build identification string",
                 "no [...] text with the maker, revision 1.4 and a date")
    if build_info is not None:
        print("      %s" % build_info.group(0).decode("ascii"))

    problems = certificate_problems(pe, content, signed)
    checks.check(not problems, "certificate table: %s" % (
        "Authenticode signature" if signed else "none, or an Authenticode signature"),
        "; ".join(problems))

    return 1 if checks.failures else 0


def main(argv):
    arguments = argv[1:]
    debug_build = "--debug-build" in arguments
    signed = "--signed" in arguments
    paths = [a for a in arguments if a not in ("--debug-build", "--signed")]
    if not paths or any(p.startswith("--") for p in paths):
        print(__doc__)
        return 2
    return max(check_file(path, debug_build, signed) for path in paths)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
