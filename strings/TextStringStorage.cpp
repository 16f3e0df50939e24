// Construction, the buffer rules (Assign, AssignN, Append, Free), byte access
// and the operators built on them.
#include <cstdint>
#include <cstring>

#include "strings/TextString.h"
#include "strings/internal/DetachedText.h"
#include "strings/internal/TextBuffer.h"

using strings_internal::DeleteTextBuffer;
using strings_internal::DetachedText;
using strings_internal::NewTextBuffer;

namespace {

// A buffer's size must fit the 32-bit `size` field, terminator included.
constexpr uint64_t kMaxBufferSize = UINT32_MAX;

// The new buffer of Assign: the text, then zeroes up to `bytes`. Out of
// line, since Assign is copied into every caller that the compiler sees
// calling it.
[[gnu::noinline]] char* BufferHolding(const char* source, uint64_t length, uint64_t bytes) {
  char* fresh = NewTextBuffer(static_cast<size_t>(bytes));
  std::memcpy(fresh, source, static_cast<size_t>(length) + 1);
  std::memset(fresh + length + 1, 0, static_cast<size_t>(bytes - length - 1));
  return fresh;
}

}  // namespace

TextString::TextString(const char* source, unsigned minSize)
    : text(nullptr), size(0), lastError(0), errorCode(0) {
  // Qualified calls: a subclass's overrides must not run before it exists.
  if (source != nullptr) {
    TextString::Assign(source, minSize);
    // A minimum size that cannot fit 32 bits makes Assign change nothing;
    // a constructed string still gets a buffer, of the text's own size.
    if (text == nullptr) TextString::Assign(source, 0);
  } else {
    TextString::Assign("", 260);
  }
}

TextString::~TextString() { TextString::Free(); }

char* TextString::AllocateZeroed(uint32_t bytes) {
  char* buffer = NewTextBuffer(bytes);
  std::memset(buffer, 0, bytes);
  return buffer;
}

void TextString::Adopt(char* buffer, uint32_t bytes) {
  Free();
  text = buffer;
  size = bytes;
}

const char* TextString::Assign(const char* source, unsigned minSize) {
  if (source == nullptr) {
    // An existing buffer is kept whole: only its first byte changes.
    if (text != nullptr) {
      text[0] = '\0';
    } else {
      Adopt(AllocateZeroed(20), 20);
    }
    return text;
  }
  // The empty text into a buffer that keeps its place (need = minSize below
  // the capacity): only the first byte changes. Emptying a string is the
  // most common assignment, and this is all the general path does for it.
  if (source[0] == '\0' && minSize < GetCapacity()) {
    text[0] = '\0';
    return text;
  }
  DetachedText arg(source, text, size);
  const uint64_t length = std::strlen(arg.get());
  const uint64_t need = minSize < length ? length + 1 : minSize;
  if (need + 1 > kMaxBufferSize) return text;
  if (need >= GetCapacity()) {
    Adopt(BufferHolding(arg.get(), length, need + 1), static_cast<uint32_t>(need + 1));
    return text;
  }
  // A kept buffer keeps whatever followed the old terminator.
  std::memcpy(text, arg.get(), length + 1);
  return text;
}

const char* TextString::AssignN(const char* source, unsigned count) {
  if (source == nullptr) return Assign(nullptr, 0);
  if (count + uint64_t{1} > kMaxBufferSize) return text;
  DetachedText arg(source, text, size);
  // A new buffer is zeroed below with the kept one.
  if (count >= GetCapacity()) Adopt(NewTextBuffer(count + size_t{1}), count + 1);
  std::memset(text, 0, size);
  // The source need not be terminated within `count` bytes: never measure it.
  const char* from = arg.get();
  for (unsigned i = 0; i < count && from[i] != '\0'; ++i) text[i] = from[i];
  return text;
}

const char* TextString::Append(const char* source) {
  if (source == nullptr) return text;
  DetachedText arg(source, text, size);
  const uint64_t length = GetLength();
  const uint64_t added = std::strlen(arg.get());
  const uint64_t need = length + added + 1;
  if (need > kMaxBufferSize) return text;
  // Replaced even when the joined text would just fit: no spare room is kept.
  if (need >= GetCapacity()) {
    // Exactly filled below: the old text, then the added one and its
    // terminator.
    char* joined = NewTextBuffer(static_cast<size_t>(need));
    if (text != nullptr) std::memcpy(joined, text, length);
    Adopt(joined, static_cast<uint32_t>(need));
  }
  std::memcpy(text + length, arg.get(), added + 1);
  return text;
}

int TextString::Free() {
  if (text != nullptr) {
    DeleteTextBuffer(text);
    text = nullptr;
    size = 0;
  }
  return 1;
}

int TextString::Clear() {
  if (text != nullptr) std::memset(text, 0, GetCapacity());
  return 1;
}

char TextString::GetAt(unsigned index) const {
  // The bound is the capacity, not the length: stale bytes are readable.
  if (text == nullptr || index > GetCapacity()) return 0;
  return text[index];
}

int TextString::TruncateAt(unsigned index) {
  if (text == nullptr || index > GetCapacity()) return 0;
  text[index] = '\0';
  return 1;
}

char* TextString::GetText() const { return text; }

unsigned TextString::LengthOf(const char* source) const {
  return source != nullptr ? static_cast<unsigned>(std::strlen(source)) : 0;
}

unsigned TextString::GetLength() const { return LengthOf(text); }

unsigned TextString::GetCapacity() const { return size != 0 ? size - 1 : 0; }

TextString& TextString::operator=(const char* source) {
  Assign(source, 0);
  return *this;
}

TextString& TextString::operator=(const TextString& other) {
  Assign(other.GetText(), 0);
  return *this;
}

TextString& TextString::operator+=(const char* source) {
  Append(source);
  return *this;
}

TextString& TextString::operator+=(const TextString& other) {
  Append(other.GetText());
  return *this;
}

int TextString::operator==(const char* other) const { return IsEqual(other, 1); }

int TextString::operator==(const TextString& other) const { return IsEqual(other.GetText(), 1); }

int TextString::operator!=(const char* other) const { return IsEqual(other, 1) == 0 ? 1 : 0; }

int TextString::operator!=(const TextString& other) const {
  return IsEqual(other.GetText(), 1) == 0 ? 1 : 0;
}
