// Hostile data files made by the writer: each is refused by one of the two
// walks with the chunk and the offset in a printable reason, and leaves no
// resource table filled.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "code_chunks.h"
#include "core/code.h"
#include "core/function_table.h"
#include "core/script.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "options_chunk.h"
#include "path_chunk.h"
#include "room/room_table.h"
#include "room_chunk.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/objects/object_type.h"
#include "world/motion/path_resources.h"
#include "world/objects/timeline.h"

namespace {

// The parts of a small sound game, each of which a case may spoil: four
// code entries in the older layout (header version 14), global code, an
// object and a timeline whose actions name code, a path, and a room with
// creation code and one instance.
struct Game {
    wad::HeaderFields header;
    wad::CodeFields code;
    std::vector<int32_t> global = {0};
    wad::ObjectFields object;
    wad::TimeLineFields timeline;
    wad::PathFields path;
    wad::RoomFields room;
    wad::FunctionsFields functions;
    std::vector<wad::OptionConstantFields> constants;
    // Chunks written after all the others.
    std::function<void(wad::GameDataWriter&)> tail;

    Game() {
        header.version = 14;
        code.layout = wad::CodeLayout::Older;
        for (const char* name :
             {"vtl_Global_a", "vtl_Object_o_Create_0", "vtl_Timeline_t_0", "vtl_Room_r_Create"})
            code.entries.push_back({name, {0x13000000, 0x13000000}, 0, 0, 0});
        object.name = "o";
        object.events = {{wad::EventFields{0, 1}}};
        timeline.name = "t";
        timeline.moments = {{0, 2}};
        path.name = "p";
        path.points = {{0, 0, 100}, {10, 0, 100}};
        room.code = 3;
        room.instances = std::vector<wad::RoomInstanceFields>{wad::RoomInstanceFields{}};
        functions.layout = wad::CodeLayout::Older;
    }

    std::vector<uint8_t> Build() const {
        wad::GameDataWriter w;
        wad::WriteHeader(w, header);
        wad::WriteCode(w, code);
        wad::WriteGlobalScripts(w, global);
        wad::OptionFields options;
        options.constants = constants;
        wad::WriteOptions(w, options);
        wad::WritePaths(w, {path});
        wad::WriteObjects(w, {object}, header.version);
        wad::WriteTimeLines(w, {timeline});
        wad::WriteRooms(w, {room});
        if (!functions.functions.empty()) wad::WriteFunctions(w, functions, &code);
        w.AddStringChunk();
        if (tail) tail(w);
        return w.Build();
    }
};

// The file offset of the first record of a chunk of the form {count, offsets...}.
size_t FirstRecord(const std::vector<uint8_t>& file, const char* tag) {
    return wad::WordAt(file, wad::ChunkPayload(file, tag) + 4);
}

void Builtin(RValue&, CInstance*, CInstance*, int, RValue*) {}

class DamagedFile : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        Code_LoadCompiledRecord(nullptr);
        Function_Add("fn_known", Builtin, 0, false);
    }
    void TearDown() override {
        Code_UnbindGameData();
        FINALIZE_Code_Function();
    }

    // Both walks as at start-up: a refused first walk ends the load.
    bool Load(std::vector<uint8_t> file) {
        m_image = std::move(file);
        Header_Reset();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }

    std::vector<uint8_t> m_image;
};

TEST_F(DamagedFile, TheSoundGameLoads) {
    ASSERT_TRUE(Load(Game().Build())) << GameData_LastError();
    EXPECT_EQ(Room_Number(), 1);
    EXPECT_EQ(Path_Number(), 1);
    EXPECT_EQ(TimeLine_Number(), 1);
    EXPECT_EQ(g_ObjectNumber, 1);
    EXPECT_EQ(g_numGlobalScripts, 1);
}

