// Files and folders for the end-to-end tests, by Windows path, through the
// Win32 calls alone (the same program runs on Windows and under Wine).
// What can fail returns an AssertionResult that says what and why, for
// ASSERT_TRUE.
#ifndef TESTS_E2E_HARNESS_FILES_H_
#define TESTS_E2E_HARNESS_FILES_H_

#include <gtest/gtest.h>

#include <string>

namespace e2e {

// `folder` and `name` with one backslash between them.
std::string JoinPath(const std::string& folder, const std::string& name);
// Everything before the last backslash ("" without one).
std::string FolderOf(const std::string& path);
// The same path to Windows: ASCII case and / against \ ignored.
bool SamePath(const std::string& a, const std::string& b);

bool Exists(const std::string& path);
bool IsFolder(const std::string& path);

// Creates the folder and every missing one above it.
testing::AssertionResult MakeFolders(const std::string& folder);
testing::AssertionResult CopyOneFile(const std::string& from, const std::string& to);
// Copies the files and folders inside `from` into `to` (made if missing).
testing::AssertionResult CopyTree(const std::string& from, const std::string& to);
testing::AssertionResult WriteBytes(const std::string& path, const std::string& bytes);
testing::AssertionResult AppendBytes(const std::string& path, const std::string& bytes);
// False when the file cannot be read (it is missing, say).
bool ReadBytes(const std::string& path, std::string* bytes);
// Removes a file, or a folder with everything in it; nothing there is
// success.
testing::AssertionResult RemovePath(const std::string& path);

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_FILES_H_
