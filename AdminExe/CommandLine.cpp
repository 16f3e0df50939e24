#include "AdminExe/CommandLine.h"

#include <cstring>

#include "paths/PathString.h"
#include "strings/Ascii.h"

namespace {

bool StartsWithFolded(const char* text, const char* prefix, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (text[i] == '\0' || ascii::ToLower(text[i]) != ascii::ToLower(prefix[i])) return false;
  }
  return true;
}

// Removes the program's path where the program name stands. The system puts
// it first; removing it anywhere else would cut arguments that merely
// mention it (a log file next to the program, say).
void RemoveProgramPath(PathString* text, const char* modulePath) {
  if (modulePath == nullptr || *modulePath == '\0' || text->GetText() == nullptr) return;
  const char* line = text->GetText();
  const size_t start = std::strspn(line, " \"");
  const size_t length = std::strlen(modulePath);
  if (!StartsWithFolded(line + start, modulePath, length)) return;
  TextString rest(line + start + length, 260);
  text->TruncateAt(static_cast<unsigned>(start));
  text->Append(rest.GetText());
}

}  // namespace

const char* PrepareCommandLine(PathString* text, const char* modulePath) {
  RemoveProgramPath(text, modulePath);
  // Each call removes the whole leading run of that character.
  for (const char* line = text->GetText(); line != nullptr && (*line == ' ' || *line == '"');
       line = text->GetText()) {
    text->TrimLeftChar(*line);
  }
  text->TrimRight();
  return text->TrimRightChar('"', 1);
}
