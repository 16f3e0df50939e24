#include "tests/e2e/harness/DebugFolder.h"

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/harness/Files.h"

namespace e2e {
namespace {

constexpr char kMarkerText[] =
    "Made by setup-e2e-tests.exe, which removes it when its tests end.\r\n";

bool HoldsMarker() {
  if (IsFolder(kDebugFolder)) return Exists(JoinPath(kDebugFolder, kDebugFolderMarker));
  std::string content;
  return ReadBytes(kDebugFolder, &content) && content == kMarkerText;
}

// The marker goes last: a removal cut short leaves a folder that the next
// run still knows as its own.
testing::AssertionResult RemoveMarkedFolder() {
  if (!IsFolder(kDebugFolder)) return RemovePath(kDebugFolder);
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(JoinPath(kDebugFolder, "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = found.cFileName;
      if (name != "." && name != ".." && name != kDebugFolderMarker) names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  for (const std::string& name : names) {
    testing::AssertionResult removed = RemovePath(JoinPath(kDebugFolder, name));
    if (!removed) return removed;
  }
  return RemovePath(kDebugFolder);
}

}  // namespace

testing::AssertionResult ClaimDebugFolder() {
  if (!Exists(kDebugFolder)) return testing::AssertionSuccess();
  if (HoldsMarker()) return RemoveMarkedFolder();
  return testing::AssertionFailure()
         << kDebugFolder << " exists and was not made by these tests: setup-debug.exe would "
         << "load what it holds instead of the tests' libraries, and the tests never remove "
         << "what they did not make. Move it away (move " << kDebugFolder << " " << kDebugFolder
         << ".saved), run the tests again, then move it back.";
}

testing::AssertionResult MakeDebugFolder() {
  testing::AssertionResult made = MakeFolders(kDebugFolder);
  if (made) made = WriteBytes(JoinPath(kDebugFolder, kDebugFolderMarker), kMarkerText);
  return made;
}

testing::AssertionResult MakeDebugFolderFile() { return WriteBytes(kDebugFolder, kMarkerText); }

testing::AssertionResult RemoveDebugFolder() {
  if (!Exists(kDebugFolder)) return testing::AssertionSuccess();
  if (!HoldsMarker()) {
    return testing::AssertionFailure()
           << kDebugFolder << " no longer holds the tests' marker: left as it is";
  }
  return RemoveMarkedFolder();
}

}  // namespace e2e
