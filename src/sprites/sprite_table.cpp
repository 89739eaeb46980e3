// The sprite table: loading "SPRT", the lookups everything that holds a
// sprite number uses, and the operations that add, replace, copy and delete
// sprites at run time.
#include "sprites/sprite_table.h"

#include <cstring>
#include <memory>

#include <strings.h>
#include <zlib.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/builtin_services.h"
#include "core/console.h"
#include "core/game_image.h"
#include "core/load_save.h"
#include "core/resource_table.h"
#include "render/bitmap32.h"
#include "render/page_entry.h"
#include "render/texture_draw.h"
#include "room/room.h"
#include "room/room_services.h"
#include "sprites/font_sprite_services.h"
#include "world/datafile/game_data_services.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

namespace {

CResourceTable<CSprite> g_Sprites;

constexpr const char* kNewSpriteName = "__newsprite";
constexpr float kDegreesToRadians = 0.017453292f;

bool IsURL(const char* path) {
    return std::strncmp(path, "http://", 7) == 0 || std::strncmp(path, "https://", 8) == 0;
}

bool FileFound(const char* path) {
    return LoadSave::SaveFileExists(path) || LoadSave::BundleFileExists(path);
}

// Sprites from URLs would complete through an asynchronous HTTP request;
// without an HTTP service the request cannot start, and saying so at once
// beats an index whose frames never arrive.
void ReportNoHttp(const char* url) {
    dbg_csol->Output("Failed to load sprite from %s: there is no HTTP service\n", url);
}

// The sprite's name field points at the table's copy of the name.
void Name(int index) {
    if (CSprite* s = g_Sprites.Data(index)) s->m_name = g_Sprites.Name(index);
}

int Append(std::unique_ptr<CSprite> sprite) {
    const int index = g_Sprites.Append(std::move(sprite), kNewSpriteName);
    Name(index);
    return index;
}

// A vector sprite file: ".zqs" in any letter case.
bool IsVectorFile(const char* path) {
    const size_t n = std::strlen(path);
    return n >= 4 && strcasecmp(path + n - 4, ".zqs") == 0;
}

constexpr int32_t kTableStreamCompressed = 800;
constexpr int32_t kTableStreamInline = 400;

// The zlib stream of `n` bytes, inflated into `out`; false when it is
// damaged, cut short or would exceed `limit` bytes.
bool Inflate(const uint8_t* in, uint32_t n, size_t limit, std::vector<uint8_t>& out) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(in);
    z.avail_in = n;
    out.clear();
    uint8_t block[16384];
    int rc = Z_OK;
    while (rc == Z_OK) {
        z.next_out = block;
        z.avail_out = sizeof block;
        rc = inflate(&z, Z_NO_FLUSH);
        const size_t got = sizeof block - z.avail_out;
        if (out.size() + got > limit) rc = Z_MEM_ERROR;
        if (rc == Z_OK || rc == Z_STREAM_END) out.insert(out.end(), block, block + got);
    }
    inflateEnd(&z);
    return rc == Z_STREAM_END;
}

// One index of the legacy table stream: whether it holds a sprite, then its
// name (a length and that many bytes) and the sprite's stream form.
struct StreamSlot {
    std::unique_ptr<CSprite> sprite;
    std::string name;
};

StreamSlot ReadStreamSlot(ImageReader& in) {
    StreamSlot slot;
    if (in.S32() == 0) return slot;
    const uint32_t n = in.U32();
    const uint8_t* name = in.Bytes(n);
    // The table's names end at their first zero byte.
    slot.name.assign(reinterpret_cast<const char*>(name), strnlen(reinterpret_cast<const char*>(name), n));
    slot.sprite = std::make_unique<CSprite>();
    size_t consumed = 0;
    if (!slot.sprite->LoadFromStream(in.Span(in.Position(), in.Remaining()), in.Remaining(), &consumed))
        in.Fail("sprite stream form refused");
    in.Skip(consumed);
    return slot;
}

} // namespace

