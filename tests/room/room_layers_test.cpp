// Room layers on writer-made data files: layers and elements in the order the
// data and the copy give them, element ids, tilemaps (damaged sizes refused),
// the run-time ties of instances to layers and their cleaning, old tilemaps in
// slabs; and the running room's Clean Up at game end and its collision tree
// around a mass removal.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "core/code.h"
#include "core/header_globals.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "room/room_services.h"
#include "room/room_table.h"
#include "room_chunk.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/instances/instance_tree.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"

namespace {

using Rooms = std::vector<std::optional<wad::RoomFields>>;

class RoomLayers : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        Room_Init();
        CLayerManager::m_CurrentLayerID = 0;
        CLayerManager::SetLayerIndexWatermark(0);
        g_isNimbar = true;
    }
    void TearDown() override {
        Run_Room = nullptr;
        m_run.reset();
        CLayerManager::CleanRoomLayerRuntimeData(nullptr);
        Room_Free();
        Code_FreeEntries();
        g_isNimbar = false;
    }

    bool Load(const Rooms& rooms) {
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.roomOrder = {0};
        wad::WriteHeader(w, header);
        wad::WriteRooms(w, rooms);
        m_image = w.Build();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }

    // The running copy of room 0 with its stored instances.
    CRoom* Enter() {
        m_run = std::make_unique<CRoom>();
        m_run->Assign(Room_Data(0), true);
        Run_Room = m_run.get();
        return m_run.get();
    }

    std::vector<uint8_t> m_image;
    std::unique_ptr<CRoom> m_run;
};

std::vector<int> LayerIds(CRoom* room) {
    std::vector<int> ids;
    for (CLayer* l = room->m_Layers.m_pFirst; l != nullptr; l = l->m_pNext) ids.push_back(l->m_id);
    return ids;
}

std::vector<int> ElementIds(CLayer* layer) {
    std::vector<int> ids;
    for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr; e = e->m_pNext)
        ids.push_back(e->m_id);
    return ids;
}

wad::RoomTileFields Tile(int x, int background) {
    wad::RoomTileFields t;
    t.x = x;
    t.background = background;
    t.depth = 777; // ignored on layers
    t.colour = 0x80102030;
    return t;
}

wad::RoomLayerFields Layer(int id, int type, int depth, const char* name = nullptr) {
    wad::RoomLayerFields l;
    if (name != nullptr) l.name = std::string(name);
    l.id = id;
    l.type = type;
    l.depth = depth;
    return l;
}

// Five layer records of every type: their order by depth (equal depths in
// data order), elements reversed in the template and back in data order in
// the running room, with the same element ids.
wad::RoomFields LayeredRoom() {
    wad::RoomFields room;
    room.flags = 0x00020000;
    wad::RoomLayerFields assets = Layer(5, 3, 100, "Assets");
    assets.hspeed = 1.5f;
    assets.tiles = std::vector<wad::RoomTileFields>{Tile(10, 1), Tile(20, 2)};
    wad::RoomLayerSpriteFields sprite;
    sprite.name = std::string("Star");
    sprite.sprite = 3;
    sprite.x = -4;
    sprite.angle = 45.0f;
    sprite.colour = 0xFF0000FF;
    assets.sprites = std::vector<wad::RoomLayerSpriteFields>{sprite};
    wad::RoomLayerFields instances = Layer(12, 2, 0, "Instances");
    instances.instances = {100001, 100002, 424242};
    wad::RoomLayerFields back = Layer(7, 1, 100, "Back");
    back.bgSprite = 9;
    back.bgHtiled = 1;
    back.bgColour = 0x33445566;
    back.bgImageSpeed = 2.0f;
    wad::RoomLayerFields tilemap = Layer(8, 4, 50, "Map");
    tilemap.tileset = 4;
    tilemap.mapWidth = 3;
    tilemap.mapHeight = 2;
    tilemap.cells = {1, 2, 3, 0x10000004, 5, 6};
    wad::RoomLayerFields odd = Layer(9, 42, -10);
    room.layers = std::vector<wad::RoomLayerFields>{assets, instances, back, tilemap, odd};
    wad::RoomInstanceFields a, b;
    a.id = 100001;
    a.object = 0;
    b.id = 100002;
    b.object = 0;
    room.instances = std::vector<wad::RoomInstanceFields>{a, b};
    return room;
}

