#ifndef STRINGS_INTERNAL_DETACHEDTEXT_H_
#define STRINGS_INTERNAL_DETACHEDTEXT_H_

#include <cstddef>
#include <cstdint>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// DetachedText: a text that stays readable while the string it may point
// into is rewritten, replaced or released. It is how every operation
// protects an argument that may lie in a string's own buffer, and how it
// takes a piece of its own text out before changing the text. A private
// copy comes from NewTextBuffer and is released with the DetachedText
// unless a string adopts it (see Release).
class DetachedText {
 public:
  // `arg` as it is when it lies outside [buffer, buffer + size); otherwise
  // a private copy of it, read no further than its terminator or the
  // buffer's end. Null stays null.
  DetachedText(const char* arg, const char* buffer, uint32_t size);

  // A private copy of the `length` bytes at `begin`, terminated, wherever
  // they lie: for a piece of a text that runs on past it.
  DetachedText(const char* begin, size_t length);

  ~DetachedText();
  DetachedText(const DetachedText&) = delete;
  DetachedText& operator=(const DetachedText&) = delete;

  // get: the copy when one was made, else the argument itself.
  const char* get() const { return copy_ != nullptr ? copy_ : arg_; }

  // Release: hands the private copy over (length + 1 bytes from
  // NewTextBuffer) for a string to adopt as its buffer; null when none was
  // made. get() then returns the argument, null for the copying constructor.
  char* Release();

 private:
  void CopyFrom(const char* begin, size_t length);

  const char* arg_;
  char* copy_ = nullptr;
};

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_DETACHEDTEXT_H_
