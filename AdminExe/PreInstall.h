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
