// The interaction built-ins through the function table: their registration
// order, key and button queries on a synthetic input state, the key map,
// highscore indexes, dialogs that answer as cancelled, splash settings.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "core/function_table.h"
#include "core/header_globals.h"
#include "core/zq_rvalue.h"
#include "library/interaction_builtins.h"
#include "world/input/input_state.h"

namespace {

class Interaction : public ::testing::Test {
protected:
    void SetUp() override { InitInteractionFunctions(); }
    void TearDown() override {
        FINALIZE_Code_Function();
        IO_Clear();
        IO_Keymap_Clear();
        g_isNimbar = false;
    }
    static ZQRValue Call(const char* name, std::vector<ZQRValue> args = {}) {
        ZQRValue result;
        const int id = Function_Find(name);
        EXPECT_GE(id, 0) << name;
        if (id < 0) return result;
        RFunction& entry = the_functions[id];
        const int argc = static_cast<int>(args.size());
        ZQBuiltinCall call(&entry, args.data(), argc);
        entry.f_routine(result, nullptr, nullptr, argc, args.data());
        return result;
    }
    static double Num(const char* name, std::vector<ZQRValue> args = {}) {
        const ZQRValue r = Call(name, std::move(args));
        EXPECT_EQ(r.Kind(), VALUE_REAL) << name;
        return r.val;
    }
    static ZQRValue R(double v) { return ZQRValue(v); }
};

// Names and argument counts in registration order; "J" marks the joystick
// rows that only old-generation data registers.
const char* const kOrder =
    "splash_set_caption 1 splash_set_fullscreen 1 splash_set_border 1 splash_set_size 2 splash_set_adapt 1 "
    "splash_set_top 1 splash_set_color 1 splash_set_main 1 splash_set_scale 1 splash_set_cursor 1 "
    "splash_set_interrupt 1 splash_set_stop_key 1 splash_set_stop_mouse 1 splash_show_video 2 "
    "splash_show_image 2 splash_show_text 2 show_image 3 show_video 3 show_text 4 show_message 1 "
    "show_question 1 show_message_async 1 show_question_async 1 show_error 2 show_info 0 load_info 1 "
    "highscore_show 1 highscore_set_background 1 highscore_set_border 1 highscore_set_font 3 "
    "highscore_set_strings 3 highscore_set_colors 3 highscore_show_ext 7 highscore_clear 0 highscore_add 2 "
    "highscore_add_current 0 highscore_value 1 highscore_name 1 draw_highscore 4 show_message_ext 4 "
    "message_background 1 message_button 1 message_alpha 1 message_text_font 4 message_button_font 4 "
    "message_input_font 4 message_mouse_color 1 message_input_color 1 message_position 2 message_size 2 "
    "message_caption 2 show_menu 2 show_menu_pos 4 get_integer 2 get_integer_async 2 get_string 2 "
    "get_string_async 2 get_login_async 2 get_color 1 get_open_filename 2 get_save_filename 2 "
    "get_open_filename_ext 4 get_save_filename_ext 4 get_directory 1 get_directory_alt 2 "
    "keyboard_get_numlock 0 keyboard_set_numlock 1 keyboard_key_press 1 keyboard_key_release 1 "
    "keyboard_set_map 2 keyboard_get_map 1 keyboard_unset_map 0 keyboard_check 1 keyboard_check_pressed 1 "
    "keyboard_check_released 1 keyboard_check_direct 1 mouse_check_button 1 mouse_check_button_pressed 1 "
    "mouse_check_button_released 1 mouse_wheel_up 0 mouse_wheel_down 0 J joystick_exists 1 "
    "J joystick_direction 1 J joystick_name 1 J joystick_axes 1 J joystick_buttons 1 J joystick_has_pov 1 "
    "J joystick_check_button 2 J joystick_xpos 1 J joystick_ypos 1 J joystick_zpos 1 J joystick_rpos 1 "
    "J joystick_upos 1 J joystick_vpos 1 J joystick_pov 1 keyboard_clear 1 mouse_clear 1 io_clear 0 "
    "io_handle 0 device_mouse_dbclick_enable 1 keyboard_wait 0 mouse_wait 0 browser_input_capture 1 "
    "gpio_set 2 gpio_clear 1 gpio_get 1 gpio_set_mode 2 F_GPIO_Set_Function 2";

struct Expected {
    std::string name;
    int argc;
    bool joystick;
};

std::vector<Expected> ExpectedOrder() {
    std::vector<Expected> rows;
    std::istringstream in(kOrder);
    std::string word;
    bool joystick = false;
    while (in >> word) {
        if (word == "J") {
            joystick = true;
            continue;
        }
        int argc = 0;
        in >> argc;
        rows.push_back({word, argc, joystick});
        joystick = false;
    }
    return rows;
}

} // namespace

