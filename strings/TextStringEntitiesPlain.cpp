// DecodeEntities, EncodeEntities and ProtectEntities where the library is
// built for size (TEXTSTRING_SMALL_CODE on: the launcher's build): plain
// loops, a fraction of the code of TextStringEntitiesOneScan.cpp, with the
// same results to the last byte of the buffer.
//
// DecodeEntities and EncodeEntities are defined as sequences of ReplaceCase
// passes, one per reference. No pass can make or break another's matches,
// so the table's passes are done in one walk over the text, the buffer they
// would leave is planned (PlanPasses), and the rest of the sequence runs as
// defined.
#include <cstring>

#include "strings/TextString.h"
#include "strings/internal/Ascii.h"
#include "strings/internal/EntityTable.h"
#include "strings/internal/PassPlan.h"
#include "strings/internal/TextBuffer.h"

using strings_internal::CloseNumericReference;
using strings_internal::EntityRow;
using strings_internal::EntityTable;
using strings_internal::kLongestReference;
using strings_internal::Pass;
using strings_internal::PassOutcome;
using strings_internal::PlanPasses;
using strings_internal::ZeroAfterText;

namespace {

// What decoding learns of the ampersands that stay: whether they all begin
// "&amp" decides whether semicolons are protected.
struct StayingAmpersands {
  uint64_t all = 0;
  uint64_t amps = 0;  // those that begin "&amp", case folded
};

// The table's reference that begins at `ampersand`, or null. A walk over the
// 42 rows: the speed build's index would cost this build room it has not.
const EntityRow* ReferenceAt(const char* ampersand) {
  for (const EntityRow& row : EntityTable) {
    if (std::strncmp(ampersand, row.reference, std::strlen(row.reference)) == 0) return &row;
  }
  return nullptr;
}

// Decodes the table's references in [text, end), in place: the result is
// never longer. Returns the end of the result. An ampersand that stays is
// followed by the text's own bytes up to the next ampersand (a decoded byte
// is from 0x80 up, never one of "amp"), so whether it begins "&amp" can be
// read before decoding.
char* DecodeTableReferences(char* text, const char* end, StayingAmpersands* staying) {
  char* out = text;
  for (const char* in = text; in != end;) {
    const EntityRow* row = *in == '&' ? ReferenceAt(in) : nullptr;
    if (row != nullptr) {
      *out++ = row->byte;
      in += std::strlen(row->reference);
      continue;
    }
    if (*in == '&') {
      ++staying->all;
      if (strings_internal::ascii::StartsWithFolded(in, "&amp")) ++staying->amps;
    }
    *out++ = *in++;
  }
  return out;
}

// What EncodeEntities makes of `byte`: its reference, or null when the byte
// stays as it is.
const char* EncodingOf(unsigned char byte) {
  if (byte == '&') return "&amp;";
  for (const EntityRow& row : EntityTable) {
    if (static_cast<unsigned char>(row.byte) == byte) return row.reference;
  }
  return nullptr;
}

// The length of what EncodeEntities makes of [in, end).
uint64_t EncodedLength(const unsigned char* in, const unsigned char* end) {
  uint64_t length = 0;
  for (; in != end; ++in) {
    const char* reference = EncodingOf(*in);
    length += reference != nullptr ? std::strlen(reference) : 1;
  }
  return length;
}

// Writes what EncodeEntities makes of `byte` so that it ends at `end`;
// returns where it begins.
char* EncodeBefore(char* end, unsigned char byte) {
  const char* reference = EncodingOf(byte);
  if (reference == nullptr) {
    *--end = static_cast<char>(byte);
    return end;
  }
  const size_t length = std::strlen(reference);
  std::memcpy(end - length, reference, length);
  return end - length;
}

// Encodes the `length` bytes at `in` into `out`, whose first `encodedLength`
// bytes the result fills, from the back: the result is never shorter, so
// `out` may be `in` itself (every byte is read before its place is written).
void EncodeBackwards(const char* in, size_t length, char* out, uint64_t encodedLength) {
  char* place = out + encodedLength;
  for (size_t i = length; i != 0; --i) {
    place = EncodeBefore(place, static_cast<unsigned char>(in[i - 1]));
  }
}

}  // namespace

const char* TextString::DecodeEntities() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  StayingAmpersands staying;
  char* end = DecodeTableReferences(text, text + length, &staying);
  if (end != text + length) {
    // Every table pass shrinks the text, so the buffer is kept and they
    // count as one.
    *end = '\0';
    const Pass tablePasses = {1, -static_cast<int64_t>(length - static_cast<uint64_t>(end - text))};
    ZeroAfterText(text, PlanPasses(length, size, &tablePasses, 1));
  }
  // Semicolons are protected unless every ampersand begins "&amp".
  if (staying.all != staying.amps) ProtectEntities();
  return ReplaceCase("&amp;", "&", nullptr);
}

const char* TextString::EncodeEntities() {
  if (text == nullptr) return nullptr;
  const uint64_t length = GetLength();
  if (length > strings_internal::kLongestPlannedEncoding) {
    strings_internal::EncodePassByPass(this);
    return text;
  }
  const unsigned char* const in = reinterpret_cast<const unsigned char*>(text);
  const uint64_t encodedLength = EncodedLength(in, in + length);
  if (encodedLength == length) return text;
  // Every pass lengthens the text, so they count as one: a buffer replaced
  // by one pass is too short for the next.
  const Pass allPasses = {1, static_cast<int64_t>(encodedLength - length)};
  const PassOutcome outcome = PlanPasses(length, size, &allPasses, 1);
  if (!outcome.replaced) {
    EncodeBackwards(text, static_cast<size_t>(length), text, encodedLength);
    text[encodedLength] = '\0';
    ZeroAfterText(text, outcome);
    return text;
  }
  char* result = strings_internal::NewTextBuffer(static_cast<size_t>(outcome.size));
  EncodeBackwards(text, static_cast<size_t>(length), result, encodedLength);
  result[encodedLength] = '\0';
  ZeroAfterText(result, outcome);
  Adopt(result, static_cast<uint32_t>(outcome.size));
  return text;
}

// Works in place. The second pass does not know what the first did: an
// ampersand whose numeric reference lost its semicolon takes the next one.
// Each search for a ';' starts after the last one changed, so the second
// pass reads the text about once.
char* TextString::ProtectEntities() {
  if (text == nullptr) return nullptr;
  for (char* p = text; *p != '\0'; ++p) {
    if (p[0] == '&' && p[1] == '#') CloseNumericReference(p);
  }
  for (char* p = text; *p != '\0'; ++p) {
    if (*p != '&' || strings_internal::ascii::StartsWithFolded(p, "&amp;")) continue;
    char* semicolon = std::strchr(p, ';');
    if (semicolon == nullptr) break;
    *semicolon = ',';
    p = semicolon;
  }
  return nullptr;
}
