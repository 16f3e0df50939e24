#include "bench/BenchSupport.h"

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <utility>

namespace bench {
namespace {

// A fixed generator, so that every run times the same texts.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // True once in `n` draws on average.
  bool OneIn(uint64_t n) { return Next() % n == 0; }
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }

 private:
  uint64_t state_;
};

template <size_t N>
const char* Pick(Random& random, const char* const (&words)[N]) {
  return words[random.Below(N)];
}

// Cut at the last blank that leaves the text no longer than `bytes` (so that
// no character or reference is cut in two), then pad with spaces.
std::string FitTo(std::string text, size_t bytes) {
  if (text.size() > bytes) {
    size_t cut = text.rfind(' ', bytes);
    if (cut == std::string::npos) cut = bytes;
    text.resize(cut);
  }
  text.append(bytes - text.size(), ' ');
  return text;
}

// Lines of `perLine` words, each appended by `addWord(text, atLineStart)`,
// CRLF after each line, until `bytes` are reached or passed.
template <typename AddWord>
std::string LinesOfWords(size_t bytes, int perLine, AddWord addWord) {
  std::string text;
  text.reserve(bytes + 64);
  int wordsOnLine = 0;
  while (text.size() < bytes) {
    addWord(text, wordsOnLine == 0);
    if (++wordsOnLine == perLine) {
      text += "\r\n";
      wordsOnLine = 0;
    } else {
      text += ' ';
    }
  }
  return text;
}

// Lines of ten words picked from `words`, cut to exactly `bytes` by FitTo.
template <size_t N>
std::string WordsText(const char* const (&words)[N], size_t bytes, uint64_t seed) {
  Random random(seed);
  return FitTo(
      LinesOfWords(bytes, 10, [&](std::string& text, bool) { text += Pick(random, words); }),
      bytes);
}

// Words of an installer's log. "adapter" comes once in about 70 words (one
// match in about 500 bytes), in three spellings; a few words carry the
// characters that EscapeUrlChars escapes. No word holds "checksum", which
// only the last line does, so that Find has to scan the whole text.
std::string MakeLog(size_t bytes, uint64_t seed) {
  static const char* const kWords[] = {
      "the",      "driver",   "install", "wireless", "network", "device",    "service",
      "registry", "started",  "done",    "error",    "warning", "info",      "usb",
      "port",     "signal",   "channel", "linked",   "setup",   "file",      "copied",
      "to",       "from",     "version", "system",   "path",    "key",       "value",
      "Windows",  "firmware", "queue",   "retry",    "timeout", "scan",      "profile",
      "2.4GHz",   "5GHz",     "WPA2",    "DHCP",     "lease",   "0x0000001", "12:04:31"};
  static const char* const kAdapter[] = {"adapter", "adapter", "adapter", "adapter", "adapter",
                                         "adapter", "Adapter", "Adapter", "Adapter", "ADAPTER"};
  static const char* const kUrlish[] = {"50%", "#3", "$PATH", "R&D", "a+b", "100%", "C#", "&"};
  static const char kMarker[] = "\r\nchecksum mismatch";
  Random random(seed);
  std::string text = LinesOfWords(bytes, 12, [&](std::string& out, bool atLineStart) {
    if (atLineStart && random.OneIn(5)) out += '\t';
    if (random.OneIn(70)) {
      out += Pick(random, kAdapter);
    } else if (random.OneIn(60)) {
      out += Pick(random, kUrlish);
    } else {
      out += Pick(random, kWords);
    }
  });
  text.resize(bytes - (sizeof kMarker - 1));
  return text + kMarker;
}

// "adapter" at evenly spread places, 50,000 of them per MiB, between filler
// that holds no 'a' and so no other match.
std::string MakeDense(size_t bytes, uint64_t seed) {
  static const char kFiller[] = "bcdefghijklmnopqrstuvwxyz 0123456789 ";
  static const char kNeedle[] = "adapter";
  Random random(seed);
  const size_t matches = bytes / kMiB * 50000;
  std::string text(bytes, ' ');
  for (char& c : text) c = kFiller[random.Below(sizeof kFiller - 1)];
  for (size_t i = 0; i < matches; ++i) {
    text.replace(i * bytes / matches, sizeof kNeedle - 1, kNeedle);
  }
  return text;
}

