// Comparison, the blank tests, search, and ReplaceAll with its three
// one-line users.
#include <cstddef>
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
  // Folding keeps every byte a byte, so texts equal but for case end at the
  // same place. Both are measured a block at a time, never further than the
  // shorter one reaches, and each block is compared a word at a time.
  using ascii::word::Word;
  size_t at = 0;
  size_t block = 64;
  for (;;) {
    // memchr stops at the terminator it finds: a block may reach past a
    // text's end.
    const char* endOfMine = static_cast<const char*>(std::memchr(text + at, '\0', block));
    const char* endOfOther = static_cast<const char*>(std::memchr(other + at, '\0', block));
    if ((endOfMine == nullptr) != (endOfOther == nullptr)) return 0;
    const size_t span = endOfMine != nullptr ? static_cast<size_t>(endOfMine - (text + at)) : block;
    if (endOfOther != nullptr && static_cast<size_t>(endOfOther - (other + at)) != span) return 0;
    size_t i = at;
    for (; i + sizeof(Word) <= at + span; i += sizeof(Word)) {
      const Word a = ascii::word::Load(text + i);
      const Word b = ascii::word::Load(other + i);
      if (a != b && ascii::word::ToLower(a) != ascii::word::ToLower(b)) return 0;
    }
    for (; i < at + span; ++i) {
      if (ascii::ToLower(text[i]) != ascii::ToLower(other[i])) return 0;
    }
    if (endOfMine != nullptr) return 1;
    at += block;
    if (block < (size_t{1} << 16)) block *= 2;
  }
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
  // Loops search for one byte again and again: no call to measure it.
  const size_t length = what[0] == '\0' ? 0 : what[1] == '\0' ? 1 : std::strlen(what);
  const char* found = textsearch::Find(haystack, what, length, caseSensitive != 0);
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
  char* result = keep && insertLength <= needleLength
                     ? text
                     : static_cast<char*>(::operator new(static_cast<size_t>(resultSize)));
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
    ::operator delete(result);
  }
  std::memset(text + resultSize, 0, static_cast<size_t>(capacity - resultSize));
  return text;
}
