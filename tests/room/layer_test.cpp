// Layers and elements: pools and their growth, ids, ordered insertion,
// depth changes with merging, element lookups and removal, and instances
// placed on layers by id or depth.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/header_globals.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "world/instances/instance.h"

namespace {

class Layers : public ::testing::Test {
protected:
    void SetUp() override {
        CLayerManager::m_CurrentLayerID = 0;
        CLayerManager::SetLayerIndexWatermark(0);
        g_isNimbar = true;
    }
    void TearDown() override { g_isNimbar = false; }

    std::vector<int> Depths() const {
        std::vector<int> d;
        for (CLayer* l = room.m_Layers.m_pFirst; l != nullptr; l = l->m_pNext) d.push_back(l->m_depth);
        return d;
    }
    std::vector<CLayer*> Order() const {
        std::vector<CLayer*> d;
        for (CLayer* l = room.m_Layers.m_pFirst; l != nullptr; l = l->m_pNext) d.push_back(l);
        return d;
    }

    CRoom room;
};

// A room that never had layers still gets layers and elements: the pools
// fill themselves on first use.
TEST_F(Layers, RoomWithoutLayersGetsThemOnDemand) {
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(&room), 0);
    EXPECT_EQ(CLayerManager::GetNthLayerInRoom(&room, 0), nullptr);
    CLayer* layer = CLayerManager::AddLayer(&room, 10, "Trees");
    ASSERT_NE(layer, nullptr);
    EXPECT_EQ(CLayerManager::GetLayerFromName(&room, "trees"), layer);
    EXPECT_EQ(CLayerManager::GetLayerFromName(&room, nullptr), nullptr);
    EXPECT_EQ(CLayerManager::GetLayerDepth(&room, layer->m_id), 10);
    EXPECT_EQ(CLayerManager::GetLayerDepth(&room, 9999), -1);
    CLayerSpriteElement* sprite = CLayerManager::GetNewSpriteElement();
    ASSERT_NE(sprite, nullptr);
    EXPECT_EQ(sprite->m_imageSpeed, 1.0f);
    EXPECT_GE(CLayerManager::AddNewElement(&room, layer, sprite, true), 0);
}

TEST_F(Layers, PoolGrowsByItsFigureThenDoubles) {
    CLayerManager::Init();
    CLayerManager::Init();
    const int32_t start = CLayerManager::LayerPoolCount();
    const int32_t growth = CLayerManager::LayerPoolGrowth();
    ASSERT_GT(start, 0);
    std::vector<CLayer*> taken;
    for (int i = 0; i <= start; ++i) taken.push_back(CLayerManager::AddDynamicLayer(&room, i));
    EXPECT_EQ(CLayerManager::LayerPoolGrowth(), growth * 2);
    for (CLayer* l : taken) CLayerManager::RemoveLayer(&room, l->m_id);
    EXPECT_EQ(CLayerManager::LayerPoolCount(), start + growth);
    EXPECT_EQ(room.m_Layers.m_Count, 0);
}

// Run-time ids start above the highest id of the data and go on from there.
TEST_F(Layers, RuntimeIdsAndOrderedInsertion) {
    CLayerManager::SetLayerIndexWatermark(12);
    CLayer* a = CLayerManager::AddLayer(&room, 100, "a");
    CLayer* b = CLayerManager::AddLayer(&room, 100, "b");
    CLayer* c = CLayerManager::AddLayer(&room, 0, nullptr);
    CLayer* d = CLayerManager::AddLayer(&room, 100, "Trees");
    CLayer* e = CLayerManager::AddLayer(&room, 500, nullptr);
    EXPECT_EQ(a->m_id, 13);
    EXPECT_EQ(b->m_id, 14);
    EXPECT_EQ(Order(), (std::vector<CLayer*>{c, a, b, d, e}));
    EXPECT_EQ(CLayerManager::GetNthLayerInRoom(&room, 0), c);
    EXPECT_EQ(CLayerManager::GetNthLayerInRoom(&room, 5), nullptr);
    EXPECT_EQ(CLayerManager::GetLayerFromName(&room, "trees"), d);
    EXPECT_EQ(CLayerManager::GetLayerWithDepth(&room, 100, false), a);
    EXPECT_EQ(CLayerManager::GetLayerWithDepth(&room, 100, true), nullptr);
    EXPECT_TRUE(CLayerManager::IsLayerListInOrder(&room));
}

