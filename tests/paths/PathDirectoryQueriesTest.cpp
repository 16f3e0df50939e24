// CanEnterDirectory, HasSubdirectories and HasEntries.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "paths/PathString.h"
#include "tests/support/Bufferless.h"
#include "tests/support/ErrorRecord.h"
#include "tests/support/ScratchDirectory.h"

namespace {

TEST(PathDirectoryEnter, ExistingDirectoryGivesOneAndTheCurrentDirectoryStays) {
  ScratchDirectory scratch;
  CurrentDirectoryGuard guard;
  PathString path(scratch.Path().c_str());
  EXPECT_EQ(path.CanEnterDirectory(), 1);
  EXPECT_EQ(std::filesystem::current_path(), guard.Saved());
  EXPECT_EQ(RecordOf(path), (ErrorRecord{0, 0}));
}

TEST(PathDirectoryEnter, FailureRecordsTheSystemCodeAndTheCurrentDirectoryStays) {
  ScratchDirectory scratch;
  CurrentDirectoryGuard guard;
  const struct {
    std::string text;
    unsigned code;
  } rows[] = {
      {scratch.PathOf("missing"), 2},
      {scratch.PathOf("missing") + "\\x", 3},
      {scratch.AddFile("file.txt"), 267},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    PathString path(row.text.c_str());
    EXPECT_EQ(path.CanEnterDirectory(), 0);
    EXPECT_EQ(std::filesystem::current_path(), guard.Saved());
    EXPECT_EQ(RecordOf(path), (ErrorRecord{row.code, PathString::kErrorEnterDirectory}));
  }
}

TEST(PathDirectoryEnter, SuccessKeepsAnEarlierFailure) {
  ScratchDirectory scratch;
  PathString path(scratch.PathOf("missing").c_str());
  EXPECT_EQ(path.CanEnterDirectory(), 0);
  path = scratch.Path().c_str();
  EXPECT_EQ(path.CanEnterDirectory(), 1);
  EXPECT_EQ(RecordOf(path), (ErrorRecord{2, PathString::kErrorEnterDirectory}));
}

TEST(PathDirectoryEnter, BlankTextIsRefusedWithoutTouchingTheRecord) {
  ScratchDirectory scratch;
  PathString path(scratch.PathOf("missing").c_str());
  EXPECT_EQ(path.CanEnterDirectory(), 0);
  for (const char* blank : {"", " \t", "\r\n "}) {
    SCOPED_TRACE(std::string("'") + blank + "'");
    path = blank;
    EXPECT_EQ(path.CanEnterDirectory(), 0);
    EXPECT_EQ(RecordOf(path), (ErrorRecord{2, PathString::kErrorEnterDirectory}));
  }
  path.Free();
  EXPECT_EQ(path.CanEnterDirectory(), 0);
  EXPECT_EQ(RecordOf(path), (ErrorRecord{2, PathString::kErrorEnterDirectory}));
}

TEST(PathDirectoryEnter, CurrentDirectoryLongerThanTheWorkBufferComesBack) {
#ifdef _WIN32
  GTEST_SKIP() << "the ANSI current-directory calls stop at 260 characters on Windows and Wine, "
                  "so no longer current directory can be saved or restored through them";
#endif
  ScratchDirectory scratch;
  CurrentDirectoryGuard guard;
  const std::string deep = scratch.AddDirectory(
      std::string(100, 'a') + "/" + std::string(100, 'b') + "/" + std::string(100, 'c'));
  std::filesystem::current_path(deep);
  PathString enterable(scratch.Path().c_str());
  EXPECT_EQ(enterable.CanEnterDirectory(), 1);
  EXPECT_EQ(std::filesystem::current_path(), deep);
  PathString missing(scratch.PathOf("missing").c_str());
  EXPECT_EQ(missing.CanEnterDirectory(), 0);
  EXPECT_EQ(std::filesystem::current_path(), deep);
}

TEST(PathDirectoryListing, AnswersFollowWhatTheDirectoryHolds) {
  const struct {
    const char* holds;
    bool file;
    bool subdirectory;
    int hasEntries;
    int hasSubdirectories;
  } rows[] = {
      {"one file", true, false, 1, 0},
      {"one subdirectory", false, true, 1, 1},
      {"nothing", false, false, 0, 0},
  };
  for (const auto& row : rows) {
    ScratchDirectory scratch;
    if (row.file) scratch.AddFile("a.txt");
    if (row.subdirectory) scratch.AddDirectory("sub");
    for (const std::string& text : {scratch.Path(), scratch.Path() + "\\"}) {
      SCOPED_TRACE(text + " holding " + row.holds);
      PathString path(text.c_str());
      EXPECT_EQ(path.HasEntries(), row.hasEntries);
      EXPECT_EQ(path.HasSubdirectories(), row.hasSubdirectories);
    }
  }
}

TEST(PathDirectoryListing, AnythingButADirectoryGivesZero) {
  ScratchDirectory scratch;
  scratch.AddFile("a.txt");
  for (const std::string& text :
       {scratch.PathOf("a.txt"), scratch.PathOf("missing"), std::string(), std::string(" \t")}) {
    SCOPED_TRACE("'" + text + "'");
    PathString path(text.c_str());
    EXPECT_EQ(path.HasEntries(), 0);
    EXPECT_EQ(path.HasSubdirectories(), 0);
  }
  Bufferless<PathString> withoutText;
  EXPECT_EQ(withoutText.HasEntries(), 0);
  EXPECT_EQ(withoutText.HasSubdirectories(), 0);
}

// A text of exactly `length` characters that names a directory holding a
// file and a subdirectory: its own name, then "\." steps.
std::string FullDirectoryOfLength(const ScratchDirectory& scratch, std::size_t length,
                                  bool endsWithBackslash) {
  const std::size_t body = length - (endsWithBackslash ? 1 : 0);
  const std::string name = (body - scratch.Path().size() - 1) % 2 == 0 ? "dd" : "d";
  scratch.AddFile(name + "/a.txt");
  scratch.AddDirectory(name + "/sub");
  std::string text = scratch.Path() + "\\" + name;
  while (text.size() < body) text += "\\.";
  return endsWithBackslash ? text + "\\" : text;
}

TEST(PathDirectoryListing, TextTooLongForTheSearchPatternGivesZero) {
  const struct {
    std::size_t length;
    bool endsWithBackslash;
    int expected;
  } rows[] = {
      {257, false, 1}, {258, false, 0}, {258, true, 1}, {259, true, 0}, {400, false, 0},
  };
  ScratchDirectory scratch;
  for (const auto& row : rows) {
    const std::string text = FullDirectoryOfLength(scratch, row.length, row.endsWithBackslash);
    SCOPED_TRACE(std::to_string(text.size()) + (row.endsWithBackslash ? " with" : " without") +
                 " final backslash");
    ASSERT_EQ(text.size(), row.length);
    PathString path(text.c_str());
    EXPECT_EQ(path.HasEntries(), row.expected);
    EXPECT_EQ(path.HasSubdirectories(), row.expected);
  }
}

}  // namespace
