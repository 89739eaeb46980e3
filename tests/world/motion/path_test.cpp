// Paths: straight, smooth and closed polylines, lengths and times, positions
// at a fraction, point editing, transformations and draw vertices.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <utility>
#include <vector>

#include "world/motion/path.h"

namespace {

struct XY {
    float x, y;
    bool operator==(const XY&) const = default;
};

std::ostream& operator<<(std::ostream& os, const XY& p) {
    return os << "(" << p.x << ", " << p.y << ")";
}

std::vector<XY> Computed(const CPath& path) {
    std::vector<XY> out;
    const PathComputedPoint* q = path.GetComputedPoints();
    for (int i = 0; i < path.GetComputedCount(); ++i) out.push_back({q[i].x, q[i].y});
    return out;
}

std::vector<XY> Controls(const CPath& path) {
    std::vector<XY> out;
    for (int i = 0; i < path.GetCount(); ++i) out.push_back({path.GetPoint(i).x, path.GetPoint(i).y});
    return out;
}

void Build(CPath& path, std::initializer_list<XY> points, int kind, bool closed, int precision = 4) {
    path.SetKind(kind);
    path.SetClosed(closed);
    path.SetPrecision(precision);
    for (const XY& p : points) path.AddPoint(p.x, p.y, 100.0f);
}

XY Position(const CPath& path, float t) {
    float x, y, speed;
    path.GetPosition(t, x, y, speed);
    return {x, y};
}

std::vector<XY> DrawVertices(const CPath& path, float x, float y, bool absolute) {
    std::vector<XY> out;
    int n = path.ForEachDrawVertex(x, y, absolute, [&](float vx, float vy) { out.push_back({vx, vy}); });
    EXPECT_EQ(n, static_cast<int>(out.size()));
    return out;
}

} // namespace

TEST(Path, NewPathAndDefaults) {
    CPath path;
    EXPECT_EQ(path.GetCount(), 0);
    EXPECT_EQ(path.GetKind(), 0);
    EXPECT_TRUE(path.GetClosed());
    EXPECT_EQ(path.GetPrecision(), 4);
    EXPECT_EQ(path.GetPathLength(), 0.0f);
    EXPECT_EQ(path.GetPathTime(), 0.0f);
    float x, y, speed;
    path.GetPosition(0.5f, x, y, speed);
    EXPECT_EQ(XY(x, y), XY(0, 0));
    EXPECT_EQ(speed, 100.0f);
    PathPoint outside = path.GetPoint(-1);
    EXPECT_EQ(XY(outside.x, outside.y), XY(0, 0));
    EXPECT_EQ(outside.speed, 1.0f) << "the default point's speed is 1, not 100";
}

TEST(Path, StraightOpenAndClosed) {
    CPath path;
    Build(path, {{0, 0}, {100, 0}}, 0, false);
    EXPECT_EQ(path.GetPathLength(), 100.0f);
    EXPECT_EQ(Position(path, 0.5f), XY(50, 0));
    EXPECT_EQ(Position(path, 1.0f), XY(100, 0));
    EXPECT_EQ(Position(path, 7.0f), XY(100, 0)) << "t is clamped";
    EXPECT_EQ(Position(path, NAN), XY(0, 0)) << "NaN counts as 0";

    path.SetClosed(true);
    EXPECT_EQ(Computed(path), (std::vector<XY>{{0, 0}, {100, 0}, {0, 0}}));
    EXPECT_EQ(path.GetPathLength(), 200.0f);
    EXPECT_EQ(path.GetPathTime(), 200.0f) << "every speed 100: time equals length";
    EXPECT_EQ(Position(path, 0.75f), XY(50, 0));
    EXPECT_EQ(path.GetComputedPoints()[2].l, 200.0f);

    CPath single;
    Build(single, {{7, 8}}, 0, true);
    EXPECT_EQ(Computed(single), (std::vector<XY>{{7, 8}, {7, 8}}));
    EXPECT_EQ(Position(single, 0.5f), XY(7, 8)) << "length 0 answers the first point";
}

