// Fuzz target: a sequence of operations on TextStrings and PathStrings, each
// checked against the data model and, where the contract gives one, against
// a reference model of its result.
//
// Input format (see Input.h): repeated [operation byte][its arguments]. The
// world holds a TextString `t` and two paths `p` and `q`; each operation
// picks its subject among them, and its text arguments among null, empty,
// short and very long texts, tokens the operations look for, and pointers
// into the buffers of the strings themselves.
//
// The parts: World.h (the strings and the choice of arguments), Checks.h
// (the rules every string keeps), Oracle.h and PathOracle.h (the reference
// models), and the drivers of Operations.h in TextOperations.cpp,
// PathOperations.cpp and FileQueries.cpp. This file numbers the operations,
// dispatches through that numbering and runs the world's life.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "fuzz/Checks.h"
#include "fuzz/Input.h"
#include "fuzz/Operations.h"
#include "fuzz/Oracle.h"
#include "fuzz/PathOracle.h"
#include "fuzz/Peek.h"
#include "fuzz/Report.h"
#include "fuzz/Sandbox.h"
#include "fuzz/World.h"
#include "paths/PathString.h"
#include "strings/TextString.h"

namespace fuzz {
namespace {

constexpr int kMaxOperations = 256;

// ---- The world's life ----

void ExpectConstructed(const TextString& s, const TextArg& text, unsigned minSize) {
  report::CurrentOperation() = "the constructor";
  Require(s.GetText() != nullptr, "a constructed string has a buffer");
  uint64_t capacity = 0;
  const bool known = oracle::ConstructedCapacity(text.get(), minSize, &capacity);
  if (text.ptr == nullptr) {
    ExpectText(s, "", "constructed from null");
    Require(s.GetCapacity() == capacity, "constructed from null: capacity 260");
    return;
  }
  ExpectText(s, text.value, "constructed");
  if (known) Require(s.GetCapacity() == capacity, "constructed: the capacity of Assign");
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
void Recreate(Input& in, World& w) {
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
  std::unique_ptr<TestPath> made = std::make_unique<TestPath>(text.ptr, minSize);
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

// ---- The operations ----

// The operation byte of the input picks one of these. The committed corpus
// depends on this numbering: new operations go at the end, before
// kOperationCount, and none moves (a change of kOperationCount changes what
// every byte picks, which calls for a new corpus).
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

using Driver = void (*)(Input& in, World& w);

// A driver with its subject read first from the input: t, p or q for the
// operations of TextString, p or q for those of PathString. `form` picks
// the operation of a driver that runs several.
template <auto operation, auto... form>
void OnText(Input& in, World& w) {
  operation(in, w, TextSubject(in, w), form...);
}

template <auto operation, auto... form>
void OnPath(Input& in, World& w) {
  operation(in, w, PathSubject(in, w), form...);
}

// Recreate's number lies among those of TextString, so that it reads a
// subject too, and ignores it.
void OnRecreate(Input& in, World& w) {
  TextSubject(in, w);
  Recreate(in, w);
}

struct Entry {
  Operation number;
  Driver drive;
  bool writesErrorRecord = false;  // the file queries and construction may
};
constexpr bool kWritesErrorRecord = true;

constexpr Entry kOperations[] = {
    {kCompare, OnText<OpCompare>},
    {kAssign, OnText<OpAssign>},
    {kAssignN, OnText<OpAssignN>},
    {kClear, OnText<OpClear>},
    {kGetAt, OnText<OpGetAt>},
    {kAssignOperator, OnText<OpOperatorAssign, false>},
    {kAssignOperatorString, OnText<OpOperatorAssign, true>},
    {kAppend, OnText<OpAppend, 0>},
    {kAppendOperator, OnText<OpAppend, 1>},
    {kAppendOperatorString, OnText<OpAppend, 2>},
    {kEqualText, OnText<OpEquality, 0>},
    {kEqualString, OnText<OpEquality, 1>},
    {kUnequalText, OnText<OpEquality, 2>},
    {kUnequalString, OnText<OpEquality, 3>},
    {kQueries, OnText<OpQueries>},
    {kFindIn, OnText<OpFindIn>},
    {kFind, OnText<OpFind>},
    {kEndsWith, OnText<OpEndsWith>},
    {kIsEqual, OnText<OpIsEqual>},
    {kClassify, OnText<OpClassify>},
    {kExpandTabs, OnText<OpExpandTabs>},
    {kRemoveWhitespace, OnText<OpRemoveWhitespace>},
    {kTrimLeft, OnText<OpTrimLeft>},
    {kTrimRight, OnText<OpTrimRight>},
    {kRemove, OnText<OpReplace, 0>},
    {kReplace, OnText<OpReplace, 1>},
    {kReplaceCase, OnText<OpReplace, 2>},
    {kReplaceAll, OnText<OpReplace, 3>},
    {kTrimRightChar, OnText<OpTrimChar, true>},
    {kTrimLeftChar, OnText<OpTrimChar, false>},
    {kTrimLeftSet, OnText<OpTrimSet, false>},
    {kTrimRightSet, OnText<OpTrimSet, true>},
    {kFormat, OnText<OpFormat, false>},
    {kAppendFormat, OnText<OpFormat, true>},
    {kMakeUpper, OnText<OpCase, true>},
    {kMakeLower, OnText<OpCase, false>},
    {kUtf8ToAnsi, OnText<OpUtf8ToAnsi>},
    {kAnsiToUtf8, OnText<OpAnsiToUtf8>},
    {kIsUtf8, OnText<OpIsUtf8>},
    {kTruncateAt, OnText<OpTruncateAt>},
    {kCount, OnText<OpCount>},
    {kDecodeEntities, OnText<OpEntities, 0>},
    {kEncodeEntities, OnText<OpEntities, 1>},
    {kEscapeUrlChars, OnText<OpEntities, 2>},
    {kProtectEntities, OnText<OpEntities, 3>},
    {kFree, OnText<OpFree>},
    {kAnsiRoundTrip, OnText<OpAnsiRoundTrip>},
    {kEntityRoundTrip, OnText<OpEntityRoundTrip>},
    {kPoke, OnText<OpPoke>},
    {kRecreate, OnRecreate, kWritesErrorRecord},
    {kAppendComponent, OnPath<OpAppendComponent, false>},
    {kAddComponent, OnPath<OpAppendComponent, true>},
    {kGetDrive, OnPath<OpGetComponent, oracle::kDrive>},
    {kGetDirectory, OnPath<OpGetComponent, oracle::kDirectory>},
    {kGetFileName, OnPath<OpGetComponent, oracle::kFileName>},
    {kGetArguments, OnPath<OpGetComponent, oracle::kArguments>},
    {kExtractDrive, OnPath<OpExtract, oracle::kDrive>},
    {kExtractDirectory, OnPath<OpExtract, oracle::kDirectory>},
    {kExtractFileName, OnPath<OpExtract, oracle::kFileName>},
    {kExtractArguments, OnPath<OpExtract, oracle::kArguments>},
    {kMakeCommandLine, OnPath<OpMakeCommandLine>},
    {kAppendArgument, OnPath<OpAppendArgument>},
    {kAppendBackslash, OnPath<OpEnsureEndsWith, true>},
    {kSetExtension, OnPath<OpSetExtension>},
    {kDoubleBackslashes, OnPath<OpDoubleBackslashes>},
    {kSplit, OnPath<OpSplit>},
    {kGetQuotedValue, OnPath<OpGetQuotedValue>},
    {kMatchWildcardText, OnPath<OpMatchWildcard, false>},
    {kMatchWildcardString, OnPath<OpMatchWildcard, true>},
    {kDirectoryQueries, OnPath<OpDirectoryQueries>},
    {kCanEnterDirectory, OnPath<OpCanEnterDirectory>, kWritesErrorRecord},
    {kCheckFile, OnPath<OpCheckFile, false>, kWritesErrorRecord},
    {kCheckFileName, OnPath<OpCheckFile, true>, kWritesErrorRecord},
    {kAbbreviate, OnPath<OpAbbreviate>},
    {kIsDriveRoot, OnPath<OpIsDriveRoot>},
    {kGetError, OnPath<OpGetError>},
    {kEnsureEndsWith, OnPath<OpEnsureEndsWith, false>},
};

// Every operation once, at the index of its number.
constexpr bool InNumberOrder() {
  for (unsigned i = 0; i < kOperationCount; ++i) {
    if (kOperations[i].number != i) return false;
  }
  return true;
}
static_assert(sizeof kOperations / sizeof kOperations[0] == kOperationCount && InNumberOrder(),
              "kOperations lists every operation at the index of its number");

// FUZZ_TRACE=1 in the environment prints each operation and its time: for
// finding out what makes a slow input slow.
bool Tracing() {
  static const bool tracing = std::getenv("FUZZ_TRACE") != nullptr;
  return tracing;
}

void Run(Input& in) {
  World w;
  w.t = std::make_unique<TextString>(nullptr, 260);
  w.p.path = std::make_unique<TestPath>(nullptr, 260);
  w.q.path = std::make_unique<TestPath>(nullptr, 260);
  // Then each is built anew from the input's texts and sizes.
  for (int i = 0; i < 3; ++i) Recreate(in, w);
  w.arena.clear();
  CheckWorld(w);
  for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) {
    KeepSmall(w);
    const Entry& operation = kOperations[in.Pick(kOperationCount)];
    report::CurrentOperation() = "(an operation that skipped itself)";
    const uint32_t lastErrors[2] = {Peek::LastError(*w.p.path), Peek::LastError(*w.q.path)};
    const int32_t errorCodes[2] = {Peek::ErrorCode(*w.p.path), Peek::ErrorCode(*w.q.path)};
    const auto start = std::chrono::steady_clock::now();
    operation.drive(in, w);
    if (Tracing()) {
      const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
      std::fprintf(stderr, "%3d %-45s %9.4f s  lengths t %u p %u q %u\n", i,
                   report::CurrentOperation(), took.count(), w.t->GetLength(),
                   w.p.path->GetLength(), w.q.path->GetLength());
    }
    CheckWorld(w);
    if (!operation.writesErrorRecord) {
      Require(Peek::LastError(*w.p.path) == lastErrors[0] &&
                  Peek::LastError(*w.q.path) == lastErrors[1] &&
                  Peek::ErrorCode(*w.p.path) == errorCodes[0] &&
                  Peek::ErrorCode(*w.q.path) == errorCodes[1],
              "only the file queries write the error record");
    }
    w.arena.clear();
    w.fresh.clear();
  }
}

}  // namespace
}  // namespace fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  sandbox::Make();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  sandbox::Restore();
  Input in(data, size);
  fuzz::Run(in);
  return 0;
}
