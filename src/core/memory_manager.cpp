// Memory manager: size-class pools, headed blocks and the shared page table.
//
// A pool (`CBucket`) carves fixed-size cells out of large pages. Cells have no
// header; a released block is recognised as a cell by finding its address in
// `g_pages`, one array of {start, end} page ranges kept sorted by start, so the
// kind of any block costs one binary search. Everything else the manager hands
// out is a headed block: the system heap's memory behind a 16-byte header
// {size, 0xDEADC0DE, 0xBAADB00B, 0}. Pages are never returned to the system.
#include "core/memory_manager.h"

#include <algorithm>
#include <bit>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <new>

#include "core/console.h"
#include "core/mutex.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define ZQ_HAVE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#define ZQ_HAVE_ASAN 1
#endif
#endif

#ifndef ZQ_MEMORY_POOLS_DEFAULT
#define ZQ_MEMORY_POOLS_DEFAULT 1
#endif

int64_t MemoryManager::m_Total = 0;
int64_t MemoryManager::m_InUse = 0;
int64_t MemoryManager::m_StandardSize = 0;
int64_t MemoryManager::m_StandardCount = 0;
int64_t g_FrameCounter = 0;
RValue* g_pRValueFreeList = nullptr;

namespace {

class CBucketBase;

// Every page starts with these two words; the cell storage follows.
struct PageHeader {
    PageHeader* next; // the next older page of the same pool
    CBucketBase* owner;
};

struct PageRange {
    uintptr_t start;
    uintptr_t end; // last byte of the page's cell storage
};

PageRange* g_pages = nullptr;
size_t g_bucketNumPages = 0;
size_t pagedata_size = 0;
bool bucketsShouldInit = false;
bool g_poolsEnabled = ZQ_MEMORY_POOLS_DEFAULT != 0;

// The page table lives on the system heap: it must not recurse into the pools.
// Returns false when the table cannot grow; the new page is then not made.
bool PageTable_Insert(uintptr_t start, uintptr_t end) {
    if (g_pages == nullptr) {
        g_pages = static_cast<PageRange*>(std::malloc(16 * sizeof(PageRange)));
        if (g_pages == nullptr) return false;
        pagedata_size = 16;
    }
    if (g_bucketNumPages + 1 >= pagedata_size) {
        size_t grown = pagedata_size * 3 / 2;
        auto* table = static_cast<PageRange*>(std::realloc(g_pages, grown * sizeof(PageRange)));
        if (table == nullptr) return false;
        g_pages = table;
        pagedata_size = grown;
    }
    PageRange* end_it = g_pages + g_bucketNumPages;
    PageRange* pos = std::upper_bound(g_pages, end_it, start,
                                      [](uintptr_t value, const PageRange& r) { return value < r.start; });
    std::memmove(pos + 1, pos, static_cast<size_t>(end_it - pos) * sizeof(PageRange));
    *pos = {start, end};
    ++g_bucketNumPages;
    return true;
}

// The page whose cell storage holds `block`, or null. The table is searched as
// one sorted run of 2n addresses (start0, end0, start1, ...): the first entry
// not below the block sits at an odd position exactly when start < block <= end.
const PageRange* PageTable_Find(const void* block) {
    if (g_bucketNumPages == 0) return nullptr;
    auto addr = reinterpret_cast<uintptr_t>(block);
    const uintptr_t* flat = reinterpret_cast<const uintptr_t*>(g_pages);
    const uintptr_t* flat_end = flat + 2 * g_bucketNumPages;
    const uintptr_t* it = std::lower_bound(flat, flat_end, addr);
    if (it == flat_end || ((it - flat) & 1) == 0) return nullptr;
    return g_pages + (it - flat) / 2;
}

class CBucketBase {
public:
    virtual void Init() = 0;
    virtual void Check() = 0;
    virtual size_t GetSize() const = 0;
    virtual bool Free(void* cell) = 0;

protected:
    constexpr CBucketBase() = default;
    ~CBucketBase() = default;
};

// One pool of CellSize-byte cells on pages of PageBytes. `Shared` pools enter
// their pages in the page table and trust the caller to have found the page
// there; private pools search their own page list on release.
template <size_t CellSize, size_t PageBytes, bool Shared>
class CBucket final : public CBucketBase {
    static_assert(std::has_single_bit(CellSize) && CellSize >= sizeof(void*));

public:
    static constexpr size_t kCellsPerPage = PageBytes / CellSize - 1;
    static constexpr size_t kPageAllocation = sizeof(PageHeader) + PageBytes + CellSize;

    constexpr CBucket() = default;

    void Init() override {
        m_pages = nullptr;
        m_free = nullptr;
        m_used = 0;
        m_freeCount = 0;
    }

    void Check() override {
        if (m_free != nullptr && m_pages == nullptr) std::abort();
        for (void* cell = m_free; cell != nullptr; cell = *static_cast<void**>(cell)) {
            if (FindPage(cell) == nullptr) std::abort();
        }
    }

    size_t GetSize() const override { return CellSize; }

