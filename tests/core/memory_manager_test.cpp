// Memory manager: size classes, cell order, headed blocks, ReAlloc, foreign
// blocks and the page table. Pools are switched on here explicitly, since the
// sanitizer build runs the rest of the runtime in pass-through mode.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "core/memory_manager.h"

namespace {

class PooledMemory : public ::testing::Test {
protected:
    void SetUp() override {
        m_wasEnabled = MemoryManager::PoolsEnabled();
        MemoryManager::Init();
        MemoryManager::SetPoolsEnabled(true);
    }
    void TearDown() override { MemoryManager::SetPoolsEnabled(m_wasEnabled); }

    static void* Alloc(size_t n, bool clear = false) {
        return MemoryManager::Alloc(n, __FILE__, __LINE__, clear);
    }

private:
    bool m_wasEnabled = true;
};

bool IsHeaded(void* block) {
    return MemoryManager::IsAllocated(block);
}

} // namespace

TEST_F(PooledMemory, SizeClassesAndHeadedBlocks) {
    EXPECT_EQ(Alloc(0), nullptr);
    struct Case {
        size_t request;
        size_t cell; // 0: a headed block
    } cases[] = {{1, 8},   {8, 8},    {9, 16},    {16, 16},   {17, 32},
                 {33, 64}, {65, 128}, {129, 256}, {256, 256}, {257, 0}};
    for (const Case& c : cases) {
        void* block = Alloc(c.request);
        ASSERT_NE(block, nullptr) << c.request;
        if (c.cell != 0) {
            EXPECT_EQ(MemoryManager::GetSize(block), c.cell) << c.request;
            EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % c.cell, 0u) << "cells align to their size";
            EXPECT_FALSE(IsHeaded(block));
        } else {
            EXPECT_TRUE(IsHeaded(block));
            EXPECT_EQ(MemoryManager::GetSize(block), c.request);
            const uint32_t* header = static_cast<const uint32_t*>(block) - 4;
            EXPECT_EQ(header[0], c.request);
            EXPECT_EQ(header[1], 0xDEADC0DEu);
            EXPECT_EQ(header[2], 0xBAADB00Bu);
            EXPECT_EQ(header[3], 0u);
        }
        MemoryManager::Free(block);
    }
}

TEST_F(PooledMemory, PassThroughModeMakesHeadedBlocksAndFreesEitherKind) {
    void* cell = Alloc(8);
    ASSERT_FALSE(IsHeaded(cell));
    MemoryManager::SetPoolsEnabled(false);
    void* headed = Alloc(8);
    EXPECT_TRUE(IsHeaded(headed));
    MemoryManager::Free(cell); // a pool cell is still recognised
    MemoryManager::SetPoolsEnabled(true);
    MemoryManager::Free(headed);
}

TEST_F(PooledMemory, FreshPageHandsOutCellsTopDownAndReusesTheLastFreed) {
    // Drain the 128-byte pool's free list so the next request makes a page.
    std::vector<void*> held;
    size_t pages = MemoryManager_PageCount();
    void* first = nullptr;
    while (MemoryManager_PageCount() == pages) {
        first = Alloc(100);
        held.push_back(first);
    }
    // `first` is the first cell of the new page: the highest one.
    void* second = Alloc(100);
    EXPECT_EQ(static_cast<char*>(second), static_cast<char*>(first) - 128);
    unsigned char fill[128];
    std::memset(fill, 0x78, sizeof fill);
    // Past the free-list link word, a cell never handed out still holds the page fill.
    EXPECT_EQ(std::memcmp(static_cast<char*>(second) + 8, fill, 120), 0);
    MemoryManager::Free(first);
    EXPECT_EQ(Alloc(100), first);
    void* cleared = Alloc(100, true);
    EXPECT_EQ(static_cast<unsigned char*>(cleared)[127], 0);
    MemoryManager::Free(cleared);
    MemoryManager::Free(second);
    for (void* p : held) MemoryManager::Free(p);
}

TEST_F(PooledMemory, ReAllocGrowsCopiesAndZeroFills) {
    auto* headed = static_cast<unsigned char*>(Alloc(300));
    std::memset(headed, 0xAB, 300);
    EXPECT_EQ(MemoryManager::ReAlloc(headed, 50, __FILE__, __LINE__, false), headed) << "never shrinks";
    int64_t total = MemoryManager::m_Total;
    auto* grown = static_cast<unsigned char*>(MemoryManager::ReAlloc(headed, 400, __FILE__, __LINE__, false));
    ASSERT_NE(grown, headed);
    for (int i = 0; i < 300; ++i) ASSERT_EQ(grown[i], 0xAB) << i;
    for (int i = 300; i < 400; ++i) ASSERT_EQ(grown[i], 0) << i;
    EXPECT_EQ(MemoryManager::m_Total, total + 100) << "old block released, new one counted";
    MemoryManager::Free(grown);

    // Across size classes: a 24-byte request lives in a 32-byte cell.
    auto* cell = static_cast<unsigned char*>(Alloc(24));
    std::memset(cell, 0x5C, 24);
    EXPECT_EQ(MemoryManager::ReAlloc(cell, 30, __FILE__, __LINE__, false), cell);
    auto* moved = static_cast<unsigned char*>(MemoryManager::ReAlloc(cell, 40, __FILE__, __LINE__, false));
    ASSERT_NE(moved, cell);
    EXPECT_EQ(MemoryManager::GetSize(moved), 64u);
    EXPECT_EQ(moved[23], 0x5C);
    // The copy is of the whole 32-byte cell, the rest is zero.
    EXPECT_EQ(moved[39], 0);
    MemoryManager::Free(moved);

    // From a cell to a headed block and from nothing.
    void* big = MemoryManager::ReAlloc(Alloc(16), 1000, __FILE__, __LINE__, false);
    EXPECT_TRUE(IsHeaded(big));
    MemoryManager::Free(big);
    EXPECT_EQ(MemoryManager::ReAlloc(nullptr, 0, __FILE__, __LINE__, false), nullptr);
    void* fresh = MemoryManager::ReAlloc(nullptr, 20, __FILE__, __LINE__, false);
    EXPECT_EQ(static_cast<unsigned char*>(fresh)[19], 0);
    MemoryManager::Free(fresh);
}

