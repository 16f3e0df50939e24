#include "AdminExe/PinList.h"

#include <cstring>

#include "AdminExe/PreInstall.h"

namespace pinlist {
namespace {

constexpr size_t kHeaderSize = 8;
constexpr size_t kEntryFixedSize = 4 + kDigestSize + 1 + 1;

uint32_t ReadLittleEndian(const unsigned char* p, int bytes) {
  uint32_t value = 0;
  while (bytes-- > 0) value = (value << 8) | p[bytes];
  return value;
}

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

// One part between backslashes: not empty, not "." or "..", not ending in a
// dot or a blank, only printable ASCII that Windows allows in a name.
bool SoundPart(const char* part, unsigned length) {
  if (length == 0 || part[length - 1] == '.' || part[length - 1] == ' ') return false;
  for (unsigned i = 0; i < length; ++i) {
    const char c = part[i];
    if (c < 0x20 || c > 0x7E || std::strchr("/:*?\"<>|", c) != nullptr) return false;
  }
  return true;
}

bool SoundName(const char* name, unsigned length) {
  unsigned start = 0;
  for (unsigned i = 0; i <= length; ++i) {
    if (i < length && name[i] != '\\') continue;
    if (!SoundPart(name + start, i - start)) return false;
    start = i + 1;
  }
  return true;
}

bool AtTopLevel(const Entry& entry) {
  return std::memchr(entry.name, '\\', entry.nameLength) == nullptr;
}

bool IsDll(const Entry& entry) {
  return entry.nameLength > 4 && EqualFolded(entry.name + entry.nameLength - 4, 4, ".dll", 4);
}

Error ParseEntries(const unsigned char* data, size_t size, Entry* entries, unsigned count) {
  size_t offset = kHeaderSize;
  unsigned installerLibraries = 0;
  for (unsigned i = 0; i < count; ++i) {
    if (size - offset < kEntryFixedSize) return Error::kTruncated;
    Entry& entry = entries[i];
    const unsigned char* p = data + offset;
    entry.size = ReadLittleEndian(p, 4);
    entry.digest = p + 4;
    const unsigned flags = p[4 + kDigestSize];
    entry.nameLength = p[4 + kDigestSize + 1];
    entry.name = reinterpret_cast<const char*>(p + kEntryFixedSize);
    offset += kEntryFixedSize;
    if (size - offset < entry.nameLength) return Error::kTruncated;
    offset += entry.nameLength;
    if (entry.nameLength > kMaxNameLength || !SoundName(entry.name, entry.nameLength)) {
      return Error::kBadName;
    }
    for (unsigned j = 0; j < i; ++j) {
      if (EqualFolded(entries[j].name, entries[j].nameLength, entry.name, entry.nameLength)) {
        return Error::kDuplicate;
      }
    }
    const bool installerLibrary = IsInstallerLibrary(entry);
    installerLibraries += installerLibrary ? 1 : 0;
    entry.companion = flags == kFlagCompanion;
    if (flags > kFlagCompanion ||
        (entry.companion && (!AtTopLevel(entry) || !IsDll(entry) || installerLibrary))) {
      return Error::kBadFlags;
    }
  }
  if (offset != size) return Error::kTrailingData;
  return installerLibraries == 1 ? Error::kNone : Error::kNoInstallerLibrary;
}

}  // namespace

bool IsInstallerLibrary(const Entry& entry) {
  static constexpr char kName[] = PREINSTALL_LIBRARY_NAME;
  return EqualFolded(entry.name, entry.nameLength, kName, sizeof kName - 1);
}

Error Parse(const unsigned char* data, size_t size, Entry* entries, unsigned* count) {
  *count = 0;
  if (data == nullptr || size < kHeaderSize) return Error::kTruncated;
  if (size > kMaxListSize) return Error::kTooLarge;
  if (std::memcmp(data, "DNPL\x01\x00", 6) != 0) return Error::kBadHeader;
  const unsigned listed = ReadLittleEndian(data + 6, 2);
  if (listed == 0) return Error::kNoEntries;
  if (listed > kMaxEntries) return Error::kTooLarge;
  const Error error = ParseEntries(data, size, entries, listed);
  if (error == Error::kNone) *count = listed;
  return error;
}

const char* Describe(Error error) {
  switch (error) {
    case Error::kNone:
      return "sound";
    case Error::kTruncated:
      return "cut short";
    case Error::kTooLarge:
      return "too large";
    case Error::kBadHeader:
      return "unknown format";
    case Error::kNoEntries:
      return "no files";
    case Error::kBadName:
      return "a name that is not a plain relative path";
    case Error::kBadFlags:
      return "a companion that is not a DLL at the top level";
    case Error::kDuplicate:
      return "a name listed twice";
    case Error::kNoInstallerLibrary:
      return "no " PREINSTALL_LIBRARY_NAME " at the top level";
    case Error::kTrailingData:
      return "data after the last entry";
  }
  return "unknown fault";
}

}  // namespace pinlist
