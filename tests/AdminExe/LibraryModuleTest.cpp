// Loading and unloading a library by name.
#include "AdminExe/LibraryModule.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/DynamicLibrary.h"
#include "tests/AdminExe/TestLibraries.h"
#include "tests/support/VirtualSlot.h"

namespace {

// Exposes the protected state that the contract speaks of.
class Probe : public LibraryModule {
 public:
  using LibraryModule::LibraryModule;
  const char* StoredName() const { return fileName; }
  bool Loaded() const { return module != nullptr; }
};

TEST(LibraryModuleVirtualTable, OperationsInContractOrder) {
  using L = LibraryModule;
  EXPECT_EQ(VirtualSlot(&L::Load), 2);
  EXPECT_EQ(VirtualSlot(&L::Unload), 3);
  EXPECT_EQ(VirtualSlot(&L::SetDebugLookup), 4);
  EXPECT_EQ(VirtualSlot(&L::BeforeUnload), 5);
  EXPECT_EQ(VirtualSlot(&L::BindEntry), 6);
  EXPECT_EQ(VirtualSlot(&L::LoadText), 7);
}

TEST(LibraryModuleName, TooLongNameIsRefusedWhole) {
  const std::string name259(259, 'a');
  const std::string name260(260, 'a');
  EXPECT_EQ(std::string(Probe(name259.c_str()).StoredName()), name259);
  EXPECT_STREQ(Probe(name260.c_str()).StoredName(), "");
  EXPECT_STREQ(Probe(nullptr).StoredName(), "");
  EXPECT_STREQ(Probe("").StoredName(), "");
}

TEST(LibraryModuleLoad, EmptyOrTooLongNameLoadsNothing) {
  Probe empty(nullptr);
  EXPECT_EQ(empty.Load(nullptr), 0);
  EXPECT_EQ(empty.Load(""), 0);
  char buffer[16] = "x";
  EXPECT_EQ(empty.LoadText(1, buffer, sizeof buffer), 0);

  Probe named("keep.dll");
  const std::string tooLong(300, 'b');
  EXPECT_EQ(named.Load(tooLong.c_str()), 0);
  EXPECT_STREQ(named.StoredName(), "keep.dll");
  EXPECT_FALSE(named.Loaded());
}

TEST(LibraryModuleLoad, LoadsByPathAndKeepsWhatIsLoaded) {
  const std::string path = testlibs::Beside("fixture-noexport.dll");
  Probe library(path.c_str());
  library.SetDebugLookup(0);
  ASSERT_EQ(library.Load(nullptr), 1);
  EXPECT_TRUE(library.Loaded());
  // A second Load with another name keeps the loaded library and its name.
  EXPECT_EQ(library.Load("other.dll"), 1);
  EXPECT_EQ(std::string(library.StoredName()), path);
  EXPECT_EQ(library.Unload(), 1);
  EXPECT_FALSE(library.Loaded());
  EXPECT_EQ(library.Unload(), 1);
}

TEST(LibraryModuleLoad, BareNameIsFoundInTheProgramsFolder) {
  Probe library("fixture-noexport.dll");
  EXPECT_EQ(library.Load(nullptr), 1);  // debug lookup on, nothing there: falls back
}

// A Windows whose loader lacks the safe-search flags takes another road;
// the seam makes every Windows take it. The same names must load, from the
// same places only, and LoadText still reach the string functions from the
// system folder. (POSIX has one road: the rows hold there too.)
TEST(LibraryModuleLoad, SameResultsWithAndWithoutSafeSearchFlags) {
#if defined(_WIN32)
  const int textLength = 12;  // string 7 of fixture-noexport.dll, Windows only
#else
  const int textLength = 0;
#endif
  const std::string fullPath = testlibs::Beside("fixture-noexport.dll");
  const struct Row {
    const char* name;
    int loads;
  } rows[] = {
      {fullPath.c_str(), 1},        // a path: exactly that file
      {"fixture-noexport.dll", 1},  // a bare name: beside the program
      {"no-such-library.dll", 0},
      {"C:\\no-such-folder\\fixture-noexport.dll", 0},  // a path is never searched
  };
  for (int assume : {0, 1}) {
    platform::AssumeNoSafeSearchForTesting(assume);
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (assume ? ", without the flags" : ", with the flags"));
      Probe library(row.name);
      library.SetDebugLookup(0);
      EXPECT_EQ(library.Load(nullptr), row.loads);
      char buffer[32] = "unchanged";
      const int copied = library.LoadText(7, buffer, sizeof buffer);
      EXPECT_EQ(copied, row.loads ? textLength : 0);
      if (copied > 0) {
        EXPECT_STREQ(buffer, "fixture text");
      }
    }
  }
  platform::AssumeNoSafeSearchForTesting(0);
}

TEST(LibraryModuleLoad, MissingLibraryLoadsNothing) {
  Probe library("no-such-library.dll");
  EXPECT_EQ(library.Load(nullptr), 0);
  EXPECT_EQ(library.EnsureLoaded("anything"), 0);
}

TEST(LibraryModuleHooks, BaseBindsNothingAndReportsOne) {
  Probe library(testlibs::Beside("dropnestlib.dll").c_str());
  EXPECT_EQ(library.BindEntry("PreInstall"), 0);
  EXPECT_EQ(library.BeforeUnload(), 1);
  EXPECT_EQ(library.SetDebugLookup(0), 1);
  EXPECT_EQ(library.EnsureLoaded(nullptr), 0);
  EXPECT_FALSE(library.Loaded());  // a null name is only tested, never loads
  EXPECT_EQ(library.EnsureLoaded("x"), 1);
  char buffer[16] = "x";
  EXPECT_EQ(library.LoadText(1, buffer, sizeof buffer), 0);  // it has no strings
}

}  // namespace
