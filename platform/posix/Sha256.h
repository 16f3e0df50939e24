#ifndef PLATFORM_POSIX_SHA256_H_
#define PLATFORM_POSIX_SHA256_H_

#include <cstddef>
#include <cstdint>

namespace platform {

// Sha256: the POSIX stand-in for the system's SHA-256 that Windows offers
// (FIPS 180-4), fed in pieces of any length.
class Sha256 {
 public:
  Sha256();
  void Update(const unsigned char* data, size_t size);
  void Finish(unsigned char (&digest)[32]);

 private:
  void Block(const unsigned char* block);

  uint32_t state_[8];
  unsigned char buffer_[64];
  size_t buffered_;
  uint64_t length_;
};

}  // namespace platform

#endif  // PLATFORM_POSIX_SHA256_H_
