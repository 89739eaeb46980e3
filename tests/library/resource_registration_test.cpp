// The resource built-ins' registration: the fixed order of their ids with
// their argument counts for each data generation, the handlers that two
// names share, the rows that do nothing, and the asset lookups across kinds.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "console_capture.h"
#include "core/builtin_variables.h"
#include "core/code_constants.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/script.h"
#include "library/resource_builtins.h"
#include "room/room_table.h"
#include "sprites/sprite_table.h"
#include "world/instances/sprite_services.h"
#include "world/motion/path_resources.h"
#include "world/objects/object_type.h"

namespace {

// Names and argument counts in registration order; "N" marks the rows that
// only new-generation data registers, "O" those only older data registers.
const char* const kOrder =
    "sprite_name 1 sprite_exists 1 sprite_get_name 1 sprite_get_number 1 sprite_get_width 1 "
    "sprite_get_height 1 sprite_get_transparent 1 sprite_get_smooth 1 sprite_get_preload 1 "
    "sprite_get_xoffset 1 sprite_get_yoffset 1 sprite_get_bbox_mode 1 sprite_get_bbox_left 1 "
    "sprite_get_bbox_right 1 sprite_get_bbox_top 1 sprite_get_bbox_bottom 1 sprite_get_precise 1 "
    "sprite_collision_mask 9 sprite_set_cache_size 2 sprite_set_cache_size_ext 3 font_set_cache_size 2 "
    "sprite_get_tpe 2 sprite_set_offset 3 sprite_set_bbox_mode 2 sprite_set_bbox 5 sprite_set_precise 2 "
    "sprite_set_alpha_from_sprite 2 sprite_add 6 sprite_create_from_screen 8 sprite_add_from_screen 7 "
    "sprite_create_from_surface 9 sprite_add_from_surface 8 sprite_replace 7 sprite_add_sprite 1 "
    "sprite_replace_sprite 2 sprite_save_strip 2 sprite_delete 1 sprite_duplicate 1 sprite_assign 2 "
    "sprite_merge 2 sprite_save 3 sprite_prefetch 1 sprite_prefetch_multi 1 sprite_flush 1 "
    "sprite_flush_multi 1 sprite_set_speed 3 N sprite_get_speed_type 1 N sprite_get_speed 1 N "
    "background_name 1 background_exists 1 background_get_name 1 background_get_width 1 "
    "background_get_height 1 background_get_transparent 1 background_get_smooth 1 "
    "background_get_preload 1 background_set_alpha_from_background 2 background_create_color 3 "
    "background_create_colour 3 background_replace 4 background_create_from_screen 6 "
    "background_create_from_surface 7 background_create_gradient 5 background_add 3 "
    "background_add_background 1 background_replace_background 2 background_delete 1 "
    "background_duplicate 1 background_assign 2 background_save 2 background_prefetch 1 "
    "background_prefetch_multi 1 background_flush 1 background_flush_multi 1 sound_name 1 sound_exists 1 "
    "sound_get_name 1 sound_get_kind 1 sound_get_preload 1 sound_discard 1 sound_restore 1 sound_add 3 "
    "sound_replace 4 sound_delete 1 audio_delete 1 font_name 1 font_exists 1 font_get_name 1 "
    "font_get_fontname 1 font_get_size 1 font_get_bold 1 font_get_italic 1 font_get_first 1 "
    "font_get_last 1 font_add_enable_aa 1 font_add_get_enable_aa 0 font_add 6 font_add_sprite 4 "
    "font_add_sprite_ext 4 font_replace_sprite 5 font_replace_sprite_ext 5 font_delete 1 "
    "font_set_dynamic_texture_size 1 font_get_dynamic_texture_size 0 script_name 1 script_exists 1 "
    "script_get_name 1 script_get_text 1 script_execute -1 path_name 1 path_exists 1 path_get_name 1 "
    "path_get_length 1 path_get_time 2 path_get_kind 1 path_get_closed 1 path_get_precision 1 "
    "path_get_number 1 path_get_point_x 2 path_get_point_y 2 path_get_point_speed 2 path_get_x 2 "
    "path_get_y 2 path_get_speed 2 path_set_kind 2 path_set_closed 2 path_set_precision 2 path_add 0 "
    "path_duplicate 1 path_assign 2 path_append 2 path_delete 1 path_add_point 4 path_insert_point 5 "
    "path_change_point 5 path_delete_point 2 path_clear_points 1 path_reverse 1 path_mirror 1 "
    "path_flip 1 path_rotate 2 path_rescale 3 path_shift 3 timeline_name 1 timeline_exists 1 "
    "timeline_get_name 1 timeline_add 0 timeline_delete 1 timeline_moment_clear 2 timeline_clear 1 "
    "timeline_moment_add 3 timeline_moment_add_script 3 timeline_size 1 timeline_max_moment 1 "
    "object_name 1 object_exists 1 object_get_name 1 object_get_sprite 1 object_get_solid 1 "
    "object_get_visible 1 object_get_depth 1 O object_set_depth 2 O object_get_persistent 1 "
    "object_get_mask 1 object_get_parent 1 object_get_physics 1 object_is_ancestor 2 object_set_sprite 2 "
    "object_set_solid 2 object_set_visible 2 object_set_persistent 2 object_set_mask 2 "
    "object_set_parent 2 object_set_collisions 2 object_add 0 object_delete 1 object_event_clear 3 "
    "object_event_add 4 room_name 1 room_exists 1 room_get_name 1 room_set_width 2 room_set_height 2 "
    "room_set_caption 2 room_set_persistent 2 room_set_code 2 room_set_background_color 3 "
    "room_set_background_colour 3 room_set_background 12 room_set_view 16 O room_set_viewport 7 N "
    "room_get_viewport 2 N room_set_view_enabled 2 room_add 0 room_duplicate 1 room_assign 2 "
    "room_instance_add 4 room_instance_clear 1 room_tile_add 9 room_tile_add_ext 12 room_tile_clear 1 "
    "room_get_camera 2 N room_set_camera 3 N asset_get_index 1 asset_get_type 1 ";

struct Row {
    std::string name;
    int argc;
    char only; // 'N', 'O' or 0
};

std::vector<Row> GoldenRows() {
    std::vector<Row> rows;
    std::istringstream in(kOrder);
    std::string name, word;
    int argc = 0;
    while (in >> name >> argc) {
        Row row{name, argc, 0};
        const auto at = in.tellg();
        if (in >> word && (word == "N" || word == "O")) {
            row.only = word[0];
        } else {
            in.clear();
            in.seekg(at);
        }
        rows.push_back(row);
    }
    return rows;
}

class ResourceRegistration : public QuietTest {
protected:
    void TearDown() override {
        FINALIZE_Code_Function();
        g_isNimbar = false;
    }
    // Registers for one generation; the names and counts registered.
    static std::vector<Row> Register(bool newData) {
        g_isNimbar = newData;
        const int first = the_numb;
        InitResourceFunctions();
        std::vector<Row> rows;
        for (int i = first; i < the_numb; ++i) {
            EXPECT_NE(the_functions[i].f_routine, nullptr) << the_functions[i].f_name;
            rows.push_back({the_functions[i].f_name, the_functions[i].f_argnumb, 0});
        }
        return rows;
    }
};

TEST_F(ResourceRegistration, EachGenerationGetsItsRowsInOrder) {
    const std::vector<Row> golden = GoldenRows();
    ASSERT_EQ(golden.size(), 205u);
    for (bool newData : {true, false}) {
        SCOPED_TRACE(newData ? "new-generation data" : "older data");
        std::vector<Row> expected;
        for (const Row& row : golden)
            if (row.only == 0 || row.only == (newData ? 'N' : 'O')) expected.push_back(row);
        const std::vector<Row> got = Register(newData);
        ASSERT_EQ(got.size(), newData ? 202u : 198u);
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(got[i].name, expected[i].name) << "id " << i;
            EXPECT_EQ(got[i].argc, expected[i].argc) << got[i].name;
        }
        EXPECT_EQ(Function_Find("object_get_depth") >= 0, !newData);
        EXPECT_EQ(Function_Find("room_set_view") >= 0, !newData);
        EXPECT_EQ(Function_Find("sprite_get_speed") >= 0, newData);
        EXPECT_EQ(Function_Find("room_get_camera") >= 0, newData);
        FINALIZE_Code_Function();
    }
}

