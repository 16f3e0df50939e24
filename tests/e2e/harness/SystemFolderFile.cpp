#include "tests/e2e/harness/SystemFolderFile.h"

#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/System.h"

namespace e2e {

testing::AssertionResult SystemFolderFile::Put(const std::string& source, const std::string& name) {
  const std::string folder = SystemFolder();
  if (folder.empty()) return testing::AssertionFailure() << "no system folder";
  // The system folder as this 32-bit process sees it: on 64-bit Windows
  // (and in a WoW64 Wine prefix) the system writes it to SysWOW64, which is
  // where the 32-bit launcher's loader looks.
  path_ = JoinPath(folder, name);
  return CopyOneFile(source, path_);
}

testing::AssertionResult SystemFolderFile::Remove() {
  if (path_.empty()) return testing::AssertionSuccess();
  testing::AssertionResult removed = RemovePath(path_);
  path_.clear();
  return removed;
}

}  // namespace e2e
