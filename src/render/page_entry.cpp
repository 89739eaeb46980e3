// Texture pages of the data file. Every page entry "TPAG" lists is checked
// once, into an index sorted by file offset: the entry lies inside the chunk,
// after its offset table, on a 2-byte boundary, and no two listed entries
// overlap (so rewriting one entry's page field, or the drawing code writing a
// crop size, can never change another entry). The index also keeps each
// entry's page as the file gave it, so a second load of the same image maps
// the file's indices again rather than ids of an earlier load.
//
// Loaders hold entries as pointers; scripts hold them as handles that
// resolve through the index (loaded entries) or the registry (entries made at
// run time), never as addresses.
#include "render/page_entry.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "core/console.h"
#include "core/game_chunks.h"
#include "core/game_image.h"
#include "core/header_globals.h"
#include "render/draw_primitives.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "world/datafile/game_data_services.h"
#include "world/datafile/game_file.h"

int32_t* g_ZQTextures = nullptr;
int32_t g_NumZQTextures = 0;
EmbeddedImage* g_EmbeddedImages = nullptr;
int32_t g_NumEmbeddedImages = 0;

namespace {

constexpr size_t kEntrySize = sizeof(ZQTPageEntry);
constexpr size_t kPageFieldAt = 20;
// Loaded entries take handles from kPageEntryHandleFirst, entries registered
// at run time from kPageEntryHandleFirst + kHandleSpan.
constexpr int64_t kHandleSpan = 0x10000000;

struct ListedEntry {
    uint32_t offset;
    int16_t filePage; // the page field as the file gave it
    ZQTPageEntry* entry;
};

// The checked entries of one "TPAG" chunk, keyed by where that chunk lies.
struct PageIndex {
    bool built = false;
    const uint8_t* where = nullptr;
    size_t start = 0, end = 0;
    std::vector<ListedEntry> entries; // by offset, hence by address
};

PageIndex g_index;
std::vector<ZQTPageEntry*> g_registered; // null once unregistered
std::unordered_map<const ZQTPageEntry*, int64_t> g_registeredHandles;
std::vector<int32_t> g_textureIds;
std::vector<EmbeddedImage> g_embedded;

// The image is writable: loaders patch it in place (ImageReader::Patch), and
// page entries are read and written where they stand.
uint8_t* Writable(const uint8_t* p) {
    return const_cast<uint8_t*>(p);
}

// The "TPAG" payload: the one the walk has reached (when it belongs to the
// current image), else the chunk found in the file image (a sprite chunk
// before it may already ask for entries).
ImageReader PageChunk() {
    const ImageReader& walked = g_TexturePageChunk;
    if (!walked.Empty() && (g_WADImage.Empty() ||
                            (walked.ImageLength() == g_WADImage.ImageLength() &&
                             walked.Span(walked.ChunkStart(), 0) == g_WADImage.Span(walked.ChunkStart(), 0))))
        return walked;
    if (g_WADImage.Empty()) return ImageReader();
    try {
        const size_t length = g_WADImage.ImageLength();
        for (size_t offset = 8; offset + 8 <= length;) {
            const ChunkHeader h = GameData_ChunkHeader(g_WADImage, offset);
            const size_t payload = offset + 8;
            if (h.tag == GameData_Tag("TPAG") && h.size > 0)
                return ImageReader(Writable(g_WADImage.Span(0, 0)), length, payload, payload + h.size,
                                   "TPAG");
            offset = payload + h.size;
        }
    } catch (const GameDataError&) {
        // A damaged container was refused by the first walk already.
    }
    return ImageReader();
}

PageIndex BuildIndex(const ImageReader& tpag) {
    PageIndex index;
    index.built = true;
    if (tpag.Empty()) return index;
    index.where = tpag.Span(tpag.ChunkStart(), 0);
    index.start = tpag.ChunkStart();
    index.end = tpag.ChunkEnd();
    ImageReader r = tpag;
    r.Seek(tpag.ChunkStart());
    const uint32_t count = r.Count(4);
    const size_t tableEnd = r.Position() + 4 * static_cast<size_t>(count);
    index.entries.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = r.U32();
        if (offset == 0) continue; // no entry in this slot
        if (offset < tableEnd)
            GameData_Fail("TPAG", "page entry %u at offset %u lies inside the entry table", i, offset);
        if ((offset & 1) != 0)
            GameData_Fail("TPAG", "page entry %u at offset %u is not on a 2-byte boundary", i, offset);
        auto* entry = reinterpret_cast<ZQTPageEntry*>(Writable(tpag.Span(offset, kEntrySize)));
        index.entries.push_back({offset, tpag.Peek<int16_t>(offset + kPageFieldAt), entry});
    }
    std::sort(index.entries.begin(), index.entries.end(),
              [](const ListedEntry& a, const ListedEntry& b) { return a.offset < b.offset; });
    // An entry listed twice is one entry.
    index.entries.erase(
        std::unique(index.entries.begin(), index.entries.end(),
                    [](const ListedEntry& a, const ListedEntry& b) { return a.offset == b.offset; }),
        index.entries.end());
    for (size_t i = 1; i < index.entries.size(); ++i)
        if (index.entries[i].offset - index.entries[i - 1].offset < kEntrySize)
            GameData_Fail("TPAG", "page entries at offsets %u and %u overlap", index.entries[i - 1].offset,
                          index.entries[i].offset);
    return index;
}

