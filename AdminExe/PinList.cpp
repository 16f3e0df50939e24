#include "AdminExe/PinList.h"

#include <cstring>

#include "AdminExe/PreInstall.h"

namespace pinlist {
namespace {

constexpr size_t kEntryFixedSize = 4 + kDigestSize + 1 + 1;

unsigned char Fold(char c) {
  return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
}

bool EqualFolded(const char* a, unsigned aLength, const char* b, unsigned bLength) {
  if (aLength != bLength) return false;
  for (unsigned i = 0; i < aLength; ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

// Parts between single backslashes: none empty, "." or "..", none ending in
// a dot or a blank, only printable ASCII that Windows allows in a name.
bool SoundName(const char* name, unsigned length) {
  if (length == 0 || length > kMaxNameLength) return false;
  unsigned start = 0;
  for (unsigned i = 0; i <= length; ++i) {
    const char c = i < length ? name[i] : '\\';
    if (c == '\\') {
      const char last = i > start ? name[i - 1] : '.';
      if (last == '.' || last == ' ') return false;  // also catches "", "." and ".."
      start = i + 1;
    } else if (c < 0x20 || c > 0x7E || std::strchr("/:*?\"<>|", c) != nullptr) {
      return false;
    }
  }
  return true;
}

bool IsDll(const Entry& entry) {
  return entry.nameLength > 4 && EqualFolded(entry.name + entry.nameLength - 4, 4, ".dll", 4);
}

}  // namespace

const unsigned char* NextEntry(const unsigned char* at, Entry* entry) {
  entry->size = static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 |
                static_cast<uint32_t>(at[2]) << 16 | static_cast<uint32_t>(at[3]) << 24;
  entry->digest = at + 4;
  entry->companion = at[4 + kDigestSize] != 0;
  entry->nameLength = at[4 + kDigestSize + 1];
  entry->name = reinterpret_cast<const char*>(at + kEntryFixedSize);
  return at + kEntryFixedSize + entry->nameLength;
}

bool IsInstallerLibrary(const Entry& entry) {
  static constexpr char kName[] = PREINSTALL_LIBRARY_NAME;
  return EqualFolded(entry.name, entry.nameLength, kName, sizeof kName - 1);
}

Error Parse(const unsigned char* data, size_t size, unsigned* count) {
  *count = 0;
  if (data == nullptr || size < kHeaderSize) return Error::kTruncated;
  if (size > kMaxListSize) return Error::kTooLarge;
  if (std::memcmp(data, "DNPL\x01", 6) != 0) return Error::kBadHeader;  // reserved byte 0
  const unsigned listed = data[6] | data[7] << 8;
  if (listed == 0) return Error::kNoEntries;
  if (listed > kMaxEntries) return Error::kTooLarge;
  const unsigned char* end = data + size;
  const unsigned char* at = FirstEntry(data);
  unsigned installerLibraries = 0;
  for (unsigned i = 0; i < listed; ++i) {
    if (static_cast<size_t>(end - at) < kEntryFixedSize ||
        static_cast<size_t>(end - at) - kEntryFixedSize < at[kEntryFixedSize - 1]) {
      return Error::kTruncated;
    }
    Entry entry;
    const unsigned char* next = NextEntry(at, &entry);
    if (!SoundName(entry.name, entry.nameLength)) return Error::kBadName;
    Entry earlier;
    for (const unsigned char* e = FirstEntry(data); e != at;) {
      e = NextEntry(e, &earlier);
      if (EqualFolded(earlier.name, earlier.nameLength, entry.name, entry.nameLength)) {
        return Error::kDuplicate;
      }
    }
    const bool installerLibrary = IsInstallerLibrary(entry);
    installerLibraries += installerLibrary ? 1 : 0;
    if (at[4 + kDigestSize] > kFlagCompanion ||
        (entry.companion && (std::memchr(entry.name, '\\', entry.nameLength) != nullptr ||
                             !IsDll(entry) || installerLibrary))) {
      return Error::kBadFlags;
    }
    at = next;
  }
  if (at != end) return Error::kTrailingData;
  if (installerLibraries != 1) return Error::kNoInstallerLibrary;
  *count = listed;
  return Error::kNone;
}

const char* Describe(Error error) {
  static const char* const kWhy[] = {
      "sound",
      "cut short",
      "too large",
      "unknown format",
      "no files",
      "a name not allowed",
      "a bad flag",
      "a name listed twice",
      "no " PREINSTALL_LIBRARY_NAME,
      "data after the end",
  };
  return kWhy[static_cast<int>(error)];
}

}  // namespace pinlist