TEST_F(DamagedFile, EachDamageIsRefusedWithItsChunkAndOffset) {
    struct Case {
        const char* name;
        std::function<std::vector<uint8_t>()> make;
        const char* chunk; // the chunk the reason names
        const char* reason;
    } cases[] = {
        {"room creation code out of range",
         [] {
             Game g;
             g.room.code = 99;
             return g.Build();
         },
         "ROOM", "the room's creation code at offset"},
        {"instance creation code out of range",
         [] {
             Game g;
             (*g.room.instances)[0].code = 99;
             return g.Build();
         },
         "ROOM", "an instance's creation code at offset"},
        {"instance pre-creation code below -1",
         [] {
             Game g;
             (*g.room.instances)[0].preCreateCode = -2;
             return g.Build();
         },
         "ROOM", "pre-creation code at offset"},
        {"object action out of range",
         [] {
             Game g;
             g.object.events = {{wad::EventFields{0, 99}}};
             return g.Build();
         },
         "OBJT", "an action at offset"},
        {"timeline action out of range",
         [] {
             Game g;
             g.timeline.moments = {{0, 4}};
             return g.Build();
         },
         "TMLN", "names code entry 4, but the game has 4"},
        {"global code out of range",
         [] {
             Game g;
             g.global = {0, 99};
             return g.Build();
         },
         "GLOB", "names code entry 99"},
        {"header shorter than the flags every version has",
         [] {
             wad::GameDataWriter w;
             w.AddChunk("GEN8").U8(1).U8(7).U16(0).Zeros(36);
             return w.Build();
         },
         "GEN8", "holds 40 bytes, fewer than the 72"},
        {"new-generation header without its game speed",
         [] {
             wad::GameDataWriter w;
             w.AddChunk("GEN8").U8(1).U8(14).Zeros(42).S32(2).Zeros(80).U32(0).Zeros(40);
             return w.Build();
         },
         "GEN8", "fewer than the 176"},
        {"room name running to the end of the file",
         [] {
             Game g;
             g.tail = [](wad::GameDataWriter& w) { w.AddChunk("HELP").Raw("abcd", 4); };
             std::vector<uint8_t> file = g.Build();
             wad::PutWord(file, FirstRecord(file, "ROOM"), static_cast<uint32_t>(file.size() - 4));
             return file;
         },
         "ROOM", "has no terminator"},
        {"code entry name past the end of the file",
         [] {
             std::vector<uint8_t> file = Game().Build();
             wad::PutWord(file, FirstRecord(file, "CODE"), static_cast<uint32_t>(file.size() + 16));
             return file;
         },
         "CODE", "lies past the end of the file"},
        {"code entry name running to the end of the file",
         [] {
             Game g;
             g.tail = [](wad::GameDataWriter& w) { w.AddChunk("HELP").Raw("abcd", 4); };
             std::vector<uint8_t> file = g.Build();
             wad::PutWord(file, FirstRecord(file, "CODE"), static_cast<uint32_t>(file.size() - 4));
             return file;
         },
         "CODE", "has no terminator"},
        {"code entry length past the chunk",
         [] {
             std::vector<uint8_t> file = Game().Build();
             wad::PutWord(file, FirstRecord(file, "CODE") + 4, 4096);
             return file;
         },
         "CODE", "run past the chunk's end"},
        {"function reference chain into the entry table",
         [] {
             Game g;
             g.functions.functions = {{"fn_known", 1u}};
             std::vector<uint8_t> file = g.Build();
             const size_t table = wad::ChunkPayload(file, "CODE") + 4;
             wad::PutWord(file, wad::ChunkPayload(file, "FUNC") + 8, static_cast<uint32_t>(table));
             return file;
         },
         "FUNC", "outside the code's bytecode"},
        {"function reference chain into an entry's header",
         [] {
             Game g;
             g.functions.functions = {{"fn_known", 1u}};
             std::vector<uint8_t> file = g.Build();
             wad::PutWord(file, wad::ChunkPayload(file, "FUNC") + 8,
                          static_cast<uint32_t>(FirstRecord(file, "CODE")));
             return file;
         },
         "FUNC", "outside the code's bytecode"},
        {"chunk tag in lower case",
         [] {
             Game g;
             g.tail = [](wad::GameDataWriter& w) { w.AddChunk("room").U32(0); };
             return g.Build();
         },
         "room", "unknown chunk at offset"},
        {"option constant with an empty name",
         [] {
             Game g;
             g.constants = {{"", "1"}};
             return g.Build();
         },
         "OPTN", "has an empty name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(Load(c.make()));
        const std::string error = GameData_LastError();
        EXPECT_NE(error.find(std::string("(chunk ") + c.chunk + ")"), std::string::npos) << error;
        EXPECT_NE(error.find("offset"), std::string::npos) << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        if (error.find("unknown chunk") == std::string::npos) {
            // Refused as damaged: no table keeps what was read before the damage.
            EXPECT_EQ(Room_Number(), 0);
            EXPECT_EQ(Path_Number(), 0);
            EXPECT_EQ(TimeLine_Number(), 0);
            EXPECT_EQ(g_ObjectNumber, 0);
            EXPECT_EQ(g_numGlobalScripts, 0);
        }
        Code_UnbindGameData();
    }
}

TEST_F(DamagedFile, RawBytesInQuotedNamesArePrintedEscaped) {
    Game g;
    g.functions.functions = {{"\xE6\x02name", 0u}};
    g.tail = [](wad::GameDataWriter& w) { w.AddChunk("r\x01m\xE6").U32(0); };
    EXPECT_FALSE(Load(g.Build()));
    const std::string unresolved = GameData_LastError();
    EXPECT_NE(unresolved.find("Unable to find function \\xE6\\x02name"), std::string::npos) << unresolved;
    EXPECT_NE(unresolved.find("(chunk FUNC, the record at offset"), std::string::npos) << unresolved;

    g.functions.functions.clear();
    EXPECT_FALSE(Load(g.Build()));
    const std::string unknown = GameData_LastError();
    EXPECT_NE(unknown.find("(chunk r\\x01m\\xE6)"), std::string::npos) << unknown;
    for (const std::string& text : {unresolved, unknown})
        for (char byte : text)
            EXPECT_TRUE(byte == '\n' || (byte >= 0x20 && byte < 0x7F)) << static_cast<int>(byte);
}

} // namespace
