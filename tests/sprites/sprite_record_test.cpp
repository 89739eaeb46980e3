// The sprite record: defaults and clearing, "SPRT" records in their short
// and extended forms (fields, the box's stored order, new-generation words,
// packed masks), refused records, the legacy stream forms and copies.
#include <gtest/gtest.h>

#include <functional>

#include "core/header_globals.h"
#include "render/platform_bitmap.h"
#include "sprite_fixture.h"

namespace {

class SpriteRecord : public ::testing::Test {
protected:
    void TearDown() override { g_isNimbar = false; }
};

wad::SpriteFields ThreeFrames() {
    wad::SpriteFields s;
    s.width = 9;
    s.height = 2;
    s.left = 1;
    s.right = 7;
    s.bottom = 1;
    s.top = 0;
    s.smooth = 1;
    s.preload = 0;
    s.bboxMode = 2;
    s.xorigin = 4;
    s.yorigin = 1;
    s.pageEntries = {"", "", ""};
    // Pixel 8 of a row is bit 7 of the row's second byte.
    s.masks = {{1, 0, 0, 0, 0, 0, 0, 0, 1, /**/ 0, 1, 0, 0, 0, 0, 0, 0, 0}};
    return s;
}

} // namespace

TEST_F(SpriteRecord, ClearGivesTheDefaultsAndKeepsTheSpeed) {
    CSprite sprite;
    EXPECT_EQ(sprite.m_width, 1);
    EXPECT_EQ(sprite.m_height, 1);
    EXPECT_EQ(sprite.m_playbackSpeed, 30.0f);
    EXPECT_EQ(sprite.m_playbackSpeedType, 0);
    sprite.m_width = 40;
    sprite.m_numb = 3;
    sprite.m_precise = sprite.m_transparent = sprite.m_preload = false;
    sprite.m_xorigin = 5;
    sprite.m_playbackSpeed = 12.0f;
    sprite.m_kind = SPRITE_KIND_SKELETON;
    sprite.Clear();
    EXPECT_EQ(sprite.m_width, 1);
    EXPECT_EQ(sprite.m_numb, 0);
    EXPECT_EQ(sprite.m_xorigin, 0);
    EXPECT_TRUE(sprite.m_precise && sprite.m_transparent && sprite.m_preload);
    EXPECT_EQ(sprite.m_kind, SPRITE_KIND_BITMAP);
    EXPECT_EQ(sprite.m_playbackSpeed, 12.0f);
}

TEST_F(SpriteRecord, ShortFormFieldsBoxOrderAndPackedMask) {
    SpriteFile file({ThreeFrames()});
    CSprite sprite;
    file.Load(0, sprite);
    EXPECT_EQ(sprite.m_width, 9);
    EXPECT_EQ(sprite.m_height, 2);
    EXPECT_EQ(sprite.m_bbox.left, 1);
    EXPECT_EQ(sprite.m_bbox.top, 0);
    EXPECT_EQ(sprite.m_bbox.right, 7);
    EXPECT_EQ(sprite.m_bbox.bottom, 1);
    EXPECT_TRUE(sprite.m_transparent);
    EXPECT_TRUE(sprite.m_smooth);
    EXPECT_FALSE(sprite.m_preload);
    EXPECT_EQ(sprite.m_bboxmode, 2);
    EXPECT_EQ(sprite.m_numb, 3);
    EXPECT_TRUE(sprite.m_dataFileEntries);
    // Distances from (4, 1) to the corners: the largest is to (9, 2), √26.
    EXPECT_EQ(sprite.m_cullRadius, 6);
    EXPECT_FALSE(sprite.m_maskCreated) << "masks stay packed until the first precise test";
    sprite.UnpackWADMask();
    ASSERT_TRUE(sprite.m_maskCreated);
    ASSERT_EQ(sprite.m_masks.size(), 1u);
    EXPECT_EQ(sprite.m_masks[0].bits, ThreeFrames().masks[0]);
    EXPECT_EQ(sprite.CollisionMask(5), sprite.m_masks[0].bits.data()) << "one mask serves every frame";
}

TEST_F(SpriteRecord, FramesWrapAndEntriesKeepTheirFileOffsets) {
    wad::SpriteFields s = ThreeFrames();
    s.pageEntries = {"", "SPRT.0", ""}; // any labelled place stands for an entry
    SpriteFile file({s});
    CSprite sprite;
    file.Load(0, sprite);
    EXPECT_EQ(sprite.PageEntryOffset(1), file.RecordOffset(0));
    EXPECT_EQ(sprite.PageEntryOffset(-2), file.RecordOffset(0)) << "frame -2 of three is frame 1";
    EXPECT_EQ(sprite.PageEntryOffset(0), 0u);
    EXPECT_EQ(sprite.WrapFrame(-1), 2);
}

