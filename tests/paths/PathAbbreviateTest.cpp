// Abbreviation of long paths for display.
#include <gtest/gtest.h>

#include <string>

#include "paths/PathString.h"

namespace {

TEST(PathAbbreviate, KeepsHeadAndTailOrCutsTheFileName) {
  const char* const kPath = "C:\\Program Files\\Vendor\\Driver\\install.exe";
  const char* const kName = "readme_for_the_adapter.txt";
  struct Row {
    const char* path;
    unsigned maxLength;
    const char* result;
    const char* pathAfter;  // null: unchanged
  } rows[] = {
      {kPath, 42, kPath, nullptr},
      {kPath, 41, "C:\\Program Files\\Ven...or\\Driver\\install.exe", nullptr},
      {kPath, 30, "C:\\Program File...ver\\install.exe", nullptr},
      {kPath, 20, "C:\\Progra...install.exe", nullptr},
      {kPath, 12, "C:\\...stall.exe", nullptr},
      {kPath, 9, "install.e", "C:\\Program Files\\Vendor\\Driver\\install.e"},
      {kPath, 0, "", "C:\\Program Files\\Vendor\\Driver\\"},
      {kName, 10, "readm...r.txt", nullptr},
      {kName, 5, "re...txt", nullptr},
      {kName, 4, "re...xt", nullptr},
      {kName, 0, "...", nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.path << " / " << row.maxLength);
    PathString path(row.path, 260);
    const char* earlier = path.Abbreviate(20);  // held in displayText
    const std::string earlierText = earlier;
    const char* result = path.Abbreviate(row.maxLength);
    EXPECT_STREQ(result, row.result);
    EXPECT_STREQ(path.GetText(), row.pathAfter != nullptr ? row.pathAfter : row.path);
    const bool inPath = result >= path.GetText() && result <= path.GetText() + path.GetLength();
    const bool shown = row.maxLength < path.GetLength() && row.pathAfter == nullptr;
    // displayText keeps its roomy buffer, and is left alone when not used.
    EXPECT_EQ(result == earlier, shown);
    EXPECT_EQ(inPath, !shown);
    if (!shown) {
      EXPECT_EQ(earlier, earlierText);
    }
  }
}

TEST(PathAbbreviate, LongerThanTheDisplayAreaIsWholeToo) {
  const std::string name(299, 'n');
  PathString path((std::string(300, 'd') + "\\" + name).c_str(), 260);
  EXPECT_EQ(std::string(path.Abbreviate(500)), std::string(201, 'd') + "..." + name);
  EXPECT_EQ(path.GetLength(), 600u);
}

}  // namespace
