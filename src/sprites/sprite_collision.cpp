// Precise collision tests of a sprite placed as an instance: against another
// placed sprite, a point, a rectangle, an ellipse and a segment. Room pixels
// are carried back into frame pixels (undoing position, scale and rotation,
// in single precision) and read from the frame's collision mask.
//
// Every test walks only the part of its region where a frame pixel can lie:
// the region is first cut to the room rectangle the frame covers (widened by
// a frame pixel and two room pixels, so rounding at the edges never loses a
// pixel the walk would have found). Outside it no pixel maps into the frame,
// so the answers are those of the whole region, found sooner.
#include <algorithm>
#include <cmath>

#include "core/real_to_int.h"
#include "world/instances/sprite_services.h"

namespace {

constexpr float kDegToRadNegated = -0.017453292f;

// An inclusive region in room pixels, in 64 bits so that no edge overflows.
struct Region {
    int64_t left, top, right, bottom;
    bool Empty() const { return left > right || top > bottom; }
};

Region Intersect(const Region& a, const Region& b) {
    return Region{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                  std::min(a.bottom, b.bottom)};
}

Region FromBox(const SBoundingBox& box) {
    return Region{box.left, box.top, box.right, box.bottom};
}

// One sprite placed in the room: its frame, mask and the room-to-frame map.
struct Placed {
    const uint8_t* mask; // null: solid over the whole frame
    int w, h;
    float ox, oy;
    int x0, y0;
    float s, c;       // sine and cosine of the negated angle
    float invx, invy; // reciprocal scales (sprite against sprite)

