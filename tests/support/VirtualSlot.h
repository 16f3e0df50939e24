#ifndef TESTS_SUPPORT_VIRTUALSLOT_H_
#define TESTS_SUPPORT_VIRTUALSLOT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

// VirtualSlot: the virtual-table slot that a pointer to a virtual member
// function names. Under the Itanium C++ ABI (GCC natively and MinGW g++) such
// a pointer holds 1 + the slot's byte offset in the table. The virtual
// destructor takes two slots (complete and deleting), so an operation listed
// n-th after the destructor sits in slot n + 1.
template <typename MemberPointer>
long VirtualSlot(MemberPointer member) {
  static_assert(sizeof(MemberPointer) == 2 * sizeof(void*), "Itanium member pointer expected");
  struct Raw {
    uintptr_t ptr;
    ptrdiff_t adjust;
  } raw;
  std::memcpy(&raw, &member, sizeof raw);
  if ((raw.ptr & 1) == 0) return -1;  // not virtual
  return static_cast<long>((raw.ptr - 1) / sizeof(void*));
}

#endif  // TESTS_SUPPORT_VIRTUALSLOT_H_
