// CHashMap (Robin Hood, growth at 0.6, back-shift delete) and Hash<T>.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/hash.h"
#include "core/hash_map.h"

TEST(MurmurHash3, KnownVectors) {
    EXPECT_EQ(MurmurHash3_x86_32("", 0, 0), 0u);
    EXPECT_EQ(MurmurHash3_x86_32("", 0, 1), 0x514E28B7u);
    EXPECT_EQ(MurmurHash3_x86_32("hello", 5, 0), 0x248BFA47u);
    EXPECT_EQ(MurmurHash3_x86_32("The quick brown fox jumps over the lazy dog", 43, 0), 0x2E4FF723u);
}

TEST(CHashMap, GrowsPastSixTenthsLoad) {
    CHashMap<int, int, 3> map;
    EXPECT_EQ(map.Capacity(), 8u);
    EXPECT_EQ(map.GrowThreshold(), 4u);
    for (int k = 0; k < 5; ++k) map.Insert(k * 8, k); // all share home slot 1
    EXPECT_EQ(map.Capacity(), 8u) << "five entries fit eight slots";
    map.Insert(100, 100);
    EXPECT_EQ(map.Capacity(), 16u);
    EXPECT_EQ(map.GrowThreshold(), 9u);
    for (int k = 0; k < 5; ++k) ASSERT_NE(map.Find(k * 8), nullptr);
    EXPECT_EQ(*map.Find(100), 100);
    EXPECT_EQ(map.Count(), 6u);
}

TEST(CHashMap, InsertReplacesAndKeepsCount) {
    CHashMap<int, int, 4> map;
    map.Insert(7, 1);
    map.Insert(7, 2);
    EXPECT_EQ(map.Count(), 1u);
    EXPECT_EQ(*map.Find(7), 2);
}

TEST(CHashMap, KeysZeroAndMinusOneAreOrdinaryKeys) {
    CHashMap<int, int, 3> map;
    map.Insert(0, 10);
    map.Insert(-1, 11);         // its raw hash is the empty marker
    map.Insert(0x7FFFFFFE, 12); // shares a 31-bit hash with -2
    map.Insert(-2, 13);
    EXPECT_EQ(*map.Find(0), 10);
    EXPECT_EQ(*map.Find(-1), 11);
    EXPECT_EQ(*map.Find(0x7FFFFFFE), 12);
    EXPECT_EQ(*map.Find(-2), 13);
    EXPECT_TRUE(map.Delete(-1));
    EXPECT_EQ(map.Find(-1), nullptr);
    EXPECT_EQ(*map.Find(0), 10);
}

TEST(CHashMap, DeleteShiftsTheRunBack) {
    CHashMap<int, int, 4> map; // 16 slots; keys 15, 31, 47 all start at home slot 0
    map.Insert(15, 1);
    map.Insert(31, 2);
    map.Insert(47, 3);
    map.Insert(0, 4); // home slot 1, displaced onward by the run
    EXPECT_TRUE(map.Delete(31));
    EXPECT_FALSE(map.Delete(31));
    EXPECT_EQ(*map.Find(15), 1);
    EXPECT_EQ(*map.Find(47), 3);
    EXPECT_EQ(*map.Find(0), 4);
    // After the shift no gap is left inside the run: 47 moved to slot 1.
    EXPECT_EQ(map.Slots()[1].key, 47);
    EXPECT_EQ(map.Slots()[2].key, 0);
    EXPECT_EQ(map.Slots()[3].hash, 0u);
}

TEST(CHashMap, MatchesAReferenceMapUnderRandomWork) {
    CHashMap<int, int, 3> map;
    std::map<int, int> reference;
    std::mt19937 rng(42);
    for (int i = 0; i < 20000; ++i) {
        int key = static_cast<int>(rng() % 600) - 300;
        if (rng() % 3 == 0) {
            EXPECT_EQ(map.Delete(key), reference.erase(key) == 1);
        } else {
            map.Insert(key, i);
            reference[key] = i;
        }
    }
    EXPECT_EQ(map.Count(), reference.size());
    for (auto [k, v] : reference) ASSERT_EQ(*map.Find(k), v);
    size_t visited = 0;
    map.ForEach([&](int k, int v) {
        ++visited;
        EXPECT_EQ(reference.at(k), v);
    });
    EXPECT_EQ(visited, reference.size());
}

