#include "tests/e2e/harness/LauncherTest.h"

#include "tests/e2e/harness/DebugFolder.h"
#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/Inputs.h"

namespace e2e {

const char* FileName(Launcher launcher) {
  return launcher == Launcher::kSetup ? "setup.exe" : "setup-debug.exe";
}

void LauncherTest::SetUp() {
  ASSERT_TRUE(sandbox_.Create());
  recordFile_ = sandbox_.Path("record.txt");
  if (usesDebugFolder_) {
    ASSERT_TRUE(ClaimDebugFolder());
    claimedDebugFolder_ = true;
  }
}

void LauncherTest::TearDown() {
  if (claimedDebugFolder_) {
    EXPECT_TRUE(RemoveDebugFolder());
  }
  EXPECT_TRUE(sandbox_.Remove());
}

std::string LauncherTest::Folder(const std::string& path) {
  const bool absolute = (path.size() > 1 && path[1] == ':') || path.compare(0, 2, "\\\\") == 0;
  const std::string folder = absolute ? path : sandbox_.Path(path);
  EXPECT_TRUE(MakeFolders(folder));
  return folder;
}

std::string LauncherTest::PutLauncher(const std::string& folder, Launcher launcher) {
  const std::string program = JoinPath(folder, FileName(launcher));
  EXPECT_TRUE(CopyOneFile(launcher == Launcher::kSetup ? GetInputs().setup : GetInputs().setupDebug,
                          program));
  return program;
}

std::string LauncherTest::PutLibrary(const std::string& folder, const std::string& variant,
                                     const std::string& name) {
  const std::string library = JoinPath(folder, name);
  EXPECT_TRUE(CopyOneFile(TestLibrary(variant), library));
  return library;
}

LaunchRequest LauncherTest::Request(const std::string& program,
                                    const std::string& commandLine) const {
  LaunchRequest request;
  request.program = program;
  request.commandLine = commandLine.empty() ? "\"" + program + "\" /test" : commandLine;
  request.environment.emplace_back("SETUP_TEST_RECORD", recordFile_);
  return request;
}

LaunchRequest LauncherTest::Request(const std::string& program, long result,
                                    const std::string& commandLine) const {
  LaunchRequest request = Request(program, commandLine);
  request.environment.emplace_back("SETUP_TEST_RESULT", std::to_string(result));
  return request;
}

Outcome LauncherTest::RunProgram(const LaunchRequest& request, Records format, Expect expect) {
  Outcome run;
  EXPECT_TRUE(RemovePath(recordFile_));
  run.launch = Launch(request);
  EXPECT_TRUE((run.launch.started || expect == Expect::kMayNotStart) && !run.launch.timedOut)
      << request.program << " " << run.launch.Describe();
  if (!ReadBytes(recordFile_, &run.recordData)) return run;
  if (format == Records::kKeyValue) {
    run.pinned = ParsePinnedRecords(run.recordData);
  } else {
    std::string error;
    EXPECT_TRUE(ParseRecords(run.recordData, &run.records, &error))
        << "the record file " << recordFile_ << ": " << error;
  }
  return run;
}

testing::AssertionResult LoadedOnce(const std::vector<Record>& records, const std::string& library,
                                    const std::string& text) {
  if (records.size() != 1) {
    return testing::AssertionFailure() << "PreInstall must be called exactly once, it was called "
                                       << records.size() << " times:\n"
                                       << Describe(records);
  }
  if (!SamePath(records[0].library, library)) {
    return testing::AssertionFailure()
           << "loaded " << records[0].library << ", expected " << library;
  }
  if (records[0].nullText) return testing::AssertionFailure() << "PreInstall received null";
  if (records[0].text != text) {
    return testing::AssertionFailure()
           << "PreInstall received [" << records[0].text << "], expected [" << text << "]";
  }
  return testing::AssertionSuccess();
}

}  // namespace e2e
