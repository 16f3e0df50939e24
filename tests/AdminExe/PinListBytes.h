#ifndef TESTS_ADMINEXE_PINLISTBYTES_H_
#define TESTS_ADMINEXE_PINLISTBYTES_H_

#include <cstdint>
#include <string>
#include <vector>

// Builds pin lists byte by byte for the tests, in the layout AdminExe/PinList.h
// describes (and tools/pin_list.py writes).
namespace pinbytes {

struct File {
  std::string name;
  uint32_t size;
  std::string digest;  // 32 bytes
  unsigned flags;
};

inline std::string Digest(char fill) { return std::string(32, fill); }

inline std::string Entry(const File& file) {
  std::string out;
  for (int i = 0; i < 4; ++i) out += static_cast<char>((file.size >> (8 * i)) & 0xFF);
  out += file.digest;
  out += static_cast<char>(file.flags);
  out += static_cast<char>(file.name.size());
  out += file.name;
  return out;
}

inline std::string Header(unsigned count) {
  std::string out("DNPL\x01\x00", 6);
  out += static_cast<char>(count & 0xFF);
  out += static_cast<char>((count >> 8) & 0xFF);
  return out;
}

inline std::string List(const std::vector<File>& files) {
  std::string out = Header(static_cast<unsigned>(files.size()));
  for (const File& file : files) out += Entry(file);
  return out;
}

inline const unsigned char* Bytes(const std::string& list) {
  return reinterpret_cast<const unsigned char*>(list.data());
}

}  // namespace pinbytes

#endif  // TESTS_ADMINEXE_PINLISTBYTES_H_
