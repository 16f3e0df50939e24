#include "AdminExe/Package.h"

#include <cstring>

#include "platform/Process.h"

int LauncherSystem::SetImageLoadPolicy(unsigned flags) {
  return platform::SetImageLoadPolicy(flags);
}

const unsigned char* LauncherSystem::PinList(uint32_t* size) {
  return platform::OwnDataResource(pinlist::kPinListResource, size);
}

void LauncherSystem::RestrictLibrarySearch() { platform::RestrictLibrarySearch(); }

void LauncherSystem::RestrictLibrarySearchToSystemFolder() {
  platform::RestrictLibrarySearchToSystemFolder();
}

uint32_t LauncherSystem::ModulePath(char* buffer, uint32_t size) {
  return platform::ModulePath(buffer, size);
}

platform::FileHandle LauncherSystem::OpenLocked(const char* path) {
  return platform::OpenLockedForReading(path);
}

int LauncherSystem::FileSize(platform::FileHandle file, uint64_t* size) {
  return platform::FileSizeOf(file, size);
}

int LauncherSystem::Sha256(platform::FileHandle file, unsigned char (&digest)[32]) {
  return platform::Sha256OfFile(file, digest);
}

platform::LibraryHandle LauncherSystem::LoadLibraryAlone(const char* path) {
  return platform::LoadLibraryAlone(path);
}

void LauncherSystem::Report(const char* line) { platform::ReportDebugLine(line); }

namespace {

constexpr uint32_t kPathSize = 260;

// Appends `length` characters of `text` (all of it for -1) to the line of
// `size` bytes, cutting what does not fit; the line stays terminated.
void Append(char* line, size_t size, const char* text, size_t length = static_cast<size_t>(-1)) {
  const size_t used = std::strlen(line);
  if (length == static_cast<size_t>(-1)) length = std::strlen(text);
  if (length > size - 1 - used) length = size - 1 - used;
  std::memcpy(line + used, text, length);
  line[used + length] = '\0';
}

int Refuse(LauncherSystem& system, const char* name, size_t nameLength, const char* reason) {
  char line[400] = "setup: package refused: ";
  Append(line, sizeof line, name, nameLength);
  Append(line, sizeof line, ": ");
  Append(line, sizeof line, reason);
  system.Report(line);
  return kPackageRefused;
}

// The program's folder with its final backslash, into `folder`; its length,
// 0 when the program's path cannot be read.
uint32_t ProgramFolder(LauncherSystem& system, char (&folder)[kPathSize]) {
  const uint32_t length = system.ModulePath(folder, kPathSize);
  uint32_t end = length;
  while (end > 0 && folder[end - 1] != '\\' && folder[end - 1] != '/') --end;
  folder[end] = '\0';
  return end;
}

// `folder` followed by `name`, into `path`; false when it does not fit.
bool Join(const char* folder, uint32_t folderLength, const char* name, size_t nameLength,
          char (&path)[kPathSize]) {
  if (folderLength + nameLength + 1 > kPathSize) return false;
  std::memcpy(path, folder, folderLength);
  std::memcpy(path + folderLength, name, nameLength);
  path[folderLength + nameLength] = '\0';
  return true;
}

const char* CheckFile(LauncherSystem& system, const char* path, const pinlist::Entry& entry) {
  const platform::FileHandle file = system.OpenLocked(path);
  if (file == nullptr) return "missing or cannot be opened for reading alone";
  uint64_t size = 0;
  unsigned char digest[32];
  if (system.FileSize(file, &size) == 0 || system.Sha256(file, digest) == 0) {
    return "cannot be read";
  }
  if (size != entry.size) return "another size";
  if (std::memcmp(digest, entry.digest, sizeof digest) != 0) return "another SHA-256";
  return nullptr;  // the handle stays open: the file stays as checked
}

int CheckAndLoad(LauncherSystem& system, const unsigned char* list, uint32_t listSize,
                 char* libraryPath, uint32_t libraryPathSize) {
  struct Entries {
    pinlist::Entry* all = new pinlist::Entry[pinlist::kMaxEntries];
    ~Entries() { delete[] all; }
  } owner;
  pinlist::Entry* entries = owner.all;
  unsigned count = 0;
  const pinlist::Error error = pinlist::Parse(list, listSize, entries, &count);
  if (error != pinlist::Error::kNone) {
    return Refuse(system, "pin list", 8, pinlist::Describe(error));
  }
  char folder[kPathSize];
  const uint32_t folderLength = ProgramFolder(system, folder);
  char path[kPathSize];
  const pinlist::Entry* installerLibrary = nullptr;
  for (unsigned i = 0; i < count; ++i) {
    const pinlist::Entry& entry = entries[i];
    const char* problem = "path too long";
    if (folderLength > 0 && Join(folder, folderLength, entry.name, entry.nameLength, path)) {
      problem = CheckFile(system, path, entry);
    }
    if (problem != nullptr) return Refuse(system, entry.name, entry.nameLength, problem);
    if (pinlist::IsInstallerLibrary(entry)) installerLibrary = &entry;
  }
  // Every file is as released and locked: now the companions, each after
  // those it imports, and the installer library last.
  for (unsigned pass = 0; pass < 2; ++pass) {
    for (unsigned i = 0; i < count; ++i) {
      const pinlist::Entry& entry = entries[i];
      if (pass == 0 ? !entry.companion : &entry != installerLibrary) continue;
      Join(folder, folderLength, entry.name, entry.nameLength, path);
      if (system.LoadLibraryAlone(path) == nullptr) {
        return Refuse(system, entry.name, entry.nameLength, "does not load");
      }
    }
  }
  if (std::strlen(path) >= libraryPathSize) return Refuse(system, "path", 4, "too long");
  std::memcpy(libraryPath, path, std::strlen(path) + 1);
  return 0;
}

}  // namespace

int PreparePackage(LauncherSystem& system, char* libraryPath, uint32_t size) {
  system.SetImageLoadPolicy(platform::kPreferSystem32Images | platform::kNoLowMandatoryLabelImages);
  libraryPath[0] = '\0';
  uint32_t listSize = 0;
  const unsigned char* list = system.PinList(&listSize);
  if (list == nullptr) {
    system.RestrictLibrarySearch();
    return 0;
  }
  system.RestrictLibrarySearchToSystemFolder();
  return CheckAndLoad(system, list, listSize, libraryPath, size);
}
