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

  // Compare: the root has no contents to order by, so every object compares
  // equal to every other. Returns 0 whatever its arguments.
  virtual int Compare(const ObjectBase* other, int mode) const;
};

#endif  // STRINGS_OBJECTBASE_H_
