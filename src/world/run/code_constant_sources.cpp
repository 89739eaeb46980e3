// The named constants' sources above the core: the resource tables a script
// name resolves to before the constants, and the game's own constants from
// the options chunk.
#include "core/builtin_services.h"
#include "core/code_constants.h"
#include "core/script.h"
#include "room/room_table.h"
#include "world/datafile/options.h"
#include "world/motion/path_resources.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"

namespace {

// The resource tables a name is looked up in before the constants, in order.
int (*const kResourceFinders[])(const char*) = {
    Sprite_Find, Sound_Find,    Object_Find, Audio_Find, Background_Find, Path_Find,
    Font_Find,   TimeLine_Find, Script_Find, Room_Find,  Shader_Find,
};

} // namespace

int Code_Constant_FindResource(const char* name) {
    for (int (*find)(const char*) : kResourceFinders) {
        const int index = find(name);
        if (index >= 0) return index;
    }
    return -1;
}

bool Code_Constant_Prepare() {
    for (int32_t i = 0; i < option_const_numb; ++i)
        if (!Code_Constant_Add(option_const_name[i],
                               option_const_val != nullptr ? option_const_val[i] : nullptr))
            return false;
    return true;
}
