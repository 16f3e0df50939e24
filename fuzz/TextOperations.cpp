// The drivers of TextString's operations (see Operations.h). Each reads its
// arguments, snapshots its subject, runs the operation and compares the
// result and the string with the oracle's model.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/Checks.h"
#include "fuzz/FormatArgs.h"
#include "fuzz/Operations.h"
#include "fuzz/Oracle.h"
#include "fuzz/Report.h"
#include "tests/support/LiteralPasses.h"

namespace fuzz {

namespace {

// The text of another string of the world, as an argument.
TextArg OtherText(Input& in, World& w, TextString& s, TextString** other) {
  *other = OtherString(in, w, &s, false);
  return TextOf(**other);
}

// A query of a text and a case flag (IsEqual, Count), whose answer the
// oracle gives. Returns the string as the query found it.
Before CheckTextQuery(Input& in, World& w, TextString& s, const char* name,
                      int (*model)(const Buffer&, oracle::Arg, bool),
                      int (TextString::*query)(const char*, int) const) {
  report::CurrentOperation() = name;
  const TextArg text = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const Before before = Snap(s);
  const int expected = model(before.model, text.get(), caseSensitive != 0);
  Require((s.*query)(text.ptr, caseSensitive) == expected, name);
  ExpectUnchanged(s, before, name);
  return before;
}

// The pointer into `text` that an offset of the oracle's stands for.
const char* PointerAt(const char* text, size_t at) {
  return at != std::string::npos ? text + at : nullptr;
}

// Clear and Free, which answer 1.
void CheckEmptying(TextString& s, const char* name, void (Buffer::*model)(),
                   int (TextString::*operation)()) {
  report::CurrentOperation() = name;
  const Before before = Snap(s);
  Buffer want = before.model;
  (want.*model)();
  if ((s.*operation)() != 1) Fail(std::string(name) + " returns 1");
  Expect(s, want, before.ptr, name);
}

}  // namespace

// ---- Storage ----

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
  const TextString* peer = dynamic_cast<const TextString*>(other);
  const Buffer peerModel = peer != nullptr ? Buffer::Of(*peer) : Buffer{};
  const int result = s.Compare(other, byLength);
  const int expected =
      oracle::Compare(before.model, peer != nullptr ? &peerModel : nullptr, byLength);
  if (byLength == 1) {
    Require(result == expected, "Compare by length");
  } else {
    Require((result < 0 ? -1 : (result > 0 ? 1 : 0)) == expected, "Compare by text");
  }
  ExpectUnchanged(s, before, "Compare");
}

void OpAssign(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "Assign";
  const TextArg text = Text(in, w, s);
  const unsigned minSize = AllocationSize(in, s);
  CheckEdit(
      s, "Assign", [&](Buffer& want) { want.Assign(text.get(), minSize); },
      [&] { return s.Assign(text.ptr, minSize); });
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
  // The model reads the copy: the source may lie in the very buffer that
  // AssignN zeroes.
  CheckEdit(
      s, "AssignN",
      [&](Buffer& want) {
        want.AssignN(source != nullptr ? seen.data() : nullptr, seen.size(), count);
      },
      [&] { return s.AssignN(source, count); });
}

void OpClear(Input&, World&, TextString& s) {
  CheckEmptying(s, "Clear", &Buffer::Clear, &TextString::Clear);
}

void OpFree(Input&, World&, TextString& s) {
  CheckEmptying(s, "Free", &Buffer::Free, &TextString::Free);
}

void OpGetAt(Input& in, World&, TextString& s) {
  report::CurrentOperation() = "GetAt";
  const unsigned index = Size(in, s);
  // Any byte of the buffer, stale ones after the terminator included.
  const char* text = Peek::Text(s);
  const char expected = text != nullptr && index <= s.GetCapacity() ? text[index] : '\0';
  Require(s.GetAt(index) == expected, "GetAt");
}

