// Construction, destruction, the error record and joining components.
#include "paths/PathString.h"

#include "strings/internal/DetachedText.h"

using strings_internal::DetachedText;

PathString::PathString(const char* source, unsigned minSize)
    : TextString(source, minSize),
      displayText(nullptr, 260),
      driveCache(nullptr),
      directoryCache(nullptr),
      fileNameCache(nullptr),
      argumentsCache(nullptr) {}

PathString::~PathString() {
  TextString** caches[] = {&driveCache, &directoryCache, &fileNameCache, &argumentsCache};
  for (TextString** cache : caches) {
    delete *cache;
    *cache = nullptr;
  }
}

PathString& PathString::operator=(const PathString& other) {
  Assign(other.GetText(), 0);
  return *this;
}

unsigned PathString::GetError(int* detail) {
  if (detail != nullptr) *detail = errorCode;
  return lastError;
}

const char* PathString::EnsureEndsWith(char c) {
  if (text == nullptr) return nullptr;
  const unsigned length = GetLength();
  const unsigned last = length > 0 ? length - 1 : 0;
  if (text[last] != c) {
    const char one[2] = {c, '\0'};
    Append(one);
  }
  return text;
}

const char* PathString::AppendBackslash() { return EnsureEndsWith('\\'); }

const char* PathString::AppendComponent(const char* name) {
  if (name == nullptr) return text;
  // A name taken from this very text must not see the separator: appending
  // it may replace the buffer the name lies in, or write over the name.
  DetachedText detached(name, text, size);
  // A blank path is no directory to put a separator after.
  if (name[0] != '\\' && IsBlank() == 0) AppendBackslash();
  return Append(detached.get());
}

const char* PathString::AddComponent(const char* name) { return AppendComponent(name); }
