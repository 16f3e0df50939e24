#ifndef PLATFORM_PACKAGEFILES_H_
#define PLATFORM_PACKAGEFILES_H_

#include <cstdint>

// What a pinned setup.exe needs to check the files of its package: open
// them so that nobody can change them while the package runs, and read
// their size and SHA-256 through that same handle, never by name again.
namespace platform {

// An opaque handle of an open file; null when none.
using FileHandle = void*;

// OpenLockedForReading: opens the file at `path` (a full Windows path) for
// reading while other processes may only read it too: as long as the handle
// is open, nobody can write, rename or delete the file (on Windows
// FILE_SHARE_READ alone; POSIX has no such lock and opens read-only). Null
// when it is missing, a folder, or cannot be opened. The handle is meant to
// stay open until the process ends.
FileHandle OpenLockedForReading(const char* path);

// FileSizeOf: 1 and the file's size in `*size`; 0 when it cannot be read.
int FileSizeOf(FileHandle file, uint64_t* size);

// Sha256OfFile: reads the file through `file` from its start to its end and
// writes its SHA-256 to `digest`. 1 on success; 0 when a read fails or the
// system offers no SHA-256 (Windows: bcrypt.dll, loaded from the system
// folder at the first call only; on POSIX a portable implementation).
int Sha256OfFile(FileHandle file, unsigned char (&digest)[32]);

// For tests: closes a file opened by OpenLockedForReading (the program never
// does).
void CloseLockedFileForTesting(FileHandle file);

}  // namespace platform

#endif  // PLATFORM_PACKAGEFILES_H_
