#ifndef ADMINEXE_PREINSTALL_H_
#define ADMINEXE_PREINSTALL_H_

// For those who write the installer library that setup.exe starts.
//
// The library:
//  - is a 32-bit x86 Windows DLL named "dropnestlib.dll", placed in the same
//    folder as setup.exe (setup.exe looks there and in the system folder
//    only; never in the current directory or on PATH);
//  - exports exactly one entry that setup.exe uses, named exactly
//    "PreInstall" (undecorated: link with -Wl,--kill-at or a .def file, or
//    GetProcAddress will not find it), of type PreInstallEntry below.
//
// The library's own DLLs:
//  - setup.exe restricts the library search of its whole process before it
//    loads anything: a DLL that the library (or system code on its behalf)
//    loads by bare name, LoadLibraryA("helper.dll") say, is found beside
//    setup.exe or in the system folder, never in the current directory or
//    on PATH, where anybody could have planted one. Ship companion DLLs
//    beside setup.exe, or load them by full path.
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
// The call:
//  - PreInstall is called once, on setup.exe's only thread, with
//    administrator rights, after the library has been loaded, in a process
//    that ends at once when its heap is found corrupted.
//  - Its argument is setup.exe's command line without setup.exe's own path
//    and the blanks and double quotes around it: never null, possibly empty,
//    8-bit text in the ANSI code page. It belongs to setup.exe and is valid
//    until PreInstall returns; copy what you need.
//  - Its result becomes setup.exe's exit code unchanged (all 32 bits). Note
//    that 0 is also the exit code when the library or its entry cannot be
//    found, so report success with another value if callers must tell.
//  - After PreInstall returns, setup.exe unloads the library and ends.
//
// Example:
//   extern "C" __declspec(dllexport) int PREINSTALL_CALL PreInstall(const char* commandLine);

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
