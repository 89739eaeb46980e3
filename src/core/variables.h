// Variable reads and writes: by object and id (built-in through its getter
// and setter, user variables by slot), by target (all instances, an object
// type with its descendants, one instance id), the forms compiled code calls
// for other instances' variables, the global object with its declared table
// and saved-game piece, and the scope chain of the bytecode interpreter.
#pragma once

#include <cstdint>

#include "core/variable_names.h"

class IBuffer;
class ZQObjectBase;
struct RValue;

// The global object (slots = the larger of the global and instance counts)
// and the innermost scope of the bytecode interpreter.
extern ZQObjectBase* g_pGlobal;
extern ZQObjectBase* g_pScopeHead;
// Slot counts given by the data file or the compiled record
// (g_nInstanceVariables lives with the script objects).
extern int32_t g_nGlobalVariables;
extern int32_t g_nLocalVariables;
// Set by a read whose target matched no instance; cleared by each Variable_GetValue.
extern int g_fInstanceNotFound;

// Target codes of reads and writes.
inline constexpr int32_t TARGET_ALL = -3;
inline constexpr int32_t TARGET_FIRST_INSTANCE_ID = 100000;

// The highest slot count a user variable of the object may reach: the
// declared count of its scope, or the number of names registered for it
// since. Reads beyond an object's slots give unset; writes beyond this limit
// are refused rather than growing a slot array to a size no name needs.
int32_t Variable_SlotLimit(const ZQObjectBase* object);

// By object. A built-in id calls the getter or setter (false when the
// variable has none or the id names no built-in); a user id reads or writes
// slot id - 100000 (element arrayIndex, or the whole value for
// ARRAY_INDEX_NO_INDEX). Ids that are neither give false. The read releases
// what `out` held.
bool Variable_GetValue_Direct(ZQObjectBase* object, int id, int arrayIndex, RValue* out);
bool Variable_SetValue_Direct(ZQObjectBase* object, int id, int arrayIndex, RValue* in);
// A user slot of an object, as the reads and writes by object and by target
// use it: an object without variable slots gives false on a read and takes
// no write; a slot with no storage yet but within the limit reads as unset;
// a write past the limit is refused.
bool ReadUserSlot(ZQObjectBase* object, int32_t slot, int arrayIndex, RValue* out);
bool WriteUserSlot(ZQObjectBase* object, int32_t slot, int arrayIndex, const RValue* in);

// By target: -3 the running room's active list, 0 to 99999 an object type and
// its descendants (then the instances waiting for an object change or for
// activation), 100000 and above one instance id. Marked instances, and in
// the list walks deactivated ones, are skipped. A read takes the first
// match; none gives false with g_fInstanceNotFound set. A write visits every
// match; none raises "Unable to find any instance for object index ..." and
// gives false. Other negative targets give false without a message. They walk
// the running room and the object lists, so they are defined above the room
// (world/lifecycle/target_variables.cpp).
bool Variable_GetValue(int target, int id, int arrayIndex, RValue* out);
bool Variable_GetValue_OBJTYPE(int objectIndex, int id, int arrayIndex, RValue* out);
bool Variable_SetValue(int target, int id, int arrayIndex, RValue* in);
// The forms compiled code calls for another instance's user variable by
// slot: no built-ins and no messages. The deferred lists match the
// instance's own object only; the write visits the change list but not the
// activation list.
bool ZQVTL_Variable_GetValue(int target, int slot, int arrayIndex, RValue* out);
bool ZQVTL_Variable_SetValue(int target, int slot, int arrayIndex, RValue* in);
// The object name behind a target, or "<unknown_object>".
const char* Variable_GetObjectName(int target);

// ---------------------------------------------------------------------------
// Globals.

// The declared table: 10000 entries, all false.
void Variable_Global_Init();
// Marks a global id as declared, growing the table by 1000 entries at a time
// up to the global slot limit; ids below 100000 or beyond it change nothing.
void Variable_Global_Declare(int id);
bool Variable_Global_Declared(int id);
// Length of the declared table.
int32_t Variable_Global_DeclaredLength();
// Reads a global. An unset global whose name is a built-in function's reads
// as a new function reference to that built-in.
bool Variable_Global_GetVar(int id, int arrayIndex, RValue* out);
// Writes a global; a global written for the first time gets flags 7.
bool Variable_Global_SetVar(int id, int arrayIndex, RValue* in);
// The saved-game piece: the global count, every global value, the declared
// table's length and one word per entry. Reading refuses a piece whose count
// differs from this game's ("Save game format has changed") or that is cut
// short or damaged, and then changes nothing; false.
void Variable_Global_Serialise(IBuffer* buffer);
bool Variable_Global_DeSerialise(IBuffer* buffer);

// ---------------------------------------------------------------------------
// Scope chain (bytecode): scopes from g_pScopeHead outwards through each
// object's outer object, skipping objects without slots.

// The first scope that holds the variable gives it (a property-descriptor
// object runs its getter); none: a built-in function's name gives a function
// reference, else false.
bool Variable_Scope_GetVar(int id, int arrayIndex, RValue* out);
// The first scope that holds the variable receives the write, else the
// innermost scope; a descriptor runs its setter.
bool Variable_Scope_SetVar(int id, int arrayIndex, RValue* in);
// Unsets the variable in the first scope that holds it; false when its flags
// say it cannot be deleted.
bool Variable_Scope_DeleteVar(int id, int arrayIndex);

// Property-descriptor access of the script object runtime (null until it is built).
struct VariableHooks {
    void (*accessorGet)(ZQObjectBase* object, RValue* out, RValue* descriptor);
    void (*accessorSet)(ZQObjectBase* object, RValue* in, RValue* descriptor);
};
extern VariableHooks g_VariableHooks;

// Frees every built-in variable name, the table and the declared table.
void FINALIZE_Variable_Main();