TEST_F(RoomLayers, TemplateAndRunningRoomOrder) {
    const int firstElement = CLayerManager::m_CurrentElementID;
    ASSERT_TRUE(Load({LayeredRoom()})) << GameData_LastError();
    CRoom* tpl = Room_Data(0);
    ASSERT_NE(tpl, nullptr);
    EXPECT_EQ(LayerIds(tpl), (std::vector<int>{9, 12, 8, 5, 7}));
    EXPECT_EQ(CLayerManager::m_LayerIDWatermark, 12);
    // Element ids in data order: tiles, then sprites; each went to the front.
    const int tileA = firstElement, tileB = firstElement + 1, star = firstElement + 2;
    CLayer* assets = CLayerManager::GetLayerFromID(tpl, 5);
    EXPECT_EQ(ElementIds(assets), (std::vector<int>{star, tileB, tileA}));
    EXPECT_EQ(ElementIds(CLayerManager::GetLayerFromID(tpl, 12)),
              (std::vector<int>{firstElement + 5, firstElement + 4, firstElement + 3}));
    EXPECT_EQ(CLayerManager::GetLayerFromID(tpl, 9)->m_elements.m_Count, 0);
    EXPECT_STREQ(assets->m_pName, "Assets");
    EXPECT_EQ(assets->m_hspeed, 1.5f);

    auto* a = static_cast<CLayerTileElement*>(CLayerManager::GetElementFromID(tpl, tileA));
    EXPECT_TRUE(a->m_visible);
    EXPECT_EQ(a->m_x, 10.0f);
    EXPECT_EQ(a->m_background, 1);
    EXPECT_EQ(a->m_blend, 0x102030);
    EXPECT_FLOAT_EQ(a->m_alpha, 128.0f / 255.0f);
    auto* s = static_cast<CLayerSpriteElement*>(CLayerManager::GetElementFromName(tpl, "star"));
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->m_id, star);
    EXPECT_EQ(s->m_sprite, 3);
    EXPECT_EQ(s->m_x, -4.0f);
    EXPECT_EQ(s->m_angle, 45.0f);
    EXPECT_EQ(s->m_alpha, 1.0f);
    auto* b =
        static_cast<CLayerBackgroundElement*>(CLayerManager::GetLayerFromID(tpl, 7)->m_elements.m_pFirst);
    ASSERT_EQ(b->m_type, eLayerElementType_Background);
    EXPECT_STREQ(b->m_pName, "Back");
    EXPECT_EQ(b->m_pBackground->index, 9);
    EXPECT_TRUE(b->m_pBackground->htiled);
    EXPECT_EQ(b->m_pBackground->blend, 0x445566);
    EXPECT_EQ(b->m_pBackground->xscale, 1.0f);
    EXPECT_EQ(b->m_pBackground->imageSpeed, 2.0f);
    auto* map =
        static_cast<CLayerTilemapElement*>(CLayerManager::GetLayerFromID(tpl, 8)->m_elements.m_pFirst);
    ASSERT_EQ(map->m_type, eLayerElementType_Tilemap);
    EXPECT_EQ(map->m_tileset, 4);
    EXPECT_EQ(map->m_width, 3);
    EXPECT_EQ(map->m_mask, 0x7FFFFFFFu);
    EXPECT_EQ(map->m_pCells[3], 0x10000004u);

    // A run-time layer gets an id above every id of the data.
    CRoom scratch;
    EXPECT_EQ(CLayerManager::AddLayer(&scratch, 0, nullptr)->m_id, 13);

    CRoom* run = Enter();
    EXPECT_EQ(LayerIds(run), (std::vector<int>{9, 12, 8, 5, 7}));
    EXPECT_EQ(ElementIds(CLayerManager::GetLayerFromID(run, 5)), (std::vector<int>{tileA, tileB, star}));
    auto* runMap = static_cast<CLayerTilemapElement*>(CLayerManager::GetElementFromID(run, map->m_id));
    ASSERT_NE(runMap, nullptr);
    runMap->m_pCells[0] = 99;
    EXPECT_EQ(map->m_pCells[0], 1u) << "the copy owns its cells";
    EXPECT_STREQ(CLayerManager::GetElementFromID(run, star)->m_pName, "Star");
}

