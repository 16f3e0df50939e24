// POSIX side of platform/PackageFiles.h: only code that opens and reads files through the C library
// belongs here.
#include "platform/PackageFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

#include "platform/posix/NativePath.h"
#include "platform/posix/Sha256.h"

namespace platform {
namespace {

// The descriptor travels in the handle, off by one so that 0 is not null.
int Descriptor(FileHandle file) { return static_cast<int>(reinterpret_cast<intptr_t>(file)) - 1; }

}  // namespace

FileHandle OpenLockedForReading(const char* path) {
  if (path == nullptr || *path == '\0') return nullptr;
  // As on Windows, a link is not followed: it could be pointed elsewhere
  // after the check.
  const int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return nullptr;
  struct stat status;
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return nullptr;
  }
  return reinterpret_cast<FileHandle>(static_cast<intptr_t>(fd) + 1);
}

int Sha256OfFile(FileHandle file, unsigned char (&digest)[32], uint64_t* size) {
  *size = 0;
  if (file == nullptr) return 0;
  Sha256 hash;
  unsigned char buffer[16 * 1024];
  for (;;) {
    const ssize_t got = read(Descriptor(file), buffer, sizeof buffer);
    if (got < 0) return 0;
    if (got == 0) break;
    hash.Update(buffer, static_cast<size_t>(got));
    *size += static_cast<uint64_t>(got);
  }
  hash.Finish(digest);
  return 1;
}

void CloseLockedFileForTesting(FileHandle file) {
  if (file != nullptr) close(Descriptor(file));
}

}  // namespace platform
