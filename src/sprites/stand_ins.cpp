// Stand-ins for sprites, backgrounds and tilesets, fonts and text, and
// particles, until the module is built: each accepts its call and does nothing,
// or answers "none" (or succeeds where the caller would otherwise stop). The
// module deletes each stand-in as it defines the real function; the build
// refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include "core/console.h"
#include "core/load_save.h"
#include "render/surface_services.h"
#include "world/instances/sprite_services.h"
#include "world/run/startup_services.h"

// ---- asked for through world/run/startup_services.h

void FINALIZE_Sprite_Class() {}

// ---- vector sprite data (asked for by the sprite table)

// Vector sprite data is not built yet: a vector sprite file found where it
// should be builds nothing, as one whose data does not build; the sprite is
// left as it was.
bool CSprite::LoadFromZQSFile(const char* path, int, int) {
    if (path == nullptr || !(LoadSave::SaveFileExists(path) || LoadSave::BundleFileExists(path)))
        return false;
    dbg_csol->Output("Vector sprite %s: vector sprite data cannot be read\n", path);
    return false;
}
