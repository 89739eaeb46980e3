// The input state: the latch from a synthetic platform copy, clearing, the key
// map, the accessors' ranges, and recording steps to a file and playing them
// back, including files cut short or damaged.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "core/run_settings.h"
#include "temp_path.h"
#include "world/input/input_recording.h"
#include "world/input/input_state.h"
#include "world/run/command_line.h"

namespace {

// Everything a record carries, plus the pointer of device 0.
struct Snapshot {
    uint16_t lastChar;
    uint16_t string[kIOStringMax + 1];
    int32_t lastKey, currentKey;
    uint8_t keyDown[256], keyPressed[256], keyReleased[256];
    int32_t lastButton[10], currentButton[10];
    uint8_t buttonDown[30], buttonPressed[30], buttonReleased[30], wheelUp[10], wheelDown[10];
    int32_t mouseX, mouseY, posX, posY;

    static Snapshot Take() {
        Snapshot s;
        s.lastChar = _IO_LastChar;
        std::memcpy(s.string, _IO_InputString, sizeof s.string);
        s.lastKey = _IO_LastKey;
        s.currentKey = _IO_CurrentKey;
        std::memcpy(s.keyDown, _IO_KeyDown, 256);
        std::memcpy(s.keyPressed, _IO_KeyPressed, 256);
        std::memcpy(s.keyReleased, _IO_KeyReleased, 256);
        std::memcpy(s.lastButton, _IO_LastButton, sizeof s.lastButton);
        std::memcpy(s.currentButton, _IO_CurrentButton, sizeof s.currentButton);
        std::memcpy(s.buttonDown, _IO_ButtonDown, 30);
        std::memcpy(s.buttonPressed, _IO_ButtonPressed, 30);
        std::memcpy(s.buttonReleased, _IO_ButtonReleased, 30);
        std::memcpy(s.wheelUp, _IO_WheelUp, 10);
        std::memcpy(s.wheelDown, _IO_WheelDown, 10);
        s.mouseX = g_MouseX;
        s.mouseY = g_MouseY;
        s.posX = g_MousePosX[0];
        s.posY = g_MousePosY[0];
        return s;
    }
    // The same state with this step's edges gone.
    Snapshot WithoutEdges() const {
        Snapshot s = *this;
        std::memset(s.keyPressed, 0, 256);
        std::memset(s.keyReleased, 0, 256);
        std::memset(s.buttonPressed, 0, 30);
        std::memset(s.buttonReleased, 0, 30);
        std::memset(s.wheelUp, 0, 10);
        std::memset(s.wheelDown, 0, 10);
        return s;
    }
    bool operator==(const Snapshot&) const = default;
};

// All input state and the platform copy back to program start.
void ZeroAll() {
    IO_Quit();
    g_IO_Record = g_IO_Playback = false;
    ZQ_Free(g_pIO_RecordFileName);
    g_pIO_RecordFileName = nullptr;
    IO_Clear();
    for (int d = 0; d < kIOMouseDevices; ++d) IO_Button_Clear_All(d);
    std::memset(g_mac_keysDown, 0, 256);
    std::memset(g_mac_keysDownEdge, 0, 256);
    std::memset(g_mac_keysUpEdge, 0, 256);
    std::memset(g_MousePosX, 0, sizeof g_MousePosX);
    std::memset(g_MousePosY, 0, sizeof g_MousePosY);
    g_DoMouseButton = g_DoMouseButton_Last = 0;
    g_MouseX = g_MouseY = 0;
    g_MouseWheelUp = g_MouseWheelDown = 0;
    IO_Keymap_Clear();
}

// The platform's side, as its key and mouse handlers would write it.
void PlatformKeyDown(int key, uint16_t character) {
    g_mac_lastkey = g_mac_curkey = key;
    if (!g_mac_keysDown[key]) {
        g_mac_keysDownEdge[key] = 1;
        if (character != 0 && g_IO_String_Curr < kIOStringMax) {
            g_mac_IO_String[g_IO_String_Curr++] = character;
            g_mac_IO_String[g_IO_String_Curr] = 0;
        }
    }
    g_mac_keysDown[key] = 1;
    g_mac_lastchar = character;
}
void PlatformKeyUp(int key) {
    g_mac_keysUpEdge[key] = 1;
    g_mac_keysDown[key] = 0;
    if (g_mac_curkey == key) g_mac_curkey = 0;
}

std::string TempFile(const char* name) {
    return TestTempPath(name);
}

long FileSize(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return -1;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    return size;
}

class Input : public testing::Test {
protected:
    void SetUp() override {
        ZeroAll();
        IO_Init();
    }
    void TearDown() override {
        ZeroAll();
        CommandLine_Quit();
    }
};

} // namespace

