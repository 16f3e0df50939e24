#include "tests/e2e/harness/Sandbox.h"

#include <windows.h>

#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/System.h"

namespace e2e {

testing::AssertionResult Sandbox::Create() {
  const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
  if (test == nullptr) return testing::AssertionFailure() << "no test is running";
  top_ = SystemDrive() + "\\Setup-E2E";
  root_ = JoinPath(top_, std::string(test->test_suite_name()) + "." + test->name());
  testing::AssertionResult ready = RemovePath(root_);
  if (ready) ready = MakeFolders(root_);
  return ready;
}

testing::AssertionResult Sandbox::Remove() {
  if (root_.empty()) return testing::AssertionSuccess();
  testing::AssertionResult removed = RemovePath(root_);
  root_.clear();
  // Fails while another test's folder is still there, as it should.
  RemoveDirectoryA(top_.c_str());
  return removed;
}

std::string Sandbox::Path(const std::string& relative) const { return JoinPath(root_, relative); }

}  // namespace e2e
