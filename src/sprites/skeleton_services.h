// What the sprite module asks of skeletal animation (src/skeleton, which
// defines it): sprites made from skeleton files added at run time, and the
// instance being drawn, which skeletal sprites read their animation state
// from.
#pragma once

class CInstance;
class CSprite;

// Reads the skeleton file at `path` (its JSON text, and the atlas
// "<folder><name>.atlas" beside it) for `sprite`; true when a skeleton, its
// JSON reader and its atlas were all made and the skeleton module now holds
// them for the sprite. False otherwise, having kept nothing: the caller then
// reads the file as an image.
bool SkeletonSprite_LoadFile(CSprite* sprite, const char* path);

// Sets the instance drawn now; null once its drawing is over.
void SkeletonSprite_SetDrawInstance(CInstance* instance);
