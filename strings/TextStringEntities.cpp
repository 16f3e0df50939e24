// HTML character references and URL escapes.
//
// DecodeEntities and EncodeEntities are defined as sequences of ReplaceCase
// passes, one per reference. No pass can make or break another's matches:
// a reference holds only ASCII, its byte is from 0x80 up, and references are
// delimited by '&' and ';'. So each operation scans the text once, plans
// the buffer the passes would leave (PlanPasses) and writes the result once.
#include <cstring>

#include "strings/TextString.h"
#include "strings/internal/Ascii.h"
#include "strings/internal/ByteFinder.h"
#include "strings/internal/EntityTable.h"
#include "strings/internal/PassPlan.h"
#include "strings/internal/TextBuffer.h"

namespace ascii = strings_internal::ascii;
namespace word = strings_internal::ascii::word;
using strings_internal::ByteFinder;
using strings_internal::EntityEncodingTable;
using strings_internal::kLongestReference;
using strings_internal::Pass;
using strings_internal::PassOutcome;
using strings_internal::PlanPasses;
using strings_internal::ZeroAfterText;

namespace {

// The body of a numeric reference is one to four bytes, so its semicolon is
// three to six places after the ampersand.
constexpr int kFirstSemicolonPlace = 3;
constexpr int kLastSemicolonPlace = 6;

void CloseNumericReference(char* ampersand) {
  // Place 2 is looked at only to stop where the text ends right after "&#".
  for (int place = 2; place <= kLastSemicolonPlace && ampersand[place] != '\0'; ++place) {
    if (place >= kFirstSemicolonPlace && ampersand[place] == ';') {
      ampersand[place] = ',';
      return;
    }
  }
}

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

// Whether `ampersand` begins "&amp" (ASCII case folded). Setting the case
// bit makes only 'A' and 'a' equal to 'a', and so on: one comparison where
// the text is long enough.
bool BeginsAmp(const char* ampersand, const char* end) {
  if (end - ampersand < 4) return ascii::StartsWithFolded(ampersand, "&amp");
  static const char kAmp[4] = {'&', 'a', 'm', 'p'};
  static const char kCaseBits[4] = {0, 0x20, 0x20, 0x20};
  uint32_t bytes, amp, caseBits;
  std::memcpy(&bytes, ampersand, 4);
  std::memcpy(&amp, kAmp, 4);
  std::memcpy(&caseBits, kCaseBits, 4);
  return (bytes | caseBits) == amp;
}

// Whether `ampersand` begins "&amp;" exactly; one comparison where the text
// is long enough.
bool BeginsExactAmp(const char* ampersand, const char* end) {
  if (end - ampersand < 5) return std::strncmp(ampersand, "&amp;", 5) == 0;
  uint32_t bytes, amp;
  std::memcpy(&bytes, ampersand + 1, 4);
  std::memcpy(&amp, "amp;", 4);
  return bytes == amp;
}

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

