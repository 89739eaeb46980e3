// The runtime's allocator: six size-class pools for blocks of up to 256 bytes,
// headed system-heap blocks for everything larger (and for everything made
// before Init), one recursive mutex over all of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

struct RValue;

// Header in front of every block the manager takes from the system heap.
struct MemoryBlockHeader {
    uint32_t size;
    uint32_t tag1; // kMemoryTag1
    uint32_t tag2; // kMemoryTag2
    uint32_t zero;
};
static_assert(sizeof(MemoryBlockHeader) == 16, "headed blocks keep 16-byte alignment");

inline constexpr uint32_t kMemoryTag1 = 0xDEADC0DE;
inline constexpr uint32_t kMemoryTag2 = 0xBAADB00B;
// The largest request a header can describe: size + 16 must fit the 32-bit word.
inline constexpr size_t kMemoryMaxHeadedSize = 0xFFFFFFFEu - sizeof(MemoryBlockHeader);

class MemoryManager {
public:
    // Lets requests of up to 256 bytes use the pools from now on (unless the
    // build or a test switched pooling off). Creates the mutex on first call.
    static void Init();

    // A block of at least `size` bytes, or null for size 0, for a size the
    // header cannot hold, or when memory is exhausted. `file` and `line` name
    // the caller for diagnostics only.
    static void* Alloc(size_t size, const char* file, int line, bool clear);
    static void* _Alloc(size_t size, const char* file, int line, bool clear);

    // Grows a block, keeping its contents; never shrinks or moves for a smaller
    // size. Bytes past the old contents are zero. On failure (no memory, or a
    // block the manager did not make) returns null and leaves the block as it was.
    static void* ReAlloc(void* block, size_t size, const char* file, int line, bool clear);
    // ReAlloc of *block, stored back through `block` when it succeeds.
    static void* SetLength(void** block, size_t size, const char* file, int line);

    // Releases a pool cell, a headed block, or (handing it to free) any other
    // system-heap block. Null is ignored.
    static void Free(void* block);

    // True for a live headed block; false for null, pool cells and foreign blocks.
    static bool IsAllocated(void* block);
    // The usable size of a pool cell or headed block; 0 for anything else.
    static size_t GetSize(const void* block);

    static void DumpMemory(FILE* file);
    static void Memory_Tick();
    static void* GetStackTrace() { return nullptr; }

    // Pass-through mode: when pools are off every request becomes a headed
    // system-heap block, so AddressSanitizer sees each allocation. Blocks of
    // either kind may be released in either mode.
    static void SetPoolsEnabled(bool enabled);
    static bool PoolsEnabled();

    // Statistics of headed blocks only (pool cells are not counted).
    static int64_t m_Total;
    static int64_t m_InUse;
    static int64_t m_StandardSize;
    static int64_t m_StandardCount;
};

extern int64_t g_FrameCounter;

// Pool cells (exposed for tests and for the variable-cell pool's users).
void* bucketAlloc(size_t size, bool clear);
// Number of pages in the shared page table and its room, for tests.
size_t MemoryManager_PageCount();
size_t MemoryManager_PageTableCapacity();

// 16-byte cells for script-object variables, recycled through free lists.
RValue* GetRValue();
void FreeRValue(RValue* cell, RValue** list, RValue** tail);
extern RValue* g_pRValueFreeList;
void CREATE_RVALUE_MUTEX();
void LOCK_RVALUE_MUTEX();
void UNLOCK_RVALUE_MUTEX();

void DisplayMemoryError(size_t size, const char* text);
void memLogPushContext(const char* name);
void memLogPopContext();
void memLogEvent(const char* format, ...);

// The wrappers every allocation in the runtime goes through.
#define ZQ_Alloc(size) MemoryManager::Alloc((size), __FILE__, __LINE__, true)
#define ZQ_AllocNoClear(size) MemoryManager::Alloc((size), __FILE__, __LINE__, false)
#define ZQ_ReAlloc(block, size) MemoryManager::ReAlloc((block), (size), __FILE__, __LINE__, true)
#define ZQ_Free(block) MemoryManager::Free(block)

// Typed helpers: allocate `count` elements of T, with an overflow check on the
// byte count so that a hostile count cannot wrap around to a small block.
template <typename T>
T* ZQ_AllocArray(size_t count, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (count > kMemoryMaxHeadedSize / sizeof(T)) return nullptr;
    return static_cast<T*>(MemoryManager::Alloc(count * sizeof(T), file, line, true));
}
template <typename T>
T* ZQ_ReAllocArray(T* block, size_t count, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (count > kMemoryMaxHeadedSize / sizeof(T)) return nullptr;
    return static_cast<T*>(MemoryManager::ReAlloc(block, count * sizeof(T), file, line, true));
}
