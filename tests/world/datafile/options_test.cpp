// The game options and language chunks on writer-made data files: every flag
// and word in both layouts, the named constants and their "@@" settings,
// language choice, and damaged chunks refused without changing anything.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/game_image.h"
#include "core/memory_manager.h"
#include "core/timing.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "options_chunk.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/language.h"
#include "world/datafile/options.h"

namespace {

// A data file with a header of format version `version` and the chunks that
// `add` writes after it.
template <typename Add>
std::vector<uint8_t> File(Add&& add, uint8_t version = 14) {
    wad::GameDataWriter w;
    wad::HeaderFields h;
    h.version = version;
    wad::WriteHeader(w, h);
    add(w);
    return w.Build();
}

// Both walks, as at start-up.
bool Load(std::vector<uint8_t>& image) {
    Header_Reset();
    return GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size());
}

// A reader over the payload of the first chunk with this tag.
ImageReader ChunkOf(std::vector<uint8_t>& image, const char* tag) {
    for (size_t at = 8; at + 8 <= image.size();) {
        uint32_t size;
        std::memcpy(&size, image.data() + at + 4, 4);
        if (std::memcmp(image.data() + at, tag, 4) == 0)
            return ImageReader(image.data(), image.size(), at + 8, at + 8 + size, tag);
        at += 8 + size;
    }
    ADD_FAILURE() << "no chunk " << tag;
    return ImageReader(image.data(), image.size(), 0, 0, tag);
}

// Overwrites word `word` of the first chunk with this tag in a built file
// (string offsets are only known once the file is built).
void PatchChunkWord(std::vector<uint8_t>& image, const char* tag, size_t word, uint32_t value) {
    ImageReader chunk = ChunkOf(image, tag);
    ASSERT_LE(chunk.Position() + 4 * word + 4, chunk.Limit());
    std::memcpy(image.data() + chunk.Position() + 4 * word, &value, 4);
}

struct FlagRow {
    const char* name;
    bool wad::OptionFields::*field;
    bool* setting;
    bool newLayoutOnly;
};

const FlagRow kFlags[] = {
    {"fullscreen", &wad::OptionFields::fullscreen, &option_fullscreen, false},
    {"interpolate", &wad::OptionFields::interpolate, &option_interpolate, false},
    {"newAudio", &wad::OptionFields::newAudio, &g_UseNewAudio, false},
    {"noBorder", &wad::OptionFields::noBorder, &option_noborder, false},
    {"showCursor", &wad::OptionFields::showCursor, &option_showcursor, false},
    {"sizeable", &wad::OptionFields::sizeable, &option_sizeable, false},
    {"stayOnTop", &wad::OptionFields::stayOnTop, &option_stayontop, false},
    {"changeResolution", &wad::OptionFields::changeResolution, &option_changeresolution, false},
    {"noButtons", &wad::OptionFields::noButtons, &option_nobuttons, false},
    {"screenKey", &wad::OptionFields::screenKey, &option_screenkey, false},
    {"helpKey", &wad::OptionFields::helpKey, &option_helpkey, false},
    {"quitKey", &wad::OptionFields::quitKey, &option_quitkey, false},
    {"saveKey", &wad::OptionFields::saveKey, &option_savekey, false},
    {"screenshotKey", &wad::OptionFields::screenshotKey, &option_screenshotkey, false},
    {"closeEsc", &wad::OptionFields::closeEsc, &option_closeesc, false},
    {"freeze", &wad::OptionFields::freeze, &option_freeze, false},
    {"showProgress", &wad::OptionFields::showProgress, &option_showprogress, false},
    {"loadTransparent", &wad::OptionFields::loadTransparent, &option_loadtransparent, false},
    {"scaleProgress", &wad::OptionFields::scaleProgress, &option_scaleprogress, false},
    {"writeErrors", &wad::OptionFields::writeErrors, &option_writeerrors, false},
    {"abortErrors", &wad::OptionFields::abortErrors, &option_aborterrors, false},
    {"variableErrors", &wad::OptionFields::variableErrors, &option_variableerrors, false},
    {"creationEventOrder", &wad::OptionFields::creationEventOrder, &option_CreationEventOrder, false},
    {"useFrontTouch", &wad::OptionFields::useFrontTouch, &option_use_front_touch, true},
    {"useRearTouch", &wad::OptionFields::useRearTouch, &option_use_rear_touch, true},
    {"useFastCollision", &wad::OptionFields::useFastCollision, &option_use_fast_collision, true},
    {"fastCollisionCompatibility", &wad::OptionFields::fastCollisionCompatibility,
     &option_fast_collision_compatibility, true},
};

