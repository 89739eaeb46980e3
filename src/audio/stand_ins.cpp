// Stand-ins for the sound system and its mixer, until the module is built: each
// accepts its call and does nothing, or answers "none" (or succeeds where the
// caller would otherwise stop). The module deletes each stand-in as it defines
// the real function; the build refuses a function defined both here and in the
// module (tools/check_duplicates.sh).
#include "audio/legacy_sound.h"
#include "core/builtin_services.h"
#include "world/datafile/game_data_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through core/builtin_services.h

int Sound_Find(const char*) {
    return -1;
}

// ---- asked for through world/datafile/game_data_services.h

void Sound_Init() {}

void Sound_Load(ImageReader&) {}

void Sound_WAVs(ImageReader&) {}

// ---- asked for through world/run/startup_services.h

bool Sound_Prepare() {
    return true;
}

void FINALIZE_Sound() {}

// ---- asked for through audio/legacy_sound.h (the legacy asset table, which
// the loaders above leave empty)

CSound* Sound_Data(int) {
    return nullptr;
}
