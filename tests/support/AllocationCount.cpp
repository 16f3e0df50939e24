// The test executable's global allocation operators: over malloc and free,
// as setup.exe's own (AdminExe/Allocation.cpp, which only the executables
// link), and counting. The library allocates every buffer and cache through
// them. The nothrow array form is TextStringEncodingTest.cpp's, which fails
// it on demand and otherwise takes the plain array form, counted here.
#include "tests/support/AllocationCount.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> live{0};

void* Take(std::size_t size) {
  void* p = std::malloc(size != 0 ? size : 1);
  if (p != nullptr) ++live;
  return p;
}

void* TakeOrAbort(std::size_t size) {
  void* p = Take(size);
  if (p == nullptr) std::abort();
  return p;
}

// A freed block is handed back to malloc only after this many later ones:
// tests tell a kept buffer from a replaced one by its address, and a buffer
// freed by one pass must not come back as the next pass's new one. The
// sanitizers and Valgrind hold freed memory back themselves; msvcrt and a
// plain glibc build do not.
constexpr int kHeldBack = 256;
void* heldBack[kHeldBack];
int nextHeldBack = 0;

void Give(void* p) {
  if (p == nullptr) return;
  --live;
  std::free(heldBack[nextHeldBack]);
  heldBack[nextHeldBack] = p;
  nextHeldBack = (nextHeldBack + 1) % kHeldBack;
}

}  // namespace

long LiveAllocations() { return live.load(); }

void* operator new(std::size_t size) { return TakeOrAbort(size); }
void* operator new[](std::size_t size) { return TakeOrAbort(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Take(size); }
void operator delete(void* p) noexcept { Give(p); }
void operator delete[](void* p) noexcept { Give(p); }
void operator delete(void* p, std::size_t) noexcept { Give(p); }
void operator delete[](void* p, std::size_t) noexcept { Give(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { Give(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { Give(p); }