TEST_F(Input, LatchCopiesKeysAndTakesTheirEdges) {
    PlatformKeyDown(65, 'a');
    PlatformKeyDown(255, 0);
    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Down(65) && IO_Key_Pressed(65));
    EXPECT_TRUE(IO_Key_Down(255) && IO_Key_Pressed(255) && !IO_Key_Released(255));
    EXPECT_EQ(IO_Key_Current_Get(), 255);
    EXPECT_EQ(IO_Key_Last_Get(), 255);
    EXPECT_STREQ(IO_String_Get(), "a");
    EXPECT_EQ(g_mac_keysDownEdge[65], 0) << "the latch resets the platform's edges";

    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Down(65));
    EXPECT_FALSE(IO_Key_Pressed(65)) << "an edge lasts one step";

    PlatformKeyUp(255);
    IO_Start_Step();
    EXPECT_TRUE(!IO_Key_Down(255) && IO_Key_Released(255));

    // Down and up between two latches: pressed and released, never held.
    PlatformKeyDown(66, 'b');
    PlatformKeyUp(66);
    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Pressed(66) && IO_Key_Released(66) && !IO_Key_Down(66));
    EXPECT_STREQ(IO_String_Get(), "ab");
    EXPECT_EQ(IO_Key_Current_Get(), 0);
}

TEST_F(Input, LatchCopiesButtonsWheelAndPointer) {
    g_DoMouseButton = 1;
    g_MouseX = 320;
    g_MouseY = -7;
    g_MouseWheelUp = g_MouseWheelDown = 1;
    IO_Start_Step();
    EXPECT_TRUE(IO_Button_Down(1, 0) && IO_Button_Pressed(1, 0));
    EXPECT_FALSE(IO_Button_Down(2, 0));
    EXPECT_TRUE(IO_Wheel_Up(0));
    EXPECT_FALSE(IO_Wheel_Down(0)) << "wheel up wins";
    EXPECT_EQ(g_MouseWheelUp + g_MouseWheelDown, 0);
    EXPECT_EQ(g_MousePosX[0], 320);
    EXPECT_EQ(g_MousePosY[0], -7);
    EXPECT_EQ(IO_Button_Current_Get(0), 0) << "the live latch never writes the button numbers";

    g_DoMouseButton = 2; // left up, right down
    g_MouseWheelDown = 1;
    IO_Start_Step();
    EXPECT_TRUE(IO_Button_Released(1, 0) && !IO_Button_Down(1, 0));
    EXPECT_TRUE(IO_Button_Pressed(2, 0) && IO_Button_Down(2, 0));
    EXPECT_TRUE(IO_Wheel_Down(0) && !IO_Wheel_Up(0));
    for (int d = 1; d < kIOMouseDevices; ++d) EXPECT_FALSE(IO_Button_Down(2, d) || g_MousePosX[d] != 0);
}

