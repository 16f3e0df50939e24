// The demo installer library logs what it receives beside itself and
// returns 1, which no failure to find it can give.
#include <string>

#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/Inputs.h"
#include "tests/e2e/harness/LauncherTest.h"

namespace e2e {
namespace {

class DemoLibraryTest : public LauncherTest {};

TEST_F(DemoLibraryTest, DemoLibraryLogsEachCall) {
  const std::string app = Folder("App");
  const std::string exe = PutLauncher(app);
  ASSERT_TRUE(CopyOneFile(GetInputs().demoLibrary, JoinPath(app, kLibraryName)));
  const std::string commandLines[] = {"\"" + exe + "\" /install /lang de", "\"" + exe + "\""};
  for (const std::string& commandLine : commandLines) {
    SCOPED_TRACE(commandLine);
    EXPECT_EQ(RunProgram(Request(exe, commandLine)).Code(), 1);
  }
  std::string log;
  ASSERT_TRUE(ReadBytes(JoinPath(app, "dropnest-demo.log"), &log));
  EXPECT_EQ(log,
            "PreInstall received 17 bytes: [/install /lang de]\r\n"
            "PreInstall received 0 bytes: []\r\n");
}

}  // namespace
}  // namespace e2e
