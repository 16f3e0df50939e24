// Construction, the buffer rules of Assign/AssignN/Append, byte access and
// the operators.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include "strings/TextString.h"
#include "tests/support/BufferState.h"
#include "tests/support/Bufferless.h"

namespace {

// The capacity that a text and a minSize give: construction sizes a buffer
// as Assign does on a string without one.
struct SizeRow {
  const char* text;
  unsigned minSize;
  unsigned capacity;
};

TEST(TextStringConstruct, AlwaysEndsWithABuffer) {
  const SizeRow rows[] = {
      {nullptr, 0, 260}, {nullptr, 5, 260}, {"abc", 0, 4}, {"abc", 260, 260}, {"", 0, 0},
  };
  for (const SizeRow& row : rows) {
    SCOPED_TRACE(row.text != nullptr ? row.text : "(null)");
    TextString s(row.text, row.minSize);
    ASSERT_NE(s.GetText(), nullptr);
    EXPECT_STREQ(s.GetText(), row.text != nullptr ? row.text : "");
    EXPECT_EQ(s.GetCapacity(), row.capacity);
  }
}

TEST(TextStringConstruct, MinSizeBeyondThirtyTwoBitsStillGivesABuffer) {
  for (const char* text : {"abc", ""}) {
    SCOPED_TRACE(text);
    TextString s(text, 0xFFFFFFFFu);
    ASSERT_NE(s.GetText(), nullptr);
    EXPECT_STREQ(s.GetText(), text);
    EXPECT_GE(s.GetCapacity(), std::strlen(text));
  }
}

TEST(TextStringAssign, BufferSizeFollowsNeed) {
  const SizeRow rows[] = {
      {"abc", 0, 4}, {"abc", 3, 3}, {"abc", 260, 260}, {"", 0, 0}, {"abc", 2, 4},
  };
  for (const SizeRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << "/" << row.minSize);
    Bufferless<TextString> s;
    EXPECT_EQ(BufferAfter(s, [&] { s.Assign(row.text, row.minSize); }),
              (BufferState{row.text, row.capacity, kNewBuffer}));
  }
}

TEST(TextStringAssign, ReplacesBufferWhenNeedReachesCapacity) {
  TextString s("abc", 0);  // capacity 4; need 4 == capacity
  EXPECT_EQ(BufferAfter(s, [&] { s.Assign("abc", 0); }), (BufferState{"abc", 4, kNewBuffer}));
}

TEST(TextStringAssign, KeptBufferShowsStaleBytes) {
  TextString s("abcde", 0);  // capacity 6
  const char* before = s.GetText();
  s.Assign("abc", 0);
  EXPECT_EQ(s.GetText(), before);
  EXPECT_EQ(s.GetCapacity(), 6u);
  const char expected[] = {'a', 'b', 'c', '\0', 'e', '\0', '\0'};
  for (unsigned i = 0; i < sizeof expected; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.GetAt(i), expected[i]);
  }
  EXPECT_EQ(s.GetAt(7), 0);  // outside the buffer
}

TEST(TextStringAssign, EmptyTextFollowsTheSameRule) {
  TextString s("abcde", 0);  // capacity 6
  const char* before = s.GetText();
  s.Assign("", 5);  // need 5, below the capacity: kept, only the first byte written
  EXPECT_EQ(s.GetText(), before);
  EXPECT_EQ(s.GetCapacity(), 6u);
  EXPECT_EQ(s.GetAt(0), 0);
  EXPECT_EQ(s.GetAt(1), 'b');
  s.Assign("", 6);  // need 6 reaches the capacity: a new zeroed buffer
  EXPECT_EQ(s.GetCapacity(), 6u);
  for (unsigned i = 0; i <= 6; ++i) EXPECT_EQ(s.GetAt(i), 0) << i;
  s.Assign("", 0);  // capacity 6 again: kept
  EXPECT_EQ(s.GetCapacity(), 6u);
  Bufferless<TextString> none;
  none.Assign("", 0);  // without a buffer: one byte
  EXPECT_EQ(none.GetCapacity(), 0u);
  EXPECT_STREQ(none.GetText(), "");
}

TEST(TextStringAssign, NullEmptiesAndKeepsBuffer) {
  TextString s("hello", 0);
  const char* before = s.GetText();
  s.Assign(nullptr, 500);
  EXPECT_EQ(s.GetText(), before);
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(s.GetCapacity(), 6u);
  EXPECT_EQ(s.GetAt(1), 'e');  // only the first byte was written
}

