// The keyboard and mouse passes: a scripted sequence of latched input states
// and the events, in order, that each step raises.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/header_globals.h"
#include "render/shell_services.h"
#include "step_fixture.h"
#include "world/input/input_state.h"
#include "world/step/input_passes.h"
#include "world/step/step_services.h"

namespace {

using Events = std::vector<LoggedEvent>;

class InputPassTest : public StepScene {
protected:
    void SetUp() override {
        StepScene::SetUp();
        ClearInput();
    }
    void TearDown() override {
        ClearInput();
        StepScene::TearDown();
    }
    static void ClearInput() {
        std::memset(_IO_KeyDown, 0, sizeof _IO_KeyDown);
        std::memset(_IO_KeyPressed, 0, sizeof _IO_KeyPressed);
        std::memset(_IO_KeyReleased, 0, sizeof _IO_KeyReleased);
        std::memset(_IO_ButtonDown, 0, sizeof _IO_ButtonDown);
        std::memset(_IO_ButtonPressed, 0, sizeof _IO_ButtonPressed);
        std::memset(_IO_ButtonReleased, 0, sizeof _IO_ButtonReleased);
        _IO_WheelUp[0] = _IO_WheelDown[0] = 0;
        g_MousePosX[0] = g_MousePosY[0] = 0;
    }
    Events TakeLog() {
        Events log = Log();
        Log().clear();
        return log;
    }
    // Object 0 with sprite 0 (32 × 32, origin at its centre).
    CInstance* Sprited(float x, float y) {
        CInstance* i = Add(x, y, 0);
        i->SetSpriteIndex(0);
        return i;
    }
};

TEST_F(InputPassTest, KeysThenAnyKeyAndNoKey) {
    MakeObjects(1);
    for (int type : {EVENT_KEYBOARD, EVENT_KEYPRESS, EVENT_KEYRELEASE})
        for (int sub : {0, 1, 7, 8, 65, 255}) GiveEvent(0, type, sub);
    Create_Object_Lists();
    const int id = Add(0, 0, 0)->i_id;

    HandleKeyboard(); // nothing held
    EXPECT_EQ(TakeLog(),
              (Events{{EVENT_KEYBOARD, 0, id}, {EVENT_KEYPRESS, 0, id}, {EVENT_KEYRELEASE, 0, id}}));

    // Key 65 pressed and released in one step, 255 held, 7 never by number.
    _IO_KeyDown[7] = _IO_KeyDown[255] = 1;
    _IO_KeyPressed[65] = _IO_KeyReleased[65] = 1;
    HandleKeyboard();
    EXPECT_EQ(TakeLog(), (Events{{EVENT_KEYBOARD, 65, id},
                                 {EVENT_KEYPRESS, 65, id},
                                 {EVENT_KEYRELEASE, 65, id},
                                 {EVENT_KEYBOARD, 255, id},
                                 {EVENT_KEYBOARD, 1, id},
                                 {EVENT_KEYPRESS, 1, id},
                                 {EVENT_KEYRELEASE, 1, id}}));

    ClearInput();
    _IO_KeyDown[7] = 1; // held, but below 8: counts as no key
    _IO_KeyReleased[8] = 1;
    HandleKeyboard();
    EXPECT_EQ(TakeLog(), (Events{{EVENT_KEYRELEASE, 8, id},
                                 {EVENT_KEYBOARD, 0, id},
                                 {EVENT_KEYPRESS, 0, id},
                                 {EVENT_KEYRELEASE, 1, id}}));
}

// One instance under the mouse, one away from it, with every mouse event.
class MousePassTest : public InputPassTest {
protected:
    void SetUp() override {
        InputPassTest::SetUp();
        MakeObjects(1);
        for (int sub = 0; sub <= 13; ++sub) GiveEvent(0, EVENT_MOUSE, sub);
        for (int sub = 50; sub <= 61; ++sub) GiveEvent(0, EVENT_MOUSE, sub);
        Create_Object_Lists();
        under = Sprited(100, 100)->i_id;
        away = Sprited(300, 300)->i_id;
        g_MousePosX[0] = g_MousePosY[0] = 100;
        // A window the room's size without views: room positions are window pixels.
        savedClient_[0] = g_ClientWidth;
        savedClient_[1] = g_ClientHeight;
        g_ClientWidth = Run_Room->m_width;
        g_ClientHeight = Run_Room->m_height;
    }
    void TearDown() override {
        g_ClientWidth = savedClient_[0];
        g_ClientHeight = savedClient_[1];
        InputPassTest::TearDown();
    }
    int under = 0, away = 0;
    int32_t savedClient_[2] = {0, 0};
};

TEST_F(MousePassTest, ScriptedStepsGiveTheEventsInOrder) {
    const int m = EVENT_MOUSE;
    // Step 1: nothing pressed; the mouse is over one instance (first check).
    HandleMouse();
    EXPECT_EQ(TakeLog(), (Events{{m, 3, under}, {m, 10, under}}));

    // Step 2: left and right pressed (and held), old data: held block first.
    _IO_ButtonDown[0] = _IO_ButtonDown[1] = 1;
    _IO_ButtonPressed[0] = _IO_ButtonPressed[1] = 1;
    HandleMouse();
    EXPECT_EQ(TakeLog(), (Events{{m, 0, under},
                                 {m, 50, under},
                                 {m, 50, away},
                                 {m, 1, under},
                                 {m, 51, under},
                                 {m, 51, away},
                                 {m, 4, under},
                                 {m, 12, under},
                                 {m, 12, away},
                                 {m, 53, under},
                                 {m, 53, away},
                                 {m, 5, under},
                                 {m, 12, under},
                                 {m, 12, away},
                                 {m, 54, under},
                                 {m, 54, away}}));

    // Step 3: left released, the mouse moves onto the other instance, the
    // wheel turns both ways.
    _IO_ButtonDown[0] = 0;
    _IO_ButtonPressed[0] = _IO_ButtonPressed[1] = 0;
    _IO_ButtonReleased[0] = 1;
    _IO_WheelUp[0] = _IO_WheelDown[0] = 1;
    g_MousePosX[0] = g_MousePosY[0] = 300;
    HandleMouse();
    EXPECT_EQ(TakeLog(), (Events{{m, 1, away},
                                 {m, 51, under},
                                 {m, 51, away},
                                 {m, 7, away},
                                 {m, 13, under},
                                 {m, 13, away},
                                 {m, 56, under},
                                 {m, 56, away},
                                 {m, 10, away},
                                 {m, 11, under},
                                 {m, 60, under},
                                 {m, 60, away},
                                 {m, 61, under},
                                 {m, 61, away}}));
}

TEST_F(MousePassTest, NewDataRaisesHeldAfterPressedAndHiddenWindowNothing) {
    g_isNimbar = true;
    HandleMouse();
    TakeLog();
    _IO_ButtonDown[2] = _IO_ButtonPressed[2] = 1;
    g_MousePosX[0] = g_MousePosY[0] = 1000;
    HandleMouse();
    const int m = EVENT_MOUSE;
    EXPECT_EQ(TakeLog(), (Events{{m, 12, under},
                                 {m, 12, away},
                                 {m, 55, under},
                                 {m, 55, away},
                                 {m, 52, under},
                                 {m, 52, away},
                                 {m, 11, under}}));
    g_Visible = false;
    HandleMouse();
    EXPECT_TRUE(TakeLog().empty());
}

// An instance made by a Mouse Enter event is first checked the step after.
TEST_F(MousePassTest, InstanceMadeDuringEnterIsCheckedNextStep) {
    int made = -1;
    Action() = [&](CInstance*, int type, int sub) {
        if (type == EVENT_MOUSE && sub == 10 && made < 0) made = Sprited(100, 100)->i_id;
    };
    HandleMouse();
    EXPECT_EQ(TakeLog(), (Events{{EVENT_MOUSE, 3, under}, {EVENT_MOUSE, 10, under}}));
    ASSERT_GE(made, 0);
    Action() = nullptr;
    HandleMouse();
    EXPECT_EQ(TakeLog(), (Events{{EVENT_MOUSE, 3, under}, {EVENT_MOUSE, 3, made}, {EVENT_MOUSE, 10, made}}));
}

} // namespace