void OpOperatorAssign(Input& in, World& w, TextString& s, bool fromString) {
  report::CurrentOperation() = fromString ? "operator=(TextString)" : "operator=(char*)";
  TextString* other = nullptr;
  const TextArg text = fromString ? OtherText(in, w, s, &other) : Text(in, w, s);
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
  TextString* other = nullptr;
  const TextArg text = form == 2 ? OtherText(in, w, s, &other) : Text(in, w, s);
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

void OpTruncateAt(Input& in, World&, TextString& s) {
  report::CurrentOperation() = "TruncateAt";
  const unsigned index = Size(in, s);
  const Before before = Snap(s);
  Buffer want = before.model;
  const int expected = want.TruncateAt(index);
  Require(s.TruncateAt(index) == expected, "TruncateAt's result");
  Expect(s, want, before.ptr, "TruncateAt");
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

// ---- Comparison, search and the tests of the text ----

void OpEquality(Input& in, World& w, TextString& s, int form) {
  static const char* const kNames[] = {"operator==(char*)", "operator==(TextString)",
                                       "operator!=(char*)", "operator!=(TextString)"};
  report::CurrentOperation() = kNames[form];
  TextString* other = nullptr;
  const TextArg text = form % 2 == 1 ? OtherText(in, w, s, &other) : Text(in, w, s);
  const Before before = Snap(s);
  const int equal = oracle::IsEqual(before.model, text.get(), true);
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
  Require(s.HasSpace() == oracle::HasSpace(before.model), "HasSpace");
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
  Require(result == PointerAt(haystack.ptr,
                              oracle::FindIn(haystack.get(), what.get(), caseSensitive != 0)),
          "FindIn");
  ExpectUnchanged(s, before, "FindIn");
}

void OpFind(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "Find";
  const TextArg what = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const Before before = Snap(s);
  const char* result = s.Find(what.ptr, caseSensitive);
  Require(
      result == PointerAt(before.ptr, oracle::Find(before.model, what.get(), caseSensitive != 0)),
      "Find");
  ExpectUnchanged(s, before, "Find");
}

void OpEndsWith(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "EndsWith";
  const TextArg other = Text(in, w, s);
  const int caseSensitive = Flag(in);
  const int reversed = Flag(in);
  const Before before = Snap(s);
  const int expected =
      oracle::EndsWith(before.model, other.get(), caseSensitive != 0, reversed != 0);
  Require(s.EndsWith(other.ptr, caseSensitive, reversed) == expected, "EndsWith");
  ExpectUnchanged(s, before, "EndsWith");
}

void OpIsEqual(Input& in, World& w, TextString& s) {
  CheckTextQuery(in, w, s, "IsEqual", oracle::IsEqual, &TextString::IsEqual);
}

void OpCount(Input& in, World& w, TextString& s) {
  const Before before = CheckTextQuery(in, w, s, "Count", oracle::Count, &TextString::Count);
  // A one-byte text occurs exactly as often as its byte.
  const char one[2] = {before.model.text.empty() ? 'a' : before.model.text[0], '\0'};
  const long bytes = std::count(before.model.text.begin(), before.model.text.end(), one[0]);
  Require(s.Count(one, 1) == bytes, "Count of a one-byte text is the number of that byte");
  ExpectUnchanged(s, before, "Count");
}

void OpClassify(Input&, World&, TextString& s) {
  report::CurrentOperation() = "IsComment/IsHexNumber/IsNumber/IsBreakOnly";
  const Before before = Snap(s);
  Require(s.IsComment() == oracle::IsComment(before.model), "IsComment");
  Require(s.IsHexNumber() == oracle::IsHexNumber(before.model), "IsHexNumber");
  Require(s.IsNumber() == oracle::IsNumber(before.model), "IsNumber");
  Require(s.IsBreakOnly() == oracle::IsBreakOnly(before.model), "IsBreakOnly");
  ExpectUnchanged(s, before, "the tests of the text");
}

void OpIsUtf8(Input& in, World& w, TextString& s) {
  report::CurrentOperation() = "IsUtf8";
  const TextArg text = Text(in, w, s);
  const Before before = Snap(s);
  const int expected = text.ptr != nullptr ? oracle::IsUtf8(text.value) : 0;
  Require(s.IsUtf8(text.ptr) == expected, "IsUtf8");
  ExpectUnchanged(s, before, "IsUtf8");
}

// ---- Edits ----

void OpExpandTabs(Input& in, World&, TextString& s) {
  report::CurrentOperation() = "ExpandTabs";
  unsigned width = in.Pick(3) == 0 ? Size(in, s) : static_cast<unsigned>(in.Range(0, 16));
  const uint64_t resultSize = oracle::ExpandTabsSize(Buffer::Of(s), width);
  if (resultSize > kLargestResult && resultSize <= UINT32_MAX) width = 1;
  CheckEdit(
      s, "ExpandTabs", [&](Buffer& want) { want.ExpandTabs(width); },
      [&] { return s.ExpandTabs(width); });
}

// An operation defined as a sequence of passes: checked against the model,
// and against the library's own passes run one by one on a twin of the
// string, in every byte of the buffer.
void CheckPassesEdit(TextString& s, const char* name, void (Buffer::*model)(),
                     const char* (TextString::*operation)(), const char* (*sequence)(TextString&)) {
  literal::Twin twin(s);
  const char* result = nullptr;
  CheckPlainEdit(s, name, model, operation, &result);
  const std::string mismatch = twin.Mismatch(s, result, sequence);
  if (!mismatch.empty())
    report::Fail(std::string(name) + " against its passes one by one: " + mismatch);
}

void OpRemoveWhitespace(Input&, World&, TextString& s) {
  CheckPassesEdit(s, "RemoveWhitespace", &Buffer::RemoveWhitespace, &TextString::RemoveWhitespace,
                  literal::RemoveWhitespace);
}

void OpTrimLeft(Input&, World&, TextString& s) {
  CheckPlainEdit(s, "TrimLeft", &Buffer::TrimLeft, &TextString::TrimLeft);
}

void OpTrimRight(Input&, World&, TextString& s) {
  CheckPlainEdit(s, "TrimRight", &Buffer::TrimRight, &TextString::TrimRight);
}

void OpCase(Input&, World&, TextString& s, bool upper) {
  if (upper) {
    CheckPlainEdit(s, "MakeUpper", &Buffer::MakeUpper, &TextString::MakeUpper);
  } else {
    CheckPlainEdit(s, "MakeLower", &Buffer::MakeLower, &TextString::MakeLower);
  }
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
  if (right) {
    CheckEdit(
        s, "TrimRightChar", [&](Buffer& want) { want.TrimRightChar(c, all); },
        [&] { return s.TrimRightChar(c, all); });
  } else {
    CheckEdit(
        s, "TrimLeftChar", [&](Buffer& want) { want.TrimLeftChar(c); },
        [&] { return s.TrimLeftChar(c); });
  }
}

void OpTrimSet(Input& in, World& w, TextString& s, bool right) {
  report::CurrentOperation() = right ? "TrimRightSet" : "TrimLeftSet";
  const TextArg set = Text(in, w, s);
  if (right) {
    CheckEdit(
        s, "TrimRightSet", [&](Buffer& want) { want.TrimRightSet(set.get()); },
        [&] { return s.TrimRightSet(set.ptr); });
  } else {
    CheckEdit(
        s, "TrimLeftSet", [&](Buffer& want) { want.TrimLeftSet(set.get()); },
        [&] { return s.TrimLeftSet(set.ptr); });
  }
}

// ---- Format ----

namespace {

using oracle::FormatArg;
using oracle::kMaxFormatArgs;
using oracle::WithArgs;

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

}  // namespace

// The formats are built from safe conversions only, each matched by an
// argument of its type, so they cannot be string literals.
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wformat-security"
#pragma clang diagnostic ignored "-Wformat-nonliteral"

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
    std::string out;
    Require(oracle::Formatted(format.c_str(), first, end, &out),
            "the fuzzer's own format is valid");
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

// ---- Encodings and entities ----

void OpUtf8ToAnsi(Input&, World&, TextString& s) {
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
  if (oracle::Utf8To1252(before.model.text, &expected)) ExpectText(s, expected, "Utf8ToAnsi");
  Buffer want = before.model;
  want.Assign(&converted, 0);
  Expect(s, want, before.ptr, "Utf8ToAnsi stores with Assign");
}

void OpAnsiToUtf8(Input&, World&, TextString& s) {
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

void OpEntities(Input&, World&, TextString& s, int form) {
  switch (form) {
    case 0:
      return CheckPassesEdit(s, "DecodeEntities", &Buffer::DecodeEntities,
                             &TextString::DecodeEntities, literal::DecodeEntities);
    case 1:
      return CheckPassesEdit(s, "EncodeEntities", &Buffer::EncodeEntities,
                             &TextString::EncodeEntities, literal::EncodeEntities);
    case 2:
      return CheckPlainEdit(s, "EscapeUrlChars", &Buffer::EscapeUrlChars,
                            &TextString::EscapeUrlChars);
    default: {
      report::CurrentOperation() = "ProtectEntities";
      const Before before = Snap(s);
      Buffer want = before.model;
      want.ProtectEntities();
      Require(s.ProtectEntities() == nullptr, "ProtectEntities returns null");
      Expect(s, want, before.ptr, "ProtectEntities");
    }
  }
}

// AnsiToUtf8 then Utf8ToAnsi gives back a Windows-1252 text of printable
// ASCII and bytes from 0xA0 up with at least one of the latter.
void OpAnsiRoundTrip(Input&, World&, TextString& s) {
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
void OpEntityRoundTrip(Input&, World&, TextString& s) {
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

}  // namespace fuzz
