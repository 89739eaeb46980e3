// Collision queries: which instance lies at a point, in a rectangle, ellipse
// or on a line, what an instance would touch elsewhere, whether a place is
// free; by walking the instance lists or by searching the instance tree, as
// the fast-collision option says. Also the built-ins that expose them.
#pragma once

#include <span>

#include "core/function_table.h"

class CInstance;
class CObjectVT;

CInstance* Command_CollisionPoint(CInstance* self, float x, float y, int target, bool precise, bool notme);
CInstance* Command_CollisionRectangle(CInstance* self, float x1, float y1, float x2, float y2, int target,
                                      bool precise, bool notme);
CInstance* Command_CollisionEllipse(CInstance* self, float x1, float y1, float x2, float y2, int target,
                                    bool precise, bool notme);
CInstance* Command_CollisionLine(CInstance* self, float x1, float y1, float x2, float y2, int target,
                                 bool precise, bool notme);
CInstance* Command_InstancePosition(float x, float y, int target);
CInstance* Command_InstancePlace(CInstance* self, float x, float y, int target);
bool Command_IsFree(CInstance* self, float x, float y);
bool Command_IsEmpty(CInstance* self, float x, float y);
bool Command_IsMeeting(CInstance* self, int target, float x, float y);
bool Command_ObjectAt(float x, float y, int target);
// 2 = walk the lists, 1 = search the tree, -1 = no such object. The object
// of an object target is stored through `object` (null otherwise).
int ShouldUseFastCollision(int target, CObjectVT** object);

// Compiled code's direct calls.
bool ZQVTL_place_free(CInstance* self, float x, float y);
bool ZQVTL_position_meeting(CInstance* self, CInstance* other, float x, float y, int target);

// One built-in as registered: name, routine and argument count.
struct CollisionBuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
};
// The twelve collision built-ins in their registration order, for the game
// built-ins' table.
std::span<const CollisionBuiltinRow> CollisionQuery_Builtins();
