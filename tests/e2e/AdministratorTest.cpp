// Administrator rights: setup.exe's manifest requires them, so Windows
// starts it only from an elevated process (this one, in an administrator
// Command Prompt) and refuses it to a normal user's token without showing a
// prompt. Wine grants every program administrator rights and never asks.
#include <windows.h>

#include <winsafer.h>

#include <string>

#include "tests/e2e/harness/Inputs.h"
#include "tests/e2e/harness/LauncherTest.h"
#include "tests/e2e/harness/System.h"

namespace e2e {
namespace {

class AdministratorTest : public LauncherTest {};

// The manifest resource (RT_MANIFEST, id 1) of an executable, read without
// running it; "" when there is none.
std::string Manifest(const std::string& program) {
  HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return std::string();
  std::string text;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data != nullptr) text.assign(static_cast<const char*>(data), SizeofResource(module, found));
  FreeLibrary(module);
  return text;
}

TEST_F(AdministratorTest, ManifestRequiresAdministrator) {
  for (const std::string& program : {GetInputs().setup, GetInputs().setupDebug}) {
    SCOPED_TRACE(program);
    const std::string manifest = Manifest(program);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource";
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
  }
}

}  // namespace
}  // namespace e2e
