// PathString's table of operations, construction, assignment, joining
// components and the error record.
#include "paths/PathString.h"

#include <gtest/gtest.h>

#include <memory>
#include <type_traits>

#include "tests/support/AllocationCount.h"
#include "tests/support/BufferState.h"
#include "tests/support/Bufferless.h"
#include "tests/support/VirtualSlot.h"

namespace {

using P = PathString;

TEST(PathStringVirtualTable, OwnOperationsFollowTextStringsInOrder) {
  // The 55 inherited operations take slots 0..55 (the destructor two).
  const long slots[] = {
      VirtualSlot(&P::AppendComponent),
      VirtualSlot(&P::AddComponent),
      VirtualSlot(&P::GetDrive),
      VirtualSlot(&P::GetDirectory),
      VirtualSlot(&P::GetFileName),
      VirtualSlot(&P::GetArguments),
      VirtualSlot(&P::ExtractDrive),
      VirtualSlot(&P::ExtractDirectory),
      VirtualSlot(&P::ExtractFileName),
      VirtualSlot(&P::ExtractArguments),
      VirtualSlot(&P::MakeCommandLine),
      VirtualSlot(&P::AppendArgument),
      VirtualSlot(&P::AppendBackslash),
      VirtualSlot(&P::SetExtension),
      VirtualSlot(&P::DoubleBackslashes),
      VirtualSlot(&P::Split),
      VirtualSlot(&P::GetQuotedValue),
      VirtualSlot(static_cast<int (P::*)(const char*, int)>(&P::MatchWildcard)),
      VirtualSlot(static_cast<int (P::*)(const TextString*, int)>(&P::MatchWildcard)),
      VirtualSlot(&P::IsDirectory),
      VirtualSlot(&P::CanEnterDirectory),
      VirtualSlot(static_cast<int (P::*)(int)>(&P::CheckFile)),
      VirtualSlot(static_cast<int (P::*)(const char*, int)>(&P::CheckFile)),
      VirtualSlot(&P::Abbreviate),
      VirtualSlot(&P::HasSubdirectories),
      VirtualSlot(&P::HasEntries),
      VirtualSlot(&P::IsDriveRoot),
      VirtualSlot(&P::GetError),
      VirtualSlot(&P::EnsureEndsWith),
  };
  ASSERT_EQ(sizeof slots / sizeof slots[0], 29u);
  for (size_t i = 0; i < 29; ++i) {
    SCOPED_TRACE(testing::Message() << "own operation " << i + 1);
    EXPECT_EQ(slots[i], static_cast<long>(i) + 56);
  }
  // Inherited operations keep their slots.
  EXPECT_EQ(VirtualSlot(&P::Compare), 2);
  EXPECT_EQ(VirtualSlot(&P::ProtectEntities), 55);
}

static_assert(!std::is_copy_constructible<PathString>::value,
              "a PathString must never share its caches");

TEST(PathStringConstruct, BuildsTextAsTextStringDoes) {
  PathString empty;
  EXPECT_STREQ(empty.GetText(), "");
  EXPECT_EQ(empty.GetCapacity(), 260u);
  PathString path("C:\\x", 0);
  EXPECT_STREQ(path.GetText(), "C:\\x");
  EXPECT_EQ(path.GetCapacity(), 5u);
  int detail = -1;
  EXPECT_EQ(path.GetError(&detail), 0u);
  EXPECT_EQ(detail, 0);
}

TEST(PathStringConstruct, DeletedThroughBaseReleasesEverything) {
  const long before = LiveAllocations();
  long whileAlive = 0;
  {
    std::unique_ptr<ObjectBase> owner(new PathString("C:\\Tools\\run.exe -q", 260));
    auto* path = static_cast<PathString*>(owner.get());
    path->GetDrive(0);
    path->GetFileName(0);
    path->GetArguments();
    path->GetDirectory(0);
    path->Abbreviate(5);
    whileAlive = LiveAllocations();
  }
  // The path, its buffer and the four caches at the least were counted...
  EXPECT_GE(whileAlive - before, 6);
  // ...and every one of them went with the path.
  EXPECT_EQ(LiveAllocations(), before);
}

TEST(PathStringAssign, CopiesTextOnly) {
  PathString source("C:\\a\\b.txt", 0);
  PathString target("D:\\longer\\path\\here", 0);
  const char* cached = target.GetFileName(0);
  target = source;
  EXPECT_STREQ(target.GetText(), "C:\\a\\b.txt");
  EXPECT_NE(source.GetFileName(0), cached);  // each keeps its own cache
  target = "plain";
  EXPECT_STREQ(target.GetText(), "plain");
  TextString text("from text", 0);
  target = text;
  EXPECT_STREQ(target.GetText(), "from text");
}

TEST(PathStringAppendComponent, InsertsOneBackslashWhereNeeded) {
  struct Row {
    const char* path;
    const char* name;
    const char* expected;
  } rows[] = {
      {"C:\\dir", "x", "C:\\dir\\x"},
      {"C:\\dir\\", "x", "C:\\dir\\x"},
      {"C:\\dir", "\\x", "C:\\dir\\x"},
      {"C:\\dir\\", "\\x", "C:\\dir\\\\x"},
      {"", "x", "x"},
      {"  ", "x", "  x"},
      {"C:\\dir", "", "C:\\dir\\"},
      {"C:\\dir", nullptr, "C:\\dir"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.path << " + " << (row.name ? row.name : "(null)"));
    PathString path(row.path, 0);
    EXPECT_STREQ(path.AppendComponent(row.name), row.expected);
    PathString added(row.path, 0);
    added.AddComponent(row.name);
    EXPECT_STREQ(added.GetText(), row.expected);
  }
}

TEST(PathStringAppendComponent, OwnTextBehavesAsACopy) {
  struct Row {
    const char* path;
    unsigned minSize;  // 0: the separator replaces the buffer; 260: it is kept
    unsigned offset;
    const char* expected;
  } rows[] = {
      {"abc", 0, 0, "abc\\abc"},  {"abc", 260, 0, "abc\\abc"}, {"dir", 0, 1, "dir\\ir"},
      {"dir", 260, 1, "dir\\ir"}, {"dir", 260, 3, "dir\\"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.path << "/" << row.minSize << "/" << row.offset);
    PathString path(row.path, row.minSize);
    EXPECT_STREQ(path.AppendComponent(path.GetText() + row.offset), row.expected);
  }
}

TEST(PathStringAppendComponent, WithoutTextCreatesItFromName) {
  Bufferless<PathString> path;
  EXPECT_EQ(path.AppendComponent(nullptr), nullptr);
  EXPECT_STREQ(path.AppendComponent("x"), "x");
}

TEST(PathStringEnsureEndsWith, AppendsOnlyWhenMissing) {
  struct Row {
    const char* text;
    char c;
    BufferState after;  // appending follows Append's buffer rule
  } rows[] = {
      {"a;", ';', {"a;", 3, kKeptBuffer}},
      {"a", ';', {"a;", 2, kNewBuffer}},
      {"", ';', {";", 1, kNewBuffer}},
      {"", '\0', {"", 0, kKeptBuffer}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << '"' << row.text << "\" and " << static_cast<int>(row.c));
    PathString path(row.text, 0);
    const char* returned = nullptr;
    EXPECT_EQ(BufferAfter(path, [&] { returned = path.EnsureEndsWith(row.c); }), row.after);
    EXPECT_EQ(returned, path.GetText());
  }
  PathString empty("", 0);
  EXPECT_STREQ(empty.AppendBackslash(), "\\");
  empty.Free();
  EXPECT_EQ(empty.EnsureEndsWith(';'), nullptr);
  EXPECT_EQ(empty.AppendBackslash(), nullptr);
}

TEST(PathStringGetError, NullDetailWritesNothing) {
  PathString path("   ", 0);
  path.CheckFile(3);  // a blank path records 109 / 1022
  EXPECT_EQ(path.GetError(nullptr), 109u);
  int detail = 0;
  EXPECT_EQ(path.GetError(&detail), 109u);
  EXPECT_EQ(detail, PathString::kErrorBlankPath);
}

}  // namespace
