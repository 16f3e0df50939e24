// Command lines, extensions, doubled backslashes and quoted values: editing
// the text as text, without asking the file system.
#include <cstring>

#include "paths/PathString.h"
#include "strings/internal/Ascii.h"
#include "strings/internal/DetachedText.h"

namespace ascii = strings_internal::ascii;
using strings_internal::DetachedText;

namespace {

bool IsBlankRange(const char* begin, const char* end) {
  for (const char* p = begin; p < end; ++p) {
    if (!ascii::IsBlankByte(*p)) return false;
  }
  return true;
}

// Where the value after a found key begins: after the first double quote at
// or after the key's start, as long as only blanks stand between the key's
// end and that quote. A key that itself holds a double quote can put that
// quote inside the found key: there is then no gap to check, and the value
// begins after that quote (key name=" on name="v" gives v). Null when there
// is no such quote or the gap holds something else.
const char* ValueStart(const TextString& path, const char* found, const char* keyEnd) {
  const char* open = path.FindIn(found, "\"", 1);
  if (open == nullptr) return nullptr;
  if (!IsBlankRange(keyEnd, open)) return nullptr;  // an empty range when open < keyEnd
  return open + 1;
}

}  // namespace

const char* PathString::MakeCommandLine(const char* arguments, int quoteArguments) {
  if (arguments == nullptr) return text;
  // Built in a string of its own and stored with one Assign, so that the
  // buffer follows Assign's rule for the whole line; `arguments`, which may
  // lie in this very text, is read before anything here is written.
  TextString line(nullptr, 260);
  line.Append("\"");
  line.Append(text);
  line.Append("\" ");
  if (quoteArguments != 0) line.Append("\"");
  line.Append(arguments);
  if (quoteArguments != 0) line.Append("\"");
  return Assign(line.GetText(), 0);
}

const char* PathString::AppendArgument(const char* argument, int quote) {
  if (argument == nullptr) return text;
  // The separating space may replace the buffer that `argument` lies in.
  DetachedText detached(argument, text, size);
  EnsureEndsWith(' ');
  if (quote != 0) Append("\"");
  Append(detached.get());
  if (quote != 0) Append("\"");
  return text;
}

const char* PathString::SetExtension(const char* extension) {
  if (extension == nullptr || text == nullptr) return nullptr;
  char* dot = std::strrchr(text, '.');
  if (dot == nullptr) return nullptr;
  // Taken before the cut, in case `extension` lies in the part that goes.
  const DetachedText detached(extension, text, size);
  const char* bare = detached.get() + std::strspn(detached.get(), ".");
  dot[1] = '\0';
  return Append(bare);
}

const char* PathString::DoubleBackslashes() { return Replace("\\", "\\\\", nullptr); }

int PathString::GetQuotedValue(const char* key, char* out, int outSize) {
  if (key == nullptr) return 0;
  const char* found = Find(key, 0);
  if (found == nullptr) return 0;
  if (out == nullptr || outSize <= 0) return 1;
  const char* value = ValueStart(*this, found, found + LengthOf(key));
  if (value == nullptr) return 1;
  const char* close = std::strchr(value, '"');
  if (close == nullptr) return 1;
  // Copied out before `out` is cleared: `out` may lie in this very text.
  const size_t length = static_cast<size_t>(close - value);
  const size_t kept =
      length < static_cast<size_t>(outSize) ? length : static_cast<size_t>(outSize) - 1;
  const DetachedText copy(value, kept);
  std::memset(out, 0, static_cast<size_t>(outSize));
  std::memcpy(out, copy.get(), kept);
  return 1;
}
