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
  // The text of the first call PreInstall recorded (see
  // RecordingInstaller.cpp for the record's form); empty when none.
  std::string Received() const {
    std::ifstream in(path_, std::ios::binary);
    std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t newline = all.find('\n');
    const size_t tab = all.rfind('\t', newline);
    if (newline == std::string::npos || tab == std::string::npos) return std::string();
    const long length = std::strtol(all.c_str() + tab + 1, nullptr, 10);
    if (length < 0) return std::string();
    return all.substr(newline + 1, static_cast<size_t>(length));
  }

 private:
  std::string path_;
};

}  // namespace testlibs

#endif  // TESTS_ADMINEXE_TESTLIBRARIES_H_