TEST_F(Layers, DepthChangesMoveAndMergeOnlyGoingBack) {
    CLayer* moving = CLayerManager::AddLayer(&room, 0, nullptr);
    CLayer* a = CLayerManager::AddLayer(&room, 100, nullptr);
    CLayer* b = CLayerManager::AddLayer(&room, 200, nullptr);
    CLayerManager::ChangeLayerDepth(&room, moving, 100, true);
    EXPECT_EQ(Order(), (std::vector<CLayer*>{a, moving, b}));
    CLayerManager::ChangeLayerDepth(&room, moving, 250, false);
    CLayerManager::ChangeLayerDepth(&room, moving->m_id, 100, false);
    EXPECT_EQ(Order(), (std::vector<CLayer*>{moving, a, b}));

    // Two dynamic layers: going back merges, appending the elements.
    CRoom other;
    CLayer* target = CLayerManager::AddDynamicLayer(&other, 50);
    CLayer* source = CLayerManager::AddDynamicLayer(&other, 10);
    CLayerSpriteElement* s1 = CLayerManager::GetNewSpriteElement();
    CLayerSpriteElement* s2 = CLayerManager::GetNewSpriteElement();
    CLayerManager::AddNewElement(&other, target, s1, false);
    const int id2 = CLayerManager::AddNewElement(&other, source, s2, false);
    const int sourceId = source->m_id;
    CLayerManager::ChangeLayerDepth(&other, source, 50, true);
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(&other), 1);
    EXPECT_EQ(CLayerManager::GetLayerFromID(&other, sourceId), nullptr);
    EXPECT_EQ(target->m_elements.m_Count, 2);
    EXPECT_EQ(target->m_elements.m_pLast, s2);
    CLayer* owner = nullptr;
    EXPECT_EQ(CLayerManager::GetElementFromID(&other, id2, &owner), s2);
    EXPECT_EQ(owner, target);
}

TEST_F(Layers, ElementIdsLookupsAndRemoval) {
    CLayer* layer = CLayerManager::AddLayer(&room, 0, nullptr);
    CLayerTileElement* t1 = CLayerManager::GetNewTileElement();
    CLayerTileElement* t2 = CLayerManager::GetNewTileElement();
    t2->m_pName = "Rock";
    const int id1 = CLayerManager::AddNewElement(&room, layer, t1, false);
    const int id2 = CLayerManager::AddNewElement(&room, layer, t2, false);
    EXPECT_EQ(id2, id1 + 1);
    EXPECT_EQ(layer->m_elements.m_pFirst, t2);
    EXPECT_EQ(CLayerManager::GetElementFromName(&room, "rock"), t2);
    EXPECT_EQ(CLayerManager::GetElementFromID(&room, id1), t1);
    CLayerManager::RemoveElement(&room, id1, true, false);
    EXPECT_EQ(CLayerManager::GetElementFromID(&room, id1), nullptr);
    EXPECT_EQ(CLayerManager::GetElementFromID(layer, id1), nullptr);
    // A new element never reuses an id; a released one comes back pooled.
    t1->m_visible = true;
    CLayerTileElement* again = CLayerManager::GetNewTileElement();
    EXPECT_EQ(again->m_id, -1);
    EXPECT_EQ(again->m_pLayer, nullptr);
    EXPECT_GT(CLayerManager::AddNewElement(&room, layer, again, false), id2);
    // A non-dynamic layer stays when emptied.
    CLayerManager::RemoveElement(&room, id2, true, false);
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(&room), 1);
    // Without a dynamic request no layer is made for a new depth.
    CLayerSpriteElement* s = CLayerManager::GetNewSpriteElement();
    EXPECT_EQ(CLayerManager::AddNewElementAtDepth(&room, 40, s, false, false), -1);
    EXPECT_GE(CLayerManager::AddNewElementAtDepth(&room, 40, s, false, true), 0);
    ASSERT_NE(CLayerManager::GetLayerWithDepth(&room, 40, true), nullptr);
    CLayer* dyn = CLayerManager::GetLayerWithDepth(&room, 40, true);
    CLayerManager::MoveElement(&room, s, dyn);
    EXPECT_EQ(dyn->m_elements.m_Count, 1);
    CLayerManager::RemoveElement(&room, s->m_id, true, false);
    EXPECT_EQ(CLayerManager::GetLayerWithDepth(&room, 40, true), nullptr);
    EXPECT_FALSE(CLayerManager::ElementsHaveLoop(&layer->m_elements));
}

