// Paths: control-point editing and transformations, the derived polyline
// (straight or adaptively subdivided quadratic pieces), lengths, positions at
// a fraction of the length, drawing, and reading a path record.
#include "world/motion/path.h"

#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

#include "core/game_image.h"
#include "core/memory_manager.h"
#include "world/motion/render_services.h"

static_assert(sizeof(PathPoint) == 12, "a path record stores its points as three packed floats");

namespace {

// Grows `block` (of `capacity` elements) to hold at least `needed`: by half
// again, at least by `step`, so that adding points one by one stays linear.
template <typename T>
void GrowArray(T*& block, int& capacity, int needed, int step) {
    if (needed <= capacity) return;
    int64_t want = std::max<int64_t>({needed, int64_t{capacity} + capacity / 2, int64_t{capacity} + step});
    if (want > INT_MAX) want = needed;
    T* grown = ZQ_ReAllocArray<T>(block, static_cast<size_t>(want));
    if (grown == nullptr) throw std::bad_alloc();
    block = grown;
    capacity = static_cast<int>(want);
}

PathPoint Midpoint(const PathPoint& a, const PathPoint& b) {
    return {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f, (a.speed + b.speed) / 2.0f};
}

float SquaredDistance(const PathPoint& a, const PathPoint& b) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    return dx * dx + dy * dy;
}

} // namespace

// ---------------------------------------------------------------------------
// The polyline

PathPolyline::~PathPolyline() {
    ZQ_Free(m_points);
}

void PathPolyline::Release() {
    ZQ_Free(m_points);
    m_points = nullptr;
    m_capacity = 0;
    m_count = 0;
    m_length = 0.0f;
    m_time = 0.0f;
}

void PathPolyline::Build(const PathPoint* points, int count, int kind, bool closed, int precision) {
    m_count = 0;
    if (kind == kPathKindSmooth)
        ComputeCurved(points, count, closed, precision);
    else
        ComputeLinear(points, count, closed);
    ComputeLength();
}

void PathPolyline::AddInternalPoint(float x, float y, float speed) {
    GrowArray(m_points, m_capacity, m_count + 1, 11);
    m_points[m_count++] = {x, y, speed, 0.0f};
}

// Straight: the control points themselves; a closed path returns to its
// first point.
void PathPolyline::ComputeLinear(const PathPoint* points, int count, bool closed) {
    if (count < 1) return;
    GrowArray(m_points, m_capacity, count + 1, 11);
    for (int i = 0; i < count; ++i) AddInternalPoint(points[i].x, points[i].y, points[i].speed);
    if (closed && count > 0) AddInternalPoint(points[0].x, points[0].y, points[0].speed);
}

// Smooth: every control point P(i+1) shapes one quadratic piece from the
// midpoint of P(i)P(i+1) to the midpoint of P(i+1)P(i+2), indexes modulo the
// count. An open path has pieces only between its end points, which it keeps
// as they are; a closed path has a piece at every point and ends where its
// first computed point is.
void PathPolyline::ComputeCurved(const PathPoint* points, int count, bool closed, int precision) {
    if (count < 1) return;
    if (!closed) AddInternalPoint(points[0].x, points[0].y, points[0].speed);
    const int pieces = closed ? count : count - 2;
    for (int i = 0; i < pieces; ++i) {
        const PathPoint& p0 = points[i % count];
        const PathPoint& p1 = points[(i + 1) % count];
        const PathPoint& p2 = points[(i + 2) % count];
        HandlePiece(precision, Midpoint(p0, p1), p1, Midpoint(p1, p2));
    }
    if (closed) {
        if (m_count > 0) {
            const PathComputedPoint first = m_points[0];
            AddInternalPoint(first.x, first.y, first.speed);
        }
    } else {
        const PathPoint& last = points[count - 1];
        AddInternalPoint(last.x, last.y, last.speed);
    }
}

// Adaptive subdivision of the quadratic curve A-B-C (control point B) whose
// end points are not emitted: emits the curve's middle M = (A + 2B + C) / 4,
// preceded by the subdivision of the first half and followed by that of the
// second, so that points come out in order along the curve. A half is split
// further only while its control leg is longer than 4 pixels, and never
// deeper than `depth` levels: at most 2^depth - 1 points per piece.
void PathPolyline::HandlePiece(int depth, const PathPoint& a, const PathPoint& b, const PathPoint& c) {
    if (depth <= 0) return;
    const PathPoint m = {(a.x + 2.0f * b.x + c.x) / 4.0f, (a.y + 2.0f * b.y + c.y) / 4.0f,
                         (a.speed + 2.0f * b.speed + c.speed) / 4.0f};
    if (SquaredDistance(a, b) > 16.0f) HandlePiece(depth - 1, a, Midpoint(a, b), m);
    AddInternalPoint(m.x, m.y, m.speed);
    if (SquaredDistance(b, c) > 16.0f) HandlePiece(depth - 1, m, Midpoint(b, c), c);
}

