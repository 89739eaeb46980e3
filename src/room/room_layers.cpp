// A room's layers from the layer list of its record, the copy a running room
// makes of its template's layers, the run-time data that ties elements to
// instances and turns old tilemaps into tiles, and the cleaning of both.
#include <climits>
#include <cstring>
#include <new>

#include "core/game_image.h"
#include "core/header_globals.h"
#include "core/memory_manager.h"
#include "core/ref_string.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "world/instances/instance.h"

namespace {

CLayerInstanceElement* AsInstance(CLayerElementBase* e) {
    return e->m_type == eLayerElementType_Instance ? static_cast<CLayerInstanceElement*>(e) : nullptr;
}

float ColourAlpha(uint32_t colour) {
    return static_cast<float>(colour >> 24) / 255.0f;
}
int32_t ColourBlend(uint32_t colour) {
    return static_cast<int32_t>(colour & 0xFFFFFF);
}

// Words of the runtime's own old-tile blocks (copies, never the image).
int32_t LoadS32(const uint8_t* p) {
    int32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
float LoadF32(const uint8_t* p) {
    float v;
    std::memcpy(&v, p, 4);
    return v;
}

// Sizes of the parts of a layer record.
constexpr size_t kLayerCommon = 36;
constexpr size_t kBackgroundPart = 40;
constexpr size_t kTileRecord = 48;
constexpr size_t kSpriteRecord = 44;

// Reads the layer list twice with the same code: first only checking (every
// offset, count and size; throwing GameDataError for damage), then building.
// So a damaged list builds nothing, and the build itself cannot fail on data.
class LayerListReader {
public:
    LayerListReader(CRoom* room, const ImageReader& image, size_t* budget)
        : m_room(room), m_image(image), m_budget(budget) {}

    int Walk(uint32_t offset, bool build) {
        m_build = build;
        ImageReader list = m_image.At(offset);
        const int32_t n = list.S32();
        if (n <= 0) return 0;
        list.Seek(offset);
        const uint32_t count = list.Count(4);
        for (uint32_t i = 0; i < count; ++i) Layer(list.U32());
        return static_cast<int>(count);
    }

    int32_t HighestId() const { return m_highestId; }

private:
    void Spend(size_t bytes) {
        if (m_build || m_budget == nullptr) return;
        if (bytes > *m_budget) m_image.Fail("room layers add up to more than the file can describe");
        *m_budget -= bytes;
    }
    static size_t TextBytes(const char* text) { return text != nullptr ? std::strlen(text) + 1 : 0; }

    void Layer(uint32_t at) {
        if (at == 0) m_image.Fail("layer list entry without a record");
        m_image.Resolve(at, kLayerCommon);
        ImageReader r = m_image.At(at);
        const char* name = r.StringAt();
        const int32_t id = r.S32();
        const int32_t type = r.S32();
        const int32_t depth = r.S32();
        const float xoffset = r.F32();
        const float yoffset = r.F32();
        const float hspeed = r.F32();
        const float vspeed = r.F32();
        const bool visible = r.U32() != 0;
        Spend(sizeof(CLayer) + TextBytes(name));

        CLayer* layer = nullptr;
        if (m_build) {
            layer = CLayerManager::GetNewLayer();
            layer->m_id = id;
            layer->m_depth = depth;
            layer->m_xoffset = xoffset;
            layer->m_yoffset = yoffset;
            layer->m_hspeed = hspeed;
            layer->m_vspeed = vspeed;
            layer->m_visible = visible;
            // Linked before its elements are made, so that the room's clearing
            // returns everything to the pools if an allocation fails.
            CLayerManager::InsertLayerIntoActiveList(m_room, layer);
            if (name != nullptr) {
                layer->m_pName = ZQStrDup(name);
                if (layer->m_pName == nullptr) throw std::bad_alloc();
            }
            if (id > m_highestId) m_highestId = id;
        }
        switch (type) {
            case 1: Background(r, layer); break;
            case 2: Instances(r, layer); break;
            case 3: Assets(r, layer); break;
            case 4: Tilemap(r, layer); break;
            default: break; // a layer without elements
        }
    }

    void Add(CLayer* layer, CLayerElementBase* element) {
        element->m_id = CLayerManager::m_CurrentElementID++;
        CLayerManager::AddElementToLayer(m_room, layer, element, false);
    }

    void Background(ImageReader& r, CLayer* layer) {
        const bool visible = r.U32() != 0;
        const bool foreground = r.U32() != 0;
        const int32_t sprite = r.S32();
        const bool htiled = r.U32() != 0;
        const bool vtiled = r.U32() != 0;
        const bool stretch = r.U32() != 0;
        const uint32_t colour = r.U32();
        const float imageIndex = r.F32();
        const float imageSpeed = r.F32();
        const int32_t speedType = r.S32();
        static_assert(kBackgroundPart == 40, "ten words");
        Spend(sizeof(CLayerBackgroundElement) + sizeof(CBackVT2));
        if (!m_build) return;
        auto* back = static_cast<CBackVT2*>(ZQ_Alloc(sizeof(CBackVT2)));
        if (back == nullptr) throw std::bad_alloc();
        *back = CBackVT2{};
        back->visible = visible;
        back->foreground = foreground;
        back->index = sprite;
        back->htiled = htiled;
        back->vtiled = vtiled;
        back->xscale = 1.0f;
        back->yscale = 1.0f;
        back->stretch = stretch;
        back->blend = ColourBlend(colour);
        back->alpha = ColourAlpha(colour);
        back->imageIndex = imageIndex;
        back->imageSpeed = imageSpeed;
        back->speedType = speedType;
        CLayerBackgroundElement* e = CLayerManager::GetNewBackgroundElement();
        e->m_pBackground = back;
        Add(layer, e);
        CLayerManager::SetElementName(e, layer->m_pName);
    }

    void Instances(ImageReader& r, CLayer* layer) {
        const uint32_t m = r.Count(4);
        Spend(static_cast<size_t>(m) * sizeof(CLayerInstanceElement));
        for (uint32_t i = 0; i < m; ++i) {
            const int32_t id = r.S32();
            if (!m_build) continue;
            CLayerInstanceElement* e = CLayerManager::GetNewInstanceElement();
            e->m_instanceID = id;
            Add(layer, e);
        }
    }

    // Record offsets of a list {count, offsets} at `offset` (0: none).
    ImageReader List(uint32_t offset, size_t recordSize, uint32_t* count) {
        *count = 0;
        if (offset == 0) return m_image;
        ImageReader list = m_image.At(offset);
        *count = list.Count(4);
        ImageReader check = list;
        for (uint32_t i = 0; i < *count; ++i) {
            const uint32_t at = check.U32();
            if (at == 0) m_image.Fail("layer asset list entry without a record");
            m_image.Resolve(at, recordSize);
        }
        return list;
    }

    void Assets(ImageReader& r, CLayer* layer) {
        const uint32_t tileList = r.U32();
        const uint32_t spriteList = r.U32();
        uint32_t tiles = 0, sprites = 0;
        ImageReader t = List(tileList, kTileRecord, &tiles);
        ImageReader s = List(spriteList, kSpriteRecord, &sprites);
        Spend(static_cast<size_t>(tiles) * sizeof(CLayerTileElement));
        Spend(static_cast<size_t>(sprites) * sizeof(CLayerSpriteElement));
        for (uint32_t i = 0; i < tiles; ++i) {
            const uint32_t at = t.U32();
            m_image.Resolve(at, kTileRecord);
            if (!m_build) continue;
            ImageReader p = m_image.At(at);
            CLayerTileElement* e = CLayerManager::GetNewTileElement();
            e->m_visible = true;
            e->m_x = static_cast<float>(p.S32());
            e->m_y = static_cast<float>(p.S32());
            e->m_background = p.S32();
            e->m_left = p.S32();
            e->m_top = p.S32();
            e->m_width = p.S32();
            e->m_height = p.S32();
            // The record's depth and tile id mean nothing on a layer.
            p.Skip(8);
            e->m_xscale = p.F32();
            e->m_yscale = p.F32();
            const uint32_t colour = p.U32();
            e->m_blend = ColourBlend(colour);
            e->m_alpha = ColourAlpha(colour);
            e->m_angle = 0.0f;
            Add(layer, e);
        }
        for (uint32_t i = 0; i < sprites; ++i) {
            const uint32_t at = s.U32();
            ImageReader q = m_image.At(at);
            const char* name = q.StringAt();
            Spend(TextBytes(name));
            if (!m_build) continue;
            CLayerSpriteElement* e = CLayerManager::GetNewSpriteElement();
            e->m_sprite = q.S32();
            e->m_x = static_cast<float>(q.S32());
            e->m_y = static_cast<float>(q.S32());
            e->m_xscale = q.F32();
            e->m_yscale = q.F32();
            const uint32_t colour = q.U32();
            e->m_blend = ColourBlend(colour);
            e->m_alpha = ColourAlpha(colour);
            e->m_imageSpeed = q.F32();
            e->m_speedType = q.S32();
            e->m_imageIndex = q.F32();
            e->m_angle = q.F32();
            Add(layer, e);
            CLayerManager::SetElementName(e, name);
        }
    }

    // Width and height must be non-negative and their product (computed in
    // 64 bits, so it cannot wrap) must fit in the image after the record.
    void Tilemap(ImageReader& r, CLayer* layer) {
        const int32_t tileset = r.S32();
        const int32_t width = r.S32();
        const int32_t height = r.S32();
        if (width < 0 || height < 0) r.Fail("tilemap with a negative size");
        const uint64_t cells = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
        if (cells > r.Remaining() / 4) r.Fail("tilemap cells run past the end of the data");
        const size_t bytes = static_cast<size_t>(cells) * 4;
        Spend(sizeof(CLayerTilemapElement) + bytes);
        const uint8_t* words = r.Bytes(bytes);
        if (!m_build) return;
        CLayerTilemapElement* e = CLayerManager::GetNewTilemapElement();
        e->m_tileset = tileset;
        e->m_width = width;
        e->m_height = height;
        Add(layer, e);
        CLayerManager::SetElementName(e, layer->m_pName);
        if (cells > 0) {
            // An own copy: the template must not depend on the image's life.
            e->m_pCells = ZQ_AllocArray<uint32_t>(static_cast<size_t>(cells));
            if (e->m_pCells == nullptr) throw std::bad_alloc();
            std::memcpy(e->m_pCells, words, bytes);
        }
    }

    CRoom* m_room;
    const ImageReader& m_image;
    size_t* m_budget;
    bool m_build = false;
    int32_t m_highestId = INT32_MIN;
};

} // namespace

// ---------------------------------------------------------------------------
// Old-tile blocks

size_t COldTileBlock::Size(int32_t count) {
    return 4 + static_cast<size_t>(count) * (sizeof(uint8_t*) + kRecordSize);
}

uint8_t* COldTileBlock::Allocate(int32_t count) {
    if (count < 0) return nullptr;
    auto* block = static_cast<uint8_t*>(ZQ_Alloc(Size(count)));
    if (block == nullptr) return nullptr;
    std::memset(block, 0, Size(count));
    std::memcpy(block, &count, 4);
    // The pointers stand unaligned after the count: written and read by copy.
    uint8_t* records = block + 4 + static_cast<size_t>(count) * sizeof(uint8_t*);
    for (int32_t i = 0; i < count; ++i) {
        uint8_t* record = records + static_cast<size_t>(i) * kRecordSize;
        std::memcpy(block + 4 + static_cast<size_t>(i) * sizeof(uint8_t*), &record, sizeof record);
    }
    return block;
}

int32_t COldTileBlock::Count(const uint8_t* block) {
    if (block == nullptr) return 0;
    int32_t count;
    std::memcpy(&count, block, 4);
    return count < 0 ? 0 : count;
}

uint8_t* COldTileBlock::Record(uint8_t* block, int32_t i) {
    uint8_t* record;
    std::memcpy(&record, block + 4 + static_cast<size_t>(i) * sizeof(uint8_t*), sizeof record);
    return record;
}

const uint8_t* COldTileBlock::Record(const uint8_t* block, int32_t i) {
    return Record(const_cast<uint8_t*>(block), i);
}

// ---------------------------------------------------------------------------
// Building from the data

int CLayerManager::BuildRoomLayers(CRoom* room, const ImageReader& image, uint32_t offset,
                                   size_t* copyBudget) {
    if (room == nullptr || offset == 0) return 0;
    if (!m_bInitialised) Init();
    LayerListReader reader(room, image, copyBudget);
    reader.Walk(offset, false);
    const int built = reader.Walk(offset, true);
    if (built > 0 && reader.HighestId() > m_LayerIDWatermark) m_LayerIDWatermark = reader.HighestId();
    return built;
}

LinkedList<CTileSlab> CLayerManager::GetTilesFromPool(int tileCount) {
    LinkedList<CTileSlab> slabs;
    slabs.m_DeleteType = eDelete_Keep; // discarding the list never frees the slabs
    if (tileCount <= 0) return slabs;
    const int n = static_cast<int>((static_cast<int64_t>(tileCount) + 31) / 32);
    for (int i = 0; i < n; ++i) slabs.PushBack(GetNewTileSlab());
    return slabs;
}

// ---------------------------------------------------------------------------
// Run-time data

void CLayerManager::BuildRoomLayerRuntimeData(CRoom* room) {
    if (room == nullptr || !g_isNimbar) return;
    for (CLayer* layer = room->m_Layers.m_pFirst; layer != nullptr; layer = layer->m_pNext) {
        layer->m_timer.Reset();
        for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr;) {
            // Building an instance element may take another element out of a
            // layer; never this one, which is not tied yet.
            CLayerElementBase* next = e->m_pNext;
            BuildElementRuntimeData(room, layer, e);
            e = next;
        }
    }
    // Every live instance not yet placed goes on a layer. The table is read
    // whole first: placing instances must not run inside its walk.
    Hash<CInstance>& table = CInstance::ID2Instance();
    const int32_t count = table.Count();
    if (count > 0) {
        CInstance** all = ZQ_AllocArray<CInstance*>(static_cast<size_t>(count));
        if (all == nullptr) throw std::bad_alloc();
        int32_t n = 0;
        table.ForEach([&](uint32_t, CInstance* instance) {
            if (instance != nullptr && n < count) all[n++] = instance;
        });
        for (int32_t i = 0; i < n; ++i) AddInstance(room, all[i]);
        ZQ_Free(all);
    }
    if (m_pScriptInstance == nullptr) m_pScriptInstance = new CInstance(0.0f, 0.0f, 0, -1, false);
    for (CLayer* layer = room->m_Layers.m_pFirst; layer != nullptr; layer = layer->m_pNext)
        SortDeactivatedInstances(layer);
}

