#include "fuzz/Oracle.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "fuzz/Peek.h"

namespace oracle {

namespace {

constexpr uint64_t kMaxSize = UINT32_MAX;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool StartsWithFolded(const std::string& text, size_t at, const char* prefix) {
  const size_t length = std::strlen(prefix);
  if (text.size() - at < length) return false;
  for (size_t i = 0; i < length; ++i) {
    if (Lower(text[at + i]) != Lower(prefix[i])) return false;
  }
  return true;
}

// The 42 named references and their Windows-1252 bytes, in table order.
// The library has the same table (strings/internal/EntityTable.cpp); the
// model keeps a copy of its own on purpose, so that an entry changed there
// shows up as a finding instead of moving the model's expectation with it.
struct Entity {
  const char* reference;
  char byte;
};
const Entity kEntities[] = {
    {"&ouml;", '\xF6'},   {"&Ouml;", '\xD6'},   {"&auml;", '\xE4'},   {"&Auml;", '\xC4'},
    {"&uuml;", '\xFC'},   {"&Uuml;", '\xDC'},   {"&szlig;", '\xDF'},  {"&sect;", '\xA7'},
    {"&Ccedil;", '\xC7'}, {"&ccedil;", '\xE7'}, {"&Aacute;", '\xC1'}, {"&Agrave;", '\xC0'},
    {"&Acirc;", '\xC2'},  {"&aacute;", '\xE1'}, {"&agrave;", '\xE0'}, {"&acirc;", '\xE2'},
    {"&Oacute;", '\xD3'}, {"&Ograve;", '\xD2'}, {"&Ocirc;", '\xD4'},  {"&oacute;", '\xF3'},
    {"&ograve;", '\xF2'}, {"&ocirc;", '\xF4'},  {"&Uacute;", '\xDA'}, {"&Ugrave;", '\xD9'},
    {"&Ucirc;", '\xDB'},  {"&uacute;", '\xFA'}, {"&ugrave;", '\xF9'}, {"&ucirc;", '\xFB'},
    {"&Iacute;", '\xCD'}, {"&Igrave;", '\xCC'}, {"&Icirc;", '\xCE'},  {"&iacute;", '\xED'},
    {"&igrave;", '\xEC'}, {"&icirc;", '\xEE'},  {"&Eacute;", '\xC9'}, {"&Egrave;", '\xC8'},
    {"&Ecirc;", '\xCA'},  {"&eacute;", '\xE9'}, {"&egrave;", '\xE8'}, {"&ecirc;", '\xEA'},
    {"&yacute;", '\xFD'}, {"&Yacute;", '\xDD'},
};

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined stand
// for the C1 controls of the same value.
const char16_t kHigh1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(char32_t c, std::string* out) {
  if (c < 0x80) {
    out->push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (c >> 6)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (c >> 12)));
    out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string Fold(std::string text) {
  for (char& c : text) c = Lower(c);
  return text;
}

std::string ToUpper(std::string text) {
  for (char& c : text) c = Upper(c);
  return text;
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsBlank(const std::string& text) {
  for (char c : text) {
    if (!IsBlankByte(c)) return false;
  }
  return true;
}

size_t Find(const std::string& text, const std::string& what, size_t from, bool caseSensitive) {
  if (from >= text.size()) return std::string::npos;
  if (caseSensitive) return text.find(what, from);
  return Fold(text).find(Fold(what), from);
}

int Count(const std::string& text, const std::string& what, bool caseSensitive) {
  const std::string haystack = caseSensitive ? text : Fold(text);
  const std::string needle = caseSensitive ? what : Fold(what);
  int count = 0;
  for (size_t at = haystack.empty() ? std::string::npos : haystack.find(needle);
       at != std::string::npos;
       at = at + 1 < haystack.size() ? haystack.find(needle, at + 1) : std::string::npos) {
    ++count;
  }
  return count;
}

int IsUtf8(const std::string& text) {
  int sawSequence = 0;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char byte = static_cast<unsigned char>(text[i++]);
    if (byte < 0x80) {
      const bool plain = (byte >= 0x07 && byte <= 0x0A) || byte == 0x0C || byte == 0x0D ||
                         byte == 0x1B || (byte >= 0x20 && byte <= 0x7E);
      if (!plain) return 0;
      continue;
    }
    int continuations;
    if (byte >= 0xC0 && byte <= 0xDF) {
      continuations = 1;
    } else if (byte >= 0xE0 && byte <= 0xEF) {
      continuations = 2;
    } else if (byte >= 0xF0 && byte <= 0xF7) {
      continuations = 3;
    } else if (byte >= 0xF8 && byte <= 0xFB) {
      continuations = 4;
    } else if (byte == 0xFC || byte == 0xFD) {
      continuations = 5;
    } else {
      return 0;
    }
    for (int k = 0; k < continuations; ++k, ++i) {
      if (i == text.size()) return sawSequence;
      const unsigned char next = static_cast<unsigned char>(text[i]);
      if (next < 0x80 || next > 0xBF) return 0;
    }
    sawSequence = 1;
  }
  return sawSequence;
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    AppendUtf8(byte >= 0x80 && byte <= 0x9F ? kHigh1252[byte - 0x80] : byte, &out);
  }
  return out;
}

bool Utf8To1252(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    char32_t c;
    if (lead < 0x80) {
      c = lead;
      i += 1;
    } else if (lead >= 0xC2 && lead <= 0xDF && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      c = ((lead & 0x1Fu) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3Fu);
      i += 2;
    } else if (lead >= 0xE0 && lead <= 0xEF && i + 2 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80 &&
               (static_cast<unsigned char>(text[i + 2]) & 0xC0) == 0x80) {
      c = ((lead & 0x0Fu) << 12) | ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
          (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
      if (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF)) return false;
      i += 3;
    } else {
      return false;
    }
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out->push_back(static_cast<char>(c));
      continue;
    }
    const char16_t* const end = kHigh1252 + 32;
    const char16_t* const found = std::find(kHigh1252, end, c);
    if (found == end) return false;
    out->push_back(static_cast<char>(0x80 + (found - kHigh1252)));
  }
  return true;
}

