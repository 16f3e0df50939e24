#!/usr/bin/env python3
"""End-to-end tests of setup.exe and setup-debug.exe, run under Wine.

Each test copies the launcher into a fresh folder on the C: drive of a Wine
prefix, puts (or does not put) a recording installer library beside it or in
other places, starts it through setup-driver.exe with an exact command line,
and checks what the library's PreInstall received (byte for byte, and which
copy of the library was loaded) and the whole 32-bit exit code.

ctest runs one test class per ctest test (see tests/e2e/CMakeLists.txt); by
hand:

  python3 setup_e2e.py --wine-run <wine wrapper> --prefix <a WINEPREFIX of its own> \\
      --driver setup-driver.exe --setup setup.exe --setup-debug setup-debug.exe \\
      --libraries <folder of e2e-*.dll> --demo-library <demo dropnestlib.dll> \\
      [CommandLineTest ...]

Standard library only.
"""

import argparse
import ntpath
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

LIBRARY_NAME = "dropnestlib.dll"
DEBUG_DIRECTORY = "C:\\OvratDebug"
SANDBOX = "C:\\Setup-E2E"
# Seconds a launcher run may take before setup-driver.exe ends it: a run
# takes well under one; only a hang comes near this.
DRIVER_TIMEOUT = 30
# Longer command lines go to setup-driver.exe in a file.
LONG_COMMAND_LINE = 4000

# Set by main() from the command line.
CONFIG = None

# The recording library's variants (tests/AdminExe/RecordingInstaller.cpp),
# by the name of their export.
RECORDING = "e2e-recording.dll"  # exports PreInstall
LOWERCASE = "e2e-lowercase.dll"  # exports only "preinstall"
NO_EXPORT = "e2e-noexport.dll"  # exports "Other", no PreInstall
# Loads COMPANION by bare name and hands the call on to its PreInstall, or
# returns NO_COMPANION when the process's library search does not find it.
COMPANION_LOADER = "e2e-companion-loader.dll"
COMPANION = "e2e-companion.dll"
NO_COMPANION = -404
DECORATED = "e2e-decorated.dll"  # exports "PreInstall@4", linked without --kill-at


class Record:
    """One call of PreInstall: the loaded library's path and the text (None
    when PreInstall received a null pointer)."""

    def __init__(self, library, text):
        self.library = library
        self.text = text

    def __repr__(self):
        return "Record(library=%r, text=%r)" % (self.library, self.text)


def parse_records(data):
    """The records that RecordingInstaller.cpp appends:
    <library path>\\t<length or -1>\\n<text>\\n for each call."""
    records = []
    position = 0
    while position < len(data):
        end = data.index(b"\n", position)
        library, length = data[position:end].rsplit(b"\t", 1)
        length = int(length)
        position = end + 1
        text = None
        if length >= 0:
            text = data[position:position + length]
            position += length
        if data[position:position + 1] != b"\n":
            raise ValueError("malformed record file: %r" % data)
        position += 1
        records.append(Record(library.decode("cp1252"), text))
    return records


def same_path(a, b):
    return ntpath.normcase(a) == ntpath.normcase(b)


