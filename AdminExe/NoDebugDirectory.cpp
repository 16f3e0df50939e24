// The shipped setup.exe's side of DebugDirectory.h and DebugTrail.h: it
// never looks in the debug directory, whatever SetDebugLookup was given,
// and holds neither the folder's name nor code that could look there; and it
// tells a debugger nothing (the refusal of a pinned package aside).
#include "AdminExe/DebugDirectory.h"
#include "AdminExe/DebugTrail.h"

platform::LibraryHandle LoadFromDebugDirectory(const char*) { return nullptr; }

namespace debugtrail {

void CommandLine(const char*) {}
void Candidate(const char*, platform::LibraryHandle) {}
void Entry(platform::LibraryHandle, const char*, bool) {}
void Result(int) {}

}  // namespace debugtrail
