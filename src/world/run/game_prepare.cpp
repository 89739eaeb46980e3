// Game preparation: "options.ini" read as this platform's settings, the
// debug-information file walked with every table checked against its image,
// the graphics start, the seven preparation steps, and the shut-down of the
// start-up's own state.
#include "world/run/game_prepare.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/code.h"
#include "core/code_constants.h"
#include "core/console.h"
#include "core/game_image.h"
#include "core/graphics_perf.h"
#include "core/ini_file.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "core/run_settings.h"
#include "core/script.h"
#include "room/room_table.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"
#include "world/motion/path_resources.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"
#include "world/run/startup_services.h"

int g_MajorVersion = 1;
int g_MinorVersion = 0;
int g_BuildVersion = 0;
bool g_DefaultOrient_landscape = true;
bool g_DefaultOrient_landscapeFlipped = true;
bool g_DefaultOrient_portrait = true;
bool g_DefaultOrient_portraitFlipped = true;

uint8_t* g_pDebugFile = nullptr;
uint8_t* g_pDEBUGBaseAddress = nullptr;
int g_DebugFileSize = 0;
const uint8_t* g_ppDebugInfo = nullptr;
int g_DebugInfoCount = 0;
const uint8_t* g_ppDebugInstNames = nullptr;
int g_DebugInstNameCount = 0;
const uint8_t* g_ppDebugScript = nullptr;
int g_DebugScriptCount = 0;

namespace {

constexpr char kMac[] = "Mac";

uint32_t WordAt(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void ReadInt(IniFile* ini, const char* key, int& setting) {
    if (const char* value = ini->ReadString(kMac, key, nullptr)) setting = std::atoi(value);
}

void ReadBool(IniFile* ini, const char* key, bool& setting) {
    if (const char* value = ini->ReadString(kMac, key, nullptr)) setting = Platform_ReadBool(value);
}

} // namespace

// ---------------------------------------------------------------------------
// "options.ini"

bool Platform_ReadBool(const char* value) {
    if (value == nullptr) return false;
    if (std::strcmp(value, "True") == 0) return true;
    if (std::strcmp(value, "False") == 0) return false;
    return std::atoi(value) != 0;
}

void Platform_Setup(IniFile* ini) {
    if (ini == nullptr) return;
    if (const char* name = ini->ReadString(kMac, "DisplayName", nullptr)) PropagateGameName(name);
    if (const char* text = ini->ReadString(kMac, "Copyright", nullptr)) PropagateCopyright(text);
    ReadInt(ini, "MajorVersion", g_MajorVersion);
    ReadInt(ini, "MinorVersion", g_MinorVersion);
    ReadInt(ini, "BuildVersion", g_BuildVersion);
    ReadBool(ini, "OrientLandscape", g_DefaultOrient_landscape);
    ReadBool(ini, "OrientLandscapeFlipped", g_DefaultOrient_landscapeFlipped);
    ReadBool(ini, "OrientPortrait", g_DefaultOrient_portrait);
    ReadBool(ini, "OrientPortraitFlipped", g_DefaultOrient_portraitFlipped);
    Platform_RestrictOrientation(g_DefaultOrient_landscape, g_DefaultOrient_portrait,
                                 g_DefaultOrient_landscapeFlipped, g_DefaultOrient_portraitFlipped);
    if (ini->ReadInt(kMac, "Debug", 0) != 0) {
        DebugMode = true;
        GraphicsPerf::ms_DisplayFlags = 2;
        g_PhysicsDebugMode = true;
    }
    if (ini->ReadInt(kMac, "Trace", 0) != 0) g_fVMTrace = true;
}

bool OverwriteGameINIKey(IniFile* target, IniFile* source, const char* section, const char* key) {
    if (target == nullptr || source == nullptr) return false;
    const IniFile::Key* from = source->GetKey(section, key);
    if (from == nullptr) return false;
    IniFile::Key* to = target->GetKey(section, key);
    if (to == nullptr) return false;
    char* copy = ZQStrDup(from->value != nullptr ? from->value : "");
    if (copy == nullptr) return false;
    ZQ_Free(to->value);
    to->value = copy;
    return true;
}

bool OverwriteGameINI(IniFile*, IniFile*) {
    return false;
}

// Start-up hands "options.ini" to input, the file service, sound and this
// platform's settings; the document stays for the run (virtual keys read it
// when rooms start).
void GameIni_Load(const char* path) {
    delete g_pGameINI;
    g_pGameINI = new IniFile(path, true);
    IO_Setup(g_pGameINI);
    LoadSave::SetUp(g_pGameINI);
    Sound_Setup(g_pGameINI);
    Platform_Setup(g_pGameINI);
}

// ---------------------------------------------------------------------------
// The debug-information file

namespace {

// A counted table of offsets, each 0 or the offset of a record whose first
// `recordWords` words (at least the first) lie inside the image. With
// `counted`, the record's first word counts further words that must fit too.
const uint8_t* CheckedTable(ImageReader& chunk, int& count, bool counted) {
    const uint32_t n = chunk.Count(4);
    const uint8_t* table = chunk.Bytes(static_cast<size_t>(n) * 4);
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t offset = WordAt(table + 4 * static_cast<size_t>(i));
        if (offset == 0) continue;
        const uint8_t* record = chunk.Resolve(offset, 4);
        if (counted) chunk.Resolve(offset, 4 + static_cast<size_t>(WordAt(record)) * 4);
    }
    count = static_cast<int>(n);
    return table;
}

// Record of "INST" or "SCPT": its first word is the offset of a text, which
// must be terminated inside the image.
void CheckTexts(ImageReader& chunk, const uint8_t* table, int count) {
    for (int i = 0; i < count; ++i) {
        const uint32_t offset = WordAt(table + 4 * static_cast<size_t>(i));
        if (offset != 0) chunk.String(WordAt(chunk.Resolve(offset, 4)));
    }
}

const uint8_t* Entry(const uint8_t* table, int count, int index, size_t need) {
    if (table == nullptr || g_pDebugFile == nullptr || index < 0 || index >= count) return nullptr;
    const uint32_t offset = WordAt(table + 4 * static_cast<size_t>(index));
    if (offset == 0 || offset > static_cast<uint32_t>(g_DebugFileSize) ||
        static_cast<size_t>(g_DebugFileSize) - offset < need)
        return nullptr;
    return g_pDebugFile + offset;
}

const char* TextOf(const uint8_t* table, int count, int index) {
    const uint8_t* record = Entry(table, count, index, 4);
    if (record == nullptr) return nullptr;
    const uint32_t text = WordAt(record);
    if (text == 0 || text >= static_cast<uint32_t>(g_DebugFileSize)) return nullptr;
    return reinterpret_cast<const char*>(g_pDebugFile + text);
}

} // namespace