class Wine:
    """The Wine prefix: maps its C: paths to Linux paths and runs programs in
    it through setup-driver.exe."""

    def __init__(self, config):
        self.config = config
        self.drive_c = os.path.join(config.prefix, "drive_c")
        self.files_to_remove = []
        # What the last run with debug_output told a debugger ("debug: "
        # lines) and which DLLs it loaded ("loaded: " lines).
        self.trail = []
        self.loaded = []

    def linux_path(self, windows_path):
        drive, rest = ntpath.splitdrive(windows_path)
        if drive.upper() != "C:":
            raise ValueError("not on C: %s" % windows_path)
        parts = [p for p in rest.split("\\") if p]
        return os.path.join(self.drive_c, *parts)

    def run(self, program, command_line, cwd=None, env=None, path_prepend=None,
            debug_output=False):
        """Starts `program` (a C: path) with `command_line` (bytes, exactly)
        and returns its 32-bit exit code as a signed int. With debug_output,
        the driver follows it as a debugger: self.trail and self.loaded."""
        argv = [self.config.wine_run, "--prefix", self.config.prefix, self.config.driver,
                "--timeout", str(DRIVER_TIMEOUT)]
        if debug_output:
            argv.append("--debug-output")
        if len(command_line) > LONG_COMMAND_LINE:
            # Inside the driver's own command line it would pass Windows'
            # limit: the driver reads it from a file instead.
            with tempfile.NamedTemporaryFile(dir=self.drive_c, suffix=".cmdline",
                                             delete=False) as f:
                f.write(command_line)
            self.files_to_remove.append(f.name)
            argv += ["--command-line-file", "C:\\" + os.path.basename(f.name)]
        else:
            argv += ["--command-line-hex", command_line.hex()]
        if cwd is not None:
            argv += ["--cwd", cwd]
        for name, value in (env or {}).items():
            argv += ["--env", "%s=%s" % (name, value)]
        if path_prepend is not None:
            argv += ["--path-prepend", path_prepend]
        argv.append(program)
        # Output goes to files, not pipes: a Wine process left behind by a
        # hung run could keep a pipe open and stall the test past its timeout.
        with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
            try:
                status = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                        timeout=DRIVER_TIMEOUT + 60).returncode
            except subprocess.TimeoutExpired:
                status = "timed out"
            out.seek(0)
            err.seek(0)
            output = out.read().decode("utf-8", "replace")
            errors = err.read().decode("utf-8", "replace")
        for name in self.files_to_remove:
            os.remove(name)
        self.files_to_remove = []
        match = re.search(r"exit code: (-?\d+) \(0x([0-9A-F]{8})\)", output)
        # The driver exits with the program's code, of which Linux sees the
        # low 8 bits.
        if match is None or status != int(match.group(2), 16) & 0xFF:
            raise AssertionError(
                "setup-driver failed (status %s) for %s %r\nstdout: %s\nstderr: %s"
                % (status, program, command_line, output, errors))
        code = int(match.group(1))
        self.trail = re.findall(r"^debug: (.*?)\r?$", output, re.M)
        self.loaded = re.findall(r"^loaded: (.*?)\r?$", output, re.M)
        if code & 0xFFFFFFFF != int(match.group(2), 16):
            raise AssertionError("driver's decimal and hex exit codes differ: %s" % output)
        return code


def remove(linux_path):
    if os.path.isdir(linux_path) and not os.path.islink(linux_path):
        shutil.rmtree(linux_path)
    elif os.path.lexists(linux_path):
        os.remove(linux_path)