TEST(Path, SpeedsWeightTimeAndInterpolate) {
    CPath path;
    path.SetClosed(false);
    path.AddPoint(0, 0, 50);
    path.AddPoint(100, 0, 150);
    EXPECT_EQ(path.Speed(0.5f), 100.0f);
    EXPECT_EQ(path.XPosition(0.25f), 25.0f);
    EXPECT_EQ(path.YPosition(0.25f), 0.0f);
    EXPECT_EQ(path.GetPathTime(), 100.0f);

    path.ChangePoint(1, 100, 0, 0);
    path.ChangePoint(0, 0, 0, 0);
    EXPECT_TRUE(std::isinf(path.GetPathTime()) || std::isnan(path.GetPathTime()))
        << "a speed of 0 makes the segment's time infinite";
    EXPECT_EQ(path.GetPathLength(), 100.0f);
}

TEST(Path, SmoothOpenPathKeepsItsEndsAndSubdividesEachPiece) {
    // One piece from (50,0) over (100,0) to (100,50).
    struct Case {
        int precision;
        int count;
    } cases[] = {{0, 2}, {1, 3}, {2, 5}, {3, 9}};
    for (const Case& c : cases) {
        CPath path;
        Build(path, {{0, 0}, {100, 0}, {100, 100}}, 1, false, c.precision);
        std::vector<XY> q = Computed(path);
        ASSERT_EQ(static_cast<int>(q.size()), c.count) << "precision " << c.precision;
        EXPECT_EQ(q.front(), XY(0, 0));
        EXPECT_EQ(q.back(), XY(100, 100));
        if (c.precision >= 1) {
            EXPECT_EQ(q[q.size() / 2], XY(87.5f, 12.5f)) << "the curve's middle";
        }
        for (size_t i = 1; i < q.size(); ++i) {
            EXPECT_GE(q[i].x, q[i - 1].x) << "points come out in order along the curve";
            EXPECT_GE(q[i].y, q[i - 1].y);
        }
    }

    // Legs of 4 pixels or less are not split however deep the precision goes.
    CPath tight;
    Build(tight, {{0, 0}, {4, 0}, {4, 4}}, 1, false, 8);
    EXPECT_EQ(Computed(tight), (std::vector<XY>{{0, 0}, {3.5f, 0.5f}, {4, 4}}));

    // Deep subdivision stops where legs become short: fewer than 2^8 - 1.
    CPath deep;
    Build(deep, {{0, 0}, {100, 0}, {100, 100}}, 1, false, 8);
    EXPECT_GT(deep.GetComputedCount(), 2 + 15);
    EXPECT_LT(deep.GetComputedCount(), 2 + 255);

    // Fewer than three points: no pieces, only the ends.
    CPath two;
    Build(two, {{0, 0}, {10, 0}}, 1, false);
    EXPECT_EQ(Computed(two), (std::vector<XY>{{0, 0}, {10, 0}}));
}

TEST(Path, SmoothClosedPath) {
    CPath one;
    Build(one, {{5, 6}}, 1, true, 1);
    EXPECT_EQ(Computed(one), (std::vector<XY>{{5, 6}, {5, 6}}));
    one.SetPrecision(0);
    EXPECT_EQ(one.GetComputedCount(), 0) << "no piece points and so no first point to repeat";

    // A square: one piece at each corner, ending where it began.
    CPath square;
    Build(square, {{0, 0}, {100, 0}, {100, 100}, {0, 100}}, 1, true, 1);
    std::vector<XY> q = Computed(square);
    EXPECT_EQ(
        q, (std::vector<XY>{{87.5f, 12.5f}, {87.5f, 87.5f}, {12.5f, 87.5f}, {12.5f, 12.5f}, {87.5f, 12.5f}}));
    EXPECT_EQ(square.GetPathLength(), 300.0f);
}

TEST(Path, SettersCorrectOutOfRangeValues) {
    CPath path;
    path.SetKind(5);
    EXPECT_EQ(path.GetKind(), 0);
    path.SetKind(1);
    EXPECT_EQ(path.GetKind(), 1);
    path.SetPrecision(20);
    EXPECT_EQ(path.GetPrecision(), 8);
    path.SetPrecision(-3);
    EXPECT_EQ(path.GetPrecision(), 0);
}