// The formats are built at run time from safe conversions only, each
// matched by an argument of its type (see FormatArgs.h).
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wformat-security"
#pragma clang diagnostic ignored "-Wformat-nonliteral"

bool Formatted(const char* format, const FormatArg* first, const FormatArg* end, std::string* out) {
  const int length =
      WithArgs([](const char* f, auto... a) { return std::snprintf(nullptr, 0, f, a...); }, format,
               first, end);
  if (length < 0) return false;
  out->assign(static_cast<size_t>(length) + 1, '\0');
  WithArgs(
      [&](const char* f, auto... a) { return std::snprintf(&(*out)[0], out->size(), f, a...); },
      format, first, end);
  out->resize(std::strlen(out->c_str()));
  return true;
}

#pragma clang diagnostic pop

Buffer Buffer::Of(const TextString& s) {
  Buffer b;
  const char* text = Peek::Text(s);
  b.has = text != nullptr;
  b.text = text != nullptr ? text : "";
  b.capacity = s.GetCapacity();
  return b;
}

void Buffer::Assign(Arg source, unsigned minSize) {
  if (source == nullptr) {
    if (has) {
      text.clear();
    } else {
      has = true;
      kept = false;
      text.clear();
      capacity = 19;
    }
    return;
  }
  const uint64_t length = source->size();
  const uint64_t need = minSize < length ? length + 1 : minSize;
  if (need + 1 > kMaxSize) return;
  if (!has || need >= capacity) {
    has = true;
    kept = false;
    zeroTail = true;  // a new buffer comes zeroed
    capacity = static_cast<uint32_t>(need);
  } else {
    zeroTail = false;  // a kept one keeps what followed the old terminator
  }
  text = *source;
}

void Buffer::AssignN(const char* bytes, size_t available, unsigned count) {
  if (bytes == nullptr) {
    Assign(nullptr, 0);
    return;
  }
  if (count == 0xFFFFFFFFu) return;
  if (!has || count >= capacity) {
    has = true;
    kept = false;
    capacity = count;
  }
  const size_t limit = count < available ? count : available;
  const void* nul = std::memchr(bytes, '\0', limit);
  text.assign(bytes, nul != nullptr ? static_cast<const char*>(nul) - bytes : limit);
  zeroTail = true;
}

void Buffer::Append(Arg source) {
  if (source == nullptr) return;
  const uint64_t need = uint64_t{text.size()} + source->size() + 1;
  if (need > kMaxSize) return;
  if (!has || need >= capacity) {
    has = true;
    kept = false;
    zeroTail = true;
    capacity = static_cast<uint32_t>(need - 1);
  }
  text += *source;
}

uint64_t ReplaceAllSize(const Buffer& b, Arg what, Arg with, bool caseSensitive) {
  if (!b.has || what == nullptr || with == nullptr || what->empty()) return 0;
  uint64_t matches = 0;
  const std::string haystack = caseSensitive ? b.text : Fold(b.text);
  const std::string needle = caseSensitive ? *what : Fold(*what);
  for (size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, at + needle.size())) {
    ++matches;
  }
  if (matches == 0) return 0;
  return b.text.size() - matches * what->size() + matches * with->size() + 1;
}