class LauncherTestCase(unittest.TestCase):
    """A fresh folder C:\\Setup-E2E\\<test class> for each test, removed
    afterwards, and helpers to place the launcher and libraries in it.

    A class that runs setup-debug.exe sets uses_debug_directory: whatever
    stands in C:\\OvratDebug decides what setup-debug.exe loads, so ctest
    runs such classes one at a time (RESOURCE_LOCK in CMakeLists.txt)."""

    uses_debug_directory = False

    def setUp(self):
        self.wine = Wine(CONFIG)
        if self.uses_debug_directory:
            self.assertFalse(os.path.lexists(self.wine.linux_path(DEBUG_DIRECTORY)),
                             "%s exists: setup-debug.exe would load from it" % DEBUG_DIRECTORY)
        self.root = ntpath.join(SANDBOX, type(self).__name__)
        remove(self.wine.linux_path(self.root))
        os.makedirs(self.wine.linux_path(self.root))
        self.record_file = ntpath.join(self.root, "record.txt")
        self.addCleanup(self.remove_sandbox)

    def remove_sandbox(self):
        remove(self.wine.linux_path(self.root))
        try:
            os.rmdir(self.wine.linux_path(SANDBOX))
        except OSError:
            pass  # another test class still uses it

    def folder(self, windows_path):
        """Creates a folder (a C: path, relative ones under the sandbox)."""
        if not ntpath.isabs(windows_path):
            windows_path = ntpath.join(self.root, windows_path)
        os.makedirs(self.wine.linux_path(windows_path), exist_ok=True)
        return windows_path

    def put_launcher(self, folder, executable="setup.exe"):
        """Copies setup.exe or setup-debug.exe into `folder`; returns its C: path."""
        source = CONFIG.setup if executable == "setup.exe" else CONFIG.setup_debug
        program = ntpath.join(folder, executable)
        shutil.copyfile(source, self.wine.linux_path(program))
        return program

    def put_library(self, folder, variant=RECORDING, name=LIBRARY_NAME):
        """Copies a test library into `folder` as `name`; returns its C: path."""
        library = ntpath.join(folder, name)
        shutil.copyfile(os.path.join(CONFIG.libraries, variant), self.wine.linux_path(library))
        return library

    def launch(self, program, command_line=None, result=None, cwd=None, path_prepend=None,
               debug_output=False):
        """Runs `program` with a fresh record file; returns (exit code, records).
        `result` is what the recording library's PreInstall returns. The
        default command line is the quoted program path and /test."""
        if command_line is None:
            command_line = b'"' + program.encode("cp1252") + b'" /test'
        record = self.wine.linux_path(self.record_file)
        remove(record)
        env = {"SETUP_TEST_RECORD": self.record_file}
        if result is not None:
            env["SETUP_TEST_RESULT"] = str(result)
        code = self.wine.run(program, command_line, cwd=cwd, env=env, path_prepend=path_prepend,
                             debug_output=debug_output)
        records = []
        if os.path.exists(record):
            with open(record, "rb") as f:
                records = parse_records(f.read())
        return code, records

    def assertLoadedOnce(self, records, library, text=None):
        """Exactly one call of PreInstall, from the library at `library` (a C:
        path), with `text` (bytes) when given."""
        self.assertEqual(len(records), 1, "PreInstall must be called exactly once: %r" % records)
        self.assertTrue(same_path(records[0].library, library),
                        "loaded %s, expected %s" % (records[0].library, library))
        if text is not None:
            self.assertIsNotNone(records[0].text, "PreInstall received a null pointer")
            self.assertEqual(records[0].text, text)


class CommandLineTest(LauncherTestCase):
    """What PreInstall receives for each command line, with the program's own
    path where the command line begins removed and the quotes and blanks
    around it stripped."""

    def test_text_handed_to_preinstall(self):
        app = self.folder("App")
        program = self.put_launcher(app)
        library = self.put_library(app)
        exe = program.encode("cp1252")
        drive, rest = ntpath.splitdrive(program)
        folder, name = ntpath.split(rest)
        other_case = (drive.lower() + folder.lower() + "\\" + name.upper()).encode("cp1252")
        self.assertNotEqual(other_case, exe)

        rows = [
            # (name, command line, text PreInstall must receive)
            ("quoted path and an argument", b'"%s" /install' % exe, b"/install"),
            ("path in another case", b'"%s" /install' % other_case, b"/install"),
            ("path alone gives an empty text", b'"%s"' % exe, b""),
            ("closing quote of the last argument goes",
             b'"%s" /dir "C:\\a b"' % exe, b'/dir "C:\\a b'),
            ("both quotes of an empty argument go, the blank stays",
             b'"%s" /a ""' % exe, b"/a "),
            ("leading tab stays", b'"%s"\t/a' % exe, b"\t/a"),
            ("relative name matches nothing", b"setup.exe /q", b"setup.exe /q"),
            ("own path inside an argument stays",
             b'"%s" /log %s.log' % (exe, exe), b"/log %s.log" % exe),
            ("unquoted path", b"%s /install" % exe, b"/install"),
            ("blanks around the quoted path and at the end",
             b'  "%s"   /install  \t ' % exe, b"/install"),
            ("trailing tab goes, then the quotes",
             b'"%s" /a "b"\t' % exe, b'/a "b'),
            ("own path after a relative name stays",
             b"setup.exe %s /q" % exe, b"setup.exe %s /q" % exe),
            ("ANSI bytes pass unchanged",
             b'"%s" /name Gr\xfc\xdfe \xe9t\xe9' % exe, b"/name Gr\xfc\xdfe \xe9t\xe9"),
        ]
        for number, (name, command_line, expected) in enumerate(rows):
            with self.subTest(row=name, command_line=command_line):
                result = 1000 + number  # tells this run's exit code from any other
                code, records = self.launch(program, command_line, result=result)
                self.assertLoadedOnce(records, library, expected)
                self.assertEqual(code, result)


    def test_longest_module_path_is_removed(self):
        # 259 characters and the terminator fill the 260-character buffer
        # exactly: the path still fits and must be removed. (A longer one
        # cannot be tested here: Wine starts no program from such a path.)
        folder = self.root + "\\Deep"
        length = 259 - len(folder) - len("\\setup.exe")
        while length > 0:
            # A backslash and a name of at most 99 characters; never leave a
            # remainder of 1, which would be a backslash without a name.
            part = min(length, 100)
            if length - part == 1:
                part -= 1
            folder += "\\" + "d" * (part - 1)
            length -= part
        app = self.folder(folder)
        program = self.put_launcher(app)
        self.assertEqual(len(program), 259)
        library = self.put_library(app)
        exe = program.encode("cp1252")
        code, records = self.launch(program, b'"%s" /x' % exe, result=259)
        self.assertLoadedOnce(records, library, b"/x")
        self.assertEqual(code, 259)


    def test_longest_command_line_reaches_preinstall_whole(self):
        # 32,000 characters, near Windows' limit of 32,767: far beyond the
        # 260 that every string of the launcher starts with.
        app = self.folder("App")
        program = self.put_launcher(app)
        library = self.put_library(app)
        head = b'"%s" /x ' % program.encode("cp1252")
        tail = bytes(b"abcdefghij"[i % 10] for i in range(32000 - len(head)))
        code, records = self.launch(program, head + tail, result=32000)
        self.assertLoadedOnce(records, library, b"/x " + tail)
        self.assertEqual(code, 32000)


