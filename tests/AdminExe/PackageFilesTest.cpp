// Opening the files of a package locked and reading their size and SHA-256
// through the handle (bcrypt.dll on Windows, the portable stand-in natively).
#include "platform/PackageFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/ScratchDirectory.h"

namespace {

std::string Hex(const unsigned char (&digest)[32]) {
  std::string out;
  char pair[3];
  for (unsigned char byte : digest) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    out += pair;
  }
  return out;
}

// The published SHA-256 test vectors (FIPS 180-4 examples and the NIST
// long message), each as a file, and block boundaries around them.
TEST(PackageFilesSha256, FileDigestsMatchPublishedVectors) {
  ScratchDirectory scratch;
  const struct Row {
    const char* what;
    std::string content;
    const char* digest;
  } rows[] = {
      {"empty", "", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"448 bits", "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {"896 bits",
       "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlm"
       "nopqrsmnopqrstnopqrstu",
       "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
      {"a million a", std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = scratch.AddFile("vector.bin", row.content);
    platform::FileHandle file = platform::OpenLockedForReading(path.c_str());
    ASSERT_NE(file, nullptr);
    uint64_t size = 99;
    unsigned char digest[32] = {};
    EXPECT_EQ(platform::Sha256OfFile(file, digest, &size), 1);
    EXPECT_EQ(Hex(digest), row.digest);
    EXPECT_EQ(size, row.content.size());
    platform::CloseLockedFileForTesting(file);
  }
}

TEST(PackageFilesOpen, OnlyExistingFilesOpen) {
  ScratchDirectory scratch;
  scratch.AddFile("sub/file.bin");
  struct Row {
    std::string path;
    bool opens;
  };
  std::vector<Row> rows = {
      {scratch.PathOf("sub/file.bin"), true},
      {scratch.PathOf("missing.bin"), false},
      {scratch.PathOf("sub"), false},  // a folder is no pinned file
  };
#if !defined(_WIN32)
  // A link could be pointed elsewhere after the check (making one on
  // Windows takes a privilege the tests do not have).
  std::filesystem::create_symlink(scratch.PathOf("sub/file.bin"), scratch.PathOf("link.bin"));
  rows.push_back({scratch.PathOf("link.bin"), false});
#endif
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    platform::FileHandle file = platform::OpenLockedForReading(row.path.c_str());
    EXPECT_EQ(file != nullptr, row.opens);
    if (file != nullptr) platform::CloseLockedFileForTesting(file);
  }
}

#if defined(_WIN32)
// While the handle is open, nobody may write, rename or delete the file;
// reading stays allowed.
TEST(PackageFilesOpen, OpenFileCannotBeChanged) {
  ScratchDirectory scratch;
  const std::string path = scratch.AddFile("locked.dll", "pinned");
  platform::FileHandle file = platform::OpenLockedForReading(path.c_str());
  ASSERT_NE(file, nullptr);
  EXPECT_FALSE(std::ofstream(path, std::ios::binary | std::ios::app).is_open());
  EXPECT_NE(std::rename(path.c_str(), (path + ".old").c_str()), 0);
  EXPECT_NE(std::remove(path.c_str()), 0);
  EXPECT_TRUE(std::ifstream(path, std::ios::binary).is_open());
  platform::CloseLockedFileForTesting(file);
  EXPECT_EQ(std::remove(path.c_str()), 0);
}
#endif

}  // namespace
