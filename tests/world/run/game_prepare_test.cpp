// Preparation around the data file: INI documents, the "Mac" section of
// "options.ini", the debug-information file with damaged tables refused,
// and the two-state random generator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/graphics_perf.h"
#include "core/ini_file.h"
#include "core/memory_manager.h"
#include "core/run_settings.h"
#include "world/run/game_prepare.h"

namespace {

TEST(IniFile, ParsesSectionsKeysQuotesAndComments) {
    IniFile ini;
    ini.SetText("\xEF\xBB\xBF"
                "lost=1\r\n[a]\r\nx=1\r\ny = 'two words' ; note\r\nk=  value  ; c\r\nq='a;b'\r\nempty=\r\n"
                "dup=1\r\ndup=2\r\n[A]\r\nx=upper\r\n");
    EXPECT_STREQ(ini.ReadString("a", "x", nullptr), "1");
    EXPECT_STREQ(ini.ReadString("a", "y", nullptr), "two words");
    EXPECT_STREQ(ini.ReadString("a", "k", nullptr), "value");
    EXPECT_STREQ(ini.ReadString("a", "q", nullptr), "a;b");
    EXPECT_EQ(ini.ReadString("a", "empty", nullptr), nullptr) << "a key without a value is dropped";
    EXPECT_STREQ(ini.ReadString("a", "dup", nullptr), "2") << "the later duplicate answers";
    EXPECT_STREQ(ini.ReadString("A", "x", nullptr), "upper") << "names are case-sensitive";
    EXPECT_EQ(ini.GetKey("a", "lost"), nullptr) << "keys before the first section are ignored";
    EXPECT_EQ(ini.ReadInt("a", "x", 7), 1);
    EXPECT_EQ(ini.ReadInt("a", "missing", 7), 7);
    EXPECT_EQ(ini.ReadInt("nosection", "x", 7), 7);
}

TEST(IniFile, UnterminatedSectionEndsTheParseKeepingWhatWasRead) {
    IniFile ini;
    ini.SetText("[s]\nk=v\n[broken\nz=1\n");
    EXPECT_STREQ(ini.ReadString("s", "k", nullptr), "v");
    EXPECT_EQ(ini.GetSection("broken"), nullptr);
}

TEST(PlatformSetup, MacSectionSettingsAndTruthValues) {
    struct Case {
        const char* text;
        bool expected;
    } cases[] = {{"True", true}, {"False", false}, {"false", false}, {"yes", false},
                 {"2", true},    {"0", false},     {"-1", true},     {"true", false}};
    for (const Case& c : cases) EXPECT_EQ(Platform_ReadBool(c.text), c.expected) << c.text;

    const bool debugMode = DebugMode, trace = g_fVMTrace;
    const int flags = GraphicsPerf::ms_DisplayFlags;
    IniFile ini;
    ini.SetText("[Mac]\nMajorVersion=3\nMinorVersion=x\nOrientPortrait=false\nOrientLandscape=2\nDebug=1\n"
                "[Other]\nBuildVersion=9\n");
    g_BuildVersion = 5;
    g_DefaultOrient_portrait = true;
    g_DefaultOrient_landscape = false;
    Platform_Setup(&ini);
    EXPECT_EQ(g_MajorVersion, 3);
    EXPECT_EQ(g_MinorVersion, 0) << "text that is no number reads 0";
    EXPECT_EQ(g_BuildVersion, 5) << "an absent key leaves its setting";
    EXPECT_FALSE(g_DefaultOrient_portrait);
    EXPECT_TRUE(g_DefaultOrient_landscape);
    EXPECT_TRUE(DebugMode);
    EXPECT_EQ(GraphicsPerf::ms_DisplayFlags, 2);
    EXPECT_EQ(g_fVMTrace, trace) << "no Trace key";
    DebugMode = debugMode;
    GraphicsPerf::ms_DisplayFlags = flags;
    g_MajorVersion = 1;
}

// ---------------------------------------------------------------------------
// Debug-information files.

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    if (b.size() < at + 4) b.resize(at + 4);
    std::memcpy(b.data() + at, &v, 4);
}

