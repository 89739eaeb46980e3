// The room table and room order on writer-made data files: records and empty
// numbers, settings, views and flags, stored instances with their code ids
// patched in place, add/duplicate/assign, the order's wrap rules by format
// version, and damaged room chunks.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/code.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "room/room.h"
#include "room/room_table.h"
#include "room_chunk.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"

namespace {

using Rooms = std::vector<std::optional<wad::RoomFields>>;

class RoomTable : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        Room_Init();
    }
    void TearDown() override {
        Room_Free();
        Code_FreeEntries();
    }

    bool Load(const Rooms& rooms, std::vector<int32_t> order = {0}, uint8_t version = 14) {
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = version;
        header.roomOrder = std::move(order);
        wad::WriteHeader(w, header);
        wad::WriteRooms(w, rooms);
        m_image = w.Build();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }

    // The word at `delta` bytes into the ROOM chunk's payload.
    uint32_t RoomWord(size_t delta) const {
        size_t at = 8;
        while (std::memcmp(m_image.data() + at, "ROOM", 4) != 0) {
            uint32_t size;
            std::memcpy(&size, m_image.data() + at + 4, 4);
            at += 8 + size;
        }
        uint32_t v;
        std::memcpy(&v, m_image.data() + at + 8 + delta, 4);
        return v;
    }
    uint32_t Word(uint32_t offset) const {
        uint32_t v;
        std::memcpy(&v, m_image.data() + offset, 4);
        return v;
    }

    std::vector<uint8_t> m_image;
};

wad::RoomFields Named(const std::string& name) {
    wad::RoomFields room;
    room.name = name;
    return room;
}

std::vector<int> Ids(const CRoom* room) {
    std::vector<int> ids;
    for (CInstance* i = room->m_pFirstActive; i != nullptr; i = i->m_pNext) ids.push_back(i->i_id);
    return ids;
}

TEST_F(RoomTable, RecordsNamesSettingsViewsAndFlags) {
    wad::RoomFields a = Named("Room1");
    a.caption = "First";
    a.width = 800;
    a.height = 600;
    a.speed = 60;
    a.persistent = 7;
    a.colour = 0x123456;
    a.showColour = 0;
    a.flags = 0x00010001;
    a.physics = 1;
    a.gravityX = 9.8f;
    a.gravityY = -2.5f;
    wad::RoomViewFields view;
    view.visible = 1;
    view.xview = 10;
    view.wview = 320;
    view.follow = 3;
    a.views = std::vector<wad::RoomViewFields>{view};
    wad::RoomBackgroundFields back;
    back.visible = 1;
    back.index = 2;
    back.x = 5;
    back.hspeed = -3;
    a.backgrounds = std::vector<wad::RoomBackgroundFields>{back};
    wad::RoomFields c = Named("room_c");
    c.flags = 0x00020004;
    ASSERT_TRUE(Load({a, std::nullopt, c}));

    EXPECT_EQ(Room_Number(), 3);
    EXPECT_FALSE(Room_Exists(1));
    EXPECT_EQ(Room_Data(1), nullptr);
    EXPECT_STREQ(Room_Name(1), "<undefined>");
    EXPECT_STREQ(Room_Name(3), "<undefined>");
    EXPECT_STREQ(Room_Name(0), "Room1");
    EXPECT_EQ(Room_Find("Room1"), 0);
    EXPECT_EQ(Room_Find("room1"), -1);
    EXPECT_EQ(Room_Find("room_c"), 2);

    const CRoom* r = Room_Data(0);
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->m_pCaption, "First");
    EXPECT_EQ(r->m_width, 800);
    EXPECT_EQ(r->m_height, 600);
    EXPECT_EQ(r->m_speed, 60);
    EXPECT_TRUE(r->m_persistent);
    EXPECT_EQ(r->m_colour, 0x123456);
    EXPECT_FALSE(r->m_showColour);
    EXPECT_TRUE(r->m_enableViews);
    EXPECT_TRUE(r->m_clearDisplay);
    EXPECT_TRUE(r->m_physicsWorld);
    EXPECT_EQ(r->m_physicsGravityX, 9);
    EXPECT_EQ(r->m_physicsGravityY, -2);
    EXPECT_TRUE(r->m_views[0].visible);
    EXPECT_EQ(r->m_views[0].xview, 10.0f);
    EXPECT_EQ(r->m_views[0].wview, 320.0f);
    EXPECT_EQ(r->m_views[0].follow, 3);
    EXPECT_EQ(r->m_views[1].hborder, 32);
    EXPECT_EQ(r->m_views[1].hspeed, -1);
    EXPECT_EQ(r->m_backgrounds[0].index, 2);
    EXPECT_EQ(r->m_backgrounds[0].x, 5.0f);
    EXPECT_EQ(r->m_backgrounds[0].hspeed, -3.0f);
    EXPECT_EQ(r->m_backgrounds[0].blend, 0xFFFFFFu);
    EXPECT_EQ(r->m_backgrounds[1].index, -1);

    const CRoom* rc = Room_Data(2);
    EXPECT_FALSE(rc->m_enableViews);
    EXPECT_FALSE(rc->m_clearDisplay);
    EXPECT_EQ(rc->m_pCaption, nullptr);
}