unsigned Buffer::ReplaceAll(Arg what, Arg with, bool caseSensitive) {
  const uint64_t resultSize = ReplaceAllSize(*this, what, with, caseSensitive);
  if (resultSize == 0 || resultSize > kMaxSize) return 0;
  const std::string haystack = caseSensitive ? text : Fold(text);
  const std::string needle = caseSensitive ? *what : Fold(*what);
  std::string result;
  unsigned matches = 0;
  size_t scan = 0;
  for (size_t at = haystack.find(needle); at != std::string::npos;
       at = haystack.find(needle, scan)) {
    result.append(text, scan, at - scan);
    result += *with;
    scan = at + needle.size();
    ++matches;
  }
  result.append(text, scan, std::string::npos);
  text = result;
  if (resultSize < capacity) {
    zeroTail = true;
  } else {
    kept = false;
    zeroTail = false;
    capacity = static_cast<uint32_t>(resultSize - 1);
  }
  return matches;
}

int Buffer::TruncateAt(unsigned index) {
  if (!has || index > capacity) return 0;
  if (index < text.size()) Cut(index);
  return 1;
}

void Buffer::Clear() {
  if (!has) return;
  text.clear();
  zeroTail = true;
}

void Buffer::Free() {
  has = false;
  kept = false;
  zeroTail = false;
  text.clear();
  capacity = 0;
}

void Buffer::Cut(size_t length) {
  if (length >= text.size()) return;
  text.resize(length);
  zeroTail = false;  // nothing promises what stays after the new terminator
}

void Buffer::TrimLeftChar(char c) {
  if (!has || text.empty()) return;
  size_t skip = 0;
  if (c == '\0') {
    skip = 1;
  } else {
    while (skip < text.size() && text[skip] == c) ++skip;
  }
  if (skip == 0) return;
  const std::string rest = text.substr(skip);
  Assign(&rest, 0);
}

void Buffer::TrimRightChar(char c, int all) {
  if (!has || text.empty()) return;
  if (c == '\0') {
    Cut(text.size() - 1);
    return;
  }
  size_t length = text.size();
  while (length > 0 && text[length - 1] == c) {
    --length;
    if (all == 0) break;
  }
  Cut(length);
}

void Buffer::TrimLeft() {
  if (text.empty()) return;
  size_t skip = 0;
  while (skip < text.size() && (text[skip] == ' ' || text[skip] == '\t')) ++skip;
  if (skip == 0) return;
  const std::string rest = text.substr(skip);
  Assign(&rest, 0);
}

void Buffer::TrimRight() {
  size_t length = text.size();
  while (length > 0 && (text[length - 1] == ' ' || text[length - 1] == '\t')) --length;
  Cut(length);
}

namespace {

bool InSet(const std::string& foldedSet, char c) {
  return foldedSet.find(Lower(c)) != std::string::npos;
}

}  // namespace

void Buffer::TrimLeftSet(Arg set) {
  if (set == nullptr || IsBlank(*set) || text.empty()) return;
  const std::string folded = Fold(*set);
  size_t skip = 0;
  while (skip < text.size() && InSet(folded, text[skip])) ++skip;
  if (skip == 0) return;
  const std::string rest = text.substr(skip);
  Assign(&rest, 0);
}

void Buffer::TrimRightSet(Arg set) {
  if (set == nullptr || IsBlank(*set) || text.empty()) return;
  const std::string folded = Fold(*set);
  size_t length = text.size();
  while (length > 1 && InSet(folded, text[length - 1])) --length;
  Cut(length);
}

uint64_t ExpandTabsSize(const Buffer& b, unsigned width) {
  const uint64_t tabs = static_cast<uint64_t>(std::count(b.text.begin(), b.text.end(), '\t'));
  if (tabs == 0) return 0;
  return b.text.size() - tabs + tabs * width + 1;
}

void Buffer::ExpandTabs(unsigned width) {
  // Checked first: the spaces of a width near 2^32 would not fit in memory.
  const uint64_t resultSize = ExpandTabsSize(*this, width);
  if (resultSize == 0 || resultSize > kMaxSize) return;
  const std::string tab = "\t";
  const std::string spaces(width, ' ');
  ReplaceAll(&tab, &spaces, false);
}

void Buffer::RemoveWhitespace() {
  const std::string none;
  for (const char* blank : {" ", "\t", "\r", "\n"}) {
    const std::string what = blank;
    ReplaceAll(&what, &none, false);
  }
}

