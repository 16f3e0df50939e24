// The installer library of the tests, in both builds (a shared object
// natively, a DLL for Windows): the unit tests load it beside their
// executable, the end-to-end tests put it beside setup.exe and in the other
// places it must or must not be loaded from. It records every call, so that
// a test can tell what PreInstall received byte for byte, whether it
// received a null pointer rather than an empty text, how often it was
// called, and which copy of the library was loaded.
//
// Built in variants (add_recording_installer in tests/CMakeLists.txt):
//  - RECORDING_EXPORT_NAME is the export's name: "PreInstall"; "preinstall"
//    (the lookup must not find it); "Other" (a library without the entry);
//  - with RECORDING_COMPANION set to a file name, PreInstall records nothing
//    itself: it loads that companion library by bare name, as installer
//    libraries do, and hands the call on to the companion's own PreInstall,
//    so that the record names the companion copy that the process's library
//    search found; when none is found it returns kNoCompanion.
//
// Each call appends one record to the file named by SETUP_TEST_RECORD:
//   <library path>\t<length of the text, or -1 for a null pointer>\n<text>\n
// and returns the decimal integer in SETUP_TEST_RESULT (0 when unset).
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

#ifdef RECORDING_COMPANION
constexpr int kNoCompanion = -404;

// Windows' plain LoadLibraryA: the search it uses is what the tests probe.
PreInstallEntry LoadCompanion(void** handle) {
#if defined(_WIN32)
  HMODULE companion = LoadLibraryA(RECORDING_COMPANION);
  *handle = companion;
  if (companion == nullptr) return nullptr;
  return reinterpret_cast<PreInstallEntry>(
      reinterpret_cast<void*>(GetProcAddress(companion, PREINSTALL_ENTRY_NAME)));
#else
  *handle = dlopen(RECORDING_COMPANION, RTLD_NOW | RTLD_LOCAL);
  if (*handle == nullptr) return nullptr;
  return reinterpret_cast<PreInstallEntry>(dlsym(*handle, PREINSTALL_ENTRY_NAME));
#endif
}

void FreeCompanion(void* handle) {
  if (handle == nullptr) return;
#if defined(_WIN32)
  FreeLibrary(static_cast<HMODULE>(handle));
#else
  dlclose(handle);
#endif
}
#else
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

void AppendRecord(const char* commandLine) {
  const char* record = std::getenv("SETUP_TEST_RECORD");
  if (record == nullptr || *record == '\0') return;
  FILE* out = std::fopen(record, "ab");
  if (out == nullptr) return;
  // Larger than MAX_PATH: some tests place the library deeper than that.
  char self[1024];
  OwnPath(self, sizeof self);
  const long length = commandLine != nullptr ? static_cast<long>(std::strlen(commandLine)) : -1;
  std::fprintf(out, "%s\t%ld\n", self, length);
  if (commandLine != nullptr) std::fwrite(commandLine, 1, std::strlen(commandLine), out);
  std::fputc('\n', out);
  std::fclose(out);
}
#endif

}  // namespace

#ifdef RECORDING_COMPANION
RECORDING_EXPORT int PREINSTALL_CALL RECORDING_EXPORT_NAME(const char* commandLine) {
  void* handle = nullptr;
  const PreInstallEntry forward = LoadCompanion(&handle);
  const int result = forward != nullptr ? forward(commandLine) : kNoCompanion;
  FreeCompanion(handle);
  return result;
}
#else
RECORDING_EXPORT int PREINSTALL_CALL RECORDING_EXPORT_NAME(const char* commandLine) {
  AppendRecord(commandLine);
  const char* result = std::getenv("SETUP_TEST_RESULT");
  return result != nullptr ? static_cast<int>(std::strtoll(result, nullptr, 10)) : 0;
}
#endif
