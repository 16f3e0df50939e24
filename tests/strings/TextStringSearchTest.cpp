// Comparison, blank tests, search, endings and counts.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "strings/TextString.h"
#include "tests/support/Bufferless.h"
#include "tests/support/SeamText.h"

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
  TextString a("a", 0), b("b", 0), x("x", 0), empty("", 0);
  Bufferless<TextString> none;
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

// Long texts are compared a word at a time, in blocks: a difference in any
// byte, and a length that differs by one, must show wherever they fall.
TEST(TextStringIsEqual, LongTextsDifferAnywhere) {
  for (size_t length : {7, 8, 9, 63, 64, 65, 191, 192, 193, 1000}) {
    std::string lower;
    for (size_t i = 0; i < length; ++i) lower += static_cast<char>('a' + i % 26);
    std::string upper = lower;
    for (char& c : upper) c = static_cast<char>(c - 32);
    TextString s(lower.c_str(), 0);
    // Exactly sized, so that reading past the terminator is caught.
    std::unique_ptr<char[]> other(new char[length + 2]);
    std::memcpy(other.get(), upper.c_str(), length + 1);
    SCOPED_TRACE(length);
    EXPECT_EQ(s.IsEqual(other.get(), 0), 1);
    for (size_t at : {size_t{0}, length / 2, length - 1}) {
      // '@' and '[' sit next to the letters, 0xE1 is a Latin-1 letter: none
      // of them folds.
      for (char wrong : {'@', '[', '`', '{', '\xE1'}) {
        const char kept = other[at];
        other[at] = wrong;
        EXPECT_EQ(s.IsEqual(other.get(), 0), 0) << at << " " << wrong;
        other[at] = kept;
      }
    }
    other[length] = 'A';
    other[length + 1] = '\0';
    EXPECT_EQ(s.IsEqual(other.get(), 0), 0);
    other[length - 1] = '\0';
    EXPECT_EQ(s.IsEqual(other.get(), 0), 0);
  }
}

// Two bytes that differ in the case bit (0x20) alone are equal folded only
// when they are letters: '[' and '{', '@' and '`', 0xC0 and 0xE0 never are.
// The rows put such a pair at every place of texts around the sizes that
// the comparison works in (8-byte words, 32-byte halves of 64-byte steps,
// blocks of 64 and 128 bytes), the other bytes equal but for case.
struct CaseBitPair {
  char mine;
  char other;
  int equal;
};
const CaseBitPair kCaseBitPairs[] = {
    {'[', '{', 0},  {'@', '`', 0},       {'^', '~', 0},       {']', '}', 0},
    {'\\', '|', 0}, {'\xC0', '\xE0', 0}, {'\xC1', '\xE1', 0}, {'a', 'A', 1},
    {'A', 'a', 1},  {'z', 'Z', 1},       {'Z', 'z', 1},       {'m', 'M', 1},
};

TEST(TextStringIsEqual, FoldsOnlyLettersAtEveryPlace) {
  for (const CaseBitPair& pair : kCaseBitPairs) {
    SCOPED_TRACE(testing::Message()
                 << literal::Shown(&pair.mine, 1) << " against " << literal::Shown(&pair.other, 1));
    Mismatches mismatches;
    for (size_t length : {1, 7, 8, 9, 31, 32, 33, 63, 64, 65, 66, 127, 128, 129, 200}) {
      for (size_t at = 0; at < length; ++at) {
        std::string mine = SeamText(length, "ab[c@d`ef{0z", at, std::string(1, pair.mine));
        std::vector<char> other(mine.begin(), mine.end());  // exactly sized
        for (char& c : other) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        other[at] = pair.other;
        other.push_back('\0');
        TextString s(mine.c_str(), 0);
        if (s.IsEqual(other.data(), 0) != pair.equal) {
          mismatches.Add(std::to_string(length) + " bytes, at " + std::to_string(at), "differs");
        }
      }
    }
    EXPECT_EQ(mismatches.count(), 0) << mismatches.first();
  }
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
  Bufferless<TextString> none;
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

// The search tries the first starts one by one and then skips ahead,
// measuring the text in growing blocks: matches and partial matches right at
// those seams, at the very end of an exactly sized buffer, and needles too
// long to skip must all give what trying every start gives.
const char* NaiveFind(const char* text, const char* what, bool folded) {
  const auto fold = [folded](char c) { return folded && c >= 'A' && c <= 'Z' ? c + 32 : c; };
  const size_t n = std::strlen(what);
  for (const char* start = text; *start != '\0'; ++start) {
    size_t i = 0;
    while (i < n && start[i] != '\0' && fold(start[i]) == fold(what[i])) ++i;
    if (i == n) return start;
  }
  return nullptr;
}

TEST(TextStringFindIn, AgreesWithTryingEveryStart) {
  // Few distinct bytes, so that partial matches abound; letters in both
  // cases and two Latin-1 letters that must never fold.
  static const char kAlphabet[] = "abAB\xC1\xE1 .";
  uint32_t seed = 12345;
  const auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return seed >> 16;
  };
  const size_t lengths[] = {1, 2, 3, 5, 63, 64, 65, 70, 300, 4159, 4160, 4161, 12353, 12360};
  const size_t needleLengths[] = {1, 2, 3, 4, 8, 17, 255, 256, 257};
  TextString s;
  for (size_t length : lengths) {
    for (size_t n : needleLengths) {
      std::string what;
      for (size_t i = 0; i < n; ++i) what += kAlphabet[next() % (sizeof kAlphabet - 1)];
      // Where a copy of the needle goes: nowhere, first, last, across the
      // direct starts' end, across the first block's end, anywhere.
      const size_t places[] = {length, 0, length - n, 62, 4159 - n / 2, next() % length};
      for (size_t place : places) {
        // Exactly sized, so that reading past the terminator is caught.
        std::unique_ptr<char[]> text(new char[length + 1]);
        for (size_t i = 0; i < length; ++i) text[i] = kAlphabet[next() % (sizeof kAlphabet - 1)];
        text[length] = '\0';
        if (n <= length && place <= length - n) {
          for (size_t i = 0; i < n; ++i) {
            const char c = what[i];
            const bool flip =
                (next() & 1) != 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
            text[place + i] = flip ? static_cast<char>(c ^ 0x20) : c;
          }
        }
        for (int caseSensitive : {0, 1}) {
          SCOPED_TRACE(testing::Message() << "length " << length << ", needle " << n << ", place "
                                          << place << ", caseSensitive " << caseSensitive);
          EXPECT_EQ(s.FindIn(text.get(), what.c_str(), caseSensitive),
                    NaiveFind(text.get(), what.c_str(), caseSensitive == 0));
        }
      }
    }
  }
}

