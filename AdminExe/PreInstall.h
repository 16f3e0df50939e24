#ifndef ADMINEXE_PREINSTALL_H_
#define ADMINEXE_PREINSTALL_H_

// For those who write the installer library that setup.exe starts: this
// header is the whole contract. README.md, "Writing and testing an
// installer library", walks through writing, trying (`make try`) and
// releasing one.
//
// THE LIBRARY
//  - is a 32-bit x86 Windows DLL named "dropnestlib.dll", placed in the same
//    folder as setup.exe (setup.exe looks there and in the system folder
//    only; never in the current directory or on PATH);
//  - exports exactly one entry that setup.exe uses, named exactly
//    "PreInstall" (undecorated: link with -Wl,--kill-at or a .def file, or
//    the export is "PreInstall@4" and GetProcAddress will not find it), of
//    type PreInstallEntry below. The name's case matters: "preinstall" is
//    not found either.
//
// THE COMMAND LINE PreInstall receives
// setup.exe takes its whole command line as the system keeps it (the
// program name included, quoted as the caller wrote it) and
//  1. removes its own full path where the command line begins (after any
//     blanks and double quotes there; ASCII case ignored). Only the full
//     path as the system reports it for the running program, and only
//     there: "setup /install" typed at a prompt, a relative or a short
//     (8.3) path keeps the program name in the text; the same path inside
//     an argument stays whole;
//  2. removes the blanks and double quotes at the start (a tab stays);
//  3. removes the blanks and tabs at the end, then every double quote at the
//     end (blanks before those quotes stay).
// Nothing else: the text is not split into arguments, and quotes inside it
// stay. With setup.exe at C:\Stick\setup.exe:
//
//   command line                                      PreInstall receives
//   "C:\Stick\setup.exe" /install                     /install
//   c:\stick\SETUP.EXE /install                       /install
//   "C:\Stick\setup.exe"                              (nothing: the empty text)
//   setup /install      (typed at a prompt)           setup /install
//   "C:\Stick\setup.exe" /dir "C:\Program Files\X"    /dir "C:\Program Files\X
//   "C:\Stick\setup.exe" /a ""                        /a  (with a blank at the end)
//   "C:\Stick\setup.exe" "/a b"                       /a b
//   "C:\Stick\setup.exe"<TAB>/install                 <TAB>/install
//   "C:\Stick\setup.exe" /log C:\Stick\setup.exe.log  /log C:\Stick\setup.exe.log
//
// Parse it yourself, and do not rely on a closing quote: take a value that
// may hold blanks as the rest of the line, or mark its end otherwise.
// The text is never null, possibly empty, 8-bit text in the ANSI code page.
// It belongs to setup.exe and is valid until PreInstall returns; copy what
// you need.
//
// THE RESULT
// PreInstall's result becomes setup.exe's exit code unchanged (all 32
// bits; a caller that runs setup.exe through `wine` sees only the low 8,
// setup-driver.exe and `make try` show all of them):
//  - 0 is also the exit code when the library or its entry cannot be found:
//    report success with another value if callers must tell the two apart;
//  - 3010 (ERROR_SUCCESS_REBOOT_REQUIRED) and 1641
//    (ERROR_SUCCESS_REBOOT_INITIATED) are passed on as Windows installers
//    use them: success, a restart is needed or was started;
//  - 577 (ERROR_INVALID_IMAGE_HASH) is what a pinned setup.exe returns when
//    it refuses its package before loading anything: do not return it;
//  - a crash in PreInstall is not caught: the process ends with the
//    exception code as its exit code (0xC0000005 for an access violation,
//    0xC00000FD for a stack overflow, 0xC0000374 for heap corruption).
//
// THE LIBRARY'S OWN FILES
//  - Find your data by your own module's path, never the current directory
//    (the caller's, anything) or a path relative to it: GetModuleFileNameA
//    with the HMODULE that DllMain receives, or GetModuleHandleExA with
//    GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS and the address of PreInstall.
//  - Companion DLLs: setup.exe restricts the library search of its whole
//    process before it loads anything: a DLL that the library (or system
//    code on its behalf) loads by bare name, LoadLibraryA("helper.dll") say,
//    or imports, is found beside setup.exe or in the system folder, never in
//    the current directory or on PATH, where anybody could have planted one.
//    Ship companions beside setup.exe, or load them by full path.
//  - The debug folder (the vendor's own testing): setup-debug.exe, which is
//    never shipped, first tries C:\OvratDebug\dropnestlib.dll; when it loads
//    that copy, C:\OvratDebug joins the library search first, so the copy's
//    companions beside it load from there too. setup.exe never looks there.
//    setup-debug.exe tells a debugger (DebugView, `make try`) what it loaded
//    and why: the command line, each candidate and the system's error for
//    it, whether PreInstall was found (or a decorated name like it), and the
//    result.
//
// A released setup.exe is pinned to its package (`make release
// PACKAGE=DIR`; README.md, "Releasing"). Before PreInstall is called, it
// guarantees the library:
//  - its DLLs are exactly the package's: every file of the package had the
//    size and SHA-256 it was released with; the companions (the 32-bit x86
//    DLLs at the top of the package) are loaded by full path, each after the
//    companions it imports, and the library itself last. A bare-name load or
//    a static import of a companion's name gets that companion;
//  - the package's files are read-only for the run: setup.exe holds each
//    open with read sharing only until it ends, so nobody can write, rename
//    or delete them (the library itself cannot either: open them for reading
//    with FILE_SHARE_READ);
//  - nothing outside the package loads from setup.exe's folder: the library
//    search is the system folder alone, for bare-name loads and static
//    imports alike, so a DLL planted beside setup.exe under a system DLL's
//    name, or under any name, is never loaded.
// What the library must not do, pinned or not:
//  - load a DLL from outside the package by a relative path, or by a bare
//    name that is neither a system DLL nor a companion: a pinned setup.exe
//    finds no such DLL, and where it did, nothing would have checked it;
//  - build paths from environment variables such as TEMP, TMP, APPDATA or
//    PATH: any ordinary process of the same user can set them for the
//    elevated run, and point them at a folder of its own. Ask the system
//    (GetSystemDirectoryA, GetWindowsDirectoryA, SHGetKnownFolderPath) and
//    create what you write with an ACL of your own.
//
// THE CALL
//  - PreInstall is called once, on setup.exe's only thread (start threads
//    of your own if you need them, and end them before returning), with
//    administrator rights (setup.exe's manifest asks for them: no second
//    elevation is needed, and a standard user sees the consent prompt
//    before anything runs), after the library has been loaded, in a process
//    that ends at once when its heap is found corrupted.
//  - After PreInstall returns, setup.exe unloads the library and ends.
//
// EXAMPLE in C (dropnestlib.c):
//
//   #include <string.h>
//   #include <windows.h>
//   #include "PreInstall.h"
//
//   __declspec(dllexport) int PREINSTALL_CALL PreInstall(const char* commandLine) {
//     char path[MAX_PATH];  // this library's own path: its files lie beside it
//     HMODULE self = NULL;
//     GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
//                            GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
//                        (LPCSTR)(void*)PreInstall, &self);
//     GetModuleFileNameA(self, path, MAX_PATH);
//     if (strstr(commandLine, "/install") == NULL) return 2;  // nothing asked
//     /* ... install from the files beside `path` ... */
//     return 1;  // done: not 0, which also means "nothing found"
//   }
//
// built with:
//   i686-w64-mingw32-gcc -shared -O2 -o dropnestlib.dll dropnestlib.c -Wl,--kill-at
//
// and in C++ (the demo, AdminExe/demo/DemoInstaller.cpp, is a whole one):
//
//   extern "C" __declspec(dllexport) int PREINSTALL_CALL PreInstall(const char* commandLine);
//
//   i686-w64-mingw32-g++ -shared -O2 -static -o dropnestlib.dll dropnestlib.cpp -Wl,--kill-at
//
// (-static: the DLL then needs nothing but system DLLs beside it.)

#if defined(_WIN32) && defined(__i386__)
#define PREINSTALL_CALL __stdcall
#elif defined(_WIN32) && defined(_M_IX86)
#define PREINSTALL_CALL __stdcall
#else
#define PREINSTALL_CALL
#endif

// The exported function: the Windows API (stdcall) calling convention, in
// which the called function removes its argument from the stack.
typedef int(PREINSTALL_CALL* PreInstallEntry)(const char* commandLine);

// The names setup.exe uses.
#define PREINSTALL_LIBRARY_NAME "dropnestlib.dll"
#define PREINSTALL_ENTRY_NAME "PreInstall"

#endif  // ADMINEXE_PREINSTALL_H_