// ---------------------------------------------------------------------------
// Loading and shut-down

void Sprite_Init() {
    g_Sprites.Clear();
}

void Sprite_Load(ImageReader& chunk) {
    // The names copied out add up to at most the load budget: records are
    // reached by offset, so a small file could otherwise name one huge
    // string from every index.
    const size_t budget = GameData_LoadBudget(chunk.ImageLength());
    size_t copied = 0;
    g_Sprites.Load(chunk, "sprite count is too large", [&](int i, uint32_t offset) {
        ImageReader record = chunk.At(offset);
        const char* name = chunk.String(record.Peek<uint32_t>(record.Position()));
        copied += (name != nullptr ? std::strlen(name) : 0) + 1;
        if (copied > budget)
            GameData_Fail(
                chunk.Chunk(),
                "sprite %d at offset %u: the names add up to more than the %zu bytes a file of this "
                "size may load",
                i, offset, budget);
        auto sprite = std::make_unique<CSprite>();
        sprite->LoadFromChunk(record);
        return CResourceRecord<CSprite>{std::move(sprite), name};
    });
    for (int i = 0; i < g_Sprites.Number(); ++i) Name(i);
}

// Every index is read before the table changes: a stream damaged anywhere
// leaves the table as it was. What the indexes inflate to adds up to at
// most the load budget of a stream of this size.
bool Sprite_Load(const uint8_t* data, size_t length) {
    if (data == nullptr) return false;
    std::vector<StreamSlot> slots;
    try {
        ImageReader in(const_cast<uint8_t*>(data), length, 0, length, "sprite table stream");
        const int32_t version = in.S32();
        if (version != kTableStreamCompressed && version != kTableStreamInline) return false;
        const uint32_t count = in.Count(4);
        size_t budget = GameData_LoadBudget(length);
        std::vector<uint8_t> inflated;
        for (uint32_t i = 0; i < count; ++i) {
            if (version == kTableStreamInline) {
                slots.push_back(ReadStreamSlot(in));
                continue;
            }
            const uint32_t n = in.U32();
            if (!Inflate(in.Bytes(n), n, budget, inflated)) in.Fail("a sprite's zlib stream is damaged");
            budget -= inflated.size();
            ImageReader slot(inflated.data(), inflated.size(), 0, inflated.size(), "sprite table stream");
            slots.push_back(ReadStreamSlot(slot));
        }
    } catch (const GameDataError&) {
        return false;
    }
    Sprite_Init();
    for (StreamSlot& slot : slots) {
        if (slot.sprite == nullptr) {
            g_Sprites.Delete(g_Sprites.Append(std::make_unique<CSprite>(), kNewSpriteName));
            continue;
        }
        const int index = g_Sprites.Append(std::move(slot.sprite), kNewSpriteName);
        g_Sprites.Rename(index, slot.name.c_str());
        Name(index);
        // Stream sprites own their frames: they draw from textures of their own.
        g_Sprites.Data(index)->InitTexture();
        g_Sprites.Data(index)->InitLocalTPE();
    }
    return true;
}

// Remakes the textures and local entries of every sprite that owns its
// frames; data-file sprites draw from their pages and have none. Run-time
// frames get theirs when they are made, so at start-up (an empty table)
// this finds nothing to do.
void Sprite_InitTextures() {
    for (int i = 0; i < g_Sprites.Number(); ++i)
        if (CSprite* s = g_Sprites.Data(i)) {
            s->InitTexture();
            s->InitLocalTPE();
        }
}

void Sprite_Free() {
    g_Sprites.Clear();
}

void FINALIZE_Sprite_Main() {
    g_Sprites.Clear();
}

// ---------------------------------------------------------------------------
// Lookups

int Sprite_Number() {
    return g_Sprites.Number();
}

bool Sprite_Exists(int index) {
    return g_Sprites.Exists(index);
}

CSprite* Sprite_Data(int index) {
    return g_Sprites.Data(index);
}

