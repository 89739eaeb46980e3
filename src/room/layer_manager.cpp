// The layer manager: pools and ids, ordered insertion of layers, layer and
// element operations, and instances on layers. Every operation keeps the
// room's layer list in non-decreasing depth, and its layer, element and
// instance-element maps in step with the lists.
#include "room/layer_manager.h"

#include <cmath>
#include <cstring>
#include <strings.h>

#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "room/room.h"
#include "room/room_services.h"
#include "room/room_table.h"
#include "world/instance.h"

bool CLayerManager::m_bInitialised = false;
int32_t CLayerManager::m_CurrentElementID = 0;
int32_t CLayerManager::m_CurrentLayerID = 0;
int32_t CLayerManager::m_LayerIDWatermark = 0;
uint32_t CLayerManager::m_TiledataMask = 0x7FFFFFFF;
int32_t CLayerManager::m_nTargetRoom = -1;
bool CLayerManager::m_ForceDepth = false;
int32_t CLayerManager::m_ForcedDepth = 0;

namespace {

// Function-local so that they exist whenever first asked for, whatever the
// order of static construction.
ObjectPool<CLayer>& LayerPool() {
    static ObjectPool<CLayer> pool(32);
    return pool;
}
ObjectPool<CLayerBackgroundElement>& BackgroundPool() {
    static ObjectPool<CLayerBackgroundElement> pool(32);
    return pool;
}
ObjectPool<CLayerInstanceElement>& InstancePool() {
    static ObjectPool<CLayerInstanceElement> pool(256);
    return pool;
}
ObjectPool<CLayerOldTilemapElement>& OldTilemapPool() {
    static ObjectPool<CLayerOldTilemapElement> pool(32);
    return pool;
}
ObjectPool<CLayerSpriteElement>& SpritePool() {
    static ObjectPool<CLayerSpriteElement> pool(64);
    return pool;
}
ObjectPool<CLayerTilemapElement>& TilemapPool() {
    static ObjectPool<CLayerTilemapElement> pool(32);
    return pool;
}
ObjectPool<CLayerParticleElement>& ParticlePool() {
    static ObjectPool<CLayerParticleElement> pool(32);
    return pool;
}
ObjectPool<CLayerTileElement>& TileElementPool() {
    static ObjectPool<CLayerTileElement> pool(1024);
    return pool;
}
ObjectPool<CTileSlab>& TileSlabPool() {
    static ObjectPool<CTileSlab> pool(32);
    return pool;
}

int NextRuntimeLayerID() {
    const int32_t base = CLayerManager::m_CurrentLayerID > CLayerManager::m_LayerIDWatermark
                             ? CLayerManager::m_CurrentLayerID
                             : CLayerManager::m_LayerIDWatermark;
    CLayerManager::m_CurrentLayerID = base + 1;
    return base + 1;
}

CLayerInstanceElement* AsInstance(CLayerElementBase* e) {
    return e->m_type == eLayerElementType_Instance ? static_cast<CLayerInstanceElement*>(e) : nullptr;
}

} // namespace

CLayer::CLayer() {
    // Elements come from their pools and go back through the manager, never
    // through the list.
    m_elements.m_DeleteType = eDelete_Keep;
}

CLayer::~CLayer() {
    ZQ_Free(m_pName);
    m_pName = nullptr;
    m_elements.Clear();
}

// ---------------------------------------------------------------------------
// Pools and ids

void CLayerManager::Init() {
    if (!m_bInitialised) {
        LayerPool().Prefill();
        BackgroundPool().Prefill();
        InstancePool().Prefill();
        OldTilemapPool().Prefill();
        SpritePool().Prefill();
        TilemapPool().Prefill();
        ParticlePool().Prefill();
        TileElementPool().Prefill();
        TileSlabPool().Prefill();
        m_bInitialised = true;
    }
    m_TiledataMask = 0x7FFFFFFF;
}

