#ifndef FUZZ_INPUT_H_
#define FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <string>

// The fuzzer's input read front to back, one decision at a time, so that a
// seed can be written by hand: every value is a byte or a little-endian
// group of bytes, and an exhausted input reads as zeroes.
class Input {
 public:
  Input(const uint8_t* data, size_t size) : data_(data), left_(size) {}

  bool Empty() const { return left_ == 0; }

  uint8_t Byte() {
    if (left_ == 0) return 0;
    --left_;
    return *data_++;
  }

  uint32_t U16() { return Byte() | (uint32_t{Byte()} << 8); }
  uint32_t U32() { return U16() | (U16() << 16); }

  // A choice among `count` possibilities.
  unsigned Pick(unsigned count) { return Byte() % count; }

  // A whole number in [low, high] (high - low below 2^32).
  int64_t Range(int64_t low, int64_t high) {
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    const uint64_t raw = span <= 0x100 ? Byte() : (span <= 0x10000 ? U16() : U32());
    return low + static_cast<int64_t>(raw % span);
  }

  // Up to `count` raw bytes, NULs included.
  std::string Bytes(size_t count) {
    const size_t taken = count < left_ ? count : left_;
    std::string bytes(reinterpret_cast<const char*>(data_), taken);
    data_ += taken;
    left_ -= taken;
    return bytes;
  }

 private:
  const uint8_t* data_;
  size_t left_;
};

#endif  // FUZZ_INPUT_H_