const char* Sprite_Name(int index) {
    return g_Sprites.Name(index);
}

int Sprite_Find(const char* name) {
    return g_Sprites.Find(name);
}

bool Sprite_PlaybackSpeed(int sprite, float* speed, int* type) {
    const CSprite* data = g_Sprites.Data(sprite);
    if (data == nullptr) return false;
    *speed = data->m_playbackSpeed;
    *type = data->m_playbackSpeedType;
    return true;
}

int Room_SpriteFrameCount(int sprite) {
    const CSprite* data = g_Sprites.Data(sprite);
    return data != nullptr ? data->m_numb : 0;
}

// ---------------------------------------------------------------------------
// Table operations

int Sprite_AddEmpty() {
    return Append(std::make_unique<CSprite>());
}

int Sprite_AddRecord(std::unique_ptr<CSprite> sprite, const char* name) {
    if (sprite == nullptr) sprite = std::make_unique<CSprite>();
    if (name == nullptr) return Append(std::move(sprite));
    const int index = g_Sprites.Append(std::move(sprite), kNewSpriteName);
    // The table owns the name: put the given one in place of the made one.
    g_Sprites.Rename(index, name);
    Name(index);
    return index;
}

int Sprite_Add(const char* path, int frames, bool precise, bool removeBackground, bool smooth, bool preload,
               int xorigin, int yorigin) {
    if (path == nullptr) return -1;
    if (IsURL(path)) {
        ReportNoHttp(path);
        return -1;
    }
    if (!FileFound(path)) return -1;
    // Loaded before it is added, so a file that does not decode leaves the
    // table (and its names) as they were.
    auto sprite = std::make_unique<CSprite>();
    const bool ok = IsVectorFile(path) ? sprite->LoadFromZQSFile(path, xorigin, yorigin)
                                       : sprite->LoadFromFile(path, frames, precise, removeBackground, smooth,
                                                              preload, xorigin, yorigin, !removeBackground);
    if (!ok) return -1;
    return Append(std::move(sprite));
}

int Sprite_Add_BIN(const uint8_t* rgba, int width, int height, int frames, bool precise, bool smooth,
                   int xorigin, int yorigin) {
    auto sprite = std::make_unique<CSprite>();
    if (!sprite->LoadFromData(rgba, width, height, frames, precise, false, smooth, xorigin, yorigin, true))
        return -1;
    return Append(std::move(sprite));
}

int Sprite_Add_Alpha(const char* path, int frames, bool precise, bool preload, int xorigin, int yorigin) {
    if (path == nullptr || IsURL(path) || !FileFound(path)) return -1;
    auto sprite = std::make_unique<CSprite>();
    if (!sprite->LoadFromFile(path, frames, precise, true, false, preload, xorigin, yorigin, true)) return -1;
    return Append(std::move(sprite));
}

bool Sprite_Replace(int index, const char* path, int frames, bool precise, bool removeBackground, bool smooth,
                    bool preload, int xorigin, int yorigin) {
    if (index < 0 || index >= g_Sprites.Number() || path == nullptr) return false;
    if (IsURL(path)) {
        ReportNoHttp(path);
        return false;
    }
    if (!FileFound(path)) return false;
    if (g_Sprites.Data(index) == nullptr)
        g_Sprites.Replace(index, std::make_unique<CSprite>(), kNewSpriteName);
    const bool ok = g_Sprites.Data(index)->LoadFromFile(path, frames, precise, removeBackground, smooth,
                                                        preload, xorigin, yorigin, !removeBackground);
    Name(index);
    MarkInstancesAsDirty(index);
    return ok;
}

bool Sprite_Replace_Alpha(int index, const char* path, int frames, bool precise, bool preload, int xorigin,
                          int yorigin) {
    if (index < 0 || index >= g_Sprites.Number() || path == nullptr || !FileFound(path)) return false;
    if (g_Sprites.Data(index) == nullptr)
        g_Sprites.Replace(index, std::make_unique<CSprite>(), kNewSpriteName);
    const bool ok = g_Sprites.Data(index)->LoadFromFile(path, frames, precise, true, false, preload, xorigin,
                                                        yorigin, true);
    Name(index);
    return ok;
}

