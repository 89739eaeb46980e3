// Plain answers for what rooms ask of modules not built yet: the instance
// module's built-in state and copying, and the background table.
#include "room/room_services.h"

#include "world/instances/instance.h"

CInstance* Room_CopyInstance(const CInstance* source) {
    auto* copy = new CInstance(source->i_x, source->i_y, source->i_id, source->i_objindex, true);
    copy->i_depth = source->i_depth;
    copy->i_marked = source->i_marked;
    copy->i_deactivated = source->i_deactivated;
    return copy;
}

bool Room_BackgroundSize(int, int*, int*) {
    return false;
}

int Room_SpriteFrameCount(int) {
    return 0;
}
bool Room_TilesetAnimation(int, int*, double*) {
    return false;
}
