// The background table: loading "BGND", the lookups rooms and scripts use,
// and the operations that add, replace, copy and delete backgrounds.
#include "sprites/background_table.h"

#include <cstring>
#include <memory>

#include "core/builtin_services.h"
#include "core/console.h"
#include "core/game_image.h"
#include "core/load_save.h"
#include "core/resource_table.h"
#include "room/room_services.h"
#include "sprites/background.h"
#include "world/datafile/game_data_services.h"
#include "world/run/startup_services.h"

namespace {

CResourceTable<CBackground> g_Backgrounds;

constexpr const char* kNewBackgroundName = "__newbackground";

bool IsURL(const char* name) {
    return std::strncmp(name, "http://", 7) == 0 || std::strncmp(name, "https://", 8) == 0;
}

bool FileFound(const char* name) {
    return LoadSave::SaveFileExists(name) || LoadSave::BundleFileExists(name);
}

// Backgrounds from URLs would complete through an asynchronous HTTP request;
// without an HTTP service the request cannot start, and saying so at once
// beats an entry whose image never arrives.
void ReportNoHttp(const char* url) {
    dbg_csol->Output("Failed to load background from %s: there is no HTTP service\n", url);
}

} // namespace

// ---------------------------------------------------------------------------
// Loading and shut-down

void Background_Init() {
    g_Backgrounds.Clear();
}

void Background_Load(ImageReader& chunk) {
    // The names copied out add up to at most the load budget: records are
    // reached by offset, so a small file could otherwise name one huge
    // string from every index. Tile data stays in place and costs nothing.
    const size_t budget = GameData_LoadBudget(chunk.ImageLength());
    size_t copied = 0;
    g_Backgrounds.Load(chunk, "background count is too large", [&](int i, uint32_t offset) {
        ImageReader record = chunk.At(offset);
        const char* name = chunk.String(record.Peek<uint32_t>(record.Position()));
        copied += (name != nullptr ? std::strlen(name) : 0) + 1;
        if (copied > budget)
            GameData_Fail(chunk.Chunk(),
                          "background %d at offset %u: the names add up to more than the %zu bytes a file of "
                          "this size may load",
                          i, offset, budget);
        auto background = std::make_unique<CBackground>();
        background->LoadFromChunk(record);
        return CResourceRecord<CBackground>{std::move(background), name};
    });
}

void Background_InitTextures() {
    for (int i = 0; i < g_Backgrounds.Number(); ++i)
        if (CBackground* b = g_Backgrounds.Data(i)) {
            b->InitTexture();
            b->InitLocalTPE();
        }
}

void Background_FreeTextures() {
    for (int i = 0; i < g_Backgrounds.Number(); ++i)
        if (CBackground* b = g_Backgrounds.Data(i)) b->FreeTexture();
}

void Background_Free() {
    g_Backgrounds.Clear();
}

// Shut-down runs after the display has closed: the texture table frees the
// textures next, so the backgrounds only let go of them.
void FINALIZE_Background() {
    for (int i = 0; i < g_Backgrounds.Number(); ++i)
        if (CBackground* b = g_Backgrounds.Data(i)) b->ForgetTexture();
    g_Backgrounds.Clear();
}

// ---------------------------------------------------------------------------
// Lookups

int Background_Number() {
    return g_Backgrounds.Number();
}

bool Background_Exists(int index) {
    return g_Backgrounds.Exists(index);
}

CBackground* Background_Data(int index) {
    return g_Backgrounds.Data(index);
}

const char* Background_Name(int index) {
    return g_Backgrounds.Name(index);
}

int Background_Find(const char* name) {
    return g_Backgrounds.Find(name);
}

bool Room_BackgroundSize(int index, int* width, int* height) {
    const CBackground* b = g_Backgrounds.Data(index);
    if (b == nullptr) return false;
    *width = b->GetWidth();
    *height = b->GetHeight();
    return true;
}

bool Room_TilesetAnimation(int tileset, int* frames, double* frameTimeMicros) {
    const CBackground* b = g_Backgrounds.Data(tileset);
    if (b == nullptr) return false;
    *frames = b->FramesPerTile();
    *frameTimeMicros = static_cast<double>(b->FrameTime());
    return true;
}

// ---------------------------------------------------------------------------
// Table operations

int Background_AddEmpty() {
    return g_Backgrounds.Append(std::make_unique<CBackground>(), kNewBackgroundName);
}

int Background_Add(const char* name, bool transparent, bool smooth, bool preload) {
    if (name == nullptr) return -1;
    if (IsURL(name)) {
        ReportNoHttp(name);
        return -1;
    }
    if (!FileFound(name)) return -1;
    // Loaded before it is added, so a file that does not decode leaves the
    // table as it was.
    auto background = std::make_unique<CBackground>();
    if (!background->LoadFromFile(name, transparent, smooth, preload, false)) return -1;
    return g_Backgrounds.Append(std::move(background), kNewBackgroundName);
}

bool Background_Replace(int index, const char* name, bool transparent, bool smooth, bool preload) {
    if (index < 0 || index >= g_Backgrounds.Number() || name == nullptr) return false;
    if (IsURL(name)) {
        ReportNoHttp(name);
        return false;
    }
    if (!FileFound(name)) return false;
    if (g_Backgrounds.Data(index) == nullptr)
        g_Backgrounds.Replace(index, std::make_unique<CBackground>(), kNewBackgroundName);
    return g_Backgrounds.Data(index)->LoadFromFile(name, transparent, smooth, preload, false);
}

int Background_Add_Alpha(const char* name, bool preload) {
    return Background_Add(name, true, false, preload);
}

bool Background_Replace_Alpha(int index, const char* name, bool preload) {
    return Background_Replace(index, name, true, false, preload);
}

bool Background_Delete(int index) {
    return g_Backgrounds.Delete(index);
}

int Background_Duplicate(int index) {
    const CBackground* source = g_Backgrounds.Data(index);
    if (source == nullptr) return -1;
    auto copy = std::make_unique<CBackground>();
    copy->Assign(source);
    copy->GenerateBitmapData();
    return g_Backgrounds.Append(std::move(copy), kNewBackgroundName);
}

bool Background_Assign(int index, int source) {
    const CBackground* from = g_Backgrounds.Data(source);
    if (from == nullptr || index < 0 || index >= g_Backgrounds.Number()) return false;
    if (index == source) return true;
    if (g_Backgrounds.Data(index) == nullptr)
        g_Backgrounds.Replace(index, std::make_unique<CBackground>(), kNewBackgroundName);
    g_Backgrounds.Data(index)->Assign(from);
    return true;
}
