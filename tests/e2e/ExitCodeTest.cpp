// PreInstall's int result becomes setup.exe's exit code unchanged, all 32
// bits: what a shell or `wine` shows is only the low 8.
#include <cstdint>
#include <string>

#include "tests/e2e/harness/LauncherTest.h"

namespace e2e {
namespace {

class ExitCodeTest : public LauncherTest {};

TEST_F(ExitCodeTest, ResultBecomesExitCode) {
  const std::string app = Folder("App");
  const std::string exe = PutLauncher(app);
  const std::string library = PutLibrary(app);
  ASSERT_FALSE(HasFailure());
  const int32_t results[] = {0, 1, 255, 256, -1, -123456, INT32_MAX, INT32_MIN};
  for (const int32_t result : results) {
    SCOPED_TRACE("PreInstall returns " + std::to_string(result));
    const Outcome run = RunProgram(Request(exe, result));
    EXPECT_TRUE(LoadedOnce(run.records, library, "/test"));
    EXPECT_EQ(run.Code(), result);
  }
}

}  // namespace
}  // namespace e2e