TEST_F(PooledMemory, ForeignBlocksAreReleasedToTheSystemAndNeverResized) {
    void* foreign = std::malloc(64);
    EXPECT_FALSE(MemoryManager::IsAllocated(foreign));
    EXPECT_EQ(MemoryManager::GetSize(foreign), 0u);
    // Its size is unknown: ReAlloc refuses and the caller keeps the block.
    EXPECT_EQ(MemoryManager::ReAlloc(foreign, 128, __FILE__, __LINE__, false), nullptr);
    MemoryManager::Free(foreign); // LeakSanitizer would report it otherwise
    MemoryManager::Free(nullptr);
}

TEST_F(PooledMemory, StatisticsCountHeadedBlocksOnly) {
    int64_t total = MemoryManager::m_Total;
    int64_t count = MemoryManager::m_StandardCount;
    void* headed = Alloc(1000);
    EXPECT_EQ(MemoryManager::m_Total, total + 1000);
    EXPECT_EQ(MemoryManager::m_StandardCount, count + 1);
    void* cell = Alloc(10);
    EXPECT_EQ(MemoryManager::m_Total, total + 1000);
    MemoryManager::Free(cell);
    MemoryManager::Free(headed);
    EXPECT_EQ(MemoryManager::m_Total, total);
    EXPECT_EQ(MemoryManager::m_StandardCount, count);
}

TEST_F(PooledMemory, OversizedRequestsAreRefused) {
    EXPECT_EQ(Alloc(kMemoryMaxHeadedSize + 1), nullptr);
    EXPECT_EQ(Alloc(SIZE_MAX), nullptr);
    EXPECT_EQ(ZQ_AllocArray<double>(SIZE_MAX / 4), nullptr) << "count * size must not wrap";
    void* block = Alloc(32);
    EXPECT_EQ(MemoryManager::ReAlloc(block, SIZE_MAX, __FILE__, __LINE__, false), nullptr);
    MemoryManager::Free(block);
}

TEST_F(PooledMemory, PageTableGrowsByHalvesAndFindsEveryPage) {
    // 8-byte pages hold 16383 cells; allocate until 24 or more pages exist.
    std::vector<void*> cells;
    std::vector<void*> firstOfPage;
    size_t pages = MemoryManager_PageCount();
    while (MemoryManager_PageCount() < 25) {
        void* cell = Alloc(8);
        ASSERT_NE(cell, nullptr);
        cells.push_back(cell);
        size_t now = MemoryManager_PageCount();
        if (now != pages) {
            pages = now;
            firstOfPage.push_back(cell);
            // Room starts at 16 and grows by half whenever pages + 1 reach it.
            size_t room = 16;
            for (size_t n = 0; n < pages; ++n) {
                if (n + 1 >= room) room = room * 3 / 2;
            }
            EXPECT_EQ(MemoryManager_PageTableCapacity(), room) << pages << " pages";
        }
    }
    for (void* cell : firstOfPage) EXPECT_EQ(MemoryManager::GetSize(cell), 8u);
    for (void* cell : cells) MemoryManager::Free(cell);
}

TEST_F(PooledMemory, ThreadsAllocateAndReleaseConcurrently) {
    auto worker = [](int seed) {
        std::vector<unsigned char*> blocks;
        for (int i = 0; i < 20000; ++i) {
            size_t size = 1 + static_cast<size_t>((i * 7 + seed) % 400);
            auto* p = static_cast<unsigned char*>(MemoryManager::Alloc(size, __FILE__, __LINE__, false));
            p[0] = static_cast<unsigned char>(seed);
            p[size - 1] = static_cast<unsigned char>(seed);
            blocks.push_back(p);
            if (i % 3 == 0) {
                ASSERT_EQ(blocks.front()[0], static_cast<unsigned char>(seed));
                MemoryManager::Free(blocks.front());
                blocks.erase(blocks.begin());
            }
        }
        for (auto* p : blocks) MemoryManager::Free(p);
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(worker, t + 1);
    for (auto& t : threads) t.join();
}

TEST(RValueCells, FreeListsAreLifoAndPrivateChainsKeepTheirTail) {
    RValue* a = GetRValue();
    RValue* b = GetRValue();
    ASSERT_NE(a, nullptr);
    ASSERT_NE(a, b);
    FreeRValue(a, nullptr, nullptr);
    EXPECT_EQ(GetRValue(), a);

    RValue* head = nullptr;
    RValue* tail = nullptr;
    FreeRValue(a, &head, &tail);
    FreeRValue(b, &head, &tail);
    EXPECT_EQ(head, b);
    EXPECT_EQ(tail, a) << "the first cell pushed on a private chain is its tail";
    // Splice the chain onto the shared list by its tail.
    *reinterpret_cast<RValue**>(tail) = g_pRValueFreeList;
    g_pRValueFreeList = head;
    EXPECT_EQ(GetRValue(), b);
    EXPECT_EQ(GetRValue(), a);
}
