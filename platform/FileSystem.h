#ifndef PLATFORM_FILESYSTEM_H_
#define PLATFORM_FILESYSTEM_H_

#include <cstdint>

// The file-system calls that PathString's queries need, in the shape of the
// Win32 ANSI calls they stand for. Paths are Windows paths: the POSIX
// implementation reads a backslash as '/'. Failures come back as Win32
// error codes on every platform (2 file not found, 3 path not found,
// 5 access denied, 80 file exists, ...), so callers and tests see the same
// numbers everywhere.
namespace platform {

constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
constexpr uint32_t kFileAttributeReadOnly = 0x01;
constexpr uint32_t kFileAttributeDirectory = 0x10;
constexpr uint32_t kFileAttributeArchive = 0x20;

// The Win32 error codes that callers test for and that the POSIX side
// reports, each for the situation in which Windows gives it.
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorTooManyOpenFiles = 4;
constexpr uint32_t kErrorAccessDenied = 5;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorGenFailure = 31;
constexpr uint32_t kErrorSharingViolation = 32;
constexpr uint32_t kErrorLockViolation = 33;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorInvalidName = 123;
constexpr uint32_t kErrorFilenameTooLong = 206;
constexpr uint32_t kErrorDirectory = 267;
constexpr uint32_t kErrorCantResolveFilename = 1921;

// FileAttributes: the attributes of `path` (kFileAttributeDirectory set for
// a directory), or kInvalidFileAttributes when it cannot be read. The
// system's critical-error boxes (a drive without a disk) are suppressed for
// the length of the call only.
uint32_t FileAttributes(const char* path);

// TryOpenFile: opens `path` with no access rights, no sharing and the
// creation `disposition` (1 create new, 2 create always, 3 open existing,
// 4 open always, 5 truncate existing), then closes it at once. Returns 0
// when it opened, else the system's error code. With no access asked for,
// a file's own permissions do not stop the open: a file that the caller
// may not read opens. Critical-error boxes are suppressed for the length of
// the open only.
uint32_t TryOpenFile(const char* path, int disposition);

// GetCurrentDir: writes the current directory and its terminator into
// `buffer` when `size` bytes hold them, and returns its length. When they
// do not fit, writes nothing and returns the size needed, terminator
// included. 0 on failure.
uint32_t GetCurrentDir(char* buffer, uint32_t size);

// SetCurrentDir: makes `path` the current directory. 0 on success, else the
// system's error code.
uint32_t SetCurrentDir(const char* path);

// One entry of a directory listing.
struct DirectoryEntry {
  uint32_t attributes;
  char name[260];
};

// DirectoryListing: the entries that match `pattern` (a directory, a
// backslash, and a last component with '*' and '?'), "." and ".." included
// where the system lists them. Closes the search when destroyed.
class DirectoryListing {
 public:
  DirectoryListing() = default;
  ~DirectoryListing();
  DirectoryListing(const DirectoryListing&) = delete;
  DirectoryListing& operator=(const DirectoryListing&) = delete;

  // Open: starts the search and fills `entry` with the first match. False
  // when nothing can be listed.
  bool Open(const char* pattern, DirectoryEntry* entry);
  // Next: the next match into `entry`; false when there is none.
  bool Next(DirectoryEntry* entry);

 private:
  void* handle_ = nullptr;  // the platform's search state
};

}  // namespace platform

#endif  // PLATFORM_FILESYSTEM_H_
