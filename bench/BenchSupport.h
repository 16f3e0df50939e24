#ifndef BENCH_BENCHSUPPORT_H_
#define BENCH_BENCHSUPPORT_H_

// Shared machinery of the benchmarks: the inputs, and the registration of one
// table row (an operation on one input, timed for our implementation and for
// what a user would pick instead, on the input and on eight times it).
//
// Every implementation is a callable `body(const Input&, std::string* result)`.
// Timed runs pass a null `result`; before anything is timed, main() runs each
// body once with a `result` and insists that every peer marked as computing
// the same thing agrees with ours, so a table never compares different work.

#include <benchmark/benchmark.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "paths/PathString.h"
#include "strings/TextString.h"

namespace bench {

enum class Shape {
  kLog,       // log-like ASCII text: words, blanks, tabs, CRLF, some URL characters
  kDense,     // ASCII text with a match of "adapter" every 21 bytes on average
  kAnsi,      // Windows-1252 text with accented letters and ampersands
  kUtf8,      // the same text encoded as UTF-8
  kEntities,  // the same text with HTML character references
  kPath,      // a Windows path with a command-line tail, no dot before the file name
};

// What a row is timed on; `scale` multiplies `bytes` for the scaling column.
struct InputSpec {
  Shape shape;
  size_t bytes;
  const char* label;
};

// One generated input and the views of it that implementations share. The
// derived forms are made on first use, outside the timed loops.
class Input {
 public:
  explicit Input(std::string text) : text_(std::move(text)) {}
  const std::string& text() const { return text_; }
  const char* c_str() const { return text_.c_str(); }
  size_t size() const { return text_.size(); }
  // The text with its ASCII letters upper-cased (equal ignoring case).
  const std::string& upper() const;
  // The text with backslashes turned into slashes, for std::filesystem.
  const std::string& slashed() const;
  // Our strings holding the text, for the operations that leave it alone.
  TextString& ours() const;
  PathString& path() const;

 private:
  std::string text_;
  mutable std::unique_ptr<std::string> upper_;
  mutable std::unique_ptr<std::string> slashed_;
  mutable std::unique_ptr<TextString> ours_;
  mutable std::unique_ptr<PathString> path_;
};

// The input of `spec` at `scale` times its size, made once and kept.
const Input& InputFor(const InputSpec& spec, int scale);

// Generators, exposed for the storage rows.
std::string MakePath(size_t length);

enum class Kind {
  kOurs,   // this library
  kPeer,   // what a user would pick instead: the ratio column's reference
  kBound,  // a lower bound (memcpy of the same bytes): shown, never a peer
};

using Body = std::function<void(const Input&, std::string*)>;
using Runner = std::function<void(benchmark::State&, const Input&)>;

struct Impl {
  std::string name;
  Kind kind;
  bool sameResult;  // checked against ours before timing
  Body once;        // one run that reports its result
  Runner timed;     // the timed loop
};

template <typename F>
Impl MakeImpl(std::string name, Kind kind, bool sameResult, F body) {
  Impl impl;
  impl.name = std::move(name);
  impl.kind = kind;
  impl.sameResult = sameResult;
  impl.once = body;
  // The body is captured by value so that the loop calls it directly.
  impl.timed = [body](benchmark::State& state, const Input& input) {
    for (auto _ : state) body(input, nullptr);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(input.size()));
  };
  return impl;
}

template <typename F>
Impl Ours(F body) {
  return MakeImpl("ours", Kind::kOurs, true, body);
}
// A peer that computes exactly our result.
template <typename F>
Impl Peer(std::string name, F body) {
  return MakeImpl(std::move(name), Kind::kPeer, true, body);
}
// A peer whose result differs in form (another separator, other rules).
template <typename F>
Impl Nearest(std::string name, F body) {
  return MakeImpl(std::move(name), Kind::kPeer, false, body);
}
template <typename F>
Impl Bound(std::string name, F body) {
  return MakeImpl(std::move(name), Kind::kBound, false, body);
}

// Registers one row for each input: every implementation at scale 1 and 8.
// `note` goes to the table's notes column.
void AddRow(const char* family, const char* operation, const std::vector<InputSpec>& inputs,
            const char* note, std::vector<Impl> impls);

// Runs every registered body once and compares results; false on a mismatch.
bool CheckResults();

// The standard inputs. constexpr: rows are registered during static
// initialisation, possibly before another file's globals exist.
constexpr size_t kKiB = 1024;
constexpr size_t kMiB = 1024 * kKiB;
inline constexpr InputSpec kLog64K{Shape::kLog, 64 * kKiB, "64 KiB"};
inline constexpr InputSpec kLog4M{Shape::kLog, 4 * kMiB, "4 MiB"};
inline constexpr InputSpec kDense1M{Shape::kDense, kMiB, "1 MiB, 50,000 matches"};
inline constexpr InputSpec kAnsi64K{Shape::kAnsi, 64 * kKiB, "64 KiB"};
inline constexpr InputSpec kAnsi4M{Shape::kAnsi, 4 * kMiB, "4 MiB"};
inline constexpr InputSpec kUtf864K{Shape::kUtf8, 64 * kKiB, "64 KiB"};
inline constexpr InputSpec kUtf84M{Shape::kUtf8, 4 * kMiB, "4 MiB"};
inline constexpr InputSpec kEntities64K{Shape::kEntities, 64 * kKiB, "64 KiB"};
inline constexpr InputSpec kEntities4M{Shape::kEntities, 4 * kMiB, "4 MiB"};
inline constexpr InputSpec kPath60{Shape::kPath, 60, "60-char path"};
inline constexpr InputSpec kPath260{Shape::kPath, 260, "260-char path"};

// Results as text for the checks.
inline void Report(std::string* result, const char* text) {
  if (result != nullptr) *result = text != nullptr ? text : "(null)";
}
inline void Report(std::string* result, const std::string& text) {
  if (result != nullptr) *result = text;
}
inline void Report(std::string* result, long long number) {
  if (result != nullptr) *result = std::to_string(number);
}

// Done: the end of one timed call: keeps the result alive for the optimiser
// and hands it to the checks.
inline void Done(std::string* r, const char* text) {
  benchmark::DoNotOptimize(text);
  Report(r, text);
}
inline void Done(std::string* r, const std::string& s) {
  benchmark::DoNotOptimize(s.data());
  Report(r, s);
}
inline void Done(std::string* r, const TextString& s) {
  benchmark::DoNotOptimize(s.GetText());
  Report(r, s.GetText());
}

// OnFreshCopy: ours for an operation that rewrites the text in place: a
// string built from the input (capacity exactly its size), then `edit`.
template <typename Result>
Impl OnFreshCopy(Result (TextString::*edit)()) {
  return Ours([edit](const Input& in, std::string* r) {
    TextString s(in.c_str(), 0);
    (s.*edit)();
    Done(r, s);
  });
}

// OnStringCopy: a std::string peer that transforms a copy of the input.
template <typename F>
Impl OnStringCopy(std::string name, F transform) {
  return Peer(std::move(name), [transform](const Input& in, std::string* r) {
    std::string s = in.text();
    transform(&s);
    Done(r, s);
  });
}

}  // namespace bench

#endif  // BENCH_BENCHSUPPORT_H_
