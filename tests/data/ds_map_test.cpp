// Maps: keys equal across number kinds, set/replace/add results, iteration in
// bucket order and its walks, deletion of colliding keys, nested lists and
// maps with their messages, copies, a map that grows far past its buckets,
// the helpers other subsystems build maps with, and the lock across threads.
#include <algorithm>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/crc32.h"
#include "data/ds_list.h"
#include "data/ds_map.h"
#include "ds_fixture.h"

namespace {

class DsMap : public DsTest {
protected:
    int NewMap(int buckets = -1) {
        return static_cast<int>((buckets < 0 ? Call("ds_map_create") : Call("ds_map_create", {buckets})).val);
    }
    // The keys from ds_map_find_first and ds_map_find_next.
    std::vector<ZQRValue> Walk(int map) {
        std::vector<ZQRValue> keys;
        for (ZQRValue key = Call("ds_map_find_first", {map}); !IsUndefined(key);
             key = Call("ds_map_find_next", {map, key}))
            keys.push_back(key);
        return keys;
    }
};

} // namespace

TEST_F(DsMap, KeysAcrossNumberKindsAndSigns) {
    int map = NewMap();
    EXPECT_TRUE(IsReal(Call("ds_map_add", {map, I32(5), "a"}), 1));
    EXPECT_TRUE(IsReal(Call("ds_map_exists", {map, 5.0}), 1));
    EXPECT_TRUE(IsReal(Call("ds_map_add", {map, 5.0, "b"}), 0));
    EXPECT_EQ(TextOf(Call("ds_map_find_value", {map, 5.0})), "a");
    EXPECT_TRUE(IsReal(Call("ds_map_replace", {map, 5, "b"}), 1));
    EXPECT_EQ(TextOf(Call("ds_map_find_value", {map, I32(5)})), "b");
    EXPECT_TRUE(IsReal(Call("ds_map_replace", {map, 6, "c"}), 0)); // added

    Call("ds_map_add", {map, 0.0, "zero"});
    EXPECT_TRUE(IsReal(Call("ds_map_add", {map, -0.0, "minus zero"}), 1)); // two keys
    EXPECT_TRUE(IsReal(Call("ds_map_size", {map}), 4));
    EXPECT_TRUE(IsUndefined(Call("ds_map_find_value", {map, "absent"})));
    EXPECT_TRUE(IsReal(Call("ds_map_exists", {map, "absent"}), 0));
}

TEST_F(DsMap, SetPreAndPost) {
    int map = NewMap();
    EXPECT_TRUE(IsReal(Call("ds_map_set_post", {map, "new", 3}), 3));
    Call("ds_map_set", {map, "new", 1});
    EXPECT_TRUE(IsReal(Call("ds_map_set_post", {map, "new", 3}), 1));
    EXPECT_TRUE(IsReal(Call("ds_map_set_pre", {map, "new", 4}), 4));
    EXPECT_TRUE(IsReal(Call("ds_map_find_value", {map, "new"}), 4));
    // Set replaces the stored key too: the int32 key becomes the real.
    Call("ds_map_set", {map, I32(7), "x"});
    Call("ds_map_set", {map, 7.0, "y"});
    const DsMapEntry* entry = themaps.Get(map)->Find(ZQRValue(7.0));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->key.Kind(), VALUE_REAL);
    EXPECT_EQ(TextOf(entry->value), "y");
}