void CLayerManager::BuildElementRuntimeData(CRoom* room, CLayer* layer, CLayerElementBase* element) {
    if (room == nullptr || layer == nullptr || element == nullptr || element->m_bRuntimeDataInitialised)
        return;
    switch (element->m_type) {
        case eLayerElementType_Background:
            BuildBackgroundElementRuntimeData(room, layer, static_cast<CLayerBackgroundElement*>(element));
            break;
        case eLayerElementType_Instance:
            BuildInstanceElementRuntimeData(room, layer, static_cast<CLayerInstanceElement*>(element));
            break;
        case eLayerElementType_OldTilemap:
            BuildOldTilemapElementRuntimeData(room, layer, static_cast<CLayerOldTilemapElement*>(element));
            break;
        case eLayerElementType_Sprite:
            BuildSpriteElementRuntimeData(room, layer, static_cast<CLayerSpriteElement*>(element));
            break;
        case eLayerElementType_Tilemap:
            BuildTilemapElementRuntimeData(room, layer, static_cast<CLayerTilemapElement*>(element));
            break;
        case eLayerElementType_ParticleSystem:
            BuildParticleElementRuntimeData(room, layer, static_cast<CLayerParticleElement*>(element));
            break;
        case eLayerElementType_Tile:
            BuildTileElementRuntimeData(room, layer, static_cast<CLayerTileElement*>(element));
            break;
        default: element->m_bRuntimeDataInitialised = true; break;
    }
}

