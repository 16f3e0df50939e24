#ifndef ADMINEXE_PINLIST_H_
#define ADMINEXE_PINLIST_H_

#include <cstddef>
#include <cstdint>

// The pin list: what a released setup.exe carries about the package it was
// released with (tools/pin_list.py writes it; it becomes resource
// kPinListResource of type RCDATA). Every file of the package is named by
// its path relative to the program's folder, with its size and SHA-256;
// companions are the DLLs loaded, by full path and in list order, before
// the installer library.
//
// Layout, little-endian, nothing between the parts:
//   header  "DNPL", version (1 byte, 1), reserved (1 byte, 0), count (2 bytes)
//   count entries, each:
//           size (4 bytes), SHA-256 (32 bytes), flags (1 byte: 1 companion,
//           no other bit), name length (1 byte), the name (no terminator)
// and nothing after the last entry.
//
// The list is read defensively: whoever could change the resource could also
// change the program, but a list that does not mean exactly one thing must
// not be taken for the vendor's. A name is printable ASCII, its parts
// separated by single backslashes: no drive, no leading backslash, no part
// "." or "..", none ending in a dot or a blank (Windows would drop those and
// open another file), none of the characters Windows reserves (/:*?"<>|).
// Names are unique without regard to case. Exactly one entry is the
// installer library at the top level; companions are other DLLs at the top
// level.
namespace pinlist {

constexpr unsigned kPinListResource = 1;
constexpr size_t kHeaderSize = 8;
constexpr size_t kMaxListSize = 64 * 1024;
constexpr unsigned kMaxEntries = 1024;
constexpr unsigned kMaxNameLength = 200;
constexpr size_t kDigestSize = 32;
constexpr unsigned kFlagCompanion = 1;

struct Entry {
  const char* name;  // into the list's data: not terminated
  unsigned nameLength;
  uint32_t size;
  const unsigned char* digest;
  bool companion;
};

enum class Error {
  kNone,
  kTruncated,
  kTooLarge,
  kBadHeader,
  kNoEntries,
  kBadName,
  kBadFlags,
  kDuplicate,
  kNoInstallerLibrary,
  kTrailingData,
};

// Parse: checks the `size` bytes at `data`. kNone and the number of entries
// in `*count` when the whole list is sound; otherwise the first fault found,
// and `*count` is 0.
Error Parse(const unsigned char* data, size_t size, unsigned* count);

// FirstEntry, NextEntry: walk the entries of a list that Parse found sound.
// NextEntry reads the entry at `at` into `*entry` and returns where the
// next one begins.
inline const unsigned char* FirstEntry(const unsigned char* data) { return data + 8; }
const unsigned char* NextEntry(const unsigned char* at, Entry* entry);

// IsInstallerLibrary: whether `entry` is the installer library at the top
// level (its name in any case).
bool IsInstallerLibrary(const Entry& entry);

// Why a list was refused, in a few words (for the one report line).
const char* Describe(Error error);

}  // namespace pinlist

#endif  // ADMINEXE_PINLIST_H_
