// Instance bounding box and shape tests against the fake sprites: box 0..31,
// origin 16 (sprite 0) or 0 (sprite 1); sprite 2 has no frames.
#include <gtest/gtest.h>

#include <limits>

#include "instance_fixture.h"
#include "world/datafile/options.h"

namespace {

using InstanceBox = InstanceScene;

SBoundingBox BoxOf(CInstance& i) {
    i.Compute_BoundingBox(true);
    return i.i_bbox;
}

TEST_F(InstanceBox, EdgesFromSpriteOriginScaleAndAngle) {
    const struct {
        int sprite;
        float x, y, xscale, yscale, angle;
        SBoundingBox box;
    } cases[] = {
        {0, 100, 100, 1, 1, 0, {84, 84, 115, 115}},
        {1, 100, 100, 1, 1, 0, {100, 100, 131, 131}},
        {1, 100, 100, -1, 1, 0, {68, 100, 99, 131}},
        {1, 100, 100, 2, 0.5f, 0, {100, 100, 163, 115}},
        {1, 100, 100, 1, 1, 90, {100, 68, 131, 99}},
        {1, 100, 100, 1, 1, std::numeric_limits<float>::quiet_NaN(), {100, 100, 131, 131}},
        {-1, 10.7f, -3.7f, 1, 1, 0, {10, -3, 10, -3}}, // no sprite: the position, truncated
    };
    for (const auto& c : cases) {
        CInstance i(c.x, c.y, 1, -1, false);
        i.SetSpriteIndex(c.sprite);
        i.i_imagescalex = c.xscale;
        i.i_imagescaley = c.yscale;
        i.i_imageangle = c.angle;
        const SBoundingBox b = BoxOf(i);
        EXPECT_EQ(b.left, c.box.left) << c.sprite << " " << c.angle;
        EXPECT_EQ(b.top, c.box.top) << c.sprite << " " << c.angle;
        EXPECT_EQ(b.right, c.box.right) << c.sprite << " " << c.angle;
        EXPECT_EQ(b.bottom, c.box.bottom) << c.sprite << " " << c.angle;
        EXPECT_FALSE(i.m_bboxDirty);
    }
}

TEST_F(InstanceBox, MaskSpriteAndConversionMode) {
    CInstance i(100.6f, 100, 1, -1, false);
    i.SetSpriteIndex(1);
    i.Set_MaskIndex(0); // the mask decides: origin 16
    EXPECT_EQ(BoxOf(i).left, 85) << "nearest integer";
    option_use_fast_collision = true;
    EXPECT_EQ(BoxOf(i).left, 84) << "fast collision truncates";
    option_fast_collision_compatibility = true;
    EXPECT_EQ(BoxOf(i).left, 85) << "unless its compatibility option is on";
    option_use_fast_collision = option_fast_collision_compatibility = false;
}

TEST_F(InstanceBox, HugeAndNonFinitePositionsGiveDefinedEdges) {
    for (float x :
         {1e30f, -1e30f, std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN()}) {
        CInstance i(x, 0, 1, -1, false);
        i.SetSpriteIndex(0);
        const SBoundingBox b = BoxOf(i);
        EXPECT_LE(b.left, int64_t{b.right} + 1) << x;
        i.SetSpriteIndex(-1);
        BoxOf(i);
    }
}

class InstanceShapes : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        m_a = std::make_unique<CInstance>(100, 100, 1, -1, false); // box 84..115 square
        m_a->SetSpriteIndex(0);
    }
    std::unique_ptr<CInstance> m_a;
};

TEST_F(InstanceShapes, PointAndRectangle) {
    CInstance& a = *m_a;
    EXPECT_TRUE(a.Collision_Point(115, 100, false)) << "the right edge column";
    EXPECT_TRUE(a.Collision_Point(115.9f, 100, false));
    EXPECT_FALSE(a.Collision_Point(116, 100, false));
    EXPECT_TRUE(a.Collision_Point(84, 84, true));
    EXPECT_FALSE(a.Collision_Point(83.9f, 100, false));
    EXPECT_TRUE(a.Collision_Rectangle(120, 90, 115.5f, 95, false)) << "corners in any order";
    EXPECT_FALSE(a.Collision_Rectangle(116, 90, 120, 95, false));
    EXPECT_FALSE(a.Collision_Rectangle(0, 0, 83.9f, 200, false));
    a.i_marked = true;
    EXPECT_FALSE(a.Collision_Point(100, 100, false)) << "a marked instance never collides";
    a.i_marked = false;
    a.Set_MaskIndex(2);
    EXPECT_FALSE(a.Collision_Point(100, 100, false)) << "a collision sprite without frames";
}

TEST_F(InstanceShapes, Ellipse) {
    CInstance& a = *m_a;
    EXPECT_TRUE(a.Collision_Ellipse(60, 60, 100, 100, false)) << "a box corner inside";
    EXPECT_FALSE(a.Collision_Ellipse(40, 40, 90, 90, false)) << "the rectangle's corner only";
    EXPECT_TRUE(a.Collision_Ellipse(0, 90, 200, 95, false)) << "the box straddles the centre line";
    EXPECT_TRUE(a.Collision_Ellipse(115, 0, 115.2f, 200, false)) << "one pixel wide: the rectangle test";
    EXPECT_FALSE(a.Collision_Ellipse(116, 0, 116.2f, 200, false));
    // Two pixels wide: an integer half-size of 0, tested as the rectangle.
    EXPECT_TRUE(a.Collision_Ellipse(115, 0, 116, 50, false) == a.Collision_Rectangle(115, 0, 116, 50, false));
    EXPECT_TRUE(a.Collision_Ellipse(114, 20, 116, 83, false) ==
                a.Collision_Rectangle(114, 20, 116, 83, false));
}

TEST_F(InstanceShapes, Line) {
    CInstance& a = *m_a;
    EXPECT_TRUE(a.Collision_Line(0, 0, 200, 200, false));
    EXPECT_TRUE(a.Collision_Line(200, 200, 0, 0, false)) << "ends in either order";
    EXPECT_FALSE(a.Collision_Line(60, 80, 90, 130, false)) << "passes below the box's corner";
    EXPECT_FALSE(a.Collision_Line(0, 200, 80, 100, false));
    EXPECT_TRUE(a.Collision_Line(100, 0, 100, 200, false)) << "vertical";
}

TEST_F(InstanceShapes, TwoInstancesOverlapIncludingEdges) {
    CInstance b(131, 100, 2, -1, false); // box 115..146
    b.SetSpriteIndex(0);
    EXPECT_TRUE(m_a->Collision_Instance(&b, true));
    b.SetPosition(132, 100); // 116..147
    EXPECT_FALSE(m_a->Collision_Instance(&b, false));
    EXPECT_FALSE(m_a->Collision_Instance(m_a.get(), false)) << "never with itself";
    b.SetPosition(100, 100);
    b.i_marked = true;
    EXPECT_FALSE(m_a->Collision_Instance(&b, false));
    b.i_marked = false;
    b.Set_MaskIndex(2);
    EXPECT_FALSE(m_a->Collision_Instance(&b, false)) << "the other's sprite has no frames";
}

} // namespace
