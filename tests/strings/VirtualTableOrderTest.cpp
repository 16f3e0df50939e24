// The order of TextString's virtual operations is part of its contract:
// subclasses append after ProtectEntities, and callers may reach an
// operation by its slot.
#include <gtest/gtest.h>

#include "strings/TextString.h"
#include "tests/support/VirtualSlot.h"

namespace {

using T = TextString;

TEST(TextStringVirtualTable, ObjectBaseComparesAfterDestructor) {
  EXPECT_EQ(VirtualSlot(&ObjectBase::Compare), 2);
}

TEST(TextStringVirtualTable, OperationsAreDeclaredInContractOrder) {
  // Operation n (1-based, after the destructor) must sit in slot n + 1.
  const long slots[] = {
      VirtualSlot(&T::Compare),
      VirtualSlot(&T::Assign),
      VirtualSlot(&T::AssignN),
      VirtualSlot(&T::Clear),
      VirtualSlot(&T::GetAt),
      VirtualSlot(static_cast<T& (T::*)(const char*)>(&T::operator=)),
      VirtualSlot(static_cast<T& (T::*)(const T&)>(&T::operator=)),
      VirtualSlot(static_cast<T& (T::*)(const char*)>(&T::operator+=)),
      VirtualSlot(static_cast<T& (T::*)(const T&)>(&T::operator+=)),
      VirtualSlot(static_cast<int (T::*)(const char*) const>(&T::operator==)),
      VirtualSlot(static_cast<int (T::*)(const T&) const>(&T::operator==)),
      VirtualSlot(static_cast<int (T::*)(const char*) const>(&T::operator!=)),
      VirtualSlot(static_cast<int (T::*)(const T&) const>(&T::operator!=)),
      VirtualSlot(&T::Append),
      VirtualSlot(&T::GetText),
      VirtualSlot(&T::LengthOf),
      VirtualSlot(&T::GetLength),
      VirtualSlot(&T::GetCapacity),
      VirtualSlot(&T::HasSpace),
      VirtualSlot(&T::IsBlank),
      VirtualSlot(&T::FindIn),
      VirtualSlot(&T::Find),
      VirtualSlot(&T::EndsWith),
      VirtualSlot(&T::IsEqual),
      VirtualSlot(&T::IsComment),
      VirtualSlot(&T::ExpandTabs),
      VirtualSlot(&T::RemoveWhitespace),
      VirtualSlot(&T::TrimLeft),
      VirtualSlot(&T::TrimRight),
      VirtualSlot(&T::Remove),
      VirtualSlot(&T::Replace),
      VirtualSlot(&T::ReplaceCase),
      VirtualSlot(&T::TrimRightChar),
      VirtualSlot(&T::TrimLeftChar),
      VirtualSlot(&T::TrimLeftSet),
      VirtualSlot(&T::TrimRightSet),
      VirtualSlot(&T::Format),
      VirtualSlot(&T::AppendFormat),
      VirtualSlot(&T::MakeUpper),
      VirtualSlot(&T::MakeLower),
      VirtualSlot(&T::IsHexNumber),
      VirtualSlot(&T::IsNumber),
      VirtualSlot(&T::IsBreakOnly),
      VirtualSlot(&T::Utf8ToAnsi),
      VirtualSlot(&T::AnsiToUtf8),
      VirtualSlot(&T::IsUtf8),
      VirtualSlot(&T::TruncateAt),
      VirtualSlot(&T::Count),
      VirtualSlot(&T::DecodeEntities),
      VirtualSlot(&T::EncodeEntities),
      VirtualSlot(&T::EscapeUrlChars),
      VirtualSlot(&T::Free),
      VirtualSlot(&T::ReplaceAll),
      VirtualSlot(&T::ProtectEntities),
  };
  ASSERT_EQ(sizeof slots / sizeof slots[0], 54u);  // 55 with the destructor
  for (size_t i = 0; i < 54; ++i) {
    SCOPED_TRACE(testing::Message() << "operation " << i + 1 << " after the destructor");
    EXPECT_EQ(slots[i], static_cast<long>(i) + 2);
  }
}

// A subclass's first own virtual operation lands right after the 55.
struct Probe : TextString {
  virtual int FirstOwnOperation() { return 0; }
};

TEST(TextStringVirtualTable, SubclassOperationsFollowTheLastSlot) {
  EXPECT_EQ(VirtualSlot(&Probe::FirstOwnOperation), 56);
}

}  // namespace
