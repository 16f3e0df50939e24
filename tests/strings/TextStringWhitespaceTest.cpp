// Tab expansion and blank removal.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "strings/TextString.h"
#include "tests/support/BufferState.h"
#include "tests/support/Bufferless.h"
#include "tests/support/LiteralPasses.h"
#include "tests/support/SeamText.h"

namespace {

TEST(TextStringExpandTabs, EachTabBecomesWidthSpacesWhateverItsColumn) {
  TextString s("a\tbc\t", 0);
  EXPECT_STREQ(s.ExpandTabs(4), "a    bc    ");
  TextString t("\t\tx\t", 0);
  EXPECT_STREQ(t.ExpandTabs(0), "x");
}

TEST(TextStringExpandTabs, ResultBeyondThirtyTwoBitsChangesNothing) {
  for (unsigned width : {0xFFFFFFFFu, 0xFFFFFFFEu}) {
    TextString s("a\tb", 0);
    const char* before = s.GetText();
    EXPECT_EQ(s.ExpandTabs(width), before) << width;
    EXPECT_STREQ(s.GetText(), "a\tb");
  }
}

TEST(TextStringExpandTabs, WideWidthsExpandAsNarrowOnesDo) {
  // Wide replacements are measured before their spaces are made; narrow
  // ones go straight to ReplaceAll. Both must give the same kind of result.
  for (unsigned width : {4095u, 4096u, 4097u, 70000u}) {
    TextString s("a\tb", 0);
    const char* result = s.ExpandTabs(width);
    EXPECT_EQ(result, s.GetText()) << width;
    EXPECT_EQ(s.GetLength(), width + 2) << width;
    EXPECT_EQ(s.GetCapacity(), width + 2) << width;
    TextString none("ab", 0);
    const char* before = none.GetText();
    EXPECT_EQ(none.ExpandTabs(width), before) << width;
    EXPECT_STREQ(none.GetText(), "ab");
  }
}

// The size rule is ReplaceAll's: a buffer is kept only while the result and
// its terminator leave room (newSize < capacity); otherwise the new one has
// exactly the result's size, one byte smaller at times.
TEST(TextStringExpandTabs, SizesTheBufferAsReplacingEachTabDoes) {
  struct Row {
    const char* text;
    unsigned width;
    unsigned capacity;
    unsigned capacityAfter;
    BufferFate fate;
  } rows[] = {
      {"a\tb", 4, 3, 6, kNewBuffer},   // newSize 7
      {"a\tb", 4, 7, 6, kNewBuffer},   // newSize equal to the capacity
      {"a\tb", 4, 8, 8, kKeptBuffer},  // one byte of room
      {"a\tb", 1, 3, 3, kNewBuffer},   // the same length needs a new buffer too
      {"a\tb", 1, 4, 3, kNewBuffer},
      {"a\tb", 1, 5, 5, kKeptBuffer},
      {"a\tb", 0, 3, 2, kNewBuffer},  // one byte smaller than before
      {"a\tb", 0, 4, 4, kKeptBuffer},
      {"\t\t", 3, 2, 6, kNewBuffer},
      {"\t\t", 3, 260, 260, kKeptBuffer},
      {"ab", 5, 2, 2, kKeptBuffer},         // no tab: nothing changes
      {"a\tb", 5000, 3, 5002, kNewBuffer},  // measured before expanding
      {"a\tb", 5000, 5003, 5002, kNewBuffer},
      {"a\tb", 5000, 5004, 5004, kKeptBuffer},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << testing::PrintToString(row.text) << " width " << row.width
                                    << " capacity " << row.capacity);
    std::string expanded;
    for (const char* p = row.text; *p != '\0'; ++p) {
      expanded += *p == '\t' ? std::string(row.width, ' ') : std::string(1, *p);
    }
    TextString s;
    HoldStale(s, row.text, row.capacity);
    EXPECT_EQ(BufferAfter(s, [&] { s.ExpandTabs(row.width); }),
              (BufferState{expanded, row.capacityAfter, row.fate}));
    // The bytes after the text too, as replacing the tabs leaves them.
    EXPECT_EQ(AgainstPasses(
                  row.text, row.capacity, [&](TextString& t) { return t.ExpandTabs(row.width); },
                  [&](TextString& t) { return literal::ExpandTabs(t, row.width); }),
              "");
  }
}