TEST_F(Layers, InstancesOnLayersByIdAndDepth) {
    CInstance* a = room.AddInstance(0, 0, -1);
    CInstance* b = room.AddInstance(0, 0, -1);
    CInstance* n = room.AddInstance(0, 0, -1);
    // Created instances stand on a layer of their depth; start from none.
    for (CInstance* i : {a, b, n}) CLayerManager::RemoveInstanceFromLayer(&room, i);
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(&room), 0);
    CLayer* named = CLayerManager::AddLayer(&room, 300, "Walls");
    a->i_depth = 12.7f;
    CLayerManager::AddInstance(&room, a);
    CLayer* dyn = CLayerManager::GetLayerWithDepth(&room, 12, true);
    ASSERT_NE(dyn, nullptr);
    EXPECT_EQ(a->i_depth, 12.0f);
    EXPECT_EQ(CLayerManager::GetInstanceLayerID(&room, a->i_id), dyn->m_id);
    // By id: the instance takes the layer's depth.
    CLayerManager::AddInstance(&room, b, named->m_id);
    EXPECT_EQ(b->i_depth, 300.0f);
    // A NaN depth still finds a layer.
    n->i_depth = std::numeric_limits<float>::quiet_NaN();
    CLayerManager::AddInstance(&room, n);
    EXPECT_NE(CLayerManager::GetInstanceLayerID(&room, n->i_id), -1);

    // A lone instance moves its dynamic layer; others leave theirs.
    const int dynId = dyn->m_id;
    CLayerManager::ChangeInstanceDepth(&room, a, 50.0f);
    EXPECT_EQ(CLayerManager::GetInstanceLayerID(&room, a->i_id), dynId);
    EXPECT_EQ(CLayerManager::GetLayerDepth(&room, dynId), 50);
    CLayerManager::ChangeInstanceDepth(&room, b, 50.0f);
    EXPECT_EQ(CLayerManager::GetInstanceLayerID(&room, b->i_id), dynId);
    EXPECT_EQ(named->m_elements.m_Count, 0);
    EXPECT_EQ(CLayerManager::GetLayerFromID(&room, named->m_id), named);

    // Leaving a dynamic layer it emptied releases it.
    CLayerManager::RemoveInstanceFromLayer(&room, a);
    EXPECT_NE(CLayerManager::GetLayerFromID(&room, dynId), nullptr);
    CLayerManager::RemoveInstanceFromLayer(&room, b);
    EXPECT_EQ(CLayerManager::GetLayerFromID(&room, dynId), nullptr);
    EXPECT_EQ(CLayerManager::GetInstanceLayerID(&room, b->i_id), -1);
}

// Removing a layer destroys the instances on it as the destroy built-in
// does, which leaves deactivated instances alone.
TEST_F(Layers, RemovingALayerDestroysItsInstances) {
    CInstance* a = room.AddInstance(0, 0, -1);
    CInstance* b = room.AddInstance(0, 0, -1);
    CLayer* layer = CLayerManager::AddLayer(&room, 0, "L");
    // An instance already on a layer is not put on another.
    CLayerManager::AddInstanceToLayer(&room, layer, a);
    EXPECT_EQ(layer->m_elements.m_Count, 0);
    CLayerManager::RemoveInstance(&room, a);
    CLayerManager::RemoveInstance(&room, b);
    CLayerManager::AddInstanceToLayer(&room, layer, a);
    CLayerManager::AddInstanceToLayer(&room, layer, b);
    EXPECT_EQ(a->m_layerID, layer->m_id);
    EXPECT_TRUE(a->m_onLayer);
    b->i_deactivated = true;
    CLayerManager::UpdateInstanceActivation(&room, b);
    EXPECT_EQ(layer->m_elements.m_pLast, room.m_InstanceElementLookup.Find(b->i_id)[0]);
    CLayerManager::RemoveLayer(&room, layer->m_id);
    EXPECT_TRUE(a->i_marked);
    EXPECT_FALSE(b->i_marked);
    EXPECT_EQ(CLayerManager::GetNumLayersInRoom(&room), 0);
    EXPECT_EQ(room.m_InstanceElementLookup.Count(), 0u);
}