    bool Solid(int fx, int fy) const {
        return fx >= 0 && fy >= 0 && fx < w && fy < h &&
               (mask == nullptr || mask[static_cast<size_t>(fy) * static_cast<size_t>(w) + fx] != 0);
    }
    // The rotated form; the tests floor (or truncate) the results.
    float MapX(int64_t x, int64_t y, float xscale) const {
        return (static_cast<float>(y - y0) * s + static_cast<float>(x - x0) * c) / xscale + ox;
    }
    float MapY(int64_t x, int64_t y, float yscale) const {
        return (static_cast<float>(y - y0) * c - static_cast<float>(x - x0) * s) / yscale + oy;
    }
};

Placed Place(const CSprite& sprite, int image, int x0, int y0, float xscale, float yscale, float angle) {
    Placed p;
    p.mask = sprite.CollisionMask(image);
    p.w = sprite.m_width;
    p.h = sprite.m_height;
    p.ox = static_cast<float>(sprite.m_xorigin);
    p.oy = static_cast<float>(sprite.m_yorigin);
    p.x0 = x0;
    p.y0 = y0;
    const float a = angle * kDegToRadNegated;
    p.s = std::sin(a);
    p.c = std::cos(a);
    p.invx = 1.0f / xscale;
    p.invy = 1.0f / yscale;
    return p;
}

// The room rectangle the frame covers, widened as the file banner says; the
// whole plane when the placement is not finite (an infinite scale maps every
// room pixel onto one frame pixel).
Region FrameExtent(const Placed& p, float xscale, float yscale) {
    constexpr Region kAll{INT64_MIN / 4, INT64_MIN / 4, INT64_MAX / 4, INT64_MAX / 4};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    const double fxs[2] = {-1.0 - p.ox, static_cast<double>(p.w) + 1.0 - p.ox};
    const double fys[2] = {-1.0 - p.oy, static_cast<double>(p.h) + 1.0 - p.oy};
    bool first = true;
    for (double fx : fxs)
        for (double fy : fys) {
            const double u = fx * xscale, v = fy * yscale;
            const double dx = u * p.c - v * p.s;
            const double dy = u * p.s + v * p.c;
            if (first) {
                minX = maxX = dx;
                minY = maxY = dy;
                first = false;
            } else {
                minX = std::min(minX, dx), maxX = std::max(maxX, dx);
                minY = std::min(minY, dy), maxY = std::max(maxY, dy);
            }
        }
    constexpr double kLimit = 1e15;
    if (!(std::fabs(minX) < kLimit && std::fabs(maxX) < kLimit && std::fabs(minY) < kLimit &&
          std::fabs(maxY) < kLimit))
        return kAll;
    return Region{p.x0 + RealToInt64(std::floor(minX)) - 2, p.y0 + RealToInt64(std::floor(minY)) - 2,
                  p.x0 + RealToInt64(std::ceil(maxX)) + 2, p.y0 + RealToInt64(std::ceil(maxY)) + 2};
}

// The frame's columns and rows in room pixels, unscaled and unrotated.
Region FrameRect(const Placed& p) {
    const int64_t left = int64_t{p.x0} - static_cast<int64_t>(p.ox);
    const int64_t top = int64_t{p.y0} - static_cast<int64_t>(p.oy);
    return Region{left, top, left + p.w - 1, top + p.h - 1};
}

// Along column px a frame coordinate is linear in the row: v(y) = slope ×
// (y − y0) + base(px), base itself linear in px. The rows where v can lie in
// [0, size) are cut from the walk, widened by two rows and by the
// single-precision error the walk's own arithmetic may make (a millionth of
// the largest magnitude involved, over the slope). A slope too flat to bound
// rows cuts nothing. Everything but two products per column is worked out
// once per test.
class RowClip {
public:
    // v = slope × (y − y0) + perColumn × (px − x0) + offset.
    RowClip(double slope, double perColumn, double offset, int size, int64_t y0, int64_t x0, double magnitude)
        : m_perColumn(perColumn), m_offset(offset), m_size(size), m_y0(y0), m_x0(x0) {
        if (!(std::fabs(slope) >= 1e-4) || !std::isfinite(slope) || !std::isfinite(perColumn) ||
            !std::isfinite(offset) || !(magnitude < 1e12))
            return;
        m_inverse = 1.0 / slope;
        m_margin = 2.0 + magnitude * 1e-6 * std::fabs(m_inverse);
        m_active = true;
    }
    void Cut(int64_t px, int64_t& from, int64_t& to) const {
        if (!m_active) return;
        const double base = static_cast<double>(px - m_x0) * m_perColumn + m_offset;
        double t1 = -base * m_inverse, t2 = (m_size - base) * m_inverse;
        if (t1 > t2) std::swap(t1, t2);
        t1 -= m_margin;
        t2 += m_margin;
        if (!(t1 > -1e12 && t2 < 1e12)) return;
        // Truncation toward zero, then one row further out: never inside the bounds.
        from = std::max(from, m_y0 + static_cast<int64_t>(t1) - 1);
        to = std::min(to, m_y0 + static_cast<int64_t>(t2) + 1);
    }

private:
    bool m_active = false;
    double m_perColumn, m_offset, m_inverse = 0, m_margin = 0;
    double m_size;
    int64_t m_y0, m_x0;
};

// The two cuts of a placed frame's columns, for a walk over `region`.
struct FrameRows {
    FrameRows(const Placed& p, const Region& region) : x(Make(p, region, true)), y(Make(p, region, false)) {}
    static RowClip Make(const Placed& p, const Region& region, bool alongX) {
        const double dx = std::max(std::fabs(static_cast<double>(region.left - p.x0)),
                                   std::fabs(static_cast<double>(region.right - p.x0)));
        const double dy = std::max(std::fabs(static_cast<double>(region.top - p.y0)),
                                   std::fabs(static_cast<double>(region.bottom - p.y0)));
        const double scale =
            std::max({std::fabs(static_cast<double>(p.invx)), std::fabs(static_cast<double>(p.invy)), 1.0});
        const double magnitude = (dx + dy) * scale + std::fabs(p.ox) + std::fabs(p.oy) + p.w + p.h;
        if (alongX) // fx = (y − y0)·s·invx + (x − x0)·c·invx + ox
            return RowClip(static_cast<double>(p.s) * p.invx, static_cast<double>(p.c) * p.invx, p.ox, p.w,
                           p.y0, p.x0, magnitude);
        // fy = (y − y0)·c·invy − (x − x0)·s·invy + oy
        return RowClip(static_cast<double>(p.c) * p.invy, -static_cast<double>(p.s) * p.invy, p.oy, p.h, p.y0,
                       p.x0, magnitude);
    }
    void Cut(int64_t px, int64_t& from, int64_t& to) const {
        x.Cut(px, from, to);
        y.Cut(px, from, to);
    }
    RowClip x, y;
};

inline int FloorToInt(float v) {
    return RealToInt32(std::floor(static_cast<double>(v)));
}

inline bool Unrotated(float angle) {
    return std::fabs(angle) < 0.0001f;
}

} // namespace

