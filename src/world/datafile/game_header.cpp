// Header chunk. Fields from offset 100 on exist only from the format version
// that introduced them, so the room order moves with the version: at 36 for
// version 7 and older, then 100, 104, 112, 120, 124 and 128 from version 14.
#include "world/datafile/game_header.h"

#include <algorithm>
#include <cstring>

#include "core/collector.h"
#include "core/console.h"
#include "core/error.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/timing_source.h"
#include "world/datafile/game_data_services.h"

ImageReader g_ZQHeader;
bool g_DebugBuild = false;
bool g_DebugWad = false;
int g_wadVersion = 0;
char* g_pTarvoConfig = nullptr;
char* g_pGameProjectName = nullptr;
char* g_pGameDisplayName = nullptr;
int Game_Id = 0;
uint8_t Game_GUID[16] = {};
int g_InitialScreenSizeX = 800;
int g_InitialScreenSizeY = 480;
int g_ApplicationWidth = 800;
int g_ApplicationHeight = 480;
uint32_t g_InitialScreenFlags = 2;
int g_IDE_Version = 3;
bool g_SteamWorkshop = false;
int64_t g_FunctionClassifications = -1;
uint32_t g_SteamAppId = 0;
int g_DebuggerServerPort = 6502;
bool g_subFunctionsOption = false;
int g_fileVersion = 800;
double g_WadGameSpeed = 0.0;
bool g_fInAWindow = false;

namespace {

constexpr size_t kFlagsOffset = 68;

char* CopyName(const char* text) {
    if (text == nullptr) return nullptr;
    size_t n = std::strlen(text) + 1;
    auto* copy = static_cast<char*>(ZQ_AllocNoClear(n));
    if (copy != nullptr) std::memcpy(copy, text, n);
    return copy;
}

void ReplaceName(char*& slot, const char* text) {
    ZQ_Free(slot);
    slot = CopyName(text);
}

uint32_t WordAt(const ImageReader& payload, size_t offset) {
    ImageReader r = payload;
    r.Seek(payload.Position() + offset);
    return r.U32();
}

const char* StringAt(const ImageReader& payload, size_t offset) {
    return payload.String(WordAt(payload, offset));
}

// Editor kind from bits 9 to 11; both 9 and 10 mean kind 4.
int EditorKind(uint32_t flags, int current) {
    if ((flags & 0x600) == 0x600) return 4;
    if (flags & 0x200) return 1;
    if (flags & 0x400) return 2;
    if (flags & 0x800) return 3;
    return current;
}

uint32_t ScreenFlags(uint32_t flags) {
    return g_fInAWindow ? flags & ~1u : flags;
}

// Every field the header's version (and generation) has must lie inside the
// chunk: the flags word at 68 is read at every version, the room order
// after the version's fields, and new-generation data of version 14 and
// later ends with the game speed.
void CheckSize(const ImageReader& payload, int version, bool newGeneration) {
    const size_t size = payload.Limit() - payload.Position();
    size_t need = kFlagsOffset + 4;
    const size_t order = Header_RoomOrderOffset(version);
    if (size >= order + 4) {
        const size_t rooms = WordAt(payload, order);
        need = std::max(need, order + 4 + 4 * rooms);
        if (newGeneration && version >= 14) need = std::max(need, 176 + 4 * rooms);
    } else {
        need = std::max(need, order + 4);
    }
    if (size < need)
        GameData_Fail(payload.Chunk(),
                      "the header at offset %zu holds %zu bytes, fewer than the %zu its version %d needs",
                      payload.Position(), size, need, version);
}

} // namespace

size_t Header_RoomOrderOffset(int version) {
    if (version <= 7) return 36;
    if (version <= 9) return 100;
    if (version == 10) return 104;
    if (version == 11) return 112;
    if (version == 12) return 120;
    if (version == 13) return 124;
    return 128;
}

void Header_Reset() {
    g_ZQHeader = ImageReader();
    g_DebugBuild = g_DebugWad = false;
    g_wadVersion = 0;
    ReplaceName(g_pTarvoConfig, nullptr);
    ReplaceName(g_pGameProjectName, nullptr);
    ReplaceName(g_pGameDisplayName, nullptr);
    Game_Id = 0;
    std::memset(Game_GUID, 0, sizeof Game_GUID);
    g_InitialScreenSizeX = g_ApplicationWidth = 800;
    g_InitialScreenSizeY = g_ApplicationHeight = 480;
    g_InitialScreenFlags = 2;
    g_IDE_Version = 3;
    g_SteamWorkshop = false;
    g_fJSGarbageCollection = false;
    g_FunctionClassifications = -1;
    g_SteamAppId = 0;
    g_DebuggerServerPort = 6502;
    g_subFunctionsOption = false;
    g_fileVersion = 800;
    g_WadGameSpeed = 0.0;
    g_isNimbar = false;
}