// Windows-1252 text as a German or French installer would show it. Every
// byte from 0x80 up is a Latin-1 letter of the entity table.
std::string MakeAnsi(size_t bytes, uint64_t seed) {
  static const char* const kWords[] = {"Ger\xE4t",
                                       "Treiber",
                                       "wird",
                                       "installiert",
                                       "Gr\xFC\xDF"
                                       "e",
                                       "caf\xE9",
                                       "pr\xEAt",
                                       "\xE0",
                                       "Fran\xE7"
                                       "ais",
                                       "r\xE9seau",
                                       "Netzwerk",
                                       "f\xFCr",
                                       "\xDC"
                                       "ber",
                                       "Schl\xFC"
                                       "ssel",
                                       "\xA7 3",
                                       "m\xF6glich",
                                       "d\xE9j\xE0",
                                       "C\xF4t\xE9",
                                       "USB",
                                       "Adapter",
                                       "und",
                                       "oder",
                                       "le",
                                       "la",
                                       "des",
                                       "Version",
                                       "2.1",
                                       "OK",
                                       "R&D",
                                       "&",
                                       "\xC4nderung",
                                       "\xD6"
                                       "ffnen",
                                       "na\xEFve",
                                       "se\xF1or",
                                       "\xEEle",
                                       "\xFD"};
  return WordsText(kWords, bytes, seed);
}

