// The layer manager: the pools of layers and elements, layer and element ids,
// and the operations that add, find, move and remove layers and elements in
// a room while keeping its depth-ordered list and its id maps consistent.
#pragma once

#include <cstdint>

#include "room/layer.h"

class CRoom;
class CInstance;

class CLayerManager {
public:
    // Fills the pools once (32 layers, 256 instance elements, 1024 tile
    // elements...); every call resets the tile-data mask. The pools also
    // fill themselves on first use, so data without layers works as well.
    static void Init();
    // Frees every pooled object; does nothing before Init.
    static void Close();
    static void SetLayerIndexWatermark(int id);

    static CLayerBackgroundElement* GetNewBackgroundElement();
    static CLayerInstanceElement* GetNewInstanceElement();
    static CLayerOldTilemapElement* GetNewOldTilemapElement();
    static CLayerSpriteElement* GetNewSpriteElement();
    static CLayerTilemapElement* GetNewTilemapElement();
    static CLayerParticleElement* GetNewParticleElement();
    static CLayerTileElement* GetNewTileElement();
    static CLayer* GetNewLayer();

    // Links the layer after every layer of equal or smaller depth and enters
    // it in the layer map.
    static void InsertLayerIntoActiveList(CRoom* room, CLayer* layer);

    // A new layer with the next run-time id: max(last run-time id,
    // watermark) + 1. A null room gets an unlinked layer.
    static CLayer* AddLayer(CRoom* room, int depth, const char* name);
    static CLayer* AddDynamicLayer(CRoom* room, int depth);
    // Removes the layer and its elements, destroying the instances on it.
    static void RemoveLayer(CRoom* room, int layerID, bool unused = false);
    // Moves a layer to a new depth: going back it lands after the layers of
    // that depth (merging into a dynamic one when both are dynamic and
    // `merge`), going forward in front of them.
    static void ChangeLayerDepth(CRoom* room, CLayer* layer, int depth, bool merge);
    static void ChangeLayerDepth(CRoom* room, int layerID, int depth, bool merge);

    static CLayer* GetLayerFromID(CRoom* room, int layerID);
    // The first layer whose name equals `name` ignoring ASCII case.
    static CLayer* GetLayerFromName(CRoom* room, const char* name);
    static int GetLayerDepth(CRoom* room, int layerID);
    static CLayer* GetLayerWithDepth(CRoom* room, int depth, bool dynamicOnly);
    static int GetNumLayersInRoom(CRoom* room);
    static CLayer* GetNthLayerInRoom(CRoom* room, int n);
    // The running room, or the template of the target room when one is set.
    static CRoom* GetTargetRoomObj();

    // Gives the element the next element id and links it at the front.
    static int AddNewElement(CRoom* room, CLayer* layer, CLayerElementBase* element, bool buildRuntimeData);
    static int AddNewElementAtDepth(CRoom* room, int depth, CLayerElementBase* element, bool buildRuntimeData,
                                    bool dynamicLayer);
    static void AddElementToLayer(CRoom* room, CLayer* layer, CLayerElementBase* element, bool atEnd);
    static void RemoveElement(CRoom* room, CLayer* layer, CLayerElementBase* element, bool destroyInstance);
    static void RemoveElement(CRoom* room, int elementID, bool removeEmptyDynamicLayer, bool destroyInstance);
    static void MoveElement(CRoom* room, CLayerElementBase* element, CLayer* destination);
    static CLayerElementBase* GetElementFromID(CRoom* room, int elementID, CLayer** layerOut = nullptr);
    static CLayerElementBase* GetElementFromID(CLayer* layer, int elementID);
    static CLayerElementBase* GetElementFromName(CRoom* room, const char* name, CLayer** layerOut = nullptr);
    static CLayerElementBase* GetElementFromName(CLayer* layer, const char* name);

    // Releases every layer of the room to the pools (instances are the
    // room's own business and are not destroyed).
    static void CleanRoomLayers(CRoom* room);

    // Replaces `dest`'s layers by copies of `source`'s: same layer and element
    // ids, none dynamic, elements linked at the front as they are copied.
    // Instance elements wait, unbuilt, for their instances.
    static void DuplicateRoomLayers(CRoom* dest, const CRoom* source);

    // At room start: ties instance elements to their instances, turns old
    // tilemaps into run-time tiles and places every instance on a layer.
    static void BuildRoomLayerRuntimeData(CRoom* room);
    // At room end: undoes the run-time ties.
    static void CleanRoomLayerRuntimeData(CRoom* room);

    // --- instances on layers
    // Puts the instance on layer `layerID` when the room has it, else on the
    // layer of an element waiting for it, else on the first dynamic layer at
    // its depth (truncated), else on a new one.
    static void AddInstance(CRoom* room, CInstance* instance, int layerID = -1);
    // Puts the instance on the layer; its depth becomes the layer's.
    static void AddInstanceToLayer(CRoom* room, CLayer* layer, CInstance* instance);
    // Takes the instance off its layer, releasing a dynamic layer left empty.
    static void RemoveInstanceFromLayer(CRoom* room, CInstance* instance);
    // Keeps the elements of deactivated instances after all others.
    static void UpdateInstanceActivation(CRoom* room, CInstance* instance);
    // Sets the instance's depth and moves it to a layer of that depth.
    static void ChangeInstanceDepth(CRoom* room, CInstance* instance, float depth);
    // The id of the layer that holds the instance, or -1.
    static int GetInstanceLayerID(CRoom* room, int instanceID);

    // Consistency checks.
    static bool ElementsHaveLoop(const LinkedList<CLayerElementBase>* list);
    static bool IsLayerListInOrder(const CRoom* room);

    static bool m_bInitialised;
    static int32_t m_CurrentElementID;
    static int32_t m_CurrentLayerID;
    static int32_t m_LayerIDWatermark;
    static uint32_t m_TiledataMask;
    static int32_t m_nTargetRoom;
    static bool m_ForceDepth;
    static int32_t m_ForcedDepth;
    static int32_t LayerPoolCount();
    static int32_t LayerPoolGrowth();

private:
    static void ReleaseLayer(CLayer* layer);
    static void ReleaseElement(CLayerElementBase* element);
};
