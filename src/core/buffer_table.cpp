// The script buffer table (see buffer_table.h).
#include "core/buffer_table.h"

#include <memory>
#include <vector>

#include "core/error.h"

namespace {

std::vector<std::unique_ptr<IBuffer>> g_Buffers;

bool InTable(int index) {
    return index >= 0 && index < static_cast<int>(g_Buffers.size());
}

int FreeSlot() {
    for (size_t i = 0; i < g_Buffers.size(); ++i)
        if (!g_Buffers[i]) return static_cast<int>(i);
    const size_t old = g_Buffers.size();
    g_Buffers.resize(old == 0 ? 32 : old * 2);
    return static_cast<int>(old);
}

} // namespace

int CreateBuffer(int size, eBuffer_Format format, int alignment) {
    if (format < eBuffer_Format_Fixed || format > eBuffer_Format_VBuffer) {
        ZQError("Unknown buffer type, should be one of buffer_fixed, buffer_grow, buffer_wrap, buffer_fast, "
                "buffer_vbuffer");
        return -1;
    }
    const int slot = FreeSlot();
    g_Buffers[slot] = std::make_unique<Buffer_Standard>(size, format, alignment);
    return slot;
}

IBuffer* GetIBuffer(int index) {
    return InTable(index) ? g_Buffers[index].get() : nullptr;
}

void FreeIBuffer(int index) {
    if (InTable(index)) g_Buffers[index].reset();
}

bool DeleteBufferIfUnused(int index) {
    IBuffer* buffer = GetIBuffer(index);
    if (buffer == nullptr || buffer->UseCount() > 0) return false;
    FreeIBuffer(index);
    return true;
}

int BufferTable_Count() {
    return static_cast<int>(g_Buffers.size());
}

void BufferTable_Reset() {
    g_Buffers.clear();
}
