// Named constants: the built-in vocabulary and the platform's constants with
// their values, exact and case-blind lookup, the latest registration winning,
// resources resolving first, game constants and their name check.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/builtin_variables.h"
#include "core/code_constants.h"
#include "core/console.h"
#include "core/error.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "world/datafile/options.h"
#include "world/objects/object_type.h"
#include "error_capture.h"

namespace {

class CodeConstants : public ::testing::Test {
protected:
    void SetUp() override { INITIALIZE_Code_Constant(); }
    void TearDown() override {
        FINALIZE_Code_Constant();
        Object_Init();
    }

    // The value found by the exact lookup, or NAN.
    static double Find(const char* name) {
        RValue v = RValue_Undefined();
        const bool found = Code_Constant_Find(name, &v);
        const double d = found && v.Kind() == VALUE_REAL ? v.val : NAN;
        FREE_RValue(&v);
        return d;
    }

    ErrorCapture m_errors;
};

TEST_F(CodeConstants, VocabularyValues) {
    EXPECT_EQ(Code_Constant_Count(), CODE_CONSTANT_BUILTIN_COUNT + CODE_CONSTANT_PLATFORM_COUNT);
    const struct {
        const char* name;
        double value;
    } cases[] = {
        {"self", -1},
        {"local", -7},
        {"true", 1},
        {"pr_trianglefan", 6},
        {"c_aqua", 0xFFFF00},
        {"c_orange", 0x40A0FF},
        {"c_maroon", 0x000080},
        {"bm_subtract", 3},
        {"bm_inv_dest_colour", 10},
        {"bm_src_alpha_sat", 11},
        {"mip_markedonly", 2},
        {"audio_falloff_exponent_distance_clamped", 6},
        {"audio_3d", 2},
        {"fa_bottom", 2},
        {"mb_any", -1},
        {"vk_backspace", 8},
        {"vk_printscreen", 44},
        {"vk_f1", 112},
        {"vk_f10", 121},
        {"vk_f11", 128},
        {"vk_f12", 129},
        {"vk_numpad9", 105},
        {"vk_multiply", 106},
        {"vk_ralt", 165},
        {"gp_face1", 32769},
        {"gp_axisrv", 32788},
        {"ev_clean_up", 12},
        {"ev_pre_create", 14},
        {"ev_global_release", 13},
        {"ev_joystick1_button1", 21},
        {"ev_joystick1_button8", 28},
        {"ev_joystick2_left", 31},
        {"ev_joystick2_button8", 43},
        {"ev_mouse_wheel_down", 61},
        {"ev_no_more_health", 9},
        {"ev_user15", 25},
        {"ev_close_button", 30},
        {"ev_gesture_rotate_end", 12},
        {"ev_global_gesture_tap", 64},
        {"ev_global_gesture_rotate_end", 76},
        {"ev_system_event", 75},
        {"dll_stdcall", 1},
        {"fa_archive", 32},
        {"cr_beam", -4},
        {"cr_size_nesw", -6},
        {"cr_size_all", -22},
        {"pt_shape_snow", 13},
        {"ps_shape_line", 3},
        {"ef_snow", 11},
        {"display_portrait_flipped", 3},
        {"os_windows", 0},
        {"os_linux", 6},
        {"os_uwp", 18},
        {"phy_joint_angle", 8},
        {"phy_joint_motor_speed", 7},
        {"phy_joint_frequency", 18},
        {"phy_debug_render_collision_pairs", 64},
        {"matrix_world", 2},
        {"ov_achievements", 5},
        {"lb_disp_time_ms", 3},
        {"ugc_result_success", 1},
        {"ugc_query_RankedByTextSearch", 11},
        {"ugc_sortorder_ForModeration", 6},
        {"ugc_list_Followed", 8},
        {"ugc_match_ControllerBindings", 11},
        {"timezone_utc", 1},
        {"buffer_network", 5},
        {"buffer_u8", 1},
        {"buffer_text", 13},
        {"buffer_seek_end", 2},
        // The platform's.
        {"os_amazon", 19},
        {"os_llvm_linux", 65542},
        {"device_emulator", 256},
        {"browser_ie_mobile", 10},
        {"achievement_challenge_launched", 1011},
        {"asset_timeline", 8},
        {"ds_type_priority", 6},
        {"fb_login_forcing_safari", 5},
    };
    for (const auto& c : cases) EXPECT_EQ(Find(c.name), c.value) << c.name;

    // pi as single precision widened, not the double-precision value.
    EXPECT_EQ(Find("pi"), static_cast<double>(3.14159265f));
    EXPECT_NE(Find("pi"), 3.141592653589793);
    EXPECT_EQ(Find("c_silver"), Find("c_ltgray"));
    EXPECT_EQ(Find("vk_enter"), Find("vk_return"));

    // The vocabulary's first and last entries, and the audio family twice.
    EXPECT_STREQ(Code_Constant_Name(0), "self");
    EXPECT_STREQ(Code_Constant_Name(CODE_CONSTANT_BUILTIN_COUNT - 1), "buffer_seek_end");
    EXPECT_STREQ(Code_Constant_Name(CODE_CONSTANT_BUILTIN_COUNT), "os_unknown");
    int audioNone = 0;
    for (int i = 0; i < CODE_CONSTANT_BUILTIN_COUNT; ++i)
        audioNone += std::string(Code_Constant_Name(i)) == "audio_falloff_none";
    EXPECT_EQ(audioNone, 2);
}

TEST_F(CodeConstants, ExactAndCaseBlindLookup) {
    RValue v = RValue_Undefined();
    EXPECT_FALSE(Code_Constant_Find("vk_F11", &v));
    EXPECT_EQ(v.Kind(), VALUE_REAL);
    EXPECT_EQ(v.val, -1);
    const RValue* blind = Code_Constant_Find_IgnoreCase("vk_F11");
    ASSERT_NE(blind, nullptr);
    EXPECT_EQ(blind->val, 128);
    EXPECT_EQ(Code_Constant_Find_IgnoreCase("no_such_constant"), nullptr);
    EXPECT_FALSE(Code_Constant_Find(nullptr, &v));
}

TEST_F(CodeConstants, LatestRegistrationWinsAndValuesAreCopies) {
    AddRealConstant("c_red", 5);
    EXPECT_EQ(Find("c_red"), 5);
    EXPECT_EQ(Code_Constant_Find_IgnoreCase("C_RED")->val, 5);

    AddStringConstant("greeting", "hello");
    RValue v = RValue_Real(0);
    ASSERT_TRUE(Code_Constant_Find("greeting", &v));
    ASSERT_EQ(v.Kind(), VALUE_STRING);
    EXPECT_STREQ(v.pRefString->Get(), "hello");
    EXPECT_EQ(v.pRefString->m_refCount, 2); // the table's and ours
    FREE_RValue(&v);

    // Re-initialising starts afresh rather than appending the vocabulary again.
    INITIALIZE_Code_Constant();
    EXPECT_EQ(Code_Constant_Count(), CODE_CONSTANT_BUILTIN_COUNT + CODE_CONSTANT_PLATFORM_COUNT);
    EXPECT_EQ(Find("c_red"), 0x0000FF);
    FINALIZE_Code_Constant();
    EXPECT_EQ(Code_Constant_Count(), 0);
    EXPECT_TRUE(std::isnan(Find("c_red")));
}

TEST_F(CodeConstants, ResourcesResolveBeforeConstants) {
    const int object = Object_Add(); // named "__newobject<index>"
    const std::string name = Object_Name(object);
    AddRealConstant(name.c_str(), 77);
    EXPECT_EQ(Find(name.c_str()), object);
    // The case-blind lookup sees only the table.
    EXPECT_EQ(Code_Constant_Find_IgnoreCase(name.c_str())->val, 77);
}

TEST_F(CodeConstants, GameConstantsAreCheckedIdentifiersWithTheValueZero) {
    EXPECT_TRUE(Code_Constant_Add("  max_enemies  ", "12"));
    EXPECT_EQ(Find("max_enemies"), 0);
    EXPECT_TRUE(Code_Constant_Add("_x9", "1"));
    const int count = Code_Constant_Count();
    for (const char* bad : {"9lives", "a-b", "", "caf\xc3\xa9"}) {
        EXPECT_FALSE(Code_Constant_Add(bad, "1")) << bad;
        EXPECT_EQ(m_errors.LastShown(), "Constant name " + std::string(bad) + "  is not valid.");
    }
    EXPECT_EQ(Code_Constant_Count(), count);

    // The options' constants in order, stopping at the first invalid name.
    char* names[] = {ZQStrDup("opt_a"), ZQStrDup("bad name"), ZQStrDup("opt_c")};
    char* values[] = {ZQStrDup("1"), ZQStrDup("2"), ZQStrDup("3")};
    const int32_t savedCount = option_const_numb;
    char** savedNames = option_const_name;
    char** savedValues = option_const_val;
    option_const_numb = 3;
    option_const_name = names;
    option_const_val = values;
    EXPECT_FALSE(Code_Constant_Prepare());
    EXPECT_EQ(Find("opt_a"), 0);
    EXPECT_TRUE(std::isnan(Find("opt_c")));
    option_const_numb = savedCount;
    option_const_name = savedNames;
    option_const_val = savedValues;
    for (int i = 0; i < 3; ++i) {
        ZQ_Free(names[i]);
        ZQ_Free(values[i]);
    }
}

} // namespace
