// Reading the pin list that a released setup.exe carries.
#include "AdminExe/PinList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/AdminExe/PinListBytes.h"

namespace {

using pinbytes::Digest;
using pinbytes::File;
using pinbytes::List;
using pinlist::Error;

const File kLibrary{"dropnestlib.dll", 4096, Digest('L'), 0};

TEST(PinListParse, SoundListGivesEveryEntryInOrder) {
  const std::string list = List({{"helper.dll", 1, Digest('H'), 1},
                                 kLibrary,
                                 {"data\\drivers\\net.inf", 70000, Digest('D'), 0},
                                 {"readme.txt", 0, Digest('R'), 0}});
  unsigned count = 99;
  ASSERT_EQ(pinlist::Parse(pinbytes::Bytes(list), list.size(), &count), Error::kNone);
  ASSERT_EQ(count, 4u);
  const struct Row {
    const char* name;
    uint32_t size;
    char digest;
    bool companion;
    bool installerLibrary;
  } rows[] = {{"helper.dll", 1, 'H', true, false},
              {"dropnestlib.dll", 4096, 'L', false, true},
              {"data\\drivers\\net.inf", 70000, 'D', false, false},
              {"readme.txt", 0, 'R', false, false}};
  const unsigned char* at = pinlist::FirstEntry(pinbytes::Bytes(list));
  for (unsigned i = 0; i < count; ++i) {
    SCOPED_TRACE(rows[i].name);
    pinlist::Entry entry;
    at = pinlist::NextEntry(at, &entry);
    EXPECT_EQ(std::string(entry.name, entry.nameLength), rows[i].name);
    EXPECT_EQ(entry.size, rows[i].size);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(entry.digest), 32), Digest(rows[i].digest));
    EXPECT_EQ(entry.companion, rows[i].companion);
    EXPECT_EQ(pinlist::IsInstallerLibrary(entry), rows[i].installerLibrary);
  }
  EXPECT_EQ(at, pinbytes::Bytes(list) + list.size());
}

// Every list that does not mean exactly one thing is refused whole.
TEST(PinListParse, UnsoundListsAreRefused) {
  const std::string sound = List({kLibrary});
  std::string badVersion = sound;
  badVersion[4] = '\x02';
  std::string badMagic = sound;
  badMagic[0] = 'X';
  std::string reserved = sound;
  reserved[5] = '\x01';
  std::string tooMany = pinbytes::Header(pinlist::kMaxEntries + 1);
  for (unsigned i = 0; i <= pinlist::kMaxEntries; ++i) {
    tooMany += pinbytes::Entry({"f" + std::to_string(i), 1, Digest('x'), 0});
  }
  std::string oversized = List({kLibrary});
  oversized.resize(pinlist::kMaxListSize + 1, '\0');
  const auto named = [](const std::string& name, unsigned flags = 0) {
    return List({kLibrary, {name, 1, Digest('n'), flags}});
  };
  const struct Row {
    const char* what;
    std::string list;
    Error error;
  } rows[] = {
      {"nothing", "", Error::kTruncated},
      {"a header cut short", sound.substr(0, 7), Error::kTruncated},
      {"an entry cut in its fixed part", sound.substr(0, 8 + 20), Error::kTruncated},
      {"an entry cut in its name", sound.substr(0, sound.size() - 1), Error::kTruncated},
      {"a count larger than the entries", pinbytes::Header(2) + sound.substr(8), Error::kTruncated},
      {"a list larger than any release", oversized, Error::kTooLarge},
      {"more entries than any release", tooMany, Error::kTooLarge},
      {"another format", badMagic, Error::kBadHeader},
      {"another version", badVersion, Error::kBadHeader},
      {"a reserved byte set", reserved, Error::kBadHeader},
      {"zero entries", pinbytes::Header(0), Error::kNoEntries},
      {"an empty name", named(""), Error::kBadName},
      {"a name with ..", named("..\\setup.exe"), Error::kBadName},
      {"a name with .. inside", named("data\\..\\..\\x.bin"), Error::kBadName},
      {"a name with . as a part", named(".\\x.bin"), Error::kBadName},
      {"a name with a drive", named("C:\\Windows\\x.dll"), Error::kBadName},
      {"a name relative to a drive", named("C:x.dll"), Error::kBadName},
      {"an absolute name", named("\\Windows\\x.dll"), Error::kBadName},
      {"a UNC name", named("\\\\server\\share\\x.dll"), Error::kBadName},
      {"a forward slash", named("data/x.bin"), Error::kBadName},
      {"an empty part", named("data\\\\x.bin"), Error::kBadName},
      {"a trailing backslash", named("data\\"), Error::kBadName},
      {"a trailing dot, which Windows drops", named("dropnestlib.dll."), Error::kBadName},
      {"a trailing blank, which Windows drops", named("x.bin "), Error::kBadName},
      {"a stream name", named("x.bin:hidden"), Error::kBadName},
      {"a wildcard", named("x*.bin"), Error::kBadName},
      {"a control character", named("x\x01.bin"), Error::kBadName},
      {"a byte beyond ASCII", named("caf\xE9.txt"), Error::kBadName},
      {"a name longer than 200", named(std::string(201, 'a')), Error::kBadName},
      {"a name listed twice", named("dropnestlib.dll"), Error::kDuplicate},
      {"a name listed twice in another case", named("DropNestLib.DLL"), Error::kDuplicate},
      {"an unknown flag", named("x.dll", 2), Error::kBadFlags},
      {"a companion in a subfolder", named("sub\\x.dll", 1), Error::kBadFlags},
      {"a companion that is no DLL", named("x.exe", 1), Error::kBadFlags},
      {"the installer library as a companion", List({{"dropnestlib.dll", 1, Digest('L'), 1}}),
       Error::kBadFlags},
      {"no installer library", List({{"x.bin", 1, Digest('x'), 0}}), Error::kNoInstallerLibrary},
      {"the installer library in a subfolder only",
       List({{"sub\\dropnestlib.dll", 1, Digest('x'), 0}}), Error::kNoInstallerLibrary},
      {"a byte after the last entry", sound + "x", Error::kTrailingData},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    unsigned count = 99;
    EXPECT_EQ(pinlist::Parse(pinbytes::Bytes(row.list), row.list.size(), &count), row.error);
    EXPECT_EQ(count, 0u);
    EXPECT_STRNE(pinlist::Describe(row.error), pinlist::Describe(Error::kNone));
  }
}

TEST(PinListParse, LongestNameAndLargestCountAreAccepted) {
  std::vector<File> files{kLibrary, {std::string(200, 'a'), 1, Digest('a'), 0}};
  for (unsigned i = 2; i < pinlist::kMaxEntries; ++i) {
    files.push_back({"f" + std::to_string(i), i, Digest('f'), 0});
  }
  const std::string list = List(files);
  unsigned count = 0;
  EXPECT_EQ(pinlist::Parse(pinbytes::Bytes(list), list.size(), &count), Error::kNone);
  EXPECT_EQ(count, pinlist::kMaxEntries);
}

}  // namespace