bool CSprite::PreciseCollision(int image, const SBoundingBox& box, int x, int y, float xscale, float yscale,
                               float angle, const CSprite* other, int otherImage,
                               const SBoundingBox& otherBox, int otherX, int otherY, float otherXscale,
                               float otherYscale, float otherAngle) const {
    if (other == nullptr) return false;
    UnpackWADMask();
    other->UnpackWADMask();
    if (m_numb <= 0 || other->m_numb <= 0) return false;
    Region region = Intersect(FromBox(box), FromBox(otherBox));
    if (region.Empty()) return false;
    const Placed a = Place(*this, image, x, y, xscale, yscale, angle);
    const Placed b = Place(*other, otherImage, otherX, otherY, otherXscale, otherYscale, otherAngle);

    if (angle == 0.0f && otherAngle == 0.0f) {
        if (a.invx == 1.0f && a.invy == 1.0f && b.invx == 1.0f && b.invy == 1.0f) {
            // Integer path: both frames are plain rectangles of room pixels.
            region = Intersect(region, Intersect(FrameRect(a), FrameRect(b)));
            const int64_t dxa = static_cast<int64_t>(a.ox) - a.x0, dya = static_cast<int64_t>(a.oy) - a.y0;
            const int64_t dxb = static_cast<int64_t>(b.ox) - b.x0, dyb = static_cast<int64_t>(b.oy) - b.y0;
            for (int64_t px = region.left; px <= region.right; ++px) {
                const int fxa = static_cast<int>(px + dxa), fxb = static_cast<int>(px + dxb);
                for (int64_t py = region.top; py <= region.bottom; ++py)
                    if (a.Solid(fxa, static_cast<int>(py + dya)) && b.Solid(fxb, static_cast<int>(py + dyb)))
                        return true;
            }
            return false;
        }
        // Scaled path: each coordinate truncated toward zero, so values just
        // below 0 still read column or row 0.
        region = Intersect(
            region, Intersect(FrameExtent(a, xscale, yscale), FrameExtent(b, otherXscale, otherYscale)));
        for (int64_t px = region.left; px <= region.right; ++px) {
            const int fxa = RealToInt32(static_cast<float>(px - a.x0) * a.invx + a.ox);
            if (fxa < 0 || fxa >= a.w) continue;
            const int fxb = RealToInt32(static_cast<float>(px - b.x0) * b.invx + b.ox);
            if (fxb < 0 || fxb >= b.w) continue;
            for (int64_t py = region.top; py <= region.bottom; ++py) {
                const int fya = RealToInt32(static_cast<float>(py - a.y0) * a.invy + a.oy);
                const int fyb = RealToInt32(static_cast<float>(py - b.y0) * b.invy + b.oy);
                if (a.Solid(fxa, fya) && b.Solid(fxb, fyb)) return true;
            }
        }
        return false;
    }

    // Rotated path: tested in floating point before the byte is read.
    region = Intersect(region,
                       Intersect(FrameExtent(a, xscale, yscale), FrameExtent(b, otherXscale, otherYscale)));
    const FrameRows rowsA(a, region), rowsB(b, region);
    const float wa = static_cast<float>(a.w), ha = static_cast<float>(a.h);
    const float wb = static_cast<float>(b.w), hb = static_cast<float>(b.h);
    for (int64_t px = region.left; px <= region.right; ++px) {
        int64_t from = region.top, to = region.bottom;
        rowsA.Cut(px, from, to);
        rowsB.Cut(px, from, to);
        // The column's terms, hoisted: the same products the rows would make.
        const float cxa = static_cast<float>(px - a.x0) * a.c, sxa = static_cast<float>(px - a.x0) * a.s;
        const float cxb = static_cast<float>(px - b.x0) * b.c, sxb = static_cast<float>(px - b.x0) * b.s;
        for (int64_t py = from; py <= to; ++py) {
            const float rya = static_cast<float>(py - a.y0);
            const float fxa = (rya * a.s + cxa) * a.invx + a.ox;
            const float fya = (rya * a.c - sxa) * a.invy + a.oy;
            if (!(fxa >= 0.0f && fya >= 0.0f && fxa < wa && fya < ha)) continue;
            const float ryb = static_cast<float>(py - b.y0);
            const float fxb = (ryb * b.s + cxb) * b.invx + b.ox;
            const float fyb = (ryb * b.c - sxb) * b.invy + b.oy;
            if (!(fxb >= 0.0f && fyb >= 0.0f && fxb < wb && fyb < hb)) continue;
            if (a.Solid(static_cast<int>(fxa), static_cast<int>(fya)) &&
                b.Solid(static_cast<int>(fxb), static_cast<int>(fyb)))
                return true;
        }
    }
    return false;
}

