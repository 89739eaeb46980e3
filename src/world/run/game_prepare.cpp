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
int g_DebugFileSize = 0;
ImageReader g_DebugImage;
ImageReader g_DebugInfo;
int g_DebugInfoCount = 0;
ImageReader g_DebugInstNames;
int g_DebugInstNameCount = 0;
ImageReader g_DebugScript;
int g_DebugScriptCount = 0;

namespace {

constexpr char kMac[] = "Mac";

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

// A counted table of offsets, each 0 or the offset of a record somewhere in
// the image whose first word lies inside it. With `counted`, the record's
// first word counts further words that must fit too; otherwise it is the
// offset of a text that must be terminated inside the image. The reader is
// kept at the payload's start.
ImageReader CheckedTable(ImageReader& chunk, int& count, bool counted) {
    const ImageReader table = chunk;
    const uint32_t n = chunk.Count(4);
    for (uint32_t i = 0; i < n; ++i) {
        const size_t at = chunk.Position();
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        if (offset % 4 != 0)
            GameData_Fail(chunk.Chunk(), "record offset %u at offset %zu is not word-aligned", offset, at);
        const uint32_t first = g_DebugImage.Peek<uint32_t>(offset);
        if (counted)
            g_DebugImage.Span(offset, 4 + static_cast<size_t>(first) * 4);
        else
            g_DebugImage.String(first);
    }
    count = static_cast<int>(n);
    return table;
}

// The offset of `index`'s record in `table`, or 0 for none.
uint32_t Record(const ImageReader& table, int count, int index) {
    if (table.Empty() || index < 0 || index >= count) return 0;
    return table.Peek<uint32_t>(table.ChunkStart() + 4 + 4 * static_cast<size_t>(index));
}

const char* TextOf(const ImageReader& table, int count, int index) {
    try {
        const uint32_t record = Record(table, count, index);
        return record != 0 ? g_DebugImage.String(g_DebugImage.Peek<uint32_t>(record)) : nullptr;
    } catch (const GameDataError&) {
        return nullptr;
    }
}

} // namespace

void DebugInfo_Load(ImageReader& chunk) {
    int count = 0;
    const ImageReader table = CheckedTable(chunk, count, true);
    g_DebugInfo = table;
    g_DebugInfoCount = count;
}

void DebugInstNames_Load(ImageReader& chunk) {
    int count = 0;
    const ImageReader table = CheckedTable(chunk, count, false);
    g_DebugInstNames = table;
    g_DebugInstNameCount = count;
}

void DebugScript_Load(ImageReader& chunk) {
    int count = 0;
    const ImageReader table = CheckedTable(chunk, count, false);
    g_DebugScript = table;
    g_DebugScriptCount = count;
}

// A damaged chunk is reported and skipped, the others still load; a chunk
// walk that cannot go on (a cut-off header, a payload past the end) stops.
bool LoadDebugInfo(uint8_t* image, unsigned length) {
    DebugInfo_Free();
    if (image == nullptr) return false;
    g_pDebugFile = image;
    g_DebugFileSize = static_cast<int>(length);
    g_DebugImage = ImageReader(image, length, 0, length, "debug information");
    // A file whose size field disagrees with its length is kept but not read.
    if (length < 8 || static_cast<uint64_t>(g_DebugImage.Peek<uint32_t>(4)) + 8 != length) return false;
    try {
        GameData_WalkChunks(image, length, [](const ChunkHeader& h, ImageReader& chunk) {
            init_csol->Output("Process Chunk: %s   %d\n", h.tagText, static_cast<int>(h.size));
            if (h.size == 0) return;
            try {
                if (h.tag == GameData_Tag("DBGI")) DebugInfo_Load(chunk);
                if (h.tag == GameData_Tag("INST")) DebugInstNames_Load(chunk);
                if (h.tag == GameData_Tag("SCPT")) DebugScript_Load(chunk);
            } catch (const GameDataError& error) {
                rel_csol->Output("Debug information: %s\n", error.what());
            }
        });
    } catch (const GameDataError& error) {
        rel_csol->Output("Debug information: %s\n", error.what());
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
    g_DebugFileSize = 0;
    g_DebugImage = ImageReader();
    g_DebugInfo = ImageReader();
    g_DebugInfoCount = 0;
    g_DebugInstNames = ImageReader();
    g_DebugInstNameCount = 0;
    g_DebugScript = ImageReader();
    g_DebugScriptCount = 0;
}

// The loader checked every record; the words are word-aligned in the image.
const uint32_t* DebugInfo_Words(int codeIndex, int* count) {
    try {
        const uint32_t record = Record(g_DebugInfo, g_DebugInfoCount, codeIndex);
        if (record == 0) return nullptr;
        const uint32_t n = g_DebugImage.Peek<uint32_t>(record);
        const uint8_t* words = g_DebugImage.Span(record + 4, static_cast<size_t>(n) * 4);
        if (count != nullptr) *count = static_cast<int>(n);
        return reinterpret_cast<const uint32_t*>(words);
    } catch (const GameDataError&) {
        return nullptr;
    }
}

const char* DebugInfo_InstanceName(int index) {
    return TextOf(g_DebugInstNames, g_DebugInstNameCount, index);
}

const char* DebugInfo_ScriptText(int codeIndex) {
    return TextOf(g_DebugScript, g_DebugScriptCount, codeIndex);
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
    GameData_SetLastError(failure);
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
    // The readers over the image go with it: a read after this fails
    // cleanly instead of touching freed memory.
    GameData_ForgetImage();
    ZQ_Free(g_pGameFileBuffer);
    g_pGameFileBuffer = nullptr;
    g_GameFileLength = 0;
    g_GameFileSize = 0;
    g_LLVMVars = SLLVMVars{};
    delete g_pGameINI;
    g_pGameINI = nullptr;
    DebugInfo_Free();
}