void CLayerManager::Close() {
    if (!m_bInitialised) return;
    LayerPool().Free();
    BackgroundPool().Free();
    InstancePool().Free();
    OldTilemapPool().Free();
    SpritePool().Free();
    TilemapPool().Free();
    ParticlePool().Free();
    TileElementPool().Free();
    TileSlabPool().Free();
    m_bInitialised = false;
}

void CLayerManager::SetLayerIndexWatermark(int id) {
    m_LayerIDWatermark = id;
}

int32_t CLayerManager::LayerPoolCount() {
    return LayerPool().Count();
}
int32_t CLayerManager::LayerPoolGrowth() {
    return LayerPool().Growth();
}

CLayer* CLayerManager::GetNewLayer() {
    return LayerPool().GetFromPool();
}
CLayerBackgroundElement* CLayerManager::GetNewBackgroundElement() {
    return BackgroundPool().GetFromPool();
}
CLayerInstanceElement* CLayerManager::GetNewInstanceElement() {
    return InstancePool().GetFromPool();
}
CLayerOldTilemapElement* CLayerManager::GetNewOldTilemapElement() {
    return OldTilemapPool().GetFromPool();
}
CLayerSpriteElement* CLayerManager::GetNewSpriteElement() {
    return SpritePool().GetFromPool();
}
CLayerTilemapElement* CLayerManager::GetNewTilemapElement() {
    return TilemapPool().GetFromPool();
}
CLayerParticleElement* CLayerManager::GetNewParticleElement() {
    return ParticlePool().GetFromPool();
}
CLayerTileElement* CLayerManager::GetNewTileElement() {
    return TileElementPool().GetFromPool();
}

// The layer is already unlinked, out of the map and without elements.
void CLayerManager::ReleaseLayer(CLayer* layer) {
    LayerPool().Return(layer);
}

// Frees what the element owns and puts it back in its pool; it is already
// unlinked and out of the maps.
void CLayerManager::ReleaseElement(CLayerElementBase* element) {
    switch (element->m_type) {
        case eLayerElementType_Background: {
            auto* e = static_cast<CLayerBackgroundElement*>(element);
            ZQ_Free(e->m_pBackground);
            BackgroundPool().Return(e);
            break;
        }
        case eLayerElementType_Instance:
            InstancePool().Return(static_cast<CLayerInstanceElement*>(element));
            break;
        case eLayerElementType_OldTilemap: {
            auto* e = static_cast<CLayerOldTilemapElement*>(element);
            ZQ_Free(e->m_pTiles);
            while (CTileSlab* slab = e->m_slabs.PopFront()) TileSlabPool().Return(slab);
            OldTilemapPool().Return(e);
            break;
        }
        case eLayerElementType_Sprite: SpritePool().Return(static_cast<CLayerSpriteElement*>(element)); break;
        case eLayerElementType_Tilemap: {
            auto* e = static_cast<CLayerTilemapElement*>(element);
            ZQ_Free(e->m_pCells);
            TilemapPool().Return(e);
            break;
        }
        case eLayerElementType_ParticleSystem:
            ParticlePool().Return(static_cast<CLayerParticleElement*>(element));
            break;
        case eLayerElementType_Tile: {
            // The one field a pooled tile element keeps.
            auto* e = static_cast<CLayerTileElement*>(element);
            const bool visible = e->m_visible;
            TileElementPool().Return(e);
            e->m_visible = visible;
            break;
        }
        default: break;
    }
}

// ---------------------------------------------------------------------------
// Layers

void CLayerManager::InsertLayerIntoActiveList(CRoom* room, CLayer* layer) {
    if (room == nullptr || layer == nullptr) return;
    CLayer* before = room->m_Layers.m_pFirst;
    while (before != nullptr && before->m_depth <= layer->m_depth) before = before->m_pNext;
    room->m_Layers.InsertBefore(before, layer);
    room->m_LayerLookup.Insert(layer->m_id, layer);
}

CLayer* CLayerManager::AddLayer(CRoom* room, int depth, const char* name) {
    CLayer* layer = GetNewLayer();
    layer->m_id = NextRuntimeLayerID();
    layer->m_depth = depth;
    layer->m_dynamic = false;
    if (name != nullptr) {
        layer->m_pName = ZQStrDup(name);
        if (layer->m_pName == nullptr) {
            ReleaseLayer(layer);
            throw std::bad_alloc();
        }
    }
    InsertLayerIntoActiveList(room, layer);
    return layer;
}

