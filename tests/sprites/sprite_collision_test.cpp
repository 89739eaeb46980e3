// Precise collision tests: the cases that pin the mapping (truncation against
// flooring, rotation's direction, mask choice by frame), the shape tests, and
// sprite-against-sprite answers of rotated and scaled sprites checked against
// a brute-force walk of every pixel of the boxes' intersection.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "sprite_fixture.h"

namespace {

// A sprite whose masks are given directly: one string per mask, rows of
// '#' (solid) and '.', all of width w.
void SetMasks(CSprite& sprite, int w, int h, const std::vector<std::string>& masks, int frames = 1) {
    sprite.Clear();
    sprite.m_width = w;
    sprite.m_height = h;
    sprite.m_numb = frames;
    sprite.m_bbox = {0, 0, w - 1, h - 1};
    sprite.m_masks.clear();
    for (const std::string& rows : masks) {
        CMask mask;
        for (char c : rows)
            if (c == '#' || c == '.') mask.bits.push_back(c == '#');
        EXPECT_EQ(mask.bits.size(), static_cast<size_t>(w * h));
        sprite.m_masks.push_back(mask);
    }
    sprite.m_maskCreated = true;
}

// What the test of one sprite reads at room pixel (x, y), as the rules state
// it: the integer, scaled (truncating) or rotated (floating) form.
struct Pose {
    int x, y;
    float xs, ys, angle;
    int frame;
};

bool SolidBrute(const CSprite& s, const Pose& p, int64_t x, int64_t y, int path) {
    const uint8_t* mask = s.CollisionMask(p.frame);
    auto solid = [&](int fx, int fy) {
        return fx >= 0 && fy >= 0 && fx < s.m_width && fy < s.m_height &&
               (mask == nullptr || mask[fy * s.m_width + fx] != 0);
    };
    const float invx = 1.0f / p.xs, invy = 1.0f / p.ys;
    if (path == 0)
        return solid(static_cast<int>(x - p.x + s.m_xorigin), static_cast<int>(y - p.y + s.m_yorigin));
    if (path == 1) {
        const float fx = static_cast<float>(x - p.x) * invx + s.m_xorigin;
        const float fy = static_cast<float>(y - p.y) * invy + s.m_yorigin;
        return std::fabs(fx) < 1e9f && std::fabs(fy) < 1e9f &&
               solid(static_cast<int>(fx), static_cast<int>(fy));
    }
    const float a = p.angle * -0.017453292f, sn = std::sin(a), c = std::cos(a);
    const float fx =
        (static_cast<float>(y - p.y) * sn + static_cast<float>(x - p.x) * c) * invx + s.m_xorigin;
    const float fy =
        (static_cast<float>(y - p.y) * c - static_cast<float>(x - p.x) * sn) * invy + s.m_yorigin;
    if (!(fx >= 0 && fy >= 0 && fx < s.m_width && fy < s.m_height)) return false;
    return solid(static_cast<int>(fx), static_cast<int>(fy));
}

bool CollideBrute(const CSprite& a, const Pose& pa, const SBoundingBox& ba, const CSprite& b, const Pose& pb,
                  const SBoundingBox& bb) {
    const bool unrotated = pa.angle == 0.0f && pb.angle == 0.0f;
    const bool unscaled = pa.xs == 1.0f && pa.ys == 1.0f && pb.xs == 1.0f && pb.ys == 1.0f;
    const int path = unrotated ? (unscaled ? 0 : 1) : 2;
    for (int64_t x = std::max(ba.left, bb.left); x <= std::min(ba.right, bb.right); ++x)
        for (int64_t y = std::max(ba.top, bb.top); y <= std::min(ba.bottom, bb.bottom); ++y)
            if (SolidBrute(a, pa, x, y, path) && SolidBrute(b, pb, x, y, path)) return true;
    return false;
}

bool Collide(const CSprite& a, const Pose& pa, const SBoundingBox& ba, const CSprite& b, const Pose& pb,
             const SBoundingBox& bb) {
    return a.PreciseCollision(pa.frame, ba, pa.x, pa.y, pa.xs, pa.ys, pa.angle, &b, pb.frame, bb, pb.x, pb.y,
                              pb.xs, pb.ys, pb.angle);
}

} // namespace

