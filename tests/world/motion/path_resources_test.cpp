// The path table on writer-made data files: records and empty indexes,
// names, add, duplicate, assign and delete, and damaged path chunks.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/game_image.h"
#include "core/ref_string.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "path_chunk.h"
#include "world/datafile/game_file.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"

namespace {

class PathTable : public ::testing::Test {
protected:
    void SetUp() override { Path_Init(); }
    void TearDown() override { Path_Quit(); }

    // Three indexes: a straight open path, none, and a record with an odd
    // kind, a non-zero closed word and a precision beyond the limit.
    static wad::GameDataWriter ThreePaths() {
        wad::PathFields a;
        a.name = "path_a";
        a.points = {{0, 0, 100}, {100, 0, 100}};
        wad::PathFields c;
        c.name = "path_c";
        c.kind = 7;
        c.closed = 5;
        c.precision = 20;
        c.points = {{0, 0, 50}, {30, 0, 100}, {30, 40, 150}};
        wad::GameDataWriter w;
        wad::WritePaths(w, {a, std::nullopt, c});
        return w;
    }

    // Loads a whole file as the game's start-up does; the image is gone
    // afterwards, as nothing may refer to it.
    static bool LoadFile(const wad::GameDataWriter& w) {
        std::vector<uint8_t> image = w.Build();
        return LoadGameData(image.data(), image.size());
    }
};

// A reader over the payload of the file's "PATH" chunk.
ImageReader PathChunk(std::vector<uint8_t>& image) {
    size_t at = 8;
    while (at + 8 <= image.size()) {
        uint32_t size;
        std::memcpy(&size, image.data() + at + 4, 4);
        if (std::memcmp(image.data() + at, "PATH", 4) == 0)
            return ImageReader(image.data(), image.size(), at + 8, at + 8 + size, "PATH");
        at += 8 + size;
    }
    ADD_FAILURE() << "no PATH chunk";
    return ImageReader(image.data(), image.size(), 0, 0, "PATH");
}

} // namespace

TEST_F(PathTable, LoadsRecordsAndEmptyIndexes) {
    ASSERT_TRUE(LoadFile(ThreePaths())) << GameData_LastError();
    EXPECT_EQ(Path_Number(), 3);
    EXPECT_TRUE(Path_Exists(0));
    EXPECT_FALSE(Path_Exists(1));
    EXPECT_TRUE(Path_Exists(2));
    EXPECT_FALSE(Path_Exists(-1));
    EXPECT_FALSE(Path_Exists(3));
    EXPECT_EQ(Path_Data(1), nullptr);
    EXPECT_EQ(Path_Data(3), nullptr);
    EXPECT_STREQ(Path_Name(0), "path_a");
    EXPECT_STREQ(Path_Name(1), "<undefined>");
    EXPECT_STREQ(Path_Name(2), "path_c");
    EXPECT_STREQ(Path_Name(7), "<undefined>");

    const CPath* a = Path_Data(0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetKind(), 0);
    EXPECT_FALSE(a->GetClosed());
    EXPECT_EQ(a->GetPathLength(), 100.0f);
    EXPECT_EQ(a->XPosition(0.5f), 50.0f);

    // Kind 7 is kept but followed as straight; the closed word is any non-zero
    // value; a precision beyond the limit is held to it.
    const CPath* c = Path_Data(2);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetKind(), 7);
    EXPECT_TRUE(c->GetClosed());
    EXPECT_EQ(c->GetPrecision(), kPathMaxPrecision);
    EXPECT_EQ(c->GetCount(), 3);
    EXPECT_EQ(c->GetPoint(2).speed, 150.0f);
    EXPECT_EQ(c->GetComputedCount(), 4);
    EXPECT_EQ(c->GetPathLength(), 120.0f);
}

TEST_F(PathTable, RecordWithoutNameOffsetGetsTheEmptyName) {
    wad::PathFields nameless;
    nameless.points = {{1, 2, 100}};
    wad::GameDataWriter w;
    wad::WritePaths(w, {nameless});
    ASSERT_TRUE(LoadFile(w)) << GameData_LastError();
    EXPECT_TRUE(Path_Exists(0));
    EXPECT_STREQ(Path_Name(0), "");
}

