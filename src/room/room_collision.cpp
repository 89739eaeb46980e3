// The room's side of the instance tree: the count of instances marked for
// removal, and discarding and rebuilding the tree around a mass removal.
#include "room/room.h"
#include "room/room_services.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/instances/instance_tree.h"
#include "world/objects/object_type.h"

// The count lives on the instance class: every way of destroying an instance
// counts it there.
int Room_MarkedCount() {
    return CInstance::ms_markedCount;
}

void Room_ClearMarkedCount() {
    CInstance::ms_markedCount = 0;
}

bool Room_CollisionTreeExists() {
    return option_use_fast_collision && g_tree != nullptr;
}

void Room_DiscardCollisionTree() {
    DiscardTree();
}

// The tree is rebuilt from the running room, the only room whose instances
// are filed.
void Room_RebuildCollisionTree(CRoom*) {
    RebuildTree();
}
