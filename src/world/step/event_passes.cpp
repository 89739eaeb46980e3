// The step's own event passes: Step events, alarms, the room and view
// events of the Other type, and timeline moments. Every raising visits only
// the instances that existed when it began (see Event_ForEachListed).
#include "world/step/event_passes.h"

#include <algorithm>
#include <cmath>

#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "room/room.h"
#include "world/instances/sprite_services.h"
#include "world/objects/event.h"
#include "world/objects/timeline.h"
#include "world/step/step_services.h"

void HandleStep(int subtype) {
    Event_ForEachListed(EVENT_STEP, subtype,
                        [subtype](CInstance* i) { Perform_Event(i, i, EVENT_STEP, subtype); });
}

// Only objects that handle alarm n are visited, so an instance counts down
// only the alarms its object has. A timer at 0 goes to -1 without an event:
// an alarm set to 0 never fires.
void HandleAlarm() {
    for (int n = 0; n < INSTANCE_ALARM_COUNT; ++n) {
        Event_ForEachListed(EVENT_ALARM, n, [n](CInstance* i) {
            int32_t& timer = i->i_timer[n];
            if (timer < 0) return;
            if (--timer == 0) Perform_Event(i, i, EVENT_ALARM, n);
        });
    }
}

// ---------------------------------------------------------------------------
// Other events: room and views.

namespace {

// Whether the instance has a box at all: without a sprite and a mask it is a
// point at (x, y).
bool HasBox(const CInstance* i) {
    return Sprite_Exists(i->i_spriteindex) || Sprite_Exists(i->i_maskindex);
}

const SBoundingBox& Box(CInstance* i) {
    if (i->m_bboxDirty) i->Compute_BoundingBox(true);
    return i->i_bbox;
}

// The area one view shows: its bounding rectangle and, for a rotated view,
// its quadrilateral, whose corners are ordered around it; `winding` is the
// sign of its area, so a point q is outside edge k when
// winding × cross(corner k+1 − corner k, q − corner k) < 0.
struct SViewArea {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool rotated = false;
    double quad[8] = {};
    double winding = 1.0;

    // The signed side of (x, y) against edge k: > 0 inside, < 0 outside.
    double Side(int k, double x, double y) const {
        const double ax = quad[2 * k], ay = quad[2 * k + 1];
        const double bx = quad[(2 * k + 2) % 8], by = quad[(2 * k + 3) % 8];
        return winding * ((bx - ax) * (y - ay) - (by - ay) * (x - ax));
    }
    bool RectDisjoint(const SBoundingBox& b) const {
        return b.right < left || b.left > right || b.bottom < top || b.top > bottom;
    }
    // Every corner of the box strictly outside one edge.
    bool BoxOutsideAnEdge(const SBoundingBox& b) const {
        for (int k = 0; k < 4; ++k) {
            if (Side(k, b.left, b.top) < 0 && Side(k, b.right, b.top) < 0 && Side(k, b.left, b.bottom) < 0 &&
                Side(k, b.right, b.bottom) < 0)
                return true;
        }
        return false;
    }
    // Corners on both sides of one edge's line (a corner on it counts for both).
    bool BoxStraddlesAnEdge(const SBoundingBox& b) const {
        const double xs[4] = {static_cast<double>(b.left), static_cast<double>(b.right),
                              static_cast<double>(b.left), static_cast<double>(b.right)};
        const double ys[4] = {static_cast<double>(b.top), static_cast<double>(b.top),
                              static_cast<double>(b.bottom), static_cast<double>(b.bottom)};
        for (int k = 0; k < 4; ++k) {
            bool in = false, out = false;
            for (int c = 0; c < 4; ++c) {
                const double side = Side(k, xs[c], ys[c]);
                in = in || side >= 0;
                out = out || side <= 0;
            }
            if (in && out) return true;
        }
        return false;
    }
    bool PointOutside(float x, float y) const {
        if (x < static_cast<float>(left) || x > static_cast<float>(right) || y < static_cast<float>(top) ||
            y > static_cast<float>(bottom))
            return true;
        if (!rotated) return false;
        for (int k = 0; k < 4; ++k)
            if (Side(k, x, y) < 0) return true;
        return false;
    }

