#ifndef FUZZ_FORMATARGS_H_
#define FUZZ_FORMATARGS_H_

#include <cstddef>

// The arguments of a format that the fuzzer builds at run time, and the call
// of a printf-like function with each of them in its own type, so that the
// library's Format and the model's snprintf get the very same call.
namespace oracle {

struct FormatArg {
  bool isText;
  int number;
  const char* text;
};
constexpr size_t kMaxFormatArgs = 4;

// Calls `call(format, args...)` with the arguments' own types.
template <typename Call, typename... Args>
auto WithArgs(Call call, const char* format, const FormatArg* next, const FormatArg* end,
              Args... args) {
  if constexpr (sizeof...(Args) < kMaxFormatArgs) {
    if (next != end) {
      if (next->isText) return WithArgs(call, format, next + 1, end, args..., next->text);
      return WithArgs(call, format, next + 1, end, args..., next->number);
    }
  }
  return call(format, args...);
}

}  // namespace oracle

#endif  // FUZZ_FORMATARGS_H_
