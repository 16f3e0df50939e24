#ifndef ADMINEXE_DEBUGDIRECTORY_H_
#define ADMINEXE_DEBUGDIRECTORY_H_

#include "platform/DynamicLibrary.h"

// LoadFromDebugDirectory: the library `name` from the vendor's debug
// directory "C:\OvratDebug" when such a file exists there and loads; null
// otherwise. A `name` that is itself a path gives a candidate that does not
// exist. The folder joins the library search before the copy loads (and
// stays while it is loaded), so that the copy's own DLLs beside it load as
// they would beside setup.exe. The candidate and its outcome go to the debug
// trail (DebugTrail.h).
//
// Two definitions exist, and every program links exactly one:
//  - DebugDirectory.cpp, which looks there: setup-debug.exe and the tests;
//  - NoDebugDirectory.cpp, which never looks and always gives null: the
//    shipped setup.exe. Any signed-in user can create that folder, so the
//    program that runs elevated must hold neither its name nor any code
//    that could be switched into looking there.
platform::LibraryHandle LoadFromDebugDirectory(const char* name);

#endif  // ADMINEXE_DEBUGDIRECTORY_H_