TEST_F(ResourceRegistration, ShortNamesAndSpellingsShareTheirHandler) {
    Register(true);
    auto routine = [](const char* name) {
        const int id = Function_Find(name);
        EXPECT_GE(id, 0) << name;
        return id >= 0 ? the_functions[id].f_routine : nullptr;
    };
    const char* const pairs[][2] = {
        {"sprite_name", "sprite_get_name"},
        {"background_name", "background_get_name"},
        {"sound_name", "sound_get_name"},
        {"font_name", "font_get_name"},
        {"script_name", "script_get_name"},
        {"path_name", "path_get_name"},
        {"timeline_name", "timeline_get_name"},
        {"object_name", "object_get_name"},
        {"room_name", "room_get_name"},
        {"background_create_color", "background_create_colour"},
        {"room_set_background_color", "room_set_background_colour"},
        {"sound_delete", "audio_delete"},
    };
    for (const auto& pair : pairs) EXPECT_EQ(routine(pair[0]), routine(pair[1])) << pair[0];
    EXPECT_NE(routine("sprite_exists"), routine("background_exists"));
}

TEST_F(ResourceRegistration, RowsThatDoNothing) {
    EXPECT_EQ(CallBuiltin("sprite_get_tpe", {ZQRValue(3.0), ZQRValue("x")}).val, 0.0);
    EXPECT_EQ(CallBuiltin("sprite_set_cache_size", {}).val, 0.0) << "arguments are not read";
    EXPECT_EQ(CallBuiltin("font_set_cache_size", {}).val, 0.0);
    EXPECT_EQ(CallBuiltin("sprite_add_sprite", {ZQRValue("a.png")}).val, -1.0);
    EXPECT_EQ(CallBuiltin("background_replace_background", {ZQRValue(0.0), ZQRValue("a.png")}).val, -1.0);
    EXPECT_NE(std::string(console.Text()).find("unsupported function"), std::string::npos);
    EXPECT_EQ(CallBuiltin("timeline_moment_add", {ZQRValue(0.0), ZQRValue(1.0), ZQRValue("x")}).Kind(),
              VALUE_UNDEFINED);
    EXPECT_EQ(CallBuiltin("object_event_add", {}).Kind(), VALUE_UNDEFINED);
    const std::string text = console.Text();
    EXPECT_NE(text.find("timeline_moment_add :: deprecated function\n"), std::string::npos);
    EXPECT_NE(text.find("object_event_add :: deprecated function\n"), std::string::npos);
}

