// DecodeEntities, EncodeEntities and ProtectEntities where the library is
// built for speed (TEXTSTRING_SMALL_CODE off). TextStringEntitiesPlain.cpp
// holds the same operations for the size-optimised build; both leave exactly
// what the literal passes would, and the same unit tests hold both.
//
// DecodeEntities and EncodeEntities are defined as sequences of ReplaceCase
// passes, one per reference. No pass can make or break another's matches:
// a reference holds only ASCII, its byte is from 0x80 up, and references are
// delimited by '&' and ';'. So each operation finds the matches of all its
// passes in one scan, plans the buffer the passes would leave (PlanPasses)
// and writes the result once.
#include <cstring>

#include "strings/TextString.h"
#include "strings/internal/Ascii.h"
#include "strings/internal/ByteFinder.h"
#include "strings/internal/EntityTable.h"
#include "strings/internal/PassPlan.h"
#include "strings/internal/TextBuffer.h"

namespace ascii = strings_internal::ascii;
namespace word = strings_internal::ascii::word;
using strings_internal::CloseNumericReference;
using strings_internal::EntityEncodingTable;
using strings_internal::kLongestReference;
using strings_internal::Pass;
using strings_internal::PassOutcome;
using strings_internal::PlanPasses;
using strings_internal::ZeroAfterText;

namespace {

// Moves the `run` bytes at `in` down to `out` (out < in). Runs between
// references are short, and a call per run would cost more than the copy:
// where the writing cannot overtake what is still to be read (`in` is at
// least kStep ahead) and the reading stays inside the text, kStep bytes are
// copied at once, more only for a longer run.
void MoveDown(char* out, const char* in, size_t run, const char* end) {
  constexpr size_t kStep = 8 * sizeof(word::Word);
  if (in - out < static_cast<ptrdiff_t>(kStep) || end - in < static_cast<ptrdiff_t>(run + kStep)) {
    std::memmove(out, in, run);
    return;
  }
  size_t i = 0;
  do {
    word::Word w[8];
    std::memcpy(w, in + i, kStep);
    std::memcpy(out + i, w, kStep);
    i += kStep;
  } while (i < run);
}

// Whether `ampersand` begins "&amp" (ASCII case folded), and "&amp;"
// exactly. Both stop at the terminator.
bool BeginsAmp(const char* ampersand) { return ascii::StartsWithFolded(ampersand, "&amp"); }
bool BeginsExactAmp(const char* ampersand) { return std::strncmp(ampersand, "&amp;", 5) == 0; }

// Places: offsets of ampersands in a text, in increasing order; room grows
// by doubling, from a few on the stack.
class Places {
 public:
  Places() = default;
  Places(const Places&) = delete;
  Places& operator=(const Places&) = delete;
  ~Places() {
    if (places_ != first_) strings_internal::DeleteTextBuffer(reinterpret_cast<char*>(places_));
  }

  // Room: room for `more` places after the last; returns where the next
  // goes. Commit then adds those before `tail`: writing a place and moving
  // the tail only when it counts lets the caller do without a branch.
  uint32_t* Room(size_t more) {
    while (capacity_ - count_ < more) Grow();
    return places_ + count_;
  }
  void Commit(const uint32_t* tail) { count_ = static_cast<size_t>(tail - places_); }

  const uint32_t* begin() const { return places_; }
  const uint32_t* end() const { return places_ + count_; }
  size_t size() const { return count_; }

 private:
  void Grow() {
    uint32_t* grown = reinterpret_cast<uint32_t*>(
        strings_internal::NewTextBuffer(2 * capacity_ * sizeof(uint32_t)));
    std::memcpy(grown, places_, count_ * sizeof(uint32_t));
    if (places_ != first_) strings_internal::DeleteTextBuffer(reinterpret_cast<char*>(places_));
    places_ = grown;
    capacity_ *= 2;
  }