TEST_F(RoomTable, OlderFormatsIgnoreThePhysicsWords) {
    wad::RoomFields a = Named("r");
    a.physics = 1;
    a.gravityX = 4.0f;
    ASSERT_TRUE(Load({a}, {0}, 5));
    EXPECT_FALSE(Room_Data(0)->m_physicsWorld);
    EXPECT_EQ(Room_Data(0)->m_physicsGravityX, 0);
}

// The order's place in the header moves with the format version; the walk
// wraps the first room back to the one before the last and the last room on
// to the second.
TEST_F(RoomTable, RoomOrderByVersionAndItsWrapRules) {
    for (uint8_t version : {5, 9, 10, 11, 12, 13, 14, 15}) {
        SCOPED_TRACE(version);
        ASSERT_TRUE(Load({Named("a"), Named("b"), Named("c")}, {2, 0, 1}, version));
        ASSERT_EQ(Room_OrderCount(), 3);
        EXPECT_EQ(Room_First(), 2);
        EXPECT_EQ(Room_Last(), 1);
        EXPECT_EQ(Room_Next(2), 0);
        EXPECT_EQ(Room_Next(0), 1);
        EXPECT_EQ(Room_Next(1), 0);
        EXPECT_EQ(Room_Previous(1), 0);
        EXPECT_EQ(Room_Previous(0), 2);
        EXPECT_EQ(Room_Previous(2), 0);
        EXPECT_EQ(Room_Next(5), 0);
        EXPECT_EQ(Room_Previous(5), 0);
        Room_Free();
    }
    ASSERT_TRUE(Load({Named("a")}, {0}));
    EXPECT_EQ(Room_Next(0), -1);
    EXPECT_EQ(Room_Previous(0), -1);
    ASSERT_TRUE(Load({Named("a")}, {}));
    EXPECT_EQ(Room_OrderCount(), 0);
    EXPECT_EQ(Room_First(), -1);
}

