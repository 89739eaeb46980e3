// What instance drawing asks of the skeletal animation: the instance being
// drawn, which skeletal sprites read their animation state from. It is set
// around each instance's draw and cleared after it.
#pragma once

class CInstance;

void SkeletonSprite_SetDrawInstance(CInstance* instance);