CLayer* CLayerManager::AddDynamicLayer(CRoom* room, int depth) {
    CLayer* layer = AddLayer(room, depth, nullptr);
    layer->m_dynamic = true;
    return layer;
}

// The layer leaves the room's list and map before its elements go, so
// nothing the Destroy events do can put an instance on it again.
void CLayerManager::RemoveLayer(CRoom* room, int layerID, bool) {
    CLayer* layer = GetLayerFromID(room, layerID);
    if (layer == nullptr) return;
    room->m_Layers.Unlink(layer);
    room->m_LayerLookup.Delete(layerID);
    while (layer->m_elements.m_pFirst != nullptr)
        RemoveElement(room, layer, layer->m_elements.m_pFirst, true);
    LayerPool().Return(layer);
}

void CLayerManager::ChangeLayerDepth(CRoom* room, int layerID, int depth, bool merge) {
    ChangeLayerDepth(room, GetLayerFromID(room, layerID), depth, merge);
}

void CLayerManager::ChangeLayerDepth(CRoom* room, CLayer* layer, int depth, bool merge) {
    if (room == nullptr || layer == nullptr || layer->m_depth == depth) return;
    const bool back = depth > layer->m_depth;
    layer->m_depth = depth;
    LinkedList<CLayer>& list = room->m_Layers;
    if (back) {
        CLayer* at = layer->m_pNext;
        while (at != nullptr && at->m_depth <= depth) {
            if (merge && at->m_depth == depth && at->m_dynamic && layer->m_dynamic) {
                // Merge: the elements join the end of the other layer.
                while (CLayerElementBase* e = layer->m_elements.PopFront()) {
                    e->m_pLayer = at;
                    at->m_elements.PushBack(e);
                }
                list.Unlink(layer);
                room->m_LayerLookup.Delete(layer->m_id);
                LayerPool().Return(layer);
                return;
            }
            at = at->m_pNext;
        }
        if (layer->m_pNext == at) return;
        list.Unlink(layer);
        list.InsertBefore(at, layer);
    } else {
        CLayer* at = layer->m_pPrev;
        while (at != nullptr && at->m_depth >= depth) at = at->m_pPrev;
        if (layer->m_pPrev == at) return;
        list.Unlink(layer);
        list.InsertBefore(at != nullptr ? at->m_pNext : list.m_pFirst, layer);
    }
}

CLayer* CLayerManager::GetLayerFromID(CRoom* room, int layerID) {
    if (room == nullptr || layerID == -1) return nullptr;
    CLayer** found = room->m_LayerLookup.Find(layerID);
    return found != nullptr ? *found : nullptr;
}

CLayer* CLayerManager::GetLayerFromName(CRoom* room, const char* name) {
    if (room == nullptr || name == nullptr) return nullptr;
    for (CLayer* l = room->m_Layers.m_pFirst; l != nullptr; l = l->m_pNext)
        if (l->m_pName != nullptr && strcasecmp(l->m_pName, name) == 0) return l;
    return nullptr;
}

int CLayerManager::GetLayerDepth(CRoom* room, int layerID) {
    CLayer* layer = GetLayerFromID(room, layerID);
    return layer != nullptr ? layer->m_depth : -1;
}

CLayer* CLayerManager::GetLayerWithDepth(CRoom* room, int depth, bool dynamicOnly) {
    if (room == nullptr) return nullptr;
    for (CLayer* l = room->m_Layers.m_pFirst; l != nullptr && l->m_depth <= depth; l = l->m_pNext)
        if (l->m_depth == depth && (!dynamicOnly || l->m_dynamic)) return l;
    return nullptr;
}

int CLayerManager::GetNumLayersInRoom(CRoom* room) {
    return room != nullptr ? room->m_Layers.m_Count : 0;
}

