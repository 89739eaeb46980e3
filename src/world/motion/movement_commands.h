// Movement commands: moving the calling instance in one go (to a random free
// place, onto a grid, up to or out of contact, bouncing, wrapping), setting
// its motion, measuring distances from its box, and starting or ending paths.
#pragma once

#include <span>

#include "core/function_table.h"

class CInstance;

void Command_MoveRandom(CInstance* instance, int hsnap, int vsnap);
bool Command_PlaceSnapped(const CInstance* instance, double hsnap, double vsnap);
void Command_Snap(CInstance* instance, float hsnap, float vsnap);
void Command_MoveTowards(CInstance* instance, float x, float y, float speed);
// Steps of one pixel: lrint(maxDistance) of them, 1000 when maxDistance <= 0.
// `all`: against every instance; otherwise against solid ones.
void Command_MoveContact(CInstance* instance, float direction, float maxDistance, bool all);
void Command_MoveOutside(CInstance* instance, float direction, float maxDistance, bool all);
void Command_Bounce(CInstance* instance, bool advanced, bool all);
void Command_MoveWrap(CInstance* instance, bool horizontal, bool vertical, float margin);
// The legacy wrap action: by the sprite's scaled size, in the moving direction.
void Command_Wrap(CInstance* instance, bool horizontal, bool vertical);
double Command_DistanceToPoint(CInstance* instance, double x, double y);
double Command_DistanceToObject(CInstance* self, CInstance* other, int target);
// Distance between two instances' boxes; 1000000 when a is null, is b, or is
// marked or deactivated.
float FindDist(CInstance* a, CInstance* b);

// Compiled code's direct calls.
void ZQVTL_move_snap(CInstance* instance, float hsnap, float vsnap);
void ZQVTL_motion_set(CInstance* instance, float direction, float speed);

std::span<const GameBuiltinRow> MovementCommands_Builtins();
