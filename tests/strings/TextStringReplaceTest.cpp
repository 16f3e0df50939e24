// ReplaceAll and its one-line users Remove, Replace and ReplaceCase.
#include <gtest/gtest.h>

#include <string>

#include "strings/TextString.h"
#include "tests/support/BufferState.h"
#include "tests/support/Bufferless.h"

namespace {

struct ReplaceRow {
  const char* text;
  const char* what;
  const char* with;
  int caseSensitive;
  const char* expected;
  unsigned count;
};

TEST(TextStringReplaceAll, ReplacesLeftToRightWithoutOverlap) {
  const ReplaceRow rows[] = {
      {"aaa", "aa", "b", 1, "ba", 1},
      {"aXa", "a", "aa", 1, "aaXaa", 2},  // the inserted text is not searched
      {"aBcb", "B", "", 1, "acb", 1},
      {"aBcb", "B", "", 0, "ac", 2},
      {"abc", "zz", "y", 0, "abc", 0},
      {"abc", "abc", "", 1, "", 1},
      {"x.y.z", ".", "::", 1, "x::y::z", 2},
  };
  for (const ReplaceRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << ": " << row.what << " -> " << row.with);
    TextString s(row.text, 0);
    unsigned count = 99;
    s.ReplaceAll(row.what, row.with, row.caseSensitive, &count);
    EXPECT_STREQ(s.GetText(), row.expected);
    EXPECT_EQ(count, row.count);
  }
}

TEST(TextStringReplaceAll, NothingChangesForNullOrEmptyWhat) {
  struct Row {
    const char* what;
    const char* with;
  } rows[] = {{nullptr, "y"}, {"a", nullptr}, {"", "y"}, {"", ""}};
  for (const Row& row : rows) {
    TextString s("banana", 0);
    const char* before = s.GetText();
    unsigned count = 99;
    EXPECT_EQ(s.ReplaceAll(row.what, row.with, 1, &count), before);
    EXPECT_STREQ(s.GetText(), "banana");
    EXPECT_EQ(count, 0u);
  }
  Bufferless<TextString> none;
  unsigned count = 99;
  EXPECT_EQ(none.ReplaceAll("a", "b", 1, &count), nullptr);
  EXPECT_EQ(count, 0u);
}

TEST(TextStringReplaceAll, KeepsBufferOnlyWhenResultLeavesRoom) {
  struct Row {
    const char* text;
    unsigned minSize;
    const char* what;
    const char* with;
    BufferState after;
  } rows[] = {
      {"abcd", 0, "b", "", {"acd", 5, kKeptBuffer}},     // result 4 bytes < capacity 5
      {"abcd", 0, "b", "x", {"axcd", 4, kNewBuffer}},    // 5 bytes, not less than 5
      {"abcd", 0, "b", "xy", {"axycd", 5, kNewBuffer}},  // grows: exact size
      {"ab", 40, "b", "xyz", {"axyz", 40, kKeptBuffer}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << ": " << row.what << " -> " << row.with);
    TextString s(row.text, row.minSize);
    EXPECT_EQ(BufferAfter(s, [&] { s.ReplaceCase(row.what, row.with, nullptr); }), row.after);
  }
}

TEST(TextStringReplaceAll, KeptBufferIsZeroedAfterResult) {
  TextString s("abcdef", 0);  // capacity 7
  s.Remove("CDEF");
  EXPECT_STREQ(s.GetText(), "ab");
  for (unsigned i = 2; i <= s.GetCapacity(); ++i) EXPECT_EQ(s.GetAt(i), 0) << i;
}

TEST(TextStringReplaceAll, KeptBufferLosesOlderBytesToo) {
  // Bytes that an earlier, longer text left after the terminator are zeroed
  // as well, also when the result is written over the text itself.
  for (const char* with : {"+", "", "++"}) {
    SCOPED_TRACE(with);
    TextString s("abcdefghij", 0);  // capacity 11
    s.Assign("a-b", 0);             // kept: "a-b", then "efghij" stays
    const char* before = s.GetText();
    s.ReplaceCase("-", with, nullptr);
    EXPECT_EQ(s.GetText(), before);
    const unsigned length = s.GetLength();
    for (unsigned i = length; i <= s.GetCapacity(); ++i) EXPECT_EQ(s.GetAt(i), 0) << i;
  }
}

TEST(TextStringReplaceAll, ArgumentsFromOwnTextBehaveAsCopies) {
  TextString s("abcabc", 0);
  s.ReplaceCase(s.GetText() + 3, s.GetText() + 5, nullptr);  // "abc" -> "c"
  EXPECT_STREQ(s.GetText(), "cc");
  TextString t("a-b", 30);
  unsigned count = 0;
  t.ReplaceAll(t.GetText() + 1, t.GetText(), 1, &count);  // "-b" -> "a-b"
  EXPECT_STREQ(t.GetText(), "aa-b");
  EXPECT_EQ(count, 1u);
}

TEST(TextStringReplaceAll, CaseOfRemoveAndReplace) {
  TextString s("Path\\SETUP.exe and setup.EXE", 0);
  unsigned count = 0;
  s.Replace("setup.exe", "x", &count);
  EXPECT_STREQ(s.GetText(), "Path\\x and x");
  EXPECT_EQ(count, 2u);
  s.Remove("X");
  EXPECT_STREQ(s.GetText(), "Path\\ and ");
  s.Replace(nullptr, "y", &count);
  EXPECT_EQ(count, 0u);
}

TEST(TextStringReplaceAll, ManyMatchesInALongText) {
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "ab&x;..........";
  TextString s(text.c_str(), 0);
  unsigned count = 0;
  s.Replace("&X;", "#", &count);
  EXPECT_EQ(count, 50000u);
  EXPECT_EQ(s.GetLength(), text.size() - 2 * 50000);
  EXPECT_EQ(s.GetText()[2], '#');
}

TEST(TextStringReplaceAll, LongNeedleInALongRun) {
  // Non-overlapping matches of a 300-byte needle, longer than a skip can
  // hold, in 100 000 bytes: 333 of them, and the 100 bytes that are left.
  TextString s(std::string(100000, 'a').c_str(), 0);
  const std::string needle(300, 'A');
  unsigned count = 0;
  s.Replace(needle.c_str(), "", &count);
  EXPECT_EQ(count, 333u);
  EXPECT_EQ(s.GetLength(), 100u);
}

}  // namespace
