// Keyboard and mouse capture: SDL events pushed into SDL's own queue (the
// offscreen driver) and drained through the capture reach the raw input
// state; the step's input latch then shows them as the game reads them.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/input_capture.h"
#include "platform/key_map.h"
#include "render/graphics_device.h"
#include "world/input/input_state.h"

namespace {

class InputCapture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        m_window = SDL_CreateWindow("input", 0, 0, 200, 100, SDL_WINDOW_HIDDEN);
        ASSERT_NE(m_window, nullptr) << SDL_GetError();
        // A drawable twice the window's size, as on a high-density display.
        g_DeviceWidth = 400;
        g_DeviceHeight = 200;
        IO_Keymap_Clear();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    void TearDown() override {
        SDL_DestroyWindow(m_window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    // Pushes the events into SDL's queue and hands every queued one over.
    void Deliver(std::initializer_list<SDL_Event> events) {
        for (SDL_Event e : events) ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
        SDL_Event e;
        while (SDL_PollEvent(&e)) Input_HandleEvent(e);
    }
    SDL_Event Key(bool down, SDL_Scancode code, bool repeat = false) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = SDL_GetWindowID(m_window);
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.repeat = repeat ? 1 : 0;
        e.key.keysym.scancode = code;
        return e;
    }
    SDL_Event Text(const char* utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        e.text.windowID = SDL_GetWindowID(m_window);
        SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
        return e;
    }
    SDL_Event Button(bool down, int button, int x, int y) {
        SDL_Event e{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = SDL_GetWindowID(m_window);
        e.button.button = static_cast<Uint8>(button);
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.x = x;
        e.button.y = y;
        return e;
    }
    SDL_Event Wheel(int dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEWHEEL;
        e.wheel.windowID = SDL_GetWindowID(m_window);
        e.wheel.y = dy;
        e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
        return e;
    }
    SDL_Event Motion(int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.windowID = SDL_GetWindowID(m_window);
        e.motion.x = x;
        e.motion.y = y;
        return e;
    }

    SDL_Window* m_window = nullptr;
};

std::string TypedString() {
    return IO_String_Get();
}

TEST(KeyTable, WindowsNumberingForEveryKeyAndNothingOutsideTheTable) {
    const struct {
        SDL_Scancode code;
        int key;
    } cases[] = {
        {SDL_SCANCODE_A, 65},          {SDL_SCANCODE_Z, 90},           {SDL_SCANCODE_0, 48},
        {SDL_SCANCODE_9, 57},          {SDL_SCANCODE_LEFT, 37},        {SDL_SCANCODE_DOWN, 40},
        {SDL_SCANCODE_BACKSPACE, 8},   {SDL_SCANCODE_DELETE, 46},      {SDL_SCANCODE_RETURN, 13},
        {SDL_SCANCODE_KP_ENTER, 13},   {SDL_SCANCODE_ESCAPE, 27},      {SDL_SCANCODE_F1, 112},
        {SDL_SCANCODE_F11, 122},       {SDL_SCANCODE_F12, 123},        {SDL_SCANCODE_LGUI, 91},
        {SDL_SCANCODE_RGUI, 92},       {SDL_SCANCODE_LSHIFT, 160},     {SDL_SCANCODE_RALT, 165},
        {SDL_SCANCODE_MINUS, 189},     {SDL_SCANCODE_KP_MINUS, 109},   {SDL_SCANCODE_KP_0, 96},
        {SDL_SCANCODE_SEMICOLON, 186}, {SDL_SCANCODE_APOSTROPHE, 222}, {SDL_SCANCODE_MUTE, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Platform_VirtualKeyForScancode(c.code), c.key) << c.code;
    EXPECT_EQ(Platform_VirtualKeyForScancode(-1), 0);
    EXPECT_EQ(Platform_VirtualKeyForScancode(SDL_NUM_SCANCODES), 0);
    for (int code = 0; code < SDL_NUM_SCANCODES; ++code) {
        const int key = Platform_VirtualKeyForScancode(code);
        EXPECT_TRUE(key >= 0 && key < 256) << code;
    }
}

TEST_F(InputCapture, AHeldKeyGivesOneEdgeAndOneCharacterAndItsReleaseAnEdge) {
    Deliver({Key(true, SDL_SCANCODE_A), Text("a")});
    Deliver({Key(true, SDL_SCANCODE_A, true), Text("a"), Key(true, SDL_SCANCODE_A, true), Text("a")});
    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Down(65));
    EXPECT_TRUE(IO_Key_Pressed(65));
    EXPECT_EQ(IO_Key_Last_Get(), 65);
    EXPECT_EQ(IO_Key_Current_Get(), 65);
    EXPECT_EQ(IO_Char_Last_Get(), unsigned{'a'});
    EXPECT_EQ(TypedString(), "a");

    IO_Start_Step(); // held: no new edge
    EXPECT_TRUE(IO_Key_Down(65));
    EXPECT_FALSE(IO_Key_Pressed(65));

    Deliver({Key(false, SDL_SCANCODE_A)});
    IO_Start_Step();
    EXPECT_FALSE(IO_Key_Down(65));
    EXPECT_TRUE(IO_Key_Released(65));
    EXPECT_EQ(IO_Key_Current_Get(), 0);
    EXPECT_EQ(IO_Key_Last_Get(), 65);
}

TEST_F(InputCapture, ShiftPressesItsGenericAndSidedKeysUntilBothSidesAreUp) {
    Deliver({Key(true, SDL_SCANCODE_LSHIFT), Key(true, SDL_SCANCODE_A), Text("A")});
    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Pressed(16));
    EXPECT_TRUE(IO_Key_Pressed(160));
    EXPECT_TRUE(IO_Key_Pressed(65));
    EXPECT_EQ(TypedString(), "A");

    Deliver({Key(true, SDL_SCANCODE_RSHIFT), Key(false, SDL_SCANCODE_LSHIFT)});
    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Down(16)) << "the right shift still holds shift";
    EXPECT_TRUE(IO_Key_Released(160));
    EXPECT_TRUE(IO_Key_Down(161));