TEST_F(Input, AccessorsIgnoreCodesButtonsAndDevicesOutOfRange) {
    PlatformKeyDown(10, 0);
    g_DoMouseButton = 3;
    IO_Start_Step();
    for (int key : {-1, 256, 1000}) {
        EXPECT_FALSE(IO_Key_Down(key) || IO_Key_Pressed(key) || IO_Key_Released(key)) << key;
        IO_Key_Clear(key);
    }
    for (auto [button, device] : {std::pair{0, 0}, std::pair{4, 0}, std::pair{1, -1}, std::pair{1, 10}}) {
        EXPECT_FALSE(IO_Button_Down(button, device) || IO_Button_Pressed(button, device) ||
                     IO_Button_Released(button, device));
        IO_Button_Last_Set(button, device);
        IO_Button_Current_Set(button, device);
        IO_Button_Clear(button, device);
    }
    EXPECT_TRUE(IO_Button_Down(1, 0) && IO_Button_Down(2, 0));
    EXPECT_EQ(IO_Button_Last_Get(0), 0);
    EXPECT_EQ(IO_Button_Last_Get(10), 0);
    EXPECT_FALSE(IO_Wheel_Up(-1) || IO_Wheel_Down(10));
    IO_Button_Current_Set(3, 9);
    EXPECT_EQ(IO_Button_Current_Get(9), 3);

    IO_Key_Current_Set(300);
    EXPECT_EQ(IO_Key_Current_Get(), 10);
    IO_Key_Last_Set(65);
    EXPECT_EQ(IO_Key_Last_Get(), 65);
    EXPECT_EQ(IO_Key_Current_Get(), 10) << "until the next latch";
    IO_Start_Step();
    EXPECT_EQ(IO_Key_Last_Get(), 65);
    EXPECT_EQ(IO_Key_Current_Get(), 0);

    IO_Char_Last_Set(static_cast<char>(0xE9));
    EXPECT_EQ(IO_Char_Last_Get(), 0xFFE9u);
    IO_Start_Step();
    EXPECT_EQ(IO_Char_Last_Get(), 0xFFE9u) << "the platform's copy says the same";
    IO_Key_Clear(10);
    EXPECT_FALSE(IO_Key_Down(10));
}

TEST_F(Input, KeyboardStringInUtf8) {
    IO_String_Set("h\xC3\xA9llo \xE2\x82\xAC");
    EXPECT_STREQ(IO_String_Get(), "h\xC3\xA9llo \xE2\x82\xAC");
    EXPECT_EQ(g_IO_String_Curr, 7);
    EXPECT_EQ(g_mac_IO_String[6], 0x20AC);

    std::string long2000(2000, 'z');
    IO_String_Set(long2000.c_str());
    EXPECT_EQ(std::string(IO_String_Get()), std::string(1024, 'z'));
    EXPECT_EQ(_IO_InputString[1024], 0);

    // Malformed bytes and characters beyond 16 bits have no code of their own.
    IO_String_Set("a\xFF\xF0\x9F\x98\x80"
                  "b\xE2");
    EXPECT_STREQ(IO_String_Get(), "a\xEF\xBF\xBD\xEF\xBF\xBD"
                                  "b\xEF\xBF\xBD");
    IO_String_Set(nullptr);
    EXPECT_STREQ(IO_String_Get(), "");

    // A platform string without its terminator is cut at 1024 characters.
    for (int i = 0; i <= kIOStringMax; ++i) g_mac_IO_String[i] = 'q';
    IO_Start_Step();
    EXPECT_EQ(std::string(IO_String_Get()).size(), 1024u);
}

TEST_F(Input, ClearingLeavesHeldPlatformKeysToComeBack) {
    PlatformKeyDown(65, 'a');
    g_DoMouseButton = 1;
    g_MouseWheelUp = 1;
    IO_Button_Current_Set(1, 0);
    IO_Button_Current_Set(2, 1);
    IO_Start_Step();
    IO_Clear();
    EXPECT_FALSE(IO_Key_Down(65) || IO_Button_Down(1, 0) || IO_Wheel_Up(0));
    EXPECT_EQ(IO_Key_Last_Get(), 0);
    EXPECT_EQ(IO_Char_Last_Get(), 0u);
    EXPECT_STREQ(IO_String_Get(), "");
    EXPECT_EQ(g_IO_String_Curr, 0);
    EXPECT_EQ(IO_Button_Current_Get(0), 0);
    EXPECT_EQ(IO_Button_Current_Get(1), 2) << "other devices are left alone";

    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Down(65)) << "still held on the platform";
    EXPECT_TRUE(IO_Button_Down(1, 0));
    EXPECT_STREQ(IO_String_Get(), "");
    EXPECT_EQ(IO_Char_Last_Get(), 0u) << "a character typed before the clear does not come back";
}

