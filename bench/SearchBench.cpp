// Search: FindIn walking every match, Find of a text found only at the end,
// Count of overlapping matches; exact and with ASCII case folded.
#include <strings.h>

#include <cstring>
#include <string>
#include <string_view>

#include "bench/BenchSupport.h"

namespace bench {
namespace {

constexpr char kWord[] = "adapter";
constexpr size_t kWordLength = sizeof kWord - 1;
constexpr char kEndExact[] = "checksum mismatch";
constexpr char kEndFolded[] = "CHECKSUM MISMATCH";

constexpr char kFolding[] =
    "strcasestr folds by the C locale, ours by ASCII only (the same for these texts)";

// The peers' loops: the matches of kWord, each search resuming `advance`
// bytes after the start of the previous match.
long long CountByFind(const Input& in, size_t advance) {
  const std::string_view text(in.text());
  long long n = 0;
  for (size_t p = text.find(kWord); p != std::string_view::npos;
       p = text.find(kWord, p + advance)) {
    ++n;
  }
  benchmark::DoNotOptimize(n);
  return n;
}

long long CountByMemmem(const Input& in, size_t advance) {
  const char* end = in.c_str() + in.size();
  long long n = 0;
  for (const char* p = static_cast<const char*>(memmem(in.c_str(), in.size(), kWord, kWordLength));
       p != nullptr;
       p = static_cast<const char*>(
           memmem(p + advance, static_cast<size_t>(end - p) - advance, kWord, kWordLength))) {
    ++n;
  }
  benchmark::DoNotOptimize(n);
  return n;
}

// FindIn over the whole text, resuming right after each match.
long long CountByFindIn(const Input& in, int caseSensitive) {
  const TextString& s = in.ours();
  long long n = 0;
  for (const char* p = s.FindIn(in.c_str(), kWord, caseSensitive); p != nullptr;
       p = s.FindIn(p + kWordLength, kWord, caseSensitive)) {
    ++n;
  }
  benchmark::DoNotOptimize(n);
  return n;
}

// Each loop resumes right after a match (FindIn) or one byte after its start
// (Count); the number of matches is the result.
void RegisterFindIn() {
  AddRow("search", "FindIn, exact: every match", {kLog64K, kLog4M, kDense1M},
         "resumes right after each match, as ReplaceAll does; each call is a fresh virtual search "
         "on terminated texts (the needle measured anew, nothing kept between calls), some 6 ns a "
         "call, which shows at 50,000 matches in 1 MiB",
         {Ours([](const Input& in, std::string* r) { Report(r, CountByFindIn(in, 1)); }),
          Peer("string_view::find",
               [](const Input& in, std::string* r) { Report(r, CountByFind(in, kWordLength)); }),
          Peer("memmem", [](const Input& in, std::string* r) {
            Report(r, CountByMemmem(in, kWordLength));
          })});

  AddRow("search", "FindIn, folded: every match", {kLog64K, kLog4M, kDense1M}, kFolding,
         {Ours([](const Input& in, std::string* r) { Report(r, CountByFindIn(in, 0)); }),
          Peer("strcasestr", [](const Input& in, std::string* r) {
            long long n = 0;
            for (const char* p = strcasestr(in.c_str(), kWord); p != nullptr;
                 p = strcasestr(p + kWordLength, kWord)) {
              ++n;
            }
            benchmark::DoNotOptimize(n);
            Report(r, n);
          })});
}

void RegisterFind() {
  AddRow("search", "Find, exact: only match at the end", {kLog64K, kLog4M}, "a full scan",
         {Ours([](const Input& in, std::string* r) {
            const char* p = in.ours().Find(kEndExact, 1);
            benchmark::DoNotOptimize(p);
            Report(r, p != nullptr ? static_cast<long long>(p - in.ours().GetText()) : -1);
          }),
          Peer("string_view::find",
               [](const Input& in, std::string* r) {
                 const size_t p = std::string_view(in.text()).find(kEndExact);
                 benchmark::DoNotOptimize(p);
                 Report(r, p != std::string_view::npos ? static_cast<long long>(p) : -1);
               }),
          Peer("memmem", [](const Input& in, std::string* r) {
            const void* p = memmem(in.c_str(), in.size(), kEndExact, sizeof kEndExact - 1);
            benchmark::DoNotOptimize(p);
            Report(r, p != nullptr ? static_cast<const char*>(p) - in.c_str() : -1);
          })});

  AddRow("search", "Find, folded: only match at the end", {kLog64K, kLog4M}, kFolding,
         {Ours([](const Input& in, std::string* r) {
            const char* p = in.ours().Find(kEndFolded, 0);
            benchmark::DoNotOptimize(p);
            Report(r, p != nullptr ? static_cast<long long>(p - in.ours().GetText()) : -1);
          }),
          Peer("strcasestr", [](const Input& in, std::string* r) {
            const char* p = strcasestr(in.c_str(), kEndFolded);
            benchmark::DoNotOptimize(p);
            Report(r, p != nullptr ? static_cast<long long>(p - in.c_str()) : -1);
          })});
}

void RegisterCount() {
  AddRow(
      "search", "Count, exact", {kLog64K, kLog4M, kDense1M},
      "overlapping matches: resumes one byte after each match's start",
      {Ours([](const Input& in, std::string* r) {
         const int n = in.ours().Count(kWord, 1);
         benchmark::DoNotOptimize(n);
         Report(r, n);
       }),
       Peer("string_view::find",
            [](const Input& in, std::string* r) { Report(r, CountByFind(in, 1)); }),
       Peer("memmem", [](const Input& in, std::string* r) { Report(r, CountByMemmem(in, 1)); })});

  AddRow("search", "Count, folded", {kLog64K, kLog4M, kDense1M}, kFolding,
         {Ours([](const Input& in, std::string* r) {
            const int n = in.ours().Count(kWord, 0);
            benchmark::DoNotOptimize(n);
            Report(r, n);
          }),
          Peer("strcasestr", [](const Input& in, std::string* r) {
            long long n = 0;
            for (const char* p = strcasestr(in.c_str(), kWord); p != nullptr;
                 p = strcasestr(p + 1, kWord)) {
              ++n;
            }
            benchmark::DoNotOptimize(n);
            Report(r, n);
          })});
}

[[maybe_unused]] const bool registered = (RegisterFindIn(), RegisterFind(), RegisterCount(), true);

}  // namespace
}  // namespace bench
