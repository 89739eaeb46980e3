// What rooms ask of modules that are built elsewhere: the marked count and
// collision tree of the instances, background sizes for stretched
// backgrounds, sprite frame counts and tileset animation. Modules not built
// yet answer through their stand-ins (src/<module>/stand_ins.cpp).
#pragma once

#include <cstdint>

class CInstance;
class CCode;
class CRoom;

// The size of background `index`; false when there is no such background.
bool Room_BackgroundSize(int index, int* width, int* height);

// Instances marked for removal since the last removal pass (counted by
// whatever destroys them): reading and clearing.
int Room_MarkedCount();
void Room_ClearMarkedCount();
// Whether the collision tree exists (fast collision on and the tree made);
// discarding it (removals then skip it) and building it anew from the
// room's live instances.
bool Room_CollisionTreeExists();
void Room_DiscardCollisionTree();
void Room_RebuildCollisionTree(CRoom* room);
// The number of frames of a sprite (0 when it does not exist).
int Room_SpriteFrameCount(int sprite);
// A tileset's animation: its frame count and frame time in microseconds;
// false when the tileset does not exist.
bool Room_TilesetAnimation(int tileset, int* frames, double* frameTimeMicros);
