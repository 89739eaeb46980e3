// Script objects: the base class's out-of-line members.
#include "core/object_base.h"

ZQObjectBase::~ZQObjectBase() = default;
