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
// FILE_SHARE_READ alone; POSIX has no such lock and opens read-only). A link
// is never followed, since it could be pointed elsewhere after the check:
// Windows opens it as itself (its bytes never match a pinned file), POSIX
// refuses it. Null when the file is missing, a folder, or cannot be opened.
// The handle is meant to stay open until the process ends.
FileHandle OpenLockedForReading(const char* path);

// Sha256OfFile: reads the file through `file`, freshly opened by
// OpenLockedForReading, to its end; writes its SHA-256 to `digest` and the
// number of bytes read to `*size`. 1 on success; 0 when a read fails or the
// system offers no SHA-256 (Windows: bcrypt.dll, loaded from the system
// folder when first needed; on POSIX a portable implementation).
int Sha256OfFile(FileHandle file, unsigned char (&digest)[32], uint64_t* size);

// For tests: closes a file opened by OpenLockedForReading (the program never
// does).
void CloseLockedFileForTesting(FileHandle file);

}  // namespace platform

#endif  // PLATFORM_PACKAGEFILES_H_
