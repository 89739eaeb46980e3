// The global built-in variables of the running room: its size, caption,
// speed and persistence, the active instances, the legacy backgrounds and the
// views. No room runs while the game's global initialisation code runs (and
// between games): then these read the settings of a fresh room and writes to
// them change nothing. Nothing here dereferences a null Run_Room.
#include "core/builtin_variable_access.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/run_globals.h"
#include "core/timing_source.h"
#include "room/room.h"
#include "room/room_services.h"
#include "room/room_table.h"
#include "world/instances/instance.h"

using namespace builtin_vars;

bool GV_room_first(CInstance*, int, RValue* out) {
    return Put(out, Room_First());
}

bool GV_room_last(CInstance*, int, RValue* out) {
    return Put(out, Room_Last());
}

// The settings of a fresh room, read while no room runs.
struct SRoomDefaults {
    int32_t width = 640;
    int32_t height = 480;
    int32_t speed = 30;
    bool persistent = false;
    uint32_t colour = 0xC0C0C0;
    bool showColour = true;
    bool enableViews = false;
};
constexpr SRoomDefaults kNoRoom;

bool GV_instance_count(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? Run_Room->m_activeCount : 0);
}

// A walk from the head of the active list: the list has no index, and a
// cached position could not tell whether the list changed since.
// Scripts read instance_id[0], [1], ... in a loop: the last position read
// is remembered, so reading on from it walks only the gap while no active
// list has changed, and a loop over all instances stays linear.
struct SInstanceIdCursor {
    const CRoom* room = nullptr;
    uint32_t stamp = 0;
    int index = 0;
    CInstance* at = nullptr;
} g_InstanceIdCursor;

bool GV_instance_id(CInstance*, int index, RValue* out) {
    CRoom* room = Run_Room;
    if (room == nullptr || index < 0 || index >= room->m_activeCount) return Put(out, -4.0);
    SInstanceIdCursor& c = g_InstanceIdCursor;
    CInstance* instance = room->m_pFirstActive;
    int i = 0;
    if (c.room == room && c.stamp == CRoom::ms_activeListStamp && c.at != nullptr && c.index <= index) {
        instance = c.at;
        i = c.index;
    }
    for (; i < index && instance != nullptr; ++i) instance = instance->m_pNext;
    if (instance == nullptr) return Put(out, -4.0);
    c = {room, CRoom::ms_activeListStamp, index, instance};
    return Put(out, instance->i_id);
}

bool GV_room_width(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? Run_Room->m_width : kNoRoom.width);
}
bool SV_room_width(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_width = Rint(in);
    return true;
}
bool GV_room_height(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? Run_Room->m_height : kNoRoom.height);
}
bool SV_room_height(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_height = Rint(in);
    return true;
}
bool GV_room_caption(CInstance*, int, RValue* out) {
    return PutText(out, Run_Room != nullptr ? Run_Room->m_pCaption : nullptr);
}
bool SV_room_caption(CInstance*, int, RValue* in) {
    if (Run_Room == nullptr) return true;
    const char* text = StringText(in);
    char* copy = text != nullptr && text[0] != '\0' ? ZQStrDup(text) : nullptr;
    ZQ_Free(Run_Room->m_pCaption);
    Run_Room->m_pCaption = copy;
    return true;
}

// New-generation data paces by the game clock, older data by the room speed.
bool GV_room_speed(CInstance*, int, RValue* out) {
    if (g_isNimbar) return Put(out, g_GameTimer.GetFPS());
    return Put(out, Run_Room != nullptr ? Run_Room->m_speed : kNoRoom.speed);
}
// The value is tested rounded and stored rounded: storing it truncated would
// let 0.6 pass the test and leave a speed of 0 to divide by.
bool SV_room_speed(CInstance*, int, RValue* in) {
    const double x = X(in);
    const int32_t n = RealRoundToInt32(x);
    // NaN and out-of-range values round to INT32_MIN, so they are refused too.
    if (n <= 0) {
        Error_Show("Trying to set the room speed to a value <= 0.", false);
        return false;
    }
    if (g_isNimbar)
        g_GameTimer.SetFrameRate(x);
    else if (Run_Room != nullptr)
        Run_Room->m_speed = n;
    return true;
}
bool GV_room_persistent(CInstance*, int, RValue* out) {
    return Put(out, (Run_Room != nullptr ? Run_Room->m_persistent : kNoRoom.persistent) ? 1.0 : 0.0);
}
bool SV_room_persistent(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_persistent = Flag(in);
    return true;
}

// Legacy backgrounds.