TEST(Path, PointEditingAndOutOfRangeIndexes) {
    CPath path;
    path.SetClosed(false);
    EXPECT_EQ(path.AddPoint(0, 0, 100), 0);
    EXPECT_EQ(path.AddPoint(10, 0, 100), 1);
    EXPECT_EQ(path.GetPathLength(), 10.0f);

    path.InsertPoint(path.GetCount(), 10, 10, 100); // appends
    EXPECT_EQ(path.GetPathLength(), 20.0f);
    path.InsertPoint(0, 0, 10, 100);
    EXPECT_EQ(Controls(path), (std::vector<XY>{{0, 10}, {0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(path.GetPathLength(), 30.0f);

    path.InsertPoint(path.GetCount() + 1, 99, 99, 100);
    path.InsertPoint(-1, 99, 99, 100);
    path.DeletePoint(path.GetCount());
    path.DeletePoint(-1);
    path.ChangePoint(4, 99, 99, 100);
    EXPECT_EQ(path.GetCount(), 4) << "out-of-range indexes change nothing";

    path.DeletePoint(0);
    EXPECT_EQ(path.GetPathLength(), 20.0f);
    path.ChangePoint(2, 10, 20, 100);
    EXPECT_EQ(path.GetPathLength(), 30.0f);

    path.Clear();
    EXPECT_EQ(path.GetCount(), 0);
    EXPECT_EQ(path.GetPathLength(), 0.0f);
    EXPECT_FALSE(path.GetClosed()) << "clearing keeps the settings";
    path.AddPoint(1, 1, 100);
    EXPECT_EQ(path.GetCount(), 1);

    // Many points one by one, read back in order.
    CPath many;
    many.SetClosed(false);
    for (int i = 0; i < 1000; ++i) many.AddPoint(static_cast<float>(i), 0, 100);
    EXPECT_EQ(many.GetPathLength(), 999.0f);
    EXPECT_EQ(many.GetPoint(999).x, 999.0f);
}

TEST(Path, AssignAndAppend) {
    CPath source;
    Build(source, {{0, 0}, {10, 0}}, 1, false, 3);
    CPath copy;
    copy.AddPoint(5, 5, 5);
    copy.Assign(&source);
    EXPECT_EQ(Controls(copy), Controls(source));
    EXPECT_EQ(copy.GetKind(), 1);
    EXPECT_FALSE(copy.GetClosed());
    EXPECT_EQ(copy.GetPrecision(), 3);
    source.ChangePoint(0, 50, 50, 100);
    EXPECT_EQ(copy.GetPoint(0).x, 0.0f) << "the copy owns its points";
    copy.Assign(&copy);
    copy.Assign(nullptr);
    EXPECT_EQ(copy.GetCount(), 2);

    copy.Append(&copy);
    EXPECT_EQ(Controls(copy), (std::vector<XY>{{0, 0}, {10, 0}, {0, 0}, {10, 0}}));
    CPath empty;
    copy.Append(&empty);
    copy.Append(nullptr);
    EXPECT_EQ(copy.GetCount(), 4);
}

TEST(Path, TransformsAboutTheCentre) {
    CPath path;
    Build(path, {{0, 0}, {10, 0}}, 0, false);
    float cx, cy;
    path.Center(cx, cy);
    EXPECT_EQ(XY(cx, cy), XY(5, 0));

    path.Mirror();
    EXPECT_EQ(Controls(path), (std::vector<XY>{{10, 0}, {0, 0}}));
    path.Mirror();

    // A positive angle turns counter-clockwise on screen: the point right of
    // the centre goes above it (y grows downwards).
    path.Rotate(90);
    EXPECT_NEAR(path.GetPoint(1).x, 5.0f, 1e-5);
    EXPECT_NEAR(path.GetPoint(1).y, -5.0f, 1e-5);
    EXPECT_NEAR(path.GetPoint(0).x, 5.0f, 1e-5);
    EXPECT_NEAR(path.GetPoint(0).y, 5.0f, 1e-5);

    CPath box;
    Build(box, {{0, 0}, {10, 10}}, 0, false);
    box.Scale(2, 3);
    EXPECT_EQ(Controls(box), (std::vector<XY>{{-5, -10}, {15, 20}}));
    box.Flip();
    EXPECT_EQ(Controls(box), (std::vector<XY>{{-5, 20}, {15, -10}}));
    box.Shift(5, 10);
    EXPECT_EQ(Controls(box), (std::vector<XY>{{0, 30}, {20, 0}}));
    EXPECT_FLOAT_EQ(box.GetPathLength(), std::sqrt(20.0f * 20 + 30 * 30)) << "transforms recompute";

    box.AddPoint(7, 7, 100);
    box.Reverse();
    EXPECT_EQ(Controls(box), (std::vector<XY>{{7, 7}, {20, 0}, {0, 30}}));
    CPath one;
    one.AddPoint(1, 2, 100);
    one.Reverse();
    EXPECT_EQ(Controls(one), (std::vector<XY>{{1, 2}}));

    CPath none;
    none.Center(cx, cy);
    EXPECT_EQ(XY(cx, cy), XY(0, 0));
    // Coordinates far out still give their own bounding box.
    CPath far;
    Build(far, {{2e8f, 5e8f}, {4e8f, 7e8f}}, 0, false);
    far.Center(cx, cy);
    EXPECT_EQ(XY(cx, cy), XY(3e8f, 6e8f));
}

TEST(Path, PositionsMatchAWalkAlongThePolyline) {
    // The position search against a plain walk from the first point.
    std::mt19937 random(7);
    std::uniform_real_distribution<float> coordinate(-300.0f, 300.0f);
    CPath path;
    Build(path, {}, 1, true, 5);
    for (int i = 0; i < 40; ++i) path.AddPoint(coordinate(random), coordinate(random), 20.0f + i);
    path.AddPoint(0, 0, 100); // a repeated point: zero-length segments
    path.AddPoint(0, 0, 100);
    const PathComputedPoint* q = path.GetComputedPoints();
    const int m = path.GetComputedCount();
    ASSERT_GT(m, 100);
    for (int i = 1; i < 1000; ++i) {
        float t = i / 1000.0f;
        float d = path.GetPathLength() * t;
        int k = 0;
        while (k < m - 2 && d >= q[k + 1].l) ++k;
        float ex = q[k].x, ey = q[k].y, es = q[k].speed;
        if (q[k + 1].l != q[k].l) {
            float f = (d - q[k].l) / (q[k + 1].l - q[k].l);
            ex = q[k].x + (q[k + 1].x - q[k].x) * f;
            ey = q[k].y + (q[k + 1].y - q[k].y) * f;
            es = q[k].speed + (q[k + 1].speed - q[k].speed) * f;
        }
        float x, y, s;
        path.GetPosition(t, x, y, s);
        ASSERT_EQ(XY(x, y), XY(ex, ey)) << "t = " << t;
        ASSERT_EQ(s, es);
    }
}

TEST(Path, DrawVertices) {
    CPath shortPath;
    Build(shortPath, {{0, 0}, {2, 0}}, 0, false);
    EXPECT_TRUE(DrawVertices(shortPath, 0, 0, false).empty()) << "length 2: 0.5 segments round to 0";

    CPath path;
    Build(path, {{5, 5}, {11, 5}}, 0, false); // length 6: 1.5 rounds to 2 segments
    EXPECT_EQ(DrawVertices(path, 10, 20, false), (std::vector<XY>{{10, 20}, {13, 20}, {16, 20}}))
        << "relative: the path starts at the given point";
    EXPECT_EQ(DrawVertices(path, 1, 1, true), (std::vector<XY>{{6, 6}, {9, 6}, {12, 6}}));

    CPath ten;
    Build(ten, {{0, 0}, {10, 0}}, 0, false); // 2.5 rounds to 2 (half to even)
    EXPECT_EQ(DrawVertices(ten, 0, 0, true).size(), 3u);

    // The renderer keeps 1001 vertices of a primitive; no more are made.
    CPath longPath;
    Build(longPath, {{0, 0}, {8000, 0}}, 0, false);
    std::vector<XY> v = DrawVertices(longPath, 0, 0, true);
    ASSERT_EQ(v.size(), 1001u);
    EXPECT_EQ(v.back(), XY(4000, 0));

    CPath broken;
    Build(broken, {{0, 0}, {INFINITY, 0}}, 0, false);
    EXPECT_TRUE(DrawVertices(broken, 0, 0, true).empty()) << "an infinite length draws nothing";
    path.Draw(0, 0, false); // through the renderer's calls
}
