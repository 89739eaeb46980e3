// The two walks over writer-made data files: container in both byte orders,
// zero-size chunks, header versions, unknown tags and damaged files.
#include <gtest/gtest.h>

#include <cstring>

#include "core/collector.h"
#include "core/header_globals.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

struct Loaded {
    std::vector<uint8_t> image;
    bool first = false;
    bool second = false;
};

Loaded LoadBoth(std::vector<uint8_t> image) {
    Header_Reset();
    Loaded l{std::move(image)};
    // As at start-up: a refused first walk ends the load.
    l.first = GetResolution(l.image.data(), l.image.size());
    if (l.first) l.second = LoadGameData(l.image.data(), l.image.size());
    return l;
}

Loaded LoadBoth(const wad::GameDataWriter& w) {
    return LoadBoth(w.Build());
}

wad::HeaderFields Fields(uint8_t version) {
    wad::HeaderFields h;
    h.version = version;
    h.windowWidth = 640;
    h.windowHeight = 360;
    h.flags = 1;
    h.gameId = 77;
    h.guid[0] = 0xAB;
    h.guid[15] = 0xCD;
    h.displayName = "Corvane";
    h.functionClassifications = 0x0000000580000001ull;
    h.steamAppId = 480;
    h.debuggerPort = 6600;
    h.roomOrder = {2, 0, 1};
    h.gameSpeed = 30.0f;
    return h;
}

} // namespace

TEST(GameFile, HeaderFieldsReadBackAsWritten) {
    wad::GameDataWriter w;
    wad::WriteHeader(w, Fields(14));
    Loaded l = LoadBoth(w);
    ASSERT_TRUE(l.first) << GameData_LastError();
    ASSERT_TRUE(l.second) << GameData_LastError();
    EXPECT_EQ(g_InitialScreenSizeX, 640);
    EXPECT_EQ(g_InitialScreenSizeY, 360);
    EXPECT_EQ(g_ApplicationWidth, 640);
    EXPECT_EQ(g_InitialScreenFlags, 1u);
    EXPECT_EQ(Game_Id, 77);
    EXPECT_EQ(Game_GUID[0], 0xAB);
    EXPECT_EQ(Game_GUID[15], 0xCD);
    EXPECT_STREQ(g_pTarvoConfig, "Default");
    EXPECT_STREQ(g_pGameProjectName, "corvane");
    EXPECT_STREQ(g_pGameDisplayName, "Corvane");
    // The low word's top bit set: the high half reads all ones.
    EXPECT_EQ(g_FunctionClassifications, static_cast<int64_t>(0xFFFFFFFF80000001ull));
    EXPECT_EQ(g_SteamAppId, 480u);
    EXPECT_EQ(g_DebuggerServerPort, 6600);
    EXPECT_TRUE(g_isNimbar);
    EXPECT_DOUBLE_EQ(g_WadGameSpeed, 30.0);
    EXPECT_EQ(g_wadVersion, 14);
    EXPECT_FALSE(g_subFunctionsOption);
    EXPECT_EQ(g_fileVersion, 800);
}

TEST(GameFile, VersionDependentFields) {
    struct Case {
        uint8_t version;
        int width;        // 800: the default, not read
        uint32_t steamId; // 0: not read
        int port;         // 6502: not read
        bool newerLayout; // variable and function chunks
    } cases[] = {
        {7, 800, 0, 6502, false},    {8, 640, 0, 6502, false},    {12, 640, 0, 6502, false},
        {13, 640, 480, 6502, false}, {14, 640, 480, 6600, false}, {15, 640, 480, 6600, true},
    };
    for (const Case& c : cases) {
        wad::GameDataWriter w;
        wad::WriteHeader(w, Fields(c.version));
        Loaded l = LoadBoth(w);
        ASSERT_TRUE(l.first && l.second) << int(c.version) << ": " << GameData_LastError();
        EXPECT_EQ(g_InitialScreenSizeX, c.width) << int(c.version);
        EXPECT_EQ(g_InitialScreenFlags, c.version >= 8 ? 1u : 2u) << int(c.version);
        EXPECT_EQ(g_SteamAppId, c.steamId) << int(c.version);
        EXPECT_EQ(g_DebuggerServerPort, c.port) << int(c.version);
        EXPECT_EQ(g_subFunctionsOption, c.newerLayout) << int(c.version);
        if (c.version < 12) {
            EXPECT_EQ(g_FunctionClassifications, -1) << int(c.version);
        }
    }
}

TEST(GameFile, GameSpeedFollowsTheRoomOrderAndNeedsNewGenerationData) {
    wad::HeaderFields h = Fields(14);
    h.roomOrder.clear(); // speed at offset 172
    h.gameSpeed = 45.0f;
    wad::GameDataWriter w;
    wad::WriteHeader(w, h);
    LoadBoth(w);
    EXPECT_DOUBLE_EQ(g_WadGameSpeed, 45.0);

    h.editorMajor = 1; // old generation: no speed is read
    wad::GameDataWriter old;
    wad::WriteHeader(old, h);
    Loaded l = LoadBoth(old);
    EXPECT_TRUE(l.second);
    EXPECT_FALSE(g_isNimbar);
    EXPECT_DOUBLE_EQ(g_WadGameSpeed, 0.0);
}

