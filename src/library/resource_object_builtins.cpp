// The object and room resource built-ins. Object types are changed in place
// (flags, sprite, mask, parent) and the per-event lists rebuilt when what an
// object handles changes. Rooms are the stored templates, not the running
// room: the current room runs in its own copy, so a change to its template
// shows the next time the room is entered.
//
// Parent chains come from the data file and may hold a cycle; every walk
// here is bounded by the number of objects, and a new parent that would close
// a cycle is refused.
//
// [SECTION] objects
// [SECTION] rooms
// [SECTION] table
#include <cmath>
#include <cstdint>

#include "core/arguments.h"
#include "core/console.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "core/rvalue.h"
#include "library/resource_args.h"
#include "library/resource_builtins.h"
#include "room/room.h"
#include "room/room_table.h"
#include "sprites/background_table.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {

using namespace resource_args;

// ---------------------------------------------------------------------------
// [SECTION] objects

CObjectVT* ObjectArg(const RValue* a) {
    return Object_Data(Int(a, 0));
}

ZQ_RESOURCE_EXISTS(F_ObjectExists, Object_Exists)

ZQ_RESOURCE_NAME(F_ObjectGetName, Object_Name)

#define ZQ_OBJECT_QUERY(name, missing, expr) ZQ_RESOURCE_QUERY(name, CObjectVT, Object_Data, o, missing, expr)

ZQ_OBJECT_QUERY(F_ObjectGetSprite, -1, o.m_spriteIndex)
ZQ_OBJECT_QUERY(F_ObjectGetMask, -1, o.m_maskIndex)
ZQ_OBJECT_QUERY(F_ObjectGetParent, -1, o.m_parentIndex)
ZQ_OBJECT_QUERY(F_ObjectGetDepth, -1, o.m_depth)
ZQ_OBJECT_QUERY(F_ObjectGetSolid, 0, o.IsSolid() ? 1 : 0)
ZQ_OBJECT_QUERY(F_ObjectGetVisible, 0, o.IsVisible() ? 1 : 0)
ZQ_OBJECT_QUERY(F_ObjectGetPersistent, 0, o.IsPersistent() ? 1 : 0)
ZQ_OBJECT_QUERY(F_ObjectGetPhysics, 0, o.m_physicsObject ? 1 : 0)

// Whether `ancestor` is the object's parent, grandparent, and so on (an
// object is not its own ancestor). A parent cycle in the data ends the walk
// once every object could have been visited.
ZQ_RESOURCE(F_ObjectIsAncestor) {
    const CObjectVT* object = ObjectArg(a);
    Real(r, object != nullptr && object->IsDecendentOf(Int(a, 1)) ? 1 : 0);
}

#define ZQ_OBJECT_SET(name, stmt)                                                                            \
    ZQ_RESOURCE(name) {                                                                                      \
        (void)r;                                                                                             \
        if (CObjectVT* o = ObjectArg(a)) {                                                                   \
            stmt;                                                                                            \
        }                                                                                                    \
    }

void SetFlag(CObjectVT* object, uint32_t flag, bool on) {
    if (on)
        object->m_flags |= flag;
    else
        object->m_flags &= ~flag;
}

ZQ_OBJECT_SET(F_ObjectSetSprite, o->m_spriteIndex = Int(a, 1))
ZQ_OBJECT_SET(F_ObjectSetMask, o->m_maskIndex = Int(a, 1))
ZQ_OBJECT_SET(F_ObjectSetDepth, o->m_depth = Int(a, 1))
ZQ_OBJECT_SET(F_ObjectSetSolid, SetFlag(o, OBJECT_FLAG_SOLID, ZQGetBool(a, 1)))
ZQ_OBJECT_SET(F_ObjectSetVisible, SetFlag(o, OBJECT_FLAG_VISIBLE, ZQGetBool(a, 1)))
ZQ_OBJECT_SET(F_ObjectSetPersistent, SetFlag(o, OBJECT_FLAG_PERSISTENT, ZQGetBool(a, 1)))
ZQ_OBJECT_SET(F_ObjectSetCollisions, SetFlag(o, OBJECT_FLAG_COLLISIONS, ZQGetBool(a, 1)))

