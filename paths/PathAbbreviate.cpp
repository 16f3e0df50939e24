// Abbreviation of a long path for display: its beginning, "...", its end.
#include <cstring>
#include <memory>

#include "paths/PathString.h"

namespace {

// How many characters of the path's beginning and end the abbreviation
// keeps; together always maxLength.
struct Kept {
  unsigned head;
  unsigned tail;
};

// Half the room goes to the end, rounded up, but the whole file name is
// kept when it is longer: the name says most about a path.
unsigned TailLength(unsigned maxLength, const char* fileName, bool hasBackslash) {
  const unsigned half = maxLength / 2 + maxLength % 2;
  if (!hasBackslash) return half;
  const unsigned nameLength = static_cast<unsigned>(std::strlen(fileName));
  return nameLength >= half ? nameLength : half;
}

// A head too short to say anything gives way, down to three characters,
// to a tail that can spare them.
Kept Balance(unsigned maxLength, unsigned tail) {
  const unsigned head = maxLength - tail;
  if (head < 3 && tail > 3) return {3, maxLength - 3};
  return {head, tail};
}

std::unique_ptr<char[]> Join(const char* text, unsigned length, Kept kept) {
  const size_t total = size_t{kept.head} + 3 + kept.tail;
  std::unique_ptr<char[]> joined(new char[total + 1]);
  std::memcpy(joined.get(), text, kept.head);
  std::memcpy(joined.get() + kept.head, "...", 3);
  std::memcpy(joined.get() + kept.head + 3, text + length - kept.tail, kept.tail);
  joined[total] = '\0';
  return joined;
}

}  // namespace

const char* PathString::Abbreviate(unsigned maxLength) {
  const unsigned length = GetLength();
  if (length <= maxLength) return text;
  const char* backslash = std::strrchr(text, '\\');
  const char* fileName = backslash != nullptr ? backslash + 1 : text;
  const unsigned tail = TailLength(maxLength, fileName, backslash != nullptr);
  if (tail > maxLength) {
    // Not even the file name fits: show as much of it as does, cut in place.
    TruncateAt(static_cast<unsigned>(fileName - text) + maxLength);
    return fileName;
  }
  // Built to its exact length rather than in a fixed work area, so that no
  // maxLength, however large, can overrun it; displayText ends the same.
  const auto abbreviation = Join(text, length, Balance(maxLength, tail));
  return displayText.Assign(abbreviation.get(), 0);
}
