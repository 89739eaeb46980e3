// Instance life: creating, copying, destroying and changing instances,
// counting and finding them, and deactivating and activating them by object
// and by region; the commands and the built-ins that expose them.
#pragma once

#include <span>

#include "core/function_table.h"

class CInstance;
struct CInstanceArray;
struct ZQRValue;

// Creation: null when the object does not exist (reported), no room runs, or
// the layer is missing. The new instance's Pre-Create and Create events have
// run when these return.
CInstance* Command_Create(int object, float x, float y);
CInstance* Command_Create_Depth(int object, float x, float y, int depth);
CInstance* Command_Create_Layer(int object, float x, float y, int layerId);
CInstance* Command_Create_Layer(int object, float x, float y, const char* layerName);
// A copy of `self` at its position; its creation events run with
// `performEvent`. Null when no room runs.
CInstance* Command_InstanceCopy(CInstance* self, bool performEvent);

// Destroy and Clean Up events once, then marked for removal.
void Command_Destroy(CInstance* instance);
// DoDestroy, the destroy with or without the Destroy event, is declared with
// the instance (instances/instance.h) for the room's layers.
// DoDestroy for every live instance of the target (-1 self, -2 other, -3 all,
// an object with its descendants, an id). The target is gathered before any
// event runs, so instances that Destroy events create are not destroyed.
void DoInstanceDestroy(CInstance* self, CInstance* other, int target, bool runDestroyEvent);
void Command_DestroyAt(float x, float y);
void Command_Change(CInstance* instance, int object, bool runEvents);
void Command_ChangeAt(float x, float y, int object, bool runEvents);
void Command_SetSprite(CInstance* instance, int sprite);

int Command_InstanceNumber(int target);

// Puts the state instances share back as the program started: no instance
// marked for removal, the creation stamp at 0, the deferred change lists and
// the scratch list empty (their storage kept), no region. The id table and
// the instances in it are left to their owners.
void InstanceLife_Reset();
CInstance* Command_InstanceNearest(float x, float y, int target);
CInstance* Command_InstanceFurthest(float x, float y, int target);
// The n-th live instance of the target (from 0), or null.
CInstance* Command_InstanceFind(CInstance* self, CInstance* other, int target, int n);
bool Command_InstanceExists(CInstance* self, CInstance* other, int target);

// Activation. Each changes only the deactivated flag and queues the instance
// on g_InstanceActivateDeactive; the room's lists follow at the next update.
using TInstanceCallback = void (*)(CInstance* instance);
// The live instances of the room (active list, then deactivated list): handed
// to the callback, or gathered in the returned scratch list without one.
CInstanceArray& GetActiveList(TInstanceCallback callback);
// The deactivated, unmarked instances: handed to the callback when given, and
// gathered in the returned scratch list in either case.
CInstanceArray& GetDeactiveList(TInstanceCallback callback);
void Command_DeactivateAll(CInstance* self, bool notme);
void Command_DeactivateObject(CInstance* self, CInstance* other, int target);
void Command_ActivateAll();
void Command_ActivateObject(CInstance* self, CInstance* other, int target);
void Command_DeactivateRegion(CInstance* self, float left, float top, float width, float height, bool inside,
                              bool notme);
void Command_ActivateRegion(float left, float top, float width, float height, bool inside);

// Compiled code's direct calls.
double ZQVTL_instance_create(float x, float y, int object);
void ZQVTL_instance_destroy(CInstance* self, CInstance* other, int argc, ZQRValue** args);
void ZQVTL_instance_change(CInstance* instance, int object, bool runEvents);
bool ZQVTL_instance_exists(CInstance* self, CInstance* other, int target);
int ZQVTL_instance_number(CInstance* self, CInstance* other, int target);
bool ZQVTL_instance_waiting_for_activation(int object);

// The built-ins of instance life, counting and activation.
std::span<const GameBuiltinRow> InstanceLife_Builtins();
