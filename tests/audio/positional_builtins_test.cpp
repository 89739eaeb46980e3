// The emitter, listener, falloff, mask, buffer-sound, queue and recording
// built-ins through the function table: their places in the registration
// order with counts and flags, result conversions, and "-noaudio".
#include <gtest/gtest.h>

#include <vector>

#include "audio/emitters.h"
#include "core/function_table.h"
#include "core/run_settings.h"
#include "core/rvalue.h"
#include "sound_fixture.h"
#include "world/run/startup_services.h"

namespace {

class PositionalBuiltins : public SoundSystemTest {
protected:
    void SetUp() override {
        SoundSystemTest::SetUp();
        if (Function_Find("audio_play_sound") < 0) InitSoundFunctions();
    }
    RValue Call(const char* name, std::vector<RValue> args, RValue result = RValue_Undefined()) {
        const int id = Function_Find(name);
        EXPECT_GE(id, 0) << name;
        if (id < 0) return result;
        the_functions[id].f_routine(result, nullptr, nullptr, static_cast<int>(args.size()), args.data());
        return result;
    }
};

struct Row {
    const char* name;
    int argc;
    bool flag;
    bool ours; // added with emitters, buffer sounds and recording
};

// Built-ins 43 to 122 in registration order: no other built-in stands between.
const Row kRows[] = {
    {"audio_listener_position", 3, true, true},
    {"audio_listener_velocity", 3, true, true},
    {"audio_listener_orientation", 6, true, true},
    {"audio_emitter_position", 4, true, true},
    {"audio_emitter_velocity", 4, true, true},
    {"audio_system", 0, true, false},
    {"audio_emitter_create", 0, true, true},
    {"audio_emitter_free", 1, true, true},
    {"audio_play_sound", 3, true, false},
    {"audio_play_sound_on", 4, true, true},
    {"audio_play_sound_at", 9, true, false},
    {"audio_falloff_set_model", 1, true, true},
    {"audio_stop_sound", 1, true, false},
    {"audio_pause_sound", 1, true, false},
    {"audio_resume_sound", 1, true, false},
    {"audio_pause_all", 0, true, false},
    {"audio_resume_all", 0, true, false},
    {"audio_is_playing", 1, true, false},
    {"audio_is_paused", 1, true, false},
    {"audio_exists", 1, true, false},
    {"audio_master_gain", 1, true, true},
    {"audio_emitter_exists", 1, true, true},
    {"audio_get_type", 1, true, false},
    {"audio_emitter_gain", 2, true, true},
    {"audio_emitter_pitch", 2, true, true},
    {"audio_emitter_falloff", 4, true, true},
    {"audio_channel_num", 1, true, false},
    {"audio_play_music", 2, false, false},
    {"audio_stop_music", 0, true, false},
    {"audio_pause_music", 0, true, false},
    {"audio_resume_music", 0, true, false},
    {"audio_music_is_playing", 0, true, false},
    {"audio_music_gain", 2, true, false},
    {"audio_sound_gain", 3, true, false},
    {"audio_sound_pitch", 2, true, false},
    {"audio_stop_all", 0, true, false},
    {"audio_sound_length", 1, true, false},
    {"audio_emitter_get_gain", 1, true, true},
    {"audio_emitter_get_pitch", 1, true, true},
    {"audio_emitter_get_x", 1, true, true},
    {"audio_emitter_get_y", 1, true, true},
    {"audio_emitter_get_z", 1, true, true},
    {"audio_emitter_get_vx", 1, true, true},
    {"audio_emitter_get_vy", 1, true, true},
    {"audio_emitter_get_vz", 1, true, true},
    {"audio_listener_set_position", 4, true, true},
    {"audio_listener_set_velocity", 4, true, true},
    {"audio_listener_set_orientation", 7, true, true},
    {"audio_listener_get_data", 1, true, true},
    {"audio_set_master_gain", 2, true, true},
    {"audio_get_master_gain", 1, true, true},
    {"audio_sound_get_gain", 1, true, false},
    {"audio_sound_get_pitch", 1, true, false},
    {"audio_get_name", 1, true, false},
    {"audio_sound_set_track_position", 2, true, false},
    {"audio_sound_get_track_position", 1, true, false},
    {"audio_group_load", 1, false, false},
    {"audio_group_unload", 1, false, false},
    {"audio_group_is_loaded", 1, false, false},
    {"audio_group_load_progress", 1, false, false},
    {"audio_group_name", 1, false, false},
    {"audio_group_stop_all", 1, false, false},
    {"audio_group_set_gain", 3, false, false},
    {"audio_create_buffer_sound", 6, false, true},
    {"audio_free_buffer_sound", 1, false, true},
    {"audio_create_play_queue", 3, false, true},
    {"audio_free_play_queue", 1, false, true},
    {"audio_queue_sound", 4, false, true},
    {"audio_start_recording", 1, false, true},
    {"audio_stop_recording", 1, false, true},
    {"audio_get_recorder_count", 0, false, true},
    {"audio_get_recorder_info", 1, false, true},
    {"audio_sound_get_listener_mask", 1, true, true},
    {"audio_sound_set_listener_mask", 2, true, true},
    {"audio_emitter_get_listener_mask", 1, true, true},
    {"audio_emitter_set_listener_mask", 2, true, true},
    {"audio_get_listener_mask", 0, true, true},
    {"audio_set_listener_mask", 1, true, true},
    {"audio_get_listener_info", 1, true, true},
    {"audio_get_listener_count", 0, true, true},
};

TEST_F(PositionalBuiltins, RegisteredInPlaceWithTheirCountsAndFlags) {
    static_assert(sizeof kRows / sizeof kRows[0] == 122 - 43 + 1);
    const int first = Function_Find(kRows[0].name);
    ASSERT_GE(first, 0);
    for (size_t i = 0; i < sizeof kRows / sizeof kRows[0]; ++i) {
        const Row& row = kRows[i];
        const int id = Function_Find(row.name);
        EXPECT_EQ(id, first + static_cast<int>(i)) << row.name;
        if (id < 0) continue;
        EXPECT_EQ(the_functions[id].f_argnumb, row.argc) << row.name;
        EXPECT_EQ(the_functions[id].f_flag != 0, row.flag) << row.name;
    }
}

TEST_F(PositionalBuiltins, NoAudioLeavesEveryResultButStoppingARecorder) {
    g_fNoAudio = true;
    LoadStandard();
    for (const Row& row : kRows) {
        if (!row.ours || std::string(row.name) == "audio_stop_recording") continue;
        std::vector<RValue> args(9, RValue_Real(0));
        const RValue result = Call(row.name, args, RValue_Real(77));
        EXPECT_EQ(result.Kind(), VALUE_REAL) << row.name;
        EXPECT_EQ(result.val, 77.0) << row.name;
    }
    EXPECT_TRUE(emitters.empty()) << "nothing was created";
    m_console.text.clear();
    EXPECT_EQ(Call("audio_stop_recording", {RValue_Real(0)}, RValue_Real(77)).val, -1.0);
    EXPECT_EQ(m_console.text, "audio_stop_recording : recorder 0 is not currently recording\n");
}

TEST_F(PositionalBuiltins, ResultsAsTheScriptsSeeThem) {
    LoadStandard();
    const double e = Call("audio_emitter_create", {}).val;
    EXPECT_EQ(e, 0.0);
    Call("audio_emitter_position", {RValue_Real(e), RValue_Real(1), RValue_Real(2), RValue_Real(3)});
    Call("audio_emitter_velocity", {RValue_Real(e), RValue_Real(4), RValue_Real(5), RValue_Real(6)});
    const char* getters[] = {"audio_emitter_get_x",  "audio_emitter_get_y",  "audio_emitter_get_z",
                             "audio_emitter_get_vx", "audio_emitter_get_vy", "audio_emitter_get_vz"};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(Call(getters[i], {RValue_Real(e)}).val, i + 1.0) << getters[i];
    EXPECT_EQ(Call("audio_emitter_exists", {RValue_Real(e)}).val, 1.0);
    EXPECT_GE(
        Call("audio_play_sound_on", {RValue_Real(e), RValue_Real(0), RValue_Real(0), RValue_Real(1)}).val,
        400001.0);

    // Masks are unsigned 32-bit numbers.
    Call("audio_set_listener_mask", {RValue_Real(2147483649.0)});
    EXPECT_EQ(Call("audio_get_listener_mask", {}).val, 2147483649.0);
    Call("audio_emitter_set_listener_mask", {RValue_Real(e), RValue_Real(4294967295.0)});
    EXPECT_EQ(Call("audio_emitter_get_listener_mask", {RValue_Real(e)}).val, 4294967295.0);
    const double handle = Call("audio_play_sound", {RValue_Real(0), RValue_Real(1), RValue_Real(0)}).val;
    EXPECT_EQ(Call("audio_sound_get_listener_mask", {RValue_Real(handle)}).val, 2147483649.0);

    EXPECT_EQ(Call("audio_get_listener_count", {}).val, 1.0);
    EXPECT_EQ(Call("audio_listener_get_data", {RValue_Real(1)}).val, -1.0);
    Call("audio_master_gain", {RValue_Real(0.25)});
    EXPECT_EQ(Call("audio_get_master_gain", {RValue_Real(0)}).val, 0.25);
    EXPECT_EQ(Call("audio_create_play_queue", {RValue_Real(4), RValue_Real(16000), RValue_Real(0)}).val,
              200000.0);
    EXPECT_EQ(Call("audio_free_play_queue", {RValue_Real(200000)}).val, 1.0);
    EXPECT_EQ(Call("audio_free_buffer_sound", {RValue_Real(100000)}).val, 0.0);
    EXPECT_EQ(Call("audio_get_recorder_count", {}).val, 1.0);
}

} // namespace
