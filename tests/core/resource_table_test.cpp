// The shared resource table on its own: loading beside the old table and
// swapping only on success, owned names, lookups at the edges, and the
// additions, replacements and deletions the path, timeline and room tables
// are built on.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/resource_table.h"

namespace {

// A stand-in for the image reader: a word list read in order.
struct WordReader {
    std::vector<uint32_t> words;
    size_t at = 0;

    uint32_t U32() {
        if (at >= words.size()) Fail("read past the end");
        return words[at++];
    }
    // The real reader refuses counts beyond its chunk; this one leaves that
    // to the reads, so that an over-large count reaches the table.
    uint32_t Count(size_t) { return U32(); }
    [[noreturn]] void Fail(const char* what) const { throw std::runtime_error(what); }
};

// Counts live items, and remembers what the table showed when one went.
struct Item {
    explicit Item(int v) : value(v) { ++live; }
    ~Item();
    int value;
    static int live;
};
int Item::live = 0;

CResourceTable<Item> g_Table;
int g_NumberSeenByLastDestructor = -1;

Item::~Item() {
    --live;
    g_NumberSeenByLastDestructor = g_Table.Number();
}

// Names of the records by offset: offset k is record k (0 means none), and
// an offset of 99 is a damaged record.
const char* const kNames[] = {nullptr, "a", "b", "a", nullptr};

CResourceRecord<Item> ReadRecord(int index, uint32_t offset) {
    if (offset == 99) throw std::runtime_error("damaged record");
    return CResourceRecord<Item>{std::make_unique<Item>(index), kNames[offset]};
}

// Loads a whole chunk of words: the count and the offsets.
void LoadWords(std::vector<uint32_t> words) {
    WordReader reader{std::move(words)};
    g_Table.Load(reader, "too many", ReadRecord);
}

void LoadOffsets(const std::vector<uint32_t>& offsets) {
    std::vector<uint32_t> words{static_cast<uint32_t>(offsets.size())};
    words.insert(words.end(), offsets.begin(), offsets.end());
    LoadWords(std::move(words));
}

class ResourceTable : public ::testing::Test {
protected:
    void TearDown() override {
        g_Table.Clear();
        EXPECT_EQ(Item::live, 0);
    }
};

TEST_F(ResourceTable, LoadLookupsAndNames) {
    LoadOffsets({1, 0, 2, 3, 4});
    ASSERT_EQ(g_Table.Number(), 5);
    EXPECT_EQ(Item::live, 4);
    EXPECT_TRUE(g_Table.Exists(0));
    EXPECT_FALSE(g_Table.Exists(1));
    EXPECT_EQ(g_Table.Data(1), nullptr);
    EXPECT_EQ(g_Table.Data(3)->value, 3);
    for (int out : {-1, 5, 1 << 30}) {
        EXPECT_FALSE(g_Table.Exists(out));
        EXPECT_EQ(g_Table.Data(out), nullptr);
        EXPECT_STREQ(g_Table.Name(out), "<undefined>");
    }
    EXPECT_STREQ(g_Table.Name(1), "<undefined>");
    EXPECT_STREQ(g_Table.Name(4), "") << "a record without a name gets the empty one";
    EXPECT_EQ(g_Table.Find("a"), 0) << "the lowest index with the name";
    EXPECT_EQ(g_Table.Find("b"), 2);
    EXPECT_EQ(g_Table.Find("A"), -1);
    EXPECT_EQ(g_Table.Find(""), 4);
    EXPECT_EQ(g_Table.Find(nullptr), -1);
    EXPECT_EQ(g_Table.Find("<undefined>"), -1) << "empty indexes have no name";
}

// Whatever fails mid-chunk (a record, the reader, the count) leaves the
// previous table whole and frees everything the failed load made.
TEST_F(ResourceTable, AFailedLoadLeavesThePreviousTable) {
    LoadOffsets({2, 1});
    const Item* first = g_Table.Data(0);
    struct Case {
        const char* name;
        std::vector<uint32_t> words; // the whole chunk
        const char* error;
    } cases[] = {
        {"damaged third record", {3, 1, 2, 99}, "damaged record"},
        {"count beyond the chunk", {9, 1, 2}, "read past the end"},
        {"count beyond the index range", {0x80000000u}, "too many"},
    };
    for (const Case& c : cases) {
        try {
            LoadWords(c.words);
            ADD_FAILURE() << c.name << ": loaded";
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), c.error) << c.name;
        }
        EXPECT_EQ(g_Table.Number(), 2) << c.name;
        EXPECT_EQ(g_Table.Data(0), first) << c.name;
        EXPECT_STREQ(g_Table.Name(0), "b") << c.name;
        EXPECT_EQ(Item::live, 2) << c.name;
    }
    LoadOffsets({});
    EXPECT_EQ(g_Table.Number(), 0);
    EXPECT_EQ(Item::live, 0);
}

TEST_F(ResourceTable, AppendReplaceAndDelete) {
    LoadOffsets({1, 0});
    EXPECT_EQ(g_Table.Append(std::make_unique<Item>(7), "__new"), 2);
    EXPECT_STREQ(g_Table.Name(2), "__new2");

    // An empty index gets the generated name; a filled one keeps its own,
    // and its old item goes only once the new one is in.
    g_Table.Replace(1, std::make_unique<Item>(8), "__new");
    EXPECT_STREQ(g_Table.Name(1), "__new1");
    g_Table.Replace(0, std::make_unique<Item>(9), "__new");
    EXPECT_STREQ(g_Table.Name(0), "a");
    EXPECT_EQ(g_Table.Data(0)->value, 9);
    EXPECT_EQ(Item::live, 3);

    EXPECT_TRUE(g_Table.Delete(1));
    EXPECT_FALSE(g_Table.Delete(1));
    EXPECT_FALSE(g_Table.Delete(-1));
    EXPECT_FALSE(g_Table.Delete(3));
    EXPECT_STREQ(g_Table.Name(1), "<undefined>");
    EXPECT_EQ(g_Table.Find("__new1"), -1);
    EXPECT_EQ(g_Table.Number(), 3) << "a deleted index stays";
    EXPECT_EQ(g_Table.Append(std::make_unique<Item>(10), "__new"), 3) << "and is not reused";

    // Growing keeps every item where it was.
    const Item* kept = g_Table.Data(0);
    for (int i = 0; i < 100; ++i) g_Table.Append(std::make_unique<Item>(i), "__new");
    EXPECT_EQ(g_Table.Data(0), kept);
    EXPECT_STREQ(g_Table.Name(103), "__new103");
    EXPECT_EQ(g_Table.Find("__new103"), 103);
}

// Clearing empties the table before the items go, so an item's destructor
// that looks at the table sees no half-freed entries.
TEST_F(ResourceTable, ClearEmptiesTheTableFirst) {
    LoadOffsets({1, 2});
    g_Table.Clear();
    EXPECT_EQ(g_NumberSeenByLastDestructor, 0);
    EXPECT_EQ(g_Table.Number(), 0);
    EXPECT_STREQ(g_Table.Name(0), "<undefined>");
}

} // namespace
