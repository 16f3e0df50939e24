#ifndef PLATFORM_DEBUGLIBRARY_H_
#define PLATFORM_DEBUGLIBRARY_H_

#include <cstdint>

#include "platform/DynamicLibrary.h"

// What only setup-debug.exe (and the tests) asks about loading libraries:
// the debug folder's search and what the debug trail tells. A file of its
// own on each platform, so that setup.exe, which calls none of it, links
// none of it, nor imports what it calls.
namespace platform {

// LoadLibraryWithFolder: loads exactly the file at the full path `path`
// with `folder` (the file's own) added to the process's library search
// first, so that the library's own DLLs there load as they would beside the
// program: its static imports and its later loads by bare name alike. The
// folder stays in the search; when the file does not load, it is taken out
// again. On Windows AddDllDirectory (looked up at run time; without it, as
// LoadLibraryFile). On POSIX as LoadLibraryFile: a library's own imports are
// found through its run path there.
LibraryHandle LoadLibraryWithFolder(const char* path, const char* folder);

// LoadErrorText: the system's code for why the last load on this thread
// failed, with its meaning in `text` (`size` bytes, one line, empty when the
// system has no text for it). Call it right after the failed load. On
// Windows GetLastError and FormatMessageA; on POSIX 0 and dlerror's message.
uint32_t LoadErrorText(char* text, int size);

// ExportNames: calls `visit` with each name that `library` exports, with
// `context`, until it returns non-zero; returns that, or 0. On Windows the
// loaded image's export directory; on POSIX every name in the library's
// dynamic string table (its exports among them).
int ExportNames(LibraryHandle library, int (*visit)(const char* name, void* context),
                void* context);

}  // namespace platform

#endif  // PLATFORM_DEBUGLIBRARY_H_