    bool Free(void* cell) override {
        if (!Shared && FindPage(cell) == nullptr) return false;
        *static_cast<void**>(cell) = m_free;
        m_free = cell;
        --m_used;
        ++m_freeCount;
        return true;
    }

    // Pops a cell; a fresh page hands out its cells from the top downwards.
    void* Alloc(bool clear) {
        if (m_free == nullptr && !NewPage()) return nullptr;
        void* cell = m_free;
        m_free = *static_cast<void**>(cell);
        ++m_used;
        --m_freeCount;
        if (clear) std::memset(cell, 0, CellSize);
        return cell;
    }

    int32_t UsedCount() const { return m_used; }

private:
    static uintptr_t FirstCell(PageHeader* page) {
        return (reinterpret_cast<uintptr_t>(page) + sizeof(PageHeader) + CellSize) & ~(CellSize - 1);
    }

    PageHeader* FindPage(const void* cell) const {
        auto addr = reinterpret_cast<uintptr_t>(cell);
        for (PageHeader* page = m_pages; page != nullptr; page = page->next) {
            uintptr_t first = FirstCell(page);
            if (addr >= first && addr < first + kCellsPerPage * CellSize) return page;
        }
        return nullptr;
    }

    bool NewPage() {
        auto* page = static_cast<PageHeader*>(std::malloc(kPageAllocation));
        if (page == nullptr) return false;
        std::memset(page + 1, 0x78, PageBytes + CellSize);
        if (Shared) {
            auto start = reinterpret_cast<uintptr_t>(page);
            if (!PageTable_Insert(start, start + kPageAllocation - 1)) {
                std::free(page);
                return false;
            }
        }
        page->next = m_pages;
        page->owner = this;
        m_pages = page;
        // Link each cell to the one just below it; the lowest keeps the old head.
        uintptr_t cell = FirstCell(page);
        void* below = m_free;
        for (size_t i = 0; i < kCellsPerPage; ++i, cell += CellSize) {
            *reinterpret_cast<void**>(cell) = below;
            below = reinterpret_cast<void*>(cell);
        }
        m_free = below;
        m_freeCount += static_cast<int32_t>(kCellsPerPage);
        return true;
    }

    PageHeader* m_pages = nullptr;
    void* m_free = nullptr;
    int32_t m_used = 0;
    int32_t m_freeCount = 0;
};

constinit CBucket<8, 131072, true> _8byte;
constinit CBucket<16, 262144, true> _16byte;
constinit CBucket<32, 262144, true> _32byte;
constinit CBucket<64, 524288, true> _64byte;
constinit CBucket<128, 524288, true> _128byte;
constinit CBucket<256, 1048576, true> _256byte;
constinit CBucket<16, 1048576, false> _rvalue;

// Created on first use from any thread, with the system allocator, and never
// destroyed: allocations may still happen while static objects are torn down.
Mutex& MemoryMutex() {
    static Mutex* mutex = new (std::malloc(sizeof(Mutex))) Mutex("MemoryManagerMutex");
    return *mutex;
}

Mutex& RValueMutex() {
    static Mutex* mutex = new (std::malloc(sizeof(Mutex))) Mutex("MemoryManagerMutex");
    return *mutex;
}

// Whether the 16 bytes before `block` may be read as a header. Under the
// address sanitizer a foreign block's neighbourhood is poisoned; reading it
// would be reported, so such a block is taken to be foreign straight away.
const MemoryBlockHeader* HeaderOf(const void* block) {
    auto* header = reinterpret_cast<const MemoryBlockHeader*>(static_cast<const char*>(block) -
                                                              sizeof(MemoryBlockHeader));
#ifdef ZQ_HAVE_ASAN
    if (__asan_region_is_poisoned(const_cast<MemoryBlockHeader*>(header), sizeof(MemoryBlockHeader)))
        return nullptr;
#endif
    if (header->tag1 != kMemoryTag1 || header->tag2 != kMemoryTag2) return nullptr;
    return header;
}

// Size of a block the manager made (pool cell or headed block); 0 otherwise.
// Caller holds the mutex.
size_t BlockSize(const void* block) {
    if (const PageRange* page = PageTable_Find(block))
        return reinterpret_cast<PageHeader*>(page->start)->owner->GetSize();
    if (const MemoryBlockHeader* header = HeaderOf(block)) return header->size;
    return 0;
}

} // namespace

void* bucketAlloc(size_t size, bool clear) {
    if (!bucketsShouldInit || !g_poolsEnabled || size > 256) return nullptr;
    if (size <= 8) return _8byte.Alloc(clear);
    switch (std::bit_width(size - 1)) {
        case 4: return _16byte.Alloc(clear);
        case 5: return _32byte.Alloc(clear);
        case 6: return _64byte.Alloc(clear);
        case 7: return _128byte.Alloc(clear);
        default: return _256byte.Alloc(clear);
    }
}

size_t MemoryManager_PageCount() {
    MutexLock lock(MemoryMutex());
    return g_bucketNumPages;
}

size_t MemoryManager_PageTableCapacity() {
    MutexLock lock(MemoryMutex());
    return pagedata_size;
}