void CLayerManager::BuildBackgroundElementRuntimeData(CRoom*, CLayer*, CLayerBackgroundElement* e) {
    e->m_bRuntimeDataInitialised = true;
}
void CLayerManager::BuildSpriteElementRuntimeData(CRoom*, CLayer*, CLayerSpriteElement* e) {
    e->m_bRuntimeDataInitialised = true;
}
void CLayerManager::BuildTilemapElementRuntimeData(CRoom*, CLayer*, CLayerTilemapElement* e) {
    e->m_bRuntimeDataInitialised = true;
}
void CLayerManager::BuildParticleElementRuntimeData(CRoom*, CLayer*, CLayerParticleElement* e) {
    e->m_bRuntimeDataInitialised = true;
}
void CLayerManager::BuildTileElementRuntimeData(CRoom*, CLayer*, CLayerTileElement* e) {
    e->m_bRuntimeDataInitialised = true;
}

// An instance already tied to another element of the room leaves it: the
// element found for it on its layer goes back to the pool, and this element,
// now the instance's only one, is what the instance-element map names.
void CLayerManager::BuildInstanceElementRuntimeData(CRoom* room, CLayer* layer, CLayerInstanceElement* e) {
    if (room == nullptr || layer == nullptr || e == nullptr || e->m_bRuntimeDataInitialised) return;
    if (e->m_instanceID < 0) return;
    CInstance* instance = CInstance::Find(e->m_instanceID);
    if (instance == nullptr) return;
    if (instance->m_onLayer && instance->m_layerID != -1) {
        CLayer* held = room->m_Layers.m_pFirst;
        while (held != nullptr && held->m_id != instance->m_layerID) held = held->m_pNext;
        CLayerElementBase* old = held != nullptr ? held->m_elements.m_pFirst : nullptr;
        while (old != nullptr && !(old->m_type == eLayerElementType_Instance &&
                                   static_cast<CLayerInstanceElement*>(old)->m_pInstance == instance))
            old = old->m_pNext;
        if (old != nullptr) {
            held->m_elements.Unlink(old);
            room->m_ElementLookup.Delete(old->m_id);
            if (room->m_pLastElementLookedUp == old) room->m_pLastElementLookedUp = nullptr;
            ReleaseElement(old);
        }
    }
    e->m_pInstance = instance;
    instance->m_layerID = layer->m_id;
    instance->m_onLayer = true;
    e->m_bRuntimeDataInitialised = true;
    room->m_InstanceElementLookup.Insert(e->m_instanceID, e);
}

