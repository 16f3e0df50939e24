#include "AdminExe/InstallerLibrary.h"

#include "AdminExe/DebugTrail.h"
#include "strings/TextString.h"

InstallerLibrary::InstallerLibrary() : LibraryModule(PREINSTALL_LIBRARY_NAME), entry(nullptr) {}

InstallerLibrary::~InstallerLibrary() = default;

int InstallerLibrary::BeforeUnload() {
  entry = nullptr;
  return 1;
}

int InstallerLibrary::BindEntry(const char* name) {
  if (EnsureLoaded(name) == 0) return 0;
  TextString requested(name, 260);
  if (requested.IsEqual(PREINSTALL_ENTRY_NAME, 0) == 0) return 0;
  if (entry == nullptr) {
    entry = reinterpret_cast<PreInstallEntry>(platform::FindExport(module, PREINSTALL_ENTRY_NAME));
    debugtrail::Entry(module, PREINSTALL_ENTRY_NAME, entry != nullptr);
  }
  return entry != nullptr ? 1 : 0;
}

int InstallerLibrary::Run(const char* commandLine) {
  if (BindEntry(PREINSTALL_ENTRY_NAME) == 0) return 0;
  return entry(commandLine);
}
