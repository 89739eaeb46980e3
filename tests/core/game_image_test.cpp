// The data-file writer's container and string pool, read back through the
// checked image reader; and the reader's refusals.
#include <gtest/gtest.h>

#include <cstring>

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