void CLayerManager::BuildOldTilemapElementRuntimeData(CRoom*, CLayer*, CLayerOldTilemapElement* e) {
    if (e == nullptr) return;
    CleanOldTilemapElementRuntimeData(e);
    const int32_t count = COldTileBlock::Count(e->m_pTiles);
    e->m_numTiles = count;
    e->m_slabs = GetTilesFromPool(count);
    CTileSlab* slab = e->m_slabs.m_pFirst;
    for (int32_t i = 0; i < count && slab != nullptr; ++i) {
        const uint8_t* p = COldTileBlock::Record(e->m_pTiles, i);
        RTile& t = slab->tiles[i % 32];
        t.x = static_cast<float>(LoadS32(p));
        t.y = static_cast<float>(LoadS32(p + 4));
        t.background = LoadS32(p + 8);
        t.left = LoadS32(p + 12);
        t.top = LoadS32(p + 16);
        t.width = LoadS32(p + 20);
        t.height = LoadS32(p + 24);
        t.depth = static_cast<float>(LoadS32(p + 28));
        t.id = LoadS32(p + 32);
        t.xscale = LoadF32(p + 36);
        t.yscale = LoadF32(p + 40);
        const uint32_t colour = static_cast<uint32_t>(LoadS32(p + 44));
        t.blend = colour & 0xFFFFFF;
        t.alpha = ColourAlpha(colour);
        t.visible = true;
        ++slab->count;
        if (i % 32 == 31) slab = slab->m_pNext;
    }
    e->m_bRuntimeDataInitialised = true;
}