bool GV_background_color(CInstance*, int, RValue* out) {
    return Put(out, Run_Room != nullptr ? static_cast<uint32_t>(Run_Room->m_colour) : kNoRoom.colour);
}
bool SV_background_color(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_colour = static_cast<int32_t>(RintWrapped(in));
    return true;
}
bool GV_background_showcolor(CInstance*, int, RValue* out) {
    return Put(out, (Run_Room != nullptr ? Run_Room->m_showColour : kNoRoom.showColour) ? 1.0 : 0.0);
}
bool SV_background_showcolor(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_showColour = Flag(in);
    return true;
}

// The slot a read sees: the running room's, or a fresh slot with no room.
const CBackVT& BackRead(int index) {
    static const CBackVT kNoBackground{};
    return Run_Room != nullptr ? Run_Room->m_backgrounds[Slot(index)] : kNoBackground;
}
// The slot a write changes, or null with no room.
CBackVT* BackWrite(int index) {
    return Run_Room != nullptr ? &Run_Room->m_backgrounds[Slot(index)] : nullptr;
}

#define ZQ_BACK_FIELD(name, field, read, write)                                                              \
    bool GV_##name(CInstance*, int index, RValue* out) {                                                     \
        return Put(out, read(BackRead(index).field));                                                        \
    }                                                                                                        \
    bool SV_##name(CInstance*, int index, RValue* in) {                                                      \
        if (CBackVT* back = BackWrite(index)) back->field = write(in);                                       \
        return true;                                                                                         \
    }

inline double ReadFlag(bool b) {
    return b ? 1.0 : 0.0;
}
inline double ReadNumber(double d) {
    return d;
}
inline float WriteReal(RValue* in) {
    return static_cast<float>(X(in));
}

ZQ_BACK_FIELD(background_visible, visible, ReadFlag, Flag)
ZQ_BACK_FIELD(background_foreground, foreground, ReadFlag, Flag)
ZQ_BACK_FIELD(background_index, index, ReadNumber, Rint)
ZQ_BACK_FIELD(background_x, x, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_y, y, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_htiled, htiled, ReadFlag, Flag)
ZQ_BACK_FIELD(background_vtiled, vtiled, ReadFlag, Flag)
ZQ_BACK_FIELD(background_xscale, xscale, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_yscale, yscale, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_hspeed, hspeed, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_vspeed, vspeed, ReadNumber, WriteReal)
ZQ_BACK_FIELD(background_blend, blend, ReadNumber, RintWrapped)
ZQ_BACK_FIELD(background_alpha, alpha, ReadNumber, WriteReal)

bool GV_background_width(CInstance*, int index, RValue* out) {
    int width = 0, height = 0;
    if (!Room_BackgroundSize(BackRead(index).index, &width, &height)) width = 0;
    return Put(out, width);
}
bool GV_background_height(CInstance*, int index, RValue* out) {
    int width = 0, height = 0;
    if (!Room_BackgroundSize(BackRead(index).index, &width, &height)) height = 0;
    return Put(out, height);
}

// Views.

bool GV_view_enabled(CInstance*, int, RValue* out) {
    return Put(out, (Run_Room != nullptr ? Run_Room->m_enableViews : kNoRoom.enableViews) ? 1.0 : 0.0);
}
bool SV_view_enabled(CInstance*, int, RValue* in) {
    if (Run_Room != nullptr) Run_Room->m_enableViews = Flag(in);
    return true;
}
bool GV_view_current(CInstance*, int, RValue* out) {
    return Put(out, Current_View);
}

const CViewVT& ViewRead(int index) {
    static const CViewVT kNoView = [] {
        CViewVT view;
        view.Clear();
        return view;
    }();
    return Run_Room != nullptr ? Run_Room->m_views[Slot(index)] : kNoView;
}
CViewVT* ViewWrite(int index) {
    return Run_Room != nullptr ? &Run_Room->m_views[Slot(index)] : nullptr;
}

#define ZQ_VIEW_FIELD(name, field, read, write)                                                              \
    bool GV_##name(CInstance*, int index, RValue* out) {                                                     \
        return Put(out, read(ViewRead(index).field));                                                        \
    }                                                                                                        \
    bool SV_##name(CInstance*, int index, RValue* in) {                                                      \
        if (CViewVT* view = ViewWrite(index)) view->field = write(in);                                       \
        return true;                                                                                         \
    }

ZQ_VIEW_FIELD(view_visible, visible, ReadFlag, Flag)
ZQ_VIEW_FIELD(view_xview, xview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_yview, yview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_wview, wview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_hview, hview, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_xport, xport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_yport, yport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_wport, wport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_hport, hport, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_angle, angle, ReadNumber, WriteReal)
ZQ_VIEW_FIELD(view_hborder, hborder, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_vborder, vborder, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_hspeed, hspeed, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_vspeed, vspeed, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_object, follow, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_surface_id, surface, ReadNumber, Rint)
ZQ_VIEW_FIELD(view_camera, camera, ReadNumber, Rint)
