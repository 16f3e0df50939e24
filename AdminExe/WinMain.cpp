// The entry point of setup.exe and setup-debug.exe. The runtime's GUI
// start-up calls it and ends the process with its result as the exit code.
#include "AdminExe/Package.h"
#include "platform/Process.h"

#ifndef SETUP_DEBUG_LOOKUP
#error "build with -DSETUP_DEBUG_LOOKUP=0 (shipped) or 1 (vendor testing)"
#endif

// The WinMain signature without <windows.h>: HINSTANCE is a pointer to the
// opaque struct HINSTANCE__.
struct HINSTANCE__;

// The build identification (BuildInfo.cpp.in). Nothing reads it, so the
// linker, which drops what nothing refers to, must be shown a use.
extern "C" const char kSetupBuildInfo[];

extern "C" int __stdcall WinMain(HINSTANCE__* /*instance*/, HINSTANCE__* /*previous*/,
                                 char* /*tail*/, int /*show*/) {
  platform::TerminateOnHeapCorruption();
  __asm__ volatile("" : : "r"(kSetupBuildInfo));
  // RunProgram restricts the library search before anything can load a
  // library: the program runs elevated, often from a folder anybody can
  // write to, and the installer library (or system code on its behalf) may
  // load companions by bare name. A pinned program also checks its package
  // first. The tail the runtime offers is cut differently from the rules
  // the installer library expects: the whole command line is read instead.
  PlatformSystem system;
  return RunProgram(system, SETUP_DEBUG_LOOKUP);
}