RTile* CLayerManager::GetOldTilemapTile(CLayerOldTilemapElement* e, int i) {
    if (e == nullptr || i < 0) return nullptr;
    CTileSlab* slab = e->m_slabs.m_pFirst;
    for (int s = i / 32; s > 0 && slab != nullptr; --s) slab = slab->m_pNext;
    if (slab == nullptr || i % 32 >= slab->count) return nullptr;
    return &slab->tiles[i % 32];
}

void CLayerManager::CleanElementRuntimeData(CLayerElementBase* element) {
    if (element == nullptr) return;
    switch (element->m_type) {
        case eLayerElementType_Background:
            CleanBackgroundElementRuntimeData(static_cast<CLayerBackgroundElement*>(element));
            break;
        case eLayerElementType_Instance:
            CleanInstanceElementRuntimeData(static_cast<CLayerInstanceElement*>(element));
            break;
        case eLayerElementType_OldTilemap:
            CleanOldTilemapElementRuntimeData(static_cast<CLayerOldTilemapElement*>(element));
            break;
        case eLayerElementType_Sprite:
            CleanSpriteElementRuntimeData(static_cast<CLayerSpriteElement*>(element));
            break;
        case eLayerElementType_Tilemap:
            CleanTilemapElementRuntimeData(static_cast<CLayerTilemapElement*>(element));
            break;
        case eLayerElementType_ParticleSystem:
            CleanParticleElementRuntimeData(static_cast<CLayerParticleElement*>(element));
            break;
        case eLayerElementType_Tile:
            CleanTileElementRuntimeData(static_cast<CLayerTileElement*>(element));
            break;
        default: break;
    }
    element->m_bRuntimeDataInitialised = false;
}

