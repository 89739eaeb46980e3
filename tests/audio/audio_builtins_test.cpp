// The audio built-ins through the function table: registration order and
// counts, results, and "-noaudio" leaving the prepared result alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/function_table.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "sound_fixture.h"
#include "core/run_settings.h"
#include "world/run/startup_services.h"

namespace {

class AudioBuiltins : public SoundSystemTest {
protected:
    // Every test starts from an empty function table, so each registers anew.
    void SetUp() override {
        SoundSystemTest::SetUp();
        if (Function_Find("audio_play_sound") < 0) InitSoundFunctions();
    }
    // Calls the built-in as compiled code does; `result` comes in prepared.
    RValue Call(const char* name, std::vector<RValue> args, RValue result = RValue_Undefined()) {
        const int id = Function_Find(name);
        EXPECT_GE(id, 0) << name;
        if (id < 0) return result;
        the_functions[id].f_routine(result, nullptr, nullptr, static_cast<int>(args.size()), args.data());
        return result;
    }
};

TEST_F(AudioBuiltins, RegisteredInOrderWithTheirCountsAndFlags) {
    struct Row {
        const char* name;
        int argc;
        bool flag;
    } const rows[] = {
        {"audio_system", 0, true},        {"audio_play_sound", 3, true},
        {"audio_play_sound_at", 9, true}, {"audio_stop_sound", 1, true},
        {"audio_channel_num", 1, true},   {"audio_play_music", 2, false},
        {"audio_music_gain", 2, true},    {"audio_sound_gain", 3, true},
        {"audio_stop_all", 0, true},      {"audio_sound_get_track_position", 1, true},
        {"audio_group_load", 1, false},   {"audio_group_set_gain", 3, false},
        {"audio_debug", 1, false},
    };
    int previous = -1;
    for (const Row& row : rows) {
        const int id = Function_Find(row.name);
        ASSERT_GT(id, previous) << row.name;
        EXPECT_EQ(the_functions[id].f_argnumb, row.argc) << row.name;
        EXPECT_EQ(the_functions[id].f_flag != 0, row.flag) << row.name;
        previous = id;
    }
}

TEST_F(AudioBuiltins, PlaySoundThroughTheTableReturnsHandlesFrom400001) {
    LoadStandard();
    RValue first = Call("audio_play_sound", {RValue_Real(0), RValue_Real(10), RValue_Real(0)});
    EXPECT_EQ(first.Kind(), VALUE_REAL);
    EXPECT_EQ(first.val, 400001.0);
    EXPECT_EQ(Call("audio_play_sound", {RValue_Real(2), RValue_Real(10), RValue_Real(1)}).val, 400002.0);
    EXPECT_EQ(Call("audio_is_playing", {RValue_Real(400002)}).val, 1.0);
    EXPECT_EQ(Call("audio_sound_length", {RValue_Real(2)}).val, static_cast<double>(0.2f));
    RValue name = Call("audio_get_name", {RValue_Real(400001)});
    ASSERT_EQ(name.Kind(), VALUE_STRING);
    EXPECT_STREQ(name.pRefString->Get(), "blip");
    FREE_RValue(&name);
    Call("audio_stop_all", {});
    EXPECT_EQ(Call("audio_is_playing", {RValue_Real(400002)}).val, 0.0) << "soft-stopped at once";
    EXPECT_EQ(Call("audio_music_is_playing", {}).val, 0.0);
    EXPECT_NE(m_console.text.find("audio_music_is_playing :: deprecated function\n"), std::string::npos);
}

TEST_F(AudioBuiltins, NoAudioLeavesThePreparedResult) {
    g_fNoAudio = true;
    LoadStandard();
    for (const char* name : {"audio_play_sound", "audio_exists", "audio_sound_length", "audio_system"}) {
        const RValue result = Call(name, {RValue_Real(0), RValue_Real(1), RValue_Real(0)}, RValue_Real(77));
        EXPECT_EQ(result.val, 77.0) << name;
    }
}

} // namespace
