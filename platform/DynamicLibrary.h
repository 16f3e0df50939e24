#ifndef PLATFORM_DYNAMICLIBRARY_H_
#define PLATFORM_DYNAMICLIBRARY_H_

// Loading a library at run time, finding its exports and its string
// resources.
namespace platform {

// An opaque handle of a loaded library; null when nothing is loaded.
using LibraryHandle = void*;

// RestrictLibrarySearch: from now on, every library that anything in this
// process loads by bare file name (the program, the installer library it
// loads, or system code on their behalf) comes from the program's own folder
// or the system folder only: never from the current directory or the
// folders on PATH, where anybody could have put a library of that name.
// Call it first thing, before anything can load a library. Returns 1 when
// the system enforces exactly that; 0 where it only drops the current
// directory (Windows without the safe-search update). On POSIX a no-op that
// returns 1: LoadLibraryFile never searches there, and nothing else loads
// by bare name on the program's behalf.
int RestrictLibrarySearch();

// RestrictLibrarySearchToSystemFolder: the stricter setting of a program
// that loads nothing but the files it checked, each by its full path: from
// now on, every library loaded by bare file name, and every static import,
// comes from the system folder or is a library already loaded under that
// name; never from the program's own folder either, where anybody could
// have put a library named as a system one. Returns 1 when the system
// enforces exactly that (SetDefaultDllDirectories with
// LOAD_LIBRARY_SEARCH_SYSTEM32, looked up at run time); 0 where it only
// drops the current directory. On POSIX a no-op that returns 1.
int RestrictLibrarySearchToSystemFolder();

// LoadLibraryAlone: loads exactly the file at the full path `path`, taking
// its own imports from the system folder and the libraries loaded already,
// never from its own folder. Null when it does not load.
LibraryHandle LoadLibraryAlone(const char* path);

// LoadSystemLibrary: a library of the system itself, by bare file name,
// from the system folder only. Null when it does not load. On POSIX the
// ordinary search of the dynamic loader.
LibraryHandle LoadSystemLibrary(const char* name);

// LoadLibraryFile: loads `name` and returns its handle, or null.
//  - A name with a directory in it loads exactly that file (a relative one
//    from the current directory).
//  - A bare file name is looked for in the running program's own folder and
//    then in the system folder only: never in the current directory or the
//    folders on PATH.
//    (On Windows: LoadLibraryExA with LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
//    LOAD_LIBRARY_SEARCH_SYSTEM32; where the system lacks those flags, the
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
// On Windows the string functions' library (user32.dll) is loaded from the
// system folder at the first call only: importing it would make every start
// of the program slower and its thread a GUI thread, for a call it rarely
// makes.
int LoadStringResource(LibraryHandle library, unsigned id, char* buffer, int size);

// For tests: 1 makes LoadLibraryFile and LoadStringResource behave as on a
// Windows whose loader lacks the safe-search flags; 0 goes back to asking the
// system. No effect on POSIX.
void AssumeNoSafeSearchForTesting(int assume);

}  // namespace platform

#endif  // PLATFORM_DYNAMICLIBRARY_H_
