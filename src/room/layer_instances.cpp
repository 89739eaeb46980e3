// Instances on layers: placing an instance on the layer its id, its room's
// data or its depth gives, taking it off again (releasing dynamic layers left
// empty), keeping deactivated instances behind the live ones inside a layer,
// and moving instances between layers when their depth changes.
#include "core/console.h"
#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "world/instances/instance.h"

namespace {

CLayerInstanceElement* HeldElement(CRoom* room, int instanceID) {
    CLayerInstanceElement** held = room->m_InstanceElementLookup.Find(instanceID);
    return held != nullptr ? *held : nullptr;
}

void ClearLayerTie(CInstance* instance) {
    instance->m_onLayer = false;
    instance->m_layerID = -1;
}

// The first dynamic layer of the instance's depth (truncated toward zero), or
// a new one: instances are never put by depth on a layer of the room's data
// or one a script made.
CLayer* DepthLayer(CRoom* room, CInstance* instance) {
    const int depth = RealToInt32(instance->i_depth);
    CLayer* layer = CLayerManager::GetLayerWithDepth(room, depth, true);
    return layer != nullptr ? layer : CLayerManager::AddDynamicLayer(room, depth);
}

// The placement of AddInstance, whatever the data's generation.
void Place(CRoom* room, CInstance* instance) {
    CLayer* layer =
        instance->m_layerID != -1 ? CLayerManager::GetLayerFromID(room, instance->m_layerID) : nullptr;
    if (layer == nullptr) {
        CLayerInstanceElement* waiting = HeldElement(room, instance->i_id);
        if (waiting != nullptr && waiting->m_pInstance == nullptr) layer = waiting->m_pLayer;
    }
    if (layer == nullptr) layer = DepthLayer(room, instance);
    CLayerManager::AddInstanceToLayer(room, layer, instance);
}

} // namespace

void CLayerManager::AddInstance(CRoom* room, CInstance* instance) {
    if (!g_isNimbar || room == nullptr || instance == nullptr || instance->m_onLayer) return;
    Place(room, instance);
}

void CLayerManager::AddInstance(CRoom* room, CInstance* instance, int layerID) {
    if (room == nullptr || instance == nullptr || instance->m_onLayer) return;
    instance->m_layerID = layerID;
    AddInstance(room, instance);
}

// An element of the room's data waiting for the instance keeps its place
// (data placement wins over the layer asked for); the instance's layer id and
// depth follow the layer that really holds it, so the tie never names a
// layer without the element.
void CLayerManager::AddInstanceToLayer(CRoom* room, CLayer* layer, CInstance* instance) {
    if (room == nullptr || layer == nullptr || instance == nullptr || instance->m_onLayer ||
        instance->i_id == -1)
        return;
    CLayerInstanceElement* element = HeldElement(room, instance->i_id);
    if (element != nullptr && element->m_pInstance != nullptr) {
        dbg_csol->Output("Attempting to add instance %d multiple times to a layer\n", instance->i_id);
        return;
    }
    if (element != nullptr && element->m_pLayer != nullptr) {
        CLayer* owner = element->m_pLayer;
        element->m_pInstance = instance;
        element->m_bRuntimeDataInitialised = true;
        instance->m_layerID = owner->m_id;
        instance->m_onLayer = true;
        instance->i_depth = static_cast<float>(owner->m_depth);
        if (instance->i_deactivated) UpdateInstanceActivation(room, instance);
        return;
    }
    if (element != nullptr) room->m_InstanceElementLookup.Delete(instance->i_id); // an orphan entry
    element = GetNewInstanceElement();
    element->m_id = m_CurrentElementID++;
    element->m_instanceID = instance->i_id;
    element->m_pInstance = instance;
    element->m_bRuntimeDataInitialised = true;
    instance->m_layerID = layer->m_id;
    instance->m_onLayer = true;
    instance->i_depth = static_cast<float>(layer->m_depth);
    AddElementToLayer(room, layer, element, instance->i_deactivated);
}

void CLayerManager::DiscardInstanceElement(CRoom* room, CLayer* layer, CLayerInstanceElement* element) {
    room->m_ElementLookup.Delete(element->m_id);
    if (HeldElement(room, element->m_instanceID) == element)
        room->m_InstanceElementLookup.Delete(element->m_instanceID);
    if (room->m_pLastElementLookedUp == element) room->m_pLastElementLookedUp = nullptr;
    layer->m_elements.Unlink(element);
    ReleaseElement(element);
}

