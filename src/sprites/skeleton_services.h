// What the sprite module asks of skeletal animation (src/skeleton, which
// defines it): sprites made from skeleton files added at run time.
#pragma once

class CSprite;

// Reads the skeleton file at `path` (its JSON text, and the atlas
// "<folder><name>.atlas" beside it) for `sprite`; true when a skeleton, its
// JSON reader and its atlas were all made and the skeleton module now holds
// them for the sprite. False otherwise, having kept nothing: the caller then
// reads the file as an image.
bool SkeletonSprite_LoadFile(CSprite* sprite, const char* path);
