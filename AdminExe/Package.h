#ifndef ADMINEXE_PACKAGE_H_
#define ADMINEXE_PACKAGE_H_

#include <cstdint>
#include <cstring>

#include "AdminExe/PinList.h"
#include "AdminExe/Setup.h"
#include "platform/DynamicLibrary.h"
#include "platform/PackageFiles.h"
#include "platform/Process.h"

// The exit code of a pinned program whose package is not the one it was
// released with (Windows' ERROR_INVALID_IMAGE_HASH).
constexpr int kPackageRefused = 577;

// PlatformSystem: what the launcher's start-up asks of the operating system.
// The start-up below takes it as a template argument, so that the tests can
// put a recording stand-in in its place while setup.exe pays for no
// indirection.
struct PlatformSystem {
  int SetImageLoadPolicy(unsigned flags) { return platform::SetImageLoadPolicy(flags); }
  const unsigned char* PinList(uint32_t* size) {
    return platform::OwnDataResource(pinlist::kPinListResource, size);
  }
  void RestrictLibrarySearch() { platform::RestrictLibrarySearch(); }
  void RestrictLibrarySearchToSystemFolder() { platform::RestrictLibrarySearchToSystemFolder(); }
  uint32_t ModulePath(char* buffer, uint32_t size) { return platform::ModulePath(buffer, size); }
  platform::FileHandle OpenLocked(const char* path) { return platform::OpenLockedForReading(path); }
  int Sha256(platform::FileHandle file, unsigned char (&digest)[32], uint64_t* size) {
    return platform::Sha256OfFile(file, digest, size);
  }
  platform::LibraryHandle LoadLibraryAlone(const char* path) {
    return platform::LoadLibraryAlone(path);
  }
  void Report(const char* line) { platform::ReportDebugLine(line); }
};

namespace package_internal {

constexpr uint32_t kPathSize = 260;

// The line that reports a refusal: "setup: package refused: NAME: REASON".
struct RefusalLine {
  RefusalLine(const char* name, unsigned nameLength, const char* reason);
  char text[24 + pinlist::kMaxNameLength + 40];
};

// The program's folder, with its final separator, ends where the returned
// length says; 0 when the program's path could not be read.
uint32_t FolderLength(const char* modulePath, uint32_t length);

// Puts `entry`'s name after the folder of `folder` characters in `path`;
// false when the whole does not fit.
bool PutName(char (&path)[kPathSize], uint32_t folder, const pinlist::Entry& entry);

// Why `entry`'s file, at `path`, is not as pinned; null when it is. A file
// that matches stays open, locked, until the process ends.
template <class System>
const char* CheckFile(System& system, const char* path, const pinlist::Entry& entry) {
  const platform::FileHandle file = system.OpenLocked(path);
  if (file == nullptr) return "missing or locked";
  uint64_t size = 0;
  unsigned char digest[32];
  if (system.Sha256(file, digest, &size) == 0) return "unreadable";
  if (size != entry.size) return "another size";
  if (std::memcmp(digest, entry.digest, sizeof digest) != 0) return "another SHA-256";
  return nullptr;
}

template <class System>
int Refuse(System& system, const char* name, unsigned nameLength, const char* reason) {
  const RefusalLine line(name, nameLength, reason);
  system.Report(line.text);
  return kPackageRefused;
}

template <class System>
int CheckAndLoad(System& system, const unsigned char* list, uint32_t listSize,
                 char (&path)[kPathSize]) {
  unsigned count = 0;
  const pinlist::Error error = pinlist::Parse(list, listSize, &count);
  if (error != pinlist::Error::kNone)
    return Refuse(system, "pin list", 8, pinlist::Describe(error));
  // `path` holds the program's folder; each name is put after it in turn.
  const uint32_t folder = FolderLength(path, system.ModulePath(path, kPathSize));
  pinlist::Entry entry;
  const unsigned char* at = pinlist::FirstEntry(list);
  for (unsigned i = 0; i < count; ++i) {
    at = pinlist::NextEntry(at, &entry);
    const char* problem = "path too long";
    if (folder > 0 && PutName(path, folder, entry)) problem = CheckFile(system, path, entry);
    if (problem != nullptr) return Refuse(system, entry.name, entry.nameLength, problem);
  }
  // Every file is as released and locked: now the companions, each after
  // those it imports, and the installer library last.
  for (int installerLibrary = 0; installerLibrary < 2; ++installerLibrary) {
    at = pinlist::FirstEntry(list);
    for (unsigned i = 0; i < count; ++i) {
      at = pinlist::NextEntry(at, &entry);
      if (installerLibrary ? !pinlist::IsInstallerLibrary(entry) : !entry.companion) continue;
      PutName(path, folder, entry);  // it fitted for the check
      if (system.LoadLibraryAlone(path) == nullptr) {
        return Refuse(system, entry.name, entry.nameLength, "does not load");
      }
    }
  }
  return 0;  // `path` names the installer library
}

}  // namespace package_internal

// PreparePackage: the start-up of every run, before anything of the
// package can load.
//  1. Asks for the image-load policy PreferSystem32Images and
//     NoLowMandatoryLabelImages (whatever the answer, the run goes on).
//  2. Without a pin list: the library search of the unpinned program
//     (platform::RestrictLibrarySearch); `libraryPath` is left empty and the
//     installer library is found by name as always. Returns 0.
//  3. With one: the search becomes the system folder alone; the list is
//     read (a list that is not sound refuses the run); every file it names
//     is opened in the program's folder, locked against changes, and its
//     size and SHA-256 are checked through that handle, which stays open
//     until the process ends. Only when every file matches are the
//     companions loaded by full path in list order, and the installer
//     library last; its full path goes to `libraryPath`. Returns 0.
// A refusal (a file missing, unreadable, of another size or digest, a
// companion or the installer library that does not load, a path too long)
// returns kPackageRefused after one report line naming the file and the
// reason; nothing of the package has loaded, unless a companion refused to.
template <class System>
int PreparePackage(System& system, char (&libraryPath)[package_internal::kPathSize]) {
  system.SetImageLoadPolicy(platform::kPreferSystem32Images | platform::kNoLowMandatoryLabelImages);
  uint32_t listSize = 0;
  const unsigned char* list = system.PinList(&listSize);
  if (list == nullptr) {
    libraryPath[0] = '\0';
    system.RestrictLibrarySearch();
    return 0;
  }
  system.RestrictLibrarySearchToSystemFolder();
  if (package_internal::CheckAndLoad(system, list, listSize, libraryPath) == 0) return 0;
  libraryPath[0] = '\0';
  return kPackageRefused;
}

// RunProgram: PreparePackage, then RunSetup with the installer library that
// the package check names; kPackageRefused when the package is not the one
// the program was released with.
template <class System>
int RunProgram(System& system, int debugLookup) {
  char libraryPath[package_internal::kPathSize];
  if (PreparePackage(system, libraryPath) != 0) return kPackageRefused;
  return RunSetup(debugLookup, libraryPath[0] != '\0' ? libraryPath : nullptr);
}

#endif  // ADMINEXE_PACKAGE_H_
