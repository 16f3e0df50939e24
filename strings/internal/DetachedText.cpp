#include "strings/internal/DetachedText.h"

#include <cstring>
#include <functional>

#include "strings/internal/TextBuffer.h"

namespace strings_internal {

DetachedText::DetachedText(const char* arg, const char* buffer, uint32_t size) : arg_(arg) {
  if (arg == nullptr || buffer == nullptr) return;
  // std::less gives a total order even for pointers into different objects.
  std::less<const char*> before;
  const char* end = buffer + size;
  if (before(arg, buffer) || !before(arg, end)) return;
  // Never read past the buffer, even if its last byte was overwritten.
  size_t length = 0;
  while (arg + length != end && arg[length] != '\0') ++length;
  CopyFrom(arg, length);
}

DetachedText::DetachedText(const char* begin, size_t length) : arg_(nullptr) {
  CopyFrom(begin, length);
}

DetachedText::~DetachedText() { DeleteTextBuffer(copy_); }

char* DetachedText::Release() {
  char* copy = copy_;
  copy_ = nullptr;
  return copy;
}

void DetachedText::CopyFrom(const char* begin, size_t length) {
  copy_ = NewTextBuffer(length + 1);
  std::memcpy(copy_, begin, length);
  copy_[length] = '\0';
}

}  // namespace strings_internal
