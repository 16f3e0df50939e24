// The debug-directory lookup and the debug trail of setup-debug.exe and the
// tests (see DebugDirectory.h and DebugTrail.h); never linked into setup.exe.
#include "AdminExe/DebugDirectory.h"

#include <cstring>

#include "AdminExe/DebugTrail.h"
#include "paths/PathString.h"
#include "platform/DebugLibrary.h"
#include "platform/Process.h"
#include "strings/TextString.h"
#include "strings/internal/Ascii.h"

namespace ascii = strings_internal::ascii;

namespace {

constexpr char kDebugDirectory[] = "C:\\OvratDebug";
constexpr int kOpenExisting = 3;

void (*trailSink)(const char* line) = nullptr;
// Whether PreInstall was found since the run's trail began: one thread, so
// a plain variable serves.
bool entryFound = false;

void Tell(const TextString& line) {
  if (trailSink != nullptr) {
    trailSink(line.GetText());
  } else {
    platform::ReportDebugLine(line.GetText());
  }
}

// The load's outcome after "setup-debug: library NAME".
void TellLoad(TextString* line, platform::LibraryHandle module) {
  if (module != nullptr) {
    line->Append(": loaded");
    return;
  }
  char meaning[256];
  const uint32_t error = platform::LoadErrorText(meaning, sizeof meaning);
  line->AppendFormat(": not loaded, error %lu: %s", static_cast<unsigned long>(error),
                     meaning[0] != '\0' ? meaning : "(no text for it)");
}

struct Hint {
  const char* wanted;
  debugtrail::Likeness likeness;
  char name[128];
};

int FindHint(const char* exported, void* context) {
  Hint* hint = static_cast<Hint*>(context);
  const debugtrail::Likeness likeness = debugtrail::LikenessOf(exported, hint->wanted);
  if (likeness == debugtrail::Likeness::kUnlike || std::strlen(exported) >= sizeof hint->name) {
    return 0;
  }
  hint->likeness = likeness;
  std::strcpy(hint->name, exported);
  return 1;
}

}  // namespace

platform::LibraryHandle LoadFromDebugDirectory(const char* name) {
  PathString* candidate = new PathString(nullptr, 260);
  candidate->Assign(kDebugDirectory, 0);
  candidate->AppendComponent(name);
  platform::LibraryHandle module = nullptr;
  TextString line("setup-debug: library ", 0);
  line.Append(candidate->GetText());
  // A file that exists but refuses the test open (access denied, sharing or
  // lock violation) still counts: CheckFile reports 1 for it.
  if (candidate->CheckFile(kOpenExisting) == 1) {
    // The copy's own DLLs beside it load from there, as they would beside
    // setup.exe: a vendor tests the copy as it will ship.
    module = platform::LoadLibraryWithFolder(candidate->GetText(), kDebugDirectory);
    TellLoad(&line, module);
    if (module != nullptr) line.Append("; its folder is in the library search for its own DLLs");
  } else {
    line.Append(": not there");
  }
  Tell(line);
  delete candidate;
  return module;
}

namespace debugtrail {

void CommandLine(const char* prepared) {
  entryFound = false;
  TextString line("setup-debug: command line for PreInstall: [", 0);
  line.Append(prepared);
  line.Append("]");
  Tell(line);
}

void Candidate(const char* name, platform::LibraryHandle module) {
  TextString line("setup-debug: library ", 0);
  line.Append(name);
  if (std::strpbrk(name, "\\/:") == nullptr)
    line.Append(" (beside the program, then the system folder)");
  TellLoad(&line, module);
  Tell(line);
}

void Entry(platform::LibraryHandle module, const char* name, bool found) {
  entryFound = found;
  TextString line("setup-debug: ", 0);
  if (found) {
    line.AppendFormat("%s found", name);
    Tell(line);
    return;
  }
  Hint hint{name, Likeness::kUnlike, {}};
  platform::ExportNames(module, FindHint, &hint);
  line.AppendFormat("no export named exactly \"%s\"", name);
  switch (hint.likeness) {
    case Likeness::kDecorated:
      line.AppendFormat(
          "; it exports \"%s\", a decorated name: link the library with "
          "-Wl,--kill-at (or a .def file)",
          hint.name);
      break;
    case Likeness::kOtherCase:
      line.AppendFormat("; it exports \"%s\": the case must match exactly", hint.name);
      break;
    case Likeness::kUnlike:
      line.Append("; nothing like it is exported");
      break;
  }
  Tell(line);
}

void Result(int result) {
  TextString line("setup-debug: ", 0);
  if (entryFound) {
    line.AppendFormat("PreInstall returned %d (0x%08X): the exit code", result,
                      static_cast<unsigned>(result));
  } else {
    line.AppendFormat("PreInstall was not called: exit code %d", result);
  }
  Tell(line);
}

void SetSinkForTesting(void (*sink)(const char* line)) { trailSink = sink; }

Likeness LikenessOf(const char* exported, const char* wanted) {
  const char* at = exported[0] == '_' ? exported + 1 : exported;
  if (!ascii::StartsWithFolded(at, wanted)) return Likeness::kUnlike;
  const char* rest = at + std::strlen(wanted);
  if (rest[0] == '@' && rest[1] != '\0' && rest[1 + std::strspn(rest + 1, "0123456789")] == '\0') {
    return Likeness::kDecorated;
  }
  if (rest[0] == '\0' && at == exported && std::strcmp(exported, wanted) != 0) {
    return Likeness::kOtherCase;
  }
  return Likeness::kUnlike;
}

}  // namespace debugtrail