void CLayerManager::CleanBackgroundElementRuntimeData(CLayerBackgroundElement*) {}
void CLayerManager::CleanSpriteElementRuntimeData(CLayerSpriteElement*) {}
void CLayerManager::CleanTilemapElementRuntimeData(CLayerTilemapElement*) {}
void CLayerManager::CleanParticleElementRuntimeData(CLayerParticleElement*) {}
void CLayerManager::CleanTileElementRuntimeData(CLayerTileElement*) {}

// The instance's tie is undone only when it is this element's: an instance
// that has since moved to another element keeps that one.
void CLayerManager::CleanInstanceElementRuntimeData(CLayerInstanceElement* e) {
    if (e->m_instanceID >= 0 && e->m_pInstance != nullptr) {
        CInstance* instance = CInstance::Find(e->m_instanceID);
        if (instance == e->m_pInstance) {
            instance->m_onLayer = false;
            instance->m_layerID = -1;
        }
    }
    e->m_pInstance = nullptr;
    e->m_bRuntimeDataInitialised = false;
}

void CLayerManager::CleanOldTilemapElementRuntimeData(CLayerOldTilemapElement* e) {
    while (CTileSlab* slab = e->m_slabs.PopFront()) ReturnTileSlab(slab);
    e->m_numTiles = 0;
    e->m_bRuntimeDataInitialised = false;
}