    // The bounding rectangle of the quadrilateral, truncated.
    void BoundQuad() {
        double x0 = quad[0], x1 = quad[0], y0 = quad[1], y1 = quad[1];
        for (int c = 1; c < 4; ++c) {
            x0 = std::min(x0, quad[2 * c]);
            x1 = std::max(x1, quad[2 * c]);
            y0 = std::min(y0, quad[2 * c + 1]);
            y1 = std::max(y1, quad[2 * c + 1]);
        }
        left = RealToInt32(x0);
        top = RealToInt32(y0);
        right = RealToInt32(x1);
        bottom = RealToInt32(y1);
        double area = 0.0;
        for (int k = 0; k < 4; ++k) {
            const int n = (k + 1) % 4;
            area += quad[2 * k] * quad[2 * n + 1] - quad[2 * n] * quad[2 * k + 1];
        }
        winding = area < 0 ? -1.0 : 1.0;
    }
};

SViewArea ViewArea(const CViewVT& view) {
    SViewArea area;
    if (g_isNimbar) {
        float corners[8];
        if (!Camera_ViewQuad(view.camera, corners)) return area; // no camera: (0, 0, 0, 0)
        for (int c = 0; c < 8; ++c) area.quad[c] = corners[c];
        area.rotated = true;
        area.BoundQuad();
        return area;
    }
    // Negative angles fall here too and count as unrotated.
    if (view.angle <= 0.0001f) {
        area.left = RealRoundToInt32(view.xview);
        area.top = RealRoundToInt32(view.yview);
        area.right = RealRoundToInt32(static_cast<double>(view.xview) + view.wview);
        area.bottom = RealRoundToInt32(static_cast<double>(view.yview) + view.hview);
        return area;
    }
    const double a = static_cast<double>(view.angle) * -M_PI / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double hw = view.wview / 2.0, hh = view.hview / 2.0;
    const double cx = view.xview + hw, cy = view.yview + hh;
    const double dx[4] = {-hw, hw, hw, -hw};
    const double dy[4] = {-hh, -hh, hh, hh};
    for (int k = 0; k < 4; ++k) {
        area.quad[2 * k] = cx + dx[k] * c - dy[k] * s;
        area.quad[2 * k + 1] = cy + dx[k] * s + dy[k] * c;
    }
    area.rotated = true;
    area.BoundQuad();
    return area;
}

bool HasOtherEvent(int subtype) {
    return obj_numb_event[EVENT_OTHER][subtype] > 0;
}

// Outside room: once each time the instance leaves the room. The flag is
// updated before the event runs, so an event that reads or moves the
// instance sees the state that raised it.
void OutsideRoom(const CRoom* room) {
    const float w = static_cast<float>(room->m_width), h = static_cast<float>(room->m_height);
    Event_ForEachListed(EVENT_OTHER, OTHER_OUTSIDE_ROOM, [&](CInstance* i) {
        bool outside;
        if (!HasBox(i)) {
            outside = i->i_x < 0 || i->i_x > w || i->i_y < 0 || i->i_y > h;
        } else {
            const SBoundingBox& b = Box(i);
            outside = !(b.right >= 0 && b.left <= room->m_width && b.bottom >= 0 && b.top <= room->m_height);
        }
        const bool wasOutside = i->m_outsideRoom;
        i->m_outsideRoom = outside;
        if (outside && !wasOutside) Perform_Event(i, i, EVENT_OTHER, OTHER_OUTSIDE_ROOM);
    });
}

// Boundary: every step the instance is not wholly inside the room.
void Boundary(const CRoom* room) {
    const float w = static_cast<float>(room->m_width), h = static_cast<float>(room->m_height);
    Event_ForEachListed(EVENT_OTHER, OTHER_BOUNDARY, [&](CInstance* i) {
        bool touching;
        if (!HasBox(i)) {
            touching = i->i_x < 0 || i->i_x > w || i->i_y < 0 || i->i_y > h;
        } else {
            const SBoundingBox& b = Box(i);
            touching = !(b.left >= 0 && b.right <= room->m_width && b.top >= 0 && b.bottom <= room->m_height);
        }
        if (touching) Perform_Event(i, i, EVENT_OTHER, OTHER_BOUNDARY);
    });
}

void OutsideView(int view, const SViewArea& area, int64_t limit) {
    const int subtype = OTHER_OUTSIDE_VIEW0 + view;
    Event_ForEachListedUpTo(EVENT_OTHER, subtype, limit, [&](CInstance* i) {
        bool outside;
        if (!HasBox(i)) {
            outside = area.PointOutside(i->i_x, i->i_y);
        } else {
            const SBoundingBox& b = Box(i);
            outside = area.RectDisjoint(b) || (area.rotated && area.BoxOutsideAnEdge(b));
        }
        if (outside) Perform_Event(i, i, EVENT_OTHER, subtype);
    });
}

void ViewBoundary(int view, const SViewArea& area, int64_t limit) {
    const int subtype = OTHER_BOUNDARY_VIEW0 + view;
    Event_ForEachListedUpTo(EVENT_OTHER, subtype, limit, [&](CInstance* i) {
        if (!HasBox(i)) return;
        const SBoundingBox& b = Box(i);
        if (area.RectDisjoint(b)) return;
        const bool touching = area.rotated ? area.BoxStraddlesAnEdge(b)
                                           : b.right >= area.right || b.left <= area.left ||
                                                 b.bottom >= area.bottom || b.top <= area.top;
        if (touching) Perform_Event(i, i, EVENT_OTHER, subtype);
    });
}

} // namespace

