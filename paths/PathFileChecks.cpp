// The file checks: does the path name a directory, can a file be opened.
#include "paths/PathString.h"
#include "platform/FileSystem.h"

namespace {

// Recorded beside kErrorBlankPath. No system call failed, so there is no code
// to take; this is the one that readers of the error record expect.
constexpr unsigned kBlankPathSystemCode = 109;

// Codes with which the system refuses an open of a file that does exist:
// it is held by someone else, locked, or protected.
bool ShowsFileIsThere(uint32_t code) {
  return code == platform::kErrorAccessDenied || code == platform::kErrorSharingViolation ||
         code == platform::kErrorLockViolation || code == platform::kErrorFileExists;
}

}  // namespace

int PathString::IsDirectory() {
  if (text == nullptr) return 0;
  const uint32_t attributes = platform::FileAttributes(text);
  if (attributes == platform::kInvalidFileAttributes) return 0;
  return static_cast<int>(attributes & platform::kFileAttributeDirectory);
}

int PathString::CheckFile(int disposition) { return CheckFile(nullptr, disposition); }

int PathString::CheckFile(const char* name, int disposition) {
  if (text == nullptr) return 0;
  // The name is joined on a copy: a check must not change the path it asks about.
  PathString candidate(text, 260);
  lastError = 0;
  if (name != nullptr) candidate.AppendComponent(name);
  if (candidate.IsBlank()) {
    lastError = kBlankPathSystemCode;
    errorCode = kErrorBlankPath;
    return 0;
  }
  if (candidate.IsDirectory()) return 0;
  const uint32_t code = platform::TryOpenFile(candidate.GetText(), disposition);
  if (code == 0) return 1;
  errorCode = kErrorOpenFailed;
  lastError = code;
  return ShowsFileIsThere(code) ? 1 : 0;
}