TEST_F(RoomLayers, RunTimeDataTiesInstancesAndIsCleaned) {
    ASSERT_TRUE(Load({LayeredRoom()})) << GameData_LastError();
    CRoom* run = Enter();
    CInstance* a = CInstance::Find(100001);
    CInstance* b = CInstance::Find(100002);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    // Stored instances join the layer that lists them, at its depth.
    EXPECT_TRUE(a->m_onLayer);
    EXPECT_EQ(a->m_layerID, 12);
    EXPECT_EQ(a->i_depth, 0.0f);
    // An instance made by a script before the build goes on a dynamic layer.
    CInstance* loose = new CInstance(0, 0, 555555, -1, true);
    loose->i_depth = 30.0f;
    CInstance::ID2Instance().Insert(555555, loose);
    b->i_deactivated = true;

    CLayerManager::BuildRoomLayerRuntimeData(run);
    CLayer* layer = CLayerManager::GetLayerFromID(run, 12);
    auto* waiting = static_cast<CLayerInstanceElement*>(run->m_InstanceElementLookup.Find(424242)[0]);
    EXPECT_FALSE(waiting->m_bRuntimeDataInitialised) << "no instance with that id";
    EXPECT_EQ(waiting->m_pInstance, nullptr);
    // The deactivated instance's element stands last.
    EXPECT_EQ(static_cast<CLayerInstanceElement*>(layer->m_elements.m_pLast)->m_pInstance, b);
    EXPECT_TRUE(loose->m_onLayer);
    CLayer* dynamic = CLayerManager::GetLayerFromID(run, loose->m_layerID);
    ASSERT_NE(dynamic, nullptr);
    EXPECT_TRUE(dynamic->m_dynamic);
    EXPECT_EQ(dynamic->m_depth, 30);
    ASSERT_NE(CLayerManager::m_pScriptInstance, nullptr);
    for (CLayer* l = run->m_Layers.m_pFirst; l != nullptr; l = l->m_pNext)
        for (CLayerElementBase* e = l->m_elements.m_pFirst; e != nullptr; e = e->m_pNext)
            EXPECT_EQ(e->m_bRuntimeDataInitialised, e != waiting);

    CLayerManager::CleanRoomLayerRuntimeData(run);
    EXPECT_FALSE(a->m_onLayer);
    EXPECT_EQ(a->m_layerID, -1);
    EXPECT_FALSE(loose->m_onLayer);
    EXPECT_EQ(CLayerManager::m_pScriptInstance, nullptr);
    for (CLayer* l = run->m_Layers.m_pFirst; l != nullptr; l = l->m_pNext)
        for (CLayerElementBase* e = l->m_elements.m_pFirst; e != nullptr; e = e->m_pNext)
            EXPECT_FALSE(e->m_bRuntimeDataInitialised);
    delete loose;
}

TEST_F(RoomLayers, RoomsWithoutALayerList) {
    wad::RoomFields none;
    none.flags = 0x00020000; // a layer list, but none at offset 88
    wad::RoomFields empty;
    empty.flags = 0x00020000;
    empty.layers.emplace();
    wad::RoomFields old = LayeredRoom();
    old.flags = 0x00010000; // format 1: the word at 88 is not read
    wad::RoomFields negative = LayeredRoom();
    negative.flags = 0x80020000; // a negative format
    ASSERT_TRUE(Load({none, empty, old, negative})) << GameData_LastError();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(CLayerManager::GetNumLayersInRoom(Room_Data(i)), 0) << i;
    EXPECT_EQ(CLayerManager::m_LayerIDWatermark, 0);
    // Old-generation data puts no instance on a layer.
    g_isNimbar = false;
    CRoom* run = Enter();
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(run), 0);
    run->AddInstance(0, 0, 5, -1);
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(run), 0);
}

