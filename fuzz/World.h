#ifndef FUZZ_WORLD_H_
#define FUZZ_WORLD_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/Input.h"
#include "fuzz/Oracle.h"
#include "fuzz/Peek.h"
#include "strings/TextString.h"

// The strings that one input of the string_operations fuzzer works on, and
// how an operation takes its subject and its arguments from the input. Each
// choice reads the input in a fixed order, so that an input keeps driving
// the same operations with the same arguments: the committed corpus depends
// on it.
namespace fuzz {

// Limits that keep one input fast and its memory small. A string longer
// than kLongest is freed before the next operation, and an operation whose
// result would pass kLargestResult is skipped: the library would build it
// faithfully, and it would only cost time.
constexpr size_t kLongest = 1 << 20;
constexpr uint64_t kLargestResult = 16u << 20;
constexpr size_t kLongText = 70000;

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

// A getter's text is no longer promised (Forget), or is promised from now
// on until the same getter runs again (Hold).
void Forget(PathSlot& slot, int held);
void Hold(PathSlot& slot, int held, const char* at);

struct World {
  std::unique_ptr<TextString> t;
  PathSlot p;
  PathSlot q;
  ObjectBase plain;                                // an object that is not a string, for Compare
  std::vector<std::unique_ptr<char[]>> arena;      // argument texts of one operation
  std::vector<std::unique_ptr<TextString>> fresh;  // strings made for one operation
};

// ---- Subjects ----

// t, p or q.
TextString& TextSubject(Input& in, World& w);
// p or q.
PathSlot& PathSubject(Input& in, World& w);

// Another string to read from or write into: any of the world's, the
// subject itself, a fresh one built from the input, or (with allowNull)
// none.
TextString* OtherString(Input& in, World& w, TextString* self, bool allowNull);

// ---- Arguments ----

struct TextArg {
  const char* ptr = nullptr;
  std::string value;  // its text when the operation starts
  oracle::Arg get() const { return ptr != nullptr ? &value : nullptr; }
};

// A heap copy of exactly the text and its terminator, so that any read past
// the terminator is an AddressSanitizer finding.
TextArg Literal(World& w, std::string text);

// The text of a string, as an argument: its own buffer, or null.
TextArg TextOf(const TextString& s);

// A text argument: null, empty, short, a token the operations look for, a
// run of up to kLongText bytes, a length at the edge of a work area, or a
// pointer into the buffer of `self` or of any string of the world.
TextArg Text(Input& in, World& w, const TextString& self);

// Sizes and indexes near the capacity, the length, the edges of the fixed
// work areas and of 32 bits.
uint32_t Size(Input& in, const TextString& s);

// A size that becomes a buffer: anything that would make gigabytes is
// turned into the one value that must change nothing.
uint32_t AllocationSize(Input& in, const TextString& s);

// A byte to look for: the last of the text, any, or one of those the
// operations treat specially.
char Byte(Input& in, const TextString& s);

// A flag argument: 0, 1, or another value (2, -1, INT_MIN).
int Flag(Input& in);

}  // namespace fuzz

#endif  // FUZZ_WORLD_H_