TEST(TextStringAssign, NullWithoutBufferMakesTwentyBytes) {
  Bufferless<TextString> s;
  s.Assign(nullptr, 500);
  ASSERT_NE(s.GetText(), nullptr);
  EXPECT_STREQ(s.GetText(), "");
  EXPECT_EQ(s.GetCapacity(), 19u);
}

TEST(TextStringAssign, SizeThatCannotFitThirtyTwoBitsChangesNothing) {
  TextString s("keep", 0);
  const char* before = s.GetText();
  s.Assign("x", 0xFFFFFFFFu);
  EXPECT_EQ(s.GetText(), before);
  EXPECT_STREQ(s.GetText(), "keep");
  EXPECT_EQ(s.GetCapacity(), 5u);
}

TEST(TextStringAssign, OwnTextBehavesAsACopy) {
  struct Row {
    const char* initial;
    unsigned minSize;
    unsigned offset;
    BufferState after;
  } rows[] = {
      {"abcdef", 0, 0, {"abcdef", 7, kNewBuffer}},   // whole text: need 7 == capacity
      {"abcdef", 40, 2, {"cdef", 40, kKeptBuffer}},  // tail: overlapping copy
      {"abcdef", 0, 5, {"f", 7, kKeptBuffer}},
      {"abcdef", 0, 6, {"", 7, kKeptBuffer}},  // the terminator itself
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.initial << "+" << row.offset);
    TextString s(row.initial, row.minSize);
    EXPECT_EQ(BufferAfter(s, [&] { s.Assign(s.GetText() + row.offset, 0); }), row.after);
  }
}

TEST(TextStringAssign, SelfAssignmentOperatorKeepsText) {
  TextString s("same", 0);
  s = s;
  EXPECT_STREQ(s.GetText(), "same");
  s = s.GetText() + 1;
  EXPECT_STREQ(s.GetText(), "ame");
}

TEST(TextStringAssignN, CopiesAtMostCountBytes) {
  struct Row {
    const char* text;
    unsigned count;
    BufferState after;  // from a string without a buffer
  } rows[] = {
      {"abcdef", 3, {"abc", 3, kNewBuffer}},
      {"ab", 5, {"ab", 5, kNewBuffer}},
      {"", 0, {"", 0, kNewBuffer}},
      {"abc", 0, {"", 0, kNewBuffer}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << "/" << row.count);
    Bufferless<TextString> s;
    EXPECT_EQ(BufferAfter(s, [&] { s.AssignN(row.text, row.count); }), row.after);
  }
}

TEST(TextStringAssignN, ReadsNoFurtherThanCount) {
  const char unterminated[3] = {'x', 'y', 'z'};
  TextString s;
  s.AssignN(unterminated, 3);
  EXPECT_STREQ(s.GetText(), "xyz");
}

TEST(TextStringAssignN, ZeroesAKeptBuffer) {
  TextString s("abcdef", 0);  // capacity 7
  EXPECT_EQ(BufferAfter(s, [&] { s.AssignN("xy", 3); }), (BufferState{"xy", 7, kKeptBuffer}));
  for (unsigned i = 2; i <= s.GetCapacity(); ++i) EXPECT_EQ(s.GetAt(i), 0) << i;
}

TEST(TextStringAssignN, EdgeSizesAndOwnText) {
  TextString s("keep", 0);
  s.AssignN("x", 0xFFFFFFFFu);  // no room for a terminator in 32 bits
  EXPECT_STREQ(s.GetText(), "keep");
  TextString t("abcdef", 0);
  t.AssignN(t.GetText() + 2, 3);
  EXPECT_STREQ(t.GetText(), "cde");
  t.AssignN(nullptr, 9);
  EXPECT_STREQ(t.GetText(), "");
}

TEST(TextStringAppend, ReplacesBufferUnlessRoomToSpare) {
  struct Row {
    const char* initial;
    unsigned minSize;
    const char* added;
    BufferState after;
  } rows[] = {
      {"abc", 0, "", {"abc", 3, kNewBuffer}},     // need 4 == capacity 4: exact new buffer
      {"abc", 0, "d", {"abcd", 4, kNewBuffer}},   // need 5 > capacity
      {"abc", 5, "d", {"abcd", 4, kNewBuffer}},   // need 5 == capacity 5
      {"abc", 6, "d", {"abcd", 6, kKeptBuffer}},  // room to spare
      {"", 10, "xyz", {"xyz", 10, kKeptBuffer}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.initial << "+" << row.added);
    TextString s(row.initial, row.minSize);
    EXPECT_EQ(BufferAfter(s, [&] { s.Append(row.added); }), row.after);
  }
}