std::string MakeUtf8(size_t bytes, uint64_t seed) {
  const std::string ansi = MakeAnsi(bytes, seed);
  std::string text;
  text.reserve(ansi.size() + ansi.size() / 8);
  for (unsigned char c : ansi) {
    if (c < 0x80) {
      text += static_cast<char>(c);
    } else {
      // Latin-1 code points: two bytes each.
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return FitTo(std::move(text), bytes);
}

// HTML-ish text: references of the table, "&amp;", and references that stay
// (named ones outside the table and numeric ones), as a page would hold.
std::string MakeEntities(size_t bytes, uint64_t seed) {
  static const char* const kWords[] = {"Ger&auml;t",
                                       "Treiber",
                                       "wird",
                                       "installiert",
                                       "Gr&uuml;&szlig;e",
                                       "caf&eacute;",
                                       "pr&ecirc;t",
                                       "&agrave;",
                                       "r&eacute;seau",
                                       "Netzwerk",
                                       "f&uuml;r",
                                       "&Uuml;ber",
                                       "&sect; 3",
                                       "USB",
                                       "Adapter",
                                       "und",
                                       "oder",
                                       "le",
                                       "la",
                                       "R&amp;D",
                                       "&lt;b&gt;",
                                       "&#228;",
                                       "Version",
                                       "2.1",
                                       "&Auml;nderung",
                                       "&Ouml;ffnen",
                                       "&copy;",
                                       "des",
                                       "OK",
                                       "&nbsp;"};
  return WordsText(kWords, bytes, seed);
}

}  // namespace

// A path of exactly `length` characters: directories, then a file name and
// a command-line tail. No dot comes before the file name's.
std::string MakePath(size_t length) {
  static const char* const kDirectories[] = {"\\Drivers", "\\Win10",   "\\x64",
                                             "\\Release", "\\Package", "\\Wlan"};
  static const char kHead[] = "C:\\Program Files\\Ovrat Wireless";
  static const char kTail[] = "\\setup.exe -q -log";
  const size_t fixed = (sizeof kHead - 1) + (sizeof kTail - 1);
  std::string path = kHead;
  for (size_t i = 0; path.size() + (sizeof kTail - 1) < length; ++i) {
    path += kDirectories[i % (sizeof kDirectories / sizeof kDirectories[0])];
  }
  // The last directory is cut to make the length exact; never to nothing.
  if (length > fixed) path.resize(length - (sizeof kTail - 1));
  if (path.back() == '\\') path.back() = 'd';
  return path + kTail;
}

const std::string& Input::upper() const {
  if (upper_ == nullptr) {
    upper_ = std::make_unique<std::string>(text_);
    for (char& c : *upper_) {
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    }
  }
  return *upper_;
}

const std::string& Input::slashed() const {
  if (slashed_ == nullptr) {
    slashed_ = std::make_unique<std::string>(text_);
    std::replace(slashed_->begin(), slashed_->end(), '\\', '/');
  }
  return *slashed_;
}

TextString& Input::ours() const {
  if (ours_ == nullptr) ours_ = std::make_unique<TextString>(text_.c_str(), 0);
  return *ours_;
}

PathString& Input::path() const {
  if (path_ == nullptr) path_ = std::make_unique<PathString>(text_.c_str(), 260);
  return *path_;
}

namespace {

std::string MakeText(Shape shape, size_t bytes, uint64_t seed) {
  switch (shape) {
    case Shape::kLog:
      return MakeLog(bytes, seed);
    case Shape::kDense:
      return MakeDense(bytes, seed);
    case Shape::kAnsi:
      return MakeAnsi(bytes, seed);
    case Shape::kUtf8:
      return MakeUtf8(bytes, seed);
    case Shape::kEntities:
      return MakeEntities(bytes, seed);
    case Shape::kPath:
      return MakePath(bytes);
  }
  return std::string();
}

}  // namespace

const Input& InputFor(const InputSpec& spec, int scale) {
  static std::map<std::pair<int, size_t>, std::unique_ptr<Input>> made;
  const size_t bytes = spec.bytes * static_cast<size_t>(scale);
  auto& slot = made[{static_cast<int>(spec.shape), bytes}];
  if (slot == nullptr) {
    slot = std::make_unique<Input>(MakeText(spec.shape, bytes, 0x5EED0000 + bytes));
  }
  return *slot;
}

namespace {

struct Row {
  std::string family;
  std::string operation;
  std::vector<InputSpec> inputs;
  std::vector<Impl> impls;
};

std::vector<Row>& Rows() {
  static std::vector<Row> rows;
  return rows;
}

const char* KindName(Kind kind) {
  switch (kind) {
    case Kind::kOurs:
      return "ours";
    case Kind::kPeer:
      return "peer";
    case Kind::kBound:
      return "bound";
  }
  return "?";
}

double Smallest(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

}  // namespace

// Names are "family|operation|input|implementation|kind|scale"; the table
// script splits them on '|'. The note rides on the label of our run at
// scale 1, the one place a benchmark can carry text into the JSON output.
void AddRow(const char* family, const char* operation, const std::vector<InputSpec>& inputs,
            const char* note, std::vector<Impl> impls) {
  for (const InputSpec& spec : inputs) {
    for (const Impl& impl : impls) {
      for (int scale : {1, 8}) {
        const std::string name = std::string(family) + "|" + operation + "|" + spec.label + "|" +
                                 impl.name + "|" + KindName(impl.kind) + "|" +
                                 std::to_string(scale);
        const bool labelled = impl.kind == Kind::kOurs && scale == 1 && note != nullptr;
        const std::string label = labelled ? note : "";
        const Runner timed = impl.timed;
        benchmark::RegisterBenchmark(name.c_str(), [timed, spec, scale,
                                                    label](benchmark::State& state) {
          const Input& input = InputFor(spec, scale);
          timed(state, input);
          if (!label.empty()) state.SetLabel(label);
        })->ComputeStatistics("min", Smallest);
      }
    }
  }
  Rows().push_back(Row{family, operation, inputs, std::move(impls)});
}

bool CheckResults() {
  bool agreed = true;
  int compared = 0;
  for (const Row& row : Rows()) {
    for (const InputSpec& spec : row.inputs) {
      const Input& input = InputFor(spec, 1);
      std::string expected;
      for (const Impl& impl : row.impls) {
        if (impl.kind == Kind::kOurs) impl.once(input, &expected);
      }
      for (const Impl& impl : row.impls) {
        if (impl.kind == Kind::kOurs || !impl.sameResult) continue;
        std::string got;
        impl.once(input, &got);
        ++compared;
        if (got != expected) {
          std::fprintf(stderr, "bench: %s / %s / %s: %s gives another result than ours\n",
                       row.family.c_str(), row.operation.c_str(), spec.label, impl.name.c_str());
          agreed = false;
        }
      }
    }
  }
  std::fprintf(stderr, "bench: %d peer results checked against ours\n", compared);
  return agreed;
}

}  // namespace bench

int main(int argc, char** argv) {
  // Freed memory stays in the process: otherwise every buffer of 32 MiB would
  // be mapped afresh in each iteration, and the kernel's page faults, not
  // the operations, would make up the 8x figures of the large inputs.
  mallopt(M_MMAP_MAX, 0);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  if (!bench::CheckResults()) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