TEST(GameFile, InAWindowClearsFullScreenInBothWalks) {
    wad::GameDataWriter w;
    wad::WriteHeader(w, Fields(14));
    g_fInAWindow = true;
    Loaded l = LoadBoth(w);
    g_fInAWindow = false;
    ASSERT_TRUE(l.second);
    EXPECT_EQ(g_InitialScreenFlags & 1u, 0u);
}

TEST(GameFile, EditorKindFromFlagBits) {
    struct Case {
        uint32_t flags;
        int kind;
    } cases[] = {{0x000, 3}, {0x200, 1}, {0x400, 2}, {0x800, 3}, {0xE00, 4}, {0x600, 4}};
    for (const Case& c : cases) {
        wad::HeaderFields h = Fields(14);
        h.flags = c.flags;
        wad::GameDataWriter w;
        wad::WriteHeader(w, h);
        LoadBoth(w);
        EXPECT_EQ(g_IDE_Version, c.kind) << std::hex << c.flags;
    }
}

TEST(GameFile, ReversedContainerZeroSizeChunksAndRepeatedHeaders) {
    wad::GameDataWriter w;
    w.SetReversedContainerTag(true);
    w.AddChunk("DAFL"); // size 0: skipped, the next chunk 8 bytes on
    wad::HeaderFields first = Fields(14);
    first.gameId = 1;
    wad::WriteHeader(w, first);
    wad::HeaderFields second = Fields(14);
    second.gameId = 2;
    wad::WriteHeader(w, second, "GEN7");
    Loaded l = LoadBoth(w);
    ASSERT_TRUE(l.first && l.second) << GameData_LastError();
    EXPECT_EQ(Game_Id, 2) << "the later header wins";
    EXPECT_EQ(g_fileVersion, 700) << "a GEN7 header met by the second walk";
}

TEST(GameFile, TheDebugByteIsKeptAsStored) {
    // Non-zero marks a game built for debugging; 0 is the ordinary build that
    // starts the profiler and records debug tags.
    for (uint8_t debug : {0, 1, 2}) {
        wad::HeaderFields h = Fields(14);
        h.debug = debug;
        wad::GameDataWriter w;
        wad::WriteHeader(w, h);
        const Loaded l = LoadBoth(w);
        ASSERT_TRUE(l.first);
        EXPECT_EQ(g_DebugBuild, debug != 0) << int{debug};
        EXPECT_EQ(g_DebugWad, debug != 0) << int{debug};
        EXPECT_EQ(g_ZQHeader.Peek<uint8_t>(g_ZQHeader.ChunkStart()), debug) << "the header is kept in place";
    }
}

TEST(GameFile, UnknownTagIsReportedAndLoadingGoesOn) {
    wad::GameDataWriter w;
    w.AddChunk("ROOM").U32(0);
    w.AddChunk("ZZZZ").U32(1);
    wad::WriteHeader(w, Fields(14));
    Loaded l = LoadBoth(w);
    EXPECT_TRUE(l.first);
    EXPECT_FALSE(l.second) << "an unknown tag keeps the game from starting";
    EXPECT_EQ(g_InitialScreenSizeX, 640) << "chunks after the unknown one still load";
    EXPECT_STREQ(GameData_LastError(), "Game data file is damaged (chunk ZZZZ): unknown chunk at offset 20")
        << "the reason the game will not start";
}

TEST(GameFile, DamagedFilesAreRefusedWithTheChunkNamed) {
    wad::GameDataWriter w;
    wad::WriteHeader(w, Fields(14));
    w.AddStringChunk();
    w.AddChunk("ROOM").U32(1).U32(2);
    const std::vector<uint8_t> good = w.Build();

    // The last chunk's size claims more than the file holds (container fixed up).
    std::vector<uint8_t> truncated = good;
    truncated.resize(truncated.size() - 4);
    uint32_t size = static_cast<uint32_t>(truncated.size() - 8);
    std::memcpy(truncated.data() + 4, &size, 4);
    Loaded t = LoadBoth(truncated);
    EXPECT_FALSE(t.first);
    EXPECT_FALSE(LoadGameData(truncated.data(), truncated.size())) << "the second walk refuses it too";
    EXPECT_NE(std::string(GameData_LastError()).find("ROOM"), std::string::npos) << GameData_LastError();

    // A file cut short without its container being told.
    std::vector<uint8_t> cut(good.begin(), good.end() - 3);
    EXPECT_FALSE(LoadBoth(cut).first);
    EXPECT_NE(std::string(GameData_LastError()).find("container"), std::string::npos) << GameData_LastError();

    // A header whose string offset points past the end of the file.
    wad::HeaderFields h = Fields(14);
    wad::GameDataWriter bad;
    wad::WriteHeader(bad, h);
    std::vector<uint8_t> image = bad.Build();
    uint32_t far = 0x7FFFFFF0;
    std::memcpy(image.data() + 16 + 8, &far, 4); // configuration name offset
    Loaded o = LoadBoth(image);
    EXPECT_FALSE(o.first);
    EXPECT_NE(std::string(GameData_LastError()).find("GEN8"), std::string::npos) << GameData_LastError();

    // A header too short for the fields its version has.
    wad::GameDataWriter tiny;
    tiny.AddChunk("GEN8").U8(1).U8(14).U16(0);
    EXPECT_FALSE(LoadBoth(tiny).first);

    // Too short to be a data file at all, and a null image.
    EXPECT_FALSE(LoadBoth(std::vector<uint8_t>{'F', 'O', 'R', 'M', 0, 0, 0, 0}).first);
    EXPECT_FALSE(LoadGameData(nullptr, 0));
}
