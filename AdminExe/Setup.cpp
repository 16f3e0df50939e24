#include "AdminExe/Setup.h"

#include "AdminExe/CommandLine.h"
#include "AdminExe/DebugTrail.h"
#include "AdminExe/InstallerLibrary.h"
#include "paths/PathString.h"
#include "platform/Process.h"

int RunSetup(int debugLookup, const char* libraryPath) {
  PathString text(platform::CommandLine(), 260);
  char modulePath[260];
  // A path that could not be read, or was cut, removes nothing.
  const bool known = platform::ModulePath(modulePath, sizeof modulePath) != 0;
  debugtrail::CommandLine(PrepareCommandLine(&text, known ? modulePath : nullptr));

  int result = 0;
  {
    InstallerLibrary library;
    library.SetDebugLookup(libraryPath != nullptr ? 0 : debugLookup);
    if (libraryPath != nullptr) library.Load(libraryPath);
    result = library.Run(text.GetText());
  }  // unloads the library before the text goes
  debugtrail::Result(result);
  return result;
}
