// The shipped setup.exe's side of DebugDirectory.h: it never looks in the
// debug directory, whatever SetDebugLookup was given, and holds neither the
// folder's name nor code that could look there.
#include "AdminExe/DebugDirectory.h"

platform::LibraryHandle LoadFromDebugDirectory(const char*) { return nullptr; }