class ExitCodeTest(LauncherTestCase):
    """PreInstall's int result becomes the exit code unchanged, all 32 bits."""

    def test_result_becomes_exit_code(self):
        app = self.folder("App")
        program = self.put_launcher(app)
        library = self.put_library(app)
        for result in (0, 1, 255, 256, -1, -123456, 2147483647, -2147483648):
            with self.subTest(result=result):
                code, records = self.launch(program, result=result)
                self.assertLoadedOnce(records, library, b"/test")
                self.assertEqual(code, result)


class MissingEntryTest(LauncherTestCase):
    """No library, or no "PreInstall" export in it: exit code 0, nothing called."""

    uses_debug_directory = True

    def test_nothing_to_call_gives_zero(self):
        cases = [
            ("no library", None),
            ("library without the export", NO_EXPORT),
            ("library exporting only \"preinstall\"", LOWERCASE),
        ]
        for executable in ("setup.exe", "setup-debug.exe"):
            for name, variant in cases:
                with self.subTest(executable=executable, case=name):
                    app = self.folder("%s-%d" % (executable, cases.index((name, variant))))
                    program = self.put_launcher(app, executable)
                    if variant is not None:
                        self.put_library(app, variant)
                    # A called entry would record and return 77.
                    code, records = self.launch(program, result=77)
                    self.assertEqual(records, [])
                    self.assertEqual(code, 0)


