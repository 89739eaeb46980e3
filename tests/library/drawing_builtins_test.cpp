// The 2D drawing built-ins through the function table: the fixed order of
// their ids, shared handlers, colour arithmetic, and each family drawing
// into a surface whose pixels surface_getpixel then reads back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "core/arguments.h"
#include "core/function_table.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/run_globals.h"
#include "core/zq_rvalue.h"
#include "error_capture.h"
#include "function_call.h"
#include "gl_device_fixture.h"
#include "library/drawing_builtins.h"
#include "render/draw_primitives.h"
#include "render/image_decode.h"
#include "render/render_target.h"
#include "render/surface.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "world/run/startup_services.h"

namespace {

// name/argc of every row, in registration order.
const char* const kGolden =
    "display_get_width/0 display_get_height/0 display_get_colordepth/0 display_get_frequency/0 "
    "display_get_orientation/0 display_set_size/2 display_set_colordepth/1 display_set_frequency/1 "
    "display_set_all/4 display_test_all/4 display_reset/2 display_mouse_get_x/0 display_mouse_get_y/0 "
    "display_mouse_set/2 draw_enable_drawevent/1 display_get_windows_vertex_buffer_method/0 "
    "display_get_windows_alternate_sync/0 display_set_windows_vertex_buffer_method/1 "
    "display_set_windows_alternate_sync/1 display_set_ui_visibility/1 display_set_timing_method/1 "
    "display_get_timing_method/0 display_set_sleep_margin/1 display_get_sleep_margin/0 "
    "window_set_visible/1 window_get_visible/0 window_set_fullscreen/1 window_get_fullscreen/0 "
    "window_set_showborder/1 window_get_showborder/0 window_set_showicons/1 window_get_showicons/0 "
    "window_set_stayontop/1 window_get_stayontop/0 window_set_sizeable/1 window_get_sizeable/0 "
    "window_set_caption/1 window_get_caption/0 window_set_cursor/1 window_get_cursor/0 "
    "window_set_color/1 window_set_colour/1 window_get_color/0 window_get_colour/0 "
    "window_set_min_width/1 window_set_max_width/1 window_set_min_height/1 window_set_max_height/1 "
    "window_set_position/2 window_set_size/2 window_set_rectangle/4 window_center/0 window_default/0 "
    "window_get_x/0 window_get_y/0 window_get_width/0 window_get_height/0 window_get_visible_rects/4 "
    "window_mouse_get_x/0 window_mouse_get_y/0 window_mouse_set/2 window_view_mouse_get_x/1 "
    "window_view_mouse_get_y/1 window_view_mouse_set/3 window_views_mouse_get_x/0 "
    "window_views_mouse_get_y/0 window_views_mouse_set/2 screen_save/1 screen_save_part/5 "
    "draw_getpixel/2 draw_getpixel_ext/2 draw_set_color/1 draw_set_colour/1 draw_set_alpha/1 "
    "draw_get_color/0 draw_get_colour/0 draw_get_alpha/0 make_color/3 make_colour/3 make_color_rgb/3 "
    "make_colour_rgb/3 make_color_hsv/3 make_colour_hsv/3 color_get_red/1 colour_get_red/1 "
    "color_get_green/1 colour_get_green/1 color_get_blue/1 colour_get_blue/1 color_get_hue/1 "
    "colour_get_hue/1 color_get_saturation/1 colour_get_saturation/1 color_get_value/1 "
    "colour_get_value/1 merge_color/3 merge_colour/3 draw_set_blend_mode/1 draw_set_blend_mode_ext/2 "
    "draw_set_color_write_enable/4 draw_set_colour_write_enable/4 draw_set_alpha_test/1 "
    "draw_set_alpha_test_ref_value/1 draw_get_alpha_test/0 draw_get_alpha_test_ref_value/0 draw_clear/1 "
    "draw_clear_alpha/2 draw_point/2 draw_line/4 draw_line_width/5 draw_rectangle/5 draw_roundrect/5 "
    "draw_roundrect_ext/7 draw_triangle/7 draw_circle/4 draw_ellipse/5 draw_arrow/5 draw_button/5 "
    "draw_healthbar/11 draw_path/4 draw_point_color/3 draw_point_colour/3 draw_line_color/6 "
    "draw_line_colour/6 draw_line_width_color/7 draw_line_width_colour/7 draw_rectangle_color/9 "
    "draw_rectangle_colour/9 draw_roundrect_color/7 draw_roundrect_colour/7 draw_roundrect_color_ext/9 "
    "draw_roundrect_colour_ext/9 draw_triangle_color/10 draw_triangle_colour/10 draw_circle_color/6 "
    "draw_circle_colour/6 draw_ellipse_color/7 draw_ellipse_colour/7 draw_set_circle_precision/1 "
    "draw_primitive_begin/1 draw_primitive_begin_texture/2 draw_primitive_end/0 draw_vertex/2 "
    "draw_vertex_color/4 draw_vertex_colour/4 draw_vertex_texture/4 draw_vertex_texture_color/6 "
    "draw_vertex_texture_colour/6 sprite_get_uvs/2 background_get_uvs/2 font_get_uvs/2 "
    "sprite_get_texture/2 background_get_texture/1 font_get_texture/1 texture_exists/1 "
    "texture_set_interpolation/1 texture_set_interpolation_ext/2 texture_set_blending/1 "
    "texture_set_repeat/1 texture_set_repeat_ext/2 texture_get_width/1 texture_get_height/1 "
    "texture_preload/1 texture_set_priority/2 texture_global_scale/1 texture_get_uvs/1 draw_set_font/1 "
    "draw_set_halign/1 draw_set_valign/1 string_width/1 string_height/1 string_width_ext/3 "
    "string_height_ext/3 draw_text/3 draw_text_ext/5 draw_text_transformed/6 draw_text_ext_transformed/8 "
    "draw_text_color/8 draw_text_colour/8 draw_text_transformed_color/11 draw_text_transformed_colour/11 "
    "draw_text_ext_color/10 draw_text_ext_colour/10 draw_text_ext_transformed_color/13 "
    "draw_text_ext_transformed_colour/13 collision_shape/9 draw_self/0 draw_sprite/4 draw_shape/12 "
    "draw_shape_string/11 draw_sprite_ext/9 draw_sprite_pos/11 draw_sprite_stretched/6 "
    "draw_sprite_stretched_ext/8 draw_sprite_part/8 draw_sprite_part_ext/12 draw_sprite_general/16 "
    "draw_sprite_tiled/4 draw_sprite_tiled_ext/8 draw_background/3 draw_background_ext/8 "
    "draw_background_stretched/5 draw_background_stretched_ext/7 draw_background_part/7 "
    "draw_background_part_ext/11 draw_background_general/15 draw_background_tiled/3 "
    "draw_background_tiled_ext/7 shader_enable_corner_id/1 tile_get_x/1 tile_get_y/1 tile_get_left/1 "
    "tile_get_top/1 tile_get_width/1 tile_get_height/1 tile_get_depth/1 tile_get_visible/1 "
    "tile_get_xscale/1 tile_get_yscale/1 tile_get_blend/1 tile_get_alpha/1 tile_get_background/1 "
    "tile_set_visible/2 tile_set_background/2 tile_set_region/5 tile_set_position/3 tile_set_depth/2 "
    "tile_set_scale/3 tile_set_blend/2 tile_set_alpha/2 tile_get_count/0 tile_get_id/1 tile_get_ids/0 "
    "tile_get_ids_at_depth/1 tile_add/8 tile_exists/1 tile_delete/1 tile_layer_hide/1 tile_layer_show/1 "
    "tile_layer_delete/1 tile_layer_shift/3 tile_layer_find/3 tile_layer_delete_at/3 tile_layer_depth/2 "
    "surface_create/2 surface_create_ext/3 surface_create_special/3 surface_resize/3 surface_free/1 "
    "surface_exists/1 surface_get_width/1 surface_get_height/1 surface_get_texture/1 "
    "surface_set_target/1 surface_set_target_ext/2 surface_reset_target/0 surface_depth_disable/1 "
    "surface_get_depth_disable/0 draw_surface/3 draw_surface_ext/8 draw_surface_stretched/5 "
    "draw_surface_stretched_ext/7 draw_surface_part/7 draw_surface_part_ext/11 draw_surface_general/15 "
    "draw_surface_tiled/3 draw_surface_tiled_ext/7 surface_save/2 surface_save_part/6 surface_getpixel/3 "
    "surface_getpixel_ext/3 surface_copy/4 surface_copy_part/8 skeleton_animation_set/1 "
    "skeleton_animation_get/0 skeleton_animation_mix/3 skeleton_animation_set_ext/2 "
    "skeleton_animation_get_ext/1 skeleton_animation_get_duration/1 skeleton_animation_get_frames/1 "
    "skeleton_animation_clear/1 skeleton_skin_set/2 skeleton_skin_get/2 skeleton_attachment_set/2 "
    "skeleton_attachment_get/2 skeleton_attachment_create/8 skeleton_collision_draw_set/1 "
    "skeleton_bone_data_get/2 skeleton_bone_data_set/2 skeleton_bone_state_get/2 "
    "skeleton_bone_state_set/2 draw_skeleton/11 draw_skeleton_time/11 draw_skeleton_instance/11 "
    "draw_skeleton_collision/9 skeleton_animation_list/2 skeleton_skin_list/2 skeleton_slot_data/2 "
    "skeleton_animation_get_frame/1 skeleton_animation_set_frame/2 skeleton_get_minmax/0 "
    "skeleton_get_num_bounds/0 skeleton_get_bounds/1 draw_enable_swf_aa/1 draw_set_swf_aa_level/1 "
    "draw_get_swf_aa_level/0 ";

class DrawingRegistration : public ::testing::Test {
protected:
    void SetUp() override { InitGraphicFunctions(); }
    void TearDown() override { FINALIZE_Code_Function(); }
};

TEST_F(DrawingRegistration, RowsStandInTheFixedOrderWithTheirCounts) {
    std::istringstream in(kGolden);
    std::string item;
    int i = 0;
    while (in >> item) {
        size_t slash = item.find('/');
        ASSERT_LT(i, the_numb);
        SCOPED_TRACE(item);
        EXPECT_EQ(the_functions[i].f_name, item.substr(0, slash));
        EXPECT_EQ(the_functions[i].f_argnumb, std::stoi(item.substr(slash + 1)));
        EXPECT_NE(the_functions[i].f_routine, nullptr);
        EXPECT_EQ(Function_Find(the_functions[i].f_name), i) << "each name once";
        ++i;
    }
    EXPECT_EQ(i, 306);
    EXPECT_EQ(the_numb, 306);
}

TEST_F(DrawingRegistration, SpellingsShareOneHandler) {
    auto routine = [](const char* name) { return the_functions[Function_Find(name)].f_routine; };
    const char* const groups[][4] = {
        {"make_color", "make_colour", "make_color_rgb", "make_colour_rgb"},
        {"draw_set_color", "draw_set_colour", nullptr, nullptr},
        {"draw_line_color", "draw_line_colour", nullptr, nullptr},
        {"draw_triangle_color", "draw_triangle_colour", nullptr, nullptr},
    };
    for (const auto& g : groups) {
        for (const char* name : g) {
            if (name != nullptr) {
                EXPECT_EQ(routine(name), routine(g[0])) << name;
            }
        }
    }
    EXPECT_NE(routine("draw_line"), routine("draw_line_colour"));
}

TEST_F(DrawingRegistration, ColourArithmeticIsUnclampedAndSigned) {
    EXPECT_EQ(Num(Call("make_colour_rgb", {255, 128, 1})), 255 + 128 * 256 + 65536);
    EXPECT_EQ(Num(Call("make_color", {256, 0, 0})), 256) << "no clamping: red spills into green";
    EXPECT_EQ(ZQVTL_make_color_rgb(1, 2, 3), Num(Call("make_colour", {1, 2, 3})));
    EXPECT_EQ(Num(Call("colour_get_red", {-1})), -1);
    EXPECT_EQ(Num(Call("color_get_green", {0x123456})), 0x34);
    EXPECT_EQ(Num(Call("colour_get_blue", {0x123456})), 0x12);
    EXPECT_EQ(Num(Call("merge_colour", {0x000000, 0xFEFEFE, 0.5})), 0x7F7F7F);
    EXPECT_EQ(Num(Call("colour_get_value", {0x0000FF})), 255);
    EXPECT_EQ(Num(Call("make_colour_hsv", {0, 255, 255})), 0x0000FF);
}

TEST_F(DrawingRegistration, DrawStateSettersAndGettersRoundTrip) {
    EXPECT_EQ(Call("draw_set_colour", {0x123456}).Kind(), VALUE_UNDEFINED) << "setters answer undefined";
    EXPECT_EQ(Num(Call("draw_get_color")), 0x123456);
    Call("draw_set_alpha", {2.0});
    EXPECT_EQ(Num(Call("draw_get_alpha")), 1.0);
    Call("draw_set_swf_aa_level", {3.0});
    EXPECT_EQ(Num(Call("draw_get_swf_aa_level")), 1.0);
    Call("draw_set_swf_aa_level", {-3.0});
    EXPECT_EQ(Num(Call("draw_get_swf_aa_level")), 0.0);
}

TEST_F(DrawingRegistration, SurfaceSizesAreCheckedBeforeAnyTextureIsMade) {
    ErrorCapture errors;
    for (auto [w, h] : {std::pair{-4, 4}, {4, -4}, {8193, 4}}) {
        EXPECT_EQ(Num(Call("surface_create", {w, h})), -1) << w << "x" << h;
        EXPECT_TRUE(errors.ShownContains("Invalid surface dimensions"));
    }
    EXPECT_EQ(Num(Call("surface_create", {0, 4})), -1);
    EXPECT_EQ(errors.Count(), 1) << "a zero size ends the game";
    EXPECT_EQ(Num(Call("surface_create_ext", {4, 4, 0})), -1);
    EXPECT_TRUE(errors.ShownContains("surface_create_ext() not supported"));
    EXPECT_EQ(Num(Call("surface_get_width", {1234})), -1);
    EXPECT_EQ(Num(Call("surface_exists", {1234})), 0);
}

TEST_F(DrawingRegistration, ResizingTheApplicationSurfaceWaitsForTheRenderer) {
    ErrorCapture errors;
    g_ApplicationSurface = 7;
    EXPECT_EQ(Num(Call("surface_resize", {7, 320, 200})), 1);
    EXPECT_TRUE(g_NewApplicationSize);
    EXPECT_EQ(g_NewApplicationWidth, 320);
    EXPECT_EQ(g_NewApplicationHeight, 200);
    EXPECT_EQ(Call("surface_resize", {7, 8193, 10}).Kind(), VALUE_UNDEFINED);
    EXPECT_TRUE(errors.ShownContains("Invalid surface dimensions"));
}

TEST_F(DrawingRegistration, FamiliesNotBuiltYetAnswerUndefined) {
    EXPECT_EQ(Call("draw_skeleton", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Call("tile_get_count").Kind(), VALUE_UNDEFINED);
}

// A frame on the headless context with the drawing built-ins registered.
class DrawingOnSurface : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        ASSERT_TRUE(GR_D3D_Start_Frame());
        ASSERT_TRUE(Graphics::SaveRenderTarget());
        InitGraphicFunctions();
        Call("draw_set_alpha", {1.0});
    }
    void TearDown() override {
        FINALIZE_Code_Function();
        GR_Surface_FreeAll();
        while (Graphics::RestoreRenderTarget()) {
        }
        GR_D3D_Finish_Frame(false);
        GLDeviceTest::TearDown();
        GR_Texture_Init();
    }

