#ifndef TESTS_SUPPORT_BUFFERSTATE_H_
#define TESTS_SUPPORT_BUFFERSTATE_H_

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "strings/TextString.h"

// After an operation a string either still uses the buffer it had, or has a
// new one: the operation replaced it, or made one for a string without.
enum BufferFate { kKeptBuffer, kNewBuffer };

// BufferState: what an operation left in a string (its text, its capacity
// and whether the buffer is the one it had), compared and printed as one
// value, so that a failing row shows all three. Which of them an operation's
// need decides is the storage rule in TextString.h.
struct BufferState {
  std::string text;
  unsigned capacity;
  BufferFate fate;
  bool operator==(const BufferState& other) const {
    return text == other.text && capacity == other.capacity && fate == other.fate;
  }
};

inline std::ostream& operator<<(std::ostream& out, const BufferState& state) {
  return out << "{text " << testing::PrintToString(state.text) << ", capacity " << state.capacity
             << ", " << (state.fate == kKeptBuffer ? "kept buffer" : "new buffer") << "}";
}

// BufferAfter: runs `operation`, which changes `s`, and says what it left.
// A replaced buffer is released only after the new one is filled, so the new
// one never has the old one's address.
template <typename Operation>
BufferState BufferAfter(TextString& s, Operation operation) {
  const char* const before = s.GetText();
  operation();
  const char* const after = s.GetText();
  return {after != nullptr ? after : "(no buffer)", s.GetCapacity(),
          after == before ? kKeptBuffer : kNewBuffer};
}

#endif  // TESTS_SUPPORT_BUFFERSTATE_H_