TEST_F(Input, KeyMapTargetsStayWithinTheKeyCodes) {
    EXPECT_EQ(IO_Keymap_Get(65), 65);
    IO_Keymap_Set(65, 66);
    EXPECT_EQ(cIO_Keymap_Get(65), 66);
    IO_Keymap_Set(65, 256);
    IO_Keymap_Set(65, -1);
    EXPECT_EQ(IO_Keymap_Get(65), 66) << "a target outside 0 to 255 is refused";
    IO_Keymap_Set(300, 1);
    EXPECT_EQ(IO_Keymap_Get(300), 300);
    EXPECT_EQ(IO_Keymap_Get(-5), -5);
    IO_Keymap_Clear();
    EXPECT_EQ(IO_Keymap_Get(65), 65);
    IO_Keymap_Set(65, 66);
    IO_Init();
    EXPECT_EQ(IO_Keymap_Get(65), 65) << "input start-up resets the map";
}

namespace {

// Ten steps of varied input, recorded; returns the state after each step.
std::vector<Snapshot> RecordTenSteps(const std::string& path) {
    std::string line = "-record \"" + path + "\"";
    ProcessCommandLine(line.c_str());
    IO_Init();
    std::vector<Snapshot> states;
    for (int step = 0; step < 10; ++step) {
        if (step % 3 == 0) PlatformKeyDown(65 + step, static_cast<uint16_t>('a' + step));
        if (step % 4 == 1) PlatformKeyUp(65 + step - 1);
        if (step == 7) PlatformKeyDown(255, 0x20AC);
        g_DoMouseButton = static_cast<uint32_t>(step % 4);
        g_MouseX = 100 + step * 13;
        g_MouseY = -step;
        g_MouseWheelUp = step == 2;
        g_MouseWheelDown = step == 5;
        if (step == 4) {
            IO_Button_Last_Set(2, 0);
            IO_Button_Current_Set(3, 4);
        }
        IO_Start_Step();
        states.push_back(Snapshot::Take());
    }
    IO_Quit();
    return states;
}

void StartPlayback(const std::string& path) {
    ZeroAll();
    std::string line = "-playback \"" + path + "\"";
    ProcessCommandLine(line.c_str());
    IO_Init();
}

} // namespace

TEST_F(Input, TenRecordedStepsPlayBackToTheSameStates) {
    std::string path = TempFile("ten steps.rec");
    std::vector<Snapshot> recorded = RecordTenSteps(path);
    ASSERT_EQ(FileSize(path), 10 * 3034);

    // The layout: record 3 holds the pointer at 3026 and key 65 held at 2060 + 65.
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> bytes(10 * 3034);
    ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);
    int32_t x;
    std::memcpy(&x, bytes.data() + 3 * 3034 + 3026, 4);
    EXPECT_EQ(x, 100 + 3 * 13);
    EXPECT_EQ(bytes[3 * 3034 + 2060 + 68], 1) << "key 68 held in step 3";
    EXPECT_EQ(bytes[3 * 3034 + 2060 + 65], 0) << "key 65 went up in step 1";
    EXPECT_EQ(bytes[3 * 3034 + 2572 + 68], 1) << "key 68 went down in step 3";
    EXPECT_EQ(bytes[4 * 3034 + 2828], 2) << "last button of device 0";

    StartPlayback(path);
    // The platform's own input is ignored while playing back.
    PlatformKeyDown(90, 'z');
    for (int step = 0; step < 10; ++step) {
        IO_Start_Step();
        EXPECT_TRUE(Snapshot::Take() == recorded[step]) << "step " << step;
    }
    for (int step = 10; step < 12; ++step) {
        IO_Start_Step();
        EXPECT_TRUE(IO_Playback_Ended());
        EXPECT_TRUE(Snapshot::Take() == recorded[9].WithoutEdges()) << "step " << step;
    }
    EXPECT_FALSE(IO_Key_Down(90));
}

