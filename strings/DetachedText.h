#ifndef STRINGS_DETACHEDTEXT_H_
#define STRINGS_DETACHEDTEXT_H_

#include <cstdint>

// DetachedText: a text argument that is safe to read while the string it may
// point into is rewritten or released. When `arg` lies inside the buffer
// [buffer, buffer + size), it is copied to a private heap buffer; otherwise
// it is used as it is. get() returns whichever applies (null for null).
class DetachedText {
 public:
  DetachedText(const char* arg, const char* buffer, uint32_t size);
  ~DetachedText();
  DetachedText(const DetachedText&) = delete;
  DetachedText& operator=(const DetachedText&) = delete;

  const char* get() const { return copy_ != nullptr ? copy_ : arg_; }

 private:
  const char* arg_;
  char* copy_ = nullptr;
};

#endif  // STRINGS_DETACHEDTEXT_H_
