#ifndef TESTS_SUPPORT_SCRATCHDIRECTORY_H_
#define TESTS_SUPPORT_SCRATCHDIRECTORY_H_

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

// A fresh, uniquely named directory under the system's temporary directory,
// removed with everything in it when the test ends. Paths come in the
// platform's own form: "C:\...\x" on Windows, "/tmp/.../x" natively, where
// the library's backslashes are read as '/'.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    // The clock too: a random_device may repeat its sequence in every process.
    std::random_device random;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    do {
      const std::string name =
          "pathstring-" + std::to_string(random() ^ static_cast<unsigned>(now));
      root_ = std::filesystem::temp_directory_path() / name;
    } while (!std::filesystem::create_directory(root_));
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  std::string Path() const { return root_.string(); }
  std::string PathOf(const std::string& name) const { return (root_ / name).string(); }

  // AddFile: a file holding `content` (parent directories made as needed).
  std::string AddFile(const std::string& name, const std::string& content = "x") const {
    std::filesystem::create_directories((root_ / name).parent_path());
    std::ofstream(root_ / name, std::ios::binary) << content;
    return PathOf(name);
  }
  std::string AddDirectory(const std::string& name) const {
    std::filesystem::create_directories(root_ / name);
    return PathOf(name);
  }

 private:
  std::filesystem::path root_;
};

// Puts the current directory back when a test ends, whatever the test did.
// Declare it after any ScratchDirectory: Windows cannot remove a directory
// that is still current.
class CurrentDirectoryGuard {
 public:
  CurrentDirectoryGuard() : saved_(std::filesystem::current_path()) {}
  ~CurrentDirectoryGuard() {
    std::error_code ignored;
    std::filesystem::current_path(saved_, ignored);
  }
  CurrentDirectoryGuard(const CurrentDirectoryGuard&) = delete;
  CurrentDirectoryGuard& operator=(const CurrentDirectoryGuard&) = delete;

  const std::filesystem::path& Saved() const { return saved_; }

 private:
  std::filesystem::path saved_;
};

#endif  // TESTS_SUPPORT_SCRATCHDIRECTORY_H_
