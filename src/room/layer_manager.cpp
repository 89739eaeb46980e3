// The layer manager: pools and ids, ordered insertion of layers, layer and
// element operations, and instances on layers. Every operation keeps the
// room's layer list in non-decreasing depth, and its layer, element and
// instance-element maps in step with the lists.
#include "room/layer_manager.h"

#include <cmath>
#include <cstring>
#include <strings.h>

#include "core/console.h"
#include "core/real_to_int.h"
#include "core/ref_string.h"
#include "room/room.h"
#include "room/room_services.h"
#include "room/room_table.h"
#include "world/instances/instance.h"

bool CLayerManager::m_bInitialised = false;
int32_t CLayerManager::m_CurrentElementID = 0;
int32_t CLayerManager::m_CurrentLayerID = 0;
int32_t CLayerManager::m_LayerIDWatermark = 0;
uint32_t CLayerManager::m_TiledataMask = 0x7FFFFFFF;
int32_t CLayerManager::m_nTargetRoom = -1;
bool CLayerManager::m_ForceDepth = false;
int32_t CLayerManager::m_ForcedDepth = 0;
CInstance* CLayerManager::m_pScriptInstance = nullptr;

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

// The element that ties the instance id to a layer in this room, or null.
CLayerInstanceElement* HeldElement(CRoom* room, int instanceID) {
    CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(instanceID);
    return held != nullptr ? *held : nullptr;
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
    delete m_pScriptInstance;
    m_pScriptInstance = nullptr;
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

void CLayerManager::Reset() {
    Close();
    m_CurrentElementID = 0;
    m_CurrentLayerID = 0;
    m_LayerIDWatermark = 0;
    m_TiledataMask = 0x7FFFFFFF;
    m_nTargetRoom = -1;
    m_ForceDepth = false;
    m_ForcedDepth = 0;
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
CTileSlab* CLayerManager::GetNewTileSlab() {
    return TileSlabPool().GetFromPool();
}
void CLayerManager::ReturnTileSlab(CTileSlab* slab) {
    TileSlabPool().Return(slab);
}

void CLayerManager::SetElementName(CLayerElementBase* element, const char* name) {
    char* copy = nullptr;
    if (name != nullptr) {
        copy = ZQStrDup(name);
        if (copy == nullptr) throw std::bad_alloc();
    }
    if (element->m_bOwnsName) ZQ_Free(const_cast<char*>(element->m_pName));
    element->m_pName = copy;
    element->m_bOwnsName = copy != nullptr;
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
    if (element->m_bOwnsName) ZQ_Free(const_cast<char*>(element->m_pName));
    element->m_pName = nullptr;
    element->m_bOwnsName = false;
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
            CleanOldTilemapElementRuntimeData(e);
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
                // Merge: the elements join the end of the other layer, and
                // the instances on them now belong to it.
                while (CLayerElementBase* e = layer->m_elements.PopFront()) {
                    e->m_pLayer = at;
                    at->m_elements.PushBack(e);
                    CLayerInstanceElement* ie = AsInstance(e);
                    if (ie != nullptr && ie->m_pInstance != nullptr) ie->m_pInstance->m_layerID = at->m_id;
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

// ---------------------------------------------------------------------------
// Elements

int CLayerManager::AddNewElement(CRoom* room, CLayer* layer, CLayerElementBase* element,
                                 bool buildRuntimeData) {
    if (room == nullptr || layer == nullptr || element == nullptr) return -1;
    element->m_id = m_CurrentElementID++;
    AddElementToLayer(room, layer, element, false);
    if (buildRuntimeData) BuildElementRuntimeData(room, layer, element);
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

// The element leaves the maps, its run-time ties and its layer, and is back
// in its pool before an instance it held is destroyed: the Destroy event may
// do anything to the layer, which then no longer holds the element.
void CLayerManager::RemoveElement(CRoom* room, CLayer* layer, CLayerElementBase* element,
                                  bool destroyInstance) {
    if (layer == nullptr || element == nullptr) return;
    if (room != nullptr) {
        room->m_ElementLookup.Delete(element->m_id);
        if (room->m_pLastElementLookedUp == element) room->m_pLastElementLookedUp = nullptr;
    }
    CleanElementRuntimeData(element);
    int32_t doomed = -1;
    if (CLayerInstanceElement* ie = AsInstance(element)) {
        if (room != nullptr && ie->m_instanceID != -1 && HeldElement(room, ie->m_instanceID) == ie)
            room->m_InstanceElementLookup.Delete(ie->m_instanceID);
        if (destroyInstance && ie->m_instanceID != -14) doomed = ie->m_instanceID;
    }
    layer->m_elements.Unlink(element);
    ReleaseElement(element);
    if (doomed != -1) {
        CInstance* instance = CInstance::Find(doomed);
        if (instance != nullptr) DoDestroy(instance, true);
    }
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
    CLayerInstanceElement* ie = AsInstance(element);
    if (ie != nullptr && ie->m_pInstance != nullptr) {
        ie->m_pInstance->m_layerID = destination->m_id;
        ie->m_pInstance->m_onLayer = true;
    }
    destination->m_elements.PushFront(element);
    element->m_pLayer = destination;
    if (ie != nullptr && ie->m_pInstance != nullptr) UpdateInstanceActivation(room, ie->m_pInstance);
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
