// The sound, font and script resource built-ins through the function table:
// sound rows for either sound system, font queries and the sprite-font
// reports, and script_execute with no, some and too many arguments.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "builtin_call.h"
#include "code_chunks.h"
#include "console_capture.h"
#include "core/code.h"
#include "core/error.h"
#include "core/run_state.h"
#include "core/script.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "resource_fixture.h"
#include "sprites/font.h"
#include "sprites/font_table.h"
#include "sprites/sprite_table.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"
#include "world/instances/sprite_services.h"

namespace {

class ResourceTest : public ResourceFixture<QuietTest> {
protected:
    void TearDown() override {
        aborterror = false;
        New_Room = ROOM_NONE;
        Code_Error_Occured = false;
    }
};

// ---- sounds

class SoundBuiltins : public ResourceTest {
protected:
    void TearDown() override {
        g_UseNewAudio = false;
        ResourceTest::TearDown();
    }
};

TEST_F(SoundBuiltins, RowsFollowTheSoundSystemInUse) {
    for (bool audio : {false, true}) {
        SCOPED_TRACE(audio ? "audio system" : "legacy sounds");
        g_UseNewAudio = audio;
        EXPECT_EQ(Num("sound_exists", {N(0)}), 0);
        EXPECT_EQ(Text(CallBuiltin("sound_get_name", {N(0)})), "<undefined>");
        EXPECT_EQ(Num("sound_get_kind", {N(0)}), -1);
        EXPECT_EQ(Num("sound_get_preload", {N(0)}), 0);
        const ZQRValue added = CallBuiltin("sound_add", {ZQRValue("boom.wav"), N(0), N(1)});
        const ZQRValue deleted = CallBuiltin("audio_delete", {N(3)});
        if (audio) {
            EXPECT_EQ(added.Kind(), VALUE_UNDEFINED);
            EXPECT_EQ(deleted.Kind(), VALUE_UNDEFINED);
            EXPECT_EQ(CallBuiltin("sound_replace", {N(0), ZQRValue("x.wav"), N(0), N(1)}).Kind(),
                      VALUE_UNDEFINED);
            EXPECT_EQ(errors.Shown().size(), 0u);
        } else {
            EXPECT_EQ(added.val, -1) << "the legacy system has no loader here";
            EXPECT_EQ(deleted.val, 0);
            EXPECT_EQ(TakeError(), "Trying to delete non-existing sound.");
            EXPECT_EQ(Num("sound_replace", {N(0), ZQRValue("x.wav"), N(0), N(1)}), 0);
        }
    }
}

// ---- fonts

class FontBuiltins : public ResourceTest {
protected:
    void TearDown() override {
        Font_Reset();
        Sprite_Init();
        g_FontAntialias = true;
        ResourceTest::TearDown();
    }
};

TEST_F(FontBuiltins, MissingFontsAndSpriteFontReports) {
    const ZQRValue missing(5.0);
    EXPECT_EQ(Num("font_exists", {missing}), 0);
    EXPECT_EQ(Text(CallBuiltin("font_get_name", {missing})), "<undefined>");
    EXPECT_EQ(Text(CallBuiltin("font_get_fontname", {missing})), "");
    EXPECT_EQ(Num("font_get_size", {missing}), 0);
    EXPECT_EQ(Num("font_get_bold", {missing}), 0);
    EXPECT_EQ(Num("font_get_first", {missing}), -1);
    EXPECT_EQ(Num("font_get_last", {missing}), -1);

    EXPECT_EQ(Num("font_add_sprite", {N(9), N(32), N(1), N(0)}), -1);
    EXPECT_EQ(TakeError(), "Trying to create font from non-existing sprite.");
    EXPECT_EQ(Num("font_delete", {missing}), 0);
    EXPECT_EQ(TakeError(), "Trying to delete non-existing font.");

    // An existing font and a missing sprite: reported, 0. A missing font
    // and an existing sprite: reported, and the replace still runs (0 for a
    // font index outside the table).
    const int sprite = Sprite_AddRecord(std::make_unique<CSprite>(), "spr_font");
    EXPECT_EQ(Num("font_replace_sprite", {missing, N(sprite), N(32), N(1), N(0)}), 0);
    EXPECT_EQ(TakeError(), "Trying to replace non-existing font.");
    EXPECT_EQ(Num("font_replace_sprite_ext", {missing, N(9), ZQRValue("ab"), N(1), N(0)}), 0);
    EXPECT_EQ(TakeError(), "Trying to replace font from non-existing sprite.");
    EXPECT_EQ(Font_Number(), 0) << "nothing was added";
}

TEST_F(FontBuiltins, SettingsForRunTimeFonts) {
    CallBuiltin("font_add_enable_aa", {N(0)});
    EXPECT_EQ(Num("font_add_get_enable_aa"), 0);
    CallBuiltin("font_add_enable_aa", {N(1)});
    EXPECT_EQ(Num("font_add_get_enable_aa"), 1);
    CallBuiltin("font_set_dynamic_texture_size", {N(512)});
    EXPECT_EQ(Num("font_get_dynamic_texture_size"), 512);
}

// ---- scripts

// What the script saw on its last call.
std::vector<std::string> g_seen;

ZQRValue& RecordArguments(CInstance*, CInstance*, ZQRValue& result, int argc, ZQRValue** args) {
    g_seen.clear();
    for (int i = 0; i < argc; ++i)
        g_seen.push_back(args[i]->Kind() == VALUE_STRING ? Text(*args[i])
                                                         : std::to_string(static_cast<int>(args[i]->val)));
    result = ZQRValue("done");
    return result;
}

const SCompiledFunction kCode[] = {
    {"vtl_Script_scr_record", RecordArguments, nullptr},
};

void FillRecord(SLLVMVars* v) {
    static SNameIdRecord* none[] = {nullptr};
    v->nCodeEntries = sizeof kCode / sizeof kCode[0];
    v->ppVars = none;
    v->ppFuncs = none;
    v->pCodeFunctions = kCode;
}

class ScriptBuiltins : public ResourceTest {
protected:
    void SetUp() override {
        Header_Reset();
        g_seen = {"not called"};
        Code_LoadCompiledRecord(FillRecord);
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = 14;
        wad::WriteHeader(w, header);
        wad::ScriptFields script;
        script.name = "scr_record";
        script.codeIndex = 0;
        wad::WriteScripts(w, {std::nullopt, script});
        m_image = w.Build();
        ASSERT_TRUE(GetResolution(m_image.data(), m_image.size()) &&
                    LoadGameData(m_image.data(), m_image.size()))
            << GameData_LastError();
        ASSERT_TRUE(Script_Prepare());
    }
    void TearDown() override {
        Code_UnbindGameData();
        Script_Init();
        Code_LoadCompiledRecord(nullptr);
        ResourceTest::TearDown();
    }
    std::vector<uint8_t> m_image;
};

TEST_F(ScriptBuiltins, QueriesByIndex) {
    EXPECT_EQ(Num("script_exists", {N(1)}), 1);
    EXPECT_EQ(Num("script_exists", {N(0)}), 0);
    EXPECT_EQ(Text(CallBuiltin("script_get_name", {N(1)})), "scr_record");
    EXPECT_EQ(Text(CallBuiltin("script_name", {N(7)})), "<undefined>");
    EXPECT_EQ(Text(CallBuiltin("script_get_text", {N(7)})), "");
}

TEST_F(ScriptBuiltins, ExecuteWithNoSomeAndTooManyArguments) {
    const int savedCount = g_ArgumentCount;
    ZQRValue result = CallBuiltin("script_execute", {N(1)});
    EXPECT_EQ(Text(result), "done");
    EXPECT_TRUE(g_seen.empty()) << "no arguments";

    CallBuiltin("script_execute", {N(1), N(4), ZQRValue("two")});
    EXPECT_EQ(g_seen, (std::vector<std::string>{"4", "two"}));

    std::vector<ZQRValue> many = {N(1)};
    for (int i = 1; i <= 20; ++i) many.push_back(N(i));
    CallBuiltin("script_execute", many);
    ASSERT_EQ(g_seen.size(), 15u) << "at most 15 reach the script";
    EXPECT_EQ(g_seen.front(), "1");
    EXPECT_EQ(g_seen.back(), "15");
    EXPECT_EQ(g_ArgumentCount, savedCount) << "restored after the call";
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(ScriptBuiltins, OnlyAnErrorOfThisCallIsReported) {
    Code_Error_Occured = true; // left by an earlier error
    EXPECT_EQ(Text(CallBuiltin("script_execute", {N(1)})), "done");
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(ScriptBuiltins, MissingScriptOrNoTargetReportsAndLeavesUndefined) {
    EXPECT_EQ(CallBuiltin("script_execute", {N(0), N(5)}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(TakeError(), "Trying to execute non-existing script.");
    // No target at all: argument 0 is not read.
    EXPECT_EQ(CallBuiltin("script_execute", {}).Kind(), VALUE_UNDEFINED);
    EXPECT_EQ(TakeError(), "Trying to execute non-existing script.");
    EXPECT_EQ(g_seen, (std::vector<std::string>{"not called"}));
}

} // namespace
