// Registration of the resource built-ins, and the rows that belong to no
// family: the two asset lookups and the built-ins kept only so that old
// scripts still find them. A built-in's id is its index in the function
// table, so the order of the rows below is the order of the ids that compiled
// code and saved data rely on: change it only by appending. A few rows exist
// for one data generation only; the other generation's table simply lacks
// them, which shifts every later id, as compiled code of that generation
// expects.
//
// [SECTION] InitResourceFunctions order
// [SECTION] asset lookups
// [SECTION] rows that do nothing
// [SECTION] registration
#include <cstring>

#include "core/arguments.h"
#include "core/builtin_services.h"
#include "core/code_constants.h"
#include "core/console.h"
#include "core/header_globals.h"
#include "core/script.h"
#include "core/support_output.h"
#include "library/resource_builtins.h"
#include "room/room_table.h"
#include "world/motion/path_resources.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"

namespace {

// ---------------------------------------------------------------------------
// [SECTION] InitResourceFunctions order

const ResourceOrderRow kResourceOrder[] = {
    // sprites
    {"sprite_name", 1},
    {"sprite_exists", 1},
    {"sprite_get_name", 1},
    {"sprite_get_number", 1},
    {"sprite_get_width", 1},
    {"sprite_get_height", 1},
    {"sprite_get_transparent", 1},
    {"sprite_get_smooth", 1},
    {"sprite_get_preload", 1},
    {"sprite_get_xoffset", 1},
    {"sprite_get_yoffset", 1},
    {"sprite_get_bbox_mode", 1},
    {"sprite_get_bbox_left", 1},
    {"sprite_get_bbox_right", 1},
    {"sprite_get_bbox_top", 1},
    {"sprite_get_bbox_bottom", 1},
    {"sprite_get_precise", 1},
    {"sprite_collision_mask", 9},
    {"sprite_set_cache_size", 2},
    {"sprite_set_cache_size_ext", 3},
    {"font_set_cache_size", 2},
    {"sprite_get_tpe", 2},
    {"sprite_set_offset", 3},
    {"sprite_set_bbox_mode", 2},
    {"sprite_set_bbox", 5},
    {"sprite_set_precise", 2},
    {"sprite_set_alpha_from_sprite", 2},
    {"sprite_add", 6},
    {"sprite_create_from_screen", 8},
    {"sprite_add_from_screen", 7},
    {"sprite_create_from_surface", 9},
    {"sprite_add_from_surface", 8},
    {"sprite_replace", 7},
    {"sprite_add_sprite", 1},
    {"sprite_replace_sprite", 2},
    {"sprite_save_strip", 2},
    {"sprite_delete", 1},
    {"sprite_duplicate", 1},
    {"sprite_assign", 2},
    {"sprite_merge", 2},
    {"sprite_save", 3},
    {"sprite_prefetch", 1},
    {"sprite_prefetch_multi", 1},
    {"sprite_flush", 1},
    {"sprite_flush_multi", 1},
    {"sprite_set_speed", 3, ResourceGeneration::NewOnly},
    {"sprite_get_speed_type", 1, ResourceGeneration::NewOnly},
    {"sprite_get_speed", 1, ResourceGeneration::NewOnly},
    // backgrounds
    {"background_name", 1},
    {"background_exists", 1},
    {"background_get_name", 1},
    {"background_get_width", 1},
    {"background_get_height", 1},
    {"background_get_transparent", 1},
    {"background_get_smooth", 1},
    {"background_get_preload", 1},
    {"background_set_alpha_from_background", 2},
    {"background_create_color", 3},
    {"background_create_colour", 3},
    {"background_replace", 4},
    {"background_create_from_screen", 6},
    {"background_create_from_surface", 7},
    {"background_create_gradient", 5},
    {"background_add", 3},
    {"background_add_background", 1},
    {"background_replace_background", 2},
    {"background_delete", 1},
    {"background_duplicate", 1},
    {"background_assign", 2},
    {"background_save", 2},
    {"background_prefetch", 1},
    {"background_prefetch_multi", 1},
    {"background_flush", 1},
    {"background_flush_multi", 1},
    // sounds
    {"sound_name", 1},
    {"sound_exists", 1},
    {"sound_get_name", 1},
    {"sound_get_kind", 1},
    {"sound_get_preload", 1},
    {"sound_discard", 1},
    {"sound_restore", 1},
    {"sound_add", 3},
    {"sound_replace", 4},
    {"sound_delete", 1},
    {"audio_delete", 1},
    // fonts
    {"font_name", 1},
    {"font_exists", 1},
    {"font_get_name", 1},
    {"font_get_fontname", 1},
    {"font_get_size", 1},
    {"font_get_bold", 1},
    {"font_get_italic", 1},
    {"font_get_first", 1},
    {"font_get_last", 1},
    {"font_add_enable_aa", 1},
    {"font_add_get_enable_aa", 0},
    {"font_add", 6},
    {"font_add_sprite", 4},
    {"font_add_sprite_ext", 4},
    {"font_replace_sprite", 5},
    {"font_replace_sprite_ext", 5},
    {"font_delete", 1},
    {"font_set_dynamic_texture_size", 1},
    {"font_get_dynamic_texture_size", 0},
    // scripts
    {"script_name", 1},
    {"script_exists", 1},
    {"script_get_name", 1},
    {"script_get_text", 1},
    {"script_execute", -1},
    // paths
    {"path_name", 1},
    {"path_exists", 1},
    {"path_get_name", 1},
    {"path_get_length", 1},
    {"path_get_time", 2},
    {"path_get_kind", 1},
    {"path_get_closed", 1},
    {"path_get_precision", 1},
    {"path_get_number", 1},
    {"path_get_point_x", 2},
    {"path_get_point_y", 2},
    {"path_get_point_speed", 2},
    {"path_get_x", 2},
    {"path_get_y", 2},
    {"path_get_speed", 2},
    {"path_set_kind", 2},
    {"path_set_closed", 2},
    {"path_set_precision", 2},
    {"path_add", 0},
    {"path_duplicate", 1},
    {"path_assign", 2},
    {"path_append", 2},
    {"path_delete", 1},
    {"path_add_point", 4},
    {"path_insert_point", 5},
    {"path_change_point", 5},
    {"path_delete_point", 2},
    {"path_clear_points", 1},
    {"path_reverse", 1},
    {"path_mirror", 1},
    {"path_flip", 1},
    {"path_rotate", 2},
    {"path_rescale", 3},
    {"path_shift", 3},
    // timelines
    {"timeline_name", 1},
    {"timeline_exists", 1},
    {"timeline_get_name", 1},
    {"timeline_add", 0},
    {"timeline_delete", 1},
    {"timeline_moment_clear", 2},
    {"timeline_clear", 1},
    {"timeline_moment_add", 3},
    {"timeline_moment_add_script", 3},
    {"timeline_size", 1},
    {"timeline_max_moment", 1},
    // objects
    {"object_name", 1},
    {"object_exists", 1},
    {"object_get_name", 1},
    {"object_get_sprite", 1},
    {"object_get_solid", 1},
    {"object_get_visible", 1},
    {"object_get_depth", 1, ResourceGeneration::OlderOnly},
    {"object_set_depth", 2, ResourceGeneration::OlderOnly},
    {"object_get_persistent", 1},
    {"object_get_mask", 1},
    {"object_get_parent", 1},
    {"object_get_physics", 1},
    {"object_is_ancestor", 2},
    {"object_set_sprite", 2},
    {"object_set_solid", 2},
    {"object_set_visible", 2},
    {"object_set_persistent", 2},
    {"object_set_mask", 2},
    {"object_set_parent", 2},
    {"object_set_collisions", 2},
    {"object_add", 0},
    {"object_delete", 1},
    {"object_event_clear", 3},
    {"object_event_add", 4},
    // rooms
    {"room_name", 1},
    {"room_exists", 1},
    {"room_get_name", 1},
    {"room_set_width", 2},
    {"room_set_height", 2},
    {"room_set_caption", 2},
    {"room_set_persistent", 2},
    {"room_set_code", 2},
    {"room_set_background_color", 3},
    {"room_set_background_colour", 3},
    {"room_set_background", 12},
    {"room_set_view", 16, ResourceGeneration::OlderOnly},
    {"room_set_viewport", 7, ResourceGeneration::NewOnly},
    {"room_get_viewport", 2, ResourceGeneration::NewOnly},
    {"room_set_view_enabled", 2},
    {"room_add", 0},
    {"room_duplicate", 1},
    {"room_assign", 2},
    {"room_instance_add", 4},
    {"room_instance_clear", 1},
    {"room_tile_add", 9},
    {"room_tile_add_ext", 12},
    {"room_tile_clear", 1},
    {"room_get_camera", 2, ResourceGeneration::NewOnly},
    {"room_set_camera", 3, ResourceGeneration::NewOnly},
    // lookups
    {"asset_get_index", 1},
    {"asset_get_type", 1},
};
static_assert(sizeof(kResourceOrder) / sizeof(kResourceOrder[0]) == 205,
              "202 rows for new-generation data and 198 for older data, 205 in all");

// ---------------------------------------------------------------------------
// [SECTION] asset lookups

using Args = RValue*;

// The text of a name argument; a value that is no text names nothing.
const char* NameArgument(const RValue* a) {
    const char* name = ZQGetString(a, 0);
    return name != nullptr ? name : "";
}

// Resources first, in the constant lookup's order, then the named constants;
// the result stays -1 when nothing has the name.
void F_ResourceGetIndex(RValue& r, CInstance*, CInstance*, int, Args a) {
    Code_Constant_Find(NameArgument(a), &r);
}

// Kinds in their own order (objects first), each answering its asset code.
// Named constants are not consulted, so a constant's name answers -1.
struct AssetKind {
    int (*find)(const char*);
    int code;
};

const AssetKind kAssetKinds[] = {
    {Object_Find, 0},     {Sprite_Find, 1}, {Sound_Find, 2},   {Audio_Find, 2},
    {Background_Find, 4}, {Path_Find, 5},   {Font_Find, 7},    {TimeLine_Find, 8},
    {Script_Find, 6},     {Room_Find, 3},   {Shader_Find, 10},
};

void F_ResourceGetType(RValue& r, CInstance*, CInstance*, int, Args a) {
    const char* name = NameArgument(a);
    for (const AssetKind& kind : kAssetKinds) {
        if (kind.find(name) >= 0) {
            ZQSetResultReal(r, kind.code);
            return;
        }
    }
    ZQSetResultReal(r, -1);
}

// ---------------------------------------------------------------------------
// [SECTION] rows that do nothing

// The cache-size settings and the texture-page query of older scripts.
void F_SpriteSetCacheSize(RValue& r, CInstance*, CInstance*, int, Args) {
    ZQSetResultReal(r, 0);
}

void F_SpriteGetTPE(RValue& r, CInstance*, CInstance*, int, Args) {
    ZQSetResultReal(r, 0);
}

// Sprites and backgrounds made from other resources of the same kind.
void F_Unsupported(RValue& r, CInstance*, CInstance*, int, Args) {
    dbg_csol->Output("unsupported function");
    ZQSetResultReal(r, -1);
}

void F_TimeLineMomentAdd(RValue&, CInstance*, CInstance*, int, Args) {
    dbg_csol->Output("timeline_moment_add :: deprecated function\n");
}

void F_ObjectEventAdd(RValue&, CInstance*, CInstance*, int, Args) {
    dbg_csol->Output("object_event_add :: deprecated function\n");
}

const LibraryBuiltinRow kAssetRows[] = {
    {"asset_get_index", F_ResourceGetIndex},
    {"asset_get_type", F_ResourceGetType},
    {"sprite_set_cache_size", F_SpriteSetCacheSize},
    {"sprite_set_cache_size_ext", F_SpriteSetCacheSize},
    {"font_set_cache_size", F_SpriteSetCacheSize},
    {"sprite_get_tpe", F_SpriteGetTPE},
    {"sprite_add_sprite", F_Unsupported},
    {"sprite_replace_sprite", F_Unsupported},
    {"background_add_background", F_Unsupported},
    {"background_replace_background", F_Unsupported},
    {"timeline_moment_add", F_TimeLineMomentAdd},
    {"object_event_add", F_ObjectEventAdd},
};

} // namespace

// ---------------------------------------------------------------------------
// [SECTION] registration

std::span<const LibraryBuiltinRow> AssetResourceBuiltins() {
    return kAssetRows;
}

std::span<const ResourceOrderRow> ResourceFunctions_Order() {
    return kResourceOrder;
}

void ZQVTL_sprite_set_cache_size(int, int) {}

// Runs after the header was read, when g_isNimbar tells the generation.
void InitResourceFunctions() {
    const ResourceGeneration skipped =
        g_isNimbar ? ResourceGeneration::OlderOnly : ResourceGeneration::NewOnly;
    for (const ResourceOrderRow& row : kResourceOrder) {
        if (row.generation == skipped) continue;
        TRoutine routine = LibraryBuiltin_Find(row.name);
        // Every row has a handler (the tests check it); a missing one still
        // takes its id so that every later built-in keeps its own.
        if (routine == nullptr) Support_DebugOutput("InitResourceFunctions: no handler for %s\n", row.name);
        Function_Add(row.name, routine, row.argc, true);
    }
}