class DebugDirectoryTest(LauncherTestCase):
    """C:\\OvratDebug: setup.exe never looks there; setup-debug.exe loads
    C:\\OvratDebug\\dropnestlib.dll when that file exists and loads, and falls
    back to the copy beside itself otherwise. ctest keeps this test from
    running alongside anything else that uses C:\\OvratDebug."""

    uses_debug_directory = True

    def setUp(self):
        self.debug_path = Wine(CONFIG).linux_path(DEBUG_DIRECTORY)
        # Left over from an interrupted run of this test: it would decide
        # every case.
        remove(self.debug_path)
        super().setUp()
        self.addCleanup(remove, self.debug_path)

    def make_layout(self, layout):
        """Shapes C:\\OvratDebug; returns the path of a library placed there."""
        candidate = ntpath.join(DEBUG_DIRECTORY, LIBRARY_NAME)
        if layout == "absent":
            return None
        if layout == "library":
            self.folder(DEBUG_DIRECTORY)
            return self.put_library(DEBUG_DIRECTORY)
        if layout == "debug directory is a file":
            with open(self.debug_path, "wb") as f:
                f.write(b"not a directory\n")
            return None
        if layout == "candidate is a directory":
            self.folder(candidate)
            return None
        if layout == "candidate is not a library":
            self.folder(DEBUG_DIRECTORY)
            with open(self.wine.linux_path(candidate), "wb") as f:
                f.write(b"MZ but nothing a loader would take\n")
            return None
        raise ValueError(layout)

    def test_which_library_is_loaded(self):
        beside, debug, nothing = "beside", "debug", "nothing"
        rows = [
            # (layout, library beside the program, setup.exe loads, setup-debug.exe loads)
            ("absent", True, beside, beside),
            ("library", True, beside, debug),
            ("library", False, nothing, debug),
            ("debug directory is a file", True, beside, beside),
            ("candidate is a directory", True, beside, beside),
            ("candidate is not a library", True, beside, beside),
        ]
        for number, (layout, with_beside, release_loads, debug_loads) in enumerate(rows):
            for executable, expected in (("setup.exe", release_loads),
                                         ("setup-debug.exe", debug_loads)):
                with self.subTest(layout=layout, beside=with_beside, executable=executable):
                    remove(self.debug_path)
                    app = self.folder("App-%d-%s" % (number, executable))
                    program = self.put_launcher(app, executable)
                    beside_library = self.put_library(app) if with_beside else None
                    debug_library = self.make_layout(layout)
                    code, records = self.launch(program, result=4321)
                    if expected == nothing:
                        self.assertEqual(records, [])
                        self.assertEqual(code, 0)
                    else:
                        library = beside_library if expected == beside else debug_library
                        self.assertLoadedOnce(records, library, b"/test")
                        self.assertEqual(code, 4321)
        remove(self.debug_path)
        self.assertFalse(os.path.lexists(self.debug_path))


class PlantedLibraryTest(LauncherTestCase):
    """A dropnestlib.dll in the current directory or in a folder on PATH is
    never loaded; only the program's own folder (and System32) count."""

    uses_debug_directory = True

    def test_planted_library_is_ignored(self):
        plant = self.folder("Plant")
        planted = self.put_library(plant)
        empty = self.folder("Empty")
        for executable in ("setup.exe", "setup-debug.exe"):
            for where in ("current directory", "PATH"):
                for with_beside in (False, True):
                    with self.subTest(executable=executable, planted_in=where,
                                      beside=with_beside):
                        app = self.folder("App-%s-%s-%d" % (executable, where, with_beside))
                        program = self.put_launcher(app, executable)
                        beside = self.put_library(app) if with_beside else None
                        if where == "PATH":
                            code, records = self.launch(program, result=55, cwd=empty,
                                                        path_prepend=plant)
                        else:
                            code, records = self.launch(program, result=55, cwd=plant)
                        if with_beside:
                            self.assertLoadedOnce(records, beside, b"/test")
                            self.assertEqual(code, 55)
                        else:
                            self.assertEqual(records, [], "loaded the planted %s" % planted)
                            self.assertEqual(code, 0)


class CompanionLibraryTest(LauncherTestCase):
    """What the installer library loads by bare name comes from setup.exe's
    own folder (or the system folder): a companion planted only in the
    current directory or only in a folder on PATH is never loaded."""

    uses_debug_directory = True

    def test_companion_found_only_beside_the_program(self):
        plant = self.folder("Plant")
        self.put_library(plant, RECORDING, COMPANION)
        empty = self.folder("Empty")
        rows = [
            # (where the companion is, it is beside setup.exe, current
            # directory, folder put first on PATH)
            ("beside setup.exe", True, empty, None),
            ("current directory only", False, plant, None),
            ("PATH only", False, empty, plant),
        ]
        for executable in ("setup.exe", "setup-debug.exe"):
            for number, (where, with_beside, cwd, path_prepend) in enumerate(rows):
                with self.subTest(executable=executable, companion=where):
                    app = self.folder("App-%s-%d" % (executable, number))
                    program = self.put_launcher(app, executable)
                    self.put_library(app, COMPANION_LOADER)
                    beside = self.put_library(app, RECORDING, COMPANION) if with_beside else None
                    code, records = self.launch(program, result=66, cwd=cwd,
                                                path_prepend=path_prepend)
                    if with_beside:
                        self.assertLoadedOnce(records, beside, b"/test")
                        self.assertEqual(code, 66)
                    else:
                        self.assertEqual(records, [], "loaded the planted companion")
                        self.assertEqual(code, NO_COMPANION)