// All flags clear.
wad::OptionFields NoFlags(bool newLayout) {
    wad::OptionFields f;
    f.newLayout = newLayout;
    for (const FlagRow& row : kFlags) f.*row.field = false;
    return f;
}

class Options : public testing::Test {
protected:
    void TearDown() override {
        g_fInAWindow = false;
        g_fCommandLineNoErrors = false;
        g_SleepMargin = 10;
        Header_Reset();
        Option_Init();
        option_aborterrors = false;
        CLangMan::Clear();
    }
};

} // namespace

// Each flag set alone reads back into its own setting and no other: a bit or
// word read into the wrong place shows up here.
TEST_F(Options, EachFlagReachesItsOwnSettingInBothLayouts) {
    for (bool newLayout : {true, false}) {
        for (const FlagRow& set : kFlags) {
            if (set.newLayoutOnly && !newLayout) continue;
            wad::OptionFields f = NoFlags(newLayout);
            f.*set.field = true;
            auto image = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, f); });
            ASSERT_TRUE(Load(image)) << GameData_LastError();
            for (const FlagRow& row : kFlags) {
                if (row.newLayoutOnly && !newLayout) continue;
                EXPECT_EQ(*row.setting, row.setting == set.setting)
                    << row.name << " with only " << set.name << " set, new layout " << newLayout;
            }
        }
    }
}

TEST_F(Options, WordsReadBackInBothLayouts) {
    for (bool newLayout : {true, false}) {
        wad::OptionFields f;
        f.newLayout = newLayout;
        f.scale = -1;
        f.windowColour = 0x123456;
        f.colourDepth = 32;
        f.resolution = 5;
        f.frequency = 60;
        f.syncVertex = 2;
        f.priority = -3;
        f.loadImageOffset = 16;
        f.loadAlpha = 200; // any non-zero value reads as 1
        auto image = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, f); });
        ASSERT_TRUE(Load(image)) << GameData_LastError();
        EXPECT_EQ(option_scale, -1);
        EXPECT_EQ(option_windowcolor, 0x123456u);
        EXPECT_EQ(option_colordepth, 32);
        EXPECT_EQ(option_resolution, 5);
        EXPECT_EQ(option_frequency, 60);
        EXPECT_EQ(option_sync_vertex, 2);
        EXPECT_EQ(option_priority, -3);
        EXPECT_EQ(option_WADloadimage, 16u);
        EXPECT_EQ(option_loadalpha, 1);
    }
}

TEST_F(Options, OldLayoutLeavesFastCollisionAndClearsTouch) {
    option_use_fast_collision = true;
    option_use_front_touch = true;
    auto image = File([](wad::GameDataWriter& w) { wad::WriteOptions(w, NoFlags(false)); });
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    EXPECT_TRUE(option_use_fast_collision);
    EXPECT_FALSE(option_use_front_touch);
    option_use_fast_collision = false;
}

TEST_F(Options, WindowedModeAndCreationOrderNeedTheirConditions) {
    wad::OptionFields f;
    f.fullscreen = true;
    f.creationEventOrder = true;
    g_fInAWindow = true;
    auto image = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, f); });
    ASSERT_TRUE(Load(image));
    EXPECT_FALSE(option_fullscreen) << "\"-inawindow\" forces a window";

    g_fInAWindow = false;
    option_CreationEventOrder = false;
    auto version4 = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, f); }, 4);
    ASSERT_TRUE(Load(version4)) << GameData_LastError();
    EXPECT_TRUE(option_fullscreen);
    EXPECT_FALSE(option_CreationEventOrder) << "format version 4 has no creation order";
}

TEST_F(Options, UnknownVersionStoresNothingAndTheLoadGoesOn) {
    wad::OptionFields f = NoFlags(true);
    f.version = 3;
    f.scale = 7;
    f.constants = {{"A", "1"}};
    auto image = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, f); });
    EXPECT_TRUE(Load(image));
    EXPECT_EQ(option_scale, 100);
    EXPECT_TRUE(option_showcursor);
    EXPECT_EQ(option_const_numb, 0);

    ImageReader chunk = ChunkOf(image, "OPTN");
    EXPECT_FALSE(Option_LoadChunk(chunk));
}

