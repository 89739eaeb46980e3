// The data-file writer's container and string pool, read back through the
// checked image reader; and the reader's refusals.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/game_image.h"
#include "game_data_writer.h"

namespace {

uint32_t Word(const std::vector<uint8_t>& f, size_t at) {
    uint32_t v;
    std::memcpy(&v, f.data() + at, 4);
    return v;
}

} // namespace

TEST(GameDataWriter, LaysOutChunksStringsAndLabels) {
    wad::GameDataWriter w;
    w.AddChunk("AAAA").U32(7).String("hello").Offset("there");
    w.AddStringChunk();
    w.AddChunk("BBBB").Label("there").U32(0xCAFEF00D).String("hello").String("world");
    std::vector<uint8_t> f = w.Build();

    ASSERT_EQ(std::memcmp(f.data(), "FORM", 4), 0);
    EXPECT_EQ(Word(f, 4), f.size() - 8);
    // AAAA at 8: payload at 16, 12 bytes.
    EXPECT_EQ(std::memcmp(f.data() + 8, "AAAA", 4), 0);
    EXPECT_EQ(Word(f, 12), 12u);
    EXPECT_EQ(Word(f, 16), 7u);
    // The pool comes next: count 2, entries {length, text, 0}.
    EXPECT_EQ(std::memcmp(f.data() + 28, "STRG", 4), 0);
    size_t pool = 36;
    EXPECT_EQ(Word(f, pool), 2u);
    uint32_t helloEntry = Word(f, pool + 4);
    EXPECT_EQ(Word(f, helloEntry), 5u);
    EXPECT_STREQ(reinterpret_cast<const char*>(f.data() + helloEntry + 4), "hello");
    // String references point at the text itself; both uses share one entry.
    EXPECT_EQ(Word(f, 20), helloEntry + 4);
    size_t bbbb = 8 + 8 + 12 + 8 + Word(f, 32);
    EXPECT_EQ(std::memcmp(f.data() + bbbb, "BBBB", 4), 0);
    EXPECT_EQ(Word(f, 24), bbbb + 8) << "label offsets are absolute";
    EXPECT_EQ(Word(f, bbbb + 12), helloEntry + 4);
    EXPECT_STREQ(reinterpret_cast<const char*>(f.data() + Word(f, bbbb + 16)), "world");
}

TEST(GameDataWriter, ReversedContainerTagAndUnknownLabel) {
    wad::GameDataWriter w;
    w.SetReversedContainerTag(true);
    w.AddChunk("GEN8");
    EXPECT_EQ(std::memcmp(w.Build().data(), "MROF", 4), 0);
    w.AddChunk("ROOM").Offset("nowhere");
    EXPECT_THROW(w.Build(), std::runtime_error);
}

TEST(ImageReader, ChecksEveryReadOffsetAndString) {
    wad::GameDataWriter w;
    w.AddChunk("TEST").U32(3).String("name").U32(1000).U32(0xFFFFFFFF);
    std::vector<uint8_t> f = w.Build();
    // Payload of TEST: 16 bytes at offset 16.
    ImageReader r(f.data(), f.size(), 16, 32, "TEST");
    EXPECT_EQ(r.U32(), 3u);
    EXPECT_STREQ(r.StringAt(), "name");
    uint32_t far = r.U32();
    EXPECT_THROW(r.Resolve(far, 4), GameDataError) << "offset past the end";
    EXPECT_EQ(r.Resolve(0, 4), nullptr) << "offset 0 means none";
    EXPECT_THROW(r.String(far), GameDataError);
    EXPECT_THROW(r.Resolve(static_cast<uint32_t>(f.size() - 2), 4), GameDataError)
        << "record straddles the end";
    EXPECT_EQ(r.U32(), 0xFFFFFFFFu);
    EXPECT_THROW(r.U8(), GameDataError) << "reads stop at the payload's end";

    ImageReader counts(f.data(), f.size(), 16, 32, "TEST");
    EXPECT_THROW(counts.Count(1 << 20), GameDataError) << "a count the payload cannot hold";

    // A string without a terminator before the end of the image.
    std::vector<uint8_t> unterminated(f);
    unterminated.back() = 'x';
    ImageReader tail(unterminated.data(), unterminated.size(), 16, 32, "TEST");
    EXPECT_THROW(tail.String(static_cast<uint32_t>(unterminated.size() - 1)), GameDataError);

    try {
        ImageReader(f.data(), f.size(), 16, 32, "ROOM").At(0);
        FAIL();
    } catch (const GameDataError& e) {
        EXPECT_NE(std::string(e.what()).find("ROOM"), std::string::npos) << e.what();
    }
}

