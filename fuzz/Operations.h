#ifndef FUZZ_OPERATIONS_H_
#define FUZZ_OPERATIONS_H_

#include "fuzz/Input.h"
#include "fuzz/World.h"
#include "strings/TextString.h"

// The drivers of the string_operations fuzzer: each takes its arguments from
// the input (World.h), runs one operation on its subject and holds the
// result to the oracle (Checks.h). StringOperationsFuzzer.cpp numbers them
// and reads the subject before the driver runs.
namespace fuzz {

// The two signatures of a driver, by its subject. A driver of several
// operations takes the one it runs as a further argument.
using TextDriver = void(Input& in, World& w, TextString& s);
using PathDriver = void(Input& in, World& w, PathSlot& slot);

// ---- TextString, in TextOperations.cpp ----

// Storage; OpPoke writes into the buffer through GetText, as another part
// of a program may.
TextDriver OpAssign, OpAssignN, OpClear, OpFree, OpGetAt, OpTruncateAt, OpPoke;
void OpOperatorAssign(Input& in, World& w, TextString& s, bool fromString);
// form: 0 Append, 1 operator+=(char*), 2 operator+=(TextString).
void OpAppend(Input& in, World& w, TextString& s, int form);

// Comparison, search and the tests of the text. OpQueries: GetText,
// LengthOf, GetLength, GetCapacity, HasSpace and IsBlank; OpClassify:
// IsComment, IsHexNumber, IsNumber and IsBreakOnly.
TextDriver OpCompare, OpQueries, OpFindIn, OpFind, OpEndsWith, OpIsEqual, OpCount, OpClassify,
    OpIsUtf8;
// form: 0 ==(char*), 1 ==(TextString), 2 !=(char*), 3 !=(TextString).
void OpEquality(Input& in, World& w, TextString& s, int form);

// Edits.
TextDriver OpExpandTabs, OpRemoveWhitespace, OpTrimLeft, OpTrimRight;
// form: 0 Remove, 1 Replace, 2 ReplaceCase, 3 ReplaceAll.
void OpReplace(Input& in, World& w, TextString& s, int form);
void OpTrimChar(Input& in, World& w, TextString& s, bool right);
void OpTrimSet(Input& in, World& w, TextString& s, bool right);
void OpCase(Input& in, World& w, TextString& s, bool upper);
void OpFormat(Input& in, World& w, TextString& s, bool append);

// Encodings and entities, and two round trips through them.
TextDriver OpUtf8ToAnsi, OpAnsiToUtf8, OpAnsiRoundTrip, OpEntityRoundTrip;
// form: 0 DecodeEntities, 1 EncodeEntities, 2 EscapeUrlChars, 3 ProtectEntities.
void OpEntities(Input& in, World& w, TextString& s, int form);

// ---- PathString's own, in PathOperations.cpp ----

PathDriver OpMakeCommandLine, OpAppendArgument, OpSetExtension, OpDoubleBackslashes, OpSplit,
    OpGetQuotedValue, OpAbbreviate, OpIsDriveRoot, OpGetError;
void OpAppendComponent(Input& in, World& w, PathSlot& slot, bool add);
void OpEnsureEndsWith(Input& in, World& w, PathSlot& slot, bool backslash);
void OpMatchWildcard(Input& in, World& w, PathSlot& slot, bool fromString);
// which: an oracle::Component.
void OpGetComponent(Input& in, World& w, PathSlot& slot, int which);
void OpExtract(Input& in, World& w, PathSlot& slot, int which);

// ---- File-system queries, in FileQueries.cpp ----
// They run inside the scratch directory (Sandbox.h), on the path's text
// made safe for it first. OpDirectoryQueries: IsDirectory,
// HasSubdirectories and HasEntries.

PathDriver OpDirectoryQueries, OpCanEnterDirectory;
void OpCheckFile(Input& in, World& w, PathSlot& slot, bool withName);

}  // namespace fuzz

#endif  // FUZZ_OPERATIONS_H_
