// The debug-directory lookup of setup-debug.exe and the tests (see
// DebugDirectory.h); never linked into setup.exe.
#include "AdminExe/DebugDirectory.h"

#include "paths/PathString.h"

namespace {

constexpr char kDebugDirectory[] = "C:\\OvratDebug";
constexpr int kOpenExisting = 3;

}  // namespace

platform::LibraryHandle LoadFromDebugDirectory(const char* name) {
  PathString* candidate = new PathString(nullptr, 260);
  candidate->Assign(kDebugDirectory, 0);
  candidate->AppendComponent(name);
  platform::LibraryHandle module = nullptr;
  // A file that exists but refuses the test open (access denied, sharing or
  // lock violation) still counts: CheckFile reports 1 for it.
  if (candidate->CheckFile(kOpenExisting) == 1) {
    module = platform::LoadLibraryFile(candidate->GetText());
  }
  delete candidate;
  return module;
}
