// printf-style formatting into the text.
#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "platform/Format.h"
#include "strings/TextString.h"

namespace {

using Scratch = std::unique_ptr<char[]>;

// The scratch size is chosen from the format alone: 800 bytes, or a tenth more
// than the format when that is larger.
uint64_t WorkingSize(const char* format) {
  // The tenth in size_t: a 64-bit division would bring the runtime's
  // division routines into the 32-bit program for this line alone.
  const size_t n = std::strlen(format);
  return std::max<uint64_t>(800, uint64_t{n} + n / 10);
}

// The whole formatted result in a zeroed scratch buffer, never a cut one: the
// result is measured first, and a result that would not fit the working size
// gets a buffer of exactly its own size. Null when formatting fails or memory
// runs out; the caller then leaves the text alone.
// It is not taken from NewTextBuffer: running out of memory is an outcome
// here (the text stays), as it is for the conversions.
Scratch FormatToScratch(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = platform::FormattedLength(format, measure);
  va_end(measure);
  if (length < 0) return nullptr;
  const uint64_t needed = static_cast<uint64_t>(length) + 1;
  const uint64_t bytes = std::max(needed, WorkingSize(format));
  if (bytes > SIZE_MAX) return nullptr;
  Scratch out(new (std::nothrow) char[static_cast<size_t>(bytes)]());
  if (out == nullptr) return nullptr;
  if (platform::FormatInto(out.get(), static_cast<size_t>(bytes), format, args) < 0) return nullptr;
  return out;
}

}  // namespace

// Format and AppendFormat differ only in how they store the result. Each
// takes its arguments itself: va_start and va_end belong in the function
// with the `...`, so the few lines around FormatToScratch are written twice.
const char* TextString::Format(const char* format, ...) {
  if (format == nullptr) return text;
  va_list args;
  va_start(args, format);
  const Scratch out = FormatToScratch(format, args);
  va_end(args);
  if (out != nullptr) Assign(out.get(), 0);
  return text;
}

const char* TextString::AppendFormat(const char* format, ...) {
  if (format == nullptr) return text;
  va_list args;
  va_start(args, format);
  const Scratch out = FormatToScratch(format, args);
  va_end(args);
  if (out != nullptr) Append(out.get());
  return text;
}
