// A file that a test puts into the system folder (a stand-in for a system
// DLL) and removes again.
#ifndef TESTS_E2E_HARNESS_SYSTEMFOLDERFILE_H_
#define TESTS_E2E_HARNESS_SYSTEMFOLDERFILE_H_

#include <gtest/gtest.h>

#include <string>

namespace e2e {

class SystemFolderFile {
 public:
  SystemFolderFile() = default;
  SystemFolderFile(const SystemFolderFile&) = delete;
  SystemFolderFile& operator=(const SystemFolderFile&) = delete;
  ~SystemFolderFile() { Remove(); }

  // Copies `source` into the system folder as `name`.
  testing::AssertionResult Put(const std::string& source, const std::string& name);
  testing::AssertionResult Remove();

 private:
  std::string path_;
};

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_SYSTEMFOLDERFILE_H_
