// The drivers of PathString's own operations (see Operations.h), on a path
// of the world whose caches and displayText are checked with it.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/Checks.h"
#include "fuzz/Operations.h"
#include "fuzz/Oracle.h"
#include "fuzz/PathOracle.h"
#include "fuzz/Report.h"
#include "paths/PathString.h"

namespace fuzz {

namespace {

// The component operations, in the order of oracle::Component.
struct Component {
  const char* (PathString::*extract)(TextString*);
  const char* (PathString::*get)(int);  // null for GetArguments, which has no in-place form
};

const Component kComponents[] = {
    {&PathString::ExtractDrive, &PathString::GetDrive},
    {&PathString::ExtractDirectory, &PathString::GetDirectory},
    {&PathString::ExtractFileName, &PathString::GetFileName},
    {&PathString::ExtractArguments, nullptr},
};

// MakeCommandLine and AppendArgument: a text, and whether to quote it.
void CheckQuotedText(Input& in, World& w, PathSlot& slot, const char* name,
                     void (Buffer::*model)(oracle::Arg, int),
                     const char* (PathString::*operation)(const char*, int)) {
  report::CurrentOperation() = name;
  TestPath& path = *slot.path;
  const TextArg text = Text(in, w, path);
  const int quote = Flag(in);
  CheckEdit(
      path, name, [&](Buffer& want) { (want.*model)(text.get(), quote); },
      [&] { return (path.*operation)(text.ptr, quote); });
}

}  // namespace

// ---- Putting a path together ----

void OpAppendComponent(Input& in, World& w, PathSlot& slot, bool add) {
  report::CurrentOperation() = add ? "AddComponent" : "AppendComponent";
  TestPath& path = *slot.path;
  const TextArg name = Text(in, w, path);
  CheckEdit(
      path, report::CurrentOperation(), [&](Buffer& want) { want.AppendComponent(name.get()); },
      [&] { return add ? path.AddComponent(name.ptr) : path.AppendComponent(name.ptr); });
}

void OpMakeCommandLine(Input& in, World& w, PathSlot& slot) {
  CheckQuotedText(in, w, slot, "MakeCommandLine", &Buffer::MakeCommandLine,
                  &PathString::MakeCommandLine);
}

void OpAppendArgument(Input& in, World& w, PathSlot& slot) {
  CheckQuotedText(in, w, slot, "AppendArgument", &Buffer::AppendArgument,
                  &PathString::AppendArgument);
}

void OpEnsureEndsWith(Input& in, World&, PathSlot& slot, bool backslash) {
  report::CurrentOperation() = backslash ? "AppendBackslash" : "EnsureEndsWith";
  TestPath& path = *slot.path;
  const char c = backslash ? '\\' : Byte(in, path);
  CheckEdit(
      path, report::CurrentOperation(), [&](Buffer& want) { want.EnsureEndsWith(c); },
      [&] { return backslash ? path.AppendBackslash() : path.EnsureEndsWith(c); });
}

void OpSetExtension(Input& in, World& w, PathSlot& slot) {
  report::CurrentOperation() = "SetExtension";
  TestPath& path = *slot.path;
  const TextArg extension = Text(in, w, path);
  const Before before = Snap(path);
  Buffer want = before.model;
  const bool changes = want.SetExtension(extension.get());
  const char* result = path.SetExtension(extension.ptr);
  Require(result == (changes ? path.GetText() : nullptr), "SetExtension's result");
  Expect(path, want, before.ptr, "SetExtension");
}

void OpDoubleBackslashes(Input&, World&, PathSlot& slot) {
  CheckPlainEdit<PathString>(*slot.path, "DoubleBackslashes", &Buffer::DoubleBackslashes,
                             &PathString::DoubleBackslashes);
}

// ---- Taking a path apart ----

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
  const oracle::Extracted expected = oracle::Extract(which, &wantPath,
                                                     out == nullptr ? nullptr
                                                     : outIsPath    ? &wantPath
                                                                    : &wantOut);
  const char* result = (path.*kComponents[which].extract)(out);
  if (expected == oracle::kNoComponent) {
    Require(result == nullptr, "no component gives null");
  } else if (expected == oracle::kOutText) {
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
  const bool arguments = which == oracle::kArguments;
  const int inPlace = arguments ? 0 : Flag(in);
  const Before before = Snap(path);
  Buffer wantPath = before.model;
  Buffer cache;
  const oracle::Extracted expected =
      before.model.has ? oracle::Extract(which, &wantPath, inPlace != 0 ? nullptr : &cache)
                       : oracle::kNoComponent;
  Forget(slot, which);
  const char* result = arguments ? path.GetArguments() : (path.*kComponents[which].get)(inPlace);
  if (!before.model.has) {
    Require(result == nullptr, "a getter on a path without text gives null");
  } else if (inPlace != 0) {
    Require(result == (expected == oracle::kNoComponent ? nullptr : path.GetText()),
            "an in-place getter's result");
  } else {
    // The cache holds the component, the whole text when that is the
    // component, or the empty text when there is none.
    const TextString* own = path.Cache(which);
    Require(own != nullptr && result == own->GetText(), "a getter returns its cache's text");
    ExpectText(*own,
               expected == oracle::kOutText    ? cache.text
               : expected == oracle::kPathText ? before.model.text
                                               : "",
               kNames[which]);
    Hold(slot, which, result);
  }
  Expect(path, wantPath, before.ptr, kNames[which]);
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
  Buffer* wanted[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (outputs[i] == nullptr) continue;
    outBefore[i] = Snap(*outputs[i]);
    want[i] = outBefore[i].model;
    wanted[i] = &want[i];
  }
  oracle::Split(before.model, wanted);
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

// ---- Queries of the text ----

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
  const oracle::QuotedValue expected = oracle::GetQuotedValue(before.model, key.get());
  const bool keyHasQuote = key.value.find('"') != std::string::npos;
  const int result = path.GetQuotedValue(key.ptr, out, outSize);
  Require(result == expected.result, "GetQuotedValue's result");
  if (outKind == 1) return;  // written into the path: the data model checks suffice
  ExpectUnchanged(path, before, "GetQuotedValue");
  if (out == nullptr || keyHasQuote) return;
  if (!expected.copies || outSize <= 0 || expected.result == 0) {
    Require(std::memcmp(out, canary.data(), canary.size()) == 0, "out stays untouched");
    return;
  }
  const std::string wanted = oracle::QuotedValueOut(expected.value, outSize);
  if (std::memcmp(out, wanted.data(), wanted.size()) != 0) {
    Fail("out holds " + Show(std::string(out, out + outSize)) + ", expected " + Show(wanted));
  }
}

void OpMatchWildcard(Input& in, World& w, PathSlot& slot, bool fromString) {
  report::CurrentOperation() = fromString ? "MatchWildcard(TextString)" : "MatchWildcard(char*)";
  TestPath& path = *slot.path;
  const TextString* patternString = fromString ? OtherString(in, w, &path, false) : nullptr;
  const TextArg pattern = fromString ? TextOf(*patternString) : Text(in, w, path);
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
  const oracle::Abbreviation expected = oracle::Abbreviate(before.model.text, maxLength);
  Forget(slot, kHeldDisplay);
  const char* result = path.Abbreviate(maxLength);
  switch (expected.kind) {
    case oracle::Abbreviation::kWhole:
      Require(result == before.ptr, "a short path is its own abbreviation");
      ExpectUnchanged(path, before, "Abbreviate");
      ExpectUnchanged(path.Display(), display, "displayText");
      return;
    case oracle::Abbreviation::kCutFileName: {
      Buffer want = before.model;
      want.Cut(expected.fileName + maxLength);
      Expect(path, want, before.ptr, "Abbreviate cutting the file name");
      Require(result == path.GetText() + expected.fileName, "the result is the cut file name");
      ExpectUnchanged(path.Display(), display, "displayText");
      return;
    }
    case oracle::Abbreviation::kInDisplay:
      Require(result == path.Display().GetText(), "the abbreviation lives in displayText");
      ExpectText(path.Display(), expected.text, "Abbreviate");
      ExpectUnchanged(path, before, "Abbreviate");
      Hold(slot, kHeldDisplay, result);
  }
}

void OpIsDriveRoot(Input&, World&, PathSlot& slot) {
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

}  // namespace fuzz
