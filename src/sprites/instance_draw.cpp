// One instance's drawing. An object with a Draw event (found up the parent
// chain) draws itself; otherwise its sprite is drawn, with the simple form
// when nothing about the image differs from the defaults.
#include "sprites/instance_draw.h"

#include <cmath>

#include "core/real_to_int.h"
#include "sprites/skeleton_services.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {
constexpr int kEventDraw = 8;
} // namespace

bool Instance_IsDrawable(const CInstance* instance) {
    return instance != nullptr && !instance->i_marked && !instance->i_deactivated && instance->i_visible;
}

void Instance_Draw(CInstance* instance, bool truncateFrame) {
    if (instance == nullptr) return;
    if (instance->m_pObject != nullptr && instance->m_pObject->HasEventRecursive(kEventDraw, 0)) {
        SkeletonSprite_SetDrawInstance(instance);
        Perform_Event(instance, instance, kEventDraw, 0);
        SkeletonSprite_SetDrawInstance(nullptr);
        return;
    }
    const CSprite* sprite = Sprite_Data(instance->i_spriteindex);
    if (sprite == nullptr) return;
    SkeletonSprite_SetDrawInstance(instance);
    if (instance->i_imagescalex == 1.0f && instance->i_imagescaley == 1.0f &&
        instance->i_imageangle == 0.0f && instance->i_imageblend == 0xFFFFFF &&
        instance->i_imagealpha == 1.0f) {
        const double index = instance->i_imageindex;
        sprite->DrawSimple(RealToInt32(truncateFrame ? index : std::floor(index)), instance->i_x, instance->i_y);
    } else {
        sprite->Draw(RealToInt32(instance->i_imageindex), instance->i_x, instance->i_y,
                     instance->i_imagescalex, instance->i_imagescaley, instance->i_imageangle,
                     instance->i_imageblend, instance->i_imagealpha);
    }
    SkeletonSprite_SetDrawInstance(nullptr);
}
