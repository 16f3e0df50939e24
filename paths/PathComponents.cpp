// The four path components: extracting them into another string or in place,
// the cached getters, Split, and the drive-root test.
//
// Every search here runs once over the text and every component is copied
// once, so all of these operations stay linear in the text's length.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "paths/PathString.h"
#include "strings/internal/DetachedText.h"

using strings_internal::DetachedText;

namespace {

using Extractor = const char* (PathString::*)(TextString*);

const char* LastBackslash(const char* text) { return std::strrchr(text, '\\'); }

// A component is copied out before `out` is written, so that `out` may be
// the path itself: it then receives the text a separate string would.
const char* AssignComponent(TextString* out, const char* begin, const char* end) {
  const DetachedText component(begin, static_cast<size_t>(end - begin));
  out->Assign(component.get(), 0);
  return out->GetText();
}

// A component that runs to the end of the text is already terminated, and
// Assign reads a source from its own buffer as a separate copy: no copy is
// needed even when `out` is the path itself.
const char* AssignTail(TextString* out, const char* tail) {
  out->Assign(tail, 0);
  return out->GetText();
}

// The text cut short at `cut` while `use` reads it, then whole again: the
// way to hand a leading component to another string without copying it.
// Only for an `out` that is not the path itself.
template <typename Use>
void WithTextCutAt(char* cut, Use use) {
  const char kept = *cut;
  *cut = '\0';
  use();
  *cut = kept;
}

// The getters' common rule: in place, or into their own cache, which keeps
// its storage from one call to the next.
const char* CachedComponent(PathString& path, int inPlace, TextString*& cache, Extractor extract) {
  if (path.GetText() == nullptr) return nullptr;
  if (inPlace != 0) return (path.*extract)(nullptr);
  if (cache == nullptr) cache = new TextString(nullptr, 260);
  cache->Assign("", 0);
  (path.*extract)(cache);
  return cache->GetText();
}

bool IsAnyOf(const TextString* candidate, std::initializer_list<const TextString*> outputs) {
  for (const TextString* output : outputs) {
    if (output == candidate) return true;
  }
  return false;
}

// One step of Split: the output, or the stand-in string in its place, is
// emptied and filled by `extract`. Returns the string that was filled.
TextString& ExtractInto(PathString& path, Extractor extract, TextString* output,
                        TextString& standIn) {
  TextString& target = output != nullptr ? *output : standIn;
  target.Assign("", 0);
  (path.*extract)(&target);
  return target;
}

// The directory of a path with a drive would repeat it: "C:\Tools" holds
// "C:" and the separator after it.
void StripDrive(TextString* directory, const TextString& drive) {
  if (directory == nullptr || drive.IsBlank() != 0) return;
  directory->Replace(drive.GetText(), "", nullptr);
  directory->TrimLeftChar('\\');
}

// The file name runs to the end of the text, arguments included; they and
// the single space that separated them go.
void StripArguments(TextString* fileName, const TextString& arguments) {
  if (fileName == nullptr || arguments.IsBlank() != 0) return;
  fileName->Replace(arguments.GetText(), "", nullptr);
  fileName->TrimRightChar(' ', 0);
}

}  // namespace

const char* PathString::ExtractDrive(TextString* out) {
  if (text == nullptr) return nullptr;
  char* colon = std::strchr(text, ':');
  if (colon == nullptr) return nullptr;
  if (out == nullptr) {
    colon[1] = '\0';
    return text;
  }
  // Appending the drive one character at a time would leave `out` exactly as
  // one Append of the whole drive does: its buffer is kept while the drive
  // fits with a byte to spare, and otherwise ends as a new one of exactly
  // the drive's size. One Append keeps this linear.
  if (out != this) {
    WithTextCutAt(colon + 1, [&] {
      out->Assign("", 0);
      out->Append(text);
    });
    return out->GetText();
  }
  const DetachedText drive(text, static_cast<size_t>(colon + 1 - text));
  out->Assign("", 0);
  out->Append(drive.get());
  return out->GetText();
}

const char* PathString::ExtractDirectory(TextString* out) {
  if (text == nullptr) return nullptr;
  char* backslash = const_cast<char*>(LastBackslash(text));
  if (backslash == nullptr) return nullptr;
  if (out == nullptr) {
    *backslash = '\0';
    return text;
  }
  if (out != this) {
    WithTextCutAt(backslash, [&] { out->Assign(text, 0); });
    return out->GetText();
  }
  return AssignComponent(out, text, backslash);
}

const char* PathString::ExtractFileName(TextString* out) {
  if (text == nullptr) return nullptr;
  const char* backslash = LastBackslash(text);
  if (backslash == nullptr) {
    // The whole text is the file name; the result stays the path's own text.
    if (out != nullptr) AssignTail(out, text);
    return text;
  }
  const char* name = backslash + 1;
  if (*name == '\0') return nullptr;
  if (out != nullptr) return AssignTail(out, name);
  // In place the buffer shrinks to exactly the name: a copy taken before the
  // old buffer goes becomes the new one.
  const size_t length = std::strlen(name);
  DetachedText exact(name, length);
  Adopt(exact.Release(), static_cast<uint32_t>(length + 1));
  return text;
}

const char* PathString::ExtractArguments(TextString* out) {
  if (text == nullptr) return nullptr;
  const char* separator = Find(" -", 1);
  if (separator == nullptr) return nullptr;
  const char* arguments = separator + 1;
  if (out != nullptr) return AssignTail(out, arguments);
  // As for the file name: exactly the arguments.
  const size_t length = std::strlen(arguments);
  DetachedText exact(arguments, length);
  Adopt(exact.Release(), static_cast<uint32_t>(length + 1));
  return text;
}

const char* PathString::GetDrive(int inPlace) {
  return CachedComponent(*this, inPlace, driveCache, &PathString::ExtractDrive);
}

const char* PathString::GetDirectory(int inPlace) {
  return CachedComponent(*this, inPlace, directoryCache, &PathString::ExtractDirectory);
}

const char* PathString::GetFileName(int inPlace) {
  return CachedComponent(*this, inPlace, fileNameCache, &PathString::ExtractFileName);
}

const char* PathString::GetArguments() {
  return CachedComponent(*this, 0, argumentsCache, &PathString::ExtractArguments);
}

int PathString::Split(TextString* drive, TextString* directory, TextString* fileName,
                      TextString* arguments) {
  if (text != nullptr && IsAnyOf(this, {drive, directory, fileName, arguments})) {
    // Filling an output empties it first, and that output is the text being
    // split: split a copy instead, so that the path ends as that output. The
    // copy is a whole path, not a DetachedText: the extractions run on one.
    PathString source(text, 260);
    return source.Split(drive, directory, fileName, arguments);
  }
  TextString standIn(nullptr, 260);
  ExtractInto(*this, &PathString::ExtractDirectory, directory, standIn);
  StripDrive(directory, ExtractInto(*this, &PathString::ExtractDrive, drive, standIn));
  ExtractInto(*this, &PathString::ExtractFileName, fileName, standIn);
  StripArguments(fileName, ExtractInto(*this, &PathString::ExtractArguments, arguments, standIn));
  return 1;
}

int PathString::IsDriveRoot() {
  if (IsBlank()) return 0;
  const char* colon = std::strchr(text, ':');
  if (colon == nullptr) return 0;
  return colon[1] == '\0' || (colon[1] == '\\' && colon[2] == '\0') ? 1 : 0;
}
