#include "strings/ObjectBase.h"

ObjectBase::~ObjectBase() = default;

int ObjectBase::Compare(const ObjectBase*, int) const { return 0; }
