// The room's copy of an instance, until rooms copy instances whole.
#include "room/room_services.h"

#include "world/instances/instance.h"

CInstance* Room_CopyInstance(const CInstance* source) {
    auto* copy = new CInstance(source->i_x, source->i_y, source->i_id, source->i_objindex, true);
    copy->i_depth = source->i_depth;
    copy->i_marked = source->i_marked;
    copy->i_deactivated = source->i_deactivated;
    return copy;
}
