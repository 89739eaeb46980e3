// Game data file walks. The file is an IFF container: "FORM", the size of what
// follows, then chunks {tag, size, payload} back to back with no padding. Tags
// are compared as the little-endian word of their four stored bytes; only the
// container tag is accepted in either byte order. Every chunk is checked to
// fit in the file before its payload is handed to a loader.
#include "world/datafile/game_file.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/code.h"
#include "core/collector.h"
#include "core/console.h"
#include "core/file_paths.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_header.h"

uint8_t* g_pGameFileBuffer = nullptr;
int g_GameFileLength = 0;
int g_GameFileSize = 0;
ImageReader g_WADImage;
char* g_pGameFileName = nullptr;
char* g_pOrigName = nullptr;
char* g_pGameININame = nullptr;
char* g_pGameDBGName = nullptr;
IniFile* g_pGameINI = nullptr;

namespace {

std::string g_lastError;

constexpr uint32_t Tag(const char (&text)[5]) {
    return GameData_Tag(text);
}

bool IsHeader(uint32_t tag) {
    return tag == Tag("GEN7") || tag == Tag("GEN8") || tag == Tag("GENL");
}

// The container must describe exactly the bytes the file holds: a file cut
// short, or with bytes appended, is damaged rather than empty.
void CheckContainer(uint8_t* image, size_t length) {
    if (length <= 8) GameData_Fail(nullptr, "the file is %zu bytes long, too short for any chunk", length);
    const uint32_t size = ImageReader(image, length, 0, length, "").Peek<uint32_t>(4);
    if (static_cast<size_t>(size) + 8 != length)
        GameData_Fail(nullptr, "the container says %u bytes follow its header but the file holds %zu", size,
                      length - 8);
}

// A count and a table of `count` 32-bit words after it, all inside the
// payload; the reader is kept at the payload's start.
ImageReader CountedTable(ImageReader& chunk, int& count) {
    const ImageReader table = chunk;
    const uint32_t n = chunk.Count(4);
    if (n > INT32_MAX) chunk.Fail("table count is too large");
    count = static_cast<int>(n);
    return table;
}

bool Refuse(const GameDataError& error) {
    g_lastError = error.what();
    rel_csol->Output("%s\n", error.what());
    return false;
}

// Everything the second walk's loaders filled is emptied again, so a
// refused file leaves nothing loaded.
void InitialiseTables() {
    Sound_Init();
    Sprite_Init();
    Background_Init();
    Path_Init();
    Script_Init();
    Font_Init();
    TimeLine_Init();
    Object_Init();
    Room_Init();
    Option_Init();
    Language_Init();
    TexturePages_Init();
    g_numGlobalScripts = 0;
    g_GlobalScripts = ImageReader();
    g_TexturePageChunk = ImageReader();
}

// "GLOB": a count and the code indices of the global initialisation code,
// each naming an existing entry.
void GlobalScripts_Load(ImageReader& chunk) {
    int count = 0;
    const ImageReader table = CountedTable(chunk, count);
    for (int i = 0; i < count; ++i) {
        const size_t at = chunk.Position();
        Code_CheckIndex(chunk, chunk.S32(), at, "global initialisation code");
    }
    g_GlobalScripts = table;
    g_numGlobalScripts = count;
}

} // namespace

void GameData_ForgetImage() {
    GameChunks_Reset();
    g_WADImage = ImageReader();
    g_ZQHeader = ImageReader();
}

const char* GameData_LastError() {
    return g_lastError.c_str();
}

void GameData_SetLastError(const char* text) {
    g_lastError = text != nullptr ? text : "";
}

bool GetResolution(uint8_t* image, size_t length) {
    g_lastError.clear();
    g_WADImage = ImageReader(image, length, 0, length, "");
    // Tables of an earlier image must not survive into this one.
    g_fCompiledToVM = false;
    g_nZQCode = 0;
    g_CodeChunk = ImageReader();
    g_ZQStringCount = 0;
    g_StringChunk = ImageReader();
    try {
        if (image == nullptr) GameData_Fail(nullptr, "there is no file image");
        CheckContainer(image, length);
        // The code entries are checked before any chunk is read, and the
        // reference chains of the variable and function chunks may patch
        // only their bytecode; the code chunk can stand anywhere in the file
        // and its layout follows the first header's format version.
        ImageReader code;
        int version = -1;
        GameData_WalkChunks(image, length, [&](const ChunkHeader& h, ImageReader& chunk) {
            if (h.size == 0) return;
            if (h.tag == Tag("CODE")) code = chunk;
            if (IsHeader(h.tag) && version < 0 && h.size >= 2)
                version = chunk.Peek<uint8_t>(chunk.Position() + 1);
        });
        Code_CheckEntries(code, version > 14);
        GameData_WalkChunks(image, length, [](const ChunkHeader& h, ImageReader& chunk) {
            if (h.size == 0) return;
            switch (h.tag) {
                case Tag("GEN7"):
                case Tag("GEN8"):
                case Tag("GENL"): Header_ReadStartup(chunk); break;
                case Tag("CODE"):
                    init_csol->Output("Code_Load()\n");
                    g_fCompiledToVM = true;
                    g_CodeChunk = CountedTable(chunk, g_nZQCode);
                    break;
                case Tag("STRG"):
                    init_csol->Output("ID_STRG\n");
                    g_StringChunk = CountedTable(chunk, g_ZQStringCount);
                    break;
                case Tag("VARI"):
                    init_csol->Output("VARI_Load()\n");
                    VARI_Load(chunk);
                    break;
                default: break;
            }
        });
    } catch (const GameDataError& error) {
        // Nothing of a refused file stays reachable.
        GameData_ForgetImage();
        Code_CheckEntries(ImageReader(), false);
        return Refuse(error);
    }
    return true;
}

