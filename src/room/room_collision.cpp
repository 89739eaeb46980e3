// The room's side of the instance tree: the count of instances marked for
// removal, and discarding and rebuilding the tree around a mass removal.
#include "room/room.h"
#include "room/room_services.h"
#include "world/instance.h"
#include "world/instance_tree.h"
#include "world/object_type.h"
#include "world/options.h"

namespace {

int32_t s_markedCount = 0;

} // namespace

void Room_NoteMarked() {
    ++s_markedCount;
}

int Room_MarkedCount() {
    return s_markedCount;
}

void Room_ClearMarkedCount() {
    s_markedCount = 0;
}

bool Room_CollisionTreeExists() {
    return option_use_fast_collision && g_tree != nullptr;
}

// Instances destroyed while the tree is gone find nothing to remove.
void Room_DiscardCollisionTree() {
    delete g_tree;
    g_tree = nullptr;
}

// A fresh tree holding every live instance of the room whose object takes
// part in collisions: boxes out of date are recomputed (which files them),
// the others are filed under their current box.
void Room_RebuildCollisionTree(CRoom* room) {
    delete g_tree;
    g_tree = new CInstanceTree(INSTANCE_TREE_BLOCK);
    if (room == nullptr) return;
    for (CInstance* i = room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
        if (i->i_marked || i->i_deactivated) continue;
        if (i->m_pObject != nullptr && (i->m_pObject->m_flags & OBJECT_FLAG_COLLISIONS) == 0) continue;
        if (i->m_bboxDirty) {
            i->Compute_BoundingBox(true);
        } else {
            const CInstanceTree::Rect r = InstanceTreeRect(i->i_bbox);
            g_tree->Insert(r.m_min, r.m_max, i);
        }
    }
}