void DebugInfo_Load(ImageReader& chunk) {
    int count = 0;
    const uint8_t* table = CheckedTable(chunk, count, true);
    g_ppDebugInfo = table;
    g_DebugInfoCount = count;
}

void DebugInstNames_Load(ImageReader& chunk) {
    int count = 0;
    const uint8_t* table = CheckedTable(chunk, count, false);
    CheckTexts(chunk, table, count);
    g_ppDebugInstNames = table;
    g_DebugInstNameCount = count;
}

void DebugScript_Load(ImageReader& chunk) {
    int count = 0;
    const uint8_t* table = CheckedTable(chunk, count, false);
    CheckTexts(chunk, table, count);
    g_ppDebugScript = table;
    g_DebugScriptCount = count;
}

bool LoadDebugInfo(uint8_t* image, unsigned length) {
    DebugInfo_Free();
    if (image == nullptr) return false;
    g_pDebugFile = image;
    g_pDEBUGBaseAddress = image;
    g_DebugFileSize = static_cast<int>(length);
    // A file whose size field disagrees with its length is kept but not read.
    if (length < 8 || static_cast<uint64_t>(WordAt(image + 4)) + 8 != length) return false;
    size_t offset = 8;
    while (offset < length) {
        if (length - offset < 8) {
            rel_csol->Output("Debug information: a chunk header at offset %zu is cut off\n", offset);
            break;
        }
        char tag[5] = {};
        std::memcpy(tag, image + offset, 4);
        const uint32_t size = WordAt(image + offset + 4);
        const size_t payload = offset + 8;
        init_csol->Output("Process Chunk: %s   %d\n", tag, static_cast<int>(size));
        if (size > length - payload) {
            rel_csol->Output("Debug information: chunk %s runs past the end of the file\n", tag);
            break;
        }
        if (size != 0) {
            ImageReader chunk(image, length, payload, payload + size, "debug information");
            try {
                if (std::memcmp(tag, "DBGI", 4) == 0) DebugInfo_Load(chunk);
                if (std::memcmp(tag, "INST", 4) == 0) DebugInstNames_Load(chunk);
                if (std::memcmp(tag, "SCPT", 4) == 0) DebugScript_Load(chunk);
            } catch (const GameDataError& error) {
                rel_csol->Output("%s\n", error.what());
            }
        }
        offset = payload + size;
    }
    return true;
}

// The file named like the data file with ".zqdebug" in place of its
// extension, read from the bundle.
void DebugInfo_Load(const char* path) {
    int length = 0;
    char* image = LoadSave::ReadBundleFile(path, &length);
    if (image == nullptr) return;
    LoadDebugInfo(reinterpret_cast<uint8_t*>(image), static_cast<unsigned>(length));
}