bool LoadGameData(uint8_t* image, size_t length) {
    g_lastError.clear();
    init_csol->Output("initialise everything!\n");
    InitialiseTables();
    if (g_isNimbar) Camera_ResetForLoad();

    bool recognised = true;
    try {
        Code_BindBeforeLoad();
        if (image == nullptr) return false;
        CheckContainer(image, length);
        GameData_WalkChunks(image, length, [&](const ChunkHeader& h, ImageReader& chunk) {
            init_csol->Output("Process Chunk: %s   %u\n", h.tagText, h.size);
            if (h.size == 0) return;
            switch (h.tag) {
                case Tag("GEN8"): Header_Load(chunk); break;
                case Tag("GEN7"):
                case Tag("GENL"):
                    g_fileVersion = 700;
                    Header_Load(chunk);
                    break;
                case Tag("OPTN"): Option_Load(chunk); break;
                case Tag("LANG"): Language_Load(chunk); break;
                case Tag("EXTN"): Extension_Load(chunk); break;
                case Tag("SOND"):
                    if (Audio_NewSystem())
                        Audio_Load(chunk);
                    else
                        Sound_Load(chunk);
                    break;
                case Tag("AGRP"):
                    if (Audio_NewSystem()) AudioGroup_Load(chunk);
                    break;
                case Tag("SPRT"): Sprite_Load(chunk); break;
                case Tag("BGND"): Background_Load(chunk); break;
                case Tag("PATH"): Path_Load(chunk); break;
                case Tag("SCPT"): Script_Load(chunk); break;
                case Tag("GLOB"): GlobalScripts_Load(chunk); break;
                case Tag("SHDR"): Shader_Load(chunk); break;
                case Tag("FONT"): Font_Load(chunk); break;
                case Tag("TMLN"): TimeLine_Load(chunk); break;
                case Tag("OBJT"): Object_Load(chunk); break;
                case Tag("ROOM"): Room_Load(chunk); break;
                case Tag("TPAG"): g_TexturePageChunk = chunk; break;
                case Tag("TXTR"): Texture_Load(chunk); break;
                case Tag("AUDO"):
                    if (Audio_NewSystem())
                        Audio_WAVs(chunk);
                    else
                        Sound_WAVs(chunk);
                    break;
                case Tag("EMBI"):
                    EmbeddedImages_Load(chunk);
                    Particle_EmbeddedImagesSetup();
                    break;
                case Tag("FUNC"): FUNC_Load(chunk); break;
                case Tag("CODE"): Code_Patch(chunk); break;
                case Tag("VARI"):
                case Tag("STRG"):
                case Tag("HELP"):
                case Tag("PSPS"):
                case Tag("STAT"):
                case Tag("RASP"):
                case Tag("DAFL"): break;
                default:
                    dbg_csol->Output("unknown Chunk %s:%d\n", h.tagText, static_cast<int32_t>(h.tag));
                    // Loading goes on, but the game will not start: the
                    // reason is kept for the report, the first one found.
                    if (recognised)
                        g_lastError = "Game data file is damaged (chunk " + std::string(h.tagText) +
                                      "): unknown chunk at offset " + std::to_string(h.offset);
                    recognised = false;
                    break;
            }
        });
        if (g_fJSGarbageCollection) JS_SetupResources();
        Code_BindAfterLoad();
    } catch (const GameDataError& error) {
        InitialiseTables();
        return Refuse(error);
    }
    // The chunks after an unknown one are loaded all the same.
    if (!recognised) rel_csol->Output("%s\n", g_lastError.c_str());
    return recognised;
}

