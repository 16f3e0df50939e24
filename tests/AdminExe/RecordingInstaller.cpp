// A test installer library: it records what it receives and returns what the
// test asks for. Built in several variants (see tests/AdminExe/CMakeLists.txt):
//  - RECORDING_EXPORT_NAME defines the export's name ("PreInstall", or
//    "preinstall" for the case test, or "Other" for a library without the
//    entry);
//  - the record goes to the file named by the environment variable
//    SETUP_TEST_RECORD (when set): the library's own path on the first line,
//    the text received after it, byte for byte;
//  - the result is the decimal integer in SETUP_TEST_RESULT, or 0.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AdminExe/PreInstall.h"

#if defined(_WIN32)
#include <windows.h>
#define RECORDING_EXPORT extern "C" __declspec(dllexport)
#else
#include <dlfcn.h>
#define RECORDING_EXPORT extern "C" __attribute__((visibility("default")))
#endif

#ifndef RECORDING_EXPORT_NAME
#error "define RECORDING_EXPORT_NAME"
#endif

namespace {

int Marker() { return 0; }

// The path of this library, to tell which copy of it was loaded.
void OwnPath(char* buffer, unsigned long size) {
  buffer[0] = '\0';
#if defined(_WIN32)
  HMODULE self = nullptr;
  if (GetModuleHandleExA(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<const char*>(&Marker), &self)) {
    GetModuleFileNameA(self, buffer, size);
  }
#else
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&Marker), &info) != 0 && info.dli_fname != nullptr) {
    std::snprintf(buffer, size, "%s", info.dli_fname);
  }
#endif
}

}  // namespace

RECORDING_EXPORT int PREINSTALL_CALL RECORDING_EXPORT_NAME(const char* commandLine) {
  if (const char* record = std::getenv("SETUP_TEST_RECORD")) {
    if (FILE* out = std::fopen(record, "wb")) {
      char self[1024];
      OwnPath(self, sizeof self);
      std::fprintf(out, "%s\n", self);
      if (commandLine != nullptr) std::fwrite(commandLine, 1, std::strlen(commandLine), out);
      std::fclose(out);
    }
  }
  const char* result = std::getenv("SETUP_TEST_RESULT");
  return result != nullptr ? static_cast<int>(std::strtoll(result, nullptr, 10)) : 0;
}
