#ifndef TESTS_ADMINEXE_TESTLIBRARIES_H_
#define TESTS_ADMINEXE_TESTLIBRARIES_H_

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/Process.h"

// Paths of the test installer libraries, which the build puts next to the
// test executable, and the environment through which they report.
namespace testlibs {

inline std::string ProgramFolder() {
  char path[4096];
  platform::ModulePath(path, sizeof path);
  return std::filesystem::path(path).parent_path().string();
}

inline std::string Beside(const char* fileName) {
  return (std::filesystem::path(ProgramFolder()) / fileName).string();
}

inline void SetVariable(const char* name, const std::string& value) {
#if defined(_WIN32)
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

inline void ClearVariable(const char* name) {
#if defined(_WIN32)
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

// Record: while alive, the recording library writes what it receives to a
// fresh file and returns `result`.
class Record {
 public:
  explicit Record(int result = 0)
      : path_((std::filesystem::temp_directory_path() /
               ("setup-record-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + ".txt"))
                  .string()) {
    std::filesystem::remove(path_);
    SetVariable("SETUP_TEST_RECORD", path_);
    SetVariable("SETUP_TEST_RESULT", std::to_string(result));
  }
  ~Record() {
    ClearVariable("SETUP_TEST_RECORD");
    ClearVariable("SETUP_TEST_RESULT");
    std::filesystem::remove(path_);
  }
  bool Written() const { return std::filesystem::exists(path_); }
  // The text PreInstall received (after the library's own path line).
  std::string Received() const {
    std::ifstream in(path_, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t newline = all.find('\n');
    return newline == std::string::npos ? std::string() : all.substr(newline + 1);
  }

 private:
  std::string path_;
};

}  // namespace testlibs

#endif  // TESTS_ADMINEXE_TESTLIBRARIES_H_
