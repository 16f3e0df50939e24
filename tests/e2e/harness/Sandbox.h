// The scratch folder of one test: %SystemDrive%\Setup-E2E\<suite>.<test>,
// made afresh (a leftover of an interrupted run goes first) and removed
// afterwards, with Setup-E2E itself when nothing else is left in it.
#ifndef TESTS_E2E_HARNESS_SANDBOX_H_
#define TESTS_E2E_HARNESS_SANDBOX_H_

#include <gtest/gtest.h>

#include <string>

namespace e2e {

class Sandbox {
 public:
  Sandbox() = default;
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;
  ~Sandbox() { Remove(); }

  // Makes the folder for the test now running.
  testing::AssertionResult Create();
  testing::AssertionResult Remove();

  // The folder (no backslash at the end); "" before Create.
  const std::string& Root() const { return root_; }
  // `relative` inside the folder.
  std::string Path(const std::string& relative) const;

 private:
  std::string top_;
  std::string root_;
};

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_SANDBOX_H_
