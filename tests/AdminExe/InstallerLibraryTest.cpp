// Binding and calling the installer library's PreInstall entry.
#include "AdminExe/InstallerLibrary.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/AdminExe/TestLibraries.h"
#include "tests/support/VirtualSlot.h"

namespace {

class Probe : public InstallerLibrary {
 public:
  bool Bound() const { return entry != nullptr; }
  bool Loaded() const { return module != nullptr; }
};

TEST(InstallerLibraryVirtualTable, RunFollowsTheInheritedOperations) {
  EXPECT_EQ(VirtualSlot(&InstallerLibrary::BindEntry), 6);
  EXPECT_EQ(VirtualSlot(&InstallerLibrary::LoadText), 7);
  EXPECT_EQ(VirtualSlot(&InstallerLibrary::Run), 8);
}

TEST(InstallerLibraryRun, HandsOverTextAndReturnsResult) {
  struct Row {
    const char* text;
    int result;
  } rows[] = {{"/install", 0}, {"", 255}, {"a \"b\"", 256}, {"x", -1}, {"y", -123456}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    testlibs::Record record(row.result);
    Probe library;  // finds dropnestlib.dll beside the test program
    EXPECT_EQ(library.Run(row.text), row.result);
    ASSERT_TRUE(record.Written());
    EXPECT_EQ(record.Received(), row.text);
  }
}

TEST(InstallerLibraryBind, EntryNameIgnoresCaseButLookupDoesNot) {
  Probe library;
  EXPECT_EQ(library.BindEntry("preinstall"), 1);
  EXPECT_EQ(library.BindEntry("PREINSTALL"), 1);
  Probe other;
  EXPECT_EQ(other.BindEntry("Other"), 0);
  EXPECT_FALSE(other.Bound());
  EXPECT_EQ(other.BindEntry(nullptr), 0);
}

TEST(InstallerLibraryBind, LibraryWithoutTheEntryRunsNothing) {
  testlibs::Record record(7);
  Probe noExport;
  ASSERT_EQ(noExport.Load(testlibs::Beside("fixture-noexport.dll").c_str()), 1);
  EXPECT_EQ(noExport.Run("x"), 0);
  EXPECT_TRUE(noExport.Loaded());  // stays loaded until destroyed
  Probe lowerCase;
  ASSERT_EQ(lowerCase.Load(testlibs::Beside("fixture-lowercase.dll").c_str()), 1);
  EXPECT_EQ(lowerCase.Run("x"), 0);
  EXPECT_FALSE(record.Written());
}

TEST(InstallerLibraryBind, UnloadForgetsTheEntryAndReloadBindsAfresh) {
  Probe library;
  ASSERT_EQ(library.BindEntry("PreInstall"), 1);
  library.Unload();
  EXPECT_FALSE(library.Bound());
  EXPECT_FALSE(library.Loaded());
  testlibs::Record record(42);
  EXPECT_EQ(library.Run("again"), 42);  // reloads and binds anew
  EXPECT_EQ(record.Received(), "again");
}

TEST(InstallerLibraryRun, NoLibraryGivesZero) {
  Probe library;
  ASSERT_EQ(library.Load(testlibs::Beside("no-such-library.dll").c_str()), 0);
  // The stored name is now the missing one: nothing binds.
  EXPECT_EQ(library.Run("x"), 0);
}

}  // namespace
