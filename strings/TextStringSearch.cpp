// Comparison, the blank tests, search, and ReplaceAll with its three
// one-line users.
#include <cstdint>
#include <cstring>

#include "strings/Ascii.h"
#include "strings/DetachedText.h"
#include "strings/TextSearch.h"
#include "strings/TextString.h"

int TextString::Compare(const ObjectBase* other, int byLength) const {
  // Anything that is not a TextString has no text to order by: take it as null.
  const TextString* peer = dynamic_cast<const TextString*>(other);
  if (byLength == 1) {
    if (peer == nullptr) return GetLength() != 0 ? 1 : 0;
    const unsigned mine = GetLength();
    const unsigned theirs = peer->GetLength();
    return mine < theirs ? -1 : (mine > theirs ? 1 : 0);
  }
  if (peer == nullptr || peer->GetText() == nullptr) return text != nullptr ? 1 : 0;
  if (text == nullptr) return -1;
  return std::strcmp(text, peer->GetText());
}

int TextString::IsEqual(const char* other, int caseSensitive) const {
  if (text == nullptr || other == nullptr) return 0;
  if (caseSensitive != 0) return std::strcmp(text, other) == 0 ? 1 : 0;
  const char* a = text;
  const char* b = other;
  while (*a != '\0' && ascii::ToLower(*a) == ascii::ToLower(*b)) {
    ++a;
    ++b;
  }
  return *a == '\0' && *b == '\0' ? 1 : 0;
}

int TextString::HasSpace() const {
  return text != nullptr && std::strchr(text, ' ') != nullptr ? 1 : 0;
}

int TextString::IsBlank() const {
  if (text == nullptr) return 1;
  for (const char* p = text; *p != '\0'; ++p) {
    if (!ascii::IsBlankByte(*p)) return 0;
  }
  return 1;
}

char* TextString::FindIn(const char* haystack, const char* what, int caseSensitive) const {
  // Even an empty `what` finds nothing in an empty text.
  if (haystack == nullptr || *haystack == '\0' || what == nullptr) return nullptr;
  const char* found = textsearch::Find(haystack, what, std::strlen(what), caseSensitive != 0);
  return const_cast<char*>(found);
}

char* TextString::Find(const char* what, int caseSensitive) const {
  if (text == nullptr || what == nullptr) return nullptr;
  return FindIn(text, what, caseSensitive);
}

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

  // The result is built in a new buffer and may be copied back over the old
  // one, so arguments taken from our own text are read from copies.
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

  char* result = AllocateZeroed(static_cast<uint32_t>(resultSize));
  char* out = result;
  const char* scan = text;
  for (const char* p = FindIn(text, needle, caseSensitive); p != nullptr;
       p = FindIn(scan, needle, caseSensitive)) {
    std::memcpy(out, scan, static_cast<size_t>(p - scan));
    out += p - scan;
    std::memcpy(out, insert, insertLength);
    out += insertLength;
    scan = p + needleLength;
  }
  std::strcpy(out, scan);

  // A result that leaves room to spare goes back into the old buffer.
  if (resultSize < GetCapacity()) {
    std::memset(text, 0, GetCapacity());
    std::memcpy(text, result, resultSize);
    ::operator delete(result);
  } else {
    Adopt(result, static_cast<uint32_t>(resultSize));
  }
  return text;
}