TEST_F(Input, ShortOrDamagedPlaybackFilesEndCleanly) {
    std::string path = TempFile("damaged.rec");
    std::vector<Snapshot> recorded = RecordTenSteps(path);
    std::vector<uint8_t> bytes(10 * 3034);
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fread(bytes.data(), 1, bytes.size(), f), bytes.size());
    std::fclose(f);

    struct Case {
        const char* what;
        size_t length;   // bytes kept
        size_t damageAt; // byte set to `value` (0: none)
        uint32_t value;
        int wholeRecords; // records played before the end
    } cases[] = {
        {"cut in the middle of record 6", 5 * 3034 + 1500, 0, 0, 5},
        {"cut one byte short", 10 * 3034 - 1, 0, 0, 9},
        {"a key flag of 7 in record 4", 10 * 3034, 3 * 3034 + 2060 + 12, 7, 3},
        {"a button number of 9 in record 2", 10 * 3034, 1 * 3034 + 2868, 9, 1},
        {"a keyboard string without its terminator", 10 * 3034, 0, 'x', 0},
        {"an empty file", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> damaged(bytes.begin(), bytes.begin() + static_cast<long>(c.length));
        if (c.damageAt != 0) damaged[c.damageAt] = static_cast<uint8_t>(c.value);
        if (std::string(c.what).find("terminator") != std::string::npos)
            for (size_t i = 2; i < 2052; i += 2) damaged[i] = 'x';
        std::string damagedPath = TempFile("damaged-case.rec");
        FILE* out = std::fopen(damagedPath.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        if (!damaged.empty()) std::fwrite(damaged.data(), 1, damaged.size(), out);
        std::fclose(out);

        StartPlayback(damagedPath);
        for (int step = 0; step < 12; ++step) {
            IO_Start_Step();
            Snapshot expected = step < c.wholeRecords ? recorded[step]
                                : c.wholeRecords > 0  ? recorded[c.wholeRecords - 1].WithoutEdges()
                                                      : Snapshot::Take();
            EXPECT_TRUE(Snapshot::Take() == expected) << c.what << ", step " << step;
            EXPECT_EQ(IO_Playback_Ended(), step >= c.wholeRecords) << c.what << ", step " << step;
        }
        if (c.wholeRecords == 0) {
            EXPECT_STREQ(IO_String_Get(), "") << c.what << ": nothing of the damaged record is applied";
        }
    }
}

TEST_F(Input, RecordAndPlaybackTogetherPlayBackAndUnopenableFilesGiveNoInput) {
    std::string path = TempFile("both.rec");
    RecordTenSteps(path);
    ZeroAll();
    std::string line = "-record \"" + path + "\" -playback \"" + path + "\"";
    ProcessCommandLine(line.c_str());
    IO_Init();
    EXPECT_FALSE(g_IO_Record);
    IO_Start_Step();
    EXPECT_TRUE(IO_Key_Pressed(65)) << "record 0 played back";
    IO_Quit();
    EXPECT_EQ(FileSize(path), 10 * 3034) << "nothing was recorded over it";

    ZeroAll();
    ProcessCommandLine("-playback /nonexistent/folder/input.rec");
    IO_Init();
    PlatformKeyDown(65, 'a');
    IO_Start_Step();
    EXPECT_FALSE(IO_Key_Down(65)) << "playing back a file that cannot be opened gives no input";
}

TEST_F(Input, RequestsActOnARisingEdge) {
    g_ProfileFrameRequested = false;
    ProfileFrameRequest(true, true);
    EXPECT_FALSE(g_ProfileFrameRequested);
    ProfileFrameRequest(false, true);
    EXPECT_TRUE(g_ProfileFrameRequested);
    g_ProfileFrameRequested = false;

    bool before = g_fVMUse;
    VMFlipRequest(false, false);
    EXPECT_EQ(g_fVMUse, before);
    VMFlipRequest(false, true);
    EXPECT_EQ(g_fVMUse, !before);
    g_fVMUse = before;
}
