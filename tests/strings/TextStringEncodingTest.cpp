#include <gtest/gtest.h>

#include <cstddef>
#include <new>
#include <string>

#include "strings/TextString.h"
#include "strings/internal/CharClassTable.h"
#include "tests/support/Bufferless.h"
#include "tests/support/Windows1252Test.h"

using strings_internal::CharClassTable;

namespace {

// The next `nothrowArraysBeforeFailure`-th nothrow array allocation fails (1:
// the very next one); 0 lets all of them through. The conversions take their
// scratch buffers that way, so this is how memory runs out for them.
int nothrowArraysBeforeFailure = 0;

}  // namespace

void* operator new[](std::size_t bytes, const std::nothrow_t&) noexcept {
  if (nothrowArraysBeforeFailure > 0 && --nothrowArraysBeforeFailure == 0) return nullptr;
  try {
    return ::operator new[](bytes);
  } catch (...) {
    return nullptr;
  }
}

namespace {

using TextStringEncoding = Windows1252Test;

struct Row {
  const char* name;
  const char* before;
  const char* after;
};

// Each row's `before`, converted by `conversion`, reads as its `after`.
template <size_t N>
void ExpectConversions(const char* (TextString::*conversion)(), const Row (&rows)[N]) {
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TextString string(row.before, 0);
    EXPECT_STREQ(row.after, (string.*conversion)());
  }
}

TEST_F(TextStringEncoding, IsUtf8NeedsAWholeSequenceAndNothingInvalid) {
  struct {
    const char* text;
    int expected;
  } rows[] = {
      {"", 0},
      {"abc", 0},
      {"\xC3\xA4", 1},
      {"\xC3", 0},
      {"\xC3\xA4\xC3", 1},  // the sequence cut short at the end neither fails nor counts
      {"\xA4", 0},
      {"\xC3\x41", 0},
      {"\xC3\xC3\xA4", 0},
      {"\xFE", 0},
      {"\xFF\xC3\xA4", 0},
      {"\xC0\x80", 1},  // overlong, but well formed
      {"\xED\xA0\x80", 1},
      {"\xFC\x84\x80\x80\x80\x80", 1},
      {"\xFC\x84\x80\x80\x80\xC3", 0},
      {"\t\r\n\a\b\f\x1B \xC3\xA4~", 1},
      {"\xC3\xA4\x0B", 0},
      {"\x01\xC3\xA4", 0},
      {"\xC3\xA4\x7F", 0},
  };
  const TextString string;
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.text));
    EXPECT_EQ(row.expected, string.IsUtf8(row.text));
  }
  EXPECT_EQ(0, string.IsUtf8(nullptr));
}

TEST_F(TextStringEncoding, CharClassTableClassifiesEveryByte) {
  struct {
    int first;
    int last;
    int expected;
  } ranges[] = {
      {0x00, 0x06, 0}, {0x07, 0x0A, 1}, {0x0B, 0x0B, 0}, {0x0C, 0x0D, 1}, {0x0E, 0x1A, 0},
      {0x1B, 0x1B, 1}, {0x1C, 0x1F, 0}, {0x20, 0x7E, 1}, {0x7F, 0x7F, 0}, {0x80, 0x84, 3},
      {0x85, 0x85, 1}, {0x86, 0x9F, 3}, {0xA0, 0xFF, 2},
  };
  for (const auto& range : ranges) {
    for (int byte = range.first; byte <= range.last; ++byte) {
      SCOPED_TRACE(byte);
      EXPECT_EQ(range.expected, CharClassTable[byte]);
    }
  }
}

TEST_F(TextStringEncoding, Utf8ToAnsiConvertsInTheSameBufferWhenShorter) {
  TextString string("Gr\xC3\xBCn", 0);
  char* const buffer = string.GetText();
  EXPECT_EQ(buffer, string.Utf8ToAnsi());
  EXPECT_STREQ("Gr\xFCn", string.GetText());
  EXPECT_EQ(6u, string.GetCapacity());
}