  void Add(uint32_t place) { AddIf(true, place); }
  // Adds `place` when `add` holds; written either way, so that the caller
  // need not branch.
  void AddIf(bool add, uint32_t place) {
    if (count_ == capacity_) Grow();
    places_[count_] = place;
    count_ += add ? 1 : 0;
  }
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

// Decodes the table's references in [text, end), in place: the result is
// never longer. Collects the places of the ampersands that stay (and of
// those of them that begin "&#") and counts those that begin "&amp"
// (folded), which decide whether the semicolons are protected. Returns the
// end of the result.
char* DecodeTableReferences(char* text, char* end, Places* staying, Places* numeric,
                            Places* exactAmps, size_t* amps) {
  ByteFinder finder(text, end, '&');
  const char* ampersand = finder.Next(text);
  char* out = const_cast<char*>(ampersand);  // the bytes before it stay where they are
  while (ampersand != end) {
    char byte;
    const size_t length = strings_internal::MatchReference(ampersand, end, &byte);
    const char* from = ampersand + length;
    if (length == 0) {
      *amps += BeginsAmp(ampersand, end) ? 1 : 0;
      staying->Add(static_cast<uint32_t>(out - text));
      numeric->AddIf(ampersand[1] == '#', static_cast<uint32_t>(out - text));
      exactAmps->AddIf(BeginsExactAmp(ampersand, end), static_cast<uint32_t>(out - text));
      byte = '&';
      from = ampersand + 1;
    }
    *out++ = byte;
    // No reference holds a second '&', so the next one is the next after
    // this one: found without waiting for the lookup of this one, which lets
    // the lookups of successive ampersands overlap.
    ampersand = finder.Next(ampersand + 1);
    const size_t run = static_cast<size_t>(ampersand - from);
    MoveDown(out, from, run, end);
    out += run;
  }
  return out;
}

// The first ';' at or after `p`, or `end`: most are a few bytes on, where
// a byte loop costs less than a call.
char* FindSemicolon(char* p, const char* end) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  if (end - p >= 8) {
    // The next eight bytes at once, without a loop to mispredict.
    uint64_t bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    const uint64_t x = bytes ^ 0x3B3B3B3B3B3B3B3BULL;  // ';' bytes become zero
    const uint64_t low = 0x7F7F7F7F7F7F7F7FULL;
    const uint64_t semicolons = ~(((x & low) + low) | x | low);
    if (semicolons != 0) return p + __builtin_ctzll(semicolons) / 8;
    p += 8;
  }
#endif
  for (const char* near = end - p > 16 ? p + 16 : end; p != near; ++p) {
    if (*p == ';') return p;
  }
  if (p == end) return p;
  void* found = std::memchr(p, ';', static_cast<size_t>(end - p));
  return found != nullptr ? static_cast<char*>(found) : const_cast<char*>(end);
}

// ProtectEntities on a text whose ampersands are all at `places`, those
// that begin "&#" also at `numeric`.
void ProtectAt(char* text, const char* end, const Places& places, const Places& numeric) {
  for (uint32_t place : numeric) CloseNumericReference(text + place);
  // Each search for a ';' starts after the last one found, so the searches
  // together cover the text at most once.
  const char* position = text;
  for (uint32_t place : places) {
    char* ampersand = text + place;
    if (ampersand < position) continue;
    if (BeginsAmp(ampersand, end) && ampersand[4] == ';') {
      position = ampersand + 1;
      continue;
    }
    char* semicolon = FindSemicolon(ampersand, end);
    if (semicolon == end) return;
    *semicolon = ',';
    position = semicolon;
  }
}