// FORM, then DBGI {1 entry -> {2 words 7 8}}, INST {1 -> name "inst"},
// SCPT {1 -> text "x = 1"}; every offset is from the file start.
std::vector<uint8_t> DebugFile() {
    std::vector<uint8_t> b;
    b.resize(8);
    std::memcpy(b.data(), "FORM", 4);
    auto chunk = [&](const char* tag, const std::vector<uint32_t>& words) {
        const size_t at = b.size();
        b.resize(at + 8);
        std::memcpy(b.data() + at, tag, 4);
        Put(b, at + 4, static_cast<uint32_t>(words.size() * 4));
        for (uint32_t w : words) Put(b, b.size(), w);
        return at + 8;
    };
    // Records and texts go after the chunks; offsets patched below.
    const size_t dbgi = chunk("DBGI", {1, 0});
    const size_t inst = chunk("INST", {1, 0});
    const size_t scpt = chunk("SCPT", {1, 0});
    const size_t tail = b.size();
    // The tail sits in a chunk of its own, so the walk passes over it.
    b.resize(tail + 8);
    std::memcpy(b.data() + tail, "DATA", 4);
    const size_t data = tail + 8;
    const size_t words = data, nameRecord = data + 12, textRecord = data + 16, name = data + 20,
                 text = data + 25;
    Put(b, words, 2);
    Put(b, words + 4, 7);
    Put(b, words + 8, 8);
    Put(b, nameRecord, static_cast<uint32_t>(name));
    Put(b, textRecord, static_cast<uint32_t>(text));
    b.resize(text + 6);
    std::memcpy(b.data() + name, "inst", 5);
    std::memcpy(b.data() + text, "x = 1", 6);
    Put(b, tail + 4, static_cast<uint32_t>(b.size() - data));
    Put(b, dbgi + 4, static_cast<uint32_t>(words));
    Put(b, inst + 4, static_cast<uint32_t>(nameRecord));
    Put(b, scpt + 4, static_cast<uint32_t>(textRecord));
    Put(b, 4, static_cast<uint32_t>(b.size() - 8));
    return b;
}

uint8_t* Block(const std::vector<uint8_t>& bytes) {
    auto* block = static_cast<uint8_t*>(ZQ_AllocNoClear(bytes.size()));
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

TEST(DebugInformation, TablesOfAValidFile) {
    const std::vector<uint8_t> file = DebugFile();
    ASSERT_TRUE(LoadDebugInfo(Block(file), static_cast<unsigned>(file.size())));
    int count = 0;
    const uint32_t* words = DebugInfo_Words(0, &count);
    ASSERT_NE(words, nullptr);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(words[1], 8u);
    EXPECT_STREQ(DebugInfo_InstanceName(0), "inst");
    EXPECT_STREQ(DebugInfo_ScriptText(0), "x = 1");
    EXPECT_EQ(DebugInfo_ScriptText(1), nullptr);
    EXPECT_EQ(DebugInfo_InstanceName(-1), nullptr);
    DebugInfo_Free();
    EXPECT_TRUE(g_DebugInfo.Empty());
}

TEST(DebugInformation, DamagedFilesLeaveTheirTablesEmpty) {
    std::vector<uint8_t> file = DebugFile();
    // Size field that disagrees with the length: kept, not walked.
    std::vector<uint8_t> wrongSize = file;
    Put(wrongSize, 4, 3);
    EXPECT_FALSE(LoadDebugInfo(Block(wrongSize), static_cast<unsigned>(wrongSize.size())));
    EXPECT_NE(g_pDebugFile, nullptr);
    EXPECT_TRUE(g_DebugInfo.Empty());

    // A DBGI record offset past the end, and a count larger than the chunk.
    std::vector<uint8_t> badOffset = file;
    Put(badOffset, 8 + 8 + 4, 0xFFFFFF00u);
    ASSERT_TRUE(LoadDebugInfo(Block(badOffset), static_cast<unsigned>(badOffset.size())));
    EXPECT_TRUE(g_DebugInfo.Empty());
    EXPECT_STREQ(DebugInfo_InstanceName(0), "inst") << "the other chunks still load";

    std::vector<uint8_t> badCount = file;
    Put(badCount, 8 + 8, 1000);
    ASSERT_TRUE(LoadDebugInfo(Block(badCount), static_cast<unsigned>(badCount.size())));
    EXPECT_EQ(DebugInfo_Words(0, nullptr), nullptr);
    DebugInfo_Free();
}

TEST(LocalRandom, MultiplyWithCarrySteps) {
    unsigned a = 1, b = 1;
    EXPECT_EQ(LocalRandom(a, b), (36969u << 16) | 18000u);
    EXPECT_EQ(a, 36969u);
    EXPECT_EQ(b, 18000u);
    unsigned c = 0x00010002u, d = 0xFFFF0000u;
    LocalRandom(c, d);
    EXPECT_EQ(c, 36969u * 2 + 1);
    EXPECT_EQ(d, 0xFFFFu);
}

} // namespace