// A run-time copy gets the template's layers with their ids, none dynamic;
// an instance with a waiting element joins that element's layer.
TEST_F(Layers, CopiesOfARoomDuplicateItsLayers) {
    CLayer* back = CLayerManager::AddLayer(&room, 100, "Back");
    CLayer* dyn = CLayerManager::AddDynamicLayer(&room, 5);
    CLayerSpriteElement* s1 = CLayerManager::GetNewSpriteElement();
    s1->m_sprite = 4;
    CLayerSpriteElement* s2 = CLayerManager::GetNewSpriteElement();
    const int id1 = CLayerManager::AddNewElement(&room, back, s1, false);
    const int id2 = CLayerManager::AddNewElement(&room, back, s2, false);
    CLayerInstanceElement* waiting = CLayerManager::GetNewInstanceElement();
    waiting->m_instanceID = 424242;
    CLayerManager::AddNewElement(&room, dyn, waiting, false);

    CRoom copy;
    copy.Assign(&room, false);
    ASSERT_EQ(CLayerManager::GetNumLayersInRoom(&copy), 2);
    CLayer* cback = CLayerManager::GetLayerFromID(&copy, back->m_id);
    ASSERT_NE(cback, nullptr);
    EXPECT_STREQ(cback->m_pName, "Back");
    EXPECT_FALSE(CLayerManager::GetLayerFromID(&copy, dyn->m_id)->m_dynamic);
    // Copied front to front: the order reverses.
    EXPECT_EQ(cback->m_elements.m_pFirst->m_id, id1);
    EXPECT_EQ(cback->m_elements.m_pLast->m_id, id2);
    EXPECT_EQ(static_cast<CLayerSpriteElement*>(CLayerManager::GetElementFromID(&copy, id1))->m_sprite, 4);

    auto* instance = new CInstance(0, 0, 424242, -1, true);
    instance->i_depth = 77.0f;
    copy.AddInstance(instance);
    EXPECT_EQ(CLayerManager::GetInstanceLayerID(&copy, 424242), dyn->m_id);
    EXPECT_EQ(instance->i_depth, 5.0f);
    EXPECT_EQ(CLayerManager::GetLayerFromID(&copy, dyn->m_id)->m_elements.m_Count, 1);
}

} // namespace

