// Plain answers for what rooms ask of modules not built yet: the instance
// module's built-in state and the background table.
#include "room/room_services.h"

#include "world/instance.h"
#include "world/instance_life.h"

void Room_SetupStoredInstance(CInstance* instance, CCode* create, CCode* preCreate, float xscale,
                              float yscale, uint32_t blend, float alpha, float angle) {
    instance->m_pCreationCode = create;
    instance->m_pPreCreationCode = preCreate;
    instance->i_imagescalex = xscale;
    instance->i_imagescaley = yscale;
    instance->i_imageblend = blend;
    instance->i_imagealpha = alpha;
    instance->i_imageangle = angle;
}

bool Room_BackgroundSize(int, int*, int*) {
    return false;
}

// As the destroy built-in does, with the Destroy event.
void Room_DestroyInstance(CInstance* instance) {
    DoDestroy(instance, true);
}

int Room_SpriteFrameCount(int) {
    return 0;
}
bool Room_TilesetAnimation(int, int*, double*) {
    return false;
}