void CLayerManager::RemoveInstance(CRoom* room, CInstance* instance) {
    if (instance == nullptr || !instance->m_onLayer) return;
    CLayer* layer = GetLayerFromID(room, instance->m_layerID);
    if (layer != nullptr)
        RemoveInstanceFromLayer(room, layer, instance);
    else
        ClearLayerTie(instance);
}

void CLayerManager::RemoveInstanceFromLayer(CRoom* room, CLayer* layer, CInstance* instance) {
    if (room == nullptr || layer == nullptr || instance == nullptr || !instance->m_onLayer) return;
    CLayerInstanceElement* element = HeldElement(room, instance->i_id);
    if (element == nullptr || element->m_pLayer == nullptr) return;
    if (element->m_pLayer != layer) {
        dbg_csol->Output("Layer system integrity compromised, instance %d not on layer %d\n", instance->i_id,
                         layer->m_id);
        return;
    }
    DiscardInstanceElement(room, layer, element);
    ClearLayerTie(instance);
    if (layer->m_dynamic && layer->m_elements.m_Count == 0) RemoveLayer(room, layer->m_id);
}

void CLayerManager::RemoveStorageInstanceFromLayer(CRoom* room, CLayer* layer, int instanceID) {
    if (room == nullptr || layer == nullptr || instanceID == -1) return;
    CLayerInstanceElement* element = HeldElement(room, instanceID);
    if (element == nullptr || element->m_pLayer == nullptr) return;
    if (element->m_pLayer != layer) {
        dbg_csol->Output("Layer system integrity compromised, instance %d not on layer %d\n", instanceID,
                         layer->m_id);
        return;
    }
    DiscardInstanceElement(room, layer, element);
    if (layer->m_dynamic && layer->m_elements.m_Count == 0) RemoveLayer(room, layer->m_id);
}

// Drawing and the layer update stop at the first deactivated instance of a
// layer, so those elements must stand after every live one.
void CLayerManager::UpdateInstanceActivation(CRoom* room, CInstance* instance) {
    if (room == nullptr || instance == nullptr || !instance->m_onLayer) return;
    if (GetLayerFromID(room, instance->m_layerID) == nullptr) return;
    CLayerInstanceElement* element = HeldElement(room, instance->i_id);
    if (element == nullptr || element->m_pLayer == nullptr) return;
    LinkedList<CLayerElementBase>& list = element->m_pLayer->m_elements;
    list.Unlink(element);
    if (instance->i_deactivated)
        list.PushBack(element);
    else
        list.PushFront(element);
}

// A lone instance of a dynamic layer takes its layer along (merging into a
// dynamic layer of the new depth only when moving back); otherwise it moves
// to the first dynamic layer of the new depth, made when needed.
void CLayerManager::ChangeInstanceDepth(CRoom* room, CInstance* instance) {
    if (room == nullptr || instance == nullptr || !instance->m_onLayer) return;
    CLayer* layer = GetLayerFromID(room, instance->m_layerID);
    if (layer == nullptr) return;
    const int depth = RealToInt32(instance->i_depth);
    if (layer->m_depth == depth) return;
    if (layer->m_dynamic && layer->m_elements.m_Count == 1) {
        if (layer->m_elements.m_pFirst == HeldElement(room, instance->i_id))
            ChangeLayerDepth(room, layer, depth, true);
        return;
    }
    RemoveInstanceFromLayer(room, layer, instance);
    if (instance->m_onLayer) return; // the tie was not this room's to undo
    instance->m_layerID = -1;
    Place(room, instance);
}

void CLayerManager::ChangeInstanceDepth(CRoom* room, CInstance* instance, float depth) {
    if (instance == nullptr) return;
    instance->i_depth = depth;
    ChangeInstanceDepth(room, instance);
}

CLayer* CLayerManager::SortDeactivatedInstances(CLayer* layer) {
    if (layer == nullptr) return nullptr;
    CLayerElementBase* e = layer->m_elements.m_pLast;
    while (e != nullptr) {
        CLayerElementBase* previous = e->m_pPrev;
        if (e->m_type == eLayerElementType_Instance) {
            CInstance* instance = static_cast<CLayerInstanceElement*>(e)->m_pInstance;
            if (instance != nullptr && instance->i_deactivated && e != layer->m_elements.m_pLast) {
                layer->m_elements.Unlink(e);
                layer->m_elements.PushBack(e);
            }
        }
        e = previous;
    }
    return layer;
}

int CLayerManager::GetLayerIDForInstance(CRoom* room, int instanceID) {
    if (room == nullptr) return -1;
    CLayerInstanceElement* element = HeldElement(room, instanceID);
    return element != nullptr && element->m_pLayer != nullptr ? element->m_pLayer->m_id : -1;
}