// Released slot arrays are reused by the next map of the same size (while
// the memory manager pools); the second map must see none of the first one's
// entries.
TEST(CHashMap, AMapBuiltOnAReusedTableHoldsOnlyItsOwnEntries) {
    const bool pooled = MemoryManager::PoolsEnabled();
    MemoryManager::SetPoolsEnabled(true);
    {
        CHashMap<int, int, 10> first; // 1024 slots, a block large enough to park
        for (int k = 0; k < 600; ++k) first.Insert(k * 2, k);
    }
    {
        CHashMap<int, int, 10> map;
        for (int k = 0; k < 10; ++k) map.Insert(k * 2 + 1, k);
        EXPECT_EQ(map.Count(), 10u);
        for (int k = 0; k < 600; ++k) ASSERT_EQ(map.Find(k * 2), nullptr) << k;
        for (int k = 0; k < 10; ++k) ASSERT_EQ(*map.Find(k * 2 + 1), k);
        int visited = 0;
        map.ForEach([&](int, int) { ++visited; });
        EXPECT_EQ(visited, 10);
    }
    CHashMapTables_Release();
    MemoryManager::SetPoolsEnabled(pooled);
}

TEST(CHashMap, StringKeysWithEqualStoredHashesStayApart) {
    // Birthday search for two keys whose 31-bit stored hashes are identical;
    // about 2^16 short strings suffice.
    std::unordered_map<uint32_t, std::string> seen;
    std::string a, b;
    for (int i = 0; a.empty(); ++i) {
        std::string s = std::to_string(i);
        s.insert(0, 1, 'k');
        auto [it, fresh] = seen.emplace(CHashMapCalculateHash<const char*>(s.c_str()), s);
        if (!fresh) {
            a = it->second;
            b = s;
        }
    }
    ASSERT_NE(a, b);
    CHashMap<const char*, int, 3> map;
    std::string aCopy = a; // same text at another address
    map.Insert(a.c_str(), 1);
    map.Insert(b.c_str(), 2);
    EXPECT_EQ(map.Count(), 2u);
    EXPECT_EQ(*map.Find(aCopy.c_str()), 1);
    EXPECT_EQ(*map.Find(b.c_str()), 2);
    EXPECT_TRUE(map.Delete(aCopy.c_str()));
    EXPECT_EQ(map.Find(a.c_str()), nullptr);
    EXPECT_EQ(*map.Find(b.c_str()), 2);
}

TEST(CHashMap, IntegerKeysWithEqualStoredHashesStayApart) {
    CHashMap<int, int, 3> map;
    const int twin = 5 + static_cast<int>(0x80000000u); // hash 6 after the 31-bit mask, like 5
    map.Insert(5, 1);
    map.Insert(twin, 2);
    EXPECT_EQ(*map.Find(5), 1);
    EXPECT_EQ(*map.Find(twin), 2);
    EXPECT_EQ(map.Count(), 2u);
}

namespace {
struct Counted {
    explicit Counted(int* deaths) : deaths(deaths) {}
    virtual ~Counted() { ++*deaths; }
    int* deaths;
};
} // namespace

TEST(Hash, ChainsFindInInsertionOrderAndDeleteByType) {
    int deaths = 0;
    {
        Hash<Counted> hash(4);
        auto* a = new Counted(&deaths);
        auto* b = new Counted(&deaths);
        auto* c = new Counted(&deaths);
        hash.Insert(1, a);
        hash.Insert(5, b); // same bucket as 1
        hash.Insert(1, c); // duplicate key: found after a
        EXPECT_EQ(hash.Count(), 3);
        // The later duplicate goes by its element; the first stays found.
        EXPECT_TRUE(hash.DeleteElement(1, c));
        EXPECT_FALSE(hash.DeleteElement(1, c));
        EXPECT_FALSE(hash.DeleteElement(5, a));
        EXPECT_EQ(hash.Find(1), a);
        hash.Insert(1, c);
        EXPECT_EQ(hash.Find(1), a);
        EXPECT_EQ(hash.Find(5), b);
        EXPECT_EQ(hash.Find(9), nullptr);
        EXPECT_TRUE(hash.Delete(1, eDelete_Keep));
        EXPECT_EQ(deaths, 0);
        delete a;
        EXPECT_EQ(hash.Find(1), c);
        EXPECT_TRUE(hash.Delete(5, eDelete_Delete));
        EXPECT_EQ(deaths, 2);
        EXPECT_FALSE(hash.Delete(5, eDelete_Delete));
    }
    EXPECT_EQ(deaths, 3) << "destroying the table deletes what it still holds";
}

TEST(Hash, ClearWithManagerBlocks) {
    Hash<int> hash(8);
    for (uint32_t k = 0; k < 100; ++k) {
        int* value = static_cast<int*>(ZQ_Alloc(sizeof(int)));
        *value = static_cast<int>(k);
        hash.Insert(k, value);
    }
    int sum = 0;
    hash.ForEach([&](uint32_t, int* v) { sum += *v; });
    EXPECT_EQ(sum, 4950);
    hash.Clear(eDelete_Free);
    EXPECT_EQ(hash.Count(), 0);
    EXPECT_EQ(hash.Find(3), nullptr);
}
