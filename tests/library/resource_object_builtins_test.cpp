// The object and room resource built-ins through the function table: object
// flags and parents (a parent cycle in the data file must not hang a walk,
// and a new parent must not close one), and room templates built with
// settings, views, backgrounds, stored instances and tiles.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/run_state.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "resource_fixture.h"
#include "room/room.h"
#include "room/room_table.h"
#include "sprites/background_table.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/objects/object_type.h"

namespace {

class ResourceTest : public ResourceFixture<::testing::Test> {
protected:
    void TearDown() override {
        FINALIZE_Object_Lists();
        Object_Init();
        Room_Free();
        Background_Init();
        aborterror = false;
        New_Room = ROOM_NONE;
    }
};

// ---- objects

enum Obj { A = 0, B = 1, C = 2, X = 3, Y = 4, kSlots = 5 };

wad::ObjectFields Object(const char* name, int parent) {
    wad::ObjectFields o;
    o.name = name;
    o.parent = parent;
    return o;
}

class ObjectBuiltins : public ResourceTest {
protected:
    // C's parent is B, B's is A; X and Y are each other's parent (a cycle the
    // data file holds).
    void SetUp() override {
        Header_Reset();
        std::vector<std::optional<wad::ObjectFields>> objects(kSlots);
        objects[A] = Object("obj_a", -1);
        objects[B] = Object("obj_b", A);
        objects[C] = Object("obj_c", B);
        objects[X] = Object("obj_x", Y);
        objects[Y] = Object("obj_y", X);
        objects[A]->solid = 1;
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = 14;
        wad::WriteHeader(w, header);
        wad::WriteObjects(w, objects, 14);
        m_image = w.Build();
        ASSERT_TRUE(GetResolution(m_image.data(), m_image.size()) &&
                    LoadGameData(m_image.data(), m_image.size()))
            << GameData_LastError();
        ASSERT_EQ(g_ObjectNumber, kSlots);
    }
    std::vector<uint8_t> m_image;
};

TEST_F(ObjectBuiltins, AncestorsWithoutLoopingOnACycle) {
    EXPECT_EQ(Num("object_is_ancestor", {N(C), N(A)}), 1);
    EXPECT_EQ(Num("object_is_ancestor", {N(C), N(B)}), 1);
    EXPECT_EQ(Num("object_is_ancestor", {N(A), N(C)}), 0);
    EXPECT_EQ(Num("object_is_ancestor", {N(A), N(A)}), 0) << "not its own ancestor";
    EXPECT_EQ(Num("object_is_ancestor", {N(99), N(A)}), 0);
    // X and Y form a cycle: the walk ends, with the answer for what it met.
    EXPECT_EQ(Num("object_is_ancestor", {N(X), N(A)}), 0);
    EXPECT_EQ(Num("object_is_ancestor", {N(X), N(Y)}), 1);
    EXPECT_EQ(Num("object_get_parent", {N(X)}), Y);
}

TEST_F(ObjectBuiltins, SetParentRefusesCyclesAndMissingParents) {
    CallBuiltin("object_set_parent", {N(A), N(C)});
    EXPECT_EQ(TakeError(), "Creating a cycle in the parent relation.");
    EXPECT_EQ(Object_Data(A)->m_parentIndex, -1) << "unchanged";
    CallBuiltin("object_set_parent", {N(A), N(42)});
    EXPECT_EQ(TakeError(), "Setting a non-existing parent.");
    CallBuiltin("object_set_parent", {N(A), N(A)});
    EXPECT_EQ(Object_Data(A)->m_parentIndex, -1);
    EXPECT_EQ(errors.Shown().size(), 0u);

    // A new object under C, then moved under A; clearing leaves no stale link.
    const int d = static_cast<int>(Num("object_add"));
    CallBuiltin("object_set_parent", {N(d), N(C)});
    EXPECT_EQ(Num("object_is_ancestor", {N(d), N(A)}), 1);
    EXPECT_EQ(Object_Data(d)->m_pParent, Object_Data(C));
    CallBuiltin("object_set_parent", {N(d), N(-1)});
    EXPECT_EQ(Num("object_get_parent", {N(d)}), -1);
    EXPECT_EQ(Object_Data(d)->m_pParent, nullptr);
    EXPECT_EQ(Num("object_is_ancestor", {N(d), N(A)}), 0);
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(ObjectBuiltins, FlagsSpritesAndDeletion) {
    EXPECT_EQ(Num("object_get_solid", {N(A)}), 1);
    EXPECT_EQ(Num("object_get_visible", {N(A)}), 1);
    CallBuiltin("object_set_solid", {N(A), N(0)});
    EXPECT_EQ(Num("object_get_solid", {N(A)}), 0);
    EXPECT_EQ(Num("object_get_visible", {N(A)}), 1) << "only the solid bit changes";
    CallBuiltin("object_set_persistent", {N(A), N(1)});
    CallBuiltin("object_set_collisions", {N(A), N(0)});
    EXPECT_EQ(Object_Data(A)->m_flags, OBJECT_FLAG_VISIBLE | OBJECT_FLAG_PERSISTENT);
    CallBuiltin("object_set_sprite", {N(A), N(12)});
    CallBuiltin("object_set_mask", {N(A), N(3)});
    EXPECT_EQ(Num("object_get_sprite", {N(A)}), 12) << "stored unchecked";
    EXPECT_EQ(Num("object_get_mask", {N(A)}), 3);
    EXPECT_EQ(Text(CallBuiltin("object_get_name", {N(B)})), "obj_b");
    // An event type outside the table names no handler (and ends nothing).
    EXPECT_EQ(CallBuiltin("object_event_clear", {N(A), N(99), N(0)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(CallBuiltin("object_event_clear", {N(A), N(0), N(-1)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(errors.Count(), 0);

    const ZQRValue missing(77.0);
    for (const char* name : {"object_get_sprite", "object_get_mask", "object_get_parent", "object_get_depth"})
        EXPECT_EQ(Num(name, {missing}), -1) << name;
    for (const char* name : {"object_exists", "object_get_solid", "object_get_physics"})
        EXPECT_EQ(Num(name, {missing}), 0) << name;
    EXPECT_EQ(Text(CallBuiltin("object_name", {missing})), "<undefined>");

    EXPECT_EQ(Num("object_delete", {N(B)}), 1);
    EXPECT_FALSE(Object_Exists(B));
    EXPECT_EQ(Num("object_is_ancestor", {N(C), N(A)}), 0) << "the chain ends at the deleted parent";
    EXPECT_EQ(Num("object_delete", {N(B)}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing object.");
}

// ---- rooms

class RoomBuiltins : public ResourceTest {
protected:
    void SetUp() override {
        m_room = Room_Add();
        m_background = Background_AddEmpty();
    }
    int m_room = -1;
    int m_background = -1;
};

TEST_F(RoomBuiltins, TemplateSettingsViewsAndBackgrounds) {
    const ZQRValue r(static_cast<double>(m_room));
    CallBuiltin("room_set_width", {r, N(800)});
    CallBuiltin("room_set_caption", {r, ZQRValue("Level one")});
    CallBuiltin("room_set_caption", {r, ZQRValue("Level two")});
    CallBuiltin("room_set_code", {r, ZQRValue("x = 1")});
    CallBuiltin("room_set_background_colour", {r, N(0x123456), N(0)});
    CallBuiltin("room_set_view_enabled", {r, N(1)});
    const CRoom* room = Room_Data(m_room);
    EXPECT_EQ(room->m_width, 800);
    EXPECT_STREQ(room->m_pCaption, "Level two");
    EXPECT_STREQ(room->m_pCreationCodeText, "x = 1");
    EXPECT_EQ(room->m_colour, 0x123456);
    EXPECT_FALSE(room->m_showColour);
    EXPECT_TRUE(room->m_enableViews);

    CallBuiltin("room_set_background",
                {r, N(2), N(1), N(1), N(m_background), N(5), N(6), N(0), N(1), N(0.5), N(-1), N(0.25)});
    const CBackVT& back = room->m_backgrounds[2];
    EXPECT_TRUE(back.visible && back.foreground && back.vtiled);
    EXPECT_FALSE(back.htiled);
    EXPECT_EQ(back.index, m_background);
    EXPECT_EQ(back.hspeed, 0.5f);
    EXPECT_EQ(back.alpha, 0.25f);
    EXPECT_EQ(back.blend, 0xFFFFFFu) << "the blend is left as it was";

    CallBuiltin("room_set_viewport", {r, N(1), N(1), N(10), N(20), N(300), N(200)});
    ZQRValue port = CallBuiltin("room_get_viewport", {r, N(1)});
    ASSERT_EQ(port.Kind(), VALUE_ARRAY);
    const DynamicArrayOfRValue& row = port.pRefArray->m_Array[0];
    ASSERT_EQ(row.length, 5);
    const double expected[5] = {1, 10, 20, 300, 200};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(row.arr[i].val, expected[i]) << i;
    // View 8 (and a missing room) act as missing: nothing set, five zeros.
    CallBuiltin("room_set_view", {r, N(8), N(1), N(0), N(0), N(1), N(1), N(0), N(0), N(1), N(1), N(0), N(0),
                                  N(0), N(0), N(0)});
    for (const ZQRValue& view : {N(8), N(-1)}) {
        ZQRValue zeros = CallBuiltin("room_get_viewport", {r, view});
        ASSERT_EQ(zeros.Kind(), VALUE_ARRAY);
        ASSERT_EQ(zeros.pRefArray->m_Array[0].length, 5);
        for (int i = 0; i < 5; ++i) EXPECT_EQ(zeros.pRefArray->m_Array[0].arr[i].val, 0);
    }
    CallBuiltin("room_set_camera", {r, N(3), N(17)});
    EXPECT_EQ(Num("room_get_camera", {r, N(3)}), 17);
    EXPECT_EQ(Num("room_get_camera", {N(99), N(3)}), -1);
    EXPECT_EQ(Num("room_exists", {N(99)}), 0);
    EXPECT_EQ(Text(CallBuiltin("room_get_name", {N(99)})), "<undefined>");
}

TEST_F(RoomBuiltins, StoredInstancesAndTiles) {
    const ZQRValue r(static_cast<double>(m_room));
    const double first = Num("room_instance_add", {r, N(10.7), N(20.2), N(0)});
    const double second = Num("room_instance_add", {r, N(30), N(40), N(0)});
    EXPECT_EQ(second, first + 1);
    EXPECT_EQ(Num("room_instance_add", {N(99), N(0), N(0), N(0)}), -1);
    const CRoom* room = Room_Data(m_room);
    ASSERT_EQ(room->m_pStorage->instances.size(), 2u);
    EXPECT_EQ(room->m_pStorage->instances[0].x, 10);
    // Clearing removes the stored instances, as tiles are removed.
    CallBuiltin("room_instance_clear", {r});
    EXPECT_TRUE(room->m_pStorage->instances.empty());

    const ZQRValue bg(static_cast<double>(m_background));
    auto tileArgs = [&](std::vector<ZQRValue> extra) {
        std::vector<ZQRValue> args = {r, bg, N(0), N(0), N(16), N(16), N(32), N(48), N(100)};
        for (ZQRValue& v : extra) args.push_back(std::move(v));
        return args;
    };
    EXPECT_GT(Num("room_tile_add", tileArgs({})), 0);
    EXPECT_EQ(room->m_pStorage->tiles.back().colour, 0xFFFFFFFFu);
    struct Case {
        double alpha;
        uint32_t blend;
    };
    for (const Case& c : {Case{2.0, 0xFFFFFFFFu}, Case{-1.0, 0x00FFFFFFu}, Case{std::nan(""), 0x00FFFFFFu},
                          Case{0.5, 0x7FFFFFFFu}}) {
        EXPECT_GT(Num("room_tile_add_ext", tileArgs({N(2), N(3), N(c.alpha)})), 0);
        EXPECT_EQ(room->m_pStorage->tiles.back().colour, c.blend) << c.alpha;
        EXPECT_EQ(room->m_pStorage->tiles.back().xscale, 2.0f);
    }
    EXPECT_EQ(room->m_pStorage->tiles.back().y, 48);
    EXPECT_EQ(room->m_pStorage->tiles.back().depth, 100);

    std::vector<ZQRValue> noBackground = tileArgs({});
    noBackground[1] = N(55);
    EXPECT_EQ(Num("room_tile_add", noBackground), -1);
    EXPECT_EQ(TakeError(), "Background does not exist.");
    std::vector<ZQRValue> noRoom = tileArgs({});
    noRoom[0] = N(55);
    EXPECT_EQ(Num("room_tile_add", noRoom), -1);
    EXPECT_EQ(errors.Shown().size(), 0u);
    CallBuiltin("room_tile_clear", {r});
    EXPECT_TRUE(room->m_pStorage->tiles.empty());
}

TEST_F(RoomBuiltins, DuplicateAndAssign) {
    const ZQRValue r(static_cast<double>(m_room));
    CallBuiltin("room_set_height", {r, N(333)});
    const int copy = static_cast<int>(Num("room_duplicate", {r}));
    ASSERT_TRUE(Room_Exists(copy));
    EXPECT_EQ(Room_Data(copy)->m_height, 333);
    EXPECT_EQ(Num("room_duplicate", {N(99)}), -1);
    CallBuiltin("room_assign", {N(99), r});
    EXPECT_EQ(TakeError(), "Error assigning a room.");
}

} // namespace
