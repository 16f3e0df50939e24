#include "fuzz/World.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace fuzz {

namespace {

const char* const kTokens[] = {
    "&amp;",
    "&AMP;",
    "&amp",
    "&ouml;",
    "&Ouml;",
    "&szlig;",
    "&sect;",
    "&yacute;",
    "&#",
    "&#12;",
    "&#x41;",
    "&#1234;",
    ";",
    "&",
    "%",
    "#",
    "$",
    "+",
    "%25",
    "\t",
    "\r\n",
    " ",
    "  ",
    "\\",
    "\\\\",
    ":",
    "C:",
    "C:\\",
    "C:\\dir\\file.txt -q -log",
    " -",
    "-",
    "\"",
    "key=\"value\"",
    "name = \"v\"",
    "*",
    "?",
    "*.*",
    "a*b?c",
    ".",
    "..",
    "...",
    "d",
    "d\\",
    "d\\f",
    "d\\s",
    "e",
    "f",
    "\xC3\xA9",
    "\xE9",
    "\xC3",
    "\xE2\x82\xAC",
    "\x80",
    "\xF0\x9F\x98\x80",
    "\xFC\x80\x80\x80\x80\x80",
    "\xED\xA0\x80",
    ";x",
    " ;",
    "abc",
    "ABC",
    "\x7F",
    "\x1B",
    "\v",
};
constexpr unsigned kTokenCount = sizeof kTokens / sizeof kTokens[0];

const unsigned kEdgeLengths[] = {255, 256, 257, 258, 259,  260,  261,  727,   728,   729,
                                 799, 800, 801, 880, 1000, 4095, 4096, 65535, 65536, 65537};
constexpr unsigned kEdgeLengthCount = sizeof kEdgeLengths / sizeof kEdgeLengths[0];

}  // namespace

void Forget(PathSlot& slot, int held) { slot.held[held] = HeldText{}; }

void Hold(PathSlot& slot, int held, const char* at) {
  slot.held[held].at = at;
  slot.held[held].text = at;
}

TextArg Literal(World& w, std::string text) {
  text.resize(std::strlen(text.c_str()));
  std::unique_ptr<char[]> copy(new char[text.size() + 1]);
  std::memcpy(copy.get(), text.c_str(), text.size() + 1);
  TextArg arg;
  arg.ptr = copy.get();
  arg.value = text;
  w.arena.push_back(std::move(copy));
  return arg;
}

TextArg TextOf(const TextString& s) {
  TextArg arg;
  arg.ptr = s.GetText();
  arg.value = arg.ptr != nullptr ? arg.ptr : "";
  return arg;
}

namespace {

// A pointer into the buffer of `s`, at any position with a terminator after
// it within the buffer, stale bytes included.
TextArg Inside(Input& in, World& w, const TextString& s) {
  const char* text = Peek::Text(s);
  const uint32_t size = Peek::Size(s);
  if (text == nullptr) return Literal(w, "");
  uint32_t offset = static_cast<uint32_t>(in.Range(0, size - 1));
  if (in.Pick(2) == 0) offset = std::min<uint32_t>(offset, s.GetLength());
  if (std::memchr(text + offset, '\0', size - offset) == nullptr) offset = 0;
  TextArg arg;
  arg.ptr = text + offset;
  arg.value = arg.ptr;
  return arg;
}

const TextString& AnyString(Input& in, World& w) {
  switch (in.Pick(6)) {
    case 0:
      return *w.t;
    case 1:
      return *w.p.path;
    case 2:
      return *w.q.path;
    case 3:
      return w.p.path->Display();
    default: {
      PathSlot& slot = in.Pick(2) == 0 ? w.p : w.q;
      const TextString* cache = slot.path->Cache(in.Pick(TestPath::kCacheCount));
      return cache != nullptr ? *cache : *w.t;
    }
  }
}

}  // namespace

