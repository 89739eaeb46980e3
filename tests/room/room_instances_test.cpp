// A running room's instance lists: insertion by depth (equal depths in
// order, NaN at the head), creation on layers, removal of marked instances,
// activation changes, and the per-step layer and background updates.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "core/header_globals.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

// Instances stand on layers with new-generation data.
class RoomInstances : public ::testing::Test {
protected:
    void SetUp() override { g_isNimbar = true; }
    void TearDown() override { g_isNimbar = false; }
};

std::vector<int> Active(const CRoom& room) {
    std::vector<int> ids;
    for (CInstance* i = room.m_pFirstActive; i != nullptr; i = i->m_pNext) ids.push_back(i->i_id);
    return ids;
}
std::vector<int> Deactive(const CRoom& room) {
    std::vector<int> ids;
    for (CInstance* i = room.m_pFirstDeactive; i != nullptr; i = i->m_pNext) ids.push_back(i->i_id);
    return ids;
}

TEST_F(RoomInstances, DepthOrderKeepsInsertionOrderAndPutsNaNFirst) {
    CRoom room;
    room_maxid = 1000;
    for (int depth : {5, 5, 3, 7, 5}) room.AddInstance(0, 0, depth, -1);
    EXPECT_EQ(Active(room), (std::vector<int>{1003, 1001, 1002, 1005, 1004}));
    EXPECT_EQ(room.m_activeCount, 5);

    auto* nan = new CInstance(0, 0, 2000, -1, true);
    nan->i_depth = std::numeric_limits<float>::quiet_NaN();
    room.AddInstance(nan);
    EXPECT_EQ(room.m_pFirstActive, nan);
    EXPECT_EQ(CInstance::Find(2000), nan);
    // Every instance also stands on a layer of its depth.
    EXPECT_NE(CLayerManager::GetInstanceLayerID(&room, 1003), -1);
    EXPECT_TRUE(CLayerManager::IsLayerListInOrder(&room));
}

TEST_F(RoomInstances, CreationOnALayer) {
    CRoom room;
    room_maxid = 500;
    EXPECT_EQ(room.AddInstance(0, 0, static_cast<CLayer*>(nullptr), -1), nullptr);
    EXPECT_EQ(room_maxid, 500);
    CLayer* layer = CLayerManager::AddLayer(&room, 40, "Things");
    CInstance* i = room.AddInstance(1, 2, layer, -1);
    ASSERT_NE(i, nullptr);
    EXPECT_EQ(i->i_id, 501);
    EXPECT_EQ(i->i_depth, 40.0f);
    EXPECT_EQ(CLayerManager::GetInstanceLayerID(&room, 501), layer->m_id);
}

// Marked instances leave the active list, their layers and the id table; a
// dynamic layer they leave empty is released.
TEST_F(RoomInstances, RemoveMarked) {
    CRoom room;
    room_maxid = 0;
    CInstance* a = room.AddInstance(0, 0, 1, -1);
    CInstance* b = room.AddInstance(0, 0, 2, -1);
    room.AddInstance(0, 0, 3, -1);
    const int bLayer = CLayerManager::GetInstanceLayerID(&room, b->i_id);
    a->i_marked = true;
    b->i_marked = true;
    room.RemoveMarked();
    EXPECT_EQ(Active(room), (std::vector<int>{3}));
    EXPECT_EQ(CInstance::Find(1), nullptr);
    EXPECT_EQ(CLayerManager::GetLayerFromID(&room, bLayer), nullptr);
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(&room), 1);
}

TEST_F(RoomInstances, ActivationMovesBetweenTheLists) {
    CRoom room;
    room_maxid = 0;
    CInstance* a = room.AddInstance(0, 0, 1, -1);
    CInstance* b = room.AddInstance(0, 0, 2, -1);
    CInstance* c = room.AddInstance(0, 0, 3, -1);
    c->i_deactivated = true;
    a->i_deactivated = true;
    room.UpdateActive();
    EXPECT_EQ(Active(room), (std::vector<int>{2}));
    EXPECT_EQ(Deactive(room), (std::vector<int>{1, 3}));
    a->i_deactivated = false;
    room.UpdateActive();
    EXPECT_EQ(Active(room), (std::vector<int>{1, 2}));
    EXPECT_EQ(Deactive(room), (std::vector<int>{3}));
    // A deactivated instance can be deleted even while its flag says otherwise.
    c->i_deactivated = false;
    room.DeleteInstance(c);
    EXPECT_TRUE(Deactive(room).empty());
    (void)b;
}

// Deactivated instances leave their object's instance lists (own and
// parent's) and come back when activated.
TEST_F(RoomInstances, ActivationMovesInstancesOutOfAndBackIntoObjectLists) {
    Object_Init();
    const int parent = Object_Add();
    const int child = Object_Add();
    Object_Data(child)->m_pParent = Object_Data(parent);
    {
        CRoom room;
        CInstance* a = room.AddInstance(0, 0, 1, child);
        room.AddInstance(0, 0, 2, child);
        const auto counts = [&] {
            return std::vector<int>{Object_Data(child)->m_Instances.m_count,
                                    Object_Data(parent)->m_InstancesRecursive.m_count};
        };
        ASSERT_EQ(counts(), (std::vector<int>{2, 2}));
        a->i_deactivated = true;
        room.UpdateActive();
        EXPECT_EQ(counts(), (std::vector<int>{1, 1}));
        room.UpdateActive();
        EXPECT_EQ(counts(), (std::vector<int>{1, 1}));
        a->i_deactivated = false;
        room.UpdateActive();
        EXPECT_EQ(counts(), (std::vector<int>{2, 2}));
        a->i_deactivated = true;
        room.UpdateActive();
    } // a deactivated instance is destroyed with its room
    EXPECT_EQ(Object_Data(child)->m_Instances.m_count, 0);
    Object_Init();
}

TEST_F(RoomInstances, PerStepLayerAndBackgroundUpdates) {
    CRoom room;
    CLayer* layer = CLayerManager::AddLayer(&room, 0, nullptr);
    layer->m_hspeed = 2.0f;
    layer->m_vspeed = -1.0f;
    CLayerSpriteElement* perSecond = CLayerManager::GetNewSpriteElement();
    perSecond->m_imageIndex = 0.5f;
    CLayerTilemapElement* tilemap = CLayerManager::GetNewTilemapElement();
    tilemap->m_frame = 2.0f;
    CLayerManager::AddNewElement(&room, layer, perSecond, false);
    CLayerManager::AddNewElement(&room, layer, tilemap, false);
    room.UpdateLayers(0.0);
    room.UpdateLayers(0.0);
    EXPECT_EQ(layer->m_xoffset, 4.0f);
    EXPECT_EQ(layer->m_yoffset, -2.0f);
    EXPECT_EQ(perSecond->m_imageIndex, 0.5f); // no frame rate: unchanged
    EXPECT_EQ(tilemap->m_frame, 2.0f);        // no tileset: unchanged

    room.m_backgrounds[3].hspeed = 1.5f;
    room.m_backgrounds[3].vspeed = -3.0f;
    room.ScrollBackground();
    room.ScrollBackground();
    EXPECT_EQ(room.m_backgrounds[3].x, 3.0f);
    EXPECT_EQ(room.m_backgrounds[3].y, -6.0f);
}

} // namespace
