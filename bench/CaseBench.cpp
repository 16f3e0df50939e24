// Case conversion and the folded comparison, against Abseil's ASCII helpers
// (and the C library's strcasecmp for the comparison).
#include <strings.h>

#include <string>

#include "absl/strings/ascii.h"
#include "absl/strings/match.h"
#include "bench/BenchSupport.h"

namespace bench {
namespace {

void RegisterCase() {
  AddRow("case", "MakeUpper", {kLog64K, kLog4M}, "fresh copy; eight bytes at a time",
         {OnFreshCopy(&TextString::MakeUpper),
          OnStringCopy("absl::AsciiStrToUpper", [](std::string* s) { absl::AsciiStrToUpper(s); })});
  AddRow("case", "MakeLower", {kLog64K, kLog4M}, "fresh copy; eight bytes at a time",
         {OnFreshCopy(&TextString::MakeLower),
          OnStringCopy("absl::AsciiStrToLower", [](std::string* s) { absl::AsciiStrToLower(s); })});

  AddRow("case", "IsEqual, folded: text against its upper-case copy", {kLog64K, kLog4M},
         "equal texts, every byte compared; strcasecmp (glibc) reads ahead within a memory page, "
         "ours measures both texts a block at a time first (memchr) so as to read nothing past "
         "either, then compares 64 bytes a step with AVX2",
         {Ours([](const Input& in, std::string* r) {
            const int equal = in.ours().IsEqual(in.upper().c_str(), 0);
            benchmark::DoNotOptimize(equal);
            Report(r, equal);
          }),
          Peer("absl::EqualsIgnoreCase",
               [](const Input& in, std::string* r) {
                 const bool equal = absl::EqualsIgnoreCase(in.text(), in.upper());
                 benchmark::DoNotOptimize(equal);
                 Report(r, equal ? 1 : 0);
               }),
          Peer("strcasecmp", [](const Input& in, std::string* r) {
            const bool equal = strcasecmp(in.c_str(), in.upper().c_str()) == 0;
            benchmark::DoNotOptimize(equal);
            Report(r, equal ? 1 : 0);
          })});
}

[[maybe_unused]] const bool registered = (RegisterCase(), true);

}  // namespace
}  // namespace bench