TEST_F(Options, ConstantsAndTheirSettings) {
    {
        wad::OptionFields f;
        f.constants = {{"@@SleepMargin", "4"}, {"VersionMajor", "2"}, {"A", "1"}, {"VersionMinor", "x"}};
        auto image = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, f); });
        ASSERT_TRUE(Load(image)) << GameData_LastError();
    }
    // The image is gone: the constants are copies.
    EXPECT_EQ(g_SleepMargin, 4);
    EXPECT_EQ(g_GameVersionMajor, 2);
    EXPECT_EQ(g_GameVersionMinor, 0);
    ASSERT_EQ(option_const_numb, 3);
    EXPECT_STREQ(option_const_name[0], "VersionMajor");
    EXPECT_STREQ(option_const_val[0], "2");
    EXPECT_STREQ(option_const_name[1], "A");
    EXPECT_STREQ(option_const_name[2], "VersionMinor");

    struct {
        const char* text;
        uint32_t colour;
    } colours[] = {{"0x1F", 31}, {"255", 255}, {"010", 8}, {"0xFF00FF00", 0xFF00FF00}, {"junk", 0}};
    for (const auto& c : colours) {
        wad::OptionFields g;
        g.constants = {{"@@DrawColour", c.text}};
        auto colourImage = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, g); });
        ASSERT_TRUE(Load(colourImage));
        EXPECT_EQ(Draw_Color, c.colour) << c.text;
        EXPECT_EQ(g_InitialDrawColor, c.colour) << c.text;
        EXPECT_EQ(option_const_numb, 0);
        EXPECT_EQ(option_const_name, nullptr);
    }

    wad::OptionFields huge;
    huge.constants = {{"@@SleepMargin", "99999999999"}};
    auto hugeImage = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, huge); });
    ASSERT_TRUE(Load(hugeImage));
    EXPECT_EQ(g_SleepMargin, INT32_MAX) << "out-of-range numbers saturate";
}

TEST_F(Options, NoErrorsFromTheCommandLineOutlastsTheReset) {
    auto image = File([](wad::GameDataWriter& w) { wad::WriteOptions(w, wad::OptionFields{}); });
    g_fCommandLineNoErrors = true;
    option_displayerrors = false;
    ASSERT_TRUE(Load(image));
    EXPECT_FALSE(option_displayerrors);
    g_fCommandLineNoErrors = false;
    ASSERT_TRUE(Load(image));
    EXPECT_TRUE(option_displayerrors);
}