    Deliver({Key(false, SDL_SCANCODE_RSHIFT)});
    IO_Start_Step();
    EXPECT_FALSE(IO_Key_Down(16));
    EXPECT_TRUE(IO_Key_Released(16));
}

TEST_F(InputCapture, BackspaceDeletesAndAnOpeningParenthesisIsTyped) {
    Deliver({Key(true, SDL_SCANCODE_X), Text("x"), Key(false, SDL_SCANCODE_X)});
    Deliver({Key(true, SDL_SCANCODE_9), Text("("), Key(false, SDL_SCANCODE_9)});
    Deliver({Key(true, SDL_SCANCODE_Y), Text("y"), Key(false, SDL_SCANCODE_Y)});
    Deliver({Key(true, SDL_SCANCODE_BACKSPACE)});
    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Pressed(8));
    EXPECT_EQ(TypedString(), "x(");
    EXPECT_EQ(IO_Char_Last_Get(), 127u);
    // An arrow types nothing: the last character is cleared.
    Deliver({Key(true, SDL_SCANCODE_LEFT)});
    IO_Start_Step();
    EXPECT_EQ(IO_Char_Last_Get(), 0u);
    EXPECT_EQ(TypedString(), "x(");
}

TEST_F(InputCapture, TextOutsideLatinOneClearsTheLastCharacterAndTheKeyMapApplies) {
    Deliver({Text("\xc3\xa9")}); // U+00E9
    EXPECT_EQ(g_mac_lastchar, 0xE9);
    Deliver({Text("\xe2\x82\xac")}); // U+20AC
    EXPECT_EQ(g_mac_lastchar, 0);
    EXPECT_EQ(g_IO_String_Curr, 1);

    IO_Keymap_Set(65, 66);
    Deliver({Key(true, SDL_SCANCODE_A)});
    EXPECT_EQ(g_mac_keysDown[66], 1);
    EXPECT_EQ(g_mac_keysDown[65], 0);
    FakeKeyDown(65); // through the map as well: already down, no new edge
    FakeKeyUp(65);
    EXPECT_EQ(g_mac_keysDown[66], 0);
    EXPECT_EQ(g_mac_keysUpEdge[66], 1);
    FakeKeyDown(300); // outside the arrays: ignored
}