// Stored instances are created in record order with their ids; an instance
// of no object is skipped. Their code ids become code-entry indices, written
// back into the image.
TEST_F(RoomTable, StoredInstancesCodeIdsAndCreationOrder) {
    wad::RoomFields a = Named("a");
    wad::RoomInstanceFields i1, skipped, i2;
    i1.id = 100101;
    i1.x = 5;
    i1.code = 7;
    skipped.id = 100102;
    skipped.object = -1;
    i2.id = 100103;
    i2.preCreateCode = 3;
    a.instances = std::vector<wad::RoomInstanceFields>{i1, skipped, i2};
    wad::RoomFields empty = Named("empty");
    ASSERT_TRUE(Load({a, empty}));

    const int before = g_nCodeCurrEntry;
    ASSERT_EQ(before, 6); // two entries per stored instance
    // Room 0's record: its instance list and then the records' code words.
    const uint32_t record = RoomWord(4);
    const uint32_t list = Word(record + 48);
    ASSERT_EQ(Word(list), 3u);
    for (uint32_t n = 0; n < 3; ++n) {
        const uint32_t inst = Word(list + 4 + 4 * n);
        EXPECT_EQ(Word(inst + 16), 2 * n);
        EXPECT_EQ(Word(inst + 36), 2 * n + 1);
    }
    // A room with an empty list has the list word cleared.
    EXPECT_EQ(Word(RoomWord(8) + 48), 0u);

    CRoom run;
    run.Assign(Room_Data(0), true);
    EXPECT_EQ(Ids(&run), (std::vector<int>{100101, 100103}));
    EXPECT_EQ(run.m_newInstanceIds, (std::vector<int32_t>{100101, 100103}));
    EXPECT_EQ(run.m_pFirstActive->i_x, 5.0f);
    EXPECT_EQ(CInstance::Find(100103), run.m_pLastActive);

    CRoom none;
    none.Assign(Room_Data(1), true);
    EXPECT_EQ(none.m_pFirstActive, nullptr);
    EXPECT_TRUE(none.m_newInstanceIds.empty());
}

TEST_F(RoomTable, AddDuplicateAndAssign) {
    wad::RoomFields a = Named("a");
    wad::RoomInstanceFields inst;
    inst.id = 100200;
    a.instances = std::vector<wad::RoomInstanceFields>{inst};
    wad::RoomTileFields tile;
    tile.id = 7;
    tile.depth = 9;
    tile.colour = 0x80FF0000;
    a.tiles = std::vector<wad::RoomTileFields>{tile};
    ASSERT_TRUE(Load({a, Named("b"), std::nullopt, Named("d")}));

    EXPECT_EQ(Room_Add(), 4);
    EXPECT_EQ(Room_Add(), 5);
    EXPECT_STREQ(Room_Name(4), "__newroom4");
    EXPECT_STREQ(Room_Name(5), "__newroom5");
    EXPECT_EQ(Room_Data(4)->m_pStorage->speed, 30);

    // Scripts fill a new room's stored record; such instances have no code.
    room_maxid = 100500;
    EXPECT_EQ(Room_Data(4)->AddInstanceToStorage(3.7f, -2.2f, 0), 100501);
    const RoomStoredInstance& stored = Room_Data(4)->m_pStorage->instances[0];
    EXPECT_EQ(stored.x, 3);
    EXPECT_EQ(stored.y, -2);
    EXPECT_EQ(stored.code, -1);
    EXPECT_EQ(stored.preCreateCode, -1);

    // A duplicate holds private copies of the stored record.
    EXPECT_EQ(Room_Duplicate(2), -1);
    EXPECT_EQ(Room_Duplicate(99), -1);
    const int dup = Room_Duplicate(0);
    ASSERT_EQ(dup, 6);
    EXPECT_STREQ(Room_Name(dup), "__newroom6");
    EXPECT_TRUE(Room_Data(dup)->m_ownsStorage);
    Room_Data(dup)->AddInstanceToStorage(0, 0, 0);
    EXPECT_EQ(Room_Data(dup)->m_pStorage->instances.size(), 2u);
    EXPECT_EQ(Room_Data(0)->m_pStorage->instances.size(), 1u);
    EXPECT_EQ(Room_Data(dup)->m_pFirstActive, nullptr);

    // Assign creates the stored instances and tiles; a room assigned to
    // itself keeps its record.
    EXPECT_FALSE(Room_Assign(2, 0));
    EXPECT_FALSE(Room_Assign(0, 9));
    ASSERT_TRUE(Room_Assign(0, 0));
    EXPECT_STREQ(Room_Name(0), "a");
    ASSERT_NE(Room_Data(0)->m_pStorage, nullptr);
    EXPECT_EQ(Room_Data(0)->m_pStorage->instances.size(), 1u);
    EXPECT_EQ(Ids(Room_Data(0)), (std::vector<int>{100200}));
    ASSERT_EQ(Room_Data(0)->m_tiles.size(), 1u);
    EXPECT_EQ(Room_Data(0)->m_tiles[0].depth, 9.0f);
    EXPECT_EQ(Room_Data(0)->m_tiles[0].blend, 0xFF0000u);
    EXPECT_NEAR(Room_Data(0)->m_tiles[0].alpha, 128 / 255.0, 1e-6);

    Room_Data(0)->ClearStorageInstances();
    EXPECT_TRUE(Room_Data(0)->m_pStorage->instances.empty());
}

