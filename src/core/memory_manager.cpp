// Memory manager: size-class pools, headed blocks and the shared page table.
//
// A pool (`CBucket`) carves fixed-size cells out of large pages. Cells have no
// header; a released block is recognised as a cell by finding its address in
// the page table, one array of {start, end} page ranges kept sorted by start, so
// the kind of any block costs one binary search. Everything else the manager
// hands out is a headed block: the system heap's memory behind a 16-byte header
// {size, 0xDEADC0DE, 0xBAADB00B, 0}. Pages are never returned to the system.
//
// Speed: each thread keeps a small stack of cells per size class in front of
// the pools, so the common allocation and release take no lock at all; the
// manager's mutex is taken only to move a batch of cells between a thread and
// a pool, to make a page, and for headed blocks. The page table is published
// copy-on-write (a page is made once per thousands of cells), so releases read
// it without a lock; superseded tables are kept, never freed, because a reader
// on another thread may still be searching one.
#include "core/memory_manager.h"

#include <algorithm>
#include <atomic>
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

// An immutable snapshot of the page table. `capacity` follows the table's
// growth rule (16 pairs, then half again whenever the pairs in use plus one
// reach it), which bounds how often a snapshot must be enlarged.
struct PageTable {
    size_t count;
    size_t capacity;
    const PageTable* superseded; // the previous snapshot, kept alive
    PageRange pages[1];
};

std::atomic<const PageTable*> g_pageTable{nullptr};
std::atomic<bool> bucketsShouldInit{false};
std::atomic<bool> g_poolsEnabled{ZQ_MEMORY_POOLS_DEFAULT != 0};

// Publishes a new snapshot with the page inserted in order. Caller holds the
// mutex. The table lives on the system heap: it must not recurse into the pools.
bool PageTable_Insert(uintptr_t start, uintptr_t end) {
    const PageTable* old = g_pageTable.load(std::memory_order_relaxed);
    size_t count = old != nullptr ? old->count : 0;
    size_t capacity = old != nullptr ? old->capacity : 16;
    if (count + 1 >= capacity) capacity = capacity * 3 / 2;
    auto* table = static_cast<PageTable*>(std::malloc(sizeof(PageTable) + capacity * sizeof(PageRange)));
    if (table == nullptr) return false;
    table->count = count + 1;
    table->capacity = capacity;
    table->superseded = old;
    size_t at = 0;
    if (old != nullptr) {
        at = static_cast<size_t>(
            std::upper_bound(old->pages, old->pages + count, start,
                             [](uintptr_t value, const PageRange& r) { return value < r.start; }) -
            old->pages);
        std::memcpy(table->pages, old->pages, at * sizeof(PageRange));
        std::memcpy(table->pages + at + 1, old->pages + at, (count - at) * sizeof(PageRange));
    }
    table->pages[at] = {start, end};
    g_pageTable.store(table, std::memory_order_release);
    return true;
}

// The page whose cell storage holds `block`, or null. The table is searched as
// one sorted run of 2n addresses (start0, end0, start1, ...): the first entry
// not below the block sits at an odd position exactly when start < block <= end.
const PageRange* PageTable_Find(const void* block) {
    const PageTable* table = g_pageTable.load(std::memory_order_acquire);
    if (table == nullptr) return nullptr;
    auto addr = reinterpret_cast<uintptr_t>(block);
    const uintptr_t* flat = reinterpret_cast<const uintptr_t*>(table->pages);
    const uintptr_t* flat_end = flat + 2 * table->count;
    const uintptr_t* it = std::lower_bound(flat, flat_end, addr);
    if (it == flat_end || ((it - flat) & 1) == 0) return nullptr;
    return table->pages + (it - flat) / 2;
}

class CBucketBase {
public:
    virtual void Init() = 0;
    virtual void Check() = 0;
    virtual size_t GetSize() const = 0;
    virtual bool Free(void* cell) = 0;

    // Index of the size class (0 for 8 bytes ... 5 for 256), -1 for private pools.
    int m_class = -1;

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

    constexpr explicit CBucket(int sizeClass) { m_class = sizeClass; }

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

