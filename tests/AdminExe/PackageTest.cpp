// The start-up of setup.exe: the image-load policy, the library search, and
// for a pinned program the check of its package before anything of it loads.
#include "AdminExe/Package.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "tests/AdminExe/PinListBytes.h"
#include "tests/AdminExe/TestLibraries.h"

namespace {

using pinbytes::Digest;

constexpr char kFolder[] = "C:\\Stick\\";

// What the package folder holds, as the fake system shows it.
struct FakeFile {
  uint32_t size;
  std::string digest;
  bool readable;  // the size and the content can be read
  bool loads;     // a library that loads
};

// Records every request in order; files come from `files`, named by full
// path. It never closes a file: neither does the program.
class FakeSystem {
 public:
  std::string folder = kFolder;
  const std::string* pinList = nullptr;
  std::map<std::string, FakeFile> files;
  std::vector<std::string> log;
  std::vector<std::string> reports;

  int SetImageLoadPolicy(unsigned flags) {
    log.push_back("policy " + std::to_string(flags));
    return 0;  // as where the system lacks it: the run goes on
  }
  const unsigned char* PinList(uint32_t* size) {
    *size = pinList != nullptr ? static_cast<uint32_t>(pinList->size()) : 0;
    return pinList != nullptr ? pinbytes::Bytes(*pinList) : nullptr;
  }
  void RestrictLibrarySearch() { log.push_back("search: program folder and system"); }
  void RestrictLibrarySearchToSystemFolder() { log.push_back("search: system only"); }
  uint32_t ModulePath(char* buffer, uint32_t size) {
    const std::string path = folder + "setup.exe";
    if (path.size() + 1 > size) return 0;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<uint32_t>(path.size());
  }
  platform::FileHandle OpenLocked(const char* path) {
    log.push_back(std::string("open ") + path);
    const auto found = files.find(path);
    return found != files.end() ? &found->second : nullptr;
  }
  int Sha256(platform::FileHandle file, unsigned char (&digest)[32], uint64_t* size) {
    const FakeFile& f = *static_cast<FakeFile*>(file);
    std::memcpy(digest, f.digest.data(), sizeof digest);
    *size = f.size;
    return f.readable ? 1 : 0;
  }
  platform::LibraryHandle LoadLibraryAlone(const char* path) {
    log.push_back(std::string("load ") + path);
    const auto found = files.find(path);
    return found != files.end() && found->second.loads ? &found->second : nullptr;
  }
  void Report(const char* line) { reports.push_back(line); }

