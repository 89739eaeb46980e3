// The legacy sound, CD and MCI built-ins and the sync-group and stream
// built-ins through the function table: their registration, the gates, the
// missing-sound error, results, and "-noaudio" leaving the result alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/legacy_builtins.h"
#include "audio/legacy_sound.h"
#include "core/arguments.h"
#include "core/function_table.h"
#include "core/ref_string.h"
#include "core/run_settings.h"
#include "core/zq_rvalue.h"
#include "error_capture.h"
#include "ogg_fixture.h"
#include "world/datafile/options.h"
#include "world/run/startup_services.h"

namespace {

class AudioBuiltinRows : public OggSounds {
protected:
    void SetUp() override {
        OggSounds::SetUp();
        if (Function_Find("sound_play") < 0) InitSoundFunctions();
    }
    // Calls the built-in inside a call scope, as the call gate does; the
    // result comes in prepared.
    ZQRValue Call(const char* name, std::vector<ZQRValue> args = {}, ZQRValue result = ZQRValue()) {
        const int id = Function_Find(name);
        EXPECT_GE(id, 0) << name;
        if (id < 0) return result;
        const int argc = static_cast<int>(args.size());
        ZQBuiltinCall call(&the_functions[id], args.data(), argc);
        the_functions[id].f_routine(result, nullptr, nullptr, argc, args.data());
        return result;
    }
    ErrorCapture m_errors;
};

struct Row {
    const char* name;
    int argc;
    bool flag;
};

// Rows registered one after another, in this order, with these counts and flags.
void ExpectConsecutive(const std::vector<Row>& rows) {
    const int first = Function_Find(rows.front().name);
    ASSERT_GE(first, 0);
    for (size_t i = 0; i < rows.size(); ++i) {
        const int id = Function_Find(rows[i].name);
        EXPECT_EQ(id, first + static_cast<int>(i)) << rows[i].name;
        if (id < 0) continue;
        EXPECT_EQ(the_functions[id].f_argnumb, rows[i].argc) << rows[i].name;
        EXPECT_EQ(the_functions[id].f_flag != 0, rows[i].flag) << rows[i].name;
    }
}

TEST_F(AudioBuiltinRows, RegisteredInOrderWithTheirCountsAndFlags) {
    ExpectConsecutive({
        {"sound_play", 1, false},
        {"sound_loop", 1, false},
        {"sound_stop", 1, false},
        {"sound_stop_all", 0, false},
        {"sound_isplaying", 1, false},
        {"sound_volume", 2, false},
        {"sound_fade", 3, false},
        {"sound_pan", 2, false},
        {"sound_background_tempo", 1, false},
        {"sound_global_volume", 1, false},
        {"sound_set_search_directory", 1, false},
        {"sound_effect_set", 2, true},
        {"sound_effect_chorus", 8, true},
        {"sound_effect_compressor", 7, true},
        {"sound_effect_echo", 6, true},
        {"sound_effect_flanger", 8, true},
        {"sound_effect_gargle", 3, true},
        {"sound_effect_equalizer", 4, true},
        {"sound_effect_reverb", 5, true},
        {"sound_3d_set_sound_position", 4, true},
        {"sound_3d_set_sound_velocity", 4, true},
        {"sound_3d_set_sound_distance", 3, true},
        {"sound_3d_set_sound_cone", 7, true},
        {"cd_init", 0, true},
        {"cd_present", 0, true},
        {"cd_number", 0, true},
        {"cd_playing", 0, true},
        {"cd_paused", 0, true},
        {"cd_track", 0, true},
        {"cd_length", 0, true},
        {"cd_track_length", 1, true},
        {"cd_position", 0, true},
        {"cd_track_position", 0, true},
        {"cd_play", 2, true},
        {"cd_stop", 0, true},
        {"cd_pause", 0, true},
        {"cd_resume", 0, true},
        {"cd_set_position", 1, true},
        {"cd_set_track_position", 1, true},
        {"cd_open_door", 0, true},
        {"cd_close_door", 0, true},
        {"MCI_command", 1, true},
    });
    EXPECT_EQ(Function_Find("sound_play"), 0) << "the legacy built-ins come first";
    EXPECT_GT(Function_Find("audio_system"), Function_Find("MCI_command"));
    ExpectConsecutive({
        {"audio_create_sync_group", 1, false},
        {"audio_destroy_sync_group", 1, false},
        {"audio_play_in_sync_group", 2, false},
        {"audio_start_sync_group", 1, false},
        {"audio_pause_sync_group", 1, false},
        {"audio_resume_sync_group", 1, false},
        {"audio_stop_sync_group", 1, false},
        {"audio_sync_group_get_track_pos", 1, false},
        {"audio_sync_group_debug", 1, false},
        {"audio_sync_group_is_playing", 1, false},
        {"audio_create_stream", 1, false},
        {"audio_destroy_stream", 1, false},
        {"audio_debug", 1, false},
    });
}

TEST_F(AudioBuiltinRows, LegacySoundsAnswerForAnEmptyLegacyTable) {
    g_UseNewAudio = false;
    LoadStandard();
    // Every built-in that names a sound reports the missing one and leaves
    // the result; sound_isplaying answers 0 instead.
    const std::vector<std::pair<const char*, std::vector<ZQRValue>>> named = {
        {"sound_play", {0}},
        {"sound_loop", {0}},
        {"sound_stop", {0}},
        {"sound_volume", {0, 0.5}},
        {"sound_fade", {0, 0.5, 1000}},
        {"sound_pan", {0, 1.0}},
        {"sound_effect_chorus", {0, 1, 1, 1, 1, 1, 1, 1}},
        {"sound_effect_gargle", {0, 1, 1}},
        {"sound_3d_set_sound_position", {0, 1, 2, 3}},
        {"sound_3d_set_sound_cone", {0, 1, 2, 3, 4, 5, 6}},
    };
    for (const auto& [name, args] : named) {
        m_errors.Clear();
        const ZQRValue result = Call(name, args, ZQRValue(77));
        EXPECT_EQ(result.val, 77.0) << name;
        EXPECT_TRUE(m_errors.ShownContains("\n\nSound does not exist.\n")) << name;
        EXPECT_EQ(m_errors.Count(), 0) << name << ": not fatal";
    }
    m_errors.Clear();
    EXPECT_EQ(Call("sound_isplaying", {5}, ZQRValue(77)).val, 0.0);
    Call("sound_stop_all");
    Call("sound_global_volume", {0.25});
    EXPECT_FLOAT_EQ(SND_Global_Volume(), 0.25f);
    Call("sound_background_tempo", {2.0});
    Call("sound_set_search_directory", {"music"});
    EXPECT_TRUE(m_errors.Shown().empty());
}

TEST_F(AudioBuiltinRows, TheGatesOfTheNewerSoundSystemAndOfNoAudio) {
    LoadStandard(); // the newer sound system is in use
    EXPECT_EQ(Call("sound_play", {0}, ZQRValue(77)).val, 77.0);
    EXPECT_EQ(Call("sound_isplaying", {0}, ZQRValue(77)).val, 77.0);
    Call("sound_global_volume", {0.25});
    EXPECT_FLOAT_EQ(SND_Global_Volume(), 1.0f);
    EXPECT_TRUE(m_errors.Shown().empty());
    // Three of the 3D settings look past the newer sound system.
    Call("sound_3d_set_sound_velocity", {0, 1, 2, 3});
    EXPECT_TRUE(m_errors.ShownContains("\n\nSound does not exist.\n"));

    g_fNoAudio = true;
    m_errors.Clear();
    Call("sound_3d_set_sound_velocity", {0, 1, 2, 3});
    EXPECT_TRUE(m_errors.Shown().empty());
    // CD audio and MCI pass no gate.
    EXPECT_EQ(Call("cd_present", {}, ZQRValue(77)).val, 1.0);
    for (const char* name : {"cd_number", "cd_playing", "cd_paused", "cd_track", "cd_length", "cd_position",
                             "cd_track_position"})
        EXPECT_EQ(Call(name, {}, ZQRValue(77)).val, 0.0) << name;
    EXPECT_EQ(Call("cd_track_length", {3}, ZQRValue(77)).val, 0.0);
    EXPECT_EQ(Call("cd_play", {1, 2}, ZQRValue(77)).val, 77.0);
    const ZQRValue mci = Call("MCI_command", {"open cdaudio"});
    ASSERT_EQ(mci.Kind(), VALUE_STRING);
    EXPECT_STREQ(mci.pRefString->Get(), "");
}

TEST_F(AudioBuiltinRows, AWrongArgumentKindIsAClearErrorNotACrash) {
    g_UseNewAudio = false;
    LoadStandard();
    Call("sound_play", {ZQRValue()});
    EXPECT_EQ(m_errors.LastMessage(),
              "sound_play argument 1 incorrect type (undefined) expecting a Number (ZQGI32)");
    m_errors.Clear();
    Call("audio_create_stream", {});
    EXPECT_EQ(m_errors.LastMessage().rfind("audio_create_stream argument 1 incorrect type (undefined)", 0),
              0u)
        << m_errors.LastMessage();
}

TEST_F(AudioBuiltinRows, SyncGroupsAndStreamsThroughTheTable) {
    LoadDecoded();
    const ZQRValue group = Call("audio_create_sync_group", {2});
    ASSERT_EQ(group.Kind(), VALUE_REAL);
    EXPECT_EQ(group.val, 0.0);
    EXPECT_EQ(Call("audio_play_in_sync_group", {group, 1}).val, 0.0);
    EXPECT_EQ(Call("audio_play_in_sync_group", {group, 77}).val, -1.0);
    // "Kind only": the result turns real and keeps the prepared value.
    const ZQRValue started = Call("audio_start_sync_group", {group}, ZQRValue(5));
    EXPECT_EQ(started.Kind(), VALUE_REAL);
    EXPECT_EQ(started.val, 5.0);
    EXPECT_EQ(Call("audio_sync_group_is_playing", {group}).val, 1.0);
    EXPECT_GE(Call("audio_sync_group_get_track_pos", {group}).val, 0.0);
    EXPECT_EQ(Call("audio_sync_group_get_track_pos", {9}).val, -1.0);
    Call("audio_stop_sync_group", {group});
    EXPECT_EQ(Call("audio_sync_group_is_playing", {group}).val, 0.0);
    Call("audio_destroy_sync_group", {group});

    WriteBundleFile("theme.ogg", m_mono);
    const ZQRValue stream = Call("audio_create_stream", {"theme.ogg"});
    EXPECT_EQ(stream.val, 300000.0);
    EXPECT_EQ(Call("audio_create_stream", {"missing.ogg"}).val, -1.0);
    EXPECT_EQ(Call("audio_destroy_stream", {stream}).val, 1.0);
    EXPECT_EQ(Call("audio_destroy_stream", {400000}).val, -1.0);
}

TEST_F(AudioBuiltinRows, NoAudioLeavesTheResultOfEverySyncAndStreamBuiltIn) {
    g_fNoAudio = true;
    LoadStandard();
    for (const char* name :
         {"audio_create_sync_group", "audio_destroy_sync_group", "audio_play_in_sync_group",
          "audio_start_sync_group", "audio_pause_sync_group", "audio_resume_sync_group",
          "audio_stop_sync_group", "audio_sync_group_get_track_pos", "audio_sync_group_debug",
          "audio_sync_group_is_playing", "audio_create_stream", "audio_destroy_stream"}) {
        // No argument is read: an empty call raises no getter error.
        const ZQRValue result = Call(name, {}, ZQRValue("kept"));
        EXPECT_EQ(result.Kind(), VALUE_STRING) << name;
    }
    EXPECT_TRUE(m_errors.Shown().empty());
}

} // namespace