TEST(ImageReader, QuotedTextIsMadePrintable) {
    const struct {
        const char* text;
        const char* shown;
    } cases[] = {
        {"obj_player", "obj_player"},
        {"caf\xC3\xA9 \xE2\x82\xAC", "caf\xC3\xA9 \xE2\x82\xAC"}, // well-formed UTF-8 stays
        {"\xE6\x02name", "\\xE6\\x02name"},                       // a cut sequence and a control byte
        {"\xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80", "\\xC0\\xAF \\xED\\xA0\\x80 \\xF4\\x90\\x80\\x80"},
        {"tab\there\xC3", "tab\\x09here\\xC3"}, // a lead byte at the very end
    };
    for (const auto& c : cases) EXPECT_EQ(GameData_Printable(c.text), c.shown) << c.shown;
    EXPECT_EQ(GameData_Printable(nullptr), "");
}

TEST(ImageReader, RecordsPeeksAndPatchesStayInsideTheirChunk) {
    wad::GameDataWriter w;
    w.AddChunk("ROOM").U32(1).Offset("r").Label("r").U32(7).U32(8);
    w.AddChunk("HELP").Label("h").U32(9);
    std::vector<uint8_t> f = w.Build();
    const size_t room = wad::ChunkPayload(f, "ROOM"), help = wad::ChunkPayload(f, "HELP");
    ImageReader chunk(f.data(), f.size(), room, room + 16, "ROOM");

    EXPECT_EQ(chunk.Peek<uint32_t>(room + 8), 7u);
    chunk.Patch<uint32_t>(room + 12, 80);
    EXPECT_EQ(Word(f, room + 12), 80u);
    ImageReader record = chunk.At(static_cast<uint32_t>(room + 8));
    EXPECT_EQ(record.U32(), 7u);
    EXPECT_EQ(record.U32(), 80u);
    EXPECT_THROW(record.U32(), GameDataError) << "a record ends with its chunk, not the file";

    const std::vector<uint8_t> before = f;
    EXPECT_THROW(chunk.Peek<uint32_t>(room + 14), GameDataError) << "straddles the chunk's end";
    EXPECT_THROW(chunk.Patch<uint32_t>(help, 1), GameDataError) << "the next chunk's payload";
    EXPECT_THROW(chunk.Patch<uint32_t>(room - 4, 1), GameDataError) << "the chunk's own header";
    EXPECT_EQ(f, before) << "a refused patch writes nothing";
    EXPECT_THROW(chunk.At(static_cast<uint32_t>(help)), GameDataError);
    EXPECT_THROW(chunk.Resolve(static_cast<uint32_t>(room + 12), 8), GameDataError);

    ImageReader none;
    EXPECT_TRUE(none.Empty());
    EXPECT_THROW(none.Peek<uint8_t>(0), GameDataError);
    EXPECT_THROW(none.U8(), GameDataError);
}

TEST(ImageReader, OneWalkVisitsEveryChunkAndRefusesACutOne) {
    wad::GameDataWriter w;
    w.AddChunk("GEN8").U32(1);
    w.AddChunk("EMPT");
    w.AddChunk("r\x01m\xE6").U32(2);
    std::vector<uint8_t> f = w.Build();
    std::vector<std::string> seen;
    GameData_WalkChunks(f.data(), f.size(), [&](const ChunkHeader& h, ImageReader& payload) {
        seen.push_back(std::string(h.tagText) + ":" + std::to_string(h.size) + "@" +
                       std::to_string(h.offset));
        if (h.size != 0) {
            EXPECT_EQ(payload.U32(), h.size == 4 && h.tag == GameData_Tag("GEN8") ? 1u : 2u);
        }
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"GEN8:4@8", "EMPT:0@20", "r\\x01m\\xE6:4@28"}));

    f.resize(f.size() - 2); // the last payload runs past the end
    try {
        GameData_WalkChunks(f.data(), f.size(), [](const ChunkHeader&, ImageReader&) {});
        ADD_FAILURE() << "accepted";
    } catch (const GameDataError& e) {
        EXPECT_NE(std::string(e.what()).find("(chunk r\\x01m\\xE6): 4 bytes of payload at offset 36"),
                  std::string::npos)
            << e.what();
    }
}

TEST(ImageReader, TheLoadBudgetIsSixteenFilesWithAFloor) {
    EXPECT_EQ(GameData_LoadBudget(0), size_t{1} << 20);
    EXPECT_EQ(GameData_LoadBudget(1000), size_t{1} << 20);
    EXPECT_EQ(GameData_LoadBudget(size_t{1} << 20), size_t{16} << 20);
    EXPECT_EQ(GameData_LoadBudget(SIZE_MAX / 2), SIZE_MAX) << "no overflow";
}