// A damaged chunk is refused with the chunk named; the table, the code
// entries and the image stay as they were.
TEST_F(RoomTable, DamagedChunksLeaveNothingBehind) {
    struct Case {
        const char* what;
        size_t word; // byte offset into room 0's record
        uint32_t value;
    };
    const Case cases[] = {
        {"name outside the file", 0, 0x7FFFFFF0},
        {"instance list outside the file", 48, 0x7FFFFFF0},
        {"view list outside the file", 44, 0xFFFFFFFC},
    };
    wad::RoomFields a = Named("a");
    wad::RoomInstanceFields inst;
    inst.code = 4;
    a.instances = std::vector<wad::RoomInstanceFields>{inst, inst};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.roomOrder = {0};
        wad::WriteHeader(w, header);
        wad::WriteRooms(w, {a});
        m_image = w.Build();
        const uint32_t record = RoomWord(4);
        std::memcpy(m_image.data() + record + c.word, &c.value, 4);
        const std::vector<uint8_t> before = m_image;
        ASSERT_TRUE(GetResolution(m_image.data(), m_image.size()));
        EXPECT_FALSE(LoadGameData(m_image.data(), m_image.size()));
        EXPECT_NE(std::string(GameData_LastError()).find("ROOM"), std::string::npos);
        EXPECT_EQ(Room_Number(), 0);
        EXPECT_EQ(g_nCodeCurrEntry, 0);
        EXPECT_EQ(m_image, before);
    }

    // A list count beyond the file, and a list entry past the image.
    ASSERT_TRUE(Load({a}));
    const uint32_t list = Word(RoomWord(4) + 48);
    Code_FreeEntries();
    Room_Free();
    const uint32_t huge = 0x10000000;
    std::memcpy(m_image.data() + list, &huge, 4);
    EXPECT_FALSE(LoadGameData(m_image.data(), m_image.size()));
    const uint32_t two = 2, past = static_cast<uint32_t>(m_image.size() - 8);
    std::memcpy(m_image.data() + list, &two, 4);
    std::memcpy(m_image.data() + list + 8, &past, 4);
    EXPECT_FALSE(LoadGameData(m_image.data(), m_image.size()));
    EXPECT_EQ(Room_Number(), 0);
}

// Many rooms naming one long list would copy far more than the file holds.
TEST_F(RoomTable, SharedListsCannotMultiplyTheFile) {
    wad::RoomFields a = Named("a");
    a.instances = std::vector<wad::RoomInstanceFields>(200);
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.roomOrder = {0};
    wad::WriteHeader(w, header);
    wad::Chunk& c = w.AddChunk("ROOM");
    c.U32(400);
    for (int i = 0; i < 400; ++i) c.Offset("R.0");
    // The record itself, in a second room chunk (read after the first fails).
    wad::WriteRooms(w, {a}, "R");
    m_image = w.Build();
    ASSERT_TRUE(GetResolution(m_image.data(), m_image.size()));
    EXPECT_FALSE(LoadGameData(m_image.data(), m_image.size()));
}

} // namespace
