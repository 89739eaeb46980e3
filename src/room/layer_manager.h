// The layer manager: the pools of layers and elements, layer and element ids,
// and the operations that add, find, move and remove layers and elements in
// a room while keeping its depth-ordered list and its id maps consistent.
#pragma once

#include <cstddef>
#include <cstdint>

#include "room/layer.h"

class ImageReader;

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
    // Close, then the ids, watermark, mask, target room and forced depth back
    // to their start values (tests, and a fresh load). No room may hold
    // layers or elements from the pools then.
    static void Reset();
    static void SetLayerIndexWatermark(int id);

    static CLayerBackgroundElement* GetNewBackgroundElement();
    static CLayerInstanceElement* GetNewInstanceElement();
    static CLayerOldTilemapElement* GetNewOldTilemapElement();
    static CLayerSpriteElement* GetNewSpriteElement();
    static CLayerTilemapElement* GetNewTilemapElement();
    static CLayerParticleElement* GetNewParticleElement();
    static CLayerTileElement* GetNewTileElement();
    static CLayer* GetNewLayer();
    static CTileSlab* GetNewTileSlab();
    // Returns an unlinked slab to the front of the pool, count reset.
    static void ReturnTileSlab(CTileSlab* slab);
    // Gives the element an own copy of `name` (null clears it).
    static void SetElementName(CLayerElementBase* element, const char* name);

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

    // Builds a room template's layers from the layer list at `offset` of the
    // data image (0: none): every record, list, count and tilemap size is
    // checked first, and a damaged list throws GameDataError before anything
    // is built. Names and cells are copied out of the image. Within a layer
    // the elements stand in the reverse of the data order; layers go after
    // those of equal depth. Raises the layer-id watermark. `copyBudget`,
    // when given, bounds what is copied and is reduced by it. Returns the
    // number of layer records built.
    static int BuildRoomLayers(CRoom* room, const ImageReader& image, uint32_t offset,
                               size_t* copyBudget = nullptr);
    // An empty slab list (delete type 0) with (n + 31) / 32 slabs from the
    // pool; none for n <= 0.
    static LinkedList<CTileSlab> GetTilesFromPool(int tileCount);

    // Replaces `dest`'s layers by copies of `source`'s: same layer and element
    // ids, none dynamic, elements linked at the front as they are copied.
    // Instance elements wait, unbuilt, for their instances.
    static void DuplicateRoomLayers(CRoom* dest, const CRoom* source);

    // At room start (new-generation data only): ties instance elements to
    // their instances, turns old tilemaps into run-time tiles, places every
    // instance of the id table on a layer, makes the script instance and
    // moves the elements of deactivated instances behind the others.
    static void BuildRoomLayerRuntimeData(CRoom* room);
    // At room end: undoes the run-time ties of every element and destroys the
    // script instance.
    static void CleanRoomLayerRuntimeData(CRoom* room);
    // One element's run-time data, when all three are given and it is not
    // built yet; and the per-kind builders.
    static void BuildElementRuntimeData(CRoom* room, CLayer* layer, CLayerElementBase* element);
    static void BuildBackgroundElementRuntimeData(CRoom*, CLayer*, CLayerBackgroundElement* e);
    static void BuildInstanceElementRuntimeData(CRoom* room, CLayer* layer, CLayerInstanceElement* e);
    static void BuildOldTilemapElementRuntimeData(CRoom*, CLayer*, CLayerOldTilemapElement* e);
    static void BuildSpriteElementRuntimeData(CRoom*, CLayer*, CLayerSpriteElement* e);
    static void BuildTilemapElementRuntimeData(CRoom*, CLayer*, CLayerTilemapElement* e);
    static void BuildParticleElementRuntimeData(CRoom*, CLayer*, CLayerParticleElement* e);
    static void BuildTileElementRuntimeData(CRoom*, CLayer*, CLayerTileElement* e);
    static void CleanElementRuntimeData(CLayerElementBase* element);
    static void CleanBackgroundElementRuntimeData(CLayerBackgroundElement* e);
    static void CleanInstanceElementRuntimeData(CLayerInstanceElement* e);
    static void CleanOldTilemapElementRuntimeData(CLayerOldTilemapElement* e);
    static void CleanSpriteElementRuntimeData(CLayerSpriteElement* e);
    static void CleanTilemapElementRuntimeData(CLayerTilemapElement* e);
    static void CleanParticleElementRuntimeData(CLayerParticleElement* e);
    static void CleanTileElementRuntimeData(CLayerTileElement* e);
    // The run-time tile `i` of a built old tilemap, or null.
    static RTile* GetOldTilemapTile(CLayerOldTilemapElement* e, int i);

    // --- instances on layers
    // An instance is on a layer exactly when its on-layer flag is set; its
    // layer id then names the layer whose element holds it, and the room's
    // instance-element map holds that element under its id.
    //
    // Places an instance that is on no layer (new-generation data only): on
    // the layer its layer id names when the room has it, else on the layer
    // of an element of the room's data waiting for it, else on the first
    // dynamic layer of its depth (truncated), else on a new dynamic layer.
    static void AddInstance(CRoom* room, CInstance* instance);
    // The same with `layerID` stored as the instance's layer id first.
    static void AddInstance(CRoom* room, CInstance* instance, int layerID);
    // Puts an instance that is on no layer on `layer`; its depth becomes the
    // layer's. An element of the room's data waiting for the instance is
    // reused where it stands (the instance then belongs to that element's
    // layer); an instance whose element is already tied is refused with a
    // message.
    static void AddInstanceToLayer(CRoom* room, CLayer* layer, CInstance* instance);
    // Takes the instance off its layer (a layer no longer in the room: the
    // flags are just cleared), releasing a dynamic layer left empty.
    static void RemoveInstance(CRoom* room, CInstance* instance);
    static void RemoveInstanceFromLayer(CRoom* room, CInstance* instance) { RemoveInstance(room, instance); }
    // Takes the instance off `layer`, which must be its own (else a message
    // and no change).
    static void RemoveInstanceFromLayer(CRoom* room, CLayer* layer, CInstance* instance);
    // Removes the element holding an instance id from `layer`, whether or not
    // the instance exists; no instance's flags are touched.
    static void RemoveStorageInstanceFromLayer(CRoom* room, CLayer* layer, int instanceID);
    // Keeps the elements of deactivated instances after all others: a
    // deactivated instance's element goes to the end, an active one's to the
    // front (new-generation data only).
    static void UpdateInstanceActivation(CRoom* room, CInstance* instance);
    // Moves the instance to a layer of its (already changed) depth: a lone
    // instance of a dynamic layer moves its layer, others move to the dynamic
    // layer of the new depth.
    static void ChangeInstanceDepth(CRoom* room, CInstance* instance);
    // Stores the depth, then as above.
    static void ChangeInstanceDepth(CRoom* room, CInstance* instance, float depth);
    // Moves the elements of deactivated instances to the end; returns the layer.
    static CLayer* SortDeactivatedInstances(CLayer* layer);
    // The id of the layer whose element holds the instance id, or -1.
    static int GetLayerIDForInstance(CRoom* room, int instanceID);
    static int GetInstanceLayerID(CRoom* room, int instanceID) {
        return GetLayerIDForInstance(room, instanceID);
    }

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
    // Self of layer scripts; made by the run-time build, destroyed by cleaning.
    static CInstance* m_pScriptInstance;
    static int32_t LayerPoolCount();
    static int32_t LayerPoolGrowth();

private:
    static void ReleaseLayer(CLayer* layer);
    static void ReleaseElement(CLayerElementBase* element);
    // Unlinks an instance element from its layer, drops it from the maps and
    // pools it; the instance's flags are the caller's business.
    static void DiscardInstanceElement(CRoom* room, CLayer* layer, CLayerInstanceElement* element);
};
