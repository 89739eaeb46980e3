// The script-object collector's entry points that stores of object values
// call. The collector itself is off until the game data asks for it; while it
// is off (and until it is built) these do nothing.
#pragma once

class ZQObjectBase;

// Write barrier: `value` was stored into `holder` (either may be null).
void DeterminePotentialRoot(ZQObjectBase* holder, ZQObjectBase* value);
// The object currently receiving stores, or null.
ZQObjectBase* GetContextStackTop();
