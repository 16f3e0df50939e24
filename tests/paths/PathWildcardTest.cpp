// Wildcard matching without backtracking.
#include <gtest/gtest.h>

#include "paths/PathString.h"

namespace {

TEST(PathWildcard, MatchesTheWholeTextWithoutBacktracking) {
  struct Row {
    const char* text;
    const char* pattern;
    int caseSensitive;
    int expected;
  } rows[] = {
      {"setup.exe", "*.EXE", 0, 1},
      {"setup.exe", "*.EXE", 1, 0},
      {"a.b.txt", "*.txt", 1, 0},
      {"abc", "a*c", 1, 1},
      {"abcbc", "a*bc", 1, 0},
      {"abc", "abc*", 1, 1},
      {"a", "a*", 1, 1},
      {"", "**", 1, 1},
      {"ab \t", "ab", 1, 1},
      {"ab", "ab \r\n", 1, 1},
      {"a b", "a?b", 1, 1},
      {"abc", "", 1, 0},
      {"a", "*?", 1, 0},
      {"abc", "*?c", 1, 0},
      {"x?c", "*?c", 1, 1},
      {"ab", "a", 1, 0},
      {"a", "ab", 1, 0},
      {"\xE4", "\xC4", 0, 0},
      {"a", nullptr, 1, 0},
      {" ", nullptr, 1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << '"' << row.text << "\" against \""
                                    << (row.pattern ? row.pattern : "null") << '"');
    PathString path(row.text, 260);
    EXPECT_EQ(path.MatchWildcard(row.pattern, row.caseSensitive), row.expected);
    EXPECT_STREQ(path.GetText(), row.text);  // folding works on copies
    const TextString pattern(row.pattern, 260);
    if (row.pattern != nullptr) {
      EXPECT_EQ(path.MatchWildcard(&pattern, row.caseSensitive), row.expected);
    }
  }
}

}  // namespace