  int Loads() const {
    int loads = 0;
    for (const std::string& entry : log) loads += entry.rfind("load ", 0) == 0 ? 1 : 0;
    return loads;
  }
};

constexpr unsigned kPolicy = platform::kPreferSystem32Images | platform::kNoLowMandatoryLabelImages;

// The package of the rows: two companions in the list's order (which is not
// the order of their names), the installer library, a data file in a
// subfolder.
std::string PackageList() {
  return pinbytes::List({{"zz-first.dll", 100, Digest('A'), 1},
                         {"aa-second.dll", 200, Digest('B'), 1},
                         {"dropnestlib.dll", 300, Digest('L'), 0},
                         {"drivers\\net.inf", 400, Digest('D'), 0}});
}

void AddPackage(FakeSystem* system) {
  system->files = {
      {"C:\\Stick\\zz-first.dll", {100, Digest('A'), true, true}},
      {"C:\\Stick\\aa-second.dll", {200, Digest('B'), true, true}},
      {"C:\\Stick\\dropnestlib.dll", {300, Digest('L'), true, true}},
      {"C:\\Stick\\drivers\\net.inf", {400, Digest('D'), true, false}},
  };
}

TEST(PackageStartUp, UnpinnedProgramKeepsItsSearchAndLoadsNothingYet) {
  FakeSystem system;
  char libraryPath[260] = "stale";
  EXPECT_EQ(PreparePackage(system, libraryPath), 0);
  EXPECT_STREQ(libraryPath, "");
  EXPECT_EQ(system.log, (std::vector<std::string>{"policy " + std::to_string(kPolicy),
                                                  "search: program folder and system"}));
  EXPECT_TRUE(system.reports.empty());
}

TEST(PackageStartUp, SoundPackageIsCheckedWholeThenLoadedInListOrder) {
  FakeSystem system;
  const std::string list = PackageList();
  system.pinList = &list;
  AddPackage(&system);
  char libraryPath[260] = "";
  EXPECT_EQ(PreparePackage(system, libraryPath), 0);
  EXPECT_STREQ(libraryPath, "C:\\Stick\\dropnestlib.dll");
  EXPECT_EQ(system.log, (std::vector<std::string>{
                            "policy " + std::to_string(kPolicy),
                            "search: system only",
                            "open C:\\Stick\\zz-first.dll",
                            "open C:\\Stick\\aa-second.dll",
                            "open C:\\Stick\\dropnestlib.dll",
                            "open C:\\Stick\\drivers\\net.inf",
                            "load C:\\Stick\\zz-first.dll",
                            "load C:\\Stick\\aa-second.dll",
                            "load C:\\Stick\\dropnestlib.dll",
                        }));
  EXPECT_TRUE(system.reports.empty());
}

// Each row spoils the package one way: the run is refused with 577, one
// report line names the file and the reason, and nothing of the package is
// loaded (a companion that does not load aside: those before it are).
TEST(PackageStartUp, SpoiltPackageIsRefusedBeforeAnythingLoads) {
  const std::string badList = pinbytes::List({{"x.bin", 1, Digest('x'), 0}});
  const struct Row {
    const char* what;
    const char* file;  // under kFolder; null for none
    FakeFile replacement;
    bool missing;
    const std::string* list;
    const char* report;
    int loads;
  } rows[] = {
      {"the installer library replaced",
       "dropnestlib.dll",
       {300, Digest('X'), true, true},
       false,
       nullptr,
       "setup: package refused: dropnestlib.dll: another SHA-256",
       0},
      {"a companion replaced",
       "aa-second.dll",
       {200, Digest('X'), true, true},
       false,
       nullptr,
       "setup: package refused: aa-second.dll: another SHA-256",
       0},
      {"a data file grown",
       "drivers\\net.inf",
       {401, Digest('D'), true, false},
       false,
       nullptr,
       "setup: package refused: drivers\\net.inf: another size",
       0},
      {"a data file that cannot be read",
       "drivers\\net.inf",
       {400, Digest('D'), false, false},
       false,
       nullptr,
       "setup: package refused: drivers\\net.inf: unreadable",
       0},
      {"a pinned file missing",
       "zz-first.dll",
       {},
       true,
       nullptr,
       "setup: package refused: zz-first.dll: missing or locked",
       0},
      {"a companion that does not load",
       "aa-second.dll",
       {200, Digest('B'), true, false},
       false,
       nullptr,
       "setup: package refused: aa-second.dll: does not load",
       2},
      {"the installer library that does not load",
       "dropnestlib.dll",
       {300, Digest('L'), true, false},
       false,
       nullptr,
       "setup: package refused: dropnestlib.dll: does not load",
       3},
      {"a list that is not sound",
       nullptr,
       {},
       false,
       &badList,
       "setup: package refused: pin list: no dropnestlib.dll",
       0},
  };
  const std::string list = PackageList();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FakeSystem system;
    system.pinList = row.list != nullptr ? row.list : &list;
    AddPackage(&system);
    if (row.file != nullptr) {
      const std::string path = std::string(kFolder) + row.file;
      if (row.missing) {
        system.files.erase(path);
      } else {
        system.files[path] = row.replacement;
      }
    }
    char libraryPath[260] = "";
    EXPECT_EQ(PreparePackage(system, libraryPath), kPackageRefused);
    EXPECT_EQ(system.reports, std::vector<std::string>{row.report});
    EXPECT_EQ(system.Loads(), row.loads);
    EXPECT_STREQ(libraryPath, "");
    EXPECT_EQ(system.log.at(1), "search: system only");
  }
}

TEST(PackageStartUp, PathBeyondTheLimitIsRefused) {
  FakeSystem system;
  system.folder = "C:\\" + std::string(245, 'f') + "\\";
  const std::string list = pinbytes::List({{"dropnestlib.dll", 1, Digest('L'), 0}});
  system.pinList = &list;
  char libraryPath[260] = "";
  EXPECT_EQ(PreparePackage(system, libraryPath), kPackageRefused);
  EXPECT_EQ(system.reports,
            std::vector<std::string>{"setup: package refused: dropnestlib.dll: path too long"});
  EXPECT_EQ(system.Loads(), 0);
}

// RunProgram ends a refused run with 577 and never reaches the installer
// library; a sound one hands its full path on, and the library found there
// is the one that runs.
TEST(PackageStartUp, RunProgramUsesTheCheckedLibraryOrNone) {
  const std::string folder = testlibs::ProgramFolder();
  const std::string separator = folder.find('\\') != std::string::npos ? "\\" : "/";
  for (const bool sound : {true, false}) {
    SCOPED_TRACE(sound ? "sound" : "spoilt");
    testlibs::Record record(42);
    FakeSystem system;
    system.folder = folder + separator;
    const std::string list = pinbytes::List({{"dropnestlib.dll", 7, Digest('L'), 0}});
    system.pinList = &list;
    system.files[system.folder + "dropnestlib.dll"] = {7, Digest(sound ? 'L' : 'X'), true, true};
    EXPECT_EQ(RunProgram(system, 0), sound ? 42 : kPackageRefused);
    EXPECT_EQ(record.Written(), sound);
  }
}

}  // namespace