// The index of the current image's "TPAG" chunk, built on first use; throws
// GameDataError when that chunk is damaged.
const PageIndex& Index() {
    const ImageReader tpag = PageChunk();
    const uint8_t* where = tpag.Empty() ? nullptr : tpag.Span(tpag.ChunkStart(), 0);
    if (g_index.built && g_index.where == where && g_index.start == tpag.ChunkStart() &&
        g_index.end == tpag.ChunkEnd())
        return g_index;
    g_index = BuildIndex(tpag);
    return g_index;
}

const ListedEntry* Listed(const PageIndex& index, uint32_t offset) {
    auto it = std::lower_bound(index.entries.begin(), index.entries.end(), offset,
                               [](const ListedEntry& e, uint32_t o) { return e.offset < o; });
    return it != index.entries.end() && it->offset == offset ? &*it : nullptr;
}

struct TextureRecord {
    bool present = false;
    uint32_t flags = 0, mips = 0;
    const uint8_t* data = nullptr;
    uint32_t length = 0; // what remains of the chunk from the data on
};

std::vector<TextureRecord> ReadTextureRecords(ImageReader& chunk) {
    const uint32_t count = chunk.Count(4);
    const size_t recordSize = g_isNimbar ? 12 : 8;
    std::vector<TextureRecord> records(count);
    for (TextureRecord& record : records) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue;
        ImageReader r = chunk.At(offset);
        chunk.Resolve(offset, recordSize);
        record.present = true;
        record.flags = r.U32();
        record.mips = g_isNimbar ? r.U32() : 0;
        const uint32_t dataOffset = r.U32();
        if (dataOffset != 0) {
            record.data = chunk.Resolve(dataOffset, 1);
            record.length = static_cast<uint32_t>(chunk.ChunkEnd() - dataOffset);
        }
    }
    return records;
}

// Why entry `e` does not fit on its page, or null when it does.
const char* PlacementFault(const ZQTPageEntry& e, const TextureEntry* page) {
    if (e.x < 0 || e.y < 0 || e.width < 0 || e.height < 0) return "has a negative position or size";
    if (page == nullptr || e.x + e.width > page->width || e.y + e.height > page->height)
        return "lies outside its page";
    return nullptr;
}

void SetEmbedded(std::vector<EmbeddedImage> images) {
    g_embedded = std::move(images);
    g_EmbeddedImages = g_embedded.empty() ? nullptr : g_embedded.data();
    g_NumEmbeddedImages = static_cast<int32_t>(g_embedded.size());
}

} // namespace

