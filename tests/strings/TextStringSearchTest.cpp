// Comparison, blank tests, search and the replace family.
#include <gtest/gtest.h>

#include <string>

#include "strings/TextString.h"

namespace {

TEST(TextStringCompare, ByLength) {
  TextString shorter("ab", 0), longer("abc", 0), empty("", 0);
  EXPECT_EQ(shorter.Compare(&longer, 1), -1);
  EXPECT_EQ(longer.Compare(&shorter, 1), 1);
  EXPECT_EQ(longer.Compare(&longer, 1), 0);
  EXPECT_EQ(longer.Compare(nullptr, 1), 1);
  EXPECT_EQ(empty.Compare(nullptr, 1), 0);
}

TEST(TextStringCompare, ByTextWithAndWithoutBuffers) {
  TextString a("a", 0), b("b", 0), x("x", 0), empty("", 0), none;
  none.Free();
  EXPECT_LT(a.Compare(&b, 0), 0);
  EXPECT_GT(b.Compare(&a, 2), 0);
  EXPECT_EQ(a.Compare(&a, 0), 0);
  EXPECT_EQ(empty.Compare(nullptr, 0), 1);
  EXPECT_EQ(none.Compare(nullptr, 0), 0);
  EXPECT_EQ(none.Compare(&x, 0), -1);
  EXPECT_EQ(x.Compare(&none, 0), 1);
  EXPECT_EQ(none.Compare(&none, 0), 0);
}

TEST(TextStringCompare, BytesOrderAsUnsigned) {
  TextString high("\xE4", 0), low("a", 0);
  EXPECT_GT(high.Compare(&low, 0), 0);
}

TEST(TextStringCompare, ObjectThatIsNotAStringCountsAsNull) {
  ObjectBase plain;
  TextString s("abc", 0);
  EXPECT_EQ(s.Compare(&plain, 0), s.Compare(nullptr, 0));
  EXPECT_EQ(s.Compare(&plain, 1), s.Compare(nullptr, 1));
  EXPECT_EQ(plain.Compare(&s, 0), 0);
}

TEST(TextStringIsEqual, FoldsAsciiOnly) {
  TextString s("abc", 0);
  EXPECT_EQ(s.IsEqual("ABC", 0), 1);
  EXPECT_EQ(s.IsEqual("ABC", 1), 0);
  EXPECT_EQ(s.IsEqual("abcd", 0), 0);
  EXPECT_EQ(s.IsEqual("ab", 0), 0);
  EXPECT_EQ(s.IsEqual(nullptr, 0), 0);
  TextString umlaut("\xC4", 0);  // capital A with diaeresis in 1252
  EXPECT_EQ(umlaut.IsEqual("\xE4", 0), 0);
}

TEST(TextStringBlank, OnlyFourBytesAreBlank) {
  struct Row {
    const char* text;
    int blank;
    int space;
  } rows[] = {
      {"", 1, 0},   {" \t\r\n", 1, 1}, {"\t\t", 1, 0}, {"\v", 0, 0},
      {"\f", 0, 0}, {"a", 0, 0},       {"a\tb", 0, 0}, {" x ", 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(std::string(row.text)));
    TextString s(row.text, 0);
    EXPECT_EQ(s.IsBlank(), row.blank);
    EXPECT_EQ(s.HasSpace(), row.space);
  }
  TextString none;
  none.Free();
  EXPECT_EQ(none.IsBlank(), 1);
  EXPECT_EQ(none.HasSpace(), 0);
}

TEST(TextStringFindIn, ResultsPointIntoTheCallersText) {
  TextString s;
  struct Row {
    const char* text;
    const char* what;
    int caseSensitive;
    int offset;  // -1: not found
  } rows[] = {
      {"", "", 1, -1},       {"abc", "", 1, 0},        {"xABc", "bc", 0, 2},
      {"xABc", "bc", 1, -1}, {"abcabc", "CA", 0, 2},   {"ab", "abc", 0, -1},
      {"aab", "ab", 0, 1},   {"\xC4x", "\xE4", 0, -1}, {"a[b", "[B", 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " / " << row.what << " / " << row.caseSensitive);
    const char* found = s.FindIn(row.text, row.what, row.caseSensitive);
    if (row.offset < 0) {
      EXPECT_EQ(found, nullptr);
    } else {
      EXPECT_EQ(found, row.text + row.offset);
    }
  }
  EXPECT_EQ(s.FindIn(nullptr, "a", 1), nullptr);
  EXPECT_EQ(s.FindIn("a", nullptr, 1), nullptr);
}

TEST(TextStringFind, SearchesOwnText) {
  TextString s("Hello World", 0);
  EXPECT_EQ(s.Find("world", 0), s.GetText() + 6);
  EXPECT_EQ(s.Find("world", 1), nullptr);
  EXPECT_EQ(s.Find(nullptr, 0), nullptr);
  s.Free();
  EXPECT_EQ(s.Find("", 1), nullptr);
}

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
  TextString none;
  none.Free();
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
    bool kept;
    unsigned capacity;
  } rows[] = {
      {"abcd", 0, "b", "", true, 5},     // result 4 bytes < capacity 5
      {"abcd", 0, "b", "x", false, 4},   // 5 bytes, not less than 5
      {"abcd", 0, "b", "xy", false, 5},  // grows: exact size
      {"ab", 40, "b", "xyz", true, 40},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << ": " << row.what << " -> " << row.with);
    TextString s(row.text, row.minSize);
    const char* before = s.GetText();
    s.ReplaceCase(row.what, row.with, nullptr);
    EXPECT_EQ(s.GetText() == before, row.kept);
    EXPECT_EQ(s.GetCapacity(), row.capacity);
  }
}

TEST(TextStringReplaceAll, KeptBufferIsZeroedAfterResult) {
  TextString s("abcdef", 0);  // capacity 7
  s.Remove("CDEF");
  EXPECT_STREQ(s.GetText(), "ab");
  for (unsigned i = 2; i <= s.GetCapacity(); ++i) EXPECT_EQ(s.GetAt(i), 0) << i;
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

}  // namespace
