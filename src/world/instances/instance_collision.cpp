// Instance bounding box and shape tests: the box from the collision sprite
// (inclusive integer rectangle), and point, rectangle, ellipse, line and
// instance-against-instance tests, each a box test refined by the sprite's
// per-pixel test when asked for precision.
#include <algorithm>
#include <cmath>

#include "core/real_to_int.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/instances/instance_tree.h"

namespace {

constexpr float kDegToRad = 0.017453292f;

// The box's conversion of a real edge: truncation under fast collision
// without its compatibility option, otherwise the nearest integer (halves to
// even). Edges are kept in 64 bits until clamped, so huge positions and the
// "- 1" of the right and bottom edges never overflow.
inline int64_t BoxEdge(double d) {
    // Far beyond any 32-bit edge, and NaN joins the low end.
    constexpr double kLimit = 1e12;
    if (!(d >= -kLimit)) d = -kLimit;
    if (d > kLimit) d = kLimit;
    const bool truncate = option_use_fast_collision && !option_fast_collision_compatibility;
    return truncate ? RealToInt64(d) : RealRoundToInt64(d);
}

inline int32_t ClampEdge(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

inline int Nearest(double d) {
    return RealRoundToInt32(d);
}

inline bool HasFrames(const CSprite* sprite) {
    return sprite != nullptr && sprite->m_numb > 0;
}

} // namespace

CSprite* CInstance::CollisionSprite() const {
    return Sprite_Data(i_maskindex >= 0 ? i_maskindex : i_spriteindex);
}

// Recomputes the box; with `updateTree` the instance tree re-files the
// instance from its previous box to the new one.
void CInstance::Compute_BoundingBox(bool updateTree) {
    const SBoundingBox previous = i_bbox;
    ComputeBox();
    if (updateTree && option_use_fast_collision) CollisionUpdate(this, previous);
}

void CInstance::ComputeBox() {
    const CSprite* sprite = CollisionSprite();
    if (sprite == nullptr) {
        i_bbox.left = i_bbox.right = RealToInt32(i_x);
        i_bbox.top = i_bbox.bottom = RealToInt32(i_y);
        i_precise = false;
        m_bboxDirty = false;
        return;
    }
    const double x = i_x;
    const double y = i_y;
    const double xscale = i_imagescalex;
    const double yscale = i_imagescaley;
    const SBoundingBox& s = sprite->m_bbox;
    const double ox = sprite->m_xorigin;
    const double oy = sprite->m_yorigin;
    int64_t left, right, top, bottom;
    // A NaN angle counts as 0.
    if (i_imageangle == 0.0f || std::isnan(i_imageangle)) {
        const int64_t l = BoxEdge((s.left - ox) * xscale + x);
        const int64_t r =
            BoxEdge(static_cast<double>(l) + xscale * (static_cast<double>(s.right) - s.left + 1));
        const int64_t t = BoxEdge((s.top - oy) * yscale + y);
        const int64_t b =
            BoxEdge(static_cast<double>(t) + yscale * (static_cast<double>(s.bottom) - s.top + 1));
        left = std::min(l, r);
        right = std::max(l, r) - 1;
        top = std::min(t, b);
        bottom = std::max(t, b) - 1;
    } else {
        const double radians = i_imageangle * kDegToRad;
        const double c = std::cos(radians);
        const double sn = std::sin(radians);
        const double xl = (std::min(s.left, s.right) - ox) * xscale;
        const double xr = (std::max(s.left, s.right) - ox + 1) * xscale;
        const double yt = (std::min(s.top, s.bottom) - oy) * yscale;
        const double yb = (std::max(s.top, s.bottom) - oy + 1) * yscale;
        left = BoxEdge(std::min(c * xl, c * xr) + x + std::min(sn * yt, sn * yb));
        right = BoxEdge(x + std::max(c * xl, c * xr) + std::max(sn * yt, sn * yb)) - 1;
        top = BoxEdge(std::min(c * yt, c * yb) - std::max(sn * xl, sn * xr) + y);
        bottom = BoxEdge(std::max(c * yt, c * yb) - std::min(sn * xl, sn * xr) + y) - 1;
    }
    i_bbox.left = ClampEdge(left);
    i_bbox.right = ClampEdge(right);
    i_bbox.top = ClampEdge(top);
    i_bbox.bottom = ClampEdge(bottom);
    i_precise = sprite->m_precise;
    m_bboxDirty = false;
}

bool CInstance::Collision_Point(float x, float y, bool precise) {
    if (i_marked) return false;
    if (m_bboxDirty) Compute_BoundingBox(true);
    if (!(i_bbox.left <= x && x < i_bbox.right + 1.0 && i_bbox.top <= y && y < i_bbox.bottom + 1.0))
        return false;
    const CSprite* sprite = CollisionSprite();
    if (!HasFrames(sprite)) return false;
    if (!precise || !sprite->m_precise) return true;
    return sprite->PreciseCollisionPoint(RealToInt32(i_imageindex), i_bbox, Nearest(i_x), Nearest(i_y),
                                         i_imagescalex, i_imagescaley, i_imageangle, Nearest(x), Nearest(y));
}

bool CInstance::Collision_Rectangle(float x1, float y1, float x2, float y2, bool precise) {
    if (i_marked) return false;
    if (m_bboxDirty) Compute_BoundingBox(true);
    const float minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const float minY = std::min(y1, y2), maxY = std::max(y1, y2);
    if (!(minX < i_bbox.right + 1.0 && maxX >= i_bbox.left && minY < i_bbox.bottom + 1.0 &&
          maxY >= i_bbox.top))
        return false;
    if (!precise || !i_precise) return true;
    const CSprite* sprite = CollisionSprite();
    if (!HasFrames(sprite)) return false;
    const SBoundingBox rect{Nearest(minX), Nearest(minY), Nearest(maxX), Nearest(maxY)};
    return sprite->PreciseCollisionRectangle(RealToInt32(i_imageindex), i_bbox, Nearest(i_x), Nearest(i_y),
                                             i_imagescalex, i_imagescaley, i_imageangle, rect);
}

// The ellipse inscribed in the rectangle. A box straddling either centre
// line hits; otherwise one of the box's corners must lie inside. An ellipse
// at most two pixels across in either direction has an integer half-size of
// 0 and is tested as its rectangle (the corner test would divide by zero).
bool CInstance::Collision_Ellipse(float x1, float y1, float x2, float y2, bool precise) {
    if (i_marked) return false;
    if (m_bboxDirty) Compute_BoundingBox(true);
    const float minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const float minY = std::min(y1, y2), maxY = std::max(y1, y2);
    if (!(minX < i_bbox.right + 1.0 && maxX >= i_bbox.left && minY < i_bbox.bottom + 1.0 &&
          maxY >= i_bbox.top))
        return false;
    if (Nearest(x1) == Nearest(x2) || Nearest(y1) == Nearest(y2))
        return Collision_Rectangle(x1, y1, x2, y2, precise);
    const int64_t L = Nearest(minX), T = Nearest(minY), R = Nearest(maxX), B = Nearest(maxY);
    const int64_t rx = (R - L) / 2, ry = (B - T) / 2;
    if (rx == 0 || ry == 0) return Collision_Rectangle(x1, y1, x2, y2, precise);
    const double cx = (static_cast<double>(x1) + x2) * 0.5;
    const double cy = (static_cast<double>(y1) + y2) * 0.5;
    bool hit = (i_bbox.left <= cx && cx <= i_bbox.right) || (i_bbox.top <= cy && cy <= i_bbox.bottom);
    if (!hit) {
        const int64_t ex = (R + L) / 2, ey = (B + T) / 2;
        const int64_t cornersX[4] = {i_bbox.left, i_bbox.left, i_bbox.right, i_bbox.right};
        const int64_t cornersY[4] = {i_bbox.top, i_bbox.bottom, i_bbox.top, i_bbox.bottom};
        for (int i = 0; i < 4 && !hit; ++i) {
            const double dx = static_cast<double>(cornersX[i] - ex) / static_cast<double>(rx);
            const double dy = static_cast<double>(cornersY[i] - ey) / static_cast<double>(ry);
            hit = dx * dx + dy * dy <= 1.0;
        }
    }
    if (!hit) return false;
    if (!precise || !i_precise) return true;
    const CSprite* sprite = CollisionSprite();
    if (!HasFrames(sprite)) return false;
    const SBoundingBox rect{static_cast<int32_t>(L), static_cast<int32_t>(T), static_cast<int32_t>(R),
                            static_cast<int32_t>(B)};
    return sprite->PreciseCollisionEllipse(RealToInt32(i_imageindex), i_bbox, Nearest(i_x), Nearest(i_y),
                                           i_imagescalex, i_imagescaley, i_imageangle, rect);
}

// The line is clipped to the box's columns first; what is left must reach
// into the box's rows.
bool CInstance::Collision_Line(float x1, float y1, float x2, float y2, bool precise) {
    if (i_marked) return false;
    if (m_bboxDirty) Compute_BoundingBox(true);
    if (!(std::min(x1, x2) < i_bbox.right + 1.0 && std::max(x1, x2) >= i_bbox.left &&
          std::min(y1, y2) < i_bbox.bottom + 1.0 && std::max(y1, y2) >= i_bbox.top))
        return false;
    double ax = x1, ay = y1, bx = x2, by = y2;
    if (bx < ax) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const double left = i_bbox.left;
    const double rightEdge = i_bbox.right + 1.0;
    if (ax < left) {
        ay += (left - ax) * (by - ay) / (bx - ax);
        ax = left;
    }
    if (bx > rightEdge) {
        by = ay + (rightEdge - ax) * (by - ay) / (bx - ax);
        bx = rightEdge;
    }
    if ((ay < i_bbox.top && by < i_bbox.top) || (ay >= i_bbox.bottom + 1.0 && by >= i_bbox.bottom + 1.0))
        return false;
    if (!precise || !i_precise) return true;
    const CSprite* sprite = CollisionSprite();
    if (!HasFrames(sprite)) return false;
    return sprite->PreciseCollisionLine(RealToInt32(i_imageindex), i_bbox, Nearest(i_x), Nearest(i_y),
                                        i_imagescalex, i_imagescaley, i_imageangle, Nearest(ax), Nearest(ay),
                                        Nearest(bx), Nearest(by));
}

bool CInstance::Collision_Instance(CInstance* other, bool precise) {
    if (other == nullptr || other == this || i_marked || other->i_marked) return false;
    if (m_bboxDirty) Compute_BoundingBox(true);
    if (other->m_bboxDirty) other->Compute_BoundingBox(true);
    const SBoundingBox& a = i_bbox;
    const SBoundingBox& b = other->i_bbox;
    if (!(a.right >= b.left && b.right >= a.left && a.bottom >= b.top && b.bottom >= a.top)) return false;
    const CSprite* mine = CollisionSprite();
    const CSprite* theirs = other->CollisionSprite();
    if (!HasFrames(mine) || !HasFrames(theirs)) return false;
    if (!precise || (!mine->m_precise && !theirs->m_precise)) return true;
    const bool truncate = option_use_fast_collision;
    auto position = [truncate](float v) { return truncate ? RealToInt32(v) : Nearest(v); };
    return mine->PreciseCollision(RealToInt32(i_imageindex), a, position(i_x), position(i_y), i_imagescalex,
                                  i_imagescaley, i_imageangle, theirs, RealToInt32(other->i_imageindex), b,
                                  position(other->i_x), position(other->i_y), other->i_imagescalex,
                                  other->i_imagescaley, other->i_imageangle);
}