// Cumulative distances, the length, and the time: each segment's length
// divided by the mean of its end speeds as a fraction of 100. A speed of 0
// makes the time infinite.
void PathPolyline::ComputeLength() {
    m_length = 0.0f;
    m_time = 0.0f;
    if (m_count < 1) return;
    m_points[0].l = 0.0f;
    for (int k = 1; k < m_count; ++k) {
        const PathComputedPoint& a = m_points[k - 1];
        PathComputedPoint& b = m_points[k];
        const float dx = b.x - a.x;
        const float dy = b.y - a.y;
        const float d = std::sqrt(dx * dx + dy * dy);
        m_length += d;
        b.l = m_length;
        m_time = static_cast<float>(m_time + d / ((a.speed + b.speed) * 0.005));
    }
}

// ---------------------------------------------------------------------------
// Construction, settings and control points

CPath::~CPath() {
    ZQ_Free(m_points);
}

const PathPolyline& CPath::Line() const {
    if (m_stale) {
        m_line.Build(m_points, m_count, m_kind, m_closed, m_precision);
        m_stale = false;
    }
    return m_line;
}

void CPath::ReservePoints(int count) {
    GrowArray(m_points, m_capacity, count, 6);
}

void CPath::Clear() {
    ZQ_Free(m_points);
    m_points = nullptr;
    m_capacity = 0;
    m_count = 0;
    m_line.Release();
    m_stale = false;
}

void CPath::Assign(const CPath* source) {
    if (source == nullptr || source == this) return;
    PathPoint* copy = nullptr;
    if (source->m_count > 0) {
        copy = ZQ_AllocArray<PathPoint>(static_cast<size_t>(source->m_count));
        if (copy == nullptr) throw std::bad_alloc();
        std::memcpy(copy, source->m_points, sizeof(PathPoint) * source->m_count);
    }
    ZQ_Free(m_points);
    m_points = copy;
    m_capacity = m_count = source->m_count;
    m_kind = source->m_kind;
    m_closed = source->m_closed;
    m_precision = source->m_precision;
    Changed();
}

void CPath::Append(const CPath* other) {
    if (other == nullptr || other->m_count == 0) return;
    const int n = other->m_count;
    if (n > INT_MAX - m_count) throw std::bad_alloc();
    ReservePoints(m_count + n);
    // Read the source only now: appending a path to itself reads the grown array.
    std::memcpy(m_points + m_count, other->m_points, sizeof(PathPoint) * n);
    m_count += n;
    Changed();
}

void CPath::SetKind(int kind) {
    m_kind = (kind == kPathKindStraight || kind == kPathKindSmooth) ? kind : kPathKindStraight;
    Changed();
}

void CPath::SetClosed(bool closed) {
    m_closed = closed;
    Changed();
}

void CPath::SetPrecision(int precision) {
    m_precision = std::clamp(precision, 0, kPathMaxPrecision);
    Changed();
}

int CPath::AddPoint(float x, float y, float speed) {
    InsertPoint(m_count, x, y, speed);
    return m_count - 1;
}

void CPath::InsertPoint(int n, float x, float y, float speed) {
    if (n < 0 || n > m_count) return;
    if (m_count == INT_MAX) throw std::bad_alloc();
    ReservePoints(m_count + 1);
    std::memmove(m_points + n + 1, m_points + n, sizeof(PathPoint) * (m_count - n));
    m_points[n] = {x, y, speed};
    ++m_count;
    Changed();
}

void CPath::ChangePoint(int n, float x, float y, float speed) {
    if (n < 0 || n >= m_count) return;
    m_points[n] = {x, y, speed};
    Changed();
}

void CPath::DeletePoint(int n) {
    if (n < 0 || n >= m_count) return;
    std::memmove(m_points + n, m_points + n + 1, sizeof(PathPoint) * (m_count - n - 1));
    --m_count;
    Changed();
}

PathPoint CPath::GetPoint(int n) const {
    if (n < 0 || n >= m_count) return {0.0f, 0.0f, 1.0f};
    return m_points[n];
}

// ---------------------------------------------------------------------------
// Transformations

void CPath::Shift(float dx, float dy) {
    for (int i = 0; i < m_count; ++i) {
        m_points[i].x += dx;
        m_points[i].y += dy;
    }
    Changed();
}

// The centre of the points' bounding box. Coordinates of any size count
// (NaN ones are passed over).
void CPath::Center(float& cx, float& cy) const {
    if (m_count == 0) {
        cx = cy = 0.0f;
        return;
    }
    float minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (int i = 0; i < m_count; ++i) {
        const PathPoint& p = m_points[i];
        if (p.x < minX) minX = p.x;
        if (p.x > maxX) maxX = p.x;
        if (p.y < minY) minY = p.y;
        if (p.y > maxY) maxY = p.y;
    }
    cx = (minX + maxX) / 2.0f;
    cy = (minY + maxY) / 2.0f;
}

namespace {

// Applies `change(u, v)` to every point moved so that the centre is at the
// origin, then moves it back; each step rounds to single precision, as
// three separate passes would.
template <typename Change>
void AboutCentre(PathPoint* points, int count, float cx, float cy, Change&& change) {
    for (int i = 0; i < count; ++i) {
        float u = points[i].x - cx;
        float v = points[i].y - cy;
        change(u, v);
        points[i].x = u + cx;
        points[i].y = v + cy;
    }
}

} // namespace