TEST_F(PathTable, AddDuplicateDeleteAndFind) {
    ASSERT_TRUE(LoadFile(ThreePaths()));
    EXPECT_EQ(Path_Add(), 3);
    EXPECT_STREQ(Path_Name(3), "__newpath3");
    const CPath* added = Path_Data(3);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->GetCount(), 0);
    EXPECT_TRUE(added->GetClosed());
    EXPECT_EQ(added->GetPrecision(), 4);

    EXPECT_EQ(Path_Duplicate(0), 4);
    EXPECT_STREQ(Path_Name(4), "__newpath4");
    EXPECT_EQ(Path_Data(4)->GetPathLength(), 100.0f);
    EXPECT_NE(Path_Data(4), Path_Data(0));
    EXPECT_EQ(Path_Duplicate(1), -1);
    EXPECT_EQ(Path_Duplicate(99), -1);

    EXPECT_EQ(Path_Find("path_c"), 2);
    EXPECT_TRUE(Path_Delete(2));
    EXPECT_FALSE(Path_Exists(2));
    EXPECT_STREQ(Path_Name(2), "<undefined>");
    EXPECT_EQ(Path_Find("path_c"), -1);
    EXPECT_FALSE(Path_Delete(2));
    EXPECT_FALSE(Path_Delete(-1));
    EXPECT_EQ(Path_Add(), 5) << "deleted indexes are not reused";
    EXPECT_EQ(Path_Number(), 6);

    EXPECT_EQ(Path_Find("path_a"), 0);
    EXPECT_EQ(Path_Find("PATH_A"), -1) << "case counts";
    EXPECT_EQ(Path_Find(nullptr), -1);
    EXPECT_EQ(Path_Find("__newpath5"), 5);

    // Many additions keep every earlier path where it was.
    CPath* first = Path_Data(0);
    for (int i = 0; i < 100; ++i) Path_Add();
    EXPECT_EQ(Path_Data(0), first);
    EXPECT_STREQ(Path_Name(105), "__newpath105");
}

TEST_F(PathTable, Assign) {
    ASSERT_TRUE(LoadFile(ThreePaths()));
    // Onto the empty index 1: a path is made there.
    EXPECT_TRUE(Path_Assign(1, 0));
    ASSERT_TRUE(Path_Exists(1));
    EXPECT_STREQ(Path_Name(1), "__newpath1");
    EXPECT_EQ(Path_Data(1)->GetPathLength(), 100.0f);
    EXPECT_FALSE(Path_Data(1)->GetClosed());

    // Onto an existing path: points and settings copied, the name kept.
    EXPECT_TRUE(Path_Assign(2, 0));
    EXPECT_STREQ(Path_Name(2), "path_c");
    EXPECT_EQ(Path_Data(2)->GetKind(), 0);
    EXPECT_EQ(Path_Data(2)->GetCount(), 2);

    Path_Delete(2);
    struct Case {
        int to, from;
    } refused[] = {{9, 0}, {-1, 0}, {0, 9}, {0, -1}, {0, 2}};
    for (const Case& r : refused) {
        EXPECT_FALSE(Path_Assign(r.to, r.from)) << r.to << " <- " << r.from;
        EXPECT_FALSE(Path_Exists(2));
    }

    ErrorCapture capture;
    EXPECT_FALSE(Path_Assign(0, 0));
    EXPECT_EQ(ErrorReportMessage(capture.LastShown()), "ERROR: Can not assign a path to itself!");
    EXPECT_FALSE(aborterror) << "the error is not fatal";
}