bool CSprite::PreciseCollisionPoint(int image, const SBoundingBox&, int x, int y, float xscale, float yscale,
                                    float angle, int px, int py) const {
    UnpackWADMask();
    if (!m_maskCreated) return true;
    if (m_numb <= 0) return false;
    const Placed p = Place(*this, image, x, y, xscale, yscale, angle);
    int fx, fy;
    if (Unrotated(angle)) {
        fx = FloorToInt(static_cast<float>(int64_t{px} - x) / xscale + p.ox);
        fy = FloorToInt(static_cast<float>(int64_t{py} - y) / yscale + p.oy);
    } else {
        fx = FloorToInt(p.MapX(px, py, xscale));
        fy = FloorToInt(p.MapY(px, py, yscale));
    }
    return p.Solid(fx, fy);
}

namespace {

// The rectangle and ellipse tests share one walk: `keep` passes over room
// pixels outside the shape.
template <typename Keep>
bool WalkRegion(const Placed& p, Region region, float xscale, float yscale, float angle, Keep keep) {
    if (region.Empty()) return false;
    if (xscale == 1.0f && yscale == 1.0f && Unrotated(angle)) {
        region = Intersect(region, FrameRect(p));
        const int64_t dx = static_cast<int64_t>(p.ox) - p.x0, dy = static_cast<int64_t>(p.oy) - p.y0;
        for (int64_t x = region.left; x <= region.right; ++x)
            for (int64_t y = region.top; y <= region.bottom; ++y)
                if (keep(x, y) && p.Solid(static_cast<int>(x + dx), static_cast<int>(y + dy))) return true;
        return false;
    }
    region = Intersect(region, FrameExtent(p, xscale, yscale));
    for (int64_t x = region.left; x <= region.right; ++x)
        for (int64_t y = region.top; y <= region.bottom; ++y)
            if (keep(x, y) && p.Solid(FloorToInt(p.MapX(x, y, xscale)), FloorToInt(p.MapY(x, y, yscale))))
                return true;
    return false;
}

} // namespace

bool CSprite::PreciseCollisionRectangle(int image, const SBoundingBox& box, int x, int y, float xscale,
                                        float yscale, float angle, const SBoundingBox& rect) const {
    UnpackWADMask();
    if (!m_maskCreated) return true;
    if (m_numb <= 0) return false;
    const Placed p = Place(*this, image, x, y, xscale, yscale, angle);
    return WalkRegion(p, Intersect(FromBox(box), FromBox(rect)), xscale, yscale, angle,
                      [](int64_t, int64_t) { return true; });
}

