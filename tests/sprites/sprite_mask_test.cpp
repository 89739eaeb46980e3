// Bounding boxes by mode and collision masks: default masks from alpha,
// sprite_collision_mask's shapes, tolerance, clamped manual boxes and shared
// masks.
#include <gtest/gtest.h>

#include "sprite_fixture.h"

namespace {

// A w × h sprite of `frames` frames, each drawn by `pixel(frame, x, y)`.
template <typename Pixel>
void Fill(CSprite& sprite, int w, int h, int frames, Pixel pixel) {
    sprite.Clear();
    sprite.m_width = w;
    sprite.m_height = h;
    sprite.m_numb = frames;
    for (int f = 0; f < frames; ++f)
        sprite.m_bitmaps.push_back(MakeFrame(w, h, [&](int x, int y) { return pixel(f, x, y); }));
}

std::string Rows(const CMask& mask, int w) {
    std::string out;
    for (size_t i = 0; i < mask.bits.size(); ++i) {
        out += mask.bits[i] ? '#' : '.';
        if ((i + 1) % w == 0) out += '\n';
    }
    return out;
}

} // namespace

TEST(SpriteBox, ModesAndOpacity) {
    CSprite sprite;
    // Frame 0 opaque at (2, 1), frame 1 at (5, 3); an 8 × 6 frame.
    Fill(sprite, 8, 6, 2, [](int f, int x, int y) {
        return (f == 0 && x == 2 && y == 1) || (f == 1 && x == 5 && y == 3) ? 0x01000000u : 0x00FFFFFFu;
    });
    sprite.ComputeBoundingBox();
    EXPECT_EQ(sprite.m_bbox.left, 2);
    EXPECT_EQ(sprite.m_bbox.top, 1);
    EXPECT_EQ(sprite.m_bbox.right, 5);
    EXPECT_EQ(sprite.m_bbox.bottom, 3);
    EXPECT_EQ(sprite.m_cullRadius, 10) << "ceil of the diagonal √100";

    sprite.SetBoundingBoxMode(1);
    EXPECT_EQ(sprite.m_bbox.right, 7);
    EXPECT_EQ(sprite.m_bbox.bottom, 5);
    sprite.SetBoundingBox({1, 1, 2, 2});
    EXPECT_EQ(sprite.m_bbox.right, 7) << "a box is set only in manual mode";
    sprite.SetBoundingBoxMode(3);
    EXPECT_EQ(sprite.m_bboxmode, 1);
    sprite.SetBoundingBoxMode(2);
    sprite.SetBoundingBox({-3, 1, 200, 2});
    EXPECT_EQ(sprite.m_bbox.left, -3) << "manual boxes are kept as given";

    // No opaque pixel: the automatic box stays inverted.
    Fill(sprite, 8, 6, 1, [](int, int, int) { return 0u; });
    sprite.ComputeBoundingBox();
    EXPECT_EQ(sprite.m_bbox.left, 7);
    EXPECT_EQ(sprite.m_bbox.right, 0);
    // An opaque sprite covers its frame.
    sprite.m_transparent = false;
    sprite.ComputeBoundingBox();
    EXPECT_EQ(sprite.m_bbox.left, 0);
    EXPECT_EQ(sprite.m_bbox.right, 7);
}

TEST(SpriteMask, DefaultMasksFollowAlphaAndThePreciseFlag) {
    CSprite sprite;
    Fill(sprite, 3, 1, 1, [](int, int x, int) { return x == 1 ? 0x01000000u : 0x00FFFFFFu; });
    sprite.CreateMask();
    ASSERT_TRUE(sprite.m_maskCreated);
    EXPECT_EQ(Rows(sprite.m_masks[0], 3), ".#.\n");
    sprite.SetCollisionChecking(false);
    EXPECT_FALSE(sprite.m_maskCreated);
    sprite.SetCollisionChecking(true);
    EXPECT_TRUE(sprite.m_maskCreated);
}