// The last pass: every "&amp;" (exact) becomes '&', in place. `amps` holds
// the places of every "&amp;" that decoding left; protecting semicolons can
// only have turned some of them into "&amp,", never made new ones. Returns
// the end of the text and counts the replacements.
char* CollapseAmpersands(char* text, char* end, const Places& amps, uint64_t* matches) {
  char* out = nullptr;  // null until the first match: nothing before it moves
  const char* from = text;
  for (uint32_t place : amps) {
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

// Texts from this length on are written through WrittenBytes.
constexpr uint64_t kShortestWrittenThroughTable = 1024;

// Writes what EncodeEntities makes of [in, end) into the `room` bytes at
// `out`, which the result fits. While the room allows it, every byte takes
// one copy of kLongestReference bytes, padding included: no branch on the
// byte, which a reference every few bytes would keep mispredicting.
char* EncodeBytes(const unsigned char* in, const unsigned char* end, char* out, size_t room) {
  const auto& table = EntityEncodingTable;
  char* const fast = out + room - (room >= kLongestReference ? kLongestReference : room);
  if (static_cast<uint64_t>(end - in) >= kShortestWrittenThroughTable) {
    const WrittenBytes written;
    for (; in != end && out < fast; ++in) {
      std::memcpy(out, written.bytes[*in], kLongestReference);
      out += table.lengths[*in];
    }
  }
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

// Texts up to this length cannot reach the 32-bit limit in any pass (a byte
// becomes at most kLongestReference bytes).
constexpr uint64_t kLongestPlannedEncoding = (UINT32_MAX - 1) / kLongestReference;

}  // namespace

const char* TextString::DecodeEntities() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  Places staying;
  Places numeric;    // those of them that begin "&#"
  Places exactAmps;  // and "&amp;"
  size_t amps = 0;
  char* end = DecodeTableReferences(text, text + length, &staying, &numeric, &exactAmps, &amps);
  *end = '\0';
  // Every ampersand that does not begin "&amp" starts a reference that
  // stays. What ProtectEntities does, where the ampersands are known.
  if (staying.size() != amps) ProtectAt(text, end, staying, numeric);
  // Every decoding pass shrinks the text, so the buffer is kept and the
  // table's passes count as one; then the "&amp;" pass. Protecting touches
  // only the text, so the tail is zeroed once, for both.
  Pass passes[2] = {{1, -static_cast<int64_t>(length - static_cast<uint64_t>(end - text))},
                    {0, -4}};
  if (passes[0].change == 0) passes[0].matches = 0;
  end = CollapseAmpersands(text, end, exactAmps, &passes[1].matches);
  *end = '\0';
  const PassOutcome outcome = PlanPasses(length, size, passes, 2);
  if (outcome.changed) ZeroAfterText(text, outcome);
  return text;
}

const char* TextString::EncodeEntities() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  const unsigned char* const in = reinterpret_cast<const unsigned char*>(text);
  if (length > kLongestPlannedEncoding) {
    // Some pass might not fit 32 bits and so do nothing: pass by pass.
    // Ampersands first, so that those of the inserted references stay single.
    ReplaceCase("&", "&amp;", nullptr);
    for (const auto& row : strings_internal::EntityTable) {
      const char byte[2] = {row.byte, '\0'};
      ReplaceCase(byte, row.reference, nullptr);
    }
    return text;
  }
  const uint64_t encodedLength = EncodedLength(in, in + length);
  if (encodedLength == length) return text;
  // Every pass lengthens the text, so they count as one: a buffer replaced
  // by one pass is too short for the next.
  const Pass allPasses = {1, static_cast<int64_t>(encodedLength - length)};
  const PassOutcome outcome = PlanPasses(length, size, &allPasses, 1);
  const size_t resultBytes = static_cast<size_t>(encodedLength + 1);
  char* result = strings_internal::NewTextBuffer(outcome.replaced ? outcome.size : resultBytes);
  *EncodeBytes(in, in + length, result, resultBytes) = '\0';
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

const char* TextString::EscapeUrlChars() {
  // The percent sign first, so that the escapes made after it stay single.
  static const char* const kEscapes[][2] = {
      {"%", "%25"}, {"#", "%23"}, {"$", "%24"}, {"&", "%26"}, {"+", "%2B"},
  };
  const char* result = text;
  for (const auto& escape : kEscapes) result = ReplaceCase(escape[0], escape[1], nullptr);
  return result;
}

// Works in place. The second pass does not know what the first did: an
// ampersand whose numeric reference lost its semicolon takes the next one.
// The rule itself is ProtectAt's, which decoding applies too.
char* TextString::ProtectEntities() {
  if (text == nullptr) return nullptr;
  char* const end = text + GetLength();
  Places ampersands;
  Places numeric;
  ByteFinder finder(text, end, '&');
  for (const char* ampersand = finder.Next(text); ampersand != end;
       ampersand = finder.Next(ampersand + 1)) {
    const uint32_t place = static_cast<uint32_t>(ampersand - text);
    ampersands.Add(place);
    numeric.AddIf(ampersand[1] == '#', place);
  }
  ProtectAt(text, end, ampersands, numeric);
  return nullptr;
}