void CLayerManager::CleanRoomLayerRuntimeData(CRoom* room) {
    if (room != nullptr) {
        for (CLayer* layer = room->m_Layers.m_pFirst; layer != nullptr; layer = layer->m_pNext)
            for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr; e = e->m_pNext)
                CleanElementRuntimeData(e);
    }
    delete m_pScriptInstance;
    m_pScriptInstance = nullptr;
}

// ---------------------------------------------------------------------------
// Cleaning and copying a room's layers

void CLayerManager::CleanRoomLayers(CRoom* room) {
    if (room == nullptr) return;
    while (CLayer* layer = room->m_Layers.PopFront()) {
        room->m_LayerLookup.Delete(layer->m_id);
        while (CLayerElementBase* e = layer->m_elements.PopFront()) {
            room->m_ElementLookup.Delete(e->m_id);
            CLayerInstanceElement* ie = AsInstance(e);
            if (ie != nullptr && ie->m_instanceID != -1) {
                CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(ie->m_instanceID);
                if (held != nullptr && *held == ie) room->m_InstanceElementLookup.Delete(ie->m_instanceID);
            }
            CleanElementRuntimeData(e);
            ReleaseElement(e);
        }
        ReleaseLayer(layer);
    }
    room->m_pLastElementLookedUp = nullptr;
}

namespace {

// A copy of one element for another room, or null for an element with
// nothing to copy (a background without settings, an old tilemap without
// tiles). Names are own copies.
CLayerElementBase* CopyElement(const CLayerElementBase* from) {
    switch (from->m_type) {
        case eLayerElementType_Background: {
            auto* f = static_cast<const CLayerBackgroundElement*>(from);
            if (f->m_pBackground == nullptr) return nullptr;
            auto* back = static_cast<CBackVT2*>(ZQ_Alloc(sizeof(CBackVT2)));
            if (back == nullptr) throw std::bad_alloc();
            *back = *f->m_pBackground;
            CLayerBackgroundElement* e = CLayerManager::GetNewBackgroundElement();
            e->m_pBackground = back;
            return e;
        }
        case eLayerElementType_Instance: {
            CLayerInstanceElement* e = CLayerManager::GetNewInstanceElement();
            e->m_instanceID = static_cast<const CLayerInstanceElement*>(from)->m_instanceID;
            return e;
        }
        case eLayerElementType_OldTilemap: {
            auto* f = static_cast<const CLayerOldTilemapElement*>(from);
            if (f->m_pTiles == nullptr && f->m_slabs.m_Count == 0) return nullptr;
            uint8_t* block = nullptr;
            if (f->m_pTiles != nullptr) {
                const int32_t count = COldTileBlock::Count(f->m_pTiles);
                block = COldTileBlock::Allocate(count);
                if (block == nullptr) throw std::bad_alloc();
                for (int32_t i = 0; i < count; ++i)
                    std::memcpy(COldTileBlock::Record(block, i), COldTileBlock::Record(f->m_pTiles, i),
                                COldTileBlock::kRecordSize);
            }
            CLayerOldTilemapElement* e = CLayerManager::GetNewOldTilemapElement();
            e->m_pTiles = block;
            for (const CTileSlab* s = f->m_slabs.m_pFirst; s != nullptr; s = s->m_pNext) {
                CTileSlab* slab = CLayerManager::GetNewTileSlab();
                std::memcpy(slab->tiles, s->tiles, sizeof slab->tiles);
                slab->count = s->count;
                e->m_slabs.PushBack(slab);
            }
            if (f->m_slabs.m_Count > 0) {
                // The tile count goes with the tiles, so the copy reads as
                // many as the source.
                e->m_numTiles = f->m_numTiles;
                e->m_bRuntimeDataInitialised = true;
            }
            return e;
        }
        case eLayerElementType_Sprite: {
            CLayerSpriteElement* e = CLayerManager::GetNewSpriteElement();
            auto* f = static_cast<const CLayerSpriteElement*>(from);
            e->m_sprite = f->m_sprite;
            e->m_imageIndex = f->m_imageIndex;
            e->m_imageSpeed = f->m_imageSpeed;
            e->m_speedType = f->m_speedType;
            e->m_xscale = f->m_xscale;
            e->m_yscale = f->m_yscale;
            e->m_angle = f->m_angle;
            e->m_blend = f->m_blend;
            e->m_alpha = f->m_alpha;
            e->m_x = f->m_x;
            e->m_y = f->m_y;
            return e;
        }
        case eLayerElementType_Tilemap: {
            auto* f = static_cast<const CLayerTilemapElement*>(from);
            uint32_t* cells = nullptr;
            const size_t n = f->m_width > 0 && f->m_height > 0
                                 ? static_cast<size_t>(f->m_width) * static_cast<size_t>(f->m_height)
                                 : 0;
            if (n > 0 && f->m_pCells != nullptr) {
                cells = ZQ_AllocArray<uint32_t>(n);
                if (cells == nullptr) throw std::bad_alloc();
                std::memcpy(cells, f->m_pCells, n * sizeof(uint32_t));
            }
            CLayerTilemapElement* e = CLayerManager::GetNewTilemapElement();
            e->m_tileset = f->m_tileset;
            e->m_x = f->m_x;
            e->m_y = f->m_y;
            e->m_width = f->m_width;
            e->m_height = f->m_height;
            e->m_frame = f->m_frame;
            e->m_pCells = cells;
            return e;
        }
        case eLayerElementType_ParticleSystem: {
            CLayerParticleElement* e = CLayerManager::GetNewParticleElement();
            e->m_systemID = static_cast<const CLayerParticleElement*>(from)->m_systemID;
            return e;
        }
        case eLayerElementType_Tile: {
            CLayerTileElement* e = CLayerManager::GetNewTileElement();
            auto* f = static_cast<const CLayerTileElement*>(from);
            e->m_visible = f->m_visible;
            e->m_background = f->m_background;
            e->m_x = f->m_x;
            e->m_y = f->m_y;
            e->m_width = f->m_width;
            e->m_height = f->m_height;
            e->m_xscale = f->m_xscale;
            e->m_yscale = f->m_yscale;
            e->m_angle = f->m_angle;
            e->m_blend = f->m_blend;
            e->m_alpha = f->m_alpha;
            e->m_left = f->m_left;
            e->m_top = f->m_top;
            return e;
        }
        default: return nullptr;
    }
}

} // namespace