size_t NaiveCount(const char* text, const char* what, bool folded) {
  size_t count = 0;
  for (const char* p = NaiveFind(text, what, folded); p != nullptr;
       p = NaiveFind(p + 1, what, folded)) {
    ++count;
  }
  return count;
}

std::string NaiveReplace(const std::string& text, const std::string& what, const char* with) {
  std::string result;
  size_t from = 0;
  for (const char* p = NaiveFind(text.c_str(), what.c_str(), true); p != nullptr;
       p = NaiveFind(text.c_str() + from, what.c_str(), true)) {
    const size_t at = static_cast<size_t>(p - text.c_str());
    result += text.substr(from, at - from) + with;
    from = at + what.size();
  }
  return result + text.substr(from);
}

// The folded search takes the needle's first byte in either case only when
// it is a letter, and compares the rest folded: a byte that differs from the
// needle's in the case bit alone must match it only when both are letters,
// as its first byte, inside it or in a needle too long to skip with, among
// the first starts (tried one by one, below 64) and past them. Find, Count
// and Replace all search this way.
TEST(TextStringFind, FoldsOnlyLettersAtEveryPlace) {
  struct Form {
    const char* before;
    std::string after;
  } forms[] = {{"", "Xy"}, {"xY", "z"}, {"", std::string(300, 'Q')}};
  for (const CaseBitPair& pair : kCaseBitPairs) {
    for (const Form& form : forms) {
      SCOPED_TRACE(testing::Message()
                   << literal::Shown(&pair.mine, 1) << " against " << literal::Shown(&pair.other, 1)
                   << " after " << form.before << ", needle of "
                   << std::strlen(form.before) + 1 + form.after.size());
      const std::string what = form.before + std::string(1, pair.mine) + form.after;
      std::string piece = form.before + std::string(1, pair.other) + form.after;
      for (char& c : piece) c = c == pair.other ? c : static_cast<char>(c ^ 0x20);
      Mismatches mismatches;
      for (size_t at : {0, 6, 7, 8, 9, 30, 31, 32, 33, 62, 63, 64, 65, 66, 100, 4159}) {
        const std::string text = SeamText(at + what.size() + 40, "qrstuvw", at, piece);
        const std::string where = "at " + std::to_string(at);
        TextString s(text.c_str(), 0);
        const char* found = NaiveFind(text.c_str(), what.c_str(), true);
        if (s.Find(what.c_str(), 0) != (found ? s.GetText() + (found - text.c_str()) : nullptr)) {
          mismatches.Add(where, "Find differs");
        }
        if (static_cast<size_t>(s.Count(what.c_str(), 0)) !=
            NaiveCount(text.c_str(), what.c_str(), true)) {
          mismatches.Add(where, "Count differs");
        }
        s.Replace(what.c_str(), "#", nullptr);
        if (s.GetText() != NaiveReplace(text, what, "#")) mismatches.Add(where, "Replace differs");
      }
      EXPECT_EQ(mismatches.count(), 0) << mismatches.first();
    }
  }
}

