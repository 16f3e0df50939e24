#ifndef STRINGS_INTERNAL_ENTITYTABLE_H_
#define STRINGS_INTERNAL_ENTITYTABLE_H_

#include <array>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// EntityRow: a named character reference and the Windows-1252 byte it
// stands for.
struct EntityRow {
  const char* reference;  // "&ouml;"
  char byte;              // '\xF6'
};

// EntityTable: the references that DecodeEntities and EncodeEntities know,
// in the order both walk them.
extern const std::array<EntityRow, 42> EntityTable;

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_ENTITYTABLE_H_