void CLayerManager::DuplicateRoomLayers(CRoom* dest, const CRoom* source) {
    if (dest == nullptr || source == nullptr || dest == source) return;
    CleanRoomLayers(dest);
    for (const CLayer* from = source->m_Layers.m_pFirst; from != nullptr; from = from->m_pNext) {
        CLayer* layer = GetNewLayer();
        layer->m_id = from->m_id;
        layer->m_depth = from->m_depth;
        layer->m_xoffset = from->m_xoffset;
        layer->m_yoffset = from->m_yoffset;
        layer->m_hspeed = from->m_hspeed;
        layer->m_vspeed = from->m_vspeed;
        layer->m_visible = from->m_visible;
        layer->m_beginScript = from->m_beginScript;
        layer->m_endScript = from->m_endScript;
        layer->m_shader = from->m_shader;
        // Linked first, so that the copies made so far go back to the pools
        // with it when an allocation fails.
        dest->m_Layers.PushBack(layer);
        dest->m_LayerLookup.Insert(layer->m_id, layer);
        if (from->m_pName != nullptr) {
            layer->m_pName = ZQStrDup(from->m_pName);
            if (layer->m_pName == nullptr) throw std::bad_alloc();
        }
        for (const CLayerElementBase* f = from->m_elements.m_pFirst; f != nullptr; f = f->m_pNext) {
            CLayerElementBase* e = CopyElement(f);
            if (e == nullptr) continue;
            e->m_id = f->m_id;
            AddElementToLayer(dest, layer, e, false);
            SetElementName(e, f->m_pName);
        }
    }
}