// A new parent is linked and the event lists rebuilt, unless it would close
// a cycle. Clearing the parent drops the link and rebuilds the lists too, so
// that no inherited event outlives the parent it came from.
ZQ_RESOURCE(F_ObjectSetParent) {
    (void)r;
    const int index = Int(a, 0);
    const int parent = Int(a, 1);
    CObjectVT* object = Object_Data(index);
    if (object == nullptr || index == parent) return;
    if (parent < 0) {
        object->m_parentIndex = -1;
        object->m_pParent = nullptr;
        Create_Object_Lists();
        return;
    }
    CObjectVT* parentType = Object_Data(parent);
    if (parentType == nullptr) {
        Error_Show_Action("Setting a non-existing parent.", false);
        return;
    }
    if (parentType->IsDecendentOf(index)) {
        Error_Show_Action("Creating a cycle in the parent relation.", false);
        return;
    }
    object->m_parentIndex = parent;
    object->m_pParent = parentType;
    Create_Object_Lists();
}

ZQ_RESOURCE(F_ObjectAdd) {
    (void)a;
    Real(r, Object_Add());
}

ZQ_RESOURCE(F_ObjectDelete) {
    const int index = Int(a, 0);
    if (!Object_Exists(index)) {
        Real(r, 0);
        Error_Show_Action("Trying to delete non-existing object.", false);
        return;
    }
    Object_Delete(index);
    Create_Object_Lists();
    Real(r, Object_Exists(index) ? 0 : 1);
}

// Only the object's own handler is cleared; an event type or subtype outside
// the table names no handler.
ZQ_RESOURCE(F_ObjectEventClear) {
    (void)r;
    CObjectVT* object = ObjectArg(a);
    const int type = Int(a, 1);
    const int subtype = Int(a, 2);
    if (object == nullptr || type < 0 || type >= EVENT_TYPE_COUNT || subtype < 0) return;
    if (CEvent* event = object->GetEventDirect(type, subtype)) {
        event->Clear();
        Create_Object_Lists();
    }
}

// ---------------------------------------------------------------------------
// [SECTION] rooms

CRoom* RoomArg(const RValue* a) {
    return Room_Data(Int(a, 0));
}

// Slot `n` of a room's eight views or backgrounds, or null.
CViewVT* ViewArg(CRoom* room, int n) {
    return room != nullptr && n >= 0 && n < 8 ? &room->m_views[n] : nullptr;
}

CBackVT* BackgroundSlot(CRoom* room, int n) {
    return room != nullptr && n >= 0 && n < 8 ? &room->m_backgrounds[n] : nullptr;
}

ZQ_RESOURCE_EXISTS(F_RoomExists, Room_Exists)

ZQ_RESOURCE_NAME(F_RoomGetName, Room_Name)

#define ZQ_ROOM_SET(name, stmt)                                                                              \
    ZQ_RESOURCE(name) {                                                                                      \
        (void)r;                                                                                             \
        if (CRoom* room = RoomArg(a)) {                                                                      \
            stmt;                                                                                            \
        }                                                                                                    \
    }

// The text becomes the room's own copy; the old one is freed.
void ReplaceText(char*& slot, const char* text) {
    char* copy = ZQStrDup(text != nullptr ? text : "");
    ZQ_Free(slot);
    slot = copy;
}

ZQ_ROOM_SET(F_RoomSetWidth, room->m_width = Int(a, 1))
ZQ_ROOM_SET(F_RoomSetHeight, room->m_height = Int(a, 1))
ZQ_ROOM_SET(F_RoomSetCaption, ReplaceText(room->m_pCaption, ZQGetString(a, 1)))
ZQ_ROOM_SET(F_RoomSetCode, ReplaceText(room->m_pCreationCodeText, ZQGetString(a, 1)))
ZQ_ROOM_SET(F_RoomSetPersistent, room->m_persistent = ZQGetBool(a, 1))
ZQ_ROOM_SET(F_RoomSetViewEnabled, room->m_enableViews = ZQGetBool(a, 1))
ZQ_ROOM_SET(F_RoomSetBackgroundColor, {
    room->m_colour = Int(a, 1);
    room->m_showColour = ZQGetBool(a, 2);
})

