#include "strings/DetachedText.h"

#include <cstring>
#include <functional>

DetachedText::DetachedText(const char* arg, const char* buffer, uint32_t size) : arg_(arg) {
  if (arg == nullptr || buffer == nullptr) return;
  // std::less gives a total order even for pointers into different objects.
  std::less<const char*> before;
  const char* end = buffer + size;
  if (before(arg, buffer) || !before(arg, end)) return;
  // Never read past the buffer, even if its last byte was overwritten.
  size_t length = 0;
  while (arg + length != end && arg[length] != '\0') ++length;
  copy_ = static_cast<char*>(::operator new(length + 1));
  std::memcpy(copy_, arg, length);
  copy_[length] = '\0';
}

DetachedText::~DetachedText() { ::operator delete(copy_); }