// Damaged chunks are refused with the chunk named, and a refused chunk leaves
// the settings of the last good one.
TEST_F(Options, DamagedChunksAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        void (*damage)(wad::OptionFields&);
        size_t patchWord; // word of the chunk to overwrite (0: none)
        uint32_t patchValue;
    } cases[] = {
        {"count past the chunk", [](wad::OptionFields& f) { f.constantCount = 1000; }, 0, 0},
        {"huge count", [](wad::OptionFields& f) { f.constantCount = INT32_MAX; }, 0, 0},
        {"null name",
         [](wad::OptionFields& f) {
             f.constants = {{std::nullopt, "1"}};
         },
         0, 0},
        {"null value",
         [](wad::OptionFields& f) {
             f.constants = {{"A", std::nullopt}};
         },
         0, 0},
        {"name past the file",
         [](wad::OptionFields& f) {
             f.constants = {{"A", "1"}};
         },
         16, 0x7FFFFFF0},
        {"load image past the file", [](wad::OptionFields&) {}, 13, 0x7FFFFFF0},
        {"old layout cut short", [](wad::OptionFields& f) { f.newLayout = false; }, 0, 0},
    };
    for (const Case& c : cases) {
        wad::OptionFields f;
        c.damage(f);
        wad::GameDataWriter w;
        wad::WriteHeader(w, wad::HeaderFields{});
        wad::Chunk& chunk = wad::WriteOptions(w, f);
        std::vector<uint8_t> image = w.Build();
        if (c.patchWord != 0) PatchChunkWord(image, "OPTN", c.patchWord, c.patchValue);
        if (std::string(c.what) == "old layout cut short") {
            // Keep the first ten words only, with the chunk and container sizes fixed up.
            wad::GameDataWriter s;
            wad::WriteHeader(s, wad::HeaderFields{});
            wad::Chunk& cut = s.AddChunk("OPTN");
            cut.Raw(chunk.Bytes().data(), 40);
            image = s.Build();
        }
        EXPECT_FALSE(Load(image)) << c.what;
        EXPECT_NE(std::string(GameData_LastError()).find("OPTN"), std::string::npos) << GameData_LastError();

        // Directly over good settings: nothing changes.
        Option_Init();
        wad::OptionFields good;
        good.scale = 55;
        good.constants = {{"Kept", "1"}};
        auto goodImage = File([&](wad::GameDataWriter& gw) { wad::WriteOptions(gw, good); });
        ImageReader goodChunk = ChunkOf(goodImage, "OPTN");
        ASSERT_TRUE(Option_LoadChunk(goodChunk));
        ImageReader bad = ChunkOf(image, "OPTN");
        EXPECT_THROW(Option_LoadChunk(bad), GameDataError) << c.what;
        EXPECT_EQ(option_scale, 55) << c.what;
        ASSERT_EQ(option_const_numb, 1) << c.what;
        EXPECT_STREQ(option_const_name[0], "Kept") << c.what;
    }

    wad::OptionFields negative;
    negative.constantCount = -5;
    auto image = File([&](wad::GameDataWriter& w) { wad::WriteOptions(w, negative); });
    EXPECT_TRUE(Load(image)) << "a count below 0 is an empty list";
    EXPECT_EQ(option_const_numb, 0);
}

namespace {

wad::LanguageFields ThreeLanguages() {
    wad::LanguageFields f;
    f.ids = {"hello", "bye"};
    f.languages = {
        {"en", "US", {"Hello", "Bye"}}, {"en", "", {"Hullo", "Cheerio"}}, {"fr", "FR", {"Salut", "Adieu"}}};
    return f;
}

} // namespace

TEST_F(Options, LanguagesReadBackAndChooseTheActiveOne) {
    auto image = File([](wad::GameDataWriter& w) { wad::WriteLanguages(w, ThreeLanguages()); });
    ASSERT_TRUE(Load(image)) << GameData_LastError();
    ASSERT_EQ(CLangMan::m_NumLanguages, 3);
    ASSERT_EQ(CLangMan::m_NumStrings, 2);
    EXPECT_EQ(CLangMan::m_nActiveLanguage, 0);
    EXPECT_STREQ(CLangMan::m_StringIDs[1], "bye");
    EXPECT_STREQ(CLangMan::m_pLanguages[2].name, "fr");
    EXPECT_STREQ(CLangMan::m_pLanguages[1].region, "");
    EXPECT_STREQ(CLangMan::m_pLanguages[1].strings[1], "Cheerio");

    struct {
        const char* name;
        const char* region;
        int chosen;
    } choices[] = {{"en", "GB", 1}, {"en", "US", 0}, {"de", "DE", 0}, {"fr", "", 2}, {"fr", "FR", 2}};
    for (const auto& c : choices) {
        CLangMan::m_nActiveLanguage = -1;
        CLangMan::SetActiveLanguage(c.name, c.region);
        EXPECT_EQ(CLangMan::m_nActiveLanguage, c.chosen) << c.name << "-" << c.region;
    }
    CLangMan::SetActiveLanguage(nullptr, "US");
    EXPECT_EQ(CLangMan::m_nActiveLanguage, 2) << "a null argument changes nothing";

    char* name = nullptr;
    char* region = nullptr;
    CLangMan::GetActiveLanguage(&name, &region);
    EXPECT_STREQ(name, "fr");
    EXPECT_STREQ(region, "FR");
    ZQ_Free(name);
    ZQ_Free(region);

    wad::LanguageFields two;
    two.ids = {"x"};
    two.languages = {{"en", "US", {"a"}}, {"en", "GB", {"b"}}};
    auto twoImage = File([&](wad::GameDataWriter& w) { wad::WriteLanguages(w, two); });
    ASSERT_TRUE(Load(twoImage));
    CLangMan::SetActiveLanguage("en", "AU");
    EXPECT_EQ(CLangMan::m_nActiveLanguage, 0) << "the first name match when no region is empty";
}