class DebugTrailTest(LauncherTestCase):
    """What setup-debug.exe tells a debugger (setup-driver.exe follows it as
    one): the command line, each library candidate and its outcome, whether
    PreInstall was found (with a hint for a decorated name), and the result.
    The debug folder's copy loads its own companion from the debug folder.
    setup.exe tells nothing."""

    uses_debug_directory = True

    def setUp(self):
        self.debug_path = Wine(CONFIG).linux_path(DEBUG_DIRECTORY)
        remove(self.debug_path)
        super().setUp()
        self.addCleanup(remove, self.debug_path)

    def test_trail_tells_what_was_loaded_and_why(self):
        debug_candidate = r"setup-debug: library C:\\OvratDebug\\dropnestlib\.dll"
        beside = (r"setup-debug: library dropnestlib\.dll \(beside the program, then the "
                  r"system folder\)")
        failed = r": not loaded, error 126: .+"
        rows = [
            # (case, libraries beside, libraries in the debug folder, exit code,
            #  patterns of the trail's lines in order)
            ("found beside the program", {LIBRARY_NAME: RECORDING}, {}, 3010,
             [r"setup-debug: command line for PreInstall: \[/test\]",
              debug_candidate + ": not there", beside + ": loaded",
              "setup-debug: PreInstall found",
              r"setup-debug: PreInstall returned 3010 \(0x00000BC2\): the exit code"]),
            ("found in the debug folder", {}, {LIBRARY_NAME: RECORDING}, 3010,
             [debug_candidate + ": loaded; its folder is in the library search for its own DLLs",
              "setup-debug: PreInstall found"]),
            ("not found anywhere", {}, {}, 0,
             [debug_candidate + ": not there", beside + failed,
              "setup-debug: PreInstall was not called: exit code 0"]),
            ("a decorated export", {LIBRARY_NAME: DECORATED}, {}, 0,
             [beside + ": loaded",
              r'setup-debug: no export named exactly "PreInstall"; it exports "PreInstall@4", '
              r"a decorated name: link the library with -Wl,--kill-at \(or a \.def file\)",
              "setup-debug: PreInstall was not called: exit code 0"]),
            ("the debug folder's companion", {},
             {LIBRARY_NAME: COMPANION_LOADER, COMPANION: RECORDING}, 3010,
             ["setup-debug: PreInstall found",
              r"setup-debug: PreInstall returned 3010 \(0x00000BC2\): the exit code"]),
        ]
        for number, (case, beside_files, debug_files, expected, patterns) in enumerate(rows):
            for executable in ("setup-debug.exe", "setup.exe"):
                with self.subTest(case=case, executable=executable):
                    remove(self.debug_path)
                    app = self.folder("App-%d-%s" % (number, executable))
                    program = self.put_launcher(app, executable)
                    for name, variant in beside_files.items():
                        self.put_library(app, variant, name)
                    if debug_files:
                        self.folder(DEBUG_DIRECTORY)
                    for name, variant in debug_files.items():
                        self.put_library(DEBUG_DIRECTORY, variant, name)
                    code, _ = self.launch(program, command_line=b'"' + program.encode("cp1252")
                                          + b'" /test', result=3010, debug_output=True)
                    trail = self.wine.trail
                    if executable == "setup.exe":
                        self.assertEqual(trail, [], "setup.exe told a debugger something")
                        continue
                    self.assertEqual(code, expected)
                    at = 0
                    for pattern in patterns:
                        while at < len(trail) and not re.fullmatch(pattern, trail[at]):
                            at += 1
                        self.assertLess(at, len(trail), "no line %r in the trail:\n%s"
                                        % (pattern, "\n".join(trail)))
                        at += 1
                    if COMPANION in debug_files:
                        companion = ntpath.join(DEBUG_DIRECTORY, COMPANION).lower()
                        self.assertTrue(any(path.lower().endswith(companion[2:])
                                            for path in self.wine.loaded),
                                        "the companion did not load from the debug folder: %r"
                                        % self.wine.loaded)