CLayer* CLayerManager::GetNthLayerInRoom(CRoom* room, int n) {
    if (room == nullptr || n < 0) return nullptr;
    CLayer* l = room->m_Layers.m_pFirst;
    while (l != nullptr && n-- > 0) l = l->m_pNext;
    return l;
}

CRoom* CLayerManager::GetTargetRoomObj() {
    if (m_nTargetRoom == -1) return Run_Room;
    CRoom* room = Room_Data(m_nTargetRoom);
    return room != nullptr ? room : Run_Room;
}

void CLayerManager::CleanRoomLayers(CRoom* room) {
    if (room == nullptr) return;
    while (CLayer* layer = room->m_Layers.PopFront()) {
        room->m_LayerLookup.Delete(layer->m_id);
        while (CLayerElementBase* e = layer->m_elements.PopFront()) {
            room->m_ElementLookup.Delete(e->m_id);
            if (CLayerInstanceElement* ie = AsInstance(e)) {
                if (ie->m_instanceID != -1) room->m_InstanceElementLookup.Delete(ie->m_instanceID);
            }
            ReleaseElement(e);
        }
        LayerPool().Return(layer);
    }
    room->m_pLastElementLookedUp = nullptr;
}

namespace {

// A copy of one element for another room, or null for a kind that is not
// copied (old tilemaps, backgrounds without settings).
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
            e->m_pName = f->m_pName;
            AddElementToLayer(dest, layer, e, false);
        }
    }
}

// ---------------------------------------------------------------------------
// Elements

int CLayerManager::AddNewElement(CRoom* room, CLayer* layer, CLayerElementBase* element,
                                 bool buildRuntimeData) {
    if (room == nullptr || layer == nullptr || element == nullptr) return -1;
    element->m_id = m_CurrentElementID++;
    AddElementToLayer(room, layer, element, false);
    if (buildRuntimeData && !element->m_bRuntimeDataInitialised) {
        if (CLayerInstanceElement* ie = AsInstance(element)) {
            if (ie->m_pInstance == nullptr) ie->m_pInstance = CInstance::Find(ie->m_instanceID);
        }
        element->m_bRuntimeDataInitialised = true;
    }
    return element->m_id;
}

int CLayerManager::AddNewElementAtDepth(CRoom* room, int depth, CLayerElementBase* element,
                                        bool buildRuntimeData, bool dynamicLayer) {
    if (room == nullptr || element == nullptr) return -1;
    CLayer* layer = GetLayerWithDepth(room, depth, dynamicLayer);
    if (layer == nullptr) {
        if (!dynamicLayer) return -1;
        layer = AddDynamicLayer(room, depth);
    }
    return AddNewElement(room, layer, element, buildRuntimeData);
}

void CLayerManager::AddElementToLayer(CRoom* room, CLayer* layer, CLayerElementBase* element, bool atEnd) {
    if (atEnd)
        layer->m_elements.PushBack(element);
    else
        layer->m_elements.PushFront(element);
    element->m_pLayer = layer;
    room->m_ElementLookup.Insert(element->m_id, element);
    if (CLayerInstanceElement* ie = AsInstance(element)) {
        if (ie->m_instanceID != -1) room->m_InstanceElementLookup.Insert(ie->m_instanceID, ie);
    }
}

void CLayerManager::RemoveElement(CRoom* room, CLayer* layer, CLayerElementBase* element,
                                  bool destroyInstance) {
    if (layer == nullptr || element == nullptr) return;
    if (room != nullptr) {
        room->m_ElementLookup.Delete(element->m_id);
        if (room->m_pLastElementLookedUp == element) room->m_pLastElementLookedUp = nullptr;
    }
    layer->m_elements.Unlink(element);
    if (CLayerInstanceElement* ie = AsInstance(element)) {
        if (room != nullptr && ie->m_instanceID != -1) {
            CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(ie->m_instanceID);
            if (held != nullptr && *held == ie) room->m_InstanceElementLookup.Delete(ie->m_instanceID);
        }
        if (destroyInstance && ie->m_instanceID != -14) {
            CInstance* instance = CInstance::Find(ie->m_instanceID);
            if (instance != nullptr) Room_DestroyInstance(instance);
        }
    }
    ReleaseElement(element);
}

