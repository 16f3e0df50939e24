#ifndef ADMINEXE_PACKAGE_H_
#define ADMINEXE_PACKAGE_H_

#include <cstdint>

#include "AdminExe/PinList.h"
#include "platform/DynamicLibrary.h"
#include "platform/PackageFiles.h"

// The exit code of a pinned program whose package is not the one it was
// released with (Windows' ERROR_INVALID_IMAGE_HASH).
constexpr int kPackageRefused = 577;

// LauncherSystem: what the launcher's start-up and the package check ask of
// the operating system. The program uses the platform's; the tests put a
// recording one in its place.
class LauncherSystem {
 public:
  virtual int SetImageLoadPolicy(unsigned flags);
  virtual const unsigned char* PinList(uint32_t* size);
  virtual void RestrictLibrarySearch();
  virtual void RestrictLibrarySearchToSystemFolder();
  virtual uint32_t ModulePath(char* buffer, uint32_t size);
  virtual platform::FileHandle OpenLocked(const char* path);
  virtual int FileSize(platform::FileHandle file, uint64_t* size);
  virtual int Sha256(platform::FileHandle file, unsigned char (&digest)[32]);
  virtual platform::LibraryHandle LoadLibraryAlone(const char* path);
  virtual void Report(const char* line);
};

// PreparePackage: the start-up of every run, before anything of the
// package can load.
//  1. Asks for the image-load policy PreferSystem32Images and
//     NoLowMandatoryLabelImages (whatever the answer, the run goes on).
//  2. Without a pin list: the library search of the unpinned program
//     (RestrictLibrarySearch); `libraryPath` is left empty and the
//     installer library is found by name as always. Returns 0.
//  3. With one: the search becomes the system folder alone; the list is
//     read (a list that is not sound refuses the run); every file it names
//     is opened in the program's folder, locked against changes, and its
//     size and SHA-256 are checked through that handle, which stays open
//     until the process ends. Only when every file matches are the
//     companions loaded by full path in list order, and the installer
//     library last; its full path goes to `libraryPath` (`size` bytes).
//     Returns 0.
// A refusal (a file missing, unreadable, of another size or digest, a
// companion or the installer library that does not load, a path too long)
// returns kPackageRefused after one report line naming the file and the
// reason; nothing of the package has loaded, unless a companion refused to.
int PreparePackage(LauncherSystem& system, char* libraryPath, uint32_t size);

#endif  // ADMINEXE_PACKAGE_H_
