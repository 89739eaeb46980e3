// The slot arrays of CHashMap: a small per-thread shelf of released arrays,
// so that a map growing (or built again) reuses warm memory instead of
// faulting in fresh pages for every doubling.
#include "core/hash_map.h"

#include <cstring>

namespace {

// Smaller blocks come from the pools or from the heap's warm bins; parking
// them would save nothing.
constexpr size_t kParkMinBytes = 4096;
// At most this much parked per thread, in at most this many blocks.
constexpr size_t kParkMaxBytes = size_t{8} << 20;
constexpr int kParkSlots = 16;

// Plain data, so it outlives every destructor of its thread: a map destroyed
// after the shelf was released (a static object's, at exit) frees its table.
struct ParkedTables {
    void* blocks[kParkSlots];
    size_t sizes[kParkSlots];
    size_t total;
    bool closed;

    void Release() {
        for (int i = 0; i < kParkSlots; ++i) {
            ZQ_Free(blocks[i]);
            blocks[i] = nullptr;
            sizes[i] = 0;
        }
        total = 0;
    }
};

thread_local ParkedTables t_parked;

// Frees the shelf when its thread ends (before the memory manager's statics
// go) and closes it.
struct ParkedTablesCloser {
    ~ParkedTablesCloser() {
        t_parked.Release();
        t_parked.closed = true;
    }
};

thread_local ParkedTablesCloser t_closer;

} // namespace

void* CHashMapTables_Take(size_t bytes) {
    if (bytes >= kParkMinBytes) {
        ParkedTables& parked = t_parked;
        for (int i = 0; i < kParkSlots; ++i) {
            if (parked.blocks[i] == nullptr || parked.sizes[i] != bytes) continue;
            void* block = parked.blocks[i];
            parked.blocks[i] = nullptr;
            parked.total -= bytes;
            std::memset(block, 0, bytes);
            return block;
        }
    }
    return ZQ_AllocArray<unsigned char>(bytes);
}

void CHashMapTables_Give(void* block, size_t bytes) {
    if (block == nullptr) return;
    ParkedTables& parked = t_parked;
    // Like the pools, parking is off where every block must reach the
    // sanitizer, so a pointer kept into a released table is still caught.
    if (bytes >= kParkMinBytes && !parked.closed && parked.total + bytes <= kParkMaxBytes &&
        MemoryManager::PoolsEnabled()) {
        static_cast<void>(&t_closer); // its first use arranges the release at the thread's end
        for (int i = 0; i < kParkSlots; ++i) {
            if (parked.blocks[i] != nullptr) continue;
            parked.blocks[i] = block;
            parked.sizes[i] = bytes;
            parked.total += bytes;
            return;
        }
    }
    ZQ_Free(block);
}

void CHashMapTables_Release() {
    t_parked.Release();
}
