// The test libraries' file names and what each does (built by
// tests/e2e/CMakeLists.txt beside the test program).
#ifndef TESTS_E2E_HARNESS_TESTLIBRARIES_H_
#define TESTS_E2E_HARNESS_TESTLIBRARIES_H_

namespace e2e {

// The name setup.exe loads.
constexpr char kLibraryName[] = "dropnestlib.dll";

// The recording library (tests/AdminExe/RecordingInstaller.cpp) in its
// variants, by what they export:
constexpr char kRecording[] = "e2e-recording.dll";  // PreInstall
constexpr char kLowercase[] = "e2e-lowercase.dll";  // only "preinstall"
constexpr char kNoExport[] = "e2e-noexport.dll";    // "Other", no PreInstall
// Loads kCompanion by bare name and hands the call on to its PreInstall,
// or returns kNoCompanion when the process's library search finds none.
constexpr char kCompanionLoader[] = "e2e-companion-loader.dll";
constexpr char kCompanion[] = "e2e-companion.dll";
constexpr int kNoCompanion = -404;
constexpr char kDecorated[] = "e2e-decorated.dll";  // "PreInstall@4", without --kill-at

// The pinned package's libraries (tests/e2e/PinnedPackage.cpp):
constexpr char kPinnedLibrary[] = "e2e-pinned-library.dll";      // its dropnestlib.dll
constexpr char kStaticCompanion[] = "e2e-static-companion.dll";  // imported by it
constexpr char kSystemStandIn[] = "e2e-system-standin.dll";      // a system DLL it imports
constexpr char kPlanted[] = "e2e-planted.dll";                   // an attacker's: records "planted"
// The stand-in again, under a name the installer library loads by bare name
// at run time (a copy the tests put into the system folder; not built).
constexpr char kLateStandIn[] = "e2e-late-standin.dll";

constexpr const char* kAllTestLibraries[] = {kRecording,       kLowercase,     kNoExport,
                                             kCompanionLoader, kDecorated,     kPinnedLibrary,
                                             kStaticCompanion, kSystemStandIn, kPlanted};

// ERROR_INVALID_IMAGE_HASH: a pinned setup.exe refused its package.
constexpr int kPackageRefused = 577;

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_TESTLIBRARIES_H_