TEST(TextStringAppend, NullChangesNothingAndEmptyCreatesBuffer) {
  Bufferless<TextString> s;
  EXPECT_EQ(s.Append(nullptr), nullptr);
  s.Append("");
  ASSERT_NE(s.GetText(), nullptr);
  EXPECT_EQ(s.GetCapacity(), 0u);
  s += "ab";
  s += TextString("cd", 0);
  EXPECT_STREQ(s.GetText(), "abcd");
}

TEST(TextStringAppend, OwnTextBehavesAsACopy) {
  TextString kept("abc", 20);
  kept.Append(kept.GetText());
  EXPECT_STREQ(kept.GetText(), "abcabc");
  TextString replaced("abc", 0);
  replaced += replaced;
  EXPECT_STREQ(replaced.GetText(), "abcabc");
  TextString tail("abc", 0);
  tail.Append(tail.GetText() + 1);
  EXPECT_STREQ(tail.GetText(), "abcbc");
}

TEST(TextStringStorage, ByteAccessIsBoundedByCapacity) {
  TextString s("ab", 4);  // capacity 4: bytes 0..4
  EXPECT_EQ(s.GetAt(4), 0);
  EXPECT_EQ(s.TruncateAt(s.GetCapacity()), 1);
  EXPECT_EQ(s.TruncateAt(s.GetCapacity() + 1), 0);
  EXPECT_STREQ(s.GetText(), "ab");
  EXPECT_EQ(s.TruncateAt(1), 1);
  EXPECT_STREQ(s.GetText(), "a");
  EXPECT_EQ(s.GetAt(1), 0);
  EXPECT_EQ(s.GetAt(4000), 0);
  s.Free();
  EXPECT_EQ(s.TruncateAt(0), 0);
  EXPECT_EQ(s.GetAt(0), 0);
}

TEST(TextStringStorage, ClearKeepsCapacityAndFreeIsIdempotent) {
  TextString s("abc", 10);
  const char* before = s.GetText();
  EXPECT_EQ(s.Clear(), 1);
  EXPECT_EQ(s.GetText(), before);
  EXPECT_EQ(s.GetLength(), 0u);
  EXPECT_EQ(s.GetCapacity(), 10u);
  EXPECT_EQ(s.GetAt(1), 0);
  EXPECT_EQ(s.Free(), 1);
  EXPECT_EQ(s.Free(), 1);
  EXPECT_EQ(s.Clear(), 1);
  EXPECT_EQ(s.GetText(), nullptr);
  EXPECT_EQ(s.GetLength(), 0u);
  EXPECT_EQ(s.GetCapacity(), 0u);
}

TEST(TextStringStorage, LengthOfIgnoresTheObject) {
  TextString s("abc", 0);
  EXPECT_EQ(s.LengthOf("hello"), 5u);
  EXPECT_EQ(s.LengthOf(nullptr), 0u);
  EXPECT_EQ(s.GetLength(), 3u);
}

TEST(TextStringOperators, EqualityIsExactAndNullIsUnequal) {
  TextString s("abc", 0);
  TextString other("abc", 50);
  EXPECT_EQ(s == "abc", 1);
  EXPECT_EQ(s == "ABC", 0);
  EXPECT_EQ(s == other, 1);
  EXPECT_EQ(s != other, 0);
  EXPECT_EQ(s == nullptr, 0);
  EXPECT_EQ(s != nullptr, 1);
  Bufferless<TextString> none;
  EXPECT_EQ(none == "", 0);
  EXPECT_EQ(none != "", 1);
  EXPECT_EQ(s == none, 0);
  EXPECT_EQ(s != none, 1);
}

TEST(TextStringOperators, AssignmentCopiesTextOnly) {
  TextString target("0123456789", 0);
  const char* before = target.GetText();
  TextString source("xy", 0);
  target = source;
  EXPECT_STREQ(target.GetText(), "xy");
  EXPECT_EQ(target.GetText(), before);  // Assign kept the larger buffer
  target = static_cast<const char*>(nullptr);
  EXPECT_STREQ(target.GetText(), "");
}

}  // namespace

// Two strings must never own one buffer: copying a whole string is not offered.
static_assert(!std::is_copy_constructible<TextString>::value,
              "TextString must not be copy-constructible");
