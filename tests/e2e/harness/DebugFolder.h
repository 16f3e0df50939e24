// C:\OvratDebug, the vendor's debug folder: setup-debug.exe loads the
// dropnestlib.dll in it before any other. On a vendor's machine it may hold
// their own work, so the tests never remove one they did not make: what
// they make holds a marker (a file of that name in the folder; as the
// content of a file made in the folder's place), and only what holds it is
// ever removed.
#ifndef TESTS_E2E_HARNESS_DEBUGFOLDER_H_
#define TESTS_E2E_HARNESS_DEBUGFOLDER_H_

#include <gtest/gtest.h>

namespace e2e {

// The launcher's fixed name for it, whatever the system drive.
constexpr char kDebugFolder[] = "C:\\OvratDebug";
// tests/kit/run-tests.cmd looks for the same name.
constexpr char kDebugFolderMarker[] = "made-by-setup-e2e-tests.txt";

// At the start of a test that uses the folder: nothing there is success; a
// folder or file holding the marker is left from an interrupted run and is
// removed; anything else is the vendor's own: a failure that says to move
// it away, with nothing touched.
testing::AssertionResult ClaimDebugFolder();

// The folder, with the marker in it.
testing::AssertionResult MakeDebugFolder();
// A file in the folder's place (setup-debug.exe must then look no further).
testing::AssertionResult MakeDebugFolderFile();

// Removes what MakeDebugFolder or MakeDebugFolderFile made; leaves
// anything without the marker alone (and says so).
testing::AssertionResult RemoveDebugFolder();

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_DEBUGFOLDER_H_