// Iteration runs bucket 0 upwards, insertion order within a bucket; the
// walks follow it both ways and find keys equal within the tolerance.
TEST_F(DsMap, IterationFollowsBucketsThenInsertion) {
    int map = NewMap();
    std::vector<std::pair<uint32_t, std::string>> expected;
    for (int i = 0; i < 600; ++i) {
        std::string key = "key" + std::to_string(i);
        Call("ds_map_add", {map, key.c_str(), i});
        expected.emplace_back(CalcCRC_string(key.c_str()) & 255u, key);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<ZQRValue> keys = Walk(map);
    ASSERT_EQ(keys.size(), expected.size());
    for (size_t i = 0; i < keys.size(); ++i) ASSERT_EQ(TextOf(keys[i]), expected[i].second) << i;

    ZQRValue last = Call("ds_map_find_last", {map});
    EXPECT_EQ(TextOf(last), expected.back().second);
    EXPECT_TRUE(IsUndefined(Call("ds_map_find_next", {map, last})));
    EXPECT_EQ(TextOf(Call("ds_map_find_previous", {map, last})), expected[expected.size() - 2].second);
    EXPECT_TRUE(IsUndefined(Call("ds_map_find_previous", {map, Call("ds_map_find_first", {map})})));
    EXPECT_TRUE(IsUndefined(Call("ds_map_find_next", {map, "absent"})));

    // One bucket: insertion order. Numbers are walked by comparison, so a key
    // within the tolerance finds its neighbour.
    int single = NewMap(1);
    Call("ds_map_add", {single, 3.0, 0});
    Call("ds_map_add", {single, "b", 0});
    Call("ds_map_add", {single, 1.0, 0});
    std::vector<ZQRValue> ordered = Walk(single);
    ASSERT_EQ(ordered.size(), 3u);
    EXPECT_TRUE(IsReal(ordered[0], 3.0));
    EXPECT_EQ(TextOf(ordered[1]), "b");
    EXPECT_EQ(TextOf(Call("ds_map_find_next", {single, 3.000000001})), "b");
    EXPECT_TRUE(IsReal(Call("ds_map_find_previous", {single, "b"}), 3.0));

    // Bucket counts below 1 take the default; huge ones are capped.
    EXPECT_EQ(themaps.Get(NewMap(0))->BucketCount(), 256);
    EXPECT_EQ(themaps.Get(NewMap(-5))->BucketCount(), 256);
    EXPECT_EQ(themaps.Get(NewMap(2000000000))->BucketCount(), CDS_Map::kMaxBuckets);
}

TEST_F(DsMap, DeleteRemovesOnlyTheSameKey) {
    // Two texts with one CRC-32 register.
    const char* first = "key5408826";
    const char* second = "key10004200";
    ASSERT_EQ(CalcCRC_string(first), CalcCRC_string(second));
    int map = NewMap();
    Call("ds_map_add", {map, first, 1});
    Call("ds_map_add", {map, second, 2});
    EXPECT_TRUE(IsReal(Call("ds_map_find_value", {map, second}), 2));
    Call("ds_map_delete", {map, second});
    EXPECT_TRUE(IsReal(Call("ds_map_find_value", {map, first}), 1));
    EXPECT_TRUE(IsReal(Call("ds_map_exists", {map, second}), 0));
    Call("ds_map_add", {map, second, 3});
    Call("ds_map_delete", {map, first});
    EXPECT_TRUE(IsReal(Call("ds_map_find_value", {map, second}), 3));
    EXPECT_TRUE(IsReal(Call("ds_map_size", {map}), 1));
    Call("ds_map_delete", {map, "absent"});
    EXPECT_TRUE(IsReal(Call("ds_map_size", {map}), 1));
}

TEST_F(DsMap, ManyEntriesStayFindableAsTheyComeAndGo) {
    CDS_Map map;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        ZQRValue key(i * 0.5);
        ZQRValue value = ZQRValue::FromInt32(i);
        ASSERT_TRUE(map.Add(key, value));
    }
    for (int i = 0; i < n; i += 2) ASSERT_TRUE(map.Delete(ZQRValue(i * 0.5)));
    EXPECT_EQ(map.Size(), n / 2);
    int walked = 0;
    for (DsMapEntry* e = map.First(); e != nullptr; e = e->next) ++walked;
    EXPECT_EQ(walked, n / 2);
    for (int i = 0; i < n; ++i) {
        DsMapEntry* e = map.Find(ZQRValue(i * 0.5));
        if (i % 2 == 0) {
            ASSERT_EQ(e, nullptr) << i;
        } else {
            ASSERT_NE(e, nullptr) << i;
            ASSERT_EQ(e->value.v32, i);
        }
    }
}

TEST_F(DsMap, NestedListsAndMaps) {
    int map = NewMap();
    int list = static_cast<int>(Call("ds_list_create").val);
    int child = NewMap();
    EXPECT_TRUE(IsReal(Call("ds_map_add_list", {map, "l", list}), 1));
    EXPECT_TRUE(IsReal(Call("ds_map_add_map", {map, "m", child}), 1));
    ZQRValue found = Call("ds_map_find_value", {map, "m"});
    EXPECT_EQ(found.kind, VALUE_REAL); // the plain index, without the mark
    EXPECT_TRUE(IsReal(found, child));

    EXPECT_TRUE(IsReal(Call("ds_map_add_list", {map, "bad", "0"}), 0));
    EXPECT_EQ(Printed("Invalid list index for value"), 1);
    Call("ds_map_add_map", {map, "bad", 42});
    EXPECT_EQ(Printed("Invalid map index for value"), 1);
    Call("ds_map_replace_map", {map, "k", map});
    EXPECT_EQ(Printed("Unable to use same map for replace"), 1);
    Call("ds_map_replace_list", {map, "bad", 42});
    EXPECT_EQ(Printed("Invalid list index for value"), 2);
    EXPECT_TRUE(IsReal(Call("ds_map_size", {map}), 2));

    // Deleting the entry keeps the structure; destroying the map takes it.
    Call("ds_map_delete", {map, "m"});
    EXPECT_NE(themaps.Get(child), nullptr);
    EXPECT_TRUE(IsReal(Call("ds_map_replace_map", {map, "m", child}), 0));
    Call("ds_map_destroy", {map});
    EXPECT_EQ(thelists.Get(list), nullptr);
    EXPECT_EQ(themaps.Get(child), nullptr);
}