void Texture_Load(ImageReader& chunk) {
    const std::vector<TextureRecord> records = ReadTextureRecords(chunk);
    const PageIndex& index = Index();
    const int32_t count = static_cast<int32_t>(records.size());

    std::vector<int32_t> ids;
    ids.reserve(records.size());
    for (const TextureRecord& record : records) {
        if (!record.present) {
            ids.push_back(-1);
            continue;
        }
        const int id = GR_Texture_Create(record.data, record.length, false, (record.flags & 1) != 0);
        Texture* t = GR_Texture_Get_Surface(id);
        if (t != nullptr && record.mips != 0) {
            t->flags |= eTexFlag_MipsWanted;
            t->mipLevels = static_cast<int32_t>(record.mips);
        }
        ids.push_back(id);
    }

    // Every entry is checked against its page before any is rewritten.
    std::vector<int16_t> pages(index.entries.size(), -1);
    for (size_t i = 0; i < index.entries.size(); ++i) {
        const ListedEntry& listed = index.entries[i];
        const int16_t page = listed.filePage;
        if (page < 0 || page >= count || ids[static_cast<size_t>(page)] < 0) {
            // An entry without a page must not draw from whatever texture
            // happens to have its index as id.
            dbg_csol->Output("what!!!!\n");
            continue;
        }
        const int id = ids[static_cast<size_t>(page)];
        ZQTPageEntry e;
        std::memcpy(&e, listed.entry, sizeof e);
        if (const char* fault = PlacementFault(e, GR_Texture_Entry(id))) {
            for (int created : ids) GR_Texture_Free(created);
            GameData_Fail("TPAG", "page entry at offset %u (%d, %d, %d x %d on page %d) %s", listed.offset,
                          e.x, e.y, e.width, e.height, page, fault);
        }
        pages[i] = static_cast<int16_t>(static_cast<uint16_t>(id));
    }

    for (size_t i = 0; i < index.entries.size(); ++i)
        std::memcpy(reinterpret_cast<uint8_t*>(index.entries[i].entry) + kPageFieldAt, &pages[i], 2);
    // A second "TXTR" chunk replaces the pages of the first.
    for (int32_t old : g_textureIds) GR_Texture_Free(old);
    g_textureIds = std::move(ids);
    g_ZQTextures = g_textureIds.empty() ? nullptr : g_textureIds.data();
    g_NumZQTextures = count;
}

bool EmbeddedImages_LoadChunk(ImageReader& chunk) {
    if (chunk.U32() != 1) return false;
    const uint32_t count = chunk.Count(8);
    std::vector<EmbeddedImage> images(count);
    for (EmbeddedImage& image : images) {
        const uint32_t name = chunk.U32();
        const uint32_t entry = chunk.U32();
        image.name = chunk.String(name);
        image.entry = TPageEntry_Resolve(chunk, entry);
    }
    SetEmbedded(std::move(images));
    return true;
}

void EmbeddedImages_Load(ImageReader& chunk) {
    EmbeddedImages_LoadChunk(chunk);
}

EmbeddedImage* EmbeddedImage_Find(const char* name, bool substring) {
    if (name == nullptr) return nullptr;
    for (EmbeddedImage& image : g_embedded) {
        if (image.name == nullptr) continue;
        if (substring ? std::strstr(image.name, name) != nullptr : std::strcmp(image.name, name) == 0)
            return &image;
    }
    return nullptr;
}

ZQTPageEntry* TPageEntry_AtOffset(uint32_t offset) {
    if (offset == 0) return nullptr;
    try {
        const ListedEntry* listed = Listed(Index(), offset);
        return listed != nullptr ? listed->entry : nullptr;
    } catch (const GameDataError&) {
        return nullptr;
    }
}

ZQTPageEntry* TPageEntry_Resolve(const ImageReader& from, uint32_t offset) {
    if (offset == 0) return nullptr;
    const ListedEntry* listed = Listed(Index(), offset);
    if (listed == nullptr)
        GameData_Fail(from.Chunk(), "offset %u is not a page entry listed in TPAG", offset);
    return listed->entry;
}

