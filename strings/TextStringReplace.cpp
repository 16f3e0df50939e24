// Replacing: ReplaceAll and its three one-line users.
#include <cstdint>
#include <cstring>

#include "strings/TextString.h"
#include "strings/internal/DetachedText.h"
#include "strings/internal/TextBuffer.h"

using strings_internal::DeleteTextBuffer;
using strings_internal::DetachedText;
using strings_internal::NewTextBuffer;

const char* TextString::Remove(const char* what) { return ReplaceAll(what, "", 0, nullptr); }

const char* TextString::Replace(const char* what, const char* with, unsigned* count) {
  return ReplaceAll(what, with, 0, count);
}

const char* TextString::ReplaceCase(const char* what, const char* with, unsigned* count) {
  return ReplaceAll(what, with, 1, count);
}

const char* TextString::ReplaceAll(const char* what, const char* with, int caseSensitive,
                                   unsigned* count) {
  if (count != nullptr) *count = 0;
  if (text == nullptr) return nullptr;
  // An empty `what` would match everywhere without ever advancing.
  if (what == nullptr || with == nullptr || *what == '\0') return text;

  // The result is written over the old text or into a new buffer that
  // replaces it, so arguments taken from our own text are read from copies.
  DetachedText whatArg(what, text, size);
  DetachedText withArg(with, text, size);
  const char* needle = whatArg.get();
  const char* insert = withArg.get();
  const uint64_t needleLength = std::strlen(needle);
  const uint64_t insertLength = std::strlen(insert);

  uint64_t matches = 0;
  for (const char* p = FindIn(text, needle, caseSensitive); p != nullptr;
       p = FindIn(p + needleLength, needle, caseSensitive)) {
    ++matches;
  }
  if (matches == 0) return text;

  const uint64_t length = GetLength();
  const uint64_t resultSize = length - matches * needleLength + matches * insertLength + 1;
  if (resultSize > UINT32_MAX) return text;
  if (count != nullptr) *count = static_cast<unsigned>(matches);

  // A result that leaves room to spare goes into the old buffer, which then
  // reads as zeroed up to its capacity and filled with the result; when no
  // replacement is longer than what it replaces, it is written there
  // directly, since the writing never overtakes the scan and the search
  // reads only ahead of the scan. Any other result gets a buffer of exactly
  // its size, every byte of it written.
  const uint64_t capacity = GetCapacity();
  const bool keep = resultSize < capacity;
  char* result =
      keep && insertLength <= needleLength ? text : NewTextBuffer(static_cast<size_t>(resultSize));
  char* out = result;
  const char* scan = text;
  for (const char* p = FindIn(text, needle, caseSensitive); p != nullptr;
       p = FindIn(scan, needle, caseSensitive)) {
    std::memmove(out, scan, static_cast<size_t>(p - scan));
    out += p - scan;
    if (insertLength != 0) std::memcpy(out, insert, insertLength);
    out += insertLength;
    scan = p + needleLength;
  }
  std::memmove(out, scan, std::strlen(scan) + 1);

  if (!keep) {
    Adopt(result, static_cast<uint32_t>(resultSize));
    return text;
  }
  if (result != text) {
    std::memcpy(text, result, static_cast<size_t>(resultSize));
    DeleteTextBuffer(result);
  }
  std::memset(text + resultSize, 0, static_cast<size_t>(capacity - resultSize));
  return text;
}