// Four passes (space, tab, carriage return, line feed), each keeping the
// buffer only while its result leaves room. A text that fills its buffer
// exactly loses it to the first pass that removes a single blank, and the
// new buffer, again exactly full, to the next pass that removes a single
// one; a pass that removes more leaves room, and every later pass keeps it.
TEST(TextStringRemoveWhitespace, SizesTheBufferAsItsFourPassesDo) {
  struct Row {
    const char* text;
    unsigned capacity;
    const char* after;
    unsigned capacityAfter;
    BufferFate fate;
  } rows[] = {
      {" a", 2, "a", 1, kNewBuffer},       {" a", 3, "a", 3, kKeptBuffer},
      {"a b c", 5, "abc", 5, kKeptBuffer},  // two at once leave room
      {" a\tb", 4, "ab", 2, kNewBuffer},    // two passes of one blank each
      {" \t\r\n", 4, "", 0, kNewBuffer},    // four of them
      {" \t\r\n", 5, "", 5, kKeptBuffer},  {"a b\t\t", 5, "ab", 4, kNewBuffer},  // one, then two
      {"a  b\t", 5, "ab", 5, kKeptBuffer},                                       // two, then one
      {"\v\f", 2, "\v\f", 2, kKeptBuffer},                                       // not blanks
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << testing::PrintToString(row.text) << " capacity " << row.capacity);
    TextString s;
    HoldStale(s, row.text, row.capacity);
    EXPECT_EQ(BufferAfter(s, [&] { s.RemoveWhitespace(); }),
              (BufferState{row.after, row.capacityAfter, row.fate}));
  }
}

// Blanks at the ends of the text and around 8 and 64 bytes, with capacities
// at the length (the text fills its buffer), one more and 260.
TEST(TextStringRemoveWhitespace, LeavesWhatItsPassesLeave) {
  for (const char* blanks : {" ", "\n", "  ", "\t\t\t", " \t", "\r\n", " \t\r\n", "\n\r\t "}) {
    SCOPED_TRACE(testing::PrintToString(blanks));
    Mismatches mismatches;
    for (size_t length : {1, 2, 7, 8, 9, 63, 64, 65, 1024}) {
      for (size_t at : SeamStarts(length, std::strlen(blanks), {0, 8, 64, length})) {
        const std::string text = SeamText(length, "abcdefg", at, blanks);
        const unsigned size = static_cast<unsigned>(length);
        for (unsigned capacity : {size, size + 1, 260u}) {
          if (capacity < size) continue;
          mismatches.Add(std::to_string(length) + " bytes, blanks at " + std::to_string(at) +
                             ", capacity " + std::to_string(capacity),
                         AgainstPasses(
                             text, capacity, [](TextString& s) { return s.RemoveWhitespace(); },
                             literal::RemoveWhitespace));
        }
      }
    }
    EXPECT_EQ(mismatches.count(), 0) << mismatches.first();
  }
}

TEST(TextStringRemoveWhitespace, KeepsVerticalTabAndFormFeed) {
  TextString s(" a\tb\r\n\v\f", 260);
  EXPECT_STREQ(s.RemoveWhitespace(), "ab\v\f");
}

TEST(TextStringWhitespace, WithoutBufferEveryOperationReturnsNull) {
  Bufferless<TextString> s;
  EXPECT_EQ(s.ExpandTabs(2), nullptr);
  EXPECT_EQ(s.RemoveWhitespace(), nullptr);
}

}  // namespace