TEST_F(PathTable, DamagedChunksAreRefusedWithTheChunkNamed) {
    // Each case is a whole file whose path chunk is damaged one way.
    struct Case {
        const char* name;
        void (*write)(wad::GameDataWriter&);
        const char* expected;
    } cases[] = {
        {"count beyond the payload", [](wad::GameDataWriter& w) { w.AddChunk("PATH").U32(1000).U32(0); },
         "count 1000 does not fit"},
        {"count of all ones", [](wad::GameDataWriter& w) { w.AddChunk("PATH").U32(0xFFFFFFFF); },
         "does not fit"},
        {"record offset past the file",
         [](wad::GameDataWriter& w) { w.AddChunk("PATH").U32(1).U32(0x7FFFFFF0); }, "lies outside the chunk"},
        {"record in another chunk",
         [](wad::GameDataWriter& w) {
             w.AddChunk("HELP").Label("r").U32(0).S32(0).U32(0).S32(4).U32(0);
             w.AddChunk("PATH").U32(1).Offset("r");
         },
         "lies outside the chunk"},
        {"point count one too high, before the next chunk",
         [](wad::GameDataWriter& w) {
             w.AddChunk("PATH")
                 .U32(1)
                 .Offset("r")
                 .Label("r")
                 .U32(0)
                 .S32(0)
                 .U32(0)
                 .S32(4)
                 .U32(2)
                 .F32(1)
                 .F32(2)
                 .F32(100);
             // Twelve bytes that would read as a third point: the next chunk's header and a word.
             w.AddChunk("HELP").U32(0);
         },
         "does not fit"},
        {"record cut off at the file's end",
         [](wad::GameDataWriter& w) {
             w.AddChunk("PATH").U32(1).Offset("r").Label("r").U32(0).S32(0).U32(0);
         },
         "read past the end"},
        {"point count beyond the file",
         [](wad::GameDataWriter& w) {
             w.AddChunk("PATH")
                 .U32(1)
                 .Offset("r")
                 .Label("r")
                 .U32(0)
                 .S32(0)
                 .U32(0)
                 .S32(4)
                 .U32(1000)
                 .F32(1)
                 .F32(2)
                 .F32(100);
         },
         "count 1000 does not fit"},
        {"point count of all ones",
         [](wad::GameDataWriter& w) {
             w.AddChunk("PATH").U32(1).Offset("r").Label("r").U32(0).S32(0).U32(0).S32(4).U32(0xFFFFFFFF);
         },
         "does not fit"},
        {"name offset past the file",
         [](wad::GameDataWriter& w) {
             w.AddChunk("PATH").U32(1).Offset("r").Label("r").U32(0x7FFFFFF0).S32(0).U32(0).S32(4).U32(0);
         },
         "string offset"},
        {"name without a terminator",
         [](wad::GameDataWriter& w) {
             w.AddChunk("PATH")
                 .U32(1)
                 .Offset("r")
                 .Label("r")
                 .Offset("n")
                 .S32(0)
                 .U32(0)
                 .S32(4)
                 .U32(0)
                 .Label("n")
                 .Raw("abc", 3);
         },
         "has no terminator"},
        {"one big record behind every index",
         [](wad::GameDataWriter& w) {
             // 4,000 copies of 100 points: more than 16 times the file and
             // more than the 1 MiB every file may load.
             wad::Chunk& c = w.AddChunk("PATH").U32(4000);
             for (int i = 0; i < 4000; ++i) c.Offset("r");
             c.Label("r").U32(0).S32(0).U32(0).S32(4).U32(100);
             for (int i = 0; i < 100; ++i) c.F32(i).F32(0).F32(100);
         },
         "bytes a file of this size may load"},
    };
    for (const Case& c : cases) {
        wad::GameDataWriter w;
        c.write(w);
        EXPECT_FALSE(LoadFile(w)) << c.name;
        std::string error = GameData_LastError();
        EXPECT_NE(error.find("(chunk PATH)"), std::string::npos) << c.name << ": " << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.name << ": " << error;
        EXPECT_EQ(Path_Number(), 0) << c.name;
    }
}

TEST_F(PathTable, ALoadReplacesTheTableOnlyWhenItSucceeds) {
    ASSERT_TRUE(LoadFile(ThreePaths()));

    wad::GameDataWriter damaged;
    damaged.AddChunk("PATH").U32(2).Offset("r").U32(0x7FFFFFF0).Label("r").U32(0).S32(0).U32(0).S32(4).U32(0);
    std::vector<uint8_t> bad = damaged.Build();
    ImageReader badChunk = PathChunk(bad);
    EXPECT_THROW(Path_Load(badChunk), GameDataError);
    EXPECT_EQ(Path_Number(), 3) << "a damaged chunk leaves the table as it was";
    EXPECT_STREQ(Path_Name(2), "path_c");

    wad::PathFields only;
    only.name = "only";
    wad::GameDataWriter w;
    wad::WritePaths(w, {only});
    std::vector<uint8_t> good = w.Build();
    ImageReader chunk = PathChunk(good);
    Path_Load(chunk);
    EXPECT_EQ(Path_Number(), 1);
    EXPECT_STREQ(Path_Name(0), "only");

    EXPECT_FALSE(Path_Load(static_cast<CStream*>(nullptr))) << "the older stream form is refused";
    EXPECT_EQ(Path_Number(), 1);
}
