// POSIX side of platform/FileSystem.h: only code that calls the POSIX file API belongs here.
//
// Paths arrive in Windows form, so a backslash is read as '/'; failures are
// reported with the Win32 codes that Windows gives for the same situation,
// so that the queries above this layer and their tests behave the same on
// both systems.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/posix/NativePath.h"

namespace platform {

namespace {

bool EndsWithSeparator(const std::string& path) { return !path.empty() && path.back() == '/'; }

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The directory that holds the last component: "." for a bare name, "/"
// for a name just below the root.
std::string ParentOf(const std::string& path) {
  const std::string trimmed = WithoutTrailingSeparators(path);
  const std::string::size_type slash = trimmed.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : trimmed.substr(0, slash);
}

bool IsDirectoryPath(const std::string& path) {
  struct stat status;
  return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsNonDirectoryPath(const std::string& path) {
  struct stat status;
  return stat(path.c_str(), &status) == 0 && !S_ISDIR(status.st_mode);
}

// Windows tells "the file is missing" (2) from "the way to it is missing"
// (3), and names a plain file used as a directory or a file name with a
// trailing separator separately. POSIX folds these into ENOENT and ENOTDIR,
// so the path itself decides.
uint32_t Win32Code(int error, const std::string& path) {
  switch (error) {
    case ENOENT:
      return !path.empty() && IsDirectoryPath(ParentOf(path)) ? kErrorFileNotFound
                                                              : kErrorPathNotFound;
    case ENOTDIR:
      if (!IsNonDirectoryPath(WithoutTrailingSeparators(path))) return kErrorPathNotFound;
      return EndsWithSeparator(path) ? kErrorInvalidName : kErrorDirectory;
    case EISDIR:
      return IsDirectoryPath(path) ? kErrorAccessDenied : kErrorInvalidName;
    case EACCES:
    case EPERM:
      return kErrorAccessDenied;
    case EEXIST:
      return kErrorFileExists;
    case ENAMETOOLONG:
      return kErrorFilenameTooLong;
    case ELOOP:
      return kErrorCantResolveFilename;
    case EROFS:
      return kErrorWriteProtect;
    case EMFILE:
    case ENFILE:
      return kErrorTooManyOpenFiles;
    case EINVAL:
      return kErrorInvalidParameter;
    default:
      return kErrorGenFailure;
  }
}

uint32_t AttributesOf(const struct stat& status) {
  uint32_t attributes = S_ISDIR(status.st_mode) ? kFileAttributeDirectory : kFileAttributeArchive;
  if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attributes |= kFileAttributeReadOnly;
  return attributes;
}

// The Win32 creation dispositions.
constexpr int kCreateNew = 1;
constexpr int kCreateAlways = 2;
constexpr int kOpenAlways = 4;
constexpr int kTruncateExisting = 5;

bool IsDisposition(int disposition) {
  return disposition >= kCreateNew && disposition <= kTruncateExisting;
}

bool CreatesMissing(int disposition) {
  return disposition == kCreateNew || disposition == kCreateAlways || disposition == kOpenAlways;
}

// A file that is there. Opening it with no access rights asks nothing of
// its own permissions, so one that the caller may not even read opens; but
// never with "create new", and never a directory without backup semantics,
// which are not asked for.
uint32_t OpenExisting(const std::string& native, const struct stat& status, int disposition) {
  if (disposition == kCreateNew) return kErrorFileExists;
  if (S_ISDIR(status.st_mode)) return kErrorAccessDenied;
  // Truncating writes the file, which does take write permission. Only a
  // regular file has contents to cut: open(2) ignores O_TRUNC for a FIFO or
  // a device, and so does this.
  const bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
  if (truncates && S_ISREG(status.st_mode) && truncate(native.c_str(), 0) != 0) {
    return Win32Code(errno, native);
  }
  return 0;
}

// A file that is not there, made as the disposition asks. A new file has no
// permissions to check yet, so the least that open(2) takes, reading, will
// do. O_EXCL keeps "create new" from taking a file made in the meantime,
// and O_NONBLOCK keeps a FIFO made in the meantime from holding the caller
// up.
uint32_t CreateMissing(const std::string& native, int disposition) {
  int flags = O_RDONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  if (disposition == kCreateNew) flags |= O_EXCL;
  if (disposition == kCreateAlways) flags |= O_TRUNC;
  const int file = open(native.c_str(), flags, 0666);
  if (file < 0) return Win32Code(errno, native);
  close(file);
  return 0;
}

// Windows matches '*' and '?' without regard to ASCII case. The fold is
// written out here rather than taken from strings/internal/Ascii.h on purpose: the
// platform layer sits below the string library and includes nothing of it.
bool NameMatches(const char* pattern, const char* name) {
  const char* starPattern = nullptr;
  const char* starName = nullptr;
  auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
  while (*name != '\0') {
    if (*pattern == '*') {
      starPattern = ++pattern;
      starName = name;
    } else if (*pattern == '?' || (*pattern != '\0' && fold(*pattern) == fold(*name))) {
      ++pattern;
      ++name;
    } else if (starPattern != nullptr) {
      pattern = starPattern;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return *pattern == '\0';
}

struct Search {
  DIR* directory = nullptr;
  std::string pattern;
  int dotEntriesLeft = 0;  // "." then "..", which readdir's order does not promise
};

bool IsRoot(const std::string& directory) {
  struct stat here, root;
  return stat(directory.c_str(), &here) == 0 && stat("/", &root) == 0 &&
         here.st_dev == root.st_dev && here.st_ino == root.st_ino;
}

void Fill(DirectoryEntry* entry, const char* name, uint32_t attributes) {
  entry->attributes = attributes;
  std::strncpy(entry->name, name, sizeof entry->name - 1);
  entry->name[sizeof entry->name - 1] = '\0';
}

bool NextDotEntry(Search* search, DirectoryEntry* entry) {
  while (search->dotEntriesLeft > 0) {
    const char* name = search->dotEntriesLeft-- == 2 ? "." : "..";
    if (NameMatches(search->pattern.c_str(), name)) {
      Fill(entry, name, kFileAttributeDirectory);
      return true;
    }
  }
  return false;
}

bool NextDirectoryEntry(Search* search, DirectoryEntry* entry) {
  while (const dirent* found = readdir(search->directory)) {
    const char* name = found->d_name;
    if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
    if (!NameMatches(search->pattern.c_str(), name)) continue;
    struct stat status;
    const int directory = dirfd(search->directory);
    if (fstatat(directory, name, &status, 0) != 0 &&
        fstatat(directory, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
      continue;  // gone since readdir saw it
    }
    Fill(entry, name, AttributesOf(status));
    return true;
  }
  return false;
}

void CloseSearch(void*& handle) {
  Search* search = static_cast<Search*>(handle);
  if (search == nullptr) return;
  closedir(search->directory);
  delete search;
  handle = nullptr;
}

}  // namespace

uint32_t FileAttributes(const char* path) {
  const std::string native = NativePath(path);
  struct stat status;
  if (native.empty() || stat(native.c_str(), &status) != 0) return kInvalidFileAttributes;
  return AttributesOf(status);
}

uint32_t TryOpenFile(const char* path, int disposition) {
  if (!IsDisposition(disposition)) return kErrorInvalidParameter;
  const std::string native = NativePath(path);
  // POSIX has no open without access rights: opening for reading would ask
  // for read permission, which Windows never does here. stat looks the path
  // up as open(2) does and fails with the same errors, but asks nothing of
  // the file itself; only a missing file that is to be created gets opened.
  struct stat status;
  if (stat(native.c_str(), &status) == 0) return OpenExisting(native, status, disposition);
  const int error = errno;
  if (error != ENOENT || !CreatesMissing(disposition)) return Win32Code(error, native);
  return CreateMissing(native, disposition);
}

uint32_t GetCurrentDir(char* buffer, uint32_t size) {
  std::vector<char> current(256);
  while (getcwd(current.data(), current.size()) == nullptr) {
    if (errno != ERANGE) return 0;
    current.resize(current.size() * 2);
  }
  const uint32_t length = static_cast<uint32_t>(std::strlen(current.data()));
  if (buffer == nullptr || size <= length) return length + 1;
  std::memcpy(buffer, current.data(), length + 1);
  return length;
}

uint32_t SetCurrentDir(const char* path) {
  const std::string native = NativePath(path);
  return chdir(native.c_str()) == 0 ? 0 : Win32Code(errno, native);
}

DirectoryListing::~DirectoryListing() { CloseSearch(handle_); }

bool DirectoryListing::Open(const char* pattern, DirectoryEntry* entry) {
  CloseSearch(handle_);
  const std::string native = NativePath(pattern);
  const std::string::size_type slash = native.rfind('/');
  const std::string directory =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : native.substr(0, slash));
  auto search = new Search;
  search->pattern = slash == std::string::npos ? native : native.substr(slash + 1);
  search->directory = search->pattern.empty() ? nullptr : opendir(directory.c_str());
  if (search->directory == nullptr) {
    delete search;
    return false;
  }
  // Windows lists "." and ".." first, except in the root of a drive.
  search->dotEntriesLeft = IsRoot(directory) ? 0 : 2;
  handle_ = search;
  if (Next(entry)) return true;
  CloseSearch(handle_);  // as FindFirstFile: no match, no search
  return false;
}

bool DirectoryListing::Next(DirectoryEntry* entry) {
  Search* search = static_cast<Search*>(handle_);
  if (search == nullptr) return false;
  return NextDotEntry(search, entry) || NextDirectoryEntry(search, entry);
}

}  // namespace platform