// Damaged layer records are refused before anything is built; the table
// keeps what it had.
TEST_F(RoomLayers, DamagedLayerListsAreRefused) {
    struct Case {
        const char* what;
        int width, height;
        size_t cells;
    };
    const Case cases[] = {{"negative width", -1, 2, 0},
                          {"negative height", 2, -3, 0},
                          {"product overflows 32 bits", 65536, 65536, 0},
                          {"product overflows 64-bit bytes", 0x7FFFFFFF, 0x7FFFFFFF, 4},
                          {"cells past the end", 100, 100, 10}};
    CLayerManager::Init();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        wad::RoomFields room;
        room.flags = 0x00020000;
        wad::RoomLayerFields map = Layer(3, 4, 0);
        map.mapWidth = c.width;
        map.mapHeight = c.height;
        map.cells.assign(c.cells, 1u);
        room.layers = std::vector<wad::RoomLayerFields>{Layer(1, 2, 0), map};
        const int32_t pooled = CLayerManager::LayerPoolCount();
        EXPECT_FALSE(Load({room}));
        EXPECT_NE(std::string(GameData_LastError()).find("ROOM"), std::string::npos) << GameData_LastError();
        EXPECT_EQ(Room_Number(), 0);
        EXPECT_EQ(CLayerManager::LayerPoolCount(), pooled);
    }
    // An instance count beyond the data and a layer offset outside the file.
    wad::RoomFields room;
    room.flags = 0x00020000;
    room.layers = std::vector<wad::RoomLayerFields>{Layer(1, 2, 0)};
    ASSERT_TRUE(Load({room}));
    ASSERT_EQ(Room_Number(), 1);
    // Patch the layer record's instance count (word 9 of the record).
    const CLayer* built = Room_Data(0)->m_Layers.m_pFirst;
    ASSERT_NE(built, nullptr);
    std::vector<uint8_t> image = m_image;
    uint32_t recordAt = 0;
    for (size_t at = 0; at + 40 <= image.size(); at += 4) {
        int32_t words[10];
        std::memcpy(words, image.data() + at, sizeof words);
        if (words[0] == 0 && words[1] == 1 && words[2] == 2 && words[3] == 0 && words[8] == 1 &&
            words[9] == 0) {
            recordAt = static_cast<uint32_t>(at);
            break;
        }
    }
    ASSERT_NE(recordAt, 0u);
    Room_Free();
    const uint32_t huge = 0x40000000;
    std::memcpy(image.data() + recordAt + 36, &huge, 4);
    EXPECT_FALSE(GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size()));
    EXPECT_EQ(Room_Number(), 0);
}

TEST_F(RoomLayers, OldTilemapsLiveInSlabs) {
    EXPECT_EQ(CLayerManager::GetTilesFromPool(0).m_Count, 0);
    EXPECT_EQ(CLayerManager::GetTilesFromPool(-5).m_Count, 0);
    CRoom room;
    CLayer* layer = CLayerManager::AddLayer(&room, 0, "Old");
    CLayerOldTilemapElement* old = CLayerManager::GetNewOldTilemapElement();
    old->m_pTiles = COldTileBlock::Allocate(33);
    ASSERT_NE(old->m_pTiles, nullptr);
    for (int32_t i = 0; i < 33; ++i) {
        uint8_t* r = COldTileBlock::Record(old->m_pTiles, i);
        const int32_t x = i * 16, depth = 1000 + i;
        std::memcpy(r, &x, 4);
        std::memcpy(r + 28, &depth, 4);
        const uint32_t colour = 0xFF00FF00;
        std::memcpy(r + 44, &colour, 4);
    }
    CLayerManager::AddNewElement(&room, layer, old, true);
    EXPECT_TRUE(old->m_bRuntimeDataInitialised);
    EXPECT_EQ(old->m_numTiles, 33);
    ASSERT_EQ(old->m_slabs.m_Count, 2);
    EXPECT_EQ(old->m_slabs.m_pFirst->count, 32);
    EXPECT_EQ(old->m_slabs.m_pLast->count, 1);
    RTile* last = CLayerManager::GetOldTilemapTile(old, 32);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->x, 512.0f);
    EXPECT_EQ(last->depth, 1032.0f);
    EXPECT_EQ(last->blend, 0x00FF00u);
    EXPECT_EQ(CLayerManager::GetOldTilemapTile(old, 33), nullptr);

    CRoom copy;
    copy.Assign(&room, false);
    auto* copied = static_cast<CLayerOldTilemapElement*>(CLayerManager::GetElementFromID(&copy, old->m_id));
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied->m_pTiles, old->m_pTiles);
    EXPECT_EQ(COldTileBlock::Count(copied->m_pTiles), 33);
    EXPECT_EQ(copied->m_slabs.m_Count, 2);
    EXPECT_EQ(copied->m_numTiles, 33);
    EXPECT_EQ(CLayerManager::GetOldTilemapTile(copied, 32)->x, 512.0f);

    CLayerManager::CleanRoomLayerRuntimeData(&room);
    EXPECT_EQ(old->m_slabs.m_Count, 0);
    EXPECT_FALSE(old->m_bRuntimeDataInitialised);
}

// Dynamic layers copied into a running room are no longer dynamic, and the
// copy made of a run-time layer of a template keeps its name.
TEST_F(RoomLayers, DuplicationDropsTheDynamicFlag) {
    CRoom tpl;
    CLayer* dyn = CLayerManager::AddDynamicLayer(&tpl, 3);
    CLayerParticleElement* p = CLayerManager::GetNewParticleElement();
    p->m_systemID = 6;
    CLayerManager::AddNewElement(&tpl, dyn, p, false);
    CLayerManager::SetElementName(p, "Sparks");
    CRoom run;
    run.Assign(&tpl, false);
    CLayer* copy = CLayerManager::GetLayerFromID(&run, dyn->m_id);
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(copy->m_dynamic);
    auto* q = static_cast<CLayerParticleElement*>(CLayerManager::GetElementFromName(&run, "sparks"));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->m_systemID, 6);
    EXPECT_NE(q->m_pName, p->m_pName);
}