    // Pops up to `max` cells into `out`, in the order Alloc would hand them
    // out; makes a page only when the free list is empty, so that a fresh page
    // still starts with its highest cell.
    size_t AllocBatch(void** out, size_t max) {
        if (m_free == nullptr && !NewPage()) return 0;
        size_t n = 0;
        while (n < max && m_free != nullptr) {
            out[n++] = m_free;
            m_free = *static_cast<void**>(m_free);
        }
        m_used += static_cast<int32_t>(n);
        m_freeCount -= static_cast<int32_t>(n);
        return n;
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
        page->next = m_pages;
        page->owner = this; // set before the page is published to lock-free readers
        if (Shared) {
            auto start = reinterpret_cast<uintptr_t>(page);
            if (!PageTable_Insert(start, start + kPageAllocation - 1)) {
                std::free(page);
                return false;
            }
        }
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

constinit CBucket<8, 131072, true> _8byte(0);
constinit CBucket<16, 262144, true> _16byte(1);
constinit CBucket<32, 262144, true> _32byte(2);
constinit CBucket<64, 524288, true> _64byte(3);
constinit CBucket<128, 524288, true> _128byte(4);
constinit CBucket<256, 1048576, true> _256byte(5);
constinit CBucket<16, 1048576, false> _rvalue(-1);

constexpr size_t kSizeClasses = 6;
constexpr size_t kCellSizes[kSizeClasses] = {8, 16, 32, 64, 128, 256};

inline int SizeClassOf(size_t size) {
    return size <= 8 ? 0 : std::bit_width(size - 1) - 3;
}

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

// Per-thread stacks of cells in front of the pools. The top of a stack is the
// next cell handed out, so a released cell is the first one reused.
constexpr uint32_t kCacheCells = 64;
constexpr uint32_t kCacheBatch = 16;

struct ThreadCellCache {
    uint32_t count[kSizeClasses];
    void* cells[kSizeClasses][kCacheCells];
};
thread_local constinit ThreadCellCache t_cells{};

// Moves `n` cells from the top of the thread's stack back to their pool.
void ReturnCells(int sizeClass, uint32_t n) {
    ThreadCellCache& cache = t_cells;
    MutexLock lock(MemoryMutex());
    CBucketBase* pool;
    switch (sizeClass) {
        case 0: pool = &_8byte; break;
        case 1: pool = &_16byte; break;
        case 2: pool = &_32byte; break;
        case 3: pool = &_64byte; break;
        case 4: pool = &_128byte; break;
        default: pool = &_256byte; break;
    }
    // Bottom first, so that the pool's free list keeps the thread's order.
    uint32_t keep = cache.count[sizeClass] - n;
    for (uint32_t i = keep; i < cache.count[sizeClass]; ++i) pool->Free(cache.cells[sizeClass][i]);
    cache.count[sizeClass] = keep;
}

// Registered on a thread's first refill; hands its cells back when it exits.
struct ThreadCellCacheOwner {
    ~ThreadCellCacheOwner() {
        for (size_t c = 0; c < kSizeClasses; ++c) {
            if (t_cells.count[c] != 0) ReturnCells(static_cast<int>(c), t_cells.count[c]);
        }
    }
};
thread_local ThreadCellCacheOwner t_cellsOwner;

template <typename Pool>
bool RefillFrom(Pool& pool, int sizeClass) {
    [[maybe_unused]] volatile auto* owner = &t_cellsOwner; // registers the exit hand-back
    void* batch[kCacheBatch];
    size_t n;
    {
        MutexLock lock(MemoryMutex());
        n = pool.AllocBatch(batch, kCacheBatch);
    }
    ThreadCellCache& cache = t_cells;
    uint32_t base = cache.count[sizeClass];
    for (size_t i = 0; i < n; ++i) cache.cells[sizeClass][base + n - 1 - i] = batch[i];
    cache.count[sizeClass] = base + static_cast<uint32_t>(n);
    return n != 0;
}

bool Refill(int sizeClass) {
    switch (sizeClass) {
        case 0: return RefillFrom(_8byte, 0);
        case 1: return RefillFrom(_16byte, 1);
        case 2: return RefillFrom(_32byte, 2);
        case 3: return RefillFrom(_64byte, 3);
        case 4: return RefillFrom(_128byte, 4);
        default: return RefillFrom(_256byte, 5);
    }
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
size_t BlockSize(const void* block) {
    if (const PageRange* page = PageTable_Find(block))
        return reinterpret_cast<PageHeader*>(page->start)->owner->GetSize();
    if (const MemoryBlockHeader* header = HeaderOf(block)) return header->size;
    return 0;
}

} // namespace

void* bucketAlloc(size_t size, bool clear) {
    if (size > 256 || !bucketsShouldInit.load(std::memory_order_relaxed) ||
        !g_poolsEnabled.load(std::memory_order_relaxed))
        return nullptr;
    int sizeClass = SizeClassOf(size);
    ThreadCellCache& cache = t_cells;
    if (cache.count[sizeClass] == 0 && !Refill(sizeClass)) return nullptr;
    void* cell = cache.cells[sizeClass][--cache.count[sizeClass]];
    if (clear) std::memset(cell, 0, kCellSizes[sizeClass]);
    return cell;
}

size_t MemoryManager_PageCount() {
    const PageTable* table = g_pageTable.load(std::memory_order_acquire);
    return table != nullptr ? table->count : 0;
}

size_t MemoryManager_PageTableCapacity() {
    const PageTable* table = g_pageTable.load(std::memory_order_acquire);
    return table != nullptr ? table->capacity : 0;
}

void MemoryManager::Init() {
    MemoryMutex();
    bucketsShouldInit.store(true);
}

void MemoryManager::SetPoolsEnabled(bool enabled) {
    g_poolsEnabled.store(enabled);
}

bool MemoryManager::PoolsEnabled() {
    return g_poolsEnabled.load();
}

void* MemoryManager::_Alloc(size_t size, const char* /*file*/, int /*line*/, bool clear) {
    if (void* cell = bucketAlloc(size, clear)) return cell;
    if (size > kMemoryMaxHeadedSize) return nullptr;
    auto* header = static_cast<MemoryBlockHeader*>(std::malloc(size + sizeof(MemoryBlockHeader)));
    if (header == nullptr) return nullptr;
    *header = {static_cast<uint32_t>(size), kMemoryTag1, kMemoryTag2, 0};
    MutexLock lock(MemoryMutex());
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
    if (const PageRange* page = PageTable_Find(block)) {
        int sizeClass = reinterpret_cast<PageHeader*>(page->start)->owner->m_class;
        ThreadCellCache& cache = t_cells;
        if (cache.count[sizeClass] == kCacheCells) ReturnCells(sizeClass, kCacheCells / 2);
        cache.cells[sizeClass][cache.count[sizeClass]++] = block;
        return;
    }
    if (const MemoryBlockHeader* found = HeaderOf(block)) {
        auto* header = const_cast<MemoryBlockHeader*>(found);
        MutexLock lock(MemoryMutex());
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
    if (PageTable_Find(block) != nullptr) return false;
    return HeaderOf(block) != nullptr;
}

size_t MemoryManager::GetSize(const void* block) {
    if (block == nullptr) return 0;
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
