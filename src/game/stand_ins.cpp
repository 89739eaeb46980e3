// Stand-ins for the game's compiled code, until the module is built: each
// accepts its call and does nothing, or answers "none" (or succeeds where the
// caller would otherwise stop). The module deletes each stand-in as it defines
// the real function; the build refuses a function defined both here and in the
// module (tools/check_duplicates.sh).
#include "core/code.h"
#include "world/datafile/game_data_services.h"

// ---- asked for through world/datafile/game_data_services.h

// The game's compiled code fills the record; until it is linked in, the
// record stays empty (no compiled variables, functions or code).
void InitLLVM(SLLVMVars*) {}
