// Rooms: the template built from a room record of the data file and the
// run-time copy made from it, with its settings, legacy background and view
// slots, stored instances and tiles, and the live instance lists in depth order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/hash_map.h"
#include "room/linked_list.h"

class CInstance;
class CCode;
class ImageReader;
class CLayer;
struct CLayerElementBase;
struct CLayerInstanceElement;

// One legacy background slot.
struct CBackVT {
    bool visible = false;
    bool foreground = false;
    int32_t index = -1;
    float x = 0.0f;
    float y = 0.0f;
    bool htiled = true;
    bool vtiled = true;
    float hspeed = 0.0f;
    float vspeed = 0.0f;
    float xscale = 1.0f;
    float yscale = 1.0f;
    uint32_t blend = 0xFFFFFF;
    float alpha = 1.0f;
};

// One view slot. A new slot has no surface and no camera; Clear() gives the
// defaults a room starts with.
struct CViewVT {
    bool visible = false;
    float xview = 0.0f, yview = 0.0f, wview = 640.0f, hview = 480.0f;
    int32_t xport = 0, yport = 0, wport = 640, hport = 480;
    float angle = 0.0f;
    int32_t hborder = 32, vborder = 32;
    int32_t hspeed = -1, vspeed = -1;
    int32_t follow = -1;
    int32_t surface = -1;
    int32_t camera = -1;

    void Clear();
};

// An instance the room creates on entry, as its record stores it. The two
// code fields hold code-entry indices, -1 for none.
struct RoomStoredInstance {
    int32_t x = 0;
    int32_t y = 0;
    int32_t object = -1;
    int32_t id = 0;
    int32_t code = -1;
    float xscale = 1.0f;
    float yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFF; // bits 0-23 blend 0xBBGGRR, 24-31 alpha
    float angle = 0.0f;
    int32_t preCreateCode = -1;
};

// A legacy tile as the room's record stores it.
struct RoomStoredTile {
    int32_t x = 0, y = 0;
    int32_t background = -1;
    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t depth = 0;
    int32_t id = 0;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t colour = 0xFFFFFFFF;
};

// A legacy tile of a running room.
struct RTile {
    float x = 0.0f, y = 0.0f;
    int32_t background = -1;
    int32_t left = 0, top = 0, width = 0, height = 0;
    float depth = 0.0f;
    int32_t id = 0;
    float xscale = 1.0f, yscale = 1.0f;
    uint32_t blend = 0xFFFFFF;
    float alpha = 1.0f;
    bool visible = true;
};

// What a room creates when it is entered: copied out of the data file when
// the template is loaded (the file's image need not outlive loading), or
// built by scripts for rooms made at run time. A template and its run-time
// copies share one; a duplicated room holds its own.
struct RoomStorage {
    int32_t speed = 30;
    bool hasInstanceList = false;
    bool hasTileList = false;
    std::vector<RoomStoredInstance> instances;
    std::vector<RoomStoredTile> tiles;
};

class CRoom {
public:
    // An empty room with default settings.
    CRoom();
    // Destroys every instance on both lists; see Clear().
    ~CRoom();
    CRoom(const CRoom&) = delete;
    CRoom& operator=(const CRoom&) = delete;

    // Resets the settings, slots and view flags to their defaults, destroys
    // the active and deactivated instances, frees the tiles and forgets the
    // stored record. The creation code, gravity and scale are kept.
    void Clear();

    // Fills a template from the room record at `record` (a cursor at the
    // record's start). Code ids of the stored instances are replaced in the
    // image by the code-entry indices made for them, so a record is loaded
    // once. Throws GameDataError for a damaged record, leaving the room cleared.
    // `copyBudget`, when given, bounds the bytes copied out of the image and
    // is reduced by what this room copies.
    void LoadFromChunk(ImageReader record, size_t* copyBudget = nullptr);

    // Gives the room its own empty stored record (speed 30).
    void CreateWADStorage();

    // Makes the room a copy of `source`: settings, slots, shared or (when the
    // room owns its storage) private stored record; with `createInstances`
    // the stored instances become live instances in record order and the
    // stored tiles run-time tiles. The source's live instances are copied
    // only when an instance copy is available (Room_CopyInstance).
    void Assign(const CRoom* source, bool createInstances);

    // Appends an instance to the stored record and returns its id, the next
    // room_maxid. Such an instance has no creation or pre-create code (-1).
    int AddInstanceToStorage(float x, float y, int object);
    // Appends a tile to the stored record and returns its id, the next
    // room_maxtileid.
    int AddTileToStorage(int background, int left, int top, int width, int height, int x, int y, int depth,
                         float xscale, float yscale, uint32_t colour);
    void ClearStorageTiles();
    // Empties the stored instance list (the room then creates no instances).
    void ClearStorageInstances();

