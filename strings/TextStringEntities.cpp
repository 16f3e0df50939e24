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

// Moves the `run` bytes at `in` down to `out` (out < in). Sixteen at a time
// while neither the writing overtakes what is still to be read (`in` is at
// least sixteen ahead) nor the reading passes `end`: runs between references
// are short, and a call per run would cost more than the copy.
void MoveDown(char* out, const char* in, size_t run, const char* end) {
  constexpr size_t kStep = 2 * sizeof(word::Word);
  if (in - out < static_cast<ptrdiff_t>(kStep) ||
      end - (in + run) < static_cast<ptrdiff_t>(kStep)) {
    std::memmove(out, in, run);
    return;
  }
  size_t i = 0;
  do {
    const word::Word first = word::Load(in + i);
    const word::Word second = word::Load(in + i + sizeof(word::Word));
    word::Store(out + i, first);
    word::Store(out + i + sizeof(word::Word), second);
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

// InPlaceWriter: a text rewritten over itself, never growing: the bytes
// from `in` on are still the old text, those before `out` the new one.
struct InPlaceWriter {
  InPlaceWriter(char* text, const char* end) : out(text), in(text), end(end) {}

  // Keeps the old text up to `to`, then puts `replacement` for the `skipped`
  // bytes from there.
  void Replace(const char* to, size_t skipped, const char* replacement, size_t length) {
    const size_t run = static_cast<size_t>(to - in);
    if (out != in) MoveDown(out, in, run, end);
    out += run;
    if (length != 0) std::memcpy(out, replacement, length);
    out += length;
    in = to + skipped;
  }

  // Keeps the rest; returns the end of the new text.
  char* Finish() {
    const size_t rest = static_cast<size_t>(end - in);
    if (out != in) std::memmove(out, in, rest);
    return out + rest;
  }

  char* out;
  const char* in;
  const char* end;
};

// Decodes the table's references in [text, end), in place: the result is
// never longer. Counts the ampersands that stay and those of them that
// begin "&amp" (folded), which decide whether ProtectEntities runs.
// Returns the end of the result.
char* DecodeTableReferences(char* text, char* end, size_t* ampersands, size_t* amps) {
  InPlaceWriter writer(text, end);
  ByteFinder finder(text, end, '&');
  for (const char* ampersand = finder.Next(text); ampersand != end;) {
    char byte;
    const size_t length = strings_internal::MatchReference(ampersand, end, &byte);
    if (length != 0) {
      writer.Replace(ampersand, length, &byte, 1);
      ampersand = finder.Next(writer.in);
      continue;
    }
    ++*ampersands;
    *amps += BeginsAmp(ampersand, end) ? 1 : 0;
    ampersand = finder.Next(ampersand + 1);
  }
  return writer.Finish();
}

// The last pass: every "&amp;" (exact) becomes '&', in place. Returns the
// end of the text and counts the replacements.
char* CollapseAmpersands(char* text, char* end, uint64_t* matches) {
  InPlaceWriter writer(text, end);
  ByteFinder finder(text, end, '&');
  for (const char* ampersand = finder.Next(text); ampersand != end;) {
    const char* after = ampersand + 1;
    if (after[0] == 'a' && after[1] == 'm' && after[2] == 'p' && after[3] == ';') {
      writer.Replace(after, 4, nullptr, 0);
      ++*matches;
    }
    ampersand = finder.Next(after);
  }
  return writer.Finish();
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
  size_t ampersands = 0;
  size_t amps = 0;
  char* end = DecodeTableReferences(text, text + length, &ampersands, &amps);
  *end = '\0';
  // Every decoding pass shrinks the text, so the buffer is kept: the table's
  // passes count as one.
  const Pass tablePass = {1, -static_cast<int64_t>(length - static_cast<uint64_t>(end - text))};
  const PassOutcome decoded = PlanPasses(length, size, &tablePass, tablePass.change != 0 ? 1 : 0);
  if (decoded.changed) ZeroAfterText(text, decoded);
  // Every ampersand that does not begin "&amp" starts a reference that stays.
  if (ampersands != amps) ProtectEntities();
  Pass ampPass = {0, -4};
  end = CollapseAmpersands(text, end, &ampPass.matches);
  *end = '\0';
  const PassOutcome collapsed = PlanPasses(decoded.length, size, &ampPass, 1);
  if (collapsed.changed) ZeroAfterText(text, collapsed);
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
char* TextString::ProtectEntities() {
  if (text == nullptr) return nullptr;
  const char* const end = text + GetLength();
  ByteFinder numeric(text, end, '&');
  for (const char* ampersand = numeric.Next(text); ampersand != end;
       ampersand = numeric.Next(ampersand + 1)) {
    if (ampersand[1] == '#') CloseNumericReference(const_cast<char*>(ampersand));
  }
  ByteFinder ampersands(text, end, '&');
  ByteFinder semicolons(text, end, ';');
  for (const char* ampersand = ampersands.Next(text); ampersand != end;) {
    if (ascii::StartsWithFolded(ampersand, "&amp;")) {
      ampersand = ampersands.Next(ampersand + 1);
      continue;
    }
    const char* semicolon = semicolons.Next(ampersand);
    if (semicolon == end) break;
    *const_cast<char*>(semicolon) = ',';
    ampersand = ampersands.Next(semicolon);
  }
  return nullptr;
}
