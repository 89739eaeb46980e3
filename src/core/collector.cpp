// The collector's store notifications. With the collector off a store of an
// object value needs no bookkeeping, so both entry points are empty here.
#include "core/collector.h"

void DeterminePotentialRoot(ZQObjectBase*, ZQObjectBase*) {}

ZQObjectBase* GetContextStackTop() {
    return nullptr;
}