TEST_F(TextStringEncoding, Utf8ToAnsiLeavesTextThatIsNotUtf8) {
  for (const char* text : {"plain ASCII", "\x01\xC3\xBC", "\xC3\xBC\x7F", "\xFC"}) {
    SCOPED_TRACE(testing::PrintToString(text));
    TextString string(text, 0);
    char* const buffer = string.GetText();
    EXPECT_EQ(buffer, string.Utf8ToAnsi());
    EXPECT_STREQ(text, string.GetText());
  }
}

TEST_F(TextStringEncoding, Utf8ToAnsiReplacesWhat1252Lacks) {
  const Row rows[] = {
      {"CJK", "\xC3\xA4\xE4\xB8\x80", "\xE4?"},
      {"Latin Extended-A best fit", "\xC4\x80\xC5\x81", "AL"},
      {"surrogate pair: one per unit", "\xF0\x9F\x98\x80", "??"},
      {"overlong form",
       "\xC0\x80"
       "a",
       "??a"},
      {"five-byte form", "\xF8\x88\x80\x80\x80", "?????"},
      {"lead byte alone at the end", "\xC3\xA4\xE2", "\xE4?"},
      {"four-byte cut short at the end", "\xC3\xA4\xF0\x9F", "\xE4?"},
  };
  ExpectConversions(&TextString::Utf8ToAnsi, rows);
}

TEST_F(TextStringEncoding, AnsiToUtf8EncodesEveryByteAgain) {
  const Row rows[] = {
      {"Latin-1", "\xFC", "\xC3\xBC"},
      {"already UTF-8", "\xC3\xBC", "\xC3\x83\xC2\xBC"},
      {"1252 punctuation", "\x80\x85", "\xE2\x82\xAC\xE2\x80\xA6"},
      {"undefined 1252 byte", "\x81", "\xC2\x81"},
      {"ASCII", "abc", "abc"},
  };
  ExpectConversions(&TextString::AnsiToUtf8, rows);
}

TEST_F(TextStringEncoding, AnsiToUtf8StoresALongerResultAsAssignDoes) {
  TextString string("a\xFC", 0);  // capacity 3
  EXPECT_STREQ("a\xC3\xBC", string.AnsiToUtf8());
  EXPECT_EQ(4u, string.GetCapacity());
  EXPECT_STREQ("a\xC3\x83\xC2\xBC", string.AnsiToUtf8());
  EXPECT_EQ(6u, string.GetCapacity());
}

TEST_F(TextStringEncoding, ConversionsRoundTripEveryByteThatIsText) {
  std::string all;
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    if (byte != 0x7F) all += static_cast<char>(byte);
  }
  TextString string(all.c_str(), 0);
  string.AnsiToUtf8();
  EXPECT_STREQ(all.c_str(), string.Utf8ToAnsi());
}

TEST_F(TextStringEncoding, ConversionsWithoutBufferGiveNull) {
  Bufferless<TextString> string;
  EXPECT_EQ(nullptr, string.Utf8ToAnsi());
  EXPECT_EQ(nullptr, string.AnsiToUtf8());
  EXPECT_EQ(nullptr, string.GetText());
}

TEST_F(TextStringEncoding, ConversionsLeaveTextWhenMemoryRunsOut) {
  // 1: the UTF-16 scratch buffer fails; 2: the 8-bit one, after the first
  // was taken (the sanitizer's leak check sees whether it is given back).
  for (int failing : {1, 2}) {
    SCOPED_TRACE(failing);
    TextString utf8("Gr\xC3\xBCn", 0);
    nothrowArraysBeforeFailure = failing;
    EXPECT_EQ(nullptr, utf8.Utf8ToAnsi());
    EXPECT_STREQ("Gr\xC3\xBCn", utf8.GetText());

    TextString ansi("Gr\xFCn", 0);
    nothrowArraysBeforeFailure = failing;
    EXPECT_EQ(nullptr, ansi.AnsiToUtf8());
    EXPECT_STREQ("Gr\xFCn", ansi.GetText());
    nothrowArraysBeforeFailure = 0;
  }
}

}  // namespace