TEST_F(Options, EmptyLanguageTablesAndReloadsWithoutOne) {
    auto image = File([](wad::GameDataWriter& w) { wad::WriteLanguages(w, ThreeLanguages()); });
    ASSERT_TRUE(Load(image));
    auto none = File([](wad::GameDataWriter&) {});
    ASSERT_TRUE(Load(none));
    EXPECT_EQ(CLangMan::m_NumLanguages, 0) << "no text of an earlier file survives a new load";
    EXPECT_EQ(CLangMan::m_pLanguages, nullptr);

    for (auto counts : {std::pair{0, 2}, std::pair{3, 0}, std::pair{-1, 2}, std::pair{3, -7}}) {
        wad::LanguageFields f = ThreeLanguages();
        f.languageCount = counts.first;
        f.stringCount = counts.second;
        auto empty = File([&](wad::GameDataWriter& w) { wad::WriteLanguages(w, f); });
        ASSERT_TRUE(Load(empty)) << GameData_LastError();
        EXPECT_EQ(CLangMan::m_NumLanguages, 0);
        EXPECT_EQ(CLangMan::m_NumStrings, 0);
        EXPECT_EQ(CLangMan::m_nActiveLanguage, -1);
        char* name = reinterpret_cast<char*>(1);
        char* region = reinterpret_cast<char*>(1);
        CLangMan::GetActiveLanguage(&name, &region);
        EXPECT_EQ(name, nullptr);
        EXPECT_EQ(region, nullptr);
        CLangMan::SetActiveLanguage("en", "US");
        EXPECT_EQ(CLangMan::m_nActiveLanguage, -1);
    }
}

TEST_F(Options, DamagedLanguageChunksAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        void (*damage)(wad::LanguageFields&);
    } cases[] = {
        {"more languages than the chunk holds", [](wad::LanguageFields& f) { f.languageCount = 4; }},
        {"more strings than the chunk holds", [](wad::LanguageFields& f) { f.stringCount = 3; }},
        {"counts whose product overflows 32 bits",
         [](wad::LanguageFields& f) {
             f.languageCount = 0x10000;
             f.stringCount = 0x10000;
         }},
        {"null identifier", [](wad::LanguageFields& f) { f.ids[0] = std::nullopt; }},
        {"null name", [](wad::LanguageFields& f) { f.languages[1].name = std::nullopt; }},
        {"null region", [](wad::LanguageFields& f) { f.languages[2].region = std::nullopt; }},
        {"null string", [](wad::LanguageFields& f) { f.languages[0].strings[1] = std::nullopt; }},
    };
    auto goodImage = File([](wad::GameDataWriter& w) {
        wad::LanguageFields f;
        f.ids = {"k"};
        f.languages = {{"de", "AT", {"Servus"}}};
        wad::WriteLanguages(w, f);
    });
    for (const Case& c : cases) {
        wad::LanguageFields f = ThreeLanguages();
        c.damage(f);
        auto image = File([&](wad::GameDataWriter& w) { wad::WriteLanguages(w, f); });
        EXPECT_FALSE(Load(image)) << c.what;
        EXPECT_NE(std::string(GameData_LastError()).find("LANG"), std::string::npos) << GameData_LastError();

        ImageReader good = ChunkOf(goodImage, "LANG");
        CLangMan::Language_Load(good);
        ImageReader bad = ChunkOf(image, "LANG");
        EXPECT_THROW(CLangMan::Language_Load(bad), GameDataError) << c.what;
        ASSERT_EQ(CLangMan::m_NumLanguages, 1) << c.what;
        EXPECT_STREQ(CLangMan::m_pLanguages[0].strings[0], "Servus") << c.what;
    }

    // An offset past the end of the file.
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteLanguages(w, ThreeLanguages());
    std::vector<uint8_t> far = w.Build();
    PatchChunkWord(far, "LANG", 3 + 2 + 1, 0x7FFFFFF0); // language 0's region
    EXPECT_FALSE(Load(far));
    EXPECT_NE(std::string(GameData_LastError()).find("LANG"), std::string::npos) << GameData_LastError();
}