bool Sprite_Delete(int index) {
    return g_Sprites.Delete(index);
}

// A copy of a data-file sprite reads its frames back from the pages and so
// owns them. Frames the page holds reduced come back reduced: they are
// stretched to the sprite's size, so the copy's masks and box match its
// frames and it draws at the size of the source's frames.
int Sprite_Duplicate(int index) {
    const CSprite* source = g_Sprites.Data(index);
    if (source == nullptr) return -1;
    auto copy = std::make_unique<CSprite>();
    copy->Assign(source);
    if (copy->m_kind == SPRITE_KIND_BITMAP && copy->UsesDataFileFrames() && copy->GenerateBitmapData()) {
        copy->m_pageEntryOffsets.clear();
        copy->m_dataFileEntries = false;
        for (auto& bitmap : copy->m_bitmaps)
            if (bitmap->GetWidth() != copy->m_width || bitmap->GetHeight() != copy->m_height)
                bitmap->Stretch(copy->m_width, copy->m_height);
        // The frames are the copy's own now: it draws from textures and
        // entries of its own.
        copy->InitTexture();
        copy->InitLocalTPE();
        copy->CreateMask();
    }
    return Append(std::move(copy));
}

bool Sprite_Assign(int index, int source) {
    const CSprite* from = g_Sprites.Data(source);
    if (from == nullptr || index < 0 || index >= g_Sprites.Number()) return false;
    if (index == source) return true;
    if (g_Sprites.Data(index) == nullptr)
        g_Sprites.Replace(index, std::make_unique<CSprite>(), kNewSpriteName);
    g_Sprites.Data(index)->Assign(from);
    Name(index);
    return true;
}

void MarkInstancesAsDirty(int sprite) {
    if (Run_Room == nullptr) return;
    for (CInstance* list : {Run_Room->m_pFirstActive, Run_Room->m_pFirstDeactive})
        for (CInstance* inst = list; inst != nullptr; inst = inst->m_pNext)
            if (inst->i_spriteindex == sprite) {
                inst->m_bboxDirty = true;
                inst->CollisionMarkDirty();
            }
}

// ---------------------------------------------------------------------------
// What sprite fonts ask of the table

bool SpriteFont_Source(int sprite, SpriteFontSource* out) {
    const CSprite* s = g_Sprites.Data(sprite);
    if (s == nullptr) return false;
    out->frameCount = s->m_numb;
    out->width = s->m_width;
    out->height = s->m_height;
    return true;
}

void SpriteFont_FrameExtent(int sprite, int frame, int* left, int* right) {
    const CSprite* s = g_Sprites.Data(sprite);
    if (s == nullptr) return;
    if (const ZQTPageEntry* e = s->GetPageEntry(frame)) {
        *left = e->xOffset;
        *right = e->xOffset + e->cropWidth;
        return;
    }
    *left = s->m_bbox.left;
    *right = s->m_bbox.right;
}

// Frames on the data file's pages are drawn from their page entries. Frames
// made at run time have no page entries until the sprite's own textures
// exist; they draw nothing meanwhile.
bool SpriteFont_DrawFrame(int sprite, int frame, float x, float y, float xscale, float yscale, float angle,
                          const uint32_t (&colours)[4], float alpha) {
    const CSprite* s = g_Sprites.Data(sprite);
    if (s == nullptr) return false;
    ZQTPageEntry* e = s->GetPageEntry(frame);
    if (e == nullptr) return true;
    GR_Texture_Draw_Part_Color(
        e, 0.0f, 0.0f, static_cast<float>(e->untrimmedWidth), static_cast<float>(e->untrimmedHeight), x, y,
        xscale, yscale, angle * kDegreesToRadians, colours[0], colours[1], colours[2], colours[3], alpha);
    return true;
}