TEST(SpriteCollision, AgreesWithABruteForceWalkForRotatedAndScaledSprites) {
    std::mt19937 rng(26);
    CSprite a, b;
    // Sparse random masks, two frames each, so that near misses are common.
    auto random = [&](CSprite& s, int w, int h) {
        std::vector<std::string> masks;
        for (int m = 0; m < 2; ++m) {
            std::string rows;
            for (int i = 0; i < w * h; ++i) rows += rng() % 5 == 0 ? '#' : '.';
            masks.push_back(rows);
        }
        SetMasks(s, w, h, masks, 2);
    };
    random(a, 13, 9);
    random(b, 7, 11);
    a.m_xorigin = 6, a.m_yorigin = 4;
    b.m_xorigin = 0, b.m_yorigin = 10;
    const float scales[] = {1.0f, 1.0f, 0.5f, 1.7f, -1.0f, 2.25f, -0.8f};
    const float angles[] = {0.0f, 0.0f, 30.0f, 90.0f, -45.0f, 211.5f, 0.5f, 179.9f};
    int hits = 0, misses = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        auto pose = [&] {
            return Pose{static_cast<int>(rng() % 41) - 20,
                        static_cast<int>(rng() % 41) - 20,
                        scales[rng() % 7],
                        scales[rng() % 7],
                        angles[rng() % 8],
                        static_cast<int>(rng() % 5) - 2};
        };
        Pose pa = pose(), pb = pose();
        if (trial % 3 == 0) pa.angle = pb.angle = 0.0f; // more of the unrotated paths
        if (trial % 6 == 0) pa.xs = pa.ys = pb.xs = pb.ys = 1.0f;
        if (trial % 5 == 1) { // far from the room's origin, where single precision is coarse
            pa.x += 300000, pa.y -= 200000;
            pb.x += 300000, pb.y -= 200000;
        }
        auto box = [&](const Pose& p) {
            const int r = 2 + static_cast<int>(rng() % 30);
            return SBoundingBox{p.x - r, p.y - r, p.x + r, p.y + r};
        };
        const SBoundingBox ba = box(pa), bb = box(pb);
        const bool expected = CollideBrute(a, pa, ba, b, pb, bb);
        ASSERT_EQ(Collide(a, pa, ba, b, pb, bb), expected) << "trial " << trial;
        (expected ? hits : misses)++;
    }
    EXPECT_GT(hits, 150);
    EXPECT_GT(misses, 300);
}

TEST(SpriteCollision, SinglePixelOverlapAndSolidSpritesWithoutMasks) {
    CSprite a, b;
    SetMasks(a, 2, 2,
             {".#"
              ".."});
    SetMasks(b, 2, 2,
             {".."
              "#."});
    // a at (0, 0), b at (1, -1): the boxes share pixel (1, 0).
    EXPECT_TRUE(Collide(a, {0, 0, 1, 1, 0, 0}, {0, 0, 1, 1}, b, {1, -1, 1, 1, 0, 0}, {1, -1, 2, 0}));
    SetMasks(b, 2, 2,
             {"##"
              ".#"});
    EXPECT_FALSE(Collide(a, {0, 0, 1, 1, 0, 0}, {0, 0, 1, 1}, b, {1, -1, 1, 1, 0, 0}, {1, -1, 2, 0}));
    b.FreeMask();
    EXPECT_TRUE(Collide(a, {0, 0, 1, 1, 0, 0}, {0, 0, 1, 1}, b, {1, -1, 1, 1, 0, 0}, {1, -1, 2, 0}))
        << "a sprite without masks is solid over its frame";
    EXPECT_FALSE(a.PreciseCollision(0, {0, 0, 1, 1}, 0, 0, 1, 1, 0, nullptr, 0, {}, 0, 0, 1, 1, 0));
    b.m_numb = 0;
    EXPECT_FALSE(Collide(a, {0, 0, 1, 1, 0, 0}, {0, 0, 1, 1}, b, {1, -1, 1, 1, 0, 0}, {1, -1, 2, 0}));
}

TEST(SpriteCollision, MaskByFrame) {
    CSprite sprite;
    SetMasks(sprite, 1, 1, {"#"}, 6);
    EXPECT_TRUE(sprite.PreciseCollisionPoint(5, {0, 0, 0, 0}, 0, 0, 1, 1, 0, 0, 0)) << "frame 5 uses mask 0";
    SetMasks(sprite, 1, 1, {".", ".", ".", "#"}, 4);
    EXPECT_TRUE(sprite.PreciseCollisionPoint(-1, {0, 0, 0, 0}, 0, 0, 1, 1, 0, 0, 0))
        << "frame -1 uses mask 3";
    EXPECT_FALSE(sprite.PreciseCollisionPoint(2, {0, 0, 0, 0}, 0, 0, 1, 1, 0, 0, 0));
}

// x scale 2, origin 0: room column x0 − 1 maps to −0.5.
TEST(SpriteCollision, TruncationInTheSpriteTestAndFlooringInThePointTest) {
    CSprite sprite, dot;
    SetMasks(sprite, 2, 1, {"##"});
    SetMasks(dot, 1, 1, {"#"});
    EXPECT_FALSE(sprite.PreciseCollisionPoint(0, {-5, 0, 5, 0}, 10, 0, 2, 1, 0, 9, 0));
    EXPECT_TRUE(sprite.PreciseCollisionPoint(0, {-5, 0, 5, 0}, 10, 0, 2, 1, 0, 10, 0));
    EXPECT_TRUE(Collide(sprite, {10, 0, 2, 1, 0, 0}, {0, 0, 20, 0}, dot, {9, 0, 1, 1, 0, 0}, {9, 0, 9, 0}));
}