TEST(SpriteMask, ToleranceComparesAlphaInPlace) {
    CSprite sprite;
    Fill(sprite, 3, 1, 1, [](int, int x, int) {
        return uint32_t(x == 0 ? 0x01 : x == 1 ? 0x80 : 0x7F) << 24;
    });
    for (uint32_t tolerance : {0u, 255u}) {
        sprite.ComputeMask(true, 1, {}, SPRITE_MASK_PRECISE, tolerance);
        EXPECT_EQ(Rows(sprite.m_masks[0], 3), "###\n") << tolerance;
    }
    sprite.ComputeMask(true, 0, {}, SPRITE_MASK_PRECISE, 127u * 16777216u);
    EXPECT_EQ(Rows(sprite.m_masks[0], 3), ".#.\n");
    EXPECT_EQ(sprite.m_bbox.left, 1) << "the automatic box uses the tolerance";
    EXPECT_EQ(sprite.m_bbox.right, 1);
}

TEST(SpriteMask, ShapesInscribedInTheBox) {
    CSprite sprite;
    Fill(sprite, 10, 10, 1, [](int, int, int) { return 0u; });
    sprite.ComputeMask(true, 2, {0, 0, 9, 9}, SPRITE_MASK_ELLIPSE, 0);
    const CMask& ellipse = sprite.m_masks[0];
    EXPECT_EQ(ellipse.bits[4 * 10 + 0], 1) << "(0, 4): centre (4, 4), radius 4.5";
    EXPECT_EQ(ellipse.bits[0], 0) << "(0, 0)";
    sprite.ComputeMask(true, 2, {1, 1, 5, 3}, SPRITE_MASK_DIAMOND, 0);
    EXPECT_EQ(Rows(sprite.m_masks[0], 10).substr(0, 44), "..........\n"
                                                         "...#......\n"
                                                         ".#####....\n"
                                                         "...#......\n");
    sprite.ComputeMask(true, 2, {-5, -5, 1000, 1000}, SPRITE_MASK_RECTANGLE, 0);
    EXPECT_EQ(sprite.m_bbox.left, 0);
    EXPECT_EQ(sprite.m_bbox.top, 0);
    EXPECT_EQ(sprite.m_bbox.right, 9);
    EXPECT_EQ(sprite.m_bbox.bottom, 9);
    EXPECT_EQ(std::count(sprite.m_masks[0].bits.begin(), sprite.m_masks[0].bits.end(), 1), 100);
    // A box beyond the frame (kept by an unknown mode) is clipped, never overrun.
    sprite.m_bbox = {-50, 5, 5000, 50000};
    sprite.ComputeMask(true, 9, {}, SPRITE_MASK_RECTANGLE, 0);
    EXPECT_EQ(std::count(sprite.m_masks[0].bits.begin(), sprite.m_masks[0].bits.end(), 1), 50);
}

TEST(SpriteMask, SharedMasksAddFrameZero) {
    CSprite sprite;
    Fill(sprite, 3, 1, 3, [](int f, int x, int) { return x == f ? 0xFF000000u : 0u; });
    sprite.ComputeMask(false, 0, {}, SPRITE_MASK_PRECISE, 0);
    EXPECT_EQ(Rows(sprite.m_masks[0], 3), "#..\n");
    EXPECT_EQ(Rows(sprite.m_masks[2], 3), "#.#\n");
    sprite.ComputeMask(true, 0, {}, SPRITE_MASK_PRECISE, 0);
    EXPECT_EQ(Rows(sprite.m_masks[2], 3), "..#\n");
}

TEST(SpriteMask, DataFileSpritesKeepTheirPackedMasks) {
    wad::SpriteFields fields;
    fields.width = 2;
    fields.height = 1;
    fields.pageEntries = {""};
    fields.masks = {{0, 1}};
    SpriteFile file({fields});
    CSprite sprite;
    file.Load(0, sprite);
    sprite.ComputeMask(true, 1, {}, SPRITE_MASK_RECTANGLE, 0);
    EXPECT_FALSE(sprite.m_maskCreated);
    EXPECT_FALSE(sprite.PreciseCollisionPoint(0, {0, 0, 1, 0}, 0, 0, 1, 1, 0, 0, 0))
        << "the packed mask is unpacked again by the next test";
    EXPECT_TRUE(sprite.PreciseCollisionPoint(0, {0, 0, 1, 0}, 0, 0, 1, 1, 0, 1, 0));
}