int64_t TPageEntry_Handle(const ZQTPageEntry* entry) {
    if (entry == nullptr) return -1;
    auto registered = g_registeredHandles.find(entry);
    if (registered != g_registeredHandles.end()) return registered->second;
    try {
        const std::vector<ListedEntry>& entries = Index().entries;
        const auto at = reinterpret_cast<uintptr_t>(entry);
        auto it = std::lower_bound(entries.begin(), entries.end(), at, [](const ListedEntry& e, uintptr_t a) {
            return reinterpret_cast<uintptr_t>(e.entry) < a;
        });
        if (it != entries.end() && it->entry == entry) return kPageEntryHandleFirst + (it - entries.begin());
    } catch (const GameDataError&) {
    }
    return -1;
}

ZQTPageEntry* TPageEntry_FromHandle(int64_t handle) {
    if (handle < kPageEntryHandleFirst) return nullptr;
    const int64_t n = handle - kPageEntryHandleFirst;
    if (n < kHandleSpan) {
        try {
            const std::vector<ListedEntry>& entries = Index().entries;
            return n < static_cast<int64_t>(entries.size()) ? entries[static_cast<size_t>(n)].entry : nullptr;
        } catch (const GameDataError&) {
            return nullptr;
        }
    }
    const int64_t r = n - kHandleSpan;
    return r < static_cast<int64_t>(g_registered.size()) ? g_registered[static_cast<size_t>(r)] : nullptr;
}

int64_t TPageEntry_Register(ZQTPageEntry* entry) {
    if (entry == nullptr) return -1;
    const int64_t known = TPageEntry_Handle(entry);
    if (known >= 0) return known;
    if (static_cast<int64_t>(g_registered.size()) >= kHandleSpan) return -1;
    const int64_t handle = kPageEntryHandleFirst + kHandleSpan + static_cast<int64_t>(g_registered.size());
    g_registered.push_back(entry);
    g_registeredHandles.emplace(entry, handle);
    return handle;
}

void TPageEntry_Unregister(ZQTPageEntry* entry) {
    auto it = g_registeredHandles.find(entry);
    if (it == g_registeredHandles.end()) return;
    g_registered[static_cast<size_t>(it->second - kPageEntryHandleFirst - kHandleSpan)] = nullptr;
    g_registeredHandles.erase(it);
}

Texture* GR_Texture_FromHandle(int64_t handle) {
    if (handle >= kPageEntryHandleFirst) {
        const ZQTPageEntry* entry = TPageEntry_FromHandle(handle);
        return entry != nullptr ? GR_Texture_Get_Surface(entry->page) : nullptr;
    }
    if (handle < 0 || handle > INT32_MAX) return nullptr;
    return GR_Texture_Get_Surface(static_cast<int>(handle));
}

void TexturePages_ForgetIds() {
    g_textureIds.clear();
    g_ZQTextures = nullptr;
    g_NumZQTextures = 0;
}

void TexturePages_Init() {
    for (int32_t id : g_textureIds) GR_Texture_Free(id);
    TexturePages_ForgetIds();
    SetEmbedded({});
}

void TexturePages_Reset() {
    g_index = PageIndex();
    g_registered.clear();
    g_registeredHandles.clear();
    g_textureIds.clear();
    g_ZQTextures = nullptr;
    g_NumZQTextures = 0;
    SetEmbedded({});
}

bool TPageEntry_PrimitiveImage(int64_t handle, PrimitiveImage* out) {
    const ZQTPageEntry* entry = TPageEntry_FromHandle(handle);
    if (entry == nullptr || out == nullptr) return false;
    *out = {entry->page, static_cast<float>(entry->x), static_cast<float>(entry->y),
            static_cast<float>(entry->cropWidth), static_cast<float>(entry->cropHeight)};
    return true;
}
