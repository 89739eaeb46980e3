// What drawing asks of skeletal animation, built later: the instance being
// drawn, which skeletal sprites read for its animation state. The skeleton
// module keeps it (src/skeleton/stand_ins.cpp answers until it exists).
#pragma once

class CInstance;

// Sets the instance drawn now; null once its drawing is over.
void SkeletonSprite_SetDrawInstance(CInstance* instance);