class DemoLibraryTest(LauncherTestCase):
    """The demonstration installer library logs what it receives beside
    itself and returns 1, which no failure to find it can give."""

    def test_demo_library_logs_each_call(self):
        app = self.folder("App")
        program = self.put_launcher(app)
        shutil.copyfile(CONFIG.demo_library, self.wine.linux_path(ntpath.join(app, LIBRARY_NAME)))
        exe = program.encode("cp1252")
        self.assertEqual(self.wine.run(program, b'"%s" /install /lang de' % exe), 1)
        self.assertEqual(self.wine.run(program, b'"%s"' % exe), 1)
        with open(self.wine.linux_path(ntpath.join(app, "dropnest-demo.log")), "rb") as f:
            self.assertEqual(f.read(),
                             b"PreInstall received 17 bytes: [/install /lang de]\r\n"
                             b"PreInstall received 0 bytes: []\r\n")


# The pinned-package rows' libraries (tests/e2e/PinnedPackage.cpp).
PINNED_LIBRARY = "e2e-pinned-library.dll"  # the package's dropnestlib.dll
STATIC_COMPANION = "e2e-static-companion.dll"  # a companion it imports
SYSTEM_STANDIN = "e2e-system-standin.dll"  # stands for a system DLL it imports
PLANTED = "e2e-planted.dll"  # an attacker's: records "planted" when loaded
PACKAGE_REFUSED = 577  # ERROR_INVALID_IMAGE_HASH


def parse_pinned_records(data):
    """The "key=value" lines of PinnedPackage.cpp: {key: [values]}."""
    found = {}
    for line in data.decode("cp1252").splitlines():
        key, _, value = line.partition("=")
        found.setdefault(key, []).append(value)
    return found


