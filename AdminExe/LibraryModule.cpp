#include "AdminExe/LibraryModule.h"

#include <cstring>

#include "AdminExe/DebugDirectory.h"
#include "AdminExe/DebugTrail.h"

namespace {

// Copies `name` into the field when it fits whole; false (field untouched)
// when it does not.
bool StoreName(char (&field)[LibraryModule::kFileNameSize], const char* name) {
  const size_t length = std::strlen(name);
  if (length >= sizeof field) return false;
  std::memcpy(field, name, length + 1);
  return true;
}

}  // namespace

LibraryModule::LibraryModule(const char* name) : module(nullptr), fileName{}, debugLookup(1) {
  if (name != nullptr && *name != '\0') StoreName(fileName, name);
}

LibraryModule::~LibraryModule() {
  // Runs as a plain LibraryModule: the base BeforeUnload is the one called.
  Unload();
}

int LibraryModule::Load(const char* name) {
  if (module != nullptr) return 1;
  if (name != nullptr && *name != '\0' && !StoreName(fileName, name)) return 0;
  if (fileName[0] == '\0') return 0;
  if (debugLookup != 0) module = LoadFromDebugDirectory(fileName);
  // Also when the debug candidate exists but does not load.
  if (module == nullptr) {
    module = platform::LoadLibraryFile(fileName);
    debugtrail::Candidate(fileName, module);
  }
  return module != nullptr ? 1 : 0;
}

int LibraryModule::Unload() {
  BeforeUnload();
  if (module != nullptr) {
    platform::FreeLibraryHandle(module);
    module = nullptr;
  }
  return 1;
}

int LibraryModule::SetDebugLookup(int enable) {
  debugLookup = enable;
  return 1;
}

int LibraryModule::BeforeUnload() { return 1; }

int LibraryModule::BindEntry(const char*) { return 0; }

int LibraryModule::LoadText(unsigned id, char* buffer, int size) {
  if (Load(nullptr) == 0) return 0;
  return platform::LoadStringResource(module, id, buffer, size);
}

int LibraryModule::EnsureLoaded(const char* name) {
  if (name == nullptr) return 0;
  return Load(nullptr) != 0 ? 1 : 0;
}