void CLayerManager::RemoveElement(CRoom* room, int elementID, bool removeEmptyDynamicLayer,
                                  bool destroyInstance) {
    if (room == nullptr) return;
    CLayer* layer = nullptr;
    CLayerElementBase* element = GetElementFromID(room, elementID, &layer);
    if (element == nullptr) return;
    RemoveElement(room, layer, element, destroyInstance);
    if (removeEmptyDynamicLayer && layer->m_dynamic && layer->m_elements.m_Count == 0)
        RemoveLayer(room, layer->m_id);
}

void CLayerManager::MoveElement(CRoom* room, CLayerElementBase* element, CLayer* destination) {
    if (room == nullptr || element == nullptr || destination == nullptr || element->m_pLayer == destination)
        return;
    if (element->m_pLayer != nullptr) element->m_pLayer->m_elements.Unlink(element);
    destination->m_elements.PushFront(element);
    element->m_pLayer = destination;
    if (CLayerInstanceElement* ie = AsInstance(element)) {
        if (ie->m_pInstance != nullptr) UpdateInstanceActivation(room, ie->m_pInstance);
    }
}

CLayerElementBase* CLayerManager::GetElementFromID(CRoom* room, int elementID, CLayer** layerOut) {
    if (room == nullptr || elementID == -1) return nullptr;
    CLayerElementBase* e = room->m_pLastElementLookedUp;
    if (e == nullptr || e->m_id != elementID) {
        CLayerElementBase** found = room->m_ElementLookup.Find(elementID);
        if (found == nullptr) return nullptr;
        e = *found;
        room->m_pLastElementLookedUp = e;
    }
    if (layerOut != nullptr) *layerOut = e->m_pLayer;
    return e;
}

CLayerElementBase* CLayerManager::GetElementFromID(CLayer* layer, int elementID) {
    if (layer == nullptr) return nullptr;
    for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr; e = e->m_pNext)
        if (e->m_id == elementID) return e;
    return nullptr;
}

CLayerElementBase* CLayerManager::GetElementFromName(CRoom* room, const char* name, CLayer** layerOut) {
    if (room == nullptr || name == nullptr) return nullptr;
    for (CLayer* l = room->m_Layers.m_pFirst; l != nullptr; l = l->m_pNext) {
        if (CLayerElementBase* e = GetElementFromName(l, name)) {
            if (layerOut != nullptr) *layerOut = l;
            return e;
        }
    }
    return nullptr;
}

CLayerElementBase* CLayerManager::GetElementFromName(CLayer* layer, const char* name) {
    if (layer == nullptr || name == nullptr) return nullptr;
    for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr; e = e->m_pNext)
        if (e->m_pName != nullptr && strcasecmp(e->m_pName, name) == 0) return e;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Instances on layers

void CLayerManager::AddInstance(CRoom* room, CInstance* instance, int layerID) {
    if (room == nullptr || instance == nullptr) return;
    CLayer* layer = GetLayerFromID(room, layerID);
    if (layer == nullptr) {
        CLayerInstanceElement** waiting = room->m_InstanceElementLookup.Find(instance->i_id);
        if (waiting != nullptr) layer = (*waiting)->m_pLayer;
    }
    if (layer == nullptr) {
        // NaN and depths beyond int32 truncate to INT32_MIN through the one helper.
        const int depth = RealToInt32(instance->i_depth);
        layer = GetLayerWithDepth(room, depth, true);
        if (layer == nullptr) layer = AddDynamicLayer(room, depth);
    }
    AddInstanceToLayer(room, layer, instance);
}