TextArg Text(Input& in, World& w, const TextString& self) {
  switch (in.Pick(10)) {
    case 0:
      return TextArg{};
    case 1:
      return Literal(w, "");
    case 2:
      return Literal(w, in.Bytes(in.Range(0, 48)));
    case 3:
      return Literal(w, kTokens[in.Pick(kTokenCount)]);
    case 4: {
      std::string joined = kTokens[in.Pick(kTokenCount)];
      joined += in.Bytes(in.Range(0, 16));
      joined += kTokens[in.Pick(kTokenCount)];
      return Literal(w, joined);
    }
    case 5: {
      std::string unit = in.Bytes(in.Range(1, 8));
      unit.resize(std::strlen(unit.c_str()));
      if (unit.empty()) unit = "a";
      const size_t length = static_cast<size_t>(in.Range(256, kLongText));
      std::string text;
      text.reserve(length + unit.size());
      while (text.size() < length) text += unit;
      text.resize(length);
      return Literal(w, text);
    }
    case 6: {
      const unsigned length = kEdgeLengths[in.Pick(kEdgeLengthCount)];
      char filler = static_cast<char>(in.Byte());
      if (filler == '\0') filler = 'x';
      return Literal(w, std::string(length, filler));
    }
    case 7:
    case 8:
      return Inside(in, w, self);
    default:
      return Inside(in, w, AnyString(in, w));
  }
}

uint32_t Size(Input& in, const TextString& s) {
  const uint32_t capacity = s.GetCapacity();
  const uint32_t length = s.GetLength();
  switch (in.Pick(12)) {
    case 0:
      return static_cast<uint32_t>(in.Range(0, 3));
    case 1:
      return capacity + static_cast<uint32_t>(in.Range(-2, 2));
    case 2:
      return length + static_cast<uint32_t>(in.Range(-2, 2));
    case 3:
      return static_cast<uint32_t>(in.Range(0, 300));
    case 4:
      return static_cast<uint32_t>(in.Range(0, kLongText));
    case 5:
      return 0xFFFFFFFFu;
    case 6:
      return 0xFFFFFFFEu;
    case 7:
      return 0x80000000u;
    case 8:
      return 0x7FFFFFFFu;
    case 9:
      return kEdgeLengths[in.Pick(kEdgeLengthCount)] + static_cast<uint32_t>(in.Range(-1, 1));
    case 10:
      return in.U32();
    default:
      return static_cast<uint32_t>(in.Range(0, 20));
  }
}

uint32_t AllocationSize(Input& in, const TextString& s) {
  const uint32_t size = Size(in, s);
  return size > (2u << 20) && size != 0xFFFFFFFFu ? 0xFFFFFFFFu : size;
}

char Byte(Input& in, const TextString& s) {
  static const char kBytes[] = {'\0', ' ', '"', '\\', '\t', '.', ';', 'a', 'A'};
  switch (in.Pick(4)) {
    case 0: {
      const unsigned length = s.GetLength();
      return length > 0 ? Peek::Text(s)[length - 1] : 'x';
    }
    case 1:
      return static_cast<char>(in.Byte());
    default:
      return kBytes[in.Pick(sizeof kBytes)];
  }
}

int Flag(Input& in) {
  static const int kFlags[] = {0, 1, 2, -1, INT_MIN};
  return kFlags[in.Pick(5)];
}

TextString& TextSubject(Input& in, World& w) {
  switch (in.Pick(3)) {
    case 0:
      return *w.t;
    case 1:
      return *w.p.path;
    default:
      return *w.q.path;
  }
}

PathSlot& PathSubject(Input& in, World& w) { return in.Pick(2) == 0 ? w.p : w.q; }

TextString* OtherString(Input& in, World& w, TextString* self, bool allowNull) {
  switch (in.Pick(allowNull ? 6 : 5)) {
    case 0:
      return w.t.get();
    case 1:
      return w.p.path.get();
    case 2:
      return w.q.path.get();
    case 3:
      return self;
    case 4: {
      const TextArg text = Text(in, w, *w.t);
      w.fresh.push_back(std::make_unique<TextString>(text.ptr, AllocationSize(in, *w.t)));
      return w.fresh.back().get();
    }
    default:
      return nullptr;
  }
}

}  // namespace fuzz