// Four sub-passes, each with its own creation-counter reading: an instance
// created by an event of one sub-pass gets the events of the later ones.
void HandleOther() {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    OutsideRoom(room);
    Boundary(room);
    if (!room->m_enableViews) return;
    SViewArea areas[8];
    bool shown[8] = {};
    bool anyOutside = false, anyBoundary = false;
    for (int v = 0; v < 8; ++v) {
        if (!room->m_views[v].visible) continue;
        shown[v] = true;
        anyOutside = anyOutside || HasOtherEvent(OTHER_OUTSIDE_VIEW0 + v);
        anyBoundary = anyBoundary || HasOtherEvent(OTHER_BOUNDARY_VIEW0 + v);
    }
    // The areas are worked out only when some object listens.
    if (anyOutside || anyBoundary)
        for (int v = 0; v < 8; ++v)
            if (shown[v]) areas[v] = ViewArea(room->m_views[v]);
    int64_t limit = CInstance::ms_CurrentCreateCounter++;
    if (anyOutside)
        for (int v = 0; v < 8; ++v)
            if (shown[v]) OutsideView(v, areas[v], limit);
    limit = CInstance::ms_CurrentCreateCounter++;
    if (anyBoundary)
        for (int v = 0; v < 8; ++v)
            if (shown[v]) ViewBoundary(v, areas[v], limit);
}

// ---------------------------------------------------------------------------
// Timelines.

namespace {

// Runs the moments instance i's timeline passes this step and advances it.
// Forward play runs the moments in [p, p + s) ascending; backward play the
// moments in (p + s, p] descending, so that every moment runs once as the
// position passes it in either direction; at speed 0 the moments between
// the previous position and a position a script set.
void AdvanceTimeLine(CInstance* i, int index, const CTimeLine* line) {
    const float p = i->i_timelineposition;
    const float s = i->i_timelinespeed;
    if (s > 0) {
        const int end = line->FindLarger(static_cast<double>(p) + s);
        for (int m = line->FindLarger(p); m < end; ++m) Perform_Event_TimeLine(i, i, index, m);
    } else if (s < 0) {
        const int end = line->FindSmaller(static_cast<double>(p) + s);
        for (int m = line->FindSmaller(p); m > end; --m) Perform_Event_TimeLine(i, i, index, m);
    } else {
        const int end = line->FindLarger(p);
        for (int m = line->FindLarger(i->i_timelineprevposition); m < end; ++m)
            Perform_Event_TimeLine(i, i, index, m);
    }
    // A moment that set the position keeps it; the speed is not added then.
    if (i->i_timelineposition == p) i->i_timelineposition = p + s;
    i->i_timelineprevposition = p;
    if (!i->i_timelineloop) return;
    // The moments may have changed the timeline (or removed it).
    const CTimeLine* now = TimeLine_Data(i->i_timelineindex);
    if (now == nullptr || now->GetCount() == 0) return;
    const float last = static_cast<float>(now->GetStep(now->GetCount() - 1));
    if (s >= 0) {
        if (i->i_timelineposition > last) i->i_timelineposition = 0;
    } else if (i->i_timelineposition < 0) {
        i->i_timelineposition = last;
    }
}

} // namespace

void HandleTimeLine() {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    const int64_t limit = CInstance::ms_CurrentCreateCounter++;
    for (CInstance* i = room->m_pFirstActive; i != nullptr;) {
        CInstance* next = i->m_pNext;
        if (!i->i_marked && !i->i_deactivated && i->m_createCounter <= limit && i->i_timelinerunning &&
            i->i_timelineindex >= 0) {
            const CTimeLine* line = TimeLine_Data(i->i_timelineindex);
            if (line != nullptr && line->GetCount() > 0) AdvanceTimeLine(i, i->i_timelineindex, line);
        }
        i = next;
    }
}