namespace {

char* CopyText(const std::string& text) {
    auto* copy = static_cast<char*>(ZQ_AllocNoClear(text.size() + 1));
    if (copy != nullptr) std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void ReplaceText(char*& slot, const std::string& text) {
    ZQ_Free(slot);
    slot = CopyText(text);
}

// The path beside the data file with the file's own name replaced, or "" when
// the path has no folder separator.
std::string Beside(const std::string& path, const char* name) {
    size_t cut = path.find_last_of('/');
    if (cut == std::string::npos) cut = path.find_last_of('\\');
    if (cut == std::string::npos) return "";
    return path.substr(0, cut) + "/" + name;
}

std::string WithExtension(const std::string& path, const char* extension) {
    size_t dot = path.find_last_of('.');
    size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + extension;
    return path.substr(0, dot) + extension;
}

} // namespace

// Finds the data file (the "-game" path, else "game.ios" in the bundle), takes
// "options.ini" and the debug-information file beside it, and reads the file
// whole. Returns 0, or -1 when there is no game to run (the caller ends the
// process with status 1).
int RunnerLoadGame() {
    init_csol->Output("RunnerLoadGame: %s\n", g_pGameName != nullptr ? g_pGameName : "(null)");
    Code_LoadCompiledRecord();

    // Where the file is, and whether it lies in the bundle.
    const bool named = g_pGameName != nullptr && g_pGameName[0] != '\0';
    std::string name = named ? g_pGameName : "game.ios";
    if (named) {
        // The data file's folder is the bundle and the working directory.
        LoadSave_SetGameName(name.c_str());
        char* folder = ExtractFilePath(name.c_str());
        LoadSave_SetWorkingDirectory(
            folder != nullptr && folder[0] != '\0' ? (std::string(folder) + "/").c_str() : "");
        ZQ_Free(folder);
    }
    char buffer[kFilePathBufferSize];
    // A "-game" file that exists is read as named: the bundle's name mapping
    // (lower case, blanks as "_") is for the files a game includes, and would
    // lose a path with capitals or blanks in it.
    const bool direct = named && RegularFileExists(name.c_str());
    bool inBundle = direct || LoadSave::BundleFileExists(name.c_str());
    bool mapped = false;
    if (!direct)
        mapped = inBundle ? LoadSave::_GetBundleFileName(buffer, sizeof buffer, name.c_str())
                          : LoadSave::_GetSaveFileName(buffer, sizeof buffer, name.c_str());
    std::string path = mapped ? buffer : name;
    if (!named) init_csol->Output("RunnerLoadGame() - %s\n", path.c_str());

    ReplaceText(g_pGameFileName, path);
    LoadSave_SetGameName(path.c_str());
    init_csol->Output("ZQG Game launching. Game file: %s\n", path.c_str());

    ReplaceText(g_pGameININame, Beside(path, "options.ini"));
    if (g_pGameININame != nullptr && g_pGameININame[0] != '\0') {
        init_csol->Output("Checking if INIFile exists at %s\n", g_pGameININame);
        if (RegularFileExists(g_pGameININame)) {
            init_csol->Output("INIFile %s Exists, loading....\n", g_pGameININame);
            GameIni_Load(g_pGameININame);
        }
    }
    ReplaceText(g_pGameDBGName, WithExtension(path, ".zqdebug"));
    if (LoadSave::BundleFileExists(g_pGameDBGName)) DebugInfo_Load(g_pGameDBGName);

    init_csol->Output("Reading File %s\n", path.c_str());
    int length = 0;
    char* image = inBundle ? LoadSave::ReadBundleFile(path.c_str(), &length)
                           : LoadSave::ReadSaveFile(name.c_str(), &length);
    if (image != nullptr) {
        init_csol->Output("Loaded File %s(%d)\n", path.c_str(), length);
    } else {
        rel_csol->Output("FAILED to load File %s\n", path.c_str());
    }
    ZQ_Free(g_pGameFileBuffer);
    g_pGameFileBuffer = reinterpret_cast<uint8_t*>(image);
    g_GameFileLength = image != nullptr ? length : 0;
    g_GameFileSize = g_GameFileLength + 128;

    if (image != nullptr && length >= 4 &&
        (std::memcmp(image, "FORM", 4) == 0 || std::memcmp(image, "MROF", 4) == 0))
        init_csol->Output("IFF wad found\n");
    if (image == nullptr) {
        std::string message = "Unable to find game!!: " + path;
        g_lastError = message;
        Platform_ShowMessage(message.c_str());
        return -1;
    }
    if (g_pOrigName == nullptr) g_pOrigName = CopyText(path);
    return 0;
}

bool RunnerLoadWad() {
    init_csol->Output("LoadGameData()\n");
    return LoadGameData(g_pGameFileBuffer, static_cast<size_t>(g_GameFileLength));
}

const char* GameData_String(int index) {
    if (g_StringChunk.Empty() || index < 0 || index >= g_ZQStringCount) return nullptr;
    try {
        const uint32_t entry = GameData_TableWord(g_StringChunk, index);
        if (entry > UINT32_MAX - 4) return nullptr;
        return g_WADImage.String(entry + 4);
    } catch (const GameDataError&) {
        return nullptr;
    }
}
