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

// A display text fits the usual 260-byte work area, which needs no
// allocation; one of a larger maxLength gets a buffer of its own size.
constexpr size_t kWorkArea = 260;

void Join(char* joined, const char* text, unsigned length, Kept kept) {
  std::memcpy(joined, text, kept.head);
  std::memcpy(joined + kept.head, "...", 3);
  std::memcpy(joined + kept.head + 3, text + length - kept.tail, kept.tail);
  joined[size_t{kept.head} + 3 + kept.tail] = '\0';
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
  // No maxLength, however large, can overrun the work area: a longer
  // abbreviation is built in a buffer of its exact size, and displayText
  // ends the same either way.
  const Kept kept = Balance(maxLength, tail);
  const size_t total = size_t{kept.head} + 3 + kept.tail;
  if (total < kWorkArea) {
    char area[kWorkArea];
    Join(area, text, length, kept);
    return displayText.Assign(area, 0);
  }
  const std::unique_ptr<char[]> joined(new char[total + 1]);
  Join(joined.get(), text, length, kept);
  return displayText.Assign(joined.get(), 0);
}
