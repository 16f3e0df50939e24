// The fixture of the end-to-end tests: a sandbox folder per test, the
// launcher and libraries copied into it, runs with a fresh record file.
// Tests that run setup-debug.exe or shape C:\OvratDebug pass
// kUsesDebugFolder: the folder is claimed before the test (DebugFolder.h)
// and what the test made there is removed afterwards.
#ifndef TESTS_E2E_HARNESS_LAUNCHERTEST_H_
#define TESTS_E2E_HARNESS_LAUNCHERTEST_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/e2e/harness/Launch.h"
#include "tests/e2e/harness/Records.h"
#include "tests/e2e/harness/Sandbox.h"
#include "tests/e2e/harness/TestLibraries.h"

namespace e2e {

enum class Launcher { kSetup, kSetupDebug };
const char* FileName(Launcher launcher);

// One run of a program: how it ended and what the libraries recorded.
struct Outcome {
  LaunchResult launch;
  std::string recordData;
  std::vector<Record> records;  // the recording library's
  PinnedRecords pinned;         // the pinned package's libraries'
  int32_t Code() const { return launch.Code(); }
};

class LauncherTest : public testing::Test {
 protected:
  static constexpr bool kUsesDebugFolder = true;
  explicit LauncherTest(bool usesDebugFolder = false) : usesDebugFolder_(usesDebugFolder) {}

  void SetUp() override;
  void TearDown() override;

  // A folder made if missing (a relative path is inside the sandbox); its
  // full path.
  std::string Folder(const std::string& path);
  // Copies setup.exe or setup-debug.exe into `folder`; its full path.
  std::string PutLauncher(const std::string& folder, Launcher launcher = Launcher::kSetup);
  // Copies the test library `variant` into `folder` as `name`; its full path.
  std::string PutLibrary(const std::string& folder, const std::string& variant = kRecording,
                         const std::string& name = kLibraryName);

  // A run of `program` with `commandLine` ("" gives the quoted program path
  // and " /test") and SETUP_TEST_RECORD naming the record file.
  LaunchRequest Request(const std::string& program, const std::string& commandLine = "") const;
  // The same, with SETUP_TEST_RESULT: what the test libraries' PreInstall returns.
  LaunchRequest Request(const std::string& program, long result,
                        const std::string& commandLine = "") const;
  // Runs it with the record file removed first; a run that did not start
  // (unless kMayNotStart) or end, or an unreadable record, fails the test.
  // The records are the recording library's, or with kKeyValue the pinned
  // package's.
  enum class Records { kRecording, kKeyValue };
  enum class Expect { kRunsToItsEnd, kMayNotStart };
  Outcome RunProgram(const LaunchRequest& request, Records format = Records::kRecording,
                     Expect expect = Expect::kRunsToItsEnd);

  Sandbox sandbox_;
  std::string recordFile_;

 private:
  bool usesDebugFolder_;
  bool claimedDebugFolder_ = false;
};

// Exactly one call of PreInstall, from the copy at `library`, which received
// `text`.
testing::AssertionResult LoadedOnce(const std::vector<Record>& records, const std::string& library,
                                    const std::string& text);

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_LAUNCHERTEST_H_
