#ifndef PLATFORM_DYNAMICLIBRARY_H_
#define PLATFORM_DYNAMICLIBRARY_H_

// Loading a library at run time, finding its exports and its string
// resources.
namespace platform {

// An opaque handle of a loaded library; null when nothing is loaded.
using LibraryHandle = void*;

// LoadLibraryFile: loads `name` and returns its handle, or null.
//  - A name with a directory in it (an absolute or relative path) loads
//    exactly that file.
//  - A bare file name is looked for in the running program's own folder and
//    then in the system folder only: never in the current directory or the
//    folders on PATH, where anybody could have put a library of that name.
//    (On Windows: LoadLibraryExA with LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
//    LOAD_LIBRARY_SEARCH_SYSTEM32; where the system refuses those flags, the
//    full path in the program's folder. On POSIX: the program's folder.)
LibraryHandle LoadLibraryFile(const char* name);

// FreeLibraryHandle: unloads a library loaded by LoadLibraryFile.
void FreeLibraryHandle(LibraryHandle library);

// FindExport: the address of the export `name` (exact case), or null.
void* FindExport(LibraryHandle library, const char* name);

// LoadStringResource: copies string resource `id` of `library` into
// `buffer` (at most `size` bytes, terminator included) and returns the
// number of characters copied; 0 when there is none. Libraries on POSIX
// carry no string resources: always 0 there.
int LoadStringResource(LibraryHandle library, unsigned id, char* buffer, int size);

}  // namespace platform

#endif  // PLATFORM_DYNAMICLIBRARY_H_
