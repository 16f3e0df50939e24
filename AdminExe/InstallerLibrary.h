#ifndef ADMINEXE_INSTALLERLIBRARY_H_
#define ADMINEXE_INSTALLERLIBRARY_H_

#include "AdminExe/LibraryModule.h"
#include "AdminExe/PreInstall.h"

// InstallerLibrary: the installer library "dropnestlib.dll" and its
// "PreInstall" entry.
class InstallerLibrary : public LibraryModule {
 public:
  // The library "dropnestlib.dll", debug lookup on, nothing bound.
  InstallerLibrary();
  ~InstallerLibrary() override;

  // BeforeUnload: forgets the bound entry, so that it is never called once
  // its library is gone; a bind after a reload looks it up afresh.
  int BeforeUnload() override;

  // BindEntry: binds "PreInstall" when `name` is that name in any case,
  // loading the library first. 1 when the entry is bound afterwards; 0 for
  // any other name (without a lookup), a null name, a library that does not
  // load or has no such export. The lookup always uses the exact "PreInstall".
  int BindEntry(const char* name) override;

  // Run: binds "PreInstall" and calls it once with `commandLine`; returns its
  // result, or 0 when it cannot be bound.
  virtual int Run(const char* commandLine);

 protected:
  PreInstallEntry entry;
};

#endif  // ADMINEXE_INSTALLERLIBRARY_H_
