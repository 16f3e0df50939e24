#ifndef STRINGS_OBJECTBASE_H_
#define STRINGS_OBJECTBASE_H_

// ObjectBase is the root of the string classes. It holds no data; it fixes the
// first two slots of every string's virtual table (the destructor, then
// Compare), so that a subclass can be ordered against another through a base
// pointer.
class ObjectBase {
 public:
  ObjectBase() = default;
  virtual ~ObjectBase();

  // Compare: orders this object against `other`; `byLength` chooses how
  // (see TextString::Compare). The root has no contents to order by, so
  // every object compares equal to every other: 0 whatever the arguments.
  virtual int Compare(const ObjectBase* other, int byLength) const;
};

#endif  // STRINGS_OBJECTBASE_H_