    // A fresh 16 × 16 surface, cleared to black and made the target.
    int Target() {
        int s = static_cast<int>(Num(Call("surface_create", {16, 16})));
        EXPECT_GE(s, 0);
        EXPECT_EQ(Num(Call("surface_set_target", {s})), 1);
        Call("draw_clear_alpha", {0, 1.0});
        return s;
    }
    uint32_t Pixel(int s, int x, int y) {
        return static_cast<uint32_t>(Num(Call("surface_getpixel", {s, x, y})));
    }
};

TEST_F(DrawingOnSurface, ShapesDrawInTheDrawColourOrTheirOwn) {
    int s = Target();
    Call("draw_set_colour", {0x0000FF});
    Call("draw_rectangle", {0.0, 0.0, 7.0, 7.0, ZQRValue::FromBool(false)});
    Call("draw_rectangle_colour",
         {8.0, 0.0, 15.0, 7.0, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00, ZQRValue::FromBool(false)});
    Call("draw_set_color", {0xFF0000});
    Call("draw_circle", {4.0, 12.0, 3.0, ZQRValue::FromBool(false)});
    Call("draw_triangle_colour",
         {9.0, 9.0, 15.0, 9.0, 9.0, 15.0, 0xFFFF00, 0xFFFF00, 0xFFFF00, ZQRValue::FromBool(false)});
    EXPECT_EQ(Num(Call("surface_reset_target")), 1);
    EXPECT_EQ(Pixel(s, 3, 3), 0x0000FFu);
    EXPECT_EQ(Pixel(s, 12, 3), 0x00FF00u);
    EXPECT_EQ(Pixel(s, 4, 12), 0xFF0000u);
    EXPECT_EQ(Pixel(s, 10, 10), 0xFFFF00u);
    EXPECT_EQ(Pixel(s, 15, 15), 0u) << "outside every shape";
    EXPECT_EQ(static_cast<uint32_t>(Num(Call("surface_getpixel_ext", {s, 3, 3}))), 0xFF0000FFu);
}

