// Administrator rights: setup.exe's manifest requires them, so Windows
// starts it only from an elevated process (this one, in an administrator
// Command Prompt) and refuses it to a normal user's token without showing a
// prompt. Wine grants every program administrator rights and never asks.
#include <windows.h>

#include <winsafer.h>

#include <string>

#include "tests/e2e/harness/Inputs.h"
#include "tests/e2e/harness/LauncherTest.h"
#include "tests/e2e/harness/System.h"

namespace e2e {
namespace {

class AdministratorTest : public LauncherTest {};

// ERROR_ELEVATION_REQUIRED, which MinGW-w64's headers do not name.
constexpr unsigned long kElevationRequired = 740;

// The manifest resource (RT_MANIFEST, id 1) of an executable, read without
// running it; "" when there is none.
std::string Manifest(const std::string& program) {
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return std::string();
  std::string text;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data != nullptr) text.assign(static_cast<const char*>(data), SizeofResource(module, found));
  FreeLibrary(module);
  return text;
}

TEST_F(AdministratorTest, ManifestRequiresAdministrator) {
  for (const std::string& program : {GetInputs().setup, GetInputs().setupDebug}) {
    SCOPED_TRACE(program);
    const std::string manifest = Manifest(program);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource";
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
  }
}

// Under Wine as on Windows this program runs elevated: on Windows because
// Preconditions insists on an administrator Command Prompt; under Wine
// because Wine gives every program administrator rights (its token says
// elevated). From here setup.exe starts without a prompt.
TEST_F(AdministratorTest, ElevatedCallerStartsSetupWithoutAPrompt) {
  unsigned long error = 0;
  EXPECT_EQ(IsElevated(&error), 1) << "error " << error;
  const std::string app = Folder("App");
  const std::string exe = PutLauncher(app);
  const std::string library = PutLibrary(app);
  ASSERT_FALSE(HasFailure());
  const Outcome run = RunProgram(Request(exe, 740740));
  EXPECT_TRUE(LoadedOnce(run.records, library, "/test"));
  EXPECT_EQ(run.Code(), 740740);
}

// A normal user's token (what a non-elevated Command Prompt has): Windows
// refuses to start a program whose manifest requires administrator rights
// with it, ERROR_ELEVATION_REQUIRED, and CreateProcessAsUserA shows no
// prompt. Wine cannot make such a token: its SaferCreateLevel and
// SaferComputeTokenFromLevel are stubs that succeed and hand back a made-up
// handle, with which CreateProcessAsUserA fails with ERROR_INVALID_HANDLE
// before setup.exe is even looked at.
TEST_F(AdministratorTest, NormalUsersTokenIsRefusedWithoutAPrompt) {
  if (RunningUnderWine()) {
    GTEST_SKIP() << "Wine's SaferComputeTokenFromLevel is a stub: it returns a made-up "
                    "token handle, no normal user's token to start setup.exe with";
  }
  const std::string app = Folder("App");
  const std::string exe = PutLauncher(app);
  PutLibrary(app);
  ASSERT_FALSE(HasFailure());
  SAFER_LEVEL_HANDLE level = nullptr;
  ASSERT_TRUE(SaferCreateLevel(SAFER_SCOPEID_USER, SAFER_LEVELID_NORMALUSER, SAFER_LEVEL_OPEN,
                               &level, nullptr))
      << "SaferCreateLevel: error " << GetLastError();
  HANDLE token = nullptr;
  const BOOL computed = SaferComputeTokenFromLevel(level, nullptr, &token, 0, nullptr);
  const DWORD computeError = GetLastError();
  SaferCloseLevel(level);
  ASSERT_TRUE(computed) << "SaferComputeTokenFromLevel: error " << computeError;
  LaunchRequest request = Request(exe, 42);
  request.token = token;
  const Outcome run = RunProgram(request, Records::kRecording, Expect::kMayNotStart);
  CloseHandle(token);
  EXPECT_FALSE(run.launch.started) << run.launch.Describe();
  EXPECT_EQ(run.launch.startError, kElevationRequired) << run.launch.Describe();
  EXPECT_EQ(run.records.size(), 0u) << Describe(run.records);
}

}  // namespace
}  // namespace e2e