class PinnedPackageTest(LauncherTestCase):
    """A release pinned to its package (--pinned-release, made by `make
    test-release` from the PinnedPackage.cpp libraries): it runs as
    released; any change to a pinned file stops it with 577 before the
    attacker's code runs; nothing planted beside it loads; the package's
    files cannot be changed while PreInstall runs. The stand-in for a system
    DLL goes into the prefix's system folder, as Windows would have it (Wine
    prefers its built-ins for real system DLL names, whatever is planted)."""

    def setUp(self):
        if CONFIG.pinned_release is None:
            self.skipTest("no --pinned-release given (make test-release gives one)")
        super().setUp()
        windows = self.wine.linux_path("C:\\windows")
        if not os.path.isdir(windows):
            # A new prefix: the wrapper makes it on its first run.
            subprocess.run([CONFIG.wine_run, "--prefix", CONFIG.prefix, "cmd", "/c", "exit"],
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=600, check=False)
        # syswow64 in a WoW64 prefix, system32 in a 32-bit one.
        system = "syswow64" if os.path.isdir(os.path.join(windows, "syswow64")) else "system32"
        self.system_folder = "C:\\windows\\" + system
        self.standin = ntpath.join(self.system_folder, SYSTEM_STANDIN)
        shutil.copyfile(os.path.join(CONFIG.libraries, SYSTEM_STANDIN),
                        self.wine.linux_path(self.standin))
        self.addCleanup(remove, self.wine.linux_path(self.standin))

    def released(self, name):
        """A copy of the release in a folder of the sandbox; its setup.exe."""
        app = self.folder(name)
        shutil.copytree(CONFIG.pinned_release, self.wine.linux_path(app), dirs_exist_ok=True)
        return app, ntpath.join(app, "setup.exe")

    def run_pinned(self, program, result):
        record = self.wine.linux_path(self.record_file)
        remove(record)
        code = self.wine.run(program, b'"' + program.encode("cp1252") + b'" /pinned',
                             env={"SETUP_TEST_RECORD": self.record_file,
                                  "SETUP_TEST_RESULT": str(result)})
        records = {}
        if os.path.exists(record):
            with open(record, "rb") as f:
                records = parse_pinned_records(f.read())
        return code, records

    def assertRanAsReleased(self, app, code, records, result):
        self.assertEqual(code, result, records)
        self.assertNotIn("planted", records)
        # A 32-bit process may see the WoW64 system folder under either name.
        system_names = [ntpath.join("C:\\windows", folder, SYSTEM_STANDIN)
                        for folder in ("system32", "syswow64")]
        expected = [
            ("library", [ntpath.join(app, LIBRARY_NAME)]),
            ("static-companion", [ntpath.join(app, STATIC_COMPANION)]),
            ("bare-companion", [ntpath.join(app, COMPANION)]),
            ("system-standin", system_names),
        ]
        for key, paths in expected:
            with self.subTest(loaded=key):
                self.assertEqual(len(records.get(key, [])), 1, records)
                self.assertTrue(any(same_path(records[key][0], p) for p in paths),
                                "%s from %s, expected %s" % (key, records[key][0], paths))
        self.assertEqual(records.get("text"), ["/pinned"])

    def test_release_runs_and_passes_the_result(self):
        app, program = self.released("Released")
        code, records = self.run_pinned(program, 2468)
        self.assertRanAsReleased(app, code, records, 2468)

    def test_package_files_cannot_be_changed_while_it_runs(self):
        app, program = self.released("Locked")
        code, records = self.run_pinned(program, 11)
        self.assertEqual(code, 11, records)
        for key in ("write-library", "rename-library", "delete-data"):
            with self.subTest(attempt=key):
                # ERROR_SHARING_VIOLATION; access denied would do as well.
                self.assertIn(records.get(key), (["32"], ["5"]), records)
        self.assertTrue(os.path.exists(self.wine.linux_path(ntpath.join(app, LIBRARY_NAME))))
        self.assertTrue(os.path.exists(self.wine.linux_path(ntpath.join(app, "drivers",
                                                                       "net.inf"))))

    def test_changed_package_is_refused_before_anything_runs(self):
        def replace(app, name, variant):
            shutil.copyfile(os.path.join(CONFIG.libraries, variant),
                            self.wine.linux_path(ntpath.join(app, name)))

        def append(app, name):
            with open(self.wine.linux_path(ntpath.join(app, name)), "ab") as f:
                f.write(b"; changed\r\n")

        rows = [
            ("dropnestlib.dll replaced", lambda app: replace(app, LIBRARY_NAME, RECORDING)),
            ("a companion replaced", lambda app: replace(app, STATIC_COMPANION, PLANTED)),
            ("the bare-name companion replaced", lambda app: replace(app, COMPANION, PLANTED)),
            ("a data file changed", lambda app: append(app, "drivers\\net.inf")),
            ("a pinned file missing",
             lambda app: os.remove(self.wine.linux_path(ntpath.join(app, COMPANION)))),
        ]
        for number, (what, spoil) in enumerate(rows):
            with self.subTest(attack=what):
                app, program = self.released("Attack-%d" % number)
                spoil(app)
                code, records = self.run_pinned(program, 99)
                self.assertEqual(records, {}, "the attacker's code ran")
                self.assertEqual(code, PACKAGE_REFUSED)

    def test_planted_libraries_are_never_loaded(self):
        rows = [
            # (what, file name of the planted copy)
            ("the system stand-in's name, for the static import", SYSTEM_STANDIN),
            ("a system DLL setup.exe loads at run time", "bcrypt.dll"),
            ("a system DLL loaded on the loader's behalf", "cryptbase.dll"),
            ("an unknown name", "e2e-unknown.dll"),
        ]
        for number, (what, name) in enumerate(rows):
            with self.subTest(planted=what):
                app, program = self.released("Planted-%d" % number)
                self.put_library(app, PLANTED, name)
                code, records = self.run_pinned(program, 4242)
                self.assertRanAsReleased(app, code, records, 4242)


def main():
    global CONFIG
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--wine-run", required=True, help="the Wine wrapper script")
    parser.add_argument("--prefix", required=True, help="the WINEPREFIX to run in")
    parser.add_argument("--driver", required=True, help="setup-driver.exe")
    parser.add_argument("--setup", required=True, help="setup.exe")
    parser.add_argument("--setup-debug", required=True, help="setup-debug.exe")
    parser.add_argument("--libraries", required=True, help="folder of the e2e-*.dll libraries")
    parser.add_argument("--demo-library", required=True, help="the demo dropnestlib.dll")
    parser.add_argument("--pinned-release", default=None,
                        help="a release folder pinned to the PinnedPackage.cpp package "
                             "(PinnedPackageTest; make test-release gives one)")
    CONFIG, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v"] + rest)


if __name__ == "__main__":
    main()
