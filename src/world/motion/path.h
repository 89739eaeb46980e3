// Paths: control points with speed factors, straight or smooth, open or
// closed, and the polyline derived from them with the distance along it at
// every point, from which positions at a fraction of the length are answered.
#pragma once

#include <algorithm>

#include "core/real_to_int.h"

class ImageReader;
class CStream;

// A control point: room pixels and a speed factor in percent (100 = normal).
struct PathPoint {
    float x;
    float y;
    float speed;
};

// A point of the derived polyline; `l` is the distance along the polyline
// from its first point.
struct PathComputedPoint {
    float x;
    float y;
    float speed;
    float l;
};

inline constexpr int kPathKindStraight = 0;
inline constexpr int kPathKindSmooth = 1;
// Subdivision depth limit: a smooth piece yields at most 2^8 - 1 points.
inline constexpr int kPathMaxPrecision = 8;
// The renderer keeps at most this many vertices of one primitive.
inline constexpr int kPathDrawMaxVertices = 1001;

// The polyline derived from a path's control points, with its length and its
// time (the length weighted by the inverse of the speed factors). It owns its
// point array (memory manager); the array grows geometrically and only
// shrinks when the path is cleared.
class PathPolyline {
public:
    PathPolyline() = default;
    ~PathPolyline();
    PathPolyline(const PathPolyline&) = delete;
    PathPolyline& operator=(const PathPolyline&) = delete;

    // Rebuilds everything from the control points in one pass.
    void Build(const PathPoint* points, int count, int kind, bool closed, int precision);
    // Empties the polyline and releases its array.
    void Release();

    const PathComputedPoint* Points() const { return m_points; }
    int Count() const { return m_count; }
    float Length() const { return m_length; }
    float Time() const { return m_time; }

private:
    void ComputeLinear(const PathPoint* points, int count, bool closed);
    void ComputeCurved(const PathPoint* points, int count, bool closed, int precision);
    void HandlePiece(int depth, const PathPoint& a, const PathPoint& b, const PathPoint& c);
    void AddInternalPoint(float x, float y, float speed);
    void ComputeLength();

    PathComputedPoint* m_points = nullptr;
    int m_capacity = 0;
    int m_count = 0;
    float m_length = 0.0f;
    float m_time = 0.0f;
};

// A path. Every change marks the polyline stale and the next query rebuilds
// it, so a query never sees stale points while building a path of n points
// one by one costs one rebuild, not n. Control points live in a
// memory-manager array that grows as points are added. Main thread only: a
// query may rebuild the polyline.
//
// Invariants: 0 <= count <= capacity; kind is whatever was set (only 1 means
// smooth); 0 <= precision <= kPathMaxPrecision.
class CPath {
public:
    CPath() = default;
    ~CPath();
    CPath(const CPath&) = delete;
    CPath& operator=(const CPath&) = delete;

    // Removes every point and releases both arrays; kind, closed and
    // precision stay.
    void Clear();
    // Copies kind, closed, precision and the points of `source`.
    void Assign(const CPath* source);
    // Appends copies of `other`'s points (a path may append itself).
    void Append(const CPath* other);

    // Kinds other than straight and smooth become straight.
    void SetKind(int kind);
    void SetClosed(bool closed);
    // Clamped to 0 .. kPathMaxPrecision.
    void SetPrecision(int precision);
    int GetKind() const { return m_kind; }
    bool GetClosed() const { return m_closed; }
    int GetPrecision() const { return m_precision; }
    int GetCount() const { return m_count; }

    // Control points. Indexes out of range change nothing; GetPoint answers
    // them with the point (0, 0) of speed 1.
    int AddPoint(float x, float y, float speed);
    void InsertPoint(int n, float x, float y, float speed);
    void ChangePoint(int n, float x, float y, float speed);
    void DeletePoint(int n);
    PathPoint GetPoint(int n) const;

    // Transformations of the control points about the centre of their
    // bounding box (Center; (0, 0) without points). Each works by shifting
    // the centre to the origin, changing every point and shifting back, all
    // in single precision.
    void Shift(float dx, float dy);
    void Center(float& cx, float& cy) const;
    void Mirror();
    void Flip();
    void Scale(float sx, float sy);
    // Counter-clockwise on screen (y grows downwards) for positive degrees.
    void Rotate(float degrees);
    void Reverse();

    // Polyline queries.
    float GetPathLength() const { return Line().Length(); }
    float GetPathTime() const { return Line().Time(); }
    int GetComputedCount() const { return Line().Count(); }
    const PathComputedPoint* GetComputedPoints() const { return Line().Points(); }
    // Position and speed at fraction t (clamped to 0..1, NaN as 0) of the
    // length; (0, 0) with speed 100 for a path without points.
    void GetPosition(float t, float& x, float& y, float& speed) const;
    float XPosition(float t) const;
    float YPosition(float t) const;
    float Speed(float t) const;

    // The vertices of the path's line strip: one per about four pixels of
    // length (the length / 4 rounded half to even segments), offset by (x, y)
    // when absolute, else moved so that the path starts at (x, y). Only the
    // first kPathDrawMaxVertices are produced, as the renderer keeps no more.
    // Calls emit(vx, vy) for each; returns how many.
    template <typename Emit>
    int ForEachDrawVertex(float x, float y, bool absolute, Emit&& emit) const;
    // Draws the line strip through the renderer in the current colour.
    void Draw(float x, float y, bool absolute) const;

    // Fills this new path from a data-file path record, the reader standing
    // just after the record's name: kind (stored as is), closed, precision
    // (clamped), point count and points. Throws GameDataError when the record
    // runs past the file; the path is unchanged then.
    void LoadFromChunk(ImageReader& record);
    // The older stream form needs the memory stream, which this runtime does
    // not have: always refused (false), the path unchanged.
    bool LoadFromStream(CStream* stream);

private:
    // Room for `count` control points; throws std::bad_alloc.
    void ReservePoints(int count);
    void Changed() { m_stale = true; }
    const PathPolyline& Line() const;

    PathPoint* m_points = nullptr;
    int m_capacity = 0;
    int m_count = 0;
    int m_kind = kPathKindStraight;
    bool m_closed = true;
    int m_precision = 4;

    // Derived from the fields above; rebuilt by the first query after a change.
    mutable PathPolyline m_line;
    mutable bool m_stale = false;
};

template <typename Emit>
int CPath::ForEachDrawVertex(float x, float y, bool absolute, Emit&& emit) const {
    float px, py, speed;
    GetPosition(0.0f, px, py, speed);
    const float ox = absolute ? x : x - px;
    const float oy = absolute ? y : y - py;
    // NaN, infinite and absurd lengths round to INT32_MIN: nothing drawn.
    const int segments = RealRoundToInt32(static_cast<double>(GetPathLength()) * 0.25);
    if (segments <= 0) return 0;
    const int last = std::min(segments, kPathDrawMaxVertices - 1);
    for (int i = 0; i <= last; ++i) {
        GetPosition(static_cast<float>(static_cast<double>(i) / segments), px, py, speed);
        emit(px + ox, py + oy);
    }
    return last + 1;
}