// ---------------------------------------------------------------------------
// Clean Up at game end and the collision tree

std::vector<int> g_cleaned;
void RecordCleanUp(CInstance* self, CInstance*) {
    g_cleaned.push_back(self->i_id);
}
const SCompiledFunction kCleanUp = {"clean_up", nullptr, RecordCleanUp};

class RunningRoom : public ::testing::Test {
protected:
    void SetUp() override {
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
        room_maxid = 0;
        g_cleaned.clear();
    }
    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        FINALIZE_InstanceTree();
        Room_ClearMarkedCount();
        option_use_fast_collision = false;
        Object_Init();
        g_isNimbar = false;
    }
    std::unique_ptr<CRoom> m_room;
};

TEST_F(RunningRoom, CleanPersistentRunsCleanUpOfPersistentInstancesInListOrder) {
    const int object = Object_Add();
    CEvent* event = Object_Data(object)->ZQCreateEvent(EVENT_CLEANUP, 0);
    ASSERT_NE(event, nullptr);
    event->m_pCode = new CCode(-1, false);
    event->m_pCode->m_pFunc = &kCleanUp;
    event->m_defined = true;
    CInstance* a = m_room->AddInstance(0, 0, 30, object);
    CInstance* b = m_room->AddInstance(0, 0, 10, object);
    CInstance* c = m_room->AddInstance(0, 0, 20, object);
    m_room->AddInstance(0, 0, 5, object);
    for (CInstance* i : {a, b, c}) i->i_persistent = true;
    m_room->CleanPersistent();
    EXPECT_EQ(g_cleaned, (std::vector<int>{b->i_id, c->i_id, a->i_id}));

    // With new-generation data the room's end cleans up the others.
    g_isNimbar = true;
    g_cleaned.clear();
    b->i_persistent = false;
    c->i_marked = true;
    m_room.reset();
    EXPECT_EQ(g_cleaned, (std::vector<int>{4, 2}));
}

// A mass removal discards the tree and files the survivors in a new one; a
// smaller one keeps the tree.
TEST_F(RunningRoom, MarkedRemovalRebuildsTheTreeFromTheCount) {
    option_use_fast_collision = true;
    const int object = Object_Add();
    std::vector<CInstance*> all;
    for (int i = 0; i < 260; ++i) all.push_back(m_room->AddInstance(static_cast<float>(i), 0, object));
    ASSERT_NE(g_tree, nullptr);
    EXPECT_TRUE(Room_CollisionTreeExists());
    CInstanceTree* before = g_tree;
    for (int i = 0; i < 250; ++i) DoDestroy(all[i], true);
    DoDestroy(all[0], true); // counted once
    EXPECT_EQ(Room_MarkedCount(), 250);
    m_room->RemoveMarked();
    EXPECT_EQ(g_tree, before);
    EXPECT_EQ(Room_MarkedCount(), 0);
    EXPECT_EQ(m_room->m_activeCount, 10);

    for (int i = 0; i < 251; ++i) m_room->AddInstance(static_cast<float>(i), 0, object);
    for (CInstance* i = m_room->m_pFirstActive; i != nullptr; i = i->m_pNext)
        if (Room_MarkedCount() < 251) DoDestroy(i, true);
    m_room->RemoveMarked();
    ASSERT_NE(g_tree, nullptr);
    EXPECT_EQ(m_room->m_activeCount, 10);
    // Every survivor is in the new tree.
    int found = 0;
    for (CInstance* i = m_room->m_pFirstActive; i != nullptr; i = i->m_pNext) {
        if (i->m_bboxDirty) i->Compute_BoundingBox(true);
        const CInstanceTree::Rect r = InstanceTreeRect(i->i_bbox);
        CInstance* self = i;
        bool seen = false;
        struct Look {
            CInstance* self;
            bool* seen;
        } look{self, &seen};
        int count = 0;
        CInstanceTree::Search(
            g_tree->m_root, &r, &count,
            [](CInstance* hit, void* context) {
                auto* l = static_cast<Look*>(context);
                if (hit == l->self) *l->seen = true;
                return true;
            },
            &look);
        found += seen ? 1 : 0;
    }
    EXPECT_EQ(found, 10);
}

} // namespace