namespace {

class InstanceLayers : public ::testing::Test {
protected:
    void SetUp() override { g_isNimbar = true; }
    void TearDown() override { g_isNimbar = false; }
    CRoom room;
};

// Instances go on dynamic layers of their truncated depth, never on a layer
// of the data or a script's; a lone instance's depth change moves its layer
// and merges only going back.
TEST_F(InstanceLayers, DynamicLayersForDepthsAndDepthChanges) {
    CLayer* data = CLayerManager::AddLayer(&room, 0, "Data");
    CInstance* a = room.AddInstance(0, 0, -1);
    CInstance* b = room.AddInstance(0, 0, -1);
    ASSERT_EQ(CLayerManager::GetNumLayersInRoom(&room), 2);
    CLayer* dyn = CLayerManager::GetNthLayerInRoom(&room, 1);
    EXPECT_TRUE(dyn->m_dynamic);
    EXPECT_EQ(CLayerManager::GetNthLayerInRoom(&room, 0), data);
    EXPECT_EQ(a->m_layerID, dyn->m_id);
    EXPECT_EQ(b->m_layerID, dyn->m_id);

    a->i_depth = -0.7f;
    CLayerManager::ChangeInstanceDepth(&room, a);
    EXPECT_EQ(a->m_layerID, dyn->m_id) << "-0.7 truncates to 0";
    // One of two moves alone.
    CLayerManager::ChangeInstanceDepth(&room, a, 99.9f);
    CLayer* at99 = CLayerManager::GetLayerFromID(&room, a->m_layerID);
    ASSERT_NE(at99, nullptr);
    EXPECT_EQ(at99->m_depth, 99);
    EXPECT_EQ(dyn->m_elements.m_Count, 1);
    // A lone instance takes its layer along (same id)...
    const int id99 = at99->m_id;
    CLayerManager::ChangeInstanceDepth(&room, a, 150.0f);
    EXPECT_EQ(a->m_layerID, id99);
    EXPECT_EQ(at99->m_depth, 150);
    // ...and merges into a dynamic layer of the new depth further back.
    CInstance* c = room.AddInstance(0, 0, 200, -1);
    const int id200 = c->m_layerID;
    CLayerManager::ChangeInstanceDepth(&room, a, 200.0f);
    EXPECT_EQ(a->m_layerID, id200);
    EXPECT_EQ(CLayerManager::GetLayerFromID(&room, id99), nullptr);
    // Going forward there is no merge: the moved layer stands in front.
    CInstance* d = room.AddInstance(0, 0, 300, -1);
    const int id300 = d->m_layerID;
    CLayerManager::ChangeInstanceDepth(&room, d, 0.0f);
    EXPECT_EQ(d->m_layerID, id300);
    EXPECT_EQ(CLayerManager::GetNthLayerInRoom(&room, 0)->m_id, id300);
    EXPECT_TRUE(CLayerManager::IsLayerListInOrder(&room));
}

TEST_F(InstanceLayers, TiesActivationAndRefusals) {
    CInstance* a = room.AddInstance(0, 0, 10, -1);
    CInstance* b = room.AddInstance(0, 0, 10, -1);
    CLayer* layer = CLayerManager::GetLayerFromID(&room, a->m_layerID);
    // Deactivated: behind the live ones; reactivated: at the front.
    a->i_deactivated = true;
    CLayerManager::UpdateInstanceActivation(&room, a);
    EXPECT_EQ(static_cast<CLayerInstanceElement*>(layer->m_elements.m_pLast)->m_pInstance, a);
    a->i_deactivated = false;
    CLayerManager::UpdateInstanceActivation(&room, a);
    EXPECT_EQ(static_cast<CLayerInstanceElement*>(layer->m_elements.m_pFirst)->m_pInstance, a);
    // An element already tied to an instance of that id refuses another.
    CInstance twin(0, 0, a->i_id, -1, false);
    CLayerManager::AddInstanceToLayer(&room, layer, &twin);
    EXPECT_FALSE(twin.m_onLayer);
    EXPECT_EQ(layer->m_elements.m_Count, 2);
    // Removing from a layer that is not its own changes nothing.
    CLayer* other = CLayerManager::AddLayer(&room, 10, "Other");
    CLayerManager::RemoveInstanceFromLayer(&room, other, b);
    EXPECT_TRUE(b->m_onLayer);
    // A storage removal takes the element whether or not the instance lives.
    CLayerInstanceElement* waiting = CLayerManager::GetNewInstanceElement();
    waiting->m_instanceID = 777;
    CLayerManager::AddNewElement(&room, other, waiting, true);
    EXPECT_FALSE(waiting->m_bRuntimeDataInitialised);
    CLayerManager::RemoveStorageInstanceFromLayer(&room, other, 777);
    EXPECT_EQ(other->m_elements.m_Count, 0);
    EXPECT_EQ(CLayerManager::GetLayerIDForInstance(&room, 777), -1);
    // The last instance leaving a dynamic layer releases it.
    const int id = layer->m_id;
    CLayerManager::RemoveInstance(&room, a);
    CLayerManager::RemoveInstance(&room, b);
    EXPECT_FALSE(b->m_onLayer);
    EXPECT_EQ(b->m_layerID, -1);
    EXPECT_EQ(CLayerManager::GetLayerFromID(&room, id), nullptr);
}

} // namespace