TEST_F(SpriteRecord, GenerationWordsAndExtendedForms) {
    struct Case {
        const char* what;
        bool nimbar;
        std::function<void(wad::SpriteFields&)> edit;
        int frames;
        int kind;
        float speed;
        int speedType;
    };
    const Case cases[] = {
        {"new data: a zero count is followed by the real one", true,
         [](wad::SpriteFields& s) { s.countAfterZero = true; }, 3, SPRITE_KIND_BITMAP, 30.0f, 0},
        {"extended bitmap in new data: speed, type, count", true,
         [](wad::SpriteFields& s) {
             s.extended = true;
             s.newGeneration = true;
             s.speed = 12.5f;
             s.speedType = 1;
         },
         3, SPRITE_KIND_BITMAP, 12.5f, 1},
        {"extended bitmap in older data has no frames", false,
         [](wad::SpriteFields& s) {
             s.extended = true;
             s.pageEntries.clear();
             s.masks.clear();
         },
         0, SPRITE_KIND_BITMAP, 30.0f, 0},
        {"skeleton", false,
         [](wad::SpriteFields& s) {
             s.extended = true;
             s.kind = 2;
             s.skeletonJson = "{}";
             s.skeletonAtlas = "atlas";
         },
         SPRITE_SKELETON_FRAMES, SPRITE_KIND_SKELETON, 30.0f, 0},
        {"vector with its entries", false,
         [](wad::SpriteFields& s) {
             s.extended = true;
             s.kind = 1;
             s.vectorData = {1, 2, 3};
         },
         0, SPRITE_KIND_VECTOR, 30.0f, 0},
        {"an unknown kind has no frames", false,
         [](wad::SpriteFields& s) {
             s.extended = true;
             s.kind = 7;
         },
         0, SPRITE_KIND_BITMAP, 30.0f, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        g_isNimbar = c.nimbar;
        wad::SpriteFields fields = ThreeFrames();
        c.edit(fields);
        SpriteFile file({fields});
        CSprite sprite;
        file.Load(0, sprite);
        EXPECT_EQ(sprite.m_numb, c.frames);
        EXPECT_EQ(sprite.m_kind, c.kind);
        EXPECT_EQ(sprite.m_playbackSpeed, c.speed);
        EXPECT_EQ(sprite.m_playbackSpeedType, c.speedType);
        if (c.kind == SPRITE_KIND_VECTOR) {
            EXPECT_EQ(sprite.m_pageEntryOffsets.size(), 3u);
        }
    }
}

TEST_F(SpriteRecord, DamagedRecordsAreRefused) {
    struct Case {
        const char* what;
        std::function<void(wad::SpriteFields&)> edit;
        size_t cut; // bytes cut from the end of the chunk
    };
    const Case cases[] = {
        {"negative width", [](wad::SpriteFields& s) { s.width = -4; }, 0},
        {"more masks than frames", [](wad::SpriteFields& s) { s.masks.resize(4, s.masks[0]); }, 0},
        {"masks cut short", [](wad::SpriteFields&) {}, 1},
        {"frame offsets cut short", [](wad::SpriteFields& s) { s.masks.clear(); }, 6},
        {"skeleton blocks past the chunk",
         [](wad::SpriteFields& s) {
             s.extended = true;
             s.kind = 2;
             s.skeletonJson = "{\"a\":1}";
         },
         3},
        {"vector entry count past the chunk",
         [](wad::SpriteFields& s) {
             s.extended = true;
             s.kind = 1;
         },
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wad::SpriteFields fields = ThreeFrames();
        c.edit(fields);
        SpriteFile file({fields});
        ImageReader chunk = file.Chunk();
        ImageReader cut(file.Image().data(), file.Image().size(), chunk.ChunkStart(),
                        chunk.ChunkEnd() - c.cut, "SPRT");
        ImageReader record = cut.At(file.RecordOffset(0));
        CSprite sprite;
        EXPECT_THROW(sprite.LoadFromChunk(record), GameDataError);
    }
    // A negative frame count other than -1.
    SpriteFile file({ThreeFrames()});
    const size_t at = file.RecordOffset(0) + 56;
    for (int i = 0; i < 4; ++i) file.Image()[at + i] = i == 0 ? 0xFE : 0xFF; // -2
    CSprite sprite;
    EXPECT_THROW(file.Load(0, sprite), GameDataError);
}

// Masks stored for one size are never unpacked for another.
TEST_F(SpriteRecord, PackedMasksOfAnotherSizeStayPacked) {
    SpriteFile file({ThreeFrames()});
    CSprite sprite;
    file.Load(0, sprite);
    sprite.m_width = 64;
    sprite.UnpackWADMask();
    EXPECT_FALSE(sprite.m_maskCreated);
    EXPECT_TRUE(sprite.PreciseCollisionPoint(0, {0, 0, 63, 1}, 0, 0, 1, 1, 0, 60, 1))
        << "without masks the box stands";
}

namespace {

// Stream record of a w × h bitmap of the 800 form.
void PutBitmap(std::vector<uint8_t>& out, int w, int h, uint32_t pixel) {
    PutWord(out, 800);
    PutWord(out, static_cast<uint32_t>(w));
    PutWord(out, static_cast<uint32_t>(h));
    PutWord(out, static_cast<uint32_t>(w * h * 4));
    for (int i = 0; i < w * h; ++i) PutWord(out, i % 2 == 0 ? pixel : 0);
}

} // namespace

TEST_F(SpriteRecord, StreamForms) {
    // 542: the header's fields, then bitmaps; masks from the bitmaps.
    std::vector<uint8_t> old;
    for (uint32_t w : {542u, 2u, 2u, 0u, 1u, 1u, 0u, 1u, 0u, 1u, 0u, 1u, 1u, 0u, 2u}) PutWord(old, w);
    PutBitmap(old, 2, 2, 0xFF00FF00u);
    PutBitmap(old, 2, 2, 0x80000000u);
    CSprite sprite;
    ASSERT_TRUE(sprite.LoadFromStream(old.data(), old.size()));
    EXPECT_EQ(sprite.m_numb, 2);
    EXPECT_EQ(sprite.m_bbox.right, 1);
    EXPECT_EQ(sprite.m_bbox.bottom, 1);
    EXPECT_EQ(sprite.m_yorigin, 0);
    ASSERT_TRUE(sprite.m_maskCreated);
    EXPECT_EQ(sprite.m_masks[1].bits, (std::vector<uint8_t>{1, 0, 1, 0}));
    ASSERT_NE(sprite.GetBitmap32(1), nullptr);
    EXPECT_EQ(sprite.GetBitmap32(1)->GetWidth(), 2);
    EXPECT_EQ(sprite.GetBitmap24(0)->GetPixelFormat(), kPixelFormat24);
    EXPECT_EQ(sprite.GetBitmap32(2), nullptr);

    // 800: origin, bitmaps (their size is the sprite's), shared mask, box computed.
    std::vector<uint8_t> now;
    for (uint32_t w : {800u, 1u, 0u, 1u}) PutWord(now, w);
    PutBitmap(now, 3, 1, 0xFF123456u);
    PutWord(now, 0); // one mask for all frames
    for (uint32_t w : {800u, 3u, 1u, 0u, 0u, 0u, 0u, 0u, 1u, 1u}) PutWord(now, w);
    ASSERT_TRUE(sprite.LoadFromStream(now.data(), now.size()));
    EXPECT_EQ(sprite.m_width, 3);
    EXPECT_EQ(sprite.m_height, 1);
    EXPECT_EQ(sprite.m_xorigin, 1);
    EXPECT_EQ(sprite.m_bbox.left, 0);
    EXPECT_EQ(sprite.m_bbox.right, 2);
    EXPECT_EQ(sprite.m_masks[0].bits, (std::vector<uint8_t>{0, 1, 1}));

    // A mask of another size, a cut stream and an unknown version are refused.
    std::vector<uint8_t> wrongMask = now;
    wrongMask[wrongMask.size() - 36] = 2; // mask width 2
    std::vector<uint8_t> cut(now.begin(), now.end() - 1);
    std::vector<uint8_t> unknown = now;
    unknown[0] = 0x21;
    for (const std::vector<uint8_t>* bad : {&wrongMask, &cut, &unknown}) {
        EXPECT_FALSE(sprite.LoadFromStream(bad->data(), bad->size()));
        EXPECT_EQ(sprite.m_numb, 0);
        EXPECT_FALSE(sprite.m_maskCreated);
    }
}

TEST_F(SpriteRecord, CopiesOfDataFileSpritesShareEntriesAndHaveNoMasks) {
    SpriteFile file({ThreeFrames()});
    CSprite source;
    file.Load(0, source);
    source.m_playbackSpeed = 5.0f;
    CSprite copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.m_numb, 3);
    EXPECT_EQ(copy.m_pageEntryOffsets, source.m_pageEntryOffsets);
    EXPECT_EQ(copy.m_bbox.right, 7);
    EXPECT_EQ(copy.m_playbackSpeed, 30.0f) << "the speed is not copied";
    copy.UnpackWADMask();
    EXPECT_FALSE(copy.m_maskCreated);
    EXPECT_TRUE(copy.PreciseCollisionPoint(0, {0, 0, 8, 1}, 4, 1, 1, 1, 0, 0, 0))
        << "a copy without masks is solid over its box";
}