// The ellipse inscribed in rect, its centre and radii in integer halves. A
// rect of width 0 divides 0 by 0 on its centre column, and a NaN never passes
// a pixel over: such an ellipse is its centre column.
bool CSprite::PreciseCollisionEllipse(int image, const SBoundingBox& box, int x, int y, float xscale,
                                      float yscale, float angle, const SBoundingBox& rect) const {
    UnpackWADMask();
    if (!m_maskCreated) return true;
    if (m_numb <= 0) return false;
    const Placed p = Place(*this, image, x, y, xscale, yscale, angle);
    const float cx = static_cast<float>((int64_t{rect.left} + rect.right) / 2);
    const float cy = static_cast<float>((int64_t{rect.top} + rect.bottom) / 2);
    const float rx = static_cast<float>((int64_t{rect.right} - rect.left) / 2);
    const float ry = static_cast<float>((int64_t{rect.bottom} - rect.top) / 2);
    return WalkRegion(p, Intersect(FromBox(box), FromBox(rect)), xscale, yscale, angle,
                      [=](int64_t px, int64_t py) {
                          const float dx = (static_cast<float>(px) - cx) / rx;
                          const float dy = (static_cast<float>(py) - cy) / ry;
                          return !(dx * dx + dy * dy > 1.0f);
                      });
}

// A segment is walked one point per row when steep, one per column
// otherwise, each point mapped with the rotated form and floored.
bool CSprite::PreciseCollisionLine(int image, const SBoundingBox& box, int x, int y, float xscale,
                                   float yscale, float angle, int x1, int y1, int x2, int y2) const {
    if (x1 == x2 || y1 == y2)
        return PreciseCollisionRectangle(image, box, x, y, xscale, yscale, angle,
                                         SBoundingBox{x1, std::min(y1, y2), x2, std::max(y1, y2)});
    UnpackWADMask();
    if (!m_maskCreated) return true;
    if (m_numb <= 0) return false;
    const Placed p = Place(*this, image, x, y, xscale, yscale, angle);
    const Region extent = FrameExtent(p, xscale, yscale);
    auto hit = [&](float px, float py) {
        const float fx = (py - static_cast<float>(p.y0)) * p.s + (px - static_cast<float>(p.x0)) * p.c;
        const float fy = (py - static_cast<float>(p.y0)) * p.c - (px - static_cast<float>(p.x0)) * p.s;
        return p.Solid(FloorToInt(fx / xscale + p.ox), FloorToInt(fy / yscale + p.oy));
    };
    const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
    if (std::llabs(dx) < std::llabs(dy)) {
        const bool downward = y1 < y2;
        const int64_t ymin = downward ? y1 : y2, ymax = downward ? y2 : y1;
        const float xa = static_cast<float>(downward ? x1 : x2), xb = static_cast<float>(downward ? x2 : x1);
        const int64_t from = std::max({int64_t{box.top}, ymin, extent.top});
        const int64_t to = std::min({int64_t{box.bottom}, ymax, extent.bottom});
        const float span = static_cast<float>(ymax - ymin);
        for (int64_t row = from; row <= to; ++row)
            if (hit(xa + static_cast<float>(row - ymin) * (xb - xa) / span, static_cast<float>(row)))
                return true;
        return false;
    }
    const bool rightward = x1 < x2;
    const int64_t xmin = rightward ? x1 : x2, xmax = rightward ? x2 : x1;
    const float ya = static_cast<float>(rightward ? y1 : y2), yb = static_cast<float>(rightward ? y2 : y1);
    const int64_t from = std::max({int64_t{box.left}, xmin, extent.left});
    const int64_t to = std::min({int64_t{box.right}, xmax, extent.right});
    const float span = static_cast<float>(xmax - xmin);
    for (int64_t column = from; column <= to; ++column)
        if (hit(static_cast<float>(column), ya + static_cast<float>(column - xmin) * (yb - ya) / span))
            return true;
    return false;
}
