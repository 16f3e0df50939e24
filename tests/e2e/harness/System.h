// What the end-to-end tests ask of the machine they run on: whether it is
// Wine, whether this process is elevated, and where the system keeps its
// DLLs. Windows and Wine differ in a few places the tests must know of.
#ifndef TESTS_E2E_HARNESS_SYSTEM_H_
#define TESTS_E2E_HARNESS_SYSTEM_H_

#include <string>
#include <vector>

namespace e2e {

// True under Wine: its ntdll exports wine_get_version, Windows' does not.
bool RunningUnderWine();

// 1 when this process's token is elevated, 0 when not, -1 when the system
// cannot tell (the error in *error).
int IsElevated(unsigned long* error);

// The system folder as GetSystemDirectoryA names it. A 32-bit process on
// 64-bit Windows writes there and the system redirects it to SysWOW64.
std::string SystemFolder();

// Every name under which a DLL in the system folder may be reported to a
// 32-bit process: system32 and, on 64-bit systems, SysWOW64.
std::vector<std::string> SystemFolderNames();

// %SystemDrive% ("C:" when unset).
std::string SystemDrive();

// The message of a Windows error code, without the line break at its end.
std::string ErrorText(unsigned long error);

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_SYSTEM_H_
