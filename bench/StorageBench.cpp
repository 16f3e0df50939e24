// Storage: what a fresh copy costs (every row that changes the text times
// one), and building a text one byte at a time.
#include <cstring>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"

namespace bench {
namespace {

constexpr InputSpec kLog4K{Shape::kLog, 4 * kKiB, "4 KiB, one byte per call"};

void RegisterStorage() {
  AddRow("storage", "copy: construct from the text", {kLog64K, kLog4M},
         "the copy that rows marked 'fresh copy' include; ours measures the text first, a "
         "std::string knows its length",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            benchmark::DoNotOptimize(s.GetText());
            Report(r, s.GetText());
          }),
          Peer("std::string",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 benchmark::DoNotOptimize(s.data());
                 Report(r, s);
               }),
          Bound("memcpy", [](const Input& in, std::string*) {
            static std::vector<char> out;
            if (out.size() < in.size() + 1) out.resize(in.size() + 1);
            std::memcpy(out.data(), in.c_str(), in.size() + 1);
            benchmark::DoNotOptimize(out.data());
          })});

  AddRow("storage", "Append, one byte per call", {kLog4K},
         "quadratic by design: every Append past the capacity takes a buffer of exactly the new "
         "size, never a growth factor",
         {Ours([](const Input& in, std::string* r) {
            TextString s(nullptr, 260);
            char one[2] = {0, 0};
            for (char c : in.text()) {
              one[0] = c;
              s.Append(one);
            }
            benchmark::DoNotOptimize(s.GetText());
            Report(r, s.GetText());
          }),
          Peer("std::string::push_back", [](const Input& in, std::string* r) {
            std::string s;
            for (char c : in.text()) s.push_back(c);
            benchmark::DoNotOptimize(s.data());
            Report(r, s);
          })});
}

[[maybe_unused]] const bool registered = (RegisterStorage(), true);

}  // namespace
}  // namespace bench