// ---- asset lookups

class AssetLookup : public QuietTest {
protected:
    void SetUp() override { INITIALIZE_Code_Constant(); }
    void TearDown() override {
        FINALIZE_Code_Constant();
        Sprite_Init();
        Object_Init();
        Path_Init();
    }
};

TEST_F(AssetLookup, IndexAndTypeSearchTheKindsInTheirOwnOrders) {
    // "thing" is both a sprite (index 0) and an object (index 1).
    ASSERT_EQ(Sprite_AddRecord(std::make_unique<CSprite>(), "thing"), 0);
    ASSERT_EQ(Object_Add(), 0);
    ASSERT_EQ(Object_Add(), 1);
    Object_Data(1)->SetName("thing");
    const int path = Path_Add();

    EXPECT_EQ(CallBuiltin("asset_get_index", {ZQRValue("thing")}).val, 0.0) << "sprites come first";
    EXPECT_EQ(CallBuiltin("asset_get_type", {ZQRValue("thing")}).val, 0.0) << "objects come first";
    EXPECT_EQ(CallBuiltin("asset_get_index", {ZQRValue(Path_Name(path))}).val, path);
    EXPECT_EQ(CallBuiltin("asset_get_type", {ZQRValue(Path_Name(path))}).val, 5.0);
    EXPECT_EQ(CallBuiltin("asset_get_type", {ZQRValue(Object_Name(0))}).val, 0.0);
    EXPECT_EQ(CallBuiltin("asset_get_type", {ZQRValue(Sprite_Name(0))}).val, 0.0)
        << "the object of that name";

    // A named constant answers the index lookup only.
    EXPECT_EQ(CallBuiltin("asset_get_index", {ZQRValue("asset_sprite")}).val, 1.0);
    EXPECT_EQ(CallBuiltin("asset_get_type", {ZQRValue("asset_sprite")}).val, -1.0);
    EXPECT_EQ(CallBuiltin("asset_get_index", {ZQRValue("no_such_name")}).val, -1.0);
    EXPECT_EQ(CallBuiltin("asset_get_type", {ZQRValue("no_such_name")}).val, -1.0);
    EXPECT_EQ(CallBuiltin("asset_get_type", {ZQRValue("Thing")}).val, -1.0) << "names compare exactly";
}

} // namespace