TEST(KeyboardString, EditingRulesAndTheRestartAfter1022Characters) {
    Input_AppendToIOString(127); // delete on an empty string: nothing
    EXPECT_EQ(g_IO_String_Curr, 0);
    EXPECT_EQ(g_mac_lastchar, 127);
    Input_AppendToIOString(31);
    EXPECT_EQ(g_mac_lastchar, 0);
    EXPECT_EQ(g_IO_String_Curr, 0);

    for (int i = 0; i < 1023; ++i) Input_AppendToIOString('a' + i % 26);
    EXPECT_EQ(g_IO_String_Curr, 1023);
    const uint16_t last = g_mac_IO_String[1022];
    Input_AppendToIOString('Z'); // the 1024th character
    EXPECT_EQ(g_IO_String_Curr, 2);
    EXPECT_EQ(g_mac_IO_String[0], last);
    EXPECT_EQ(g_mac_IO_String[1], 'Z');
    EXPECT_EQ(g_mac_IO_String[2], 0);

    g_IO_String_Curr = 5000; // a count out of range stays inside the buffer
    Input_AppendToIOString('q');
    EXPECT_EQ(g_IO_String_Curr, 2);
}

TEST_F(InputCapture, MousePositionButtonsWheelAndThePointerRecord) {
    Deliver({Motion(50, 25)});
    EXPECT_EQ(g_MouseX, 100);
    EXPECT_EQ(g_MouseY, 50);

    Deliver({Button(true, SDL_BUTTON_LEFT, 10, 10)});
    Input_UpdateEvents();
    EXPECT_EQ(g_InputEvents[0].flags, 0x80000003u);
    EXPECT_EQ(g_InputEvents[0].x, 20);
    EXPECT_EQ(g_InputEvents[0].y, 20);
    Input_UpdateEvents();
    EXPECT_EQ(g_InputEvents[0].flags, 0x80000002u) << "held, no new press";
    IO_Start_Step();
    EXPECT_TRUE(IO_Button_Down(1, 0));
    EXPECT_TRUE(IO_Button_Pressed(1, 0));

    // A whole click between two latches leaves nothing behind.
    Deliver({Button(false, SDL_BUTTON_LEFT, 10, 10), Button(true, SDL_BUTTON_LEFT, 10, 10),
             Button(false, SDL_BUTTON_LEFT, 10, 10)});
    Input_UpdateEvents();
    EXPECT_EQ(g_InputEvents[0].flags, 0u);
    EXPECT_EQ(g_DoMouseButton, 0u);

    Deliver({Button(true, SDL_BUTTON_MIDDLE, 1, 1)});
    EXPECT_EQ(g_DoMouseButton, 0u) << "the middle button is not handled";

    Deliver({Wheel(2)});
    IO_Start_Step();
    EXPECT_TRUE(IO_Wheel_Up(0));
    Deliver({Wheel(-1)});
    IO_Start_Step();
    EXPECT_FALSE(IO_Wheel_Up(0));
    EXPECT_TRUE(IO_Wheel_Down(0));
}

TEST_F(InputCapture, AControlClickIsTheRightButtonUntilItsRelease) {
    Deliver({Key(true, SDL_SCANCODE_LCTRL), Button(true, SDL_BUTTON_LEFT, 5, 5)});
    EXPECT_EQ(g_DoMouseButton, 2u);
    IO_Start_Step();
    EXPECT_TRUE(IO_Button_Pressed(2, 0));
    // Control goes up before the button: the right button is still released.
    Deliver({Key(false, SDL_SCANCODE_LCTRL), Button(false, SDL_BUTTON_LEFT, 5, 5)});
    EXPECT_EQ(g_DoMouseButton, 0u);
    IO_Start_Step();
    EXPECT_TRUE(IO_Button_Released(2, 0));
}

} // namespace
