#include "tests/e2e/harness/Inputs.h"

#include <windows.h>

#include <cstring>

#include "tests/e2e/harness/Files.h"
#include "tests/e2e/harness/TestLibraries.h"

namespace e2e {
namespace {

std::string OwnFolder() {
  char path[MAX_PATH * 2];
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return std::string();
  return FolderOf(std::string(path, length));
}

// An absolute path as it is; a relative one from the current directory.
std::string FullPath(const char* path) {
  char full[MAX_PATH * 2];
  const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
  if (length == 0 || length >= sizeof full) return path;
  std::string result(full, length);
  while (result.size() > 3 && (result.back() == '\\' || result.back() == '/')) result.pop_back();
  return result;
}

Inputs& MutableInputs() {
  static Inputs inputs = [] {
    Inputs found;
    found.folder = OwnFolder();
    found.setup = JoinPath(found.folder, "setup.exe");
    found.setupDebug = JoinPath(found.folder, "setup-debug.exe");
    found.demoLibrary = JoinPath(found.folder, "demo-dropnestlib.dll");
    found.pinnedRelease = JoinPath(found.folder, "pinned-release");
    return found;
  }();
  return inputs;
}

}  // namespace

const Inputs& GetInputs() { return MutableInputs(); }

bool ParseInputOptions(int argc, char** argv, std::string* error) {
  Inputs& inputs = MutableInputs();
  const struct {
    const char* prefix;
    std::string* target;
    bool* given;
  } options[] = {
      {"--setup=", &inputs.setup, nullptr},
      {"--setup-debug=", &inputs.setupDebug, nullptr},
      {"--pinned-release=", &inputs.pinnedRelease, &inputs.pinnedReleaseGiven},
  };
  for (int i = 1; i < argc; ++i) {
    bool known = false;
    for (const auto& option : options) {
      const size_t length = std::strlen(option.prefix);
      if (std::strncmp(argv[i], option.prefix, length) == 0 && argv[i][length] != '\0') {
        *option.target = FullPath(argv[i] + length);
        if (option.given != nullptr) *option.given = true;
        known = true;
      }
    }
    if (!known) {
      *error = std::string("unknown option or missing value: ") + argv[i];
      return false;
    }
  }
  return true;
}

std::string TestLibrary(const std::string& name) { return JoinPath(GetInputs().folder, name); }

std::vector<std::string> MissingInputs() {
  const Inputs& inputs = GetInputs();
  std::vector<std::string> wanted = {inputs.setup, inputs.setupDebug, inputs.demoLibrary};
  for (const char* name : kAllTestLibraries) wanted.push_back(TestLibrary(name));
  std::vector<std::string> missing;
  for (const std::string& path : wanted) {
    if (!Exists(path) || IsFolder(path)) missing.push_back(path);
  }
  return missing;
}

}  // namespace e2e