TEST_F(DrawingOnSurface, ClearPrimitivesAndSurfacesDrawnIntoSurfaces) {
    int s = Target();
    Call("draw_clear", {0x00FF00});
    EXPECT_EQ(static_cast<uint32_t>(Num(Call("surface_getpixel_ext", {s, 14, 14}))), 0xFF00FF00u)
        << "a plain clear is opaque";
    Call("draw_primitive_begin", {4});
    Call("draw_vertex_colour", {0.0, 0.0, 0xFF0000, 1.0});
    Call("draw_vertex_colour", {8.0, 0.0, 0xFF0000, 1.0});
    Call("draw_vertex_colour", {0.0, 8.0, 0xFF0000, 1.0});
    Call("draw_primitive_end");
    Call("surface_reset_target");
    EXPECT_EQ(Pixel(s, 1, 1), 0xFF0000u);
    EXPECT_EQ(Pixel(s, 14, 14), 0x00FF00u);

    int d = Target();
    Call("draw_surface", {s, 0.0, 0.0});
    Call("draw_surface_stretched_ext", {s, 0.0, 8.0, 32.0, 32.0, 0xFFFFFF, 1.0});
    Call("surface_reset_target");
    EXPECT_EQ(Pixel(d, 1, 1), 0xFF0000u);
    EXPECT_EQ(Pixel(d, 14, 6), 0x00FF00u);
    EXPECT_EQ(Pixel(d, 1, 9), 0xFF0000u) << "stretched twice: the red corner covers 16 pixels";
}

