#include "fuzz/Checks.h"

#include <sanitizer/allocator_interface.h>

#include <cstring>

namespace fuzz {

namespace {

void CheckStorage(const TextString& s, const char* which) {
  const char* text = Peek::Text(s);
  const uint32_t size = Peek::Size(s);
  if ((text == nullptr) != (size == 0)) Fail(std::string(which) + ": text null is not size 0");
  if (s.GetText() != text) Fail(std::string(which) + ": GetText is not the text");
  if (s.GetCapacity() != (size != 0 ? size - 1 : 0)) {
    Fail(std::string(which) + ": GetCapacity is not size - 1");
  }
  if (text == nullptr) return;
  // The buffer is a live heap block of exactly `size` bytes.
  if (__sanitizer_get_ownership(text) == 0 || __sanitizer_get_allocated_size(text) != size) {
    Fail(std::string(which) + ": the buffer is not a heap block of `size` bytes");
  }
  if (std::memchr(text, '\0', size) == nullptr) Fail(std::string(which) + ": no terminator");
  if (s.GetLength() != std::strlen(text)) Fail(std::string(which) + ": GetLength is wrong");
}

void CheckPath(const PathSlot& slot, const char* which) {
  CheckStorage(*slot.path, which);
  CheckStorage(slot.path->Display(), "displayText");
  for (int i = 0; i < TestPath::kCacheCount; ++i) {
    if (slot.path->Cache(i) != nullptr) CheckStorage(*slot.path->Cache(i), "a cache");
  }
  for (const HeldText& held : slot.held) {
    if (held.at != nullptr && std::memcmp(held.at, held.text.c_str(), held.text.size() + 1) != 0) {
      Fail(std::string(which) +
           ": a cached text changed before its next getter: " + Show(held.text));
    }
  }
}

}  // namespace

void CheckWorld(const World& w) {
  CheckStorage(*w.t, "t");
  CheckPath(w.p, "p");
  CheckPath(w.q, "q");
  for (const auto& s : w.fresh) CheckStorage(*s, "a fresh string");
}

Before Snap(const TextString& s) {
  return {Buffer::Of(s), Peek::Text(s), Peek::LastError(s), Peek::ErrorCode(s)};
}

void Expect(const TextString& s, const Buffer& want, const char* before, const char* which) {
  const char* text = Peek::Text(s);
  const std::string actual = text != nullptr ? text : "";
  if ((text != nullptr) != want.has) {
    Fail(std::string(which) + (want.has ? ": has no buffer" : ": has a buffer"));
  }
  if (actual != want.text) {
    Fail(std::string(which) + ": text " + Show(actual) + ", expected " + Show(want.text));
  }
  if (s.GetCapacity() != want.capacity) {
    Fail(std::string(which) + ": capacity " + std::to_string(s.GetCapacity()) + ", expected " +
         std::to_string(want.capacity) + " for text " + Show(actual));
  }
  if (want.kept && text != before) Fail(std::string(which) + ": the buffer was replaced");
  if (want.zeroTail) {
    for (uint32_t i = static_cast<uint32_t>(actual.size()); i < want.capacity; ++i) {
      if (text[i] != '\0') Fail(std::string(which) + ": bytes after the text are not zero");
    }
  }
}

void ExpectText(const TextString& s, const std::string& want, const char* which) {
  const char* text = s.GetText();
  const std::string actual = text != nullptr ? text : "";
  if (text == nullptr || actual != want) {
    Fail(std::string(which) + ": text " + (text != nullptr ? Show(actual) : "null") +
         ", expected " + Show(want));
  }
}

void ExpectUnchanged(const TextString& s, const Before& before, const char* which) {
  Buffer same = before.model;
  same.kept = true;
  Expect(s, same, before.ptr, which);
}

void ReturnsText(const TextString& s, const char* result) {
  Require(result == s.GetText(), "the result is not the string's text pointer");
}

bool KeepsErrorRecord(const TextString& s, const Before& before) {
  return Peek::LastError(s) == before.lastError && Peek::ErrorCode(s) == before.errorCode;
}

}  // namespace fuzz
