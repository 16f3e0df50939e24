#include "AdminExe/CommandLine.h"

#include <cstring>

#include "paths/PathString.h"
#include "strings/internal/Ascii.h"

namespace ascii = strings_internal::ascii;

namespace {

// Removes the program's path where the program name stands. The system puts
// it first; removing it anywhere else would cut arguments that merely
// mention it (a log file next to the program, say).
void RemoveProgramPath(PathString* text, const char* modulePath) {
  if (modulePath == nullptr || *modulePath == '\0' || text->GetText() == nullptr) return;
  const char* line = text->GetText();
  const size_t start = std::strspn(line, " \"");
  const size_t length = std::strlen(modulePath);
  if (!ascii::StartsWithFolded(line + start, modulePath)) return;
  // The rest lies after the new terminator, in the text's own buffer, which
  // Append reads as a separate copy.
  text->TruncateAt(static_cast<unsigned>(start));
  text->Append(line + start + length);
}

}  // namespace

const char* PrepareCommandLine(PathString* text, const char* modulePath) {
  RemoveProgramPath(text, modulePath);
  // The leading runs of blanks and quotes go: the first as TrimLeftChar
  // removes it, then all the runs after it in one Assign of the rest. That
  // leaves the text and its buffer as a TrimLeftChar per run would, without
  // copying the whole line once per run: a line of alternating blanks and
  // quotes must not cost time quadratic in its length.
  const char* line = text->GetText();
  if (line != nullptr && (*line == ' ' || *line == '"')) {
    text->TrimLeftChar(*line);
    line = text->GetText();
    const size_t more = std::strspn(line, " \"");
    if (more > 0) text->Assign(line + more, 0);
  }
  text->TrimRight();
  return text->TrimRightChar('"', 1);
}
