// The collector's store notifications and its context stack. Marking,
// sweeping and the generations join when the collector is built; until then
// a store of an object value needs no bookkeeping.
#include "core/collector.h"

#include "core/memory_manager.h"

bool g_fJSGarbageCollection = false;

namespace {

// Grown by doubling from one entry; never shrunk.
ZQObjectBase** g_ContextStack = nullptr;
int g_ContextStackTop = 0;
int g_ContextStackMax = 0;

} // namespace

void DeterminePotentialRoot(ZQObjectBase*, ZQObjectBase*) {}

bool PushContextStack(ZQObjectBase* object) {
    if (!g_fJSGarbageCollection) return false;
    if (g_ContextStackTop == g_ContextStackMax) {
        int grown = g_ContextStackMax == 0 ? 1 : g_ContextStackMax * 2;
        auto* stack = ZQ_ReAllocArray<ZQObjectBase*>(g_ContextStack, static_cast<size_t>(grown));
        if (stack == nullptr) return false;
        g_ContextStack = stack;
        g_ContextStackMax = grown;
    }
    g_ContextStack[g_ContextStackTop++] = object;
    return true;
}

void PopContextStack() {
    if (g_ContextStackTop > 0) --g_ContextStackTop;
}

ZQObjectBase* GetContextStackTop() {
    if (!g_fJSGarbageCollection) return nullptr;
    return g_ContextStackTop > 0 ? g_ContextStack[g_ContextStackTop - 1] : nullptr;
}

void Collector_Reset() {
    ZQ_Free(g_ContextStack);
    g_ContextStack = nullptr;
    g_ContextStackTop = g_ContextStackMax = 0;
    g_fJSGarbageCollection = false;
}