TEST_F(DsMap, CopiesIncludingOntoItself) {
    int map = NewMap();
    Call("ds_map_add", {map, "a", 1});
    Call("ds_map_add", {map, 2, "b"});
    Call("ds_map_copy", {map, map});
    EXPECT_TRUE(IsReal(Call("ds_map_size", {map}), 2));
    EXPECT_TRUE(IsReal(Call("ds_map_find_value", {map, "a"}), 1));

    int narrow = NewMap(1);
    Call("ds_map_add", {narrow, "old", 0});
    Call("ds_map_copy", {narrow, map});
    EXPECT_TRUE(IsReal(Call("ds_map_size", {narrow}), 2));
    EXPECT_TRUE(IsReal(Call("ds_map_exists", {narrow, "old"}), 0));
    EXPECT_EQ(TextOf(Call("ds_map_find_value", {narrow, 2.0})), "b");
    Call("ds_map_clear", {map});
    EXPECT_TRUE(IsReal(Call("ds_map_empty", {map}), 1));
    EXPECT_TRUE(IsReal(Call("ds_map_size", {narrow}), 2));
}

TEST_F(DsMap, HelpersBuildMapsForOtherSubsystems) {
    int event = CreateDsMap(3, "id", 4.0, nullptr, "status", 0.0, "done", "id", 9.0, nullptr);
    ASSERT_GE(event, 0);
    EXPECT_TRUE(IsReal(Call("ds_map_find_value", {event, "id"}), 4)); // the first of equal keys
    EXPECT_EQ(TextOf(Call("ds_map_find_value", {event, "status"})), "done");
    EXPECT_EQ(GetDsMap(event), themaps.Get(event));
    EXPECT_EQ(GetDsMap(99), nullptr);

    EXPECT_TRUE(AddToDsMap(event, "extra", 1.5));
    EXPECT_TRUE(AddToDsMap(event, "extra", "ignored"));
    EXPECT_FALSE(AddToDsMap(event, nullptr, 1.0));
    EXPECT_FALSE(AddToDsMap(99, "k", 1.0));
    EXPECT_TRUE(IsReal(Call("ds_map_find_value", {event, "extra"}), 1.5));

    int list = dsListCreate();
    int built = dsMapCreate();
    dsMapAddInt(built, "i", 3);
    dsMapAddInt64(built, "big", int64_t{1} << 40);
    dsMapAddString(built, "s", "text");
    dsMapAddPtr(built, "p", &built);
    dsMapAddList(built, "list", list);
    ZQRValue value = ZQRValue::FromBool(true);
    dsMapAddRValue(built, "b", &value);
    EXPECT_TRUE(IsReal(Call("ds_map_size", {built}), 6));
    EXPECT_EQ(Call("ds_map_find_value", {built, "big"}).kind, VALUE_INT64);
    EXPECT_EQ(Call("ds_map_find_value", {built, "p"}).kind, VALUE_PTR);

    EXPECT_TRUE(F_DsMapAdd_Internal(built, 1.0, "one"));
    EXPECT_FALSE(F_DsMapAdd_Internal(built, 1.0, 2.0));
    EXPECT_FALSE(F_DsMapAdd_Internal(99, "k", 1.0));
    EXPECT_TRUE(ZQVTL_ds_map_add(built, ZQRValue("z"), ZQRValue(26.0)));
    EXPECT_EQ(m_errors.Count(), 0);
    ZQVTL_ds_map_add(99, ZQRValue("z"), ZQRValue(26.0));
    EXPECT_EQ(m_errors.LastMessage(), "Data structure with index 99, does not exist");

    dsMapClear(built);
    EXPECT_EQ(thelists.Get(list), nullptr);
    DestroyDsMap(built);
    EXPECT_EQ(GetDsMap(built), nullptr);
    dsMapAddInt(built, "i", 1);
    EXPECT_EQ(NoSuchStructureReports(), 1);
}

// Maps are filled from other threads (asynchronous results) while the main
// thread reads them; the lock keeps every addition.
TEST_F(DsMap, AdditionsFromSeveralThreads) {
    int map = dsMapCreate();
    auto fill = [map](int first) {
        for (int i = first; i < first + 2000; ++i) F_DsMapAdd_Internal(map, static_cast<double>(i), 1.0);
    };
    std::thread a(fill, 0);
    std::thread b(fill, 2000);
    std::vector<int> made;
    for (int i = 0; i < 50; ++i) made.push_back(CreateDsMap(1, "k", 1.0, nullptr));
    a.join();
    b.join();
    EXPECT_TRUE(IsReal(Call("ds_map_size", {map}), 4000));
    std::sort(made.begin(), made.end());
    EXPECT_EQ(std::unique(made.begin(), made.end()), made.end());
}