void CLayerManager::AddInstanceToLayer(CRoom* room, CLayer* layer, CInstance* instance) {
    if (room == nullptr || layer == nullptr || instance == nullptr || instance->i_id == -1) return;
    CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(instance->i_id);
    if (held != nullptr) {
        // Already placed: a waiting element of the room's data is reused and
        // moved here, so the instance's element and layer always agree.
        CLayerInstanceElement* e = *held;
        e->m_pInstance = instance;
        e->m_bRuntimeDataInitialised = true;
        CLayer* previous = e->m_pLayer;
        if (previous != layer) {
            MoveElement(room, e, layer);
            if (previous != nullptr && previous->m_dynamic && previous->m_elements.m_Count == 0)
                RemoveLayer(room, previous->m_id);
        }
    } else {
        CLayerInstanceElement* e = GetNewInstanceElement();
        e->m_instanceID = instance->i_id;
        e->m_pInstance = instance;
        e->m_bRuntimeDataInitialised = true;
        e->m_id = m_CurrentElementID++;
        AddElementToLayer(room, layer, e, false);
        UpdateInstanceActivation(room, instance);
    }
    instance->i_depth = static_cast<float>(layer->m_depth);
}

void CLayerManager::RemoveInstanceFromLayer(CRoom* room, CInstance* instance) {
    if (room == nullptr || instance == nullptr) return;
    CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(instance->i_id);
    if (held == nullptr) return;
    CLayerInstanceElement* e = *held;
    CLayer* layer = e->m_pLayer;
    RemoveElement(room, layer, e, false);
    if (layer != nullptr && layer->m_dynamic && layer->m_elements.m_Count == 0)
        RemoveLayer(room, layer->m_id);
}

// A deactivated instance's element goes to the end of its layer; an active
// one's to the front.
void CLayerManager::UpdateInstanceActivation(CRoom* room, CInstance* instance) {
    if (room == nullptr || instance == nullptr) return;
    CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(instance->i_id);
    if (held == nullptr || (*held)->m_pLayer == nullptr) return;
    CLayerInstanceElement* e = *held;
    LinkedList<CLayerElementBase>& list = e->m_pLayer->m_elements;
    list.Unlink(e);
    if (instance->i_deactivated)
        list.PushBack(e);
    else
        list.PushFront(e);
}

// A lone element moves its (dynamic) layer; otherwise the instance moves to
// the first dynamic layer of the new depth, or a new one.
void CLayerManager::ChangeInstanceDepth(CRoom* room, CInstance* instance, float depth) {
    if (instance == nullptr) return;
    instance->i_depth = depth;
    if (room == nullptr) return;
    CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(instance->i_id);
    const int target = RealToInt32(depth);
    if (held == nullptr || (*held)->m_pLayer == nullptr) return;
    CLayer* layer = (*held)->m_pLayer;
    if (layer->m_depth == target) return;
    if (layer->m_dynamic && layer->m_elements.m_Count == 1) {
        ChangeLayerDepth(room, layer, target, true);
    } else {
        CLayer* destination = GetLayerWithDepth(room, target, true);
        if (destination == nullptr) destination = AddDynamicLayer(room, target);
        MoveElement(room, *held, destination);
        if (layer->m_dynamic && layer->m_elements.m_Count == 0) RemoveLayer(room, layer->m_id);
    }
    instance->i_depth = depth;
}

int CLayerManager::GetInstanceLayerID(CRoom* room, int instanceID) {
    if (room == nullptr) return -1;
    CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(instanceID);
    return held != nullptr && (*held)->m_pLayer != nullptr ? (*held)->m_pLayer->m_id : -1;
}

// ---------------------------------------------------------------------------
// Consistency checks

bool CLayerManager::ElementsHaveLoop(const LinkedList<CLayerElementBase>* list) {
    if (list == nullptr || list->m_pFirst == nullptr) return false;
    const CLayerElementBase* slow = list->m_pFirst;
    const CLayerElementBase* fast = list->m_pFirst;
    while (fast != nullptr && fast->m_pNext != nullptr) {
        slow = slow->m_pNext;
        fast = fast->m_pNext->m_pNext;
        if (slow == fast) return true;
    }
    return false;
}

bool CLayerManager::IsLayerListInOrder(const CRoom* room) {
    for (const CLayer* l = room->m_Layers.m_pFirst; l != nullptr && l->m_pNext != nullptr; l = l->m_pNext)
        if (l->m_pNext->m_depth < l->m_depth) return false;
    return true;
}