TEST(TextStringFind, SearchesOwnText) {
  TextString s("Hello World", 0);
  EXPECT_EQ(s.Find("world", 0), s.GetText() + 6);
  EXPECT_EQ(s.Find("world", 1), nullptr);
  EXPECT_EQ(s.Find(nullptr, 0), nullptr);
  s.Free();
  EXPECT_EQ(s.Find("", 1), nullptr);
}

// Needles longer than a skip can hold that nearly match at every start of a
// long run of one byte: trying them start by start would read about 10^11
// bytes here.
TEST(TextStringFind, LongNeedleThatNearlyMatchesEverywhere) {
  const size_t length = size_t{1} << 20;
  const std::string run(length, 'a');
  const std::string missing = std::string(length / 2, 'a') + "b";
  const std::string folded = std::string(length / 2, 'A') + "B";
  TextString s(run.c_str(), 0);
  EXPECT_EQ(s.Find(missing.c_str(), 1), nullptr);
  EXPECT_EQ(s.Find(folded.c_str(), 0), nullptr);
  TextString ending((run + "b").c_str(), 0);
  EXPECT_EQ(ending.Find(missing.c_str(), 1), ending.GetText() + length / 2);
  EXPECT_EQ(ending.Find(folded.c_str(), 0), ending.GetText() + length / 2);
  EXPECT_EQ(ending.Find(folded.c_str(), 1), nullptr);
}

// Needles too long to skip with that repeat a short period: after a
// mismatch the search may move on only as far as the period allows.
TEST(TextStringFind, LongPeriodicNeedles) {
  std::string longPeriodic;
  for (int i = 0; i < 200; ++i) longPeriodic += "ab";
  TextString many(("x" + longPeriodic + longPeriodic + "abx").c_str(), 0);
  EXPECT_EQ(many.Find(("b" + longPeriodic).c_str(), 1), many.GetText() + 2);
  EXPECT_EQ(many.Find((longPeriodic + "abx").c_str(), 1), many.GetText() + 1 + 400);
}

TEST(TextStringEndsWith, ComparesTheTailOfTheSubject) {
  struct Row {
    const char* other;
    int caseSensitive, reversed, expected;
  } rows[] = {{"bc", 1, 0, 1},   {"xc", 1, 0, 0}, {"", 1, 0, 1},
              {"abcd", 1, 0, 0}, {"BC", 0, 0, 1}, {"BC", 1, 0, 0},
              {"XABC", 0, 1, 1}, {"bc", 1, 1, 0}, {nullptr, 1, 0, 0}};
  TextString s("abc", 0);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << (row.other ? row.other : "(null)") << row.reversed);
    EXPECT_EQ(s.EndsWith(row.other, row.caseSensitive, row.reversed), row.expected);
  }
  s.Free();
  EXPECT_EQ(s.EndsWith("", 1, 0), 0);
}

TEST(TextStringCount, CountsOverlappingMatches) {
  struct Row {
    const char* text;
    const char* what;
    int caseSensitive, expected;
  } rows[] = {{"aaaa", "aa", 1, 3}, {"abc", "", 1, 3}, {"AbAB", "ab", 0, 2},
              {"AbAB", "ab", 1, 0}, {"", "", 1, 0},    {"abc", nullptr, 1, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    TextString s(row.text, 0);
    EXPECT_EQ(s.Count(row.what, row.caseSensitive), row.expected);
  }
}

// A long needle that overlaps itself at every byte of a long text: searching
// again after each match would read the needle once per match, about 10^11
// bytes here; counting in one pass reads the text once.
TEST(TextStringCount, LongSelfOverlappingNeedleCountsEveryStart) {
  const size_t length = size_t{1} << 20;
  TextString s(std::string(length, 'a').c_str(), 0);
  const std::string half(length / 2, 'a');
  EXPECT_EQ(s.Count(half.c_str(), 1), static_cast<int>(length / 2 + 1));
  const std::string upper(length / 2, 'A');
  EXPECT_EQ(s.Count(upper.c_str(), 0), static_cast<int>(length / 2 + 1));
  EXPECT_EQ(s.Count(upper.c_str(), 1), 0);
}

TEST(TextStringCount, LongNeedlesCountAsShortOnesDo) {
  // A period of two, folded or not, and needles that almost match.
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "aB";
  std::string needle;
  for (int i = 0; i < 200; ++i) needle += "Ab";
  TextString s(text.c_str(), 0);
  EXPECT_EQ(s.Count(needle.c_str(), 0), 801);
  EXPECT_EQ(s.Count(needle.c_str(), 1), 0);
  EXPECT_EQ(s.Count((needle + "A").c_str(), 0), 800);
  EXPECT_EQ(s.Count((needle + "x").c_str(), 0), 0);
  EXPECT_EQ(s.Count(("b" + needle).c_str(), 0), 800);
  EXPECT_EQ(s.Count(text.c_str(), 1), 1);
  EXPECT_EQ(s.Count((text + "a").c_str(), 1), 0);
}

}  // namespace
