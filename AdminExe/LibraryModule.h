#ifndef ADMINEXE_LIBRARYMODULE_H_
#define ADMINEXE_LIBRARYMODULE_H_

#include "platform/DynamicLibrary.h"

// LibraryModule: owns one library loaded at run time, found by its file
// name. Nothing is loaded until the first Load (or LoadText, or a subclass's
// binding); the destructor unloads it.
//
// While the debug lookup is on, Load first tries the file of that name in the
// vendor's debug directory (for the vendor's own testing). Only programs that
// link the real lookup (DebugDirectory.h) look there; the shipped setup.exe
// links the one that never looks, whatever SetDebugLookup is given.
//
// The declaration order of the virtual operations is part of the contract.
class LibraryModule {
 public:
  static constexpr int kFileNameSize = 260;  // the field, terminator included

  // Stores `fileName` when it is non-null, non-empty and at most 259
  // characters; otherwise the stored name is empty (a longer name is refused
  // whole: a shortened one could name another library). Debug lookup on.
  explicit LibraryModule(const char* fileName);
  LibraryModule(const LibraryModule&) = delete;
  LibraryModule& operator=(const LibraryModule&) = delete;

  // ~LibraryModule: Unload.
  virtual ~LibraryModule();

  // Load: 1 when a library is loaded afterwards, else 0. When one is loaded
  // already: 1, and the argument is ignored. A non-empty `fileName` replaces
  // the stored name first; a name longer than 259 characters gives 0 and
  // changes nothing. Looks in the debug directory first while the lookup is
  // on (see above), then the program's own folder and the system folder
  // (never the current directory or PATH).
  virtual int Load(const char* fileName);

  // Unload: BeforeUnload, then frees the library. Returns 1, in any state.
  virtual int Unload();

  // SetDebugLookup: switches the debug-directory lookup for the next Load
  // that loads. Returns 1.
  virtual int SetDebugLookup(int enable);

  // BeforeUnload: hook run at the start of Unload; the base does nothing.
  // Returns 1.
  virtual int BeforeUnload();

  // BindEntry: hook that binds a named entry of the library; the base binds
  // nothing and returns 0.
  virtual int BindEntry(const char* name);

  // LoadText: copies string resource `id` of the library into `buffer` (at
  // most `size` bytes with the terminator), loading the library first.
  // Returns the characters copied, or 0.
  virtual int LoadText(unsigned id, char* buffer, int size);

  // EnsureLoaded: 0 for a null `name` (it is only tested for null);
  // otherwise Load(nullptr).
  int EnsureLoaded(const char* name);

 protected:
  platform::LibraryHandle module;
  char fileName[kFileNameSize];
  int debugLookup;
};

#endif  // ADMINEXE_LIBRARYMODULE_H_
