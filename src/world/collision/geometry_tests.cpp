// The containment tests behind point_in_* and rectangle_in_*. Numbers are read
// as floats and the arithmetic is done in floats, so results on edges match
// what scripts have always seen.
#include "world/collision/geometry_tests.h"

#include <algorithm>
#include <cmath>

#include "core/arguments.h"
#include "core/rvalue.h"

int Point_In_Rectangle(float px, float py, float x1, float y1, float x2, float y2) {
    return (y1 <= py && py <= y2 && x1 <= px && px <= x2) ? 1 : 0;
}

// With A = v3 - v1, B = v2 - v1 and P = p - v1, the point is v1 + u A + w B
// with u = (BB AP - AB BP) / d and w = (AA BP - AB AP) / d; it is inside when
// u >= 0, w >= 0 and u + w < 1. A degenerate triangle makes inv infinite or
// NaN, and every comparison with NaN is false: such a triangle holds nothing.
bool Point_In_Triangle(float px, float py, float x1, float y1, float x2, float y2, float x3, float y3) {
    const float ax = x3 - x1, ay = y3 - y1;
    const float bx = x2 - x1, by = y2 - y1;
    const float qx = px - x1, qy = py - y1;
    const float aa = ax * ax + ay * ay, ab = ax * bx + ay * by, ap = ax * qx + ay * qy;
    const float bb = bx * bx + by * by, bp = bx * qx + by * qy;
    const float inv = 1.0f / (aa * bb - ab * ab);
    const float u = bb * ap - ab * bp;
    const float w = aa * bp - ab * ap;
    return inv * u >= 0.0f && inv * w >= 0.0f && inv * (u + w) < 1.0f;
}

int Point_In_Circle(float px, float py, float cx, float cy, float r) {
    const float dx = px - cx, dy = py - cy;
    return std::sqrt(dx * dx + dy * dy) <= r ? 1 : 0;
}

int Rectangle_In_Rectangle(float sx1, float sy1, float sx2, float sy2, float dx1, float dy1, float dx2,
                           float dy2) {
    const float sl = std::min(sx1, sx2), sr = std::max(sx1, sx2), st = std::min(sy1, sy2),
                sb = std::max(sy1, sy2);
    const float dl = std::min(dx1, dx2), dr = std::max(dx1, dx2), dt = std::min(dy1, dy2),
                db = std::max(dy1, dy2);
    if (sl >= dl && sr <= dr && st >= dt && sb <= db) return 1;
    // Two closed axis-aligned rectangles share a point exactly when their
    // ranges overlap on both axes (corners inside, crossing or touching edges).
    if (sl <= dr && dl <= sr && st <= db && dt <= sb) return 2;
    return 0;
}

int Rectangle_In_Triangle(float sx1, float sy1, float sx2, float sy2, float x1, float y1, float x2, float y2,
                          float x3, float y3) {
    const int inside = (Point_In_Triangle(sx1, sy1, x1, y1, x2, y2, x3, y3) ? 1 : 0) +
                       (Point_In_Triangle(sx2, sy1, x1, y1, x2, y2, x3, y3) ? 1 : 0) +
                       (Point_In_Triangle(sx2, sy2, x1, y1, x2, y2, x3, y3) ? 1 : 0) +
                       (Point_In_Triangle(sx1, sy2, x1, y1, x2, y2, x3, y3) ? 1 : 0);
    return inside == 4 ? 1 : (inside == 0 ? 0 : 2);
}

int Rectangle_In_Circle(float sx1, float sy1, float sx2, float sy2, float cx, float cy, float r) {
    const float nx = std::min(std::max(sx1, cx), sx2), ny = std::min(std::max(sy1, cy), sy2);
    const float r2 = r * r;
    auto d2 = [&](float x, float y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy); };
    if (d2(nx, ny) > r2) return 0;
    const bool all = d2(sx1, sy1) <= r2 && d2(sx2, sy1) <= r2 && d2(sx2, sy2) <= r2 && d2(sx1, sy2) <= r2;
    return all ? 1 : 2;
}

namespace {

// Arguments 0..n-1 as floats.
template <int N>
struct Floats {
    float v[N];
    explicit Floats(const RValue* args) {
        for (int i = 0; i < N; ++i) v[i] = ZQGetFloat(args, i);
    }
};

void F_PointInRectangle(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Floats<6> a(args);
    ZQSetResultReal(result, Point_In_Rectangle(a.v[0], a.v[1], a.v[2], a.v[3], a.v[4], a.v[5]));
}

void F_PointInTriangle(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Floats<8> a(args);
    ZQSetResultReal(
        result, Point_In_Triangle(a.v[0], a.v[1], a.v[2], a.v[3], a.v[4], a.v[5], a.v[6], a.v[7]) ? 1 : 0);
}

void F_PointInCircle(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Floats<5> a(args);
    ZQSetResultReal(result, Point_In_Circle(a.v[0], a.v[1], a.v[2], a.v[3], a.v[4]));
}

void F_RectangleInRectangle(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Floats<8> a(args);
    ZQSetResultReal(result,
                    Rectangle_In_Rectangle(a.v[0], a.v[1], a.v[2], a.v[3], a.v[4], a.v[5], a.v[6], a.v[7]));
}

void F_RectangleInTriangle(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Floats<10> a(args);
    ZQSetResultReal(result, Rectangle_In_Triangle(a.v[0], a.v[1], a.v[2], a.v[3], a.v[4], a.v[5], a.v[6],
                                                  a.v[7], a.v[8], a.v[9]));
}

void F_RectangleInCircle(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Floats<7> a(args);
    ZQSetResultReal(result, Rectangle_In_Circle(a.v[0], a.v[1], a.v[2], a.v[3], a.v[4], a.v[5], a.v[6]));
}

const GameBuiltinRow kGeometryBuiltins[] = {
    {"point_in_rectangle", F_PointInRectangle},
    {"point_in_triangle", F_PointInTriangle},
    {"point_in_circle", F_PointInCircle},
    {"rectangle_in_rectangle", F_RectangleInRectangle},
    {"rectangle_in_triangle", F_RectangleInTriangle},
    {"rectangle_in_circle", F_RectangleInCircle},
};

} // namespace

std::span<const GameBuiltinRow> GeometryTests_Builtins() {
    return kGeometryBuiltins;
}
