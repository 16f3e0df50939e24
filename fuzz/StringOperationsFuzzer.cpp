// Fuzz target: a sequence of operations on TextStrings and PathStrings, each
// checked against the data model and, where the contract gives one, against
// a reference model of its result.
//
// Input format (see Input.h): repeated [operation byte][its arguments]. The
// world holds a TextString `t` and two paths `p` and `q`; each operation
// picks its subject among them, and its text arguments among null, empty,
// short and very long texts, tokens the operations look for, and pointers
// into the buffers of the strings themselves.
#include <dirent.h>
#include <sanitizer/allocator_interface.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/Input.h"
#include "fuzz/Oracle.h"
#include "fuzz/Peek.h"
#include "fuzz/Report.h"
#include "fuzz/Sandbox.h"
#include "paths/PathString.h"
#include "strings/TextString.h"

namespace {

using oracle::Buffer;
using report::Fail;
using report::Require;
using report::Show;

// Limits that keep one input fast and its memory small. A string longer
// than kLongest is freed before the next operation, and an operation whose
// result would pass kLargestResult is skipped: the library would build it
// faithfully, and it would only cost time.
constexpr size_t kLongest = 1 << 20;
constexpr uint64_t kLargestResult = 16u << 20;
constexpr size_t kLongText = 70000;
constexpr int kMaxOperations = 256;

// ---- The world ----

struct HeldText {
  const char* at = nullptr;  // a text the contract says stays valid
  std::string text;          // what it held when it was handed out
};

struct PathSlot {
  std::unique_ptr<TestPath> path;
  // What the four getters and Abbreviate last handed out.
  HeldText held[TestPath::kCacheCount + 1];
};
constexpr int kHeldDisplay = TestPath::kCacheCount;

struct World {
  std::unique_ptr<TextString> t;
  PathSlot p;
  PathSlot q;
  ObjectBase plain;                                // an object that is not a string, for Compare
  std::vector<std::unique_ptr<char[]>> arena;      // argument texts of one operation
  std::vector<std::unique_ptr<TextString>> fresh;  // strings made for one operation
};

// ---- Arguments ----

struct TextArg {
  const char* ptr = nullptr;
  std::string value;  // its text when the operation starts
  oracle::Arg get() const { return ptr != nullptr ? &value : nullptr; }
};

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

// A heap copy of exactly the text and its terminator, so that any read past
// the terminator is an AddressSanitizer finding.
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

// Sizes and indexes near the capacity, the length, the edges of the fixed
// work areas and of 32 bits.
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

// A size that becomes a buffer: anything that would make gigabytes is
// turned into the one value that must change nothing.
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

// ---- Checks ----

void CheckStorage(const TextString& s, const char* which) {
  const char* text = Peek::Text(s);
  const uint32_t size = Peek::Size(s);
  if ((text == nullptr) != (size == 0)) Fail(std::string(which) + ": text null is not size 0");
  if (s.GetText() != text) Fail(std::string(which) + ": GetText is not the text");
  if (s.GetCapacity() != (size != 0 ? size - 1 : 0)) {
    Fail(std::string(which) + ": GetCapacity is not size - 1");
  }
  if (text == nullptr) return;
  // The buffer is a live heap block of exactly `size` bytes.
  if (__sanitizer_get_ownership(text) == 0 || __sanitizer_get_allocated_size(text) != size) {
    Fail(std::string(which) + ": the buffer is not a heap block of `size` bytes");
  }
  if (std::memchr(text, '\0', size) == nullptr) Fail(std::string(which) + ": no terminator");
  if (s.GetLength() != std::strlen(text)) Fail(std::string(which) + ": GetLength is wrong");
}

void CheckPath(const PathSlot& slot, const char* which) {
  CheckStorage(*slot.path, which);
  CheckStorage(slot.path->Display(), "displayText");
  for (int i = 0; i < TestPath::kCacheCount; ++i) {
    if (slot.path->Cache(i) != nullptr) CheckStorage(*slot.path->Cache(i), "a cache");
  }
  for (const HeldText& held : slot.held) {
    if (held.at != nullptr && std::memcmp(held.at, held.text.c_str(), held.text.size() + 1) != 0) {
      Fail(std::string(which) +
           ": a cached text changed before its next getter: " + Show(held.text));
    }
  }
}

void CheckWorld(const World& w) {
  CheckStorage(*w.t, "t");
  CheckPath(w.p, "p");
  CheckPath(w.q, "q");
  for (const auto& s : w.fresh) CheckStorage(*s, "a fresh string");
}

struct Before {
  Buffer model;
  const char* ptr;
  uint32_t lastError;
  int32_t errorCode;
};

Before Snap(const TextString& s) {
  return {Buffer::Of(s), Peek::Text(s), Peek::LastError(s), Peek::ErrorCode(s)};
}

// The string holds what the model says, in the buffer it says.
void Expect(const TextString& s, const Buffer& want, const char* before, const char* which) {
  const char* text = Peek::Text(s);
  const std::string actual = text != nullptr ? text : "";
  if ((text != nullptr) != want.has) {
    Fail(std::string(which) + (want.has ? ": has no buffer" : ": has a buffer"));
  }
  if (actual != want.text) {
    Fail(std::string(which) + ": text " + Show(actual) + ", expected " + Show(want.text));
  }
  if (s.GetCapacity() != want.capacity) {
    Fail(std::string(which) + ": capacity " + std::to_string(s.GetCapacity()) + ", expected " +
         std::to_string(want.capacity) + " for text " + Show(actual));
  }
  if (want.kept && text != before) Fail(std::string(which) + ": the buffer was replaced");
  if (want.zeroTail) {
    for (uint32_t i = static_cast<uint32_t>(actual.size()); i < want.capacity; ++i) {
      if (text[i] != '\0') Fail(std::string(which) + ": bytes after the text are not zero");
    }
  }
}

void ExpectText(const TextString& s, const std::string& want, const char* which) {
  const char* text = s.GetText();
  const std::string actual = text != nullptr ? text : "";
  if (text == nullptr || actual != want) {
    Fail(std::string(which) + ": text " + (text != nullptr ? Show(actual) : "null") +
         ", expected " + Show(want));
  }
}

void ExpectUnchanged(const TextString& s, const Before& before, const char* which) {
  Buffer same = before.model;
  same.kept = true;
  Expect(s, same, before.ptr, which);
}

// The operation returned the string's text pointer.
void ReturnsText(const TextString& s, const char* result) {
  Require(result == s.GetText(), "the result is not the string's text pointer");
}

// ---- Subjects ----

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

// Another string to read from or write into: any of the world's, the
// subject itself, or a fresh one built from the input.
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

// ---- Operations of TextString ----

void OpCompare(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "Compare";
  const ObjectBase* other;
  switch (in.Pick(3)) {
    case 0:
      other = nullptr;
      break;
    case 1:
      other = &w.plain;
      break;
    default:
      other = OtherString(in, w, &s, false);
  }
  const int byLength = Flag(in);
  const Before before = Snap(s);
  const int result = s.Compare(other, byLength);
  const TextString* peer = dynamic_cast<const TextString*>(other);
  const size_t mine = before.model.text.size();
  int expected;
  if (byLength == 1) {
    if (peer == nullptr) {
      expected = mine != 0 ? 1 : 0;
    } else {
      const size_t theirs = peer->GetLength();
      expected = mine < theirs ? -1 : (mine > theirs ? 1 : 0);
    }
    Require(result == expected, "Compare by length");
  } else {
    if (peer == nullptr || peer->GetText() == nullptr) {
      expected = before.model.has ? 1 : 0;
    } else if (!before.model.has) {
      expected = -1;
    } else {
      const int order = before.model.text.compare(peer->GetText());
      expected = order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    Require((result < 0 ? -1 : (result > 0 ? 1 : 0)) == expected, "Compare by text");
  }
  ExpectUnchanged(s, before, "Compare");
}

void OpAssign(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "Assign";
  const TextArg text = Text(in, w, s);
  const unsigned minSize = AllocationSize(in, s);
  const Before before = Snap(s);
  Buffer want = before.model;
  want.Assign(text.get(), minSize);
  ReturnsText(s, s.Assign(text.ptr, minSize));
  Expect(s, want, before.ptr, "Assign");
}

void OpAssignN(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "AssignN";
  const char* source;
  std::string seen;  // the source's bytes when the operation starts
  unsigned count;
  if (in.Pick(3) == 0) {
    // Bytes that are not terminated: only `count` of them may be read.
    seen = in.Bytes(in.Range(0, 300));
    count = static_cast<unsigned>(in.Range(0, seen.size()));
    // Exactly that many bytes, so that reading one more is a finding.
    std::unique_ptr<char[]> tight(new char[seen.empty() ? 1 : seen.size()]);
    std::memcpy(tight.get(), seen.data(), seen.size());
    source = tight.get();
    w.arena.push_back(std::move(tight));
  } else {
    const TextArg text = Text(in, w, s);
    count = AllocationSize(in, s);
    source = text.ptr;
    seen.assign(text.value.c_str(), text.value.size() + 1);  // with its terminator
  }
  const Before before = Snap(s);
  Buffer want = before.model;
  // From the copy: the source may lie in the very buffer that AssignN zeroes.
  want.AssignN(source != nullptr ? seen.data() : nullptr, seen.size(), count);
  ReturnsText(s, s.AssignN(source, count));
  Expect(s, want, before.ptr, "AssignN");
}

void OpClear(World&, TextString& s) {
  report::CurrentOperation() = "Clear";
  const Before before = Snap(s);
  Buffer want = before.model;
  want.Clear();
  Require(s.Clear() == 1, "Clear returns 1");
  Expect(s, want, before.ptr, "Clear");
}

void OpGetAt(Input& in, World&, TextString& s) {
  report::CurrentOperation() = "GetAt";
  const unsigned index = Size(in, s);
  const char* text = Peek::Text(s);
  const char expected = text != nullptr && index <= s.GetCapacity() ? text[index] : '\0';
  Require(s.GetAt(index) == expected, "GetAt");
}

void OpOperatorAssign(Input& in, World& w, TextString& s, bool fromString) {
  report::CurrentOperation() = fromString ? "operator=(TextString)" : "operator=(char*)";
  TextArg text;
  TextString* other = nullptr;
  if (fromString) {
    other = OtherString(in, w, &s, false);
    text.ptr = other->GetText();
    text.value = text.ptr != nullptr ? text.ptr : "";
  } else {
    text = Text(in, w, s);
  }
  const Before before = Snap(s);
  Buffer want = before.model;
  want.Assign(text.get(), 0);
  TextString& result = fromString ? (s = *other) : (s = text.ptr);
  Require(&result == &s, "operator= returns the object");
  Expect(s, want, before.ptr, "operator=");
}

void OpAppend(Input& in, World& w, TextString& s, int form) {
  static const char* const kNames[] = {"Append", "operator+=(char*)", "operator+=(TextString)"};
  report::CurrentOperation() = kNames[form];
  TextArg text;
  TextString* other = nullptr;
  if (form == 2) {
    other = OtherString(in, w, &s, false);
    text.ptr = other->GetText();
    text.value = text.ptr != nullptr ? text.ptr : "";
  } else {
    text = Text(in, w, s);
  }
  const Before before = Snap(s);
  Buffer want = before.model;
  want.Append(text.get());
  if (form == 0) {
    ReturnsText(s, s.Append(text.ptr));
  } else {
    TextString& result = form == 1 ? (s += text.ptr) : (s += *other);
    Require(&result == &s, "operator+= returns the object");
  }
  Expect(s, want, before.ptr, kNames[form]);
}

void OpEquality(Input& in, World& w, TextString& s, int form) {
  static const char* const kNames[] = {"operator==(char*)", "operator==(TextString)",
                                       "operator!=(char*)", "operator!=(TextString)"};
  report::CurrentOperation() = kNames[form];
  TextArg text;
  TextString* other = nullptr;
  if (form % 2 == 1) {
    other = OtherString(in, w, &s, false);
    text.ptr = other->GetText();
    text.value = text.ptr != nullptr ? text.ptr : "";
  } else {
    text = Text(in, w, s);
  }
  const Before before = Snap(s);
  const int equal = before.model.has && text.ptr != nullptr && before.model.text == text.value;
  int result;
  switch (form) {
    case 0:
      result = s == text.ptr;
      break;
    case 1:
      result = s == *other;
      break;
    case 2:
      result = s != text.ptr;
      break;
    default:
      result = s != *other;
  }
  Require(result == (form < 2 ? equal : !equal), "equality operators");
  ExpectUnchanged(s, before, kNames[form]);
}

void OpQueries(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "GetText/LengthOf/GetLength/GetCapacity/HasSpace/IsBlank";
  const Before before = Snap(s);
  Require(s.GetText() == before.ptr, "GetText");
  const TextArg text = Text(in, w, s);
  Require(s.LengthOf(text.ptr) == (text.ptr != nullptr ? text.value.size() : 0), "LengthOf");
  Require(s.GetLength() == before.model.text.size(), "GetLength");
  Require(s.GetCapacity() == before.model.capacity, "GetCapacity");
  Require(s.HasSpace() == (before.model.text.find(' ') != std::string::npos ? 1 : 0), "HasSpace");
  Require(s.IsBlank() == (oracle::IsBlank(before.model.text) ? 1 : 0), "IsBlank");
  ExpectUnchanged(s, before, "queries");
}

void OpFindIn(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "FindIn";
  const TextArg haystack = Text(in, w, s);
  const TextArg what = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const Before before = Snap(s);
  const char* result = s.FindIn(haystack.ptr, what.ptr, caseSensitive);
  const char* expected = nullptr;
  if (haystack.ptr != nullptr && !haystack.value.empty() && what.ptr != nullptr) {
    const size_t at = oracle::Find(haystack.value, what.value, 0, caseSensitive != 0);
    if (at != std::string::npos) expected = haystack.ptr + at;
  }
  Require(result == expected, "FindIn");
  ExpectUnchanged(s, before, "FindIn");
}

void OpFind(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "Find";
  const TextArg what = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const Before before = Snap(s);
  const char* result = s.Find(what.ptr, caseSensitive);
  const char* expected = nullptr;
  if (before.model.has && what.ptr != nullptr) {
    const size_t at = oracle::Find(before.model.text, what.value, 0, caseSensitive != 0);
    if (at != std::string::npos) expected = before.ptr + at;
  }
  Require(result == expected, "Find");
  ExpectUnchanged(s, before, "Find");
}

void OpEndsWith(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "EndsWith";
  const TextArg other = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const int reversed = Flag(in);
  const Before before = Snap(s);
  int expected = 0;
  if (before.model.has && other.ptr != nullptr) {
    std::string subject = reversed != 0 ? other.value : before.model.text;
    std::string ending = reversed != 0 ? before.model.text : other.value;
    if (caseSensitive == 0) {
      subject = oracle::Fold(subject);
      ending = oracle::Fold(ending);
    }
    expected = ending.size() <= subject.size() &&
               subject.compare(subject.size() - ending.size(), ending.size(), ending) == 0;
  }
  Require(s.EndsWith(other.ptr, caseSensitive, reversed) == expected, "EndsWith");
  ExpectUnchanged(s, before, "EndsWith");
}

void OpIsEqual(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "IsEqual";
  const TextArg text = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const Before before = Snap(s);
  int expected = 0;
  if (before.model.has && text.ptr != nullptr) {
    expected = caseSensitive != 0 ? before.model.text == text.value
                                  : oracle::Fold(before.model.text) == oracle::Fold(text.value);
  }
  Require(s.IsEqual(text.ptr, caseSensitive) == expected, "IsEqual");
  ExpectUnchanged(s, before, "IsEqual");
}

void OpClassify(World&, TextString& s) {
  report::CurrentOperation() = "IsComment/IsHexNumber/IsNumber/IsBreakOnly";
  const Before before = Snap(s);
  const std::string& text = before.model.text;
  const size_t first = text.find_first_not_of(" \t\r\n");
  Require(s.IsComment() == (before.model.has && first != std::string::npos && text[first] == ';'),
          "IsComment");
  Require(
      s.IsHexNumber() == (text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos),
      "IsHexNumber");
  Require(s.IsNumber() == (text.find_first_not_of("0123456789") == std::string::npos), "IsNumber");
  Require(s.IsBreakOnly() == (text.find_first_not_of("\t\n\r") == std::string::npos),
          "IsBreakOnly");
  ExpectUnchanged(s, before, "the tests of the text");
}

void OpExpandTabs(Input& in, World&, TextString& s) {
  report::CurrentOperation() = "ExpandTabs";
  unsigned width = in.Pick(3) == 0 ? Size(in, s) : static_cast<unsigned>(in.Range(0, 16));
  const Before before = Snap(s);
  const uint64_t length = before.model.text.size();
  const uint64_t tabs =
      static_cast<uint64_t>(std::count(before.model.text.begin(), before.model.text.end(), '\t'));
  uint64_t resultSize = length - tabs + tabs * width + 1;
  if (resultSize > kLargestResult && resultSize <= UINT32_MAX) {
    width = 1;
    resultSize = length + 1;
  }
  Buffer want = before.model;
  if (tabs != 0 && resultSize <= UINT32_MAX) want.ExpandTabs(width);
  ReturnsText(s, s.ExpandTabs(width));
  Expect(s, want, before.ptr, "ExpandTabs");
}

// An operation without arguments that changes the text, checked against
// the model's operation of the same name.
void CheckPlainEdit(TextString& s, const char* name, void (Buffer::*model)(),
                    const char* (TextString::*operation)()) {
  report::CurrentOperation() = name;
  const Before before = Snap(s);
  Buffer want = before.model;
  (want.*model)();
  ReturnsText(s, (s.*operation)());
  Expect(s, want, before.ptr, name);
}

void OpRemoveWhitespace(World&, TextString& s) {
  CheckPlainEdit(s, "RemoveWhitespace", &Buffer::RemoveWhitespace, &TextString::RemoveWhitespace);
}

void OpTrimLeft(World&, TextString& s) {
  CheckPlainEdit(s, "TrimLeft", &Buffer::TrimLeft, &TextString::TrimLeft);
}

void OpTrimRight(World&, TextString& s) {
  CheckPlainEdit(s, "TrimRight", &Buffer::TrimRight, &TextString::TrimRight);
}

// Remove, Replace, ReplaceCase and ReplaceAll.
void OpReplace(Input& in, World& w, TextString& s, int form) {
  static const char* const kNames[] = {"Remove", "Replace", "ReplaceCase", "ReplaceAll"};
  report::CurrentOperation() = kNames[form];
  const TextArg what = Text(in, w, s);
  TextArg with = form == 0 ? Literal(w, "") : Text(in, w, s);
  const int caseSensitive = form == 3 ? Flag(in) : (form == 2 ? 1 : 0);
  const bool wantCount = form != 0 && in.Pick(2) == 0;
  const Before before = Snap(s);
  const uint64_t resultSize =
      oracle::ReplaceAllSize(before.model, what.get(), with.get(), caseSensitive != 0);
  if (resultSize > kLargestResult && resultSize <= UINT32_MAX) return;
  Buffer want = before.model;
  const unsigned matches = want.ReplaceAll(what.get(), with.get(), caseSensitive != 0);
  unsigned count = 0xDEADBEEF;
  unsigned* countArg = wantCount ? &count : nullptr;
  const char* result;
  switch (form) {
    case 0:
      result = s.Remove(what.ptr);
      break;
    case 1:
      result = s.Replace(what.ptr, with.ptr, countArg);
      break;
    case 2:
      result = s.ReplaceCase(what.ptr, with.ptr, countArg);
      break;
    default:
      result = s.ReplaceAll(what.ptr, with.ptr, caseSensitive, countArg);
  }
  ReturnsText(s, result);
  Expect(s, want, before.ptr, kNames[form]);
  if (wantCount) Require(count == matches, "the count of replacements");
}

void OpTrimChar(Input& in, World&, TextString& s, bool right) {
  report::CurrentOperation() = right ? "TrimRightChar" : "TrimLeftChar";
  const char c = Byte(in, s);
  const int all = Flag(in);
  const Before before = Snap(s);
  Buffer want = before.model;
  if (right) {
    want.TrimRightChar(c, all);
    ReturnsText(s, s.TrimRightChar(c, all));
  } else {
    want.TrimLeftChar(c);
    ReturnsText(s, s.TrimLeftChar(c));
  }
  Expect(s, want, before.ptr, report::CurrentOperation());
}

void OpTrimSet(Input& in, World& w, TextString& s, bool right) {
  report::CurrentOperation() = right ? "TrimRightSet" : "TrimLeftSet";
  const TextArg set = Text(in, w, s);
  const Before before = Snap(s);
  Buffer want = before.model;
  if (right) {
    want.TrimRightSet(set.get());
    ReturnsText(s, s.TrimRightSet(set.ptr));
  } else {
    want.TrimLeftSet(set.get());
    ReturnsText(s, s.TrimLeftSet(set.ptr));
  }
  Expect(s, want, before.ptr, report::CurrentOperation());
}

// ---- Format ----

// The formats below are built from safe conversions only, each matched by an
// argument of its type, so they cannot be string literals.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wformat-security"
#pragma clang diagnostic ignored "-Wformat-nonliteral"

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

// A format of literal text and the safe conversions only, each with its
// argument of the right type.
std::string MakeFormat(Input& in, World& w, TextString& s, std::vector<FormatArg>* args) {
  static const char* const kNumbers[] = {"%d", "%i", "%5d", "%-7d", "%05d", "%+d", "% d"};
  static const char* const kUnsigned[] = {"%u", "%x", "%X", "%o", "%08x", "%#x"};
  std::string format;
  const unsigned pieces = in.Pick(7);
  for (unsigned i = 0; i < pieces; ++i) {
    std::string literal = in.Bytes(in.Range(0, 12));
    literal.resize(std::strlen(literal.c_str()));
    for (char c : literal) {
      format += c;
      if (c == '%') format += '%';
    }
    if (args->size() == kMaxFormatArgs) continue;
    switch (in.Pick(7)) {
      case 0:
        format += kNumbers[in.Pick(7)];
        args->push_back({false, static_cast<int>(in.U32()), nullptr});
        break;
      case 1:
        format += kUnsigned[in.Pick(6)];
        args->push_back({false, static_cast<int>(in.U32() & INT_MAX), nullptr});
        break;
      case 2:
        format += "%c";
        args->push_back({false, in.Byte(), nullptr});
        break;
      case 3:
        format += "%%";
        break;
      case 4: {
        // A width that may pass the working size by far.
        format += "%" + std::to_string(in.Pick(2) == 0 ? in.Range(0, 900) : in.Range(0, 100000)) +
                  (in.Pick(2) == 0 ? "d" : "s");
        if (format.back() == 'd') {
          args->push_back({false, static_cast<int>(in.U32()), nullptr});
        } else {
          const TextArg text = Text(in, w, s);
          args->push_back({true, 0, text.ptr != nullptr ? text.ptr : ""});
        }
        break;
      }
      default: {
        static const char* const kTexts[] = {"%s", "%.3s", "%-12s", "%.0s"};
        format += kTexts[in.Pick(4)];
        const TextArg text = Text(in, w, s);
        args->push_back({true, 0, text.ptr != nullptr ? text.ptr : ""});
      }
    }
  }
  return format;
}

void OpFormat(Input& in, World& w, TextString& s, bool append) {
  report::CurrentOperation() = append ? "AppendFormat" : "Format";
  const bool nullFormat = in.Pick(8) == 0;
  std::vector<FormatArg> args;
  std::string format = MakeFormat(in, w, s, &args);
  const bool longFormat = in.Pick(6) == 0;  // past the 800-byte working size
  if (longFormat) format += std::string(in.Range(700, 2000), 'f');
  const FormatArg* first = args.data();
  const FormatArg* end = first + args.size();

  const Before before = Snap(s);
  Buffer want = before.model;
  if (!nullFormat) {
    const int length =
        WithArgs([](const char* f, auto... a) { return std::snprintf(nullptr, 0, f, a...); },
                 format.c_str(), first, end);
    Require(length >= 0, "the fuzzer's own format is valid");
    std::string out(static_cast<size_t>(length) + 1, '\0');
    WithArgs([&](const char* f, auto... a) { return std::snprintf(&out[0], out.size(), f, a...); },
             format.c_str(), first, end);
    out.resize(std::strlen(out.c_str()));  // a %c of 0 ends the stored text
    if (append) {
      want.Append(&out);
    } else {
      want.Assign(&out, 0);
    }
  }
  const char* f = nullFormat ? nullptr : format.c_str();
  const char* result;
  if (append) {
    result = WithArgs([&](const char* fm, auto... a) { return s.AppendFormat(fm, a...); }, f, first,
                      end);
  } else {
    result = WithArgs([&](const char* fm, auto... a) { return s.Format(fm, a...); }, f, first, end);
  }
  ReturnsText(s, result);
  Expect(s, want, before.ptr, report::CurrentOperation());
}

#pragma clang diagnostic pop

void OpCase(World&, TextString& s, bool upper) {
  report::CurrentOperation() = upper ? "MakeUpper" : "MakeLower";
  const Before before = Snap(s);
  Buffer want = before.model;
  for (char& c : want.text) {
    if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  ReturnsText(s, upper ? s.MakeUpper() : s.MakeLower());
  Expect(s, want, before.ptr, report::CurrentOperation());
}

// UTF-8 text whose characters all have a Windows-1252 byte of their own:
// what Utf8ToAnsi must give for it. False for anything else.
bool DecodeTo1252(const std::string& text, std::string* out) {
  static const char16_t kHigh[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
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
    int found = -1;
    for (int k = 0; k < 32; ++k) {
      if (kHigh[k] == c) found = k;
    }
    if (found < 0) return false;
    out->push_back(static_cast<char>(0x80 + found));
  }
  return true;
}

void OpUtf8ToAnsi(World&, TextString& s) {
  report::CurrentOperation() = "Utf8ToAnsi";
  const Before before = Snap(s);
  const char* result = s.Utf8ToAnsi();
  if (!before.model.has) {
    Require(result == nullptr, "Utf8ToAnsi without a buffer gives null");
    ExpectUnchanged(s, before, "Utf8ToAnsi");
    return;
  }
  ReturnsText(s, result);
  Require(result != nullptr, "Utf8ToAnsi gives the text");
  if (oracle::IsUtf8(before.model.text) == 0) {
    ExpectUnchanged(s, before, "Utf8ToAnsi of a text that is not UTF-8");
    return;
  }
  const std::string converted = result;
  Require(converted.size() <= before.model.text.size(), "Utf8ToAnsi never lengthens");
  std::string expected;
  if (DecodeTo1252(before.model.text, &expected)) ExpectText(s, expected, "Utf8ToAnsi");
  Buffer want = before.model;
  want.Assign(&converted, 0);
  Expect(s, want, before.ptr, "Utf8ToAnsi stores with Assign");
}

void OpAnsiToUtf8(World&, TextString& s) {
  report::CurrentOperation() = "AnsiToUtf8";
  const Before before = Snap(s);
  const std::string expected = oracle::Cp1252ToUtf8(before.model.text);
  if (expected.size() > kLargestResult) return;
  Buffer want = before.model;
  if (want.has) want.Assign(&expected, 0);
  const char* result = s.AnsiToUtf8();
  Require(result == s.GetText(), "AnsiToUtf8 gives the text");
  Expect(s, want, before.ptr, "AnsiToUtf8");
}

void OpIsUtf8(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "IsUtf8";
  const TextArg text = Text(in, w, s);
  const Before before = Snap(s);
  const int expected = text.ptr != nullptr ? oracle::IsUtf8(text.value) : 0;
  Require(s.IsUtf8(text.ptr) == expected, "IsUtf8");
  ExpectUnchanged(s, before, "IsUtf8");
}

void OpTruncateAt(Input& in, World&, TextString& s) {
  report::CurrentOperation() = "TruncateAt";
  const unsigned index = Size(in, s);
  const Before before = Snap(s);
  Buffer want = before.model;
  const int expected = want.TruncateAt(index);
  Require(s.TruncateAt(index) == expected, "TruncateAt's result");
  Expect(s, want, before.ptr, "TruncateAt");
}

void OpCount(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "Count";
  const TextArg what = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const Before before = Snap(s);
  int expected = 0;
  if (before.model.has && what.ptr != nullptr) {
    expected = oracle::Count(before.model.text, what.value, caseSensitive != 0);
  }
  Require(s.Count(what.ptr, caseSensitive) == expected, "Count");
  // A one-byte text occurs exactly as often as its byte.
  const char one[2] = {before.model.text.empty() ? 'a' : before.model.text[0], '\0'};
  const long bytes = std::count(before.model.text.begin(), before.model.text.end(), one[0]);
  Require(s.Count(one, 1) == bytes, "Count of a one-byte text is the number of that byte");
  ExpectUnchanged(s, before, "Count");
}

void OpEntities(World&, TextString& s, int form) {
  static const char* const kNames[] = {"DecodeEntities", "EncodeEntities", "EscapeUrlChars",
                                       "ProtectEntities"};
  report::CurrentOperation() = kNames[form];
  const Before before = Snap(s);
  Buffer want = before.model;
  switch (form) {
    case 0:
      want.DecodeEntities();
      ReturnsText(s, s.DecodeEntities());
      break;
    case 1:
      want.EncodeEntities();
      ReturnsText(s, s.EncodeEntities());
      break;
    case 2:
      want.EscapeUrlChars();
      ReturnsText(s, s.EscapeUrlChars());
      break;
    default:
      want.ProtectEntities();
      Require(s.ProtectEntities() == nullptr, "ProtectEntities returns null");
  }
  Expect(s, want, before.ptr, kNames[form]);
}

void OpFree(World&, TextString& s) {
  report::CurrentOperation() = "Free";
  const Before before = Snap(s);
  Buffer want = before.model;
  want.Free();
  Require(s.Free() == 1, "Free returns 1");
  Expect(s, want, before.ptr, "Free");
}

// AnsiToUtf8 then Utf8ToAnsi gives back a Windows-1252 text of printable
// ASCII and bytes from 0xA0 up with at least one of the latter.
void OpAnsiRoundTrip(World&, TextString& s) {
  report::CurrentOperation() = "AnsiToUtf8 then Utf8ToAnsi";
  if (s.GetText() == nullptr) return;
  std::string text = s.GetText();
  bool high = false;
  for (char& c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || (byte >= 0x7F && byte < 0xA0)) c = static_cast<char>(0xA0 | (byte & 0x1F));
    high = high || static_cast<unsigned char>(c) >= 0xA0;
  }
  if (!high) text += '\xE9';
  s.Assign(text.c_str(), 0);
  s.AnsiToUtf8();
  s.Utf8ToAnsi();
  ExpectText(s, text, "the round trip");
}

// EncodeEntities then DecodeEntities gives back a text without '&' or ';'.
void OpEntityRoundTrip(World&, TextString& s) {
  report::CurrentOperation() = "EncodeEntities then DecodeEntities";
  if (s.GetText() == nullptr) return;
  std::string text = s.GetText();
  for (char& c : text) {
    if (c == '&' || c == ';') c = 'x';
  }
  if (text.size() > kLongest / 8) text.resize(kLongest / 8);
  s.Assign(text.c_str(), 0);
  s.EncodeEntities();
  s.DecodeEntities();
  ExpectText(s, text, "the round trip");
}

// Another part of a program may write into the buffer through GetText, as
// long as a terminator stays within it: here a byte anywhere but on the
// terminator, which leaves stale bytes of every kind after it.
void OpPoke(Input& in, World&, TextString& s) {
  report::CurrentOperation() = "a write through GetText";
  char* text = s.GetText();
  if (text == nullptr) return;
  const uint32_t index = static_cast<uint32_t>(in.Range(0, s.GetCapacity()));
  const char byte = static_cast<char>(in.Byte());
  if (index != s.GetLength() || byte == '\0') text[index] = byte;
}

// ---- PathString ----

void Forget(PathSlot& slot, int held) { slot.held[held] = HeldText{}; }

void Hold(PathSlot& slot, int held, const char* at) {
  slot.held[held].at = at;
  slot.held[held].text = at;
}

void OpAppendComponent(Input& in, World& w, PathSlot& slot, bool add) {
  report::CurrentOperation() = add ? "AddComponent" : "AppendComponent";
  TestPath& path = *slot.path;
  const TextArg name = Text(in, w, path);
  const Before before = Snap(path);
  Buffer want = before.model;
  want.AppendComponent(name.get());
  ReturnsText(path, add ? path.AddComponent(name.ptr) : path.AppendComponent(name.ptr));
  Expect(path, want, before.ptr, report::CurrentOperation());
}

using Extractor = const char* (PathString::*)(TextString*);

struct Component {
  const char* name;
  Extractor extract;
  const char* (PathString::*get)(int);
};

const Component kComponents[] = {
    {"Drive", &PathString::ExtractDrive, &PathString::GetDrive},
    {"Directory", &PathString::ExtractDirectory, &PathString::GetDirectory},
    {"FileName", &PathString::ExtractFileName, &PathString::GetFileName},
    {"Arguments", &PathString::ExtractArguments, nullptr},
};

// What an Extract operation does to the path's model and to `out`'s; the
// expected result is `*result` (0: null, 1: out's text, 2: the path's text).
int ModelExtract(int which, Buffer* path, Buffer* out) {
  if (!path->has) return 0;
  const std::string text = path->text;
  std::string component;
  switch (which) {
    case 0:
      if (!oracle::Drive(text, &component)) return 0;
      if (out == nullptr) {
        path->Cut(component.size());
        return 2;
      }
      {
        const std::string empty;
        out->Assign(&empty, 0);
        out->Append(&component);
      }
      return 1;
    case 1:
      if (!oracle::Directory(text, &component)) return 0;
      if (out == nullptr) {
        path->Cut(component.size());
        return 2;
      }
      out->Assign(&component, 0);
      return 1;
    case 2: {
      const size_t backslash = text.rfind('\\');
      if (backslash == std::string::npos) {
        if (out != nullptr) out->Assign(&text, 0);
        return 2;
      }
      if (backslash + 1 == text.size()) return 0;
      component = text.substr(backslash + 1);
      break;
    }
    default:
      if (!oracle::Arguments(text, &component)) return 0;
  }
  if (out != nullptr) {
    out->Assign(&component, 0);
    return 1;
  }
  // In place: a new buffer of exactly the component.
  path->text = component;
  path->capacity = static_cast<uint32_t>(component.size());
  path->kept = false;
  return 2;
}

void OpExtract(Input& in, World& w, PathSlot& slot, int which) {
  static const char* const kNames[] = {"ExtractDrive", "ExtractDirectory", "ExtractFileName",
                                       "ExtractArguments"};
  report::CurrentOperation() = kNames[which];
  TestPath& path = *slot.path;
  TextString* out = OtherString(in, w, &path, true);
  const Before before = Snap(path);
  Buffer wantPath = before.model;
  const Before outBefore = out != nullptr ? Snap(*out) : Before{};
  Buffer wantOut = outBefore.model;
  const bool outIsPath = out == &path;
  const int expected = ModelExtract(which, &wantPath,
                                    out == nullptr ? nullptr
                                    : outIsPath    ? &wantPath
                                                   : &wantOut);
  const char* result = (path.*kComponents[which].extract)(out);
  if (expected == 0) {
    Require(result == nullptr, "no component gives null");
  } else if (expected == 1) {
    Require(result == out->GetText(), "the result is out's text");
  } else {
    Require(result == path.GetText(), "the result is the path's text");
  }
  Expect(path, wantPath, before.ptr, kNames[which]);
  if (out != nullptr && !outIsPath) Expect(*out, wantOut, outBefore.ptr, "out");
}

void OpGetComponent(Input& in, World&, PathSlot& slot, int which) {
  static const char* const kNames[] = {"GetDrive", "GetDirectory", "GetFileName", "GetArguments"};
  report::CurrentOperation() = kNames[which];
  TestPath& path = *slot.path;
  const int inPlace = which == 3 ? 0 : Flag(in);
  const Before before = Snap(path);
  Buffer wantPath = before.model;
  Buffer cache;
  const int expected =
      before.model.has ? ModelExtract(which, &wantPath, inPlace != 0 ? nullptr : &cache) : 0;
  Forget(slot, which);
  const char* result = which == 3 ? path.GetArguments() : (path.*kComponents[which].get)(inPlace);
  if (!before.model.has) {
    Require(result == nullptr, "a getter on a path without text gives null");
  } else if (inPlace != 0) {
    Require(result == (expected == 0 ? nullptr : path.GetText()), "an in-place getter's result");
  } else {
    const TextString* own = path.Cache(which);
    Require(own != nullptr && result == own->GetText(), "a getter returns its cache's text");
    ExpectText(*own, expected == 1 ? cache.text : (expected == 2 ? before.model.text : ""),
               kNames[which]);
    Hold(slot, which, result);
  }
  Expect(path, wantPath, before.ptr, kNames[which]);
}

void OpMakeCommandLine(Input& in, World& w, PathSlot& slot) {
  report::CurrentOperation() = "MakeCommandLine";
  TestPath& path = *slot.path;
  const TextArg arguments = Text(in, w, path);
  const int quote = Flag(in);
  const Before before = Snap(path);
  Buffer want = before.model;
  if (arguments.ptr != nullptr) {
    const std::string q = quote != 0 ? "\"" : "";
    const std::string line = "\"" + before.model.text + "\" " + q + arguments.value + q;
    want.Assign(&line, 0);
  }
  ReturnsText(path, path.MakeCommandLine(arguments.ptr, quote));
  Expect(path, want, before.ptr, "MakeCommandLine");
}

void OpAppendArgument(Input& in, World& w, PathSlot& slot) {
  report::CurrentOperation() = "AppendArgument";
  TestPath& path = *slot.path;
  const TextArg argument = Text(in, w, path);
  const int quote = Flag(in);
  const Before before = Snap(path);
  Buffer want = before.model;
  if (argument.ptr != nullptr) {
    const std::string q = "\"";
    want.EnsureEndsWith(' ');
    if (quote != 0) want.Append(&q);
    want.Append(&argument.value);
    if (quote != 0) want.Append(&q);
  }
  ReturnsText(path, path.AppendArgument(argument.ptr, quote));
  Expect(path, want, before.ptr, "AppendArgument");
}

void OpEnsureEndsWith(Input& in, World&, PathSlot& slot, bool backslash) {
  report::CurrentOperation() = backslash ? "AppendBackslash" : "EnsureEndsWith";
  TestPath& path = *slot.path;
  const char c = backslash ? '\\' : Byte(in, path);
  const Before before = Snap(path);
  Buffer want = before.model;
  want.EnsureEndsWith(c);
  ReturnsText(path, backslash ? path.AppendBackslash() : path.EnsureEndsWith(c));
  Expect(path, want, before.ptr, report::CurrentOperation());
}

void OpSetExtension(Input& in, World& w, PathSlot& slot) {
  report::CurrentOperation() = "SetExtension";
  TestPath& path = *slot.path;
  const TextArg extension = Text(in, w, path);
  const Before before = Snap(path);
  Buffer want = before.model;
  const size_t dot = before.model.text.rfind('.');
  const bool changes = extension.ptr != nullptr && before.model.has && dot != std::string::npos;
  if (changes) {
    want.Cut(dot + 1);
    const std::string bare = extension.value.substr(
        std::min(extension.value.find_first_not_of('.'), extension.value.size()));
    want.Append(&bare);
  }
  const char* result = path.SetExtension(extension.ptr);
  Require(result == (changes ? path.GetText() : nullptr), "SetExtension's result");
  Expect(path, want, before.ptr, "SetExtension");
}

void OpDoubleBackslashes(World&, PathSlot& slot) {
  report::CurrentOperation() = "DoubleBackslashes";
  TestPath& path = *slot.path;
  const Before before = Snap(path);
  Buffer want = before.model;
  want.Replace("\\", "\\\\", false);
  ReturnsText(path, path.DoubleBackslashes());
  Expect(path, want, before.ptr, "DoubleBackslashes");
}

void OpSplit(Input& in, World& w, PathSlot& slot) {
  report::CurrentOperation() = "Split";
  TestPath& path = *slot.path;
  TextString* outputs[4];
  for (TextString*& output : outputs) {
    output = OtherString(in, w, &path, true);
    for (TextString** earlier = outputs; earlier != &output; ++earlier) {
      if (*earlier == output) output = nullptr;  // each output at most once
    }
  }
  const Before before = Snap(path);
  Before outBefore[4];
  Buffer want[4];
  for (int i = 0; i < 4; ++i) {
    if (outputs[i] == nullptr) continue;
    outBefore[i] = Snap(*outputs[i]);
    want[i] = outBefore[i].model;
  }
  // Order of the steps: directory, drive, file name, arguments.
  const std::string empty;
  Buffer source = before.model;
  Buffer scratch;
  scratch.has = true;
  scratch.capacity = 260;
  auto fill = [&](int which, int slotIndex) -> Buffer& {
    Buffer& target = outputs[slotIndex] != nullptr ? want[slotIndex] : scratch;
    target.Assign(&empty, 0);
    Buffer copy = source;
    ModelExtract(which, &copy, &target);
    return target;
  };
  fill(1, 1);
  const Buffer& drive = fill(0, 0);
  if (outputs[1] != nullptr && !oracle::IsBlank(drive.text)) {
    want[1].Replace(drive.text, "", false);
    want[1].TrimLeftChar('\\');
  }
  fill(2, 2);
  const Buffer& arguments = fill(3, 3);
  if (outputs[2] != nullptr && !oracle::IsBlank(arguments.text)) {
    want[2].Replace(arguments.text, "", false);
    want[2].TrimRightChar(' ', 0);
  }
  Require(path.Split(outputs[0], outputs[1], outputs[2], outputs[3]) == 1, "Split returns 1");
  bool pathIsOutput = false;
  for (int i = 0; i < 4; ++i) {
    if (outputs[i] == nullptr) continue;
    // The path as an output ends as that output, in whatever buffer.
    if (outputs[i] == &path) {
      pathIsOutput = true;
      ExpectText(path, want[i].text, "Split into the path itself");
      continue;
    }
    Expect(*outputs[i], want[i], outBefore[i].ptr, "a Split output");
  }
  if (!pathIsOutput) ExpectUnchanged(path, before, "Split");
}

void OpGetQuotedValue(Input& in, World& w, PathSlot& slot) {
  report::CurrentOperation() = "GetQuotedValue";
  TestPath& path = *slot.path;
  const TextArg key = Text(in, w, path);
  int outSize;
  switch (in.Pick(5)) {
    case 0:
      outSize = in.Pick(2) == 0 ? -1 : INT_MIN;
      break;
    case 1:
      outSize = static_cast<int>(in.Range(0, 3));
      break;
    case 2:
      outSize = static_cast<int>(in.Range(0, 5000));
      break;
    default:
      outSize = static_cast<int>(in.Range(0, 300));
  }
  const int outKind = in.Pick(6);  // 0: null, 1: in the path's own buffer, else a buffer of outSize
  char* out = nullptr;
  std::vector<char> canary;
  if (outKind == 1 && path.GetText() != nullptr) {
    const uint32_t offset = static_cast<uint32_t>(in.Range(0, Peek::Size(path) - 1));
    out = path.GetText() + offset;
    outSize = std::min<int>(outSize, static_cast<int>(Peek::Size(path) - offset));
  } else if (outKind != 0) {
    const size_t bytes = outSize > 0 ? static_cast<size_t>(outSize) : 1;
    char* exact = new char[bytes];
    w.arena.push_back(std::unique_ptr<char[]>(exact));
    std::memset(exact, 0xA5, bytes);
    out = exact;
    canary.assign(exact, exact + bytes);
  }
  const Before before = Snap(path);
  const std::string& text = before.model.text;
  int expected = 0;
  bool copies = false;
  std::string value;
  if (key.ptr != nullptr && before.model.has) {
    const size_t found = oracle::Find(text, key.value, 0, false);
    if (found != std::string::npos) {
      expected = 1;
      const size_t open = text.find('"', found);
      const size_t close = open != std::string::npos ? text.find('"', open + 1) : std::string::npos;
      const size_t keyEnd = found + key.value.size();
      if (close != std::string::npos && open >= keyEnd &&
          oracle::IsBlank(text.substr(keyEnd, open - keyEnd))) {
        copies = true;
        value = text.substr(open + 1, close - open - 1);
      }
    }
  }
  const bool keyHasQuote = key.value.find('"') != std::string::npos;
  const int result = path.GetQuotedValue(key.ptr, out, outSize);
  Require(result == expected, "GetQuotedValue's result");
  if (outKind == 1) return;  // written into the path: the data model checks suffice
  ExpectUnchanged(path, before, "GetQuotedValue");
  if (out == nullptr || keyHasQuote) return;
  if (!copies || outSize <= 0 || expected == 0) {
    Require(std::memcmp(out, canary.data(), canary.size()) == 0, "out stays untouched");
    return;
  }
  const size_t kept = std::min(value.size(), static_cast<size_t>(outSize) - 1);
  std::string wanted = value.substr(0, kept);
  wanted.resize(static_cast<size_t>(outSize), '\0');
  if (std::memcmp(out, wanted.data(), wanted.size()) != 0) {
    Fail("out holds " + Show(std::string(out, out + outSize)) + ", expected " + Show(wanted));
  }
}

void OpMatchWildcard(Input& in, World& w, PathSlot& slot, bool fromString) {
  report::CurrentOperation() = fromString ? "MatchWildcard(TextString)" : "MatchWildcard(char*)";
  TestPath& path = *slot.path;
  TextArg pattern;
  const TextString* patternString = nullptr;
  if (fromString) {
    patternString = OtherString(in, w, &path, false);
    pattern.ptr = patternString->GetText();
    pattern.value = pattern.ptr != nullptr ? pattern.ptr : "";
  } else {
    pattern = Text(in, w, path);
  }
  const int caseSensitive = Flag(in);
  const Before before = Snap(path);
  const int expected = oracle::MatchWildcard(before.model.text, pattern.value, caseSensitive != 0);
  const int result = fromString ? path.MatchWildcard(patternString, caseSensitive)
                                : path.MatchWildcard(pattern.ptr, caseSensitive);
  Require(result == expected, "MatchWildcard");
  ExpectUnchanged(path, before, "MatchWildcard");
}

void OpAbbreviate(Input& in, World&, PathSlot& slot) {
  report::CurrentOperation() = "Abbreviate";
  TestPath& path = *slot.path;
  const unsigned maxLength = Size(in, path);
  const Before before = Snap(path);
  const Before display = Snap(path.Display());
  Forget(slot, kHeldDisplay);
  const char* result = path.Abbreviate(maxLength);
  const std::string& text = before.model.text;
  const uint64_t length = text.size();
  if (length <= maxLength) {
    Require(result == before.ptr, "a short path is its own abbreviation");
    ExpectUnchanged(path, before, "Abbreviate");
    ExpectUnchanged(path.Display(), display, "displayText");
    return;
  }
  const size_t backslash = text.rfind('\\');
  const size_t name = backslash != std::string::npos ? backslash + 1 : 0;
  uint64_t tail = maxLength / 2 + maxLength % 2;
  if (backslash != std::string::npos && length - name >= tail) tail = length - name;
  if (tail > maxLength) {
    Buffer want = before.model;
    want.Cut(name + maxLength);
    Expect(path, want, before.ptr, "Abbreviate cutting the file name");
    Require(result == path.GetText() + name, "the result is the cut file name");
    ExpectUnchanged(path.Display(), display, "displayText");
    return;
  }
  uint64_t head = maxLength - tail;
  if (head < 3 && tail > 3) {
    head = 3;
    tail = maxLength - 3;
  }
  const std::string expected = text.substr(0, head) + "..." + text.substr(length - tail);
  Require(result == path.Display().GetText(), "the abbreviation lives in displayText");
  ExpectText(path.Display(), expected, "Abbreviate");
  ExpectUnchanged(path, before, "Abbreviate");
  Hold(slot, kHeldDisplay, result);
}

void OpIsDriveRoot(World&, PathSlot& slot) {
  report::CurrentOperation() = "IsDriveRoot";
  const Before before = Snap(*slot.path);
  Require(slot.path->IsDriveRoot() == oracle::IsDriveRoot(before.model), "IsDriveRoot");
  ExpectUnchanged(*slot.path, before, "IsDriveRoot");
}

void OpGetError(Input& in, World&, PathSlot& slot) {
  report::CurrentOperation() = "GetError";
  TestPath& path = *slot.path;
  int detail = 12345;
  const bool wantDetail = in.Pick(2) == 0;
  Require(path.GetError(wantDetail ? &detail : nullptr) == Peek::LastError(path), "GetError");
  Require(detail == (wantDetail ? Peek::ErrorCode(path) : 12345), "GetError's detail");
}

// ---- File-system queries, all inside the scratch directory ----

bool IsDirectoryOnDisk(const std::string& path) {
  struct stat status;
  return !path.empty() && stat(sandbox::Native(path).c_str(), &status) == 0 &&
         S_ISDIR(status.st_mode);
}

bool IsFileOnDisk(const std::string& path) {
  struct stat status;
  return !path.empty() && stat(sandbox::Native(path).c_str(), &status) == 0 &&
         S_ISREG(status.st_mode);
}

// Whether the directory lists anything but "." and "..", or a subdirectory.
bool Lists(const std::string& path, bool subdirectoriesOnly) {
  const std::string directory = sandbox::Native(path);
  DIR* listing = opendir(directory.c_str());
  if (listing == nullptr) return false;
  bool found = false;
  while (const dirent* entry = readdir(listing)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    if (subdirectoriesOnly && !IsDirectoryOnDisk(path + "\\" + entry->d_name)) continue;
    found = true;
    break;
  }
  closedir(listing);
  return found;
}

// The path's text made safe for the file system, or left as it is.
void Confine(TestPath& path) {
  if (path.GetText() == nullptr || sandbox::IsConfined(path.GetText())) return;
  path.Assign(sandbox::Confine(path.GetText()).c_str(), 0);
}

void OpDirectoryQueries(World&, PathSlot& slot) {
  const sandbox::Visit visit;
  report::CurrentOperation() = "IsDirectory/HasSubdirectories/HasEntries";
  TestPath& path = *slot.path;
  Confine(path);
  const Before before = Snap(path);
  const std::string& text = before.model.text;
  const bool directory = before.model.has && IsDirectoryOnDisk(text);
  Require(path.IsDirectory() == (directory ? 16 : 0), "IsDirectory");
  const bool fits = text.size() + (!text.empty() && text.back() == '\\' ? 1 : 2) < 260;
  const int subdirectories = path.HasSubdirectories();
  const int entries = path.HasEntries();
  Require(
      subdirectories == (directory && fits && !oracle::IsBlank(text) && Lists(text, true) ? 1 : 0),
      "HasSubdirectories");
  Require(entries == (directory && fits && Lists(text, false) ? 1 : 0), "HasEntries");
  ExpectUnchanged(path, before, "the directory queries");
  Require(Peek::LastError(path) == before.lastError && Peek::ErrorCode(path) == before.errorCode,
          "the directory listings record nothing");
}

void OpCanEnterDirectory(World&, PathSlot& slot) {
  const sandbox::Visit visit;
  report::CurrentOperation() = "CanEnterDirectory";
  TestPath& path = *slot.path;
  Confine(path);
  const Before before = Snap(path);
  char here[4096];
  Require(getcwd(here, sizeof here) != nullptr, "the fuzzer knows its directory");
  const int result = path.CanEnterDirectory();
  char after[4096];
  Require(getcwd(after, sizeof after) != nullptr && std::strcmp(here, after) == 0,
          "the current directory is the same afterwards");
  ExpectUnchanged(path, before, "CanEnterDirectory");
  const bool blank = !before.model.has || oracle::IsBlank(before.model.text);
  const bool directory = !blank && IsDirectoryOnDisk(before.model.text);
  Require(result == (directory ? 1 : 0), "CanEnterDirectory");
  if (result == 1 || blank) {
    Require(Peek::LastError(path) == before.lastError && Peek::ErrorCode(path) == before.errorCode,
            "the error record stays");
  } else {
    Require(Peek::ErrorCode(path) == PathString::kErrorEnterDirectory && Peek::LastError(path) != 0,
            "a failed change of directory is recorded");
  }
}

void OpCheckFile(Input& in, World& w, PathSlot& slot, bool withName) {
  const sandbox::Visit visit;
  report::CurrentOperation() = withName ? "CheckFile(name, disposition)" : "CheckFile(disposition)";
  TestPath& path = *slot.path;
  static const int kDispositions[] = {3, 3, 3, 1, 2, 4, 5, 0, 6, -1};
  const int disposition = kDispositions[in.Pick(10)];
  Confine(path);
  TextArg name;
  if (withName) name = Text(in, w, path);
  if (name.ptr != nullptr && !sandbox::IsConfined(name.value)) {
    name = Literal(w, sandbox::Confine(name.value));
  }
  const Before before = Snap(path);
  Buffer candidate = before.model;
  candidate.AppendComponent(name.get());
  if (!sandbox::IsConfined(candidate.text)) return;
  const bool blank = oracle::IsBlank(candidate.text);
  const bool directory = !blank && IsDirectoryOnDisk(candidate.text);
  const bool file = !blank && IsFileOnDisk(candidate.text);

  const int result = withName ? path.CheckFile(name.ptr, disposition) : path.CheckFile(disposition);
  if (disposition != 3) sandbox::NoteCreation();

  ExpectUnchanged(path, before, "CheckFile");
  const uint32_t lastError = Peek::LastError(path);
  const int32_t errorCode = Peek::ErrorCode(path);
  if (!before.model.has) {
    Require(result == 0 && lastError == before.lastError && errorCode == before.errorCode,
            "CheckFile on a path without text");
  } else if (blank) {
    Require(result == 0 && lastError == 109 && errorCode == PathString::kErrorBlankPath,
            "CheckFile on a blank path");
  } else if (directory) {
    Require(result == 0 && lastError == 0 && errorCode == before.errorCode,
            "CheckFile on a directory");
  } else if (lastError == 0) {
    Require(result == 1 && errorCode == before.errorCode, "CheckFile that opened");
  } else {
    const bool there = lastError == 5 || lastError == 32 || lastError == 33 || lastError == 80;
    Require(errorCode == PathString::kErrorOpenFailed && result == (there ? 1 : 0),
            "CheckFile whose open failed");
  }
  // Opening an existing file is the one thing disposition 3 does.
  if (disposition == 3 && result != (file ? 1 : 0)) {
    Fail("CheckFile(" + Show(candidate.text) + ", 3) gave " + std::to_string(result) +
         " with lastError " + std::to_string(lastError) + " for " +
         (file ? "an existing file" : "nothing there"));
  }
}

// ---- The world's life ----

std::unique_ptr<TestPath> NewPath(const TextArg& text, unsigned minSize) {
  return std::make_unique<TestPath>(text.ptr, minSize);
}

void ExpectConstructed(const TextString& s, const TextArg& text, unsigned minSize) {
  report::CurrentOperation() = "the constructor";
  Require(s.GetText() != nullptr, "a constructed string has a buffer");
  if (text.ptr == nullptr) {
    ExpectText(s, "", "constructed from null");
    Require(s.GetCapacity() == 260, "constructed from null: capacity 260");
    return;
  }
  ExpectText(s, text.value, "constructed");
  const uint64_t length = text.value.size();
  if (minSize != 0xFFFFFFFFu) {
    const uint64_t need = minSize < length ? length + 1 : minSize;
    Require(s.GetCapacity() == need, "constructed: the capacity of Assign");
  }
  Require(Peek::LastError(s) == 0 && Peek::ErrorCode(s) == 0, "constructed: no error recorded");
}

void ExpectNewPath(const TestPath& path) {
  ExpectText(path.Display(), "", "a new path's displayText");
  Require(path.Display().GetCapacity() == 260, "a new path's displayText has capacity 260");
  for (int i = 0; i < TestPath::kCacheCount; ++i) {
    Require(path.Cache(i) == nullptr, "a new path has no caches");
  }
}

// Destroys one of the world's strings through the root class and builds a
// new one, possibly from the old one's text.
void OpRecreate(Input& in, World& w) {
  const unsigned which = in.Pick(3);
  const TextString& old = which == 0 ? *w.t : (which == 1 ? *w.p.path : *w.q.path);
  const TextArg text = Text(in, w, old);
  const unsigned minSize = AllocationSize(in, old);
  if (which == 0) {
    std::unique_ptr<TextString> made(new TextString(text.ptr, minSize));
    ExpectConstructed(*made, text, minSize);
    ObjectBase* root = w.t.release();
    delete root;
    w.t = std::move(made);
    return;
  }
  PathSlot& slot = which == 1 ? w.p : w.q;
  std::unique_ptr<TestPath> made = NewPath(text, minSize);
  ExpectConstructed(*made, text, minSize);
  ExpectNewPath(*made);
  ObjectBase* root = slot.path.release();
  delete root;
  slot.path = std::move(made);
  for (int i = 0; i <= kHeldDisplay; ++i) Forget(slot, i);
}

// Frees strings that have grown past the limits, so that chains of
// doubling operations stay fast.
void KeepSmall(World& w) {
  for (TextString* s :
       {static_cast<TextString*>(w.t.get()), static_cast<TextString*>(w.p.path.get()),
        static_cast<TextString*>(w.q.path.get())}) {
    if (s->GetCapacity() > 2 * kLongest || s->GetLength() > kLongest) s->Free();
  }
}

enum Operation : unsigned {
  kCompare,
  kAssign,
  kAssignN,
  kClear,
  kGetAt,
  kAssignOperator,
  kAssignOperatorString,
  kAppend,
  kAppendOperator,
  kAppendOperatorString,
  kEqualText,
  kEqualString,
  kUnequalText,
  kUnequalString,
  kQueries,
  kFindIn,
  kFind,
  kEndsWith,
  kIsEqual,
  kClassify,
  kExpandTabs,
  kRemoveWhitespace,
  kTrimLeft,
  kTrimRight,
  kRemove,
  kReplace,
  kReplaceCase,
  kReplaceAll,
  kTrimRightChar,
  kTrimLeftChar,
  kTrimLeftSet,
  kTrimRightSet,
  kFormat,
  kAppendFormat,
  kMakeUpper,
  kMakeLower,
  kUtf8ToAnsi,
  kAnsiToUtf8,
  kIsUtf8,
  kTruncateAt,
  kCount,
  kDecodeEntities,
  kEncodeEntities,
  kEscapeUrlChars,
  kProtectEntities,
  kFree,
  kAnsiRoundTrip,
  kEntityRoundTrip,
  kPoke,
  kRecreate,
  // PathString's own
  kAppendComponent,
  kAddComponent,
  kGetDrive,
  kGetDirectory,
  kGetFileName,
  kGetArguments,
  kExtractDrive,
  kExtractDirectory,
  kExtractFileName,
  kExtractArguments,
  kMakeCommandLine,
  kAppendArgument,
  kAppendBackslash,
  kSetExtension,
  kDoubleBackslashes,
  kSplit,
  kGetQuotedValue,
  kMatchWildcardText,
  kMatchWildcardString,
  kDirectoryQueries,
  kCanEnterDirectory,
  kCheckFile,
  kCheckFileName,
  kAbbreviate,
  kIsDriveRoot,
  kGetError,
  kEnsureEndsWith,
  kOperationCount
};

void Apply(Input& in, World& w, unsigned operation) {
  if (operation < kAppendComponent) {
    TextString& s = TextSubject(in, w);
    switch (operation) {
      case kCompare:
        return OpCompare(in, w, s);
      case kAssign:
        return OpAssign(in, w, s);
      case kAssignN:
        return OpAssignN(in, w, s);
      case kClear:
        return OpClear(w, s);
      case kGetAt:
        return OpGetAt(in, w, s);
      case kAssignOperator:
        return OpOperatorAssign(in, w, s, false);
      case kAssignOperatorString:
        return OpOperatorAssign(in, w, s, true);
      case kAppend:
        return OpAppend(in, w, s, 0);
      case kAppendOperator:
        return OpAppend(in, w, s, 1);
      case kAppendOperatorString:
        return OpAppend(in, w, s, 2);
      case kEqualText:
        return OpEquality(in, w, s, 0);
      case kEqualString:
        return OpEquality(in, w, s, 1);
      case kUnequalText:
        return OpEquality(in, w, s, 2);
      case kUnequalString:
        return OpEquality(in, w, s, 3);
      case kQueries:
        return OpQueries(in, w, s);
      case kFindIn:
        return OpFindIn(in, w, s);
      case kFind:
        return OpFind(in, w, s);
      case kEndsWith:
        return OpEndsWith(in, w, s);
      case kIsEqual:
        return OpIsEqual(in, w, s);
      case kClassify:
        return OpClassify(w, s);
      case kExpandTabs:
        return OpExpandTabs(in, w, s);
      case kRemoveWhitespace:
        return OpRemoveWhitespace(w, s);
      case kTrimLeft:
        return OpTrimLeft(w, s);
      case kTrimRight:
        return OpTrimRight(w, s);
      case kRemove:
        return OpReplace(in, w, s, 0);
      case kReplace:
        return OpReplace(in, w, s, 1);
      case kReplaceCase:
        return OpReplace(in, w, s, 2);
      case kReplaceAll:
        return OpReplace(in, w, s, 3);
      case kTrimRightChar:
        return OpTrimChar(in, w, s, true);
      case kTrimLeftChar:
        return OpTrimChar(in, w, s, false);
      case kTrimLeftSet:
        return OpTrimSet(in, w, s, false);
      case kTrimRightSet:
        return OpTrimSet(in, w, s, true);
      case kFormat:
        return OpFormat(in, w, s, false);
      case kAppendFormat:
        return OpFormat(in, w, s, true);
      case kMakeUpper:
        return OpCase(w, s, true);
      case kMakeLower:
        return OpCase(w, s, false);
      case kUtf8ToAnsi:
        return OpUtf8ToAnsi(w, s);
      case kAnsiToUtf8:
        return OpAnsiToUtf8(w, s);
      case kIsUtf8:
        return OpIsUtf8(in, w, s);
      case kTruncateAt:
        return OpTruncateAt(in, w, s);
      case kCount:
        return OpCount(in, w, s);
      case kDecodeEntities:
        return OpEntities(w, s, 0);
      case kEncodeEntities:
        return OpEntities(w, s, 1);
      case kEscapeUrlChars:
        return OpEntities(w, s, 2);
      case kProtectEntities:
        return OpEntities(w, s, 3);
      case kFree:
        return OpFree(w, s);
      case kAnsiRoundTrip:
        return OpAnsiRoundTrip(w, s);
      case kEntityRoundTrip:
        return OpEntityRoundTrip(w, s);
      case kPoke:
        return OpPoke(in, w, s);
      default:
        return OpRecreate(in, w);
    }
  }
  PathSlot& slot = PathSubject(in, w);
  switch (operation) {
    case kAppendComponent:
      return OpAppendComponent(in, w, slot, false);
    case kAddComponent:
      return OpAppendComponent(in, w, slot, true);
    case kGetDrive:
      return OpGetComponent(in, w, slot, 0);
    case kGetDirectory:
      return OpGetComponent(in, w, slot, 1);
    case kGetFileName:
      return OpGetComponent(in, w, slot, 2);
    case kGetArguments:
      return OpGetComponent(in, w, slot, 3);
    case kExtractDrive:
      return OpExtract(in, w, slot, 0);
    case kExtractDirectory:
      return OpExtract(in, w, slot, 1);
    case kExtractFileName:
      return OpExtract(in, w, slot, 2);
    case kExtractArguments:
      return OpExtract(in, w, slot, 3);
    case kMakeCommandLine:
      return OpMakeCommandLine(in, w, slot);
    case kAppendArgument:
      return OpAppendArgument(in, w, slot);
    case kAppendBackslash:
      return OpEnsureEndsWith(in, w, slot, true);
    case kSetExtension:
      return OpSetExtension(in, w, slot);
    case kDoubleBackslashes:
      return OpDoubleBackslashes(w, slot);
    case kSplit:
      return OpSplit(in, w, slot);
    case kGetQuotedValue:
      return OpGetQuotedValue(in, w, slot);
    case kMatchWildcardText:
      return OpMatchWildcard(in, w, slot, false);
    case kMatchWildcardString:
      return OpMatchWildcard(in, w, slot, true);
    case kDirectoryQueries:
      return OpDirectoryQueries(w, slot);
    case kCanEnterDirectory:
      return OpCanEnterDirectory(w, slot);
    case kCheckFile:
      return OpCheckFile(in, w, slot, false);
    case kCheckFileName:
      return OpCheckFile(in, w, slot, true);
    case kAbbreviate:
      return OpAbbreviate(in, w, slot);
    case kIsDriveRoot:
      return OpIsDriveRoot(w, slot);
    case kGetError:
      return OpGetError(in, w, slot);
    default:
      return OpEnsureEndsWith(in, w, slot, false);
  }
}

// FUZZ_TRACE=1 in the environment prints each operation and its time: for
// finding out what makes a slow input slow.
bool Tracing() {
  static const bool tracing = std::getenv("FUZZ_TRACE") != nullptr;
  return tracing;
}

bool RecordsErrors(unsigned operation) {
  return operation == kCanEnterDirectory || operation == kCheckFile ||
         operation == kCheckFileName || operation == kRecreate;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sandbox::Make();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sandbox::Restore();
  Input in(data, size);
  World w;
  w.t = std::make_unique<TextString>(nullptr, 260);
  w.p.path = std::make_unique<TestPath>(nullptr, 260);
  w.q.path = std::make_unique<TestPath>(nullptr, 260);
  // Then each is built anew from the input's texts and sizes.
  for (int i = 0; i < 3; ++i) OpRecreate(in, w);
  w.arena.clear();
  CheckWorld(w);
  for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) {
    KeepSmall(w);
    const unsigned operation = in.Pick(kOperationCount);
    report::CurrentOperation() = "(an operation that skipped itself)";
    const uint32_t lastErrors[2] = {Peek::LastError(*w.p.path), Peek::LastError(*w.q.path)};
    const int32_t errorCodes[2] = {Peek::ErrorCode(*w.p.path), Peek::ErrorCode(*w.q.path)};
    const auto start = std::chrono::steady_clock::now();
    Apply(in, w, operation);
    if (Tracing()) {
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      std::fprintf(stderr, "%3d %-45s %9.4f s  lengths t %u p %u q %u\n", i,
                   report::CurrentOperation(), took.count(), w.t->GetLength(),
                   w.p.path->GetLength(), w.q.path->GetLength());
    }
    CheckWorld(w);
    if (!RecordsErrors(operation)) {
      report::Require(Peek::LastError(*w.p.path) == lastErrors[0] &&
                          Peek::LastError(*w.q.path) == lastErrors[1] &&
                          Peek::ErrorCode(*w.p.path) == errorCodes[0] &&
                          Peek::ErrorCode(*w.q.path) == errorCodes[1],
                      "only the file queries write the error record");
    }
    w.arena.clear();
    w.fresh.clear();
  }
  return 0;
}