void Buffer::MakeUpper() { text = ToUpper(text); }

void Buffer::MakeLower() { text = Fold(text); }

void Buffer::ProtectEntities() {
  if (!has) return;
  std::string& s = text;
  // "&#" and "&" hold no letters: the exact search finds what the folded one does.
  for (size_t amp = Find(s, "&#", 0, true); amp != std::string::npos;
       amp = Find(s, "&#", amp + 1, true)) {
    for (size_t place = 2; place <= 6 && amp + place < s.size(); ++place) {
      if (place >= 3 && s[amp + place] == ';') {
        s[amp + place] = ',';
        break;
      }
    }
  }
  size_t position = 0;
  for (;;) {
    const size_t amp = Find(s, "&", position, true);
    if (amp == std::string::npos) break;
    if (StartsWithFolded(s, amp, "&amp;")) {
      position = amp + 1;
      continue;
    }
    const size_t semicolon = s.find(';', amp);
    if (semicolon == std::string::npos) break;
    s[semicolon] = ',';
    position = semicolon;
  }
}

void Buffer::DecodeEntities() {
  for (const Entity& entity : kEntities)
    Replace(entity.reference, std::string(1, entity.byte), true);
  if (has && Count(text, "&", false) != Count(text, "&amp", false)) ProtectEntities();
  Replace("&amp;", "&", true);
}

void Buffer::EncodeEntities() {
  Replace("&", "&amp;", true);
  for (const Entity& entity : kEntities)
    Replace(std::string(1, entity.byte), entity.reference, true);
}

void Buffer::EscapeUrlChars() {
  Replace("%", "%25", true);
  Replace("#", "%23", true);
  Replace("$", "%24", true);
  Replace("&", "%26", true);
  Replace("+", "%2B", true);
}

bool ConstructedCapacity(Arg text, unsigned minSize, uint64_t* capacity) {
  if (text == nullptr) {
    *capacity = 260;
    return true;
  }
  if (minSize == 0xFFFFFFFFu) return false;
  const uint64_t length = text->size();
  *capacity = minSize < length ? length + 1 : minSize;
  return true;
}

int Compare(const Buffer& b, const Buffer* other, int byLength) {
  if (byLength == 1) {
    const size_t mine = b.text.size();
    if (other == nullptr) return mine != 0 ? 1 : 0;
    const size_t theirs = other->text.size();
    return mine < theirs ? -1 : (mine > theirs ? 1 : 0);
  }
  if (other == nullptr || !other->has) return b.has ? 1 : 0;
  if (!b.has) return -1;
  const int order = b.text.compare(other->text);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

int IsEqual(const Buffer& b, Arg text, bool caseSensitive) {
  if (!b.has || text == nullptr) return 0;
  return caseSensitive ? b.text == *text : Fold(b.text) == Fold(*text);
}

size_t Find(const Buffer& b, Arg what, bool caseSensitive) {
  if (!b.has || what == nullptr) return std::string::npos;
  return Find(b.text, *what, 0, caseSensitive);
}

size_t FindIn(Arg haystack, Arg what, bool caseSensitive) {
  if (haystack == nullptr || haystack->empty() || what == nullptr) return std::string::npos;
  return Find(*haystack, *what, 0, caseSensitive);
}

int EndsWith(const Buffer& b, Arg other, bool caseSensitive, bool reversed) {
  if (!b.has || other == nullptr) return 0;
  std::string subject = reversed ? *other : b.text;
  std::string ending = reversed ? b.text : *other;
  if (!caseSensitive) {
    subject = Fold(subject);
    ending = Fold(ending);
  }
  return ending.size() <= subject.size() &&
         subject.compare(subject.size() - ending.size(), ending.size(), ending) == 0;
}

int Count(const Buffer& b, Arg what, bool caseSensitive) {
  if (!b.has || what == nullptr) return 0;
  return Count(b.text, *what, caseSensitive);
}

int HasSpace(const Buffer& b) { return b.text.find(' ') != std::string::npos ? 1 : 0; }

int IsComment(const Buffer& b) {
  const size_t first = b.text.find_first_not_of(" \t\r\n");
  return b.has && first != std::string::npos && b.text[first] == ';';
}

int IsHexNumber(const Buffer& b) {
  return b.text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

int IsNumber(const Buffer& b) {
  return b.text.find_first_not_of("0123456789") == std::string::npos;
}

int IsBreakOnly(const Buffer& b) { return b.text.find_first_not_of("\t\n\r") == std::string::npos; }

}  // namespace oracle
