// PLACEHOLDER: to be written (file-system calls).
#include "platform/FileSystem.h"

namespace platform {

uint32_t FileAttributes(const char*) { return kInvalidFileAttributes; }
uint32_t TryOpenFile(const char*, int) { return kErrorFileNotFound; }
uint32_t GetCurrentDir(char*, uint32_t) { return 0; }
uint32_t SetCurrentDir(const char*) { return kErrorPathNotFound; }
DirectoryListing::~DirectoryListing() {}
bool DirectoryListing::Open(const char*, DirectoryEntry*) { return false; }
bool DirectoryListing::Next(DirectoryEntry*) { return false; }

}  // namespace platform