  uint32_t first_[64];
  uint32_t* places_ = first_;
  size_t count_ = 0;
  size_t capacity_ = 64;
};

// The text is searched for ampersands this many bytes at a time, so that
// their offsets stay in the first-level cache until they are used.
constexpr size_t kWindow = 1024;

// Adds the places of the ampersands in [text, end) to `places`.
void FindAmpersands(const char* text, const char* end, Places* places) {
  for (const char* window = text; window != end;) {
    const char* stop = static_cast<size_t>(end - window) > kWindow ? window + kWindow : end;
    uint32_t* room = places->Room(kWindow + strings_internal::kByteOffsetsSlack);
    places->Commit(room + strings_internal::FindByteOffsets(text, window, stop, '&', room));
    window = stop;
  }
}

// Decodes the ampersands at the `count` offsets from `text`, each followed
// by the bytes up to the next offset (offsets[count] ends the last run), in
// place: `out`, at most the first ampersand, is where the first one's byte
// goes. Adds the places of the ampersands that stay to `staying`; returns
// the end of what was written.
char* DecodeAt(char* text, const char* end, const uint32_t* offsets, size_t count, char* out,
               Places* staying) {
  const auto& index = strings_internal::EntityReferenceIndex;
  constexpr ptrdiff_t kStep = 8 * sizeof(word::Word);
  uint32_t* stays = staying->Room(count);
  for (size_t i = 0; i < count; ++i) {
    // No branch on what the ampersand begins (ReferenceRowOf does without
    // one where the text allows), and a run, most being shorter than a
    // step, is one copy of a step where that stays apart and inside.
    const char* ampersand = text + offsets[i];
    const unsigned row = strings_internal::ReferenceRowOf(ampersand, end);
    const unsigned stay = row == 0 ? 1 : 0;
    *stays = static_cast<uint32_t>(out - text);
    stays += stay;
    *out++ = index.bytes[row];
    const char* from = ampersand + index.lengths[row] + stay;
    const size_t run = static_cast<size_t>(text + offsets[i + 1] - from);
    if (from - out >= kStep && run <= static_cast<size_t>(kStep) && end - from >= kStep) {
      std::memcpy(out, from, kStep);
    } else {
      MoveDown(out, from, run, end);
    }
    out += run;
  }
  staying->Commit(stays);
  return out;
}

// Decodes the table's references in [text, end), in place: the result is
// never longer. Adds the places of the ampersands that stay to `staying`.
// Returns the end of the result.
char* DecodeTableReferences(char* text, char* end, Places* staying) {
  // offsets[0, waiting) are ampersands found and not yet decoded: the run
  // after the last of them ends at an ampersand of a later window.
  uint32_t offsets[1 + kWindow + strings_internal::kByteOffsetsSlack];
  size_t waiting = 0;
  char* out = nullptr;  // null until the first ampersand: nothing before it moves
  for (const char* window = text;; window += kWindow) {
    const bool last = static_cast<size_t>(end - window) <= kWindow;
    waiting += strings_internal::FindByteOffsets(text, window, last ? end : window + kWindow, '&',
                                                 offsets + waiting);
    if (waiting == 0) {
      if (last) return end;
      continue;
    }
    if (out == nullptr) out = text + offsets[0];
    if (last) {
      offsets[waiting] = static_cast<uint32_t>(end - text);
      return DecodeAt(text, end, offsets, waiting, out, staying);
    }
    out = DecodeAt(text, end, offsets, waiting - 1, out, staying);
    offsets[0] = offsets[waiting - 1];
    waiting = 1;
  }
}

// The first ';' at or after `p`, or `end`.
char* FindSemicolon(char* p, const char* end) {
  void* found = std::memchr(p, ';', static_cast<size_t>(end - p));
  return found != nullptr ? static_cast<char*>(found) : const_cast<char*>(end);
}

// What protecting semicolons and collapsing "&amp;" need to know of the
// ampersands of a text.
struct Ampersands {
  Places all;
  Places numeric;    // those that begin "&#"
  Places exactAmps;  // those that begin "&amp;"
  size_t amps = 0;   // those that begin "&amp", case folded
};

// Fills in the rest of `ampersands` from `all`.
void Classify(const char* text, Ampersands* ampersands) {
  const size_t count = ampersands->all.size();
  uint32_t* numeric = ampersands->numeric.Room(count);
  uint32_t* exactAmps = ampersands->exactAmps.Room(count);
  size_t amps = 0;
  for (uint32_t place : ampersands->all) {
    const char* ampersand = text + place;
    *numeric = place;
    numeric += ampersand[1] == '#' ? 1 : 0;  // the terminator at the latest
    *exactAmps = place;
    exactAmps += BeginsExactAmp(ampersand) ? 1 : 0;
    amps += BeginsAmp(ampersand) ? 1 : 0;
  }
  ampersands->numeric.Commit(numeric);
  ampersands->exactAmps.Commit(exactAmps);
  ampersands->amps = amps;
}

// ProtectEntities on a text whose ampersands are all in `ampersands`.
void ProtectAt(char* text, const char* end, const Ampersands& ampersands) {
  for (uint32_t place : ampersands.numeric) CloseNumericReference(text + place);
  // Each search for a ';' starts after the last one found, so the searches
  // together cover the text at most once.
  const char* position = text;
  for (uint32_t place : ampersands.all) {
    char* ampersand = text + place;
    if (ampersand < position) continue;
    if (BeginsAmp(ampersand) && ampersand[4] == ';') {
      position = ampersand + 1;
      continue;
    }
    char* semicolon = FindSemicolon(ampersand, end);
    if (semicolon == end) return;
    *semicolon = ',';
    position = semicolon;
  }
}

// The last pass: every "&amp;" (exact) becomes '&', in place. `exactAmps`
// holds the places of every "&amp;" the text had before its semicolons were
// protected, which can only have turned some of them into "&amp,". Returns
// the end of the text and counts the replacements.
char* CollapseAmpersands(char* text, char* end, const Places& exactAmps, uint64_t* matches) {
  char* out = nullptr;  // null until the first match: nothing before it moves
  const char* from = text;
  for (uint32_t place : exactAmps) {
    const char* after = text + place + 1;
    if (after[3] != ';') continue;
    const size_t run = static_cast<size_t>(after - from);
    if (out == nullptr) {
      out = const_cast<char*>(after);
    } else {
      MoveDown(out, from, run, end);
      out += run;
    }
    from = after + 4;
    ++*matches;
  }
  if (out == nullptr) return end;
  const size_t rest = static_cast<size_t>(end - from);
  std::memmove(out, from, rest);
  return out + rest;
}

// The length of what EncodeEntities makes of [in, end). Four sums, so that
// the additions need not wait for one another.
uint64_t EncodedLength(const unsigned char* in, const unsigned char* end) {
  const uint8_t* const lengths = EntityEncodingTable.lengths;
  uint64_t sums[4] = {0, 0, 0, 0};
  for (; end - in >= 4; in += 4) {
    for (int i = 0; i < 4; ++i) sums[i] += lengths[in[i]];
  }
  for (; in != end; ++in) sums[0] += lengths[*in];
  return sums[0] + sums[1] + sums[2] + sums[3];
}

// Every byte as EncodeEntities writes it, padded with zeroes to
// kLongestReference bytes: 2 KiB, so made on the stack for long texts only
// rather than carried in the program.
struct WrittenBytes {
  WrittenBytes() {
    const auto& table = EntityEncodingTable;
    for (unsigned byte = 0; byte < 256; ++byte) {
      const unsigned row = table.rowOf[byte];
      std::memcpy(bytes[byte], table.references[row], kLongestReference);
      if (row == 0) bytes[byte][0] = static_cast<char>(byte);
    }
  }
  char bytes[256][kLongestReference];
};

// Writes what EncodeEntities makes of [in, end) at `out`, exactly: no byte
// after the result is touched. Returns the end of what was written.
char* EncodeBytesExactly(const unsigned char* in, const unsigned char* end, char* out) {
  const auto& table = EntityEncodingTable;
  for (; in != end; ++in) {
    const unsigned row = table.rowOf[*in];
    if (row == 0) {
      *out++ = static_cast<char>(*in);
      continue;
    }
    std::memcpy(out, table.references[row], table.lengths[*in]);
    out += table.lengths[*in];
  }
  return out;
}

// Texts from this length on are written through WrittenBytes, as kParts
// parts at once.
constexpr size_t kShortestWrittenThroughTable = 1024;
constexpr int kParts = 4;

// EncodedParts: a text cut into parts (kParts when it is long enough, else
// one; the last takes the rest), and where what each becomes begins in the
// result.
struct EncodedParts {
  int count = 1;
  size_t partLength = 0;             // of each part but the last
  uint64_t begins[kParts + 1] = {};  // begins[count]: the result's length
};

EncodedParts MeasureEncoding(const unsigned char* in, const unsigned char* end) {
  EncodedParts parts;
  const size_t length = static_cast<size_t>(end - in);
  parts.count = length >= kShortestWrittenThroughTable ? kParts : 1;
  parts.partLength = length / static_cast<size_t>(parts.count);
  for (int part = 0; part < parts.count; ++part) {
    const unsigned char* from = in + part * parts.partLength;
    const unsigned char* stop = part == parts.count - 1 ? end : from + parts.partLength;
    parts.begins[part + 1] = parts.begins[part] + EncodedLength(from, stop);
  }
  return parts;
}

// Writes what EncodeEntities makes of [in, end), measured as `parts`, at
// `out`. Every byte takes one copy of kLongestReference bytes, padding
// included: no branch on the byte, which a reference every few bytes would
// keep mispredicting. Where a byte goes depends on every byte before it, so
// the parts are written side by side, each into its own part of the
// result: their chains of additions do not wait for one another. A padded
// copy stays inside its part while seven bytes of the part follow; the last
// seven of each are written exactly.
char* EncodeBytes(const unsigned char* in, const unsigned char* end, const EncodedParts& parts,
                  char* out) {
  if (parts.count == 1) return EncodeBytesExactly(in, end, out);
  const uint8_t* const lengths = EntityEncodingTable.lengths;
  const WrittenBytes written;
  // Each part's place in the text and in the result, held in variables of
  // their own rather than in arrays, so that they stay in registers.
  static_assert(kParts == 4, "one variable pair per part");
  const size_t partLength = parts.partLength;
  const unsigned char *from0 = in, *from1 = in + partLength, *from2 = in + 2 * partLength,
                      *from3 = in + 3 * partLength;
  char *to0 = out, *to1 = out + parts.begins[1], *to2 = out + parts.begins[2],
       *to3 = out + parts.begins[3];
  auto write = [&](const unsigned char*& part, char*& place) {
    const unsigned char byte = *part++;
    std::memcpy(place, written.bytes[byte], kLongestReference);
    place += lengths[byte];
  };
  constexpr size_t kExactBytes = kLongestReference - 1;
  for (const unsigned char* const stop0 = from0 + (partLength - kExactBytes); from0 != stop0;) {
    write(from0, to0);
    write(from1, to1);
    write(from2, to2);
    write(from3, to3);
  }
  EncodeBytesExactly(from0, from0 + kExactBytes, to0);
  EncodeBytesExactly(from1, from1 + kExactBytes, to1);
  EncodeBytesExactly(from2, from2 + kExactBytes, to2);
  return EncodeBytesExactly(from3, end, to3);
}

}  // namespace

