// Win32 side of platform/FileSystem.h: only code that calls the Windows API belongs here.
//
// The ANSI functions, with their own error codes.
#include <windows.h>

#include <cstring>

#include "platform/FileSystem.h"

namespace platform {

namespace {

// A path on a drive without a medium (an empty card reader, a floppy drive)
// would otherwise make Windows ask the user to insert a disk: a query must
// answer "not there", never wait for a click. The mode is process-wide, so it
// is held only for the one call that touches the medium; a directory listing
// only ever follows an attribute check that already answered for the drive.
class CriticalErrorBoxesOff {
 public:
  CriticalErrorBoxesOff() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
  ~CriticalErrorBoxesOff() { SetErrorMode(previous_); }
  CriticalErrorBoxesOff(const CriticalErrorBoxesOff&) = delete;
  CriticalErrorBoxesOff& operator=(const CriticalErrorBoxesOff&) = delete;

 private:
  UINT previous_;
};

void Fill(DirectoryEntry* entry, const WIN32_FIND_DATAA& found) {
  static_assert(sizeof entry->name == sizeof found.cFileName, "one name buffer size");
  entry->attributes = found.dwFileAttributes;
  std::memcpy(entry->name, found.cFileName, sizeof entry->name);
  entry->name[sizeof entry->name - 1] = '\0';
}

}  // namespace

uint32_t FileAttributes(const char* path) {
  CriticalErrorBoxesOff quiet;
  return GetFileAttributesA(path);
}

uint32_t TryOpenFile(const char* path, int disposition) {
  HANDLE file;
  DWORD error = 0;
  {
    CriticalErrorBoxesOff quiet;
    file = CreateFileA(path, 0, 0, nullptr, static_cast<DWORD>(disposition), FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    // Read before SetErrorMode runs again, so no later call can replace it.
    if (file == INVALID_HANDLE_VALUE) error = GetLastError();
  }
  if (file == INVALID_HANDLE_VALUE) return error;
  CloseHandle(file);
  return 0;
}

uint32_t GetCurrentDir(char* buffer, uint32_t size) { return GetCurrentDirectoryA(size, buffer); }

uint32_t SetCurrentDir(const char* path) { return SetCurrentDirectoryA(path) ? 0 : GetLastError(); }

DirectoryListing::~DirectoryListing() {
  if (handle_ != nullptr) FindClose(handle_);
}

bool DirectoryListing::Open(const char* pattern, DirectoryEntry* entry) {
  if (handle_ != nullptr) FindClose(handle_);
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(pattern, &found);
  handle_ = search != INVALID_HANDLE_VALUE ? search : nullptr;
  if (handle_ == nullptr) return false;
  Fill(entry, found);
  return true;
}

bool DirectoryListing::Next(DirectoryEntry* entry) {
  WIN32_FIND_DATAA found;
  if (handle_ == nullptr || !FindNextFileA(handle_, &found)) return false;
  Fill(entry, found);
  return true;
}

}  // namespace platform