void CPath::Mirror() {
    float cx, cy;
    Center(cx, cy);
    AboutCentre(m_points, m_count, cx, cy, [](float& u, float&) { u = -u; });
    Changed();
}

void CPath::Flip() {
    float cx, cy;
    Center(cx, cy);
    AboutCentre(m_points, m_count, cx, cy, [](float&, float& v) { v = -v; });
    Changed();
}

void CPath::Scale(float sx, float sy) {
    float cx, cy;
    Center(cx, cy);
    AboutCentre(m_points, m_count, cx, cy, [sx, sy](float& u, float& v) {
        u *= sx;
        v *= sy;
    });
    Changed();
}

void CPath::Rotate(float degrees) {
    const float a = degrees * 0.0174532924f;
    const float c = std::cos(a);
    const float s = std::sin(a);
    float cx, cy;
    Center(cx, cy);
    AboutCentre(m_points, m_count, cx, cy, [c, s](float& u, float& v) {
        const float nu = c * u + s * v;
        const float nv = c * v - s * u;
        u = nu;
        v = nv;
    });
    Changed();
}

void CPath::Reverse() {
    if (m_count < 2) return;
    std::reverse(m_points, m_points + m_count);
    Changed();
}

// ---------------------------------------------------------------------------
// Queries

// The segment holding distance d = length * t is found by binary search: the
// cumulative distances never decrease (once one is NaN all later ones are),
// so "d >= l" holds for a prefix of the points, and the segment is the one
// after that prefix, as a walk from the start would find it.
void CPath::GetPosition(float t, float& x, float& y, float& speed) const {
    x = 0.0f;
    y = 0.0f;
    speed = 100.0f;
    const PathPolyline& line = Line();
    const int m = line.Count();
    if (m < 1) return;
    const PathComputedPoint* q = line.Points();
    if (!(t > 0.0f)) t = 0.0f; // NaN as well
    if (t > 1.0f) t = 1.0f;
    if (m == 1 || line.Length() == 0.0f || t == 0.0f) {
        x = q[0].x;
        y = q[0].y;
        speed = q[0].speed;
        return;
    }
    if (t == 1.0f) {
        x = q[m - 1].x;
        y = q[m - 1].y;
        speed = q[m - 1].speed;
        return;
    }
    const float d = line.Length() * t;
    const PathComputedPoint* after =
        std::partition_point(q + 1, q + m - 1, [d](const PathComputedPoint& p) { return d >= p.l; });
    const PathComputedPoint& a = after[-1];
    const PathComputedPoint& b = after[0];
    if (b.l == a.l) {
        x = a.x;
        y = a.y;
        speed = a.speed;
        return;
    }
    const float f = (d - a.l) / (b.l - a.l);
    x = a.x + (b.x - a.x) * f;
    y = a.y + (b.y - a.y) * f;
    speed = a.speed + (b.speed - a.speed) * f;
}

float CPath::XPosition(float t) const {
    float x, y, speed;
    GetPosition(t, x, y, speed);
    return x;
}

float CPath::YPosition(float t) const {
    float x, y, speed;
    GetPosition(t, x, y, speed);
    return y;
}

float CPath::Speed(float t) const {
    float x, y, speed;
    GetPosition(t, x, y, speed);
    return speed;
}

void CPath::Draw(float x, float y, bool absolute) const {
    bool begun = false;
    ForEachDrawVertex(x, y, absolute, [&begun](float vx, float vy) {
        if (!begun) {
            GR_Draw_Primitive_Begin(kPrimitiveLineStrip, -1);
            begun = true;
        }
        GR_Draw_Vertex(vx, vy);
    });
    if (begun) GR_Draw_Primitive_End();
}

// ---------------------------------------------------------------------------
// Loading

void CPath::LoadFromChunk(ImageReader& record) {
    const int32_t kind = record.S32();
    const bool closed = record.U32() != 0;
    const int32_t precision = record.S32();
    const uint32_t count = record.Count(sizeof(PathPoint));
    if (count > INT_MAX) record.Fail("path point count is too large");
    const uint8_t* raw = record.Bytes(static_cast<size_t>(count) * sizeof(PathPoint));
    PathPoint* points = nullptr;
    if (count > 0) {
        points = ZQ_AllocArray<PathPoint>(count);
        if (points == nullptr) throw std::bad_alloc();
        std::memcpy(points, raw, static_cast<size_t>(count) * sizeof(PathPoint));
    }
    ZQ_Free(m_points);
    m_points = points;
    m_capacity = m_count = static_cast<int>(count);
    m_kind = kind;
    m_closed = closed;
    // Data may ask for any depth; beyond the limit a single piece could ask
    // for billions of points.
    m_precision = std::clamp(precision, 0, kPathMaxPrecision);
    Changed();
}

bool CPath::LoadFromStream(CStream*) {
    return false;
}