ZQ_RESOURCE(F_RoomSetBackground) {
    (void)r;
    CBackVT* slot = BackgroundSlot(RoomArg(a), Int(a, 1));
    if (slot == nullptr) return;
    slot->visible = ZQGetBool(a, 2);
    slot->foreground = ZQGetBool(a, 3);
    slot->index = Int(a, 4);
    slot->x = Float(a, 5);
    slot->y = Float(a, 6);
    slot->htiled = ZQGetBool(a, 7);
    slot->vtiled = ZQGetBool(a, 8);
    slot->hspeed = Float(a, 9);
    slot->vspeed = Float(a, 10);
    slot->alpha = Float(a, 11);
    slot->xscale = slot->yscale = 1.0f;
}

// The angle is left as it was.
ZQ_RESOURCE(F_RoomSetView) {
    (void)r;
    CViewVT* view = ViewArg(RoomArg(a), Int(a, 1));
    if (view == nullptr) return;
    view->visible = ZQGetBool(a, 2);
    view->xview = Float(a, 3);
    view->yview = Float(a, 4);
    view->wview = Float(a, 5);
    view->hview = Float(a, 6);
    view->xport = Int(a, 7);
    view->yport = Int(a, 8);
    view->wport = Int(a, 9);
    view->hport = Int(a, 10);
    view->hborder = Int(a, 11);
    view->vborder = Int(a, 12);
    view->hspeed = Int(a, 13);
    view->vspeed = Int(a, 14);
    view->follow = Int(a, 15);
}

ZQ_RESOURCE(F_RoomSetViewport) {
    (void)r;
    CViewVT* view = ViewArg(RoomArg(a), Int(a, 1));
    if (view == nullptr) return;
    view->visible = ZQGetBool(a, 2);
    view->xport = Int(a, 3);
    view->yport = Int(a, 4);
    view->wport = Int(a, 5);
    view->hport = Int(a, 6);
}

// Five reals: visible, port x, y, width and height; zeros for a missing
// room or view.
ZQ_RESOURCE(F_RoomGetViewport) {
    const CViewVT* view = ViewArg(RoomArg(a), Int(a, 1));
    const double values[5] = {
        view != nullptr && view->visible ? 1.0 : 0.0,
        view != nullptr ? static_cast<double>(view->xport) : 0.0,
        view != nullptr ? static_cast<double>(view->yport) : 0.0,
        view != nullptr ? static_cast<double>(view->wport) : 0.0,
        view != nullptr ? static_cast<double>(view->hport) : 0.0,
    };
    r.pRefArray = ARRAY_RefAlloc(&r);
    r.flags = 0;
    r.kind = r.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
    if (r.pRefArray == nullptr) return;
    for (int i = 4; i >= 0; --i) {
        RValue v = RValue_Real(values[i]);
        SET_RValue_Array(&r, &v, i);
    }
}

ZQ_RESOURCE(F_RoomGetCamera) {
    const CViewVT* view = ViewArg(RoomArg(a), Int(a, 1));
    Real(r, view != nullptr ? view->camera : -1);
}

ZQ_RESOURCE(F_RoomSetCamera) {
    (void)r;
    if (CViewVT* view = ViewArg(RoomArg(a), Int(a, 1))) view->camera = Int(a, 2);
}

ZQ_RESOURCE(F_RoomAdd) {
    (void)a;
    Real(r, Room_Add());
}

ZQ_RESOURCE(F_RoomDuplicate) {
    Real(r, Room_Duplicate(Int(a, 0)));
}

ZQ_RESOURCE(F_RoomAssign) {
    (void)r;
    if (!Room_Assign(Int(a, 0), Int(a, 1))) Error_Show_Action("Error assigning a room.", false);
}

ZQ_RESOURCE(F_RoomInstanceAdd) {
    CRoom* room = RoomArg(a);
    Real(r, room != nullptr ? room->AddInstanceToStorage(Float(a, 1), Float(a, 2), Int(a, 3)) : -1);
}

// Removes the stored instances, as room_tile_clear removes the stored tiles.
ZQ_ROOM_SET(F_RoomInstanceClear, room->ClearStorageInstances())
ZQ_ROOM_SET(F_RoomTileClear, room->ClearStorageTiles())

