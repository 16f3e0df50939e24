// The directory queries: entering a directory and listing it.
#include <cstring>
#include <memory>

#include "paths/PathString.h"
#include "platform/FileSystem.h"

namespace {

constexpr unsigned kWorkBufferSize = 260;

// The current directory, saved so that it can be made current again: in
// `fixed` when it fits, else in `large`, sized as the system asks, so that
// even a long one comes back whole. Null when it cannot be read.
const char* SaveCurrentDirectory(char (&fixed)[kWorkBufferSize], std::unique_ptr<char[]>& large) {
  uint32_t result = platform::GetCurrentDir(fixed, kWorkBufferSize);
  if (result < kWorkBufferSize) return result != 0 ? fixed : nullptr;
  // The directory may grow between the two calls: ask again until it fits.
  uint32_t size = 0;
  do {
    size = result;
    large.reset(new char[size]);
    result = platform::GetCurrentDir(large.get(), size);
  } while (result >= size);
  return result != 0 ? large.get() : nullptr;
}

// "<text>\*" into `pattern`; false, with nothing written, when the text is
// too long for it.
bool BuildSearchPattern(const char* text, char (&pattern)[kWorkBufferSize]) {
  if (text == nullptr) return false;
  const std::size_t length = std::strlen(text);
  const bool hasBackslash = length > 0 && text[length - 1] == '\\';
  const std::size_t patternLength = length + (hasBackslash ? 1 : 2);
  if (patternLength >= kWorkBufferSize) return false;
  std::memcpy(pattern, text, length);
  std::strcpy(pattern + length, hasBackslash ? "*" : "\\*");
  return true;
}

bool IsDotEntry(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool IsSubdirectory(const platform::DirectoryEntry& entry) {
  return (entry.attributes & platform::kFileAttributeDirectory) != 0;
}

bool IsAnyEntry(const platform::DirectoryEntry&) { return true; }

// 1 when the directory that `path` names lists an entry other than "." and
// ".." that `wanted` accepts. A text too long for the pattern buffer cannot
// be listed at all, so it is refused before anything asks the system.
int DirectoryHolds(PathString& path, bool (*wanted)(const platform::DirectoryEntry&)) {
  char pattern[kWorkBufferSize];
  if (!BuildSearchPattern(path.GetText(), pattern)) return 0;
  if (path.IsDirectory() == 0) return 0;
  platform::DirectoryListing listing;
  platform::DirectoryEntry entry;
  for (bool more = listing.Open(pattern, &entry); more; more = listing.Next(&entry)) {
    if (!IsDotEntry(entry.name) && wanted(entry)) return 1;
  }
  return 0;
}

}  // namespace

int PathString::CanEnterDirectory() {
  if (text == nullptr || IsBlank()) return 0;
  char fixed[kWorkBufferSize];
  std::unique_ptr<char[]> large;
  const char* saved = SaveCurrentDirectory(fixed, large);
  // Without a way back the process would be left elsewhere for good.
  if (saved == nullptr) return 0;
  const uint32_t code = platform::SetCurrentDir(text);
  platform::SetCurrentDir(saved);
  if (code == 0) return 1;
  errorCode = kErrorEnterDirectory;
  lastError = code;
  return 0;
}

int PathString::HasSubdirectories() {
  if (IsBlank()) return 0;
  return DirectoryHolds(*this, IsSubdirectory);
}

int PathString::HasEntries() { return DirectoryHolds(*this, IsAnyEntry); }