    // Makes an instance of `object` at (x, y) with the next instance id
    // (room_maxid is raised by one and its new value used), puts it on a
    // layer (new-generation data: the layer of its layer id, else one of its
    // depth, which then becomes its depth), inserts it into the active list
    // after the last instance whose list depth is not greater than its own
    // depth (NaN: at the head; the list depth then becomes the depth), enters
    // it in the id table and its object type's lists, and files it in the
    // collision tree when fast collision is on.
    CInstance* AddInstance(float x, float y, int object);
    CInstance* AddInstance(float x, float y, int depth, int object);
    // Null for a null layer (no id is used); else on that layer, at its depth.
    CInstance* AddInstance(float x, float y, CLayer* layer, int object);
    // Links an existing instance: a layer, active list, id table, collision tree.
    void AddInstance(CInstance* instance);
    // Takes the instance off its layer and out of whichever list holds it,
    // and destroys it.
    void DeleteInstance(CInstance* instance);
    // Deletes every marked instance of the active list; with many marked
    // (kTreeRebuildCount or more since the last pass) and the collision tree
    // present, the tree is discarded first and built anew once afterwards
    // instead of being updated per instance. Resets the marked count.
    void RemoveMarked();
    static constexpr int kTreeRebuildCount = 251;
    // Moves instances whose deactivated flag changed between the two lists.
    void UpdateActive();
    // Takes an active instance out of the active list and inserts it again by
    // its current depth (after the others of equal depth). Nothing happens to
    // an instance this room's active list does not hold.
    void MoveToDepth(CInstance* instance);
    // Per step (new-generation data): layer scrolling and element animation
    // at the game clock's frame rate, or at `fps` frames per second.
    void UpdateLayers();
    void UpdateLayers(double fps);
    // Per step: legacy background scrolling (positions are not wrapped).
    void ScrollBackground();
    // Destroys every active instance, then every deactivated one.
    void ClearInstances();
    // At game end: the Clean Up event of every active persistent instance, in
    // list order up to the instance that was last when it began.
    void CleanPersistent();
    void ClearDeactiveInstances();

    // --- legacy tiles (indices are positions in m_tiles; a depth argument
    // matches tiles of equal depth, and a NaN argument matches every tile)
    // Appends a copy with the next tile id (room_maxtileid + 1), growing the
    // array by 10 records when full; returns its index.
    int AddTile(const RTile& tile);
    // The index of the tile with that id, or -1; the last hit is cached.
    int FindTile(int id);
    // Removes the tile at `index` keeping the order; nothing outside the array.
    void DeleteTile(int index);
    // Descending depth, stable; an array already in order costs one pass.
    void SortTiles();
    void HideTilesDepth(float depth);
    void ShowTilesDepth(float depth);
    void DeleteTilesDepth(float depth);
    void ShiftTilesDepth(float depth, float dx, float dy);
    // The tile of that depth whose area (half-open on the far edges) holds
    // the point and whose centre is nearest to it (ties: lower index), or -1.
    int FindTileAtDepth(float depth, float x, float y);
    void DeleteTilesAtDepth(float depth, float x, float y);
    void ChangeTilesDepth(float depth, float newDepth);
    void ClearTiles();
    int TileCount() const { return static_cast<int>(m_tiles.size()); }
    int TileCapacity() const { return static_cast<int>(m_tiles.capacity()); }

    // --- settings
    char* m_pCaption = nullptr; // owned
    int32_t m_speed = 30;
    int32_t m_width = 640;
    int32_t m_height = 480;
    bool m_persistent = false;
    int32_t m_colour = 0xC0C0C0;
    bool m_showColour = true;
    CBackVT m_backgrounds[8];
    bool m_enableViews = false;
    bool m_clearViewBackground = false;
    bool m_clearDisplay = true;
    CViewVT m_views[8];
    char* m_pCreationCodeText = nullptr; // owned
    CCode* m_pCreationCode = nullptr;    // shared, owned by neither template nor copy
    bool m_physicsWorld = false;
    int32_t m_physicsGravityX = 0;
    int32_t m_physicsGravityY = 0;
    float m_physicsPixToMeters = 0.1f;

    // --- live instances
    CInstance* m_pFirstActive = nullptr;
    CInstance* m_pLastActive = nullptr;
    int32_t m_activeCount = 0;
    // Changes whenever any room's active list is linked or unlinked, or a
    // room is made or destroyed: a position remembered in an active list is
    // still good while this has not moved.
    static uint32_t ms_activeListStamp;
    CInstance* m_pFirstDeactive = nullptr; // chained through the next links, ending with null
    CInstance* m_pLastDeactive = nullptr;
    int32_t m_deactiveCount = 0;
    // Ids of the instances the last Assign created, in creation order; the
    // room-start code runs their Create events in this order and clears it.
    std::vector<int32_t> m_newInstanceIds;

    // --- stored record and tiles
    std::shared_ptr<RoomStorage> m_pStorage; // null: nothing stored
    bool m_ownsStorage = false;              // set for duplicated rooms only
    std::vector<RTile> m_tiles;
    int32_t m_lastTile = -1; // tile lookup cache

    // --- layers, in non-decreasing depth order, with their id maps
    LinkedList<CLayer> m_Layers;
    CHashMap<int, CLayer*, 7> m_LayerLookup;
    CHashMap<int, CLayerElementBase*, 7> m_ElementLookup;
    CHashMap<int, CLayerInstanceElement*, 7> m_InstanceElementLookup; // by instance id
    CLayerElementBase* m_pLastElementLookedUp = nullptr;
    char* m_pName = nullptr; // owned

private:
    void InsertActive(CInstance* instance);
    void UnlinkActive(CInstance* instance);
    void UnlinkDeactive(CInstance* instance);
    void AppendDeactive(CInstance* instance);
    void Remove(CInstance* instance, bool active);
    // Links a new instance: active list, id table, collision tree.
    void Link(CInstance* instance);
    // Removes the tiles `match` accepts, keeping the order of the rest.
    template <typename Match>
    void RemoveTilesIf(Match match);
    void FreeStrings();
};

// The running room, null before the first room.
extern CRoom* Run_Room;
// The last instance id handed out.
extern int32_t room_maxid;
// The last legacy tile id handed out.
extern int32_t room_maxtileid;
