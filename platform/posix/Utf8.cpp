// UTF-8 for the POSIX side of platform/CodePage.h: only coding one character belongs here.
#include "platform/posix/Utf8.h"

namespace platform {
namespace utf8 {

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The continuation bytes a lead byte announces; 0 for a byte that cannot
// begin a character (continuations, C0/C1, F5 up).
int ContinuationsAfter(unsigned char lead) {
  if (lead >= 0xC2 && lead <= 0xDF) return 1;
  if (lead >= 0xE0 && lead <= 0xEF) return 2;
  if (lead >= 0xF0 && lead <= 0xF4) return 3;
  return 0;
}

// Whether the lead byte's bits and the first continuation can still begin a
// shortest-form character below 0x110000 that is not a surrogate.
bool IsValidPrefix(int continuations, char32_t prefix) {
  if (continuations == 3) return prefix >= 0x10 && prefix <= 0x10F;
  if (continuations == 2) return prefix >= 0x20 && !(prefix >= 0x360 && prefix <= 0x37F);
  return true;
}

}  // namespace

// Windows takes the first continuation byte into the rejected run before it
// judges the value (so E0 80 80 gives two U+FFFD, not three), but never a
// byte that is not a continuation: that one starts the next character.
char32_t DecodeOne(const unsigned char** cursor) {
  const unsigned char* p = *cursor;
  const unsigned char lead = *p++;
  const int continuations = ContinuationsAfter(lead);
  char32_t value = lead & (0x3F >> continuations);
  for (int i = 0; i < continuations; ++i) {
    if (!IsContinuation(*p)) {
      *cursor = p;
      return kReplacement;
    }
    value = (value << 6) | (*p++ & 0x3F);
    if (i == 0 && !IsValidPrefix(continuations, value)) {
      *cursor = p;
      return kReplacement;
    }
  }
  *cursor = p;
  return continuations == 0 ? kReplacement : value;
}

int EncodedLength(char32_t codePoint) {
  if (codePoint < 0x80) return 1;
  if (codePoint < 0x800) return 2;
  if (codePoint < 0x10000) return 3;
  return 4;
}

void Encode(char32_t codePoint, unsigned char* out) {
  static const unsigned char kLeadMarks[] = {0x00, 0x00, 0xC0, 0xE0, 0xF0};
  const int length = EncodedLength(codePoint);
  for (int i = length - 1; i > 0; --i) {
    out[i] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
    codePoint >>= 6;
  }
  out[0] = static_cast<unsigned char>(kLeadMarks[length] | codePoint);
}

}  // namespace utf8
}  // namespace platform