TEST(SpriteCollision, RotationTurnsAnticlockwiseOnScreen) {
    CSprite bar;
    SetMasks(bar, 10, 1, {"##########"});
    const SBoundingBox box{-20, -20, 20, 20};
    EXPECT_TRUE(bar.PreciseCollisionPoint(0, box, 0, 0, 1, 1, 90, 0, -9));
    EXPECT_FALSE(bar.PreciseCollisionPoint(0, box, 0, 0, 1, 1, 90, 9, 0));
    EXPECT_TRUE(bar.PreciseCollisionRectangle(0, box, 0, 0, 1, 1, 90, {-1, -9, 1, -9}));
    EXPECT_FALSE(bar.PreciseCollisionRectangle(0, box, 0, 0, 1, 1, 90, {5, -3, 9, 3}));
}

TEST(SpriteCollision, ShapesAgainstAMask) {
    // A hollow 5 × 5 square at (0, 0).
    CSprite ring;
    SetMasks(ring, 5, 5,
             {"#####"
              "#...#"
              "#...#"
              "#...#"
              "#####"});
    const SBoundingBox box{0, 0, 4, 4};
    struct Case {
        const char* what;
        bool hit;
        std::function<bool()> test;
    };
    const Case cases[] = {
        {"point in the hole", false, [&] { return ring.PreciseCollisionPoint(0, box, 0, 0, 1, 1, 0, 2, 2); }},
        {"point on the edge", true, [&] { return ring.PreciseCollisionPoint(0, box, 0, 0, 1, 1, 0, 4, 2); }},
        {"rectangle in the hole", false,
         [&] {
             return ring.PreciseCollisionRectangle(0, box, 0, 0, 1, 1, 0, {1, 1, 3, 3});
         }},
        {"rectangle over the edge", true,
         [&] {
             return ring.PreciseCollisionRectangle(0, box, 0, 0, 1, 1, 0, {3, 1, 9, 3});
         }},
        {"scaled ring: its hole grows", false,
         [&] {
             return ring.PreciseCollisionRectangle(0, {0, 0, 9, 9}, 0, 0, 2, 2, 0, {2, 2, 7, 7});
         }},
        {"ellipse inside the hole", false,
         [&] {
             return ring.PreciseCollisionEllipse(0, box, 0, 0, 1, 1, 0, {1, 1, 3, 3});
         }},
        {"ellipse reaching the ring's sides", true,
         [&] {
             return ring.PreciseCollisionEllipse(0, box, 0, 0, 1, 1, 0, {0, 0, 4, 4});
         }},
        {"zero-width ellipse: its centre column only", true,
         [&] {
             return ring.PreciseCollisionEllipse(0, box, 0, 0, 1, 1, 0, {2, -3, 2, 1});
         }},
        {"zero-width ellipse off the ring's columns", false,
         [&] {
             return ring.PreciseCollisionEllipse(0, box, 0, 0, 1, 1, 0, {2, 1, 2, 3});
         }},
        {"shallow line through the hole", false,
         [&] { return ring.PreciseCollisionLine(0, box, 0, 0, 1, 1, 0, 1, 2, 3, 3); }},
        {"shallow line reaching the edge", true,
         [&] { return ring.PreciseCollisionLine(0, box, 0, 0, 1, 1, 0, 1, 2, 10, 2); }},
        {"steep line through the hole", false,
         [&] { return ring.PreciseCollisionLine(0, box, 0, 0, 1, 1, 0, 2, 1, 3, 3); }},
        {"steep line reaching the edge", true,
         [&] { return ring.PreciseCollisionLine(0, box, 0, 0, 1, 1, 0, 2, 1, 3, 10); }},
        {"horizontal line is a rectangle", true,
         [&] { return ring.PreciseCollisionLine(0, box, 0, 0, 1, 1, 0, -3, 0, 3, 0); }},
    };
    for (const Case& c : cases) EXPECT_EQ(c.test(), c.hit) << c.what;
    ring.FreeMask();
    EXPECT_TRUE(ring.PreciseCollisionPoint(0, box, 0, 0, 1, 1, 0, 2, 2)) << "without masks the box stands";
}

// Huge boxes (an instance scaled far up, or a damaged position) are walked
// only where the frame can be: these return at once.
TEST(SpriteCollision, HugeBoxesAreWalkedOnlyOverTheFrame) {
    CSprite a, b;
    SetMasks(a, 2, 2, {"...."});
    SetMasks(b, 2, 2, {"...."});
    const SBoundingBox all{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
    EXPECT_FALSE(Collide(a, {0, 0, 1, 1, 0, 0}, all, b, {1, 1, 1, 1, 0, 0}, all));
    EXPECT_FALSE(Collide(a, {0, 0, 3, 3, 0, 0}, all, b, {1, 1, 1, 1, 0, 0}, all));
    EXPECT_FALSE(Collide(a, {0, 0, 3, 3, 10, 0}, all, b, {1, 1, 1, 1, 0, 0}, all));
    EXPECT_FALSE(a.PreciseCollisionRectangle(0, all, 0, 0, 1, 1, 0, all));
    EXPECT_FALSE(a.PreciseCollisionEllipse(0, all, 0, 0, 2, 1, 5, all));
    EXPECT_FALSE(
        a.PreciseCollisionLine(0, all, 0, 0, 1, 1, 0, INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX));
}