void Header_ReadStartup(ImageReader& payload) {
    init_csol->Output("Get Header Information\n");
    ImageReader r = payload;
    const uint8_t debug = r.U8();
    const int version = r.U8();
    CheckSize(payload, version, payload.Remaining() >= 48 && static_cast<int32_t>(WordAt(payload, 44)) > 1);
    g_ZQHeader = payload;
    g_DebugBuild = g_DebugWad = debug != 0;
    ReplaceName(g_pTarvoConfig, StringAt(payload, 8));
    Game_Id = static_cast<int32_t>(WordAt(payload, 20));
    uint32_t flags = WordAt(payload, kFlagsOffset);
    g_IDE_Version = EditorKind(flags, g_IDE_Version);
    // Only ever raised here: the command line's "-steam" stays in force.
    if ((flags & 0x1000) != 0 || g_bLaunchedFromPlayer) g_SteamWorkshop = true;
    ReplaceName(g_pGameProjectName, StringAt(payload, 40));

    if (version < 10) {
        g_FunctionClassifications = -1;
    } else {
        uint32_t displayName = WordAt(payload, 100);
        if ((g_IDE_Version == 2 || g_IDE_Version == 3) && displayName != 0)
            ReplaceName(g_pGameDisplayName, payload.String(displayName));
        if (version <= 11) g_FunctionClassifications = -1;
        if (version >= 12) {
            // The signed low word widened, OR-ed with the high word.
            int64_t low = static_cast<int32_t>(WordAt(payload, 112));
            uint64_t high = WordAt(payload, 116);
            g_FunctionClassifications = low | static_cast<int64_t>(high << 32);
        }
        if (version >= 13) g_SteamAppId = WordAt(payload, 120);
        if (version >= 14) g_DebuggerServerPort = static_cast<int32_t>(WordAt(payload, 124));
    }
    if (version >= 8) {
        g_InitialScreenSizeX = g_ApplicationWidth = static_cast<int32_t>(WordAt(payload, 60));
        g_InitialScreenSizeY = g_ApplicationHeight = static_cast<int32_t>(WordAt(payload, 64));
        g_fJSGarbageCollection = (flags & 0x8000) != 0;
        g_InitialScreenFlags = ScreenFlags(flags);
    }
    g_subFunctionsOption = version > 14;
    g_fileVersion = 800;

    init_csol->Output("InitVTLFunctions\n");
    g_isNimbar = static_cast<int32_t>(WordAt(payload, 44)) > 1;
    InitVTLFunctions();
}

bool Header_Load(ImageReader& payload) {
    ImageReader r = payload;
    r.Skip(1);
    const int version = r.U8();
    CheckSize(payload, version, g_isNimbar);
    g_ZQHeader = payload;
    g_wadVersion = version;
    Game_Id = static_cast<int32_t>(WordAt(payload, 20));
    r.Seek(payload.Position() + 24);
    std::memcpy(Game_GUID, r.Bytes(16), sizeof Game_GUID);

    Room_Set_maxid(static_cast<int32_t>(WordAt(payload, 12)));
    Room_Set_maxtileid(static_cast<int32_t>(WordAt(payload, 16)));
    if (g_wadVersion >= 8) {
        g_InitialScreenSizeX = static_cast<int32_t>(WordAt(payload, 60));
        g_InitialScreenSizeY = static_cast<int32_t>(WordAt(payload, 64));
        g_InitialScreenFlags = ScreenFlags(WordAt(payload, kFlagsOffset));
    }

    Room_LoadOrder(payload, g_wadVersion);

    if (g_fJSGarbageCollection) JS_InitRuntime();

    if (g_isNimbar && g_wadVersion >= 14) {
        size_t rooms = WordAt(payload, Header_RoomOrderOffset(g_wadVersion));
        ImageReader speed = payload;
        speed.Seek(payload.Position() + 172 + 4 * rooms);
        g_WadGameSpeed = speed.F32();
        Timing_SetGameSpeed(g_WadGameSpeed);
    }
    return true;
}
