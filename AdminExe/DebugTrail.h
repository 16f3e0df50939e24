#ifndef ADMINEXE_DEBUGTRAIL_H_
#define ADMINEXE_DEBUGTRAIL_H_

#include "platform/DynamicLibrary.h"

// The debug trail: what setup-debug.exe tells a debugger watching it (on
// Windows through OutputDebugStringA: a debugger, DebugView or `make try`
// shows it), one line each, so that a vendor whose library "did nothing"
// sees why: the prepared command line, each library candidate with the
// outcome of its load (the system's error code and its meaning), whether
// "PreInstall" was found (and, when not, a name like it that the library
// exports, as a hint), and PreInstall's result.
//
// Like the debug-directory lookup (DebugDirectory.h), the trail is chosen
// when a program is linked: DebugDirectory.cpp tells, NoDebugDirectory.cpp
// (the shipped setup.exe) defines every call as one that does nothing, so
// setup.exe holds none of the trail's text.
namespace debugtrail {

// CommandLine: the text PreInstall is about to receive. Starts a run's trail.
void CommandLine(const char* prepared);

// Candidate: the outcome of loading `name` (a full path, or a bare name
// looked for beside the program and in the system folder); a null `module`
// did not load. Call it right after the load: it reads the system's error.
void Candidate(const char* name, platform::LibraryHandle module);

// Entry: whether `module`'s export `name` was found; when it was not, the
// trail names an export that is `name` in another case or decorated.
void Entry(platform::LibraryHandle module, const char* name, bool found);

// Result: PreInstall's result, which becomes the exit code; says whether
// PreInstall was called at all since the last CommandLine.
void Result(int result);

// For tests: every line goes to `sink` instead of the debugger; null goes
// back to the debugger. Only DebugDirectory.cpp defines it.
void SetSinkForTesting(void (*sink)(const char* line));

// What an exported name tells of a wanted one it is not exactly.
enum class Likeness { kUnlike, kOtherCase, kDecorated };

// Likeness: kDecorated for `wanted` with a stdcall decoration, in any case
// ("PreInstall@4", "_PreInstall@4"); kOtherCase for `wanted` in another
// case ("preinstall"); else kUnlike. Only DebugDirectory.cpp defines it.
Likeness LikenessOf(const char* exported, const char* wanted);

}  // namespace debugtrail

#endif  // ADMINEXE_DEBUGTRAIL_H_