TEST_F(Interaction, RegisteredInOrderWithCountsAndFlags) {
    const std::vector<Expected> rows = ExpectedOrder();
    ASSERT_EQ(rows.size(), 108u);
    for (const bool newData : {false, true}) {
        FINALIZE_Code_Function();
        g_isNimbar = newData;
        const int first = the_numb;
        InitInteractionFunctions();
        int id = first, index = 0;
        for (const Expected& row : rows) {
            if (row.joystick && newData) {
                EXPECT_LT(Function_Find(row.name.c_str()), 0) << row.name;
                continue;
            }
            ASSERT_LT(id, the_numb);
            EXPECT_STREQ(the_functions[id].f_name, row.name.c_str());
            EXPECT_EQ(the_functions[id].f_argnumb, row.argc) << row.name;
            EXPECT_EQ(the_functions[id].f_flag != 0, index < 19) << row.name;
            ++id;
            ++index;
        }
        EXPECT_EQ(the_numb - first, newData ? 94 : 108);
    }
}

TEST_F(Interaction, KeyQueriesFollowTheAnyAndNoKeyRule) {
    const struct {
        const char* name;
        uint8_t* flags;
    } kinds[] = {{"keyboard_check", _IO_KeyDown},
                 {"keyboard_check_pressed", _IO_KeyPressed},
                 {"keyboard_check_released", _IO_KeyReleased}};
    for (const auto& kind : kinds) {
        std::memset(kind.flags, 0, kIOKeyCount);
        EXPECT_EQ(Num(kind.name, {R(0)}), 1.0) << kind.name;
        EXPECT_EQ(Num(kind.name, {R(1)}), 0.0) << kind.name;
        kind.flags[255] = 1;
        for (const auto& [key, expected] : std::vector<std::pair<double, double>>{
                 {0, 0}, {1, 1}, {255, 1}, {254, 0}, {256, 0}, {-1, 0}, {1e10, 0}})
            EXPECT_EQ(Num(kind.name, {R(key)}), expected) << kind.name << " " << key;
        kind.flags[255] = 0;
    }
    _IO_KeyDown[32] = 1;
    EXPECT_EQ(Call("keyboard_check_direct", {R(32)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(ZQVTL_keyboard_check_direct(32), 1);
    EXPECT_EQ(ZQVTL_keyboard_check(1), 1);
    EXPECT_EQ(ZQVTL_keyboard_check(0), 0);
    EXPECT_EQ(ZQVTL_keyboard_check(300), 0);
    Call("keyboard_clear", {R(32)});
    EXPECT_EQ(Num("keyboard_check", {R(32)}), 0.0);
}

TEST_F(Interaction, ButtonQueriesAndClears) {
    _IO_ButtonDown[1] = 1; // right, device 0
    EXPECT_EQ(Num("mouse_check_button", {R(-1)}), 1.0);
    EXPECT_EQ(Num("mouse_check_button", {R(0)}), 0.0);
    EXPECT_EQ(Num("mouse_check_button", {R(2)}), 1.0);
    EXPECT_EQ(Num("mouse_check_button", {R(1)}), 0.0);
    EXPECT_EQ(Num("mouse_check_button", {R(4)}), 0.0);
    EXPECT_EQ(Num("mouse_check_button_pressed", {R(0)}), 1.0);
    _IO_ButtonReleased[2] = 1;
    EXPECT_EQ(Num("mouse_check_button_released", {R(3)}), 1.0);
    _IO_WheelDown[0] = 1;
    EXPECT_EQ(Num("mouse_wheel_down"), 1.0);
    EXPECT_EQ(Num("mouse_wheel_up"), 0.0);
    Call("mouse_clear", {R(-1)});
    EXPECT_EQ(Num("mouse_check_button", {R(-1)}), 0.0);
    EXPECT_EQ(Num("mouse_check_button_released", {R(-1)}), 0.0);
    Call("device_mouse_dbclick_enable", {ZQRValue::FromBool(false)});
    EXPECT_FALSE(g_fDoubleClickAsMbRight);
}

TEST_F(Interaction, KeyMapRefusesCodesOutsideTheKeys) {
    Call("keyboard_set_map", {R(65), R(66)});
    EXPECT_EQ(Num("keyboard_get_map", {R(65)}), 66.0);
    Call("keyboard_set_map", {R(66), R(300)});
    Call("keyboard_set_map", {R(-5), R(65)});
    EXPECT_EQ(Num("keyboard_get_map", {R(66)}), 66.0);
    EXPECT_EQ(Num("keyboard_get_map", {R(-5)}), -5.0);
    EXPECT_EQ(Num("keyboard_get_map", {R(300)}), 300.0);
    Call("keyboard_unset_map");
    EXPECT_EQ(Num("keyboard_get_map", {R(65)}), 65.0);
}

// A synthetic key goes through the map and is seen at the next latch.
TEST_F(Interaction, SyntheticKeysAreSeenAtTheNextLatch) {
    Call("keyboard_set_map", {R(65), R(66)});
    Call("keyboard_key_press", {R(65)});
    EXPECT_EQ(Num("keyboard_check", {R(66)}), 0.0);
    IO_Start_Step();
    EXPECT_EQ(Num("keyboard_check_pressed", {R(66)}), 1.0);
    EXPECT_EQ(Num("keyboard_check", {R(65)}), 0.0);
    Call("keyboard_key_release", {R(65)});
    IO_Start_Step();
    EXPECT_EQ(Num("keyboard_check_released", {R(66)}), 1.0);
    EXPECT_EQ(Num("keyboard_check", {R(1)}), 0.0);
}

TEST_F(Interaction, HighscoreIndexesOutsideTheTableAnswerTheirDefault) {
    for (const double n : {0.0, 11.0, -1.0, 1e12}) {
        EXPECT_EQ(Num("highscore_value", {R(n)}), 0.0) << n;
        EXPECT_EQ(Text(Call("highscore_name", {R(n)})), "") << n;
    }
    EXPECT_EQ(Call("highscore_value", {R(1)}).Kind(), VALUE_REAL);
    EXPECT_EQ(Call("highscore_name", {R(10)}).Kind(), VALUE_STRING);
}

// Without a window no dialog is shown: questions answer no, text input the
// default (as a cancelled dialog does), file panels the empty string.
TEST_F(Interaction, DialogsWithoutAWindowAnswerAsCancelled) {
    _IO_KeyDown[40] = 1;
    EXPECT_EQ(Num("show_question", {ZQRValue("Sure?#%s%n")}), 0.0);
    EXPECT_EQ(_IO_KeyDown[40], 0); // dialogs clear the input
    EXPECT_EQ(Num("get_integer", {ZQRValue("Age"), R(18)}), 18.0);
    EXPECT_EQ(Text(Call("get_string", {ZQRValue("Name"), ZQRValue("anon")})), "anon");
    EXPECT_EQ(Text(Call("get_open_filename", {ZQRValue("*.txt"), ZQRValue("a.txt")})), "");
    const double first = Num("show_message_async", {ZQRValue("hi")});
    EXPECT_GT(Num("get_string_async", {ZQRValue("p"), ZQRValue("d")}), first);
    EXPECT_EQ(Num("show_menu", {ZQRValue("a|b"), R(0)}), 0.0);
    EXPECT_EQ(Text(Call("get_directory", {ZQRValue("")})), "");
    EXPECT_EQ(Call("gpio_get", {R(3)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(Call("joystick_exists", {R(0)}).Kind(), VALUE_UNDEFINED);
}

TEST_F(Interaction, SplashSettingsAreStored) {
    Call("show_text", {ZQRValue("t.txt"), ZQRValue::FromBool(true), R(0xFF00), R(10)});
    EXPECT_TRUE(splash_opt_fullscreen);
    EXPECT_FALSE(splash_opt_inmain);
    EXPECT_EQ(splash_opt_backcol, 0xFF00u);
    Call("splash_set_size", {R(320), R(200)});
    EXPECT_EQ(splash_opt_width, 320);
    EXPECT_EQ(splash_opt_height, 200);
    Call("splash_set_caption", {ZQRValue("one")});
    Call("splash_set_caption", {ZQRValue("two")});
    EXPECT_STREQ(splash_opt_caption, "two");
    EXPECT_STREQ(g_pWindowCaption, "Made with Vantor: Forlan");
}