TEST_F(DrawingOnSurface, CopiesAndMissingSurfaces) {
    ErrorCapture errors;
    int s = Target();
    Call("draw_clear", {0x0000FF});
    Call("surface_reset_target");
    int d = Target();
    Call("surface_reset_target");
    Call("surface_copy_part", {d, 4, 4, s, 0, 0, 2, 2});
    EXPECT_EQ(Pixel(d, 4, 4), 0x0000FFu);
    EXPECT_EQ(Pixel(d, 6, 6), 0u) << "only the part";
    Call("surface_copy", {d, 10, 0, s});
    EXPECT_EQ(Pixel(d, 15, 5), 0x0000FFu);
    EXPECT_EQ(Num(Call("surface_get_width", {d})), 16);
    EXPECT_EQ(Call("surface_get_texture", {d}).Kind(), VALUE_PTR);

    errors.Clear();
    Call("draw_surface_part", {999, 0, 0, 4, 4, 0, 0});
    EXPECT_EQ(std::count(errors.Shown().begin(), errors.Shown().end(), errors.LastShown()), 2)
        << "the part forms report twice";
    EXPECT_TRUE(errors.ShownContains("Trying to use non-existing surface."));
    errors.Clear();
    EXPECT_EQ(Call("surface_getpixel", {999, 0, 0}).Kind(), VALUE_UNDEFINED);
    EXPECT_TRUE(errors.ShownContains("Trying to use non-existing surface."));
    // A save rectangle is checked, and parts outside the surface never read beyond it.
    errors.Clear();
    Call("surface_save_part", {d, "part.png", 0, 0, -5, 4});
    EXPECT_TRUE(errors.ShownContains("Invalid surface dimensions"));
    char pattern[] = "/tmp/zq_dbi_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    LoadSave_SetGameName((root + "/game.ios").c_str());
    LoadSave_SetWorkingDirectory((root + "/").c_str());
    Call("surface_save_part", {d, "part.png", 12, 12, 40, 40});
    Call("surface_save", {d, "whole.png"});
    for (auto [name, w] : {std::pair{"part.png", 40}, {"whole.png", 16}}) {
        int length = 0;
        char* file = LoadSave::ReadSaveFile(name, &length);
        ASSERT_NE(file, nullptr) << name;
        PNGImage image;
        EXPECT_TRUE(image.Decode(reinterpret_cast<const uint8_t*>(file), static_cast<size_t>(length), false));
        ZQ_Free(file);
        EXPECT_EQ(image.Width(), w) << name;
    }
    LoadSave_SetGameName(nullptr);
    LoadSave_SetWorkingDirectory(nullptr);
    std::filesystem::remove_all(root);
}

TEST_F(DrawingOnSurface, AlphaTestSettingsReadBack) {
    Call("draw_set_alpha_test", {ZQRValue::FromBool(true)});
    Call("draw_set_alpha_test_ref_value", {40});
    EXPECT_EQ(Num(Call("draw_get_alpha_test")), 1);
    EXPECT_EQ(Num(Call("draw_get_alpha_test_ref_value")), 40);
}

TEST_F(DrawingOnSurface, HealthbarFillsWithTheColourBetweenItsEnds) {
    int s = Target();
    // At 50 the bar's colour is the merge of minimum and maximum.
    Call("draw_healthbar", {0.0, 0.0, 15.0, 15.0, 50.0, 0, 0x000000, 0x0000FE, 0, ZQRValue::FromBool(false),
                            ZQRValue::FromBool(false)});
    Call("surface_reset_target");
    EXPECT_EQ(Pixel(s, 2, 8), 0x00007Fu);
    EXPECT_EQ(Pixel(s, 14, 8), 0u) << "the bar is half full";
}

} // namespace
