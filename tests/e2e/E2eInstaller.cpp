// The installer library the end-to-end tests put beside setup.exe (and in
// the other places it must or must not be loaded from). It records every
// call so that a test can tell what PreInstall received byte for byte,
// whether it received a null pointer rather than an empty text, how often it
// was called, and which copy of the library was loaded.
//
// Built in several variants (tests/e2e/CMakeLists.txt): E2E_EXPORT_NAME is the
// export's name: "PreInstall"; "preinstall" (the lookup must not find it);
// "Other" (a library without the entry). With E2E_COMPANION set to a file
// name, PreInstall records nothing itself: it loads that companion library
// by bare name, as installer libraries do, and hands the call on to the
// companion's own PreInstall, so that the record names the companion copy
// that the process's library search found; when none is found it returns
// kNoCompanion.
//
// Each call appends one record to the file named by SETUP_TEST_RECORD:
//   <library path>\t<length of the text, or -1 for a null pointer>\n<text>\n
// and returns the decimal integer in SETUP_TEST_RESULT (0 when unset).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "AdminExe/PreInstall.h"

#ifndef E2E_EXPORT_NAME
#error "define E2E_EXPORT_NAME"
#endif

// The linker's symbol for this library's own base address.
extern "C" IMAGE_DOS_HEADER __ImageBase;

#ifdef E2E_COMPANION
constexpr int kNoCompanion = -404;

extern "C" __declspec(dllexport) int PREINSTALL_CALL E2E_EXPORT_NAME(const char* commandLine) {
  HMODULE companion = LoadLibraryA(E2E_COMPANION);
  if (companion == nullptr) return kNoCompanion;
  const auto forward = reinterpret_cast<PreInstallEntry>(
      reinterpret_cast<void*>(GetProcAddress(companion, PREINSTALL_ENTRY_NAME)));
  const int result = forward != nullptr ? forward(commandLine) : kNoCompanion;
  FreeLibrary(companion);
  return result;
}
#else
extern "C" __declspec(dllexport) int PREINSTALL_CALL E2E_EXPORT_NAME(const char* commandLine) {
  const char* record = std::getenv("SETUP_TEST_RECORD");
  if (record != nullptr && *record != '\0') {
    if (FILE* out = std::fopen(record, "ab")) {
      // Larger than MAX_PATH: some tests place the library deeper than that.
      char self[1024] = "";
      GetModuleFileNameA(reinterpret_cast<HMODULE>(&__ImageBase), self, sizeof self - 1);
      const long length = commandLine != nullptr ? static_cast<long>(std::strlen(commandLine)) : -1;
      std::fprintf(out, "%s\t%ld\n", self, length);
      if (commandLine != nullptr) std::fwrite(commandLine, 1, std::strlen(commandLine), out);
      std::fputc('\n', out);
      std::fclose(out);
    }
  }
  const char* result = std::getenv("SETUP_TEST_RESULT");
  return result != nullptr ? static_cast<int>(std::strtoll(result, nullptr, 10)) : 0;
}
#endif