void MemoryManager::Init() {
    MutexLock lock(MemoryMutex());
    bucketsShouldInit = true;
}

void MemoryManager::SetPoolsEnabled(bool enabled) {
    MutexLock lock(MemoryMutex());
    g_poolsEnabled = enabled;
}

bool MemoryManager::PoolsEnabled() {
    MutexLock lock(MemoryMutex());
    return g_poolsEnabled;
}

void* MemoryManager::_Alloc(size_t size, const char* /*file*/, int /*line*/, bool clear) {
    MutexLock lock(MemoryMutex());
    if (void* cell = bucketAlloc(size, clear)) return cell;
    if (size > kMemoryMaxHeadedSize) return nullptr;
    auto* header = static_cast<MemoryBlockHeader*>(std::malloc(size + sizeof(MemoryBlockHeader)));
    if (header == nullptr) return nullptr;
    *header = {static_cast<uint32_t>(size), kMemoryTag1, kMemoryTag2, 0};
    m_Total += static_cast<int64_t>(size);
    m_InUse += static_cast<int64_t>(size);
    m_StandardSize += static_cast<int64_t>(size);
    ++m_StandardCount;
    void* block = header + 1;
    if (clear) std::memset(block, 0, size);
    return block;
}

void* MemoryManager::Alloc(size_t size, const char* file, int line, bool clear) {
    if (size == 0) return nullptr;
    return _Alloc(size, file, line, clear);
}

void MemoryManager::Free(void* block) {
    if (block == nullptr) return;
    MutexLock lock(MemoryMutex());
    if (const PageRange* page = PageTable_Find(block)) {
        reinterpret_cast<PageHeader*>(page->start)->owner->Free(block);
        return;
    }
    if (const MemoryBlockHeader* found = HeaderOf(block)) {
        auto* header = const_cast<MemoryBlockHeader*>(found);
        m_InUse -= header->size;
        m_Total -= header->size;
        m_StandardSize -= header->size;
        --m_StandardCount;
        header->tag1 = 0; // a stale header must not pass for a live block
        std::free(header);
        return;
    }
    std::free(block);
}

void* MemoryManager::ReAlloc(void* block, size_t size, const char* file, int line, bool /*clear*/) {
    if (block == nullptr) return size == 0 ? nullptr : _Alloc(size, file, line, true);
    MutexLock lock(MemoryMutex());
    size_t current = BlockSize(block);
    if (current == 0) {
        // The size of a foreign block is unknown, so it cannot be copied safely.
        dbg_csol->Output("%s", "Why are we reallocing a block that we didn't alloc?!\n");
        return nullptr;
    }
    if (current >= size) return block;
    void* grown = _Alloc(size, file, line, true);
    if (grown == nullptr) return nullptr; // the caller keeps its old block
    std::memcpy(grown, block, current);
    Free(block);
    return grown;
}

void* MemoryManager::SetLength(void** block, size_t size, const char* file, int line) {
    void* grown = ReAlloc(*block, size, file, line, true);
    if (grown != nullptr) *block = grown;
    return grown;
}

bool MemoryManager::IsAllocated(void* block) {
    if (block == nullptr) return false;
    MutexLock lock(MemoryMutex());
    if (PageTable_Find(block) != nullptr) return false;
    return HeaderOf(block) != nullptr;
}

size_t MemoryManager::GetSize(const void* block) {
    if (block == nullptr) return 0;
    MutexLock lock(MemoryMutex());
    return BlockSize(block);
}

void MemoryManager::DumpMemory(FILE* /*file*/) {
    std::fprintf(stderr, "Total memory used = %lld(0x%08llx) bytes\n", static_cast<long long>(m_Total),
                 static_cast<unsigned long long>(m_Total));
}

void MemoryManager::Memory_Tick() {
    ++g_FrameCounter;
}

// The variable-cell pool is used by the main thread and by the collector's
// hand-over; it takes its own lock so that the two can never race.
RValue* GetRValue() {
    MutexLock lock(RValueMutex());
    if (g_pRValueFreeList != nullptr) {
        RValue* cell = g_pRValueFreeList;
        g_pRValueFreeList = *reinterpret_cast<RValue**>(cell);
        return cell;
    }
    return static_cast<RValue*>(_rvalue.Alloc(false));
}

void FreeRValue(RValue* cell, RValue** list, RValue** tail) {
    MutexLock lock(RValueMutex());
    if (list == nullptr)
        list = &g_pRValueFreeList;
    else if (tail != nullptr && *tail == nullptr)
        *tail = cell;
    *reinterpret_cast<RValue**>(cell) = *list;
    *list = cell;
}

void CREATE_RVALUE_MUTEX() {
    RValueMutex();
}
void LOCK_RVALUE_MUTEX() {
    RValueMutex().Lock();
}
void UNLOCK_RVALUE_MUTEX() {
    RValueMutex().Unlock();
}

void DisplayMemoryError(size_t, const char*) {}
void memLogPushContext(const char*) {}
void memLogPopContext() {}
void memLogEvent(const char*, ...) {}