// A stored tile; -1 when the background or the room is missing.
void TileAdd(RValue& r, const RValue* a, float xscale, float yscale, uint32_t blend) {
    if (!Background_Exists(Int(a, 1))) {
        Real(r, -1);
        Error_Show_Action("Background does not exist.", false);
        return;
    }
    CRoom* room = RoomArg(a);
    if (room == nullptr) {
        Real(r, -1);
        return;
    }
    Real(r, room->AddTileToStorage(Int(a, 1), Int(a, 2), Int(a, 3), Int(a, 4), Int(a, 5), Int(a, 6),
                                   Int(a, 7), Int(a, 8), xscale, yscale, blend));
}

ZQ_RESOURCE(F_RoomTileAdd) {
    TileAdd(r, a, 1.0f, 1.0f, 0xFFFFFFFFu);
}

// The alpha, clamped to 0..1 (not-a-number as 0), goes into the blend's top
// byte over white.
ZQ_RESOURCE(F_RoomTileAddExt) {
    float alpha = Float(a, 11);
    if (!(alpha >= 0.0f)) alpha = 0.0f;
    if (alpha > 1.0f) alpha = 1.0f;
    const auto top = static_cast<uint32_t>(RealToInt32(static_cast<double>(alpha) * 255.0));
    TileAdd(r, a, Float(a, 9), Float(a, 10), (top << 24) | 0xFFFFFFu);
}

// ---------------------------------------------------------------------------
// [SECTION] table

const LibraryBuiltinRow kObjectRows[] = {
    {"object_name", F_ObjectGetName},
    {"object_exists", F_ObjectExists},
    {"object_get_name", F_ObjectGetName},
    {"object_get_sprite", F_ObjectGetSprite},
    {"object_get_solid", F_ObjectGetSolid},
    {"object_get_visible", F_ObjectGetVisible},
    {"object_get_depth", F_ObjectGetDepth},
    {"object_set_depth", F_ObjectSetDepth},
    {"object_get_persistent", F_ObjectGetPersistent},
    {"object_get_mask", F_ObjectGetMask},
    {"object_get_parent", F_ObjectGetParent},
    {"object_get_physics", F_ObjectGetPhysics},
    {"object_is_ancestor", F_ObjectIsAncestor},
    {"object_set_sprite", F_ObjectSetSprite},
    {"object_set_solid", F_ObjectSetSolid},
    {"object_set_visible", F_ObjectSetVisible},
    {"object_set_persistent", F_ObjectSetPersistent},
    {"object_set_mask", F_ObjectSetMask},
    {"object_set_parent", F_ObjectSetParent},
    {"object_set_collisions", F_ObjectSetCollisions},
    {"object_add", F_ObjectAdd},
    {"object_delete", F_ObjectDelete},
    {"object_event_clear", F_ObjectEventClear},
    {"room_name", F_RoomGetName},
    {"room_exists", F_RoomExists},
    {"room_get_name", F_RoomGetName},
    {"room_set_width", F_RoomSetWidth},
    {"room_set_height", F_RoomSetHeight},
    {"room_set_caption", F_RoomSetCaption},
    {"room_set_persistent", F_RoomSetPersistent},
    {"room_set_code", F_RoomSetCode},
    {"room_set_background_color", F_RoomSetBackgroundColor},
    {"room_set_background_colour", F_RoomSetBackgroundColor},
    {"room_set_background", F_RoomSetBackground},
    {"room_set_view", F_RoomSetView},
    {"room_set_viewport", F_RoomSetViewport},
    {"room_get_viewport", F_RoomGetViewport},
    {"room_set_view_enabled", F_RoomSetViewEnabled},
    {"room_add", F_RoomAdd},
    {"room_duplicate", F_RoomDuplicate},
    {"room_assign", F_RoomAssign},
    {"room_instance_add", F_RoomInstanceAdd},
    {"room_instance_clear", F_RoomInstanceClear},
    {"room_tile_add", F_RoomTileAdd},
    {"room_tile_add_ext", F_RoomTileAddExt},
    {"room_tile_clear", F_RoomTileClear},
    {"room_get_camera", F_RoomGetCamera},
    {"room_set_camera", F_RoomSetCamera},
};

} // namespace

std::span<const LibraryBuiltinRow> ObjectResourceBuiltins() {
    return kObjectRows;
}
