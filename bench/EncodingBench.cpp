// Encodings: the UTF-8 test and conversions, and the HTML references.
// The peer is a straightforward std::string implementation of the same
// result, written the way a user would; memcpy of the same bytes is the
// lower bound of any implementation that writes its result.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "bench/BenchSupport.h"
#include "strings/internal/EntityTable.h"

using strings_internal::EntityRow;
using strings_internal::EntityTable;

namespace bench {
namespace {

constexpr char kRecodeNote[] =
    "fresh copy; through UTF-16 as on Windows (measure, convert, measure, convert, Assign), "
    "where the peer makes one pass; platform/posix stands in for the Windows calls";

// The bound: the input's bytes copied into a buffer that is kept between
// iterations, so that only the copy is timed.
auto Memcpy() {
  return Bound("memcpy", [](const Input& in, std::string*) {
    static std::vector<char> out;
    if (out.size() < in.size() + 1) out.resize(in.size() + 1);
    std::memcpy(out.data(), in.c_str(), in.size() + 1);
    benchmark::DoNotOptimize(out.data());
  });
}

// The bytes below 0x80 that may occur in text: BEL to LF, FF, CR, ESC, and
// the printable ones.
bool IsTextByte(unsigned char c) {
  return (c >= 0x07 && c <= 0x0A) || c == 0x0C || c == 0x0D || c == 0x1B ||
         (c >= 0x20 && c <= 0x7E);
}

// The UTF-8 test as a user would write it: -1 invalid, 0 no sequence, 1 ok.
int Utf8Kind(const std::string& s) {
  bool sawSequence = false;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      if (!IsTextByte(c)) return -1;
      ++i;
      continue;
    }
    int more = c >= 0xFC ? 5 : c >= 0xF8 ? 4 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (c >= 0xFE) more = -1;
    if (more < 0) return -1;
    ++i;
    for (int k = 0; k < more; ++k, ++i) {
      if (i == s.size()) return sawSequence ? 1 : 0;
      const unsigned char next = static_cast<unsigned char>(s[i]);
      if (next < 0x80 || next > 0xBF) return -1;
    }
    sawSequence = true;
  }
  return sawSequence ? 1 : 0;
}

// UTF-8 of Latin-1 code points back to single bytes (the inputs hold no
// other characters, and Windows-1252 agrees with Latin-1 on all of them).
std::string Utf8ToLatin1(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      const unsigned char next = static_cast<unsigned char>(s[++i]);
      out += static_cast<char>(((c & 0x1F) << 6) | (next & 0x3F));
    }
  }
  return out;
}

std::string Latin1ToUtf8(const std::string& s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// One pass with a table from byte to reference.
std::string EncodeOnePass(const std::string& s) {
  static const std::vector<const char*> references = [] {
    std::vector<const char*> table(256, nullptr);
    table['&'] = "&amp;";
    for (const EntityRow& row : EntityTable)
      table[static_cast<unsigned char>(row.byte)] = row.reference;
    return table;
  }();
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (char c : s) {
    const char* reference = references[static_cast<unsigned char>(c)];
    if (reference != nullptr) {
      out += reference;
    } else {
      out += c;
    }
  }
  return out;
}

bool StartsWithFolded(std::string_view s, size_t at, std::string_view prefix) {
  if (s.size() - at < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char a = s[at + i];
    char b = prefix[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
    if (a != b) return false;
  }
  return true;
}

// The references of the table in one pass, then the semicolons of those that
// stay, then "&amp;": the same three steps, each written directly.
std::string DecodeStraight(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '&') {
      bool decoded = false;
      for (const EntityRow& row : EntityTable) {
        const size_t length = std::strlen(row.reference);
        if (s.compare(i, length, row.reference) == 0) {
          out += row.byte;
          i += length - 1;
          decoded = true;
          break;
        }
      }
      if (decoded) continue;
    }
    out += s[i];
  }
  size_t ampersands = 0;
  size_t amps = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    if (out[i] != '&') continue;
    ++ampersands;
    if (StartsWithFolded(out, i, "&amp")) ++amps;
  }
  if (ampersands != amps) {
    for (size_t i = out.find("&#"); i != std::string::npos; i = out.find("&#", i + 1)) {
      for (size_t place = 2; place <= 6 && i + place < out.size(); ++place) {
        if (place >= 3 && out[i + place] == ';') {
          out[i + place] = ',';
          break;
        }
      }
    }
    size_t position = 0;
    for (size_t i = out.find('&'); i != std::string::npos; i = out.find('&', position)) {
      if (StartsWithFolded(out, i, "&amp;")) {
        position = i + 1;
        continue;
      }
      const size_t semicolon = out.find(';', i);
      if (semicolon == std::string::npos) break;
      out[semicolon] = ',';
      position = semicolon;
    }
  }
  std::string result;
  result.reserve(out.size());
  size_t from = 0;
  for (size_t hit = out.find("&amp;"); hit != std::string::npos; hit = out.find("&amp;", from)) {
    result.append(out, from, hit - from);
    result += '&';
    from = hit + 5;
  }
  result.append(out, from, std::string::npos);
  return result;
}

void RegisterEncodings() {
  AddRow("encodings", "IsUtf8", {kUtf864K, kUtf84M}, nullptr,
         {Ours([](const Input& in, std::string* r) {
            const int yes = in.ours().IsUtf8(in.c_str());
            benchmark::DoNotOptimize(yes);
            Report(r, yes);
          }),
          Peer("std::string",
               [](const Input& in, std::string* r) {
                 const int yes = Utf8Kind(in.text()) == 1 ? 1 : 0;
                 benchmark::DoNotOptimize(yes);
                 Report(r, yes);
               }),
          Memcpy()});

  AddRow("encodings", "Utf8ToAnsi", {kUtf864K, kUtf84M}, kRecodeNote,
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.Utf8ToAnsi();
            Done(r, s);
          }),
          Peer("std::string",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 if (Utf8Kind(s) == 1) s = Utf8ToLatin1(s);
                 Done(r, s);
               }),
          Memcpy()});

  AddRow("encodings", "AnsiToUtf8", {kAnsi64K, kAnsi4M}, kRecodeNote,
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.AnsiToUtf8();
            Done(r, s);
          }),
          Peer("std::string",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 s = Latin1ToUtf8(s);
                 Done(r, s);
               }),
          Memcpy()});

  AddRow("encodings", "EncodeEntities", {kAnsi64K, kAnsi4M},
         "fresh copy; what 43 ReplaceCase passes leave, written in one pass after one counting "
         "pass; a padded table entry per byte, without a branch, four parts of the text side by "
         "side",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.EncodeEntities();
            Done(r, s);
          }),
          Peer("std::string",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 s = EncodeOnePass(s);
                 Done(r, s);
               }),
          Memcpy()});

  AddRow("encodings", "DecodeEntities", {kEntities64K, kEntities4M},
         "fresh copy; what 42 ReplaceCase passes, ProtectEntities and a last ReplaceCase leave: "
         "one sweep decodes every ampersand (one every 14 bytes, a table lookup each, without a "
         "branch on its outcome), then the ampersands that stay (one in three) are visited to "
         "protect semicolons and collapse \"&amp;\"",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.DecodeEntities();
            Done(r, s);
          }),
          Peer("std::string",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 s = DecodeStraight(s);
                 Done(r, s);
               }),
          Memcpy()});
}

[[maybe_unused]] const bool registered = (RegisterEncodings(), true);

}  // namespace
}  // namespace bench