const char* TextString::DecodeEntities() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  Ampersands staying;
  char* end = DecodeTableReferences(text, text + length, &staying.all);
  *end = '\0';
  // The bytes after an ampersand that stays, up to the next ampersand, are
  // the text's own: whether it begins "&amp" (or "&#", or "&amp;") is what
  // it was before decoding. Semicolons are protected unless every ampersand
  // begins "&amp".
  Classify(text, &staying);
  if (staying.all.size() != staying.amps) ProtectAt(text, end, staying);
  // Every decoding pass shrinks the text, so the buffer is kept and the
  // table's passes count as one; then the "&amp;" pass. Protecting touches
  // only the text, so the tail is zeroed once, for both.
  Pass passes[2] = {{1, -static_cast<int64_t>(length - static_cast<uint64_t>(end - text))},
                    {0, -4}};
  if (passes[0].change == 0) passes[0].matches = 0;
  end = CollapseAmpersands(text, end, staying.exactAmps, &passes[1].matches);
  *end = '\0';
  const PassOutcome outcome = PlanPasses(length, size, passes, 2);
  if (outcome.changed) ZeroAfterText(text, outcome);
  return text;
}

const char* TextString::EncodeEntities() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  const unsigned char* const in = reinterpret_cast<const unsigned char*>(text);
  if (length > strings_internal::kLongestPlannedEncoding) {
    strings_internal::EncodePassByPass(this);
    return text;
  }
  const EncodedParts parts = MeasureEncoding(in, in + length);
  const uint64_t encodedLength = parts.begins[parts.count];
  if (encodedLength == length) return text;
  // Every pass lengthens the text, so they count as one: a buffer replaced
  // by one pass is too short for the next.
  const Pass allPasses = {1, static_cast<int64_t>(encodedLength - length)};
  const PassOutcome outcome = PlanPasses(length, size, &allPasses, 1);
  const size_t resultBytes = static_cast<size_t>(encodedLength + 1);
  char* result = strings_internal::NewTextBuffer(outcome.replaced ? outcome.size : resultBytes);
  *EncodeBytes(in, in + length, parts, result) = '\0';
  if (outcome.replaced) {
    ZeroAfterText(result, outcome);
    Adopt(result, static_cast<uint32_t>(outcome.size));
    return text;
  }
  std::memcpy(text, result, resultBytes);
  strings_internal::DeleteTextBuffer(result);
  ZeroAfterText(text, outcome);
  return text;
}

// Works in place. The second pass does not know what the first did: an
// ampersand whose numeric reference lost its semicolon takes the next one.
// The rule itself is ProtectAt's, which decoding applies too.
char* TextString::ProtectEntities() {
  if (text == nullptr) return nullptr;
  char* const end = text + GetLength();
  Ampersands ampersands;
  FindAmpersands(text, end, &ampersands.all);
  Classify(text, &ampersands);
  ProtectAt(text, end, ampersands);
  return nullptr;
}