void DebugInfo_Free() {
    ZQ_Free(g_pDebugFile);
    g_pDebugFile = nullptr;
    g_pDEBUGBaseAddress = nullptr;
    g_DebugFileSize = 0;
    g_ppDebugInfo = nullptr;
    g_DebugInfoCount = 0;
    g_ppDebugInstNames = nullptr;
    g_DebugInstNameCount = 0;
    g_ppDebugScript = nullptr;
    g_DebugScriptCount = 0;
}

const uint32_t* DebugInfo_Words(int codeIndex, int* count) {
    const uint8_t* record = Entry(g_ppDebugInfo, g_DebugInfoCount, codeIndex, 4);
    if (record == nullptr) return nullptr;
    const uint32_t n = WordAt(record);
    if ((static_cast<size_t>(g_DebugFileSize) - static_cast<size_t>(record - g_pDebugFile) - 4) / 4 < n)
        return nullptr;
    if (count != nullptr) *count = static_cast<int>(n);
    return reinterpret_cast<const uint32_t*>(record + 4);
}

const char* DebugInfo_InstanceName(int index) {
    return TextOf(g_ppDebugInstNames, g_DebugInstNameCount, index);
}

const char* DebugInfo_ScriptText(int codeIndex) {
    return TextOf(g_ppDebugScript, g_DebugScriptCount, codeIndex);
}

// ---------------------------------------------------------------------------
// Graphics and preparation

bool InitGraphics() {
    if (option_changeresolution) DisplaySet();
    init_csol->Output("GR_D3D_Init()\n");
    if (!GR_D3D_Init()) return false;
    init_csol->Output("Background_InitTextures()\n");
    Background_InitTextures();
    init_csol->Output("Sprite_InitTextures()\n");
    Sprite_InitTextures();
    init_csol->Output("Font_InitTextures()\n");
    Font_InitTextures();
    Graphics_EndInit();
    return true;
}

namespace {

bool PrepareStep(const char* line, bool (*step)(), const char* failure) {
    init_csol->Output("%s", line);
    if (step()) return true;
    Platform_ShowMessage(failure);
    return false;
}

bool PrepareSounds() {
    Sound_SystemInit();
    return Sound_Prepare();
}

} // namespace

bool PrepareGame() {
    // A room that fails shows the objects' message, as the data's tools expect.
    if (!PrepareStep("Extension_Prepare() \n", Extension_Prepare, "Failed to prepare extension packages.") ||
        !PrepareStep("Code_Constant_Prepare() \n", Code_Constant_Prepare,
                     "Failed to define the constants.") ||
        !PrepareStep("Script_Prepare() \n", Script_Prepare, "Failed to compile the scripts.") ||
        !PrepareStep("TimeLine_Prepare() \n", TimeLine_Prepare,
                     "Failed to compile the actions in the time lines.") ||
        !PrepareStep("Object_Prepare() \n", Object_Prepare,
                     "Failed to compile the actions in the objects.") ||
        !PrepareStep("Room_Prepare() \n", Room_Prepare, "Failed to compile the actions in the objects.") ||
        !PrepareStep("Sound_Prepare() \n", PrepareSounds, "Failed to prepare the sounds."))
        return false;
    Audio_Prepare();
    init_csol->Output("InitGraphics() \n");
    init_csol->Output("Finished PrepareGame() \n");
    return true;
}

unsigned LocalRandom(unsigned& a, unsigned& b) {
    a = 36969u * (a & 0xFFFFu) + (a >> 16);
    b = 18000u * (b & 0xFFFFu) + (b >> 16);
    return (a << 16) | (b & 0xFFFFu);
}

// ---------------------------------------------------------------------------
// Splash stubs and shut-down

bool Splash_Show_Movie(const char*, bool) {
    return true;
}
bool Splash_Show_Image(const char*, int) {
    return true;
}
bool Splash_Show_Text(const char*, int) {
    return true;
}
bool Splash_Is_Shown_In_Main() {
    return false;
}
void Splash_Close_In_Main() {}
void StopShow() {}
void AdaptWindow() {}
void SetPriority() {}
const char* ZQGetFileName() {
    return nullptr;
}

void FINALIZE_Runner_Form() {
    Path_Quit();
    TimeLine_Quit();
    ZQ_Free(g_pGameFileBuffer);
    g_pGameFileBuffer = nullptr;
    g_GameFileLength = 0;
    g_GameFileSize = 0;
    g_LLVMVars = SLLVMVars{};
    delete g_pGameINI;
    g_pGameINI = nullptr;
    DebugInfo_Free();
}
