// Instance life: creation and destruction event order, the Destroy event that
// spawns its own object, object changes, counting and finding, and activation
// by object and by region.
#include <gtest/gtest.h>

#include "error_capture.h"
#include "event_fixture.h"
#include "instance_fixture.h"
#include "world/datafile/options.h"
#include "world/lifecycle/instance_life.h"

namespace {

class InstanceLife : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        New_Room = ROOM_NONE;
        MakeObjects(3);
        Object_Data(2)->m_parentIndex = 1; // 2 descends from 1
        Object_ResolveParents();
        EventLog().clear();
        CInstance::ms_markedCount = 0;
    }
    void TearDown() override {
        g_InstanceChangeArray.Clear();
        g_InstanceActivateDeactive.Clear();
        g_InstanceChangeDepth.Clear();
        EventLog().clear();
        InstanceScene::TearDown();
    }
    void LogAll(int object) {
        for (int type : {EVENT_CREATE, EVENT_DESTROY, EVENT_CLEANUP, EVENT_PRE_CREATE})
            SetHandler(object, type, 0);
    }
};

// A Destroy event that makes a new instance of the destroyed object.
void SpawnSameObject(CInstance* self, CInstance*) {
    Command_Create(self->i_objindex, self->i_x, self->i_y);
}

TEST_F(InstanceLife, CreationAndDestructionRaiseTheirEventsInOrderOnce) {
    LogAll(0);
    CInstance* a = Command_Create(0, 10, 20);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->m_created);
    EXPECT_EQ(LoggedTypes(), (std::vector<int>{EVENT_PRE_CREATE, EVENT_CREATE}));
    EXPECT_EQ(EventLog()[1], (EventRecord{a->i_id, EVENT_CREATE, 0, a->i_id}));

    EventLog().clear();
    DoInstanceDestroy(a, nullptr, -1, true);
    DoInstanceDestroy(a, nullptr, -1, true); // second call: nothing
    Command_Destroy(a);
    EXPECT_EQ(LoggedTypes(), (std::vector<int>{EVENT_DESTROY, EVENT_CLEANUP}));
    EXPECT_TRUE(a->i_marked);
    EXPECT_EQ(CInstance::ms_markedCount, 1);

    CInstance* b = Command_Create(0, 0, 0);
    EventLog().clear();
    DoInstanceDestroy(nullptr, nullptr, b->i_id, false);
    EXPECT_EQ(LoggedTypes(), (std::vector<int>{EVENT_CLEANUP})) << "without the flag only Clean Up runs";
    EXPECT_TRUE(b->i_marked);
    EXPECT_EQ(Command_InstanceNumber(0), 0) << "marked instances are not counted";
}

TEST_F(InstanceLife, DestroyingAnObjectWhoseDestroyEventSpawnsItEnds) {
    SetHandler(0, EVENT_DESTROY, 0, SpawnSameObject);
    for (int i = 0; i < 3; ++i) Command_Create(0, static_cast<float>(i), 0);
    DoInstanceDestroy(nullptr, nullptr, 0, true);
    EXPECT_EQ(CInstance::ms_markedCount, 3);
    EXPECT_EQ(Command_InstanceNumber(0), 3) << "the three spawned instances live on";
    DoInstanceDestroy(nullptr, nullptr, -3, true);
    EXPECT_EQ(Command_InstanceNumber(-3), 3);
}

TEST_F(InstanceLife, CreationIsRefusedForAMissingObjectOrWithoutARoom) {
    ErrorCapture errors;
    EXPECT_EQ(Command_Create(17, 0, 0), nullptr);
    EXPECT_TRUE(errors.ShownContains("Creating instance for non-existing object: 17"));
    EXPECT_EQ(ZQVTL_instance_create(0, 0, 17), -1.0);
    Run_Room = nullptr;
    EXPECT_EQ(Command_Create(0, 0, 0), nullptr);
    EXPECT_EQ(Command_Create_Depth(0, 0, 0, 5), nullptr);
    Run_Room = m_room.get();
    EXPECT_EQ(m_room->m_pFirstActive, nullptr);
}

TEST_F(InstanceLife, ChangeRunsDestroyCleanUpPreCreateCreateAndCountsAtOnce) {
    LogAll(0);
    LogAll(1);
    CInstance* a = Command_Create(0, 0, 0);
    EventLog().clear();
    Command_Change(a, 0, true);
    EXPECT_TRUE(EventLog().empty()) << "changing into its own object does nothing";
    Command_Change(a, 1, true);
    EXPECT_EQ(LoggedTypes(),
              (std::vector<int>{EVENT_DESTROY, EVENT_CLEANUP, EVENT_PRE_CREATE, EVENT_CREATE}));
    EXPECT_EQ(Command_InstanceNumber(1), 1) << "counted in its new object before the lists are updated";
    EXPECT_EQ(Command_InstanceNumber(0), 1) << "and still in its old one";
    a->RelinkObjectTypes();
    g_InstanceChangeArray.Clear();
    EXPECT_EQ(Command_InstanceNumber(0), 0);
    EXPECT_EQ(Command_InstanceNumber(1), 1);
}

TEST_F(InstanceLife, NearestFurthestFindAndExists) {
    CInstance* a = Command_Create(1, 10, 0);
    CInstance* b = Command_Create(2, -10, 0); // same distance, later in the lists
    CInstance* c = Command_Create(1, 30, 0);
    EXPECT_EQ(Command_InstanceNearest(0, 0, 1), a) << "ties go to the first";
    EXPECT_EQ(Command_InstanceFurthest(0, 0, 1), c);
    EXPECT_EQ(Command_InstanceNearest(0, 0, a->i_id), nullptr) << "ids are not searched";
    a->i_deactivated = true;
    EXPECT_EQ(Command_InstanceNearest(0, 0, 1), b);
    EXPECT_EQ(Command_InstanceFind(nullptr, nullptr, 1, 0), b) << "skips the deactivated first instance";
    EXPECT_EQ(Command_InstanceFind(nullptr, nullptr, 1, 5), nullptr);
    EXPECT_EQ(Command_InstanceFind(nullptr, nullptr, 1, -1), nullptr);
    EXPECT_TRUE(Command_InstanceExists(nullptr, nullptr, 2));
    EXPECT_FALSE(Command_InstanceExists(nullptr, nullptr, a->i_id));
    EXPECT_EQ(ZQVTL_instance_number(a, nullptr, -1), 0);
    EXPECT_EQ(ZQVTL_instance_number(b, nullptr, -1), 1);
}

TEST_F(InstanceLife, DeactivateAllKeepsTheCallerAndActivateAllUndoesIt) {
    CInstance* a = Command_Create(0, 0, 0);
    CInstance* b = Command_Create(1, 0, 0);
    CInstance* c = Command_Create(2, 0, 0);
    Command_DeactivateAll(a, true);
    EXPECT_FALSE(a->i_deactivated);
    EXPECT_TRUE(b->i_deactivated && c->i_deactivated);
    m_room->UpdateActive();
    g_InstanceActivateDeactive.Clear();
    EXPECT_EQ(m_room->m_deactiveCount, 2);
    Command_ActivateObject(nullptr, nullptr, 1); // 1 and its descendant 2
    EXPECT_FALSE(b->i_deactivated || c->i_deactivated);
    EXPECT_EQ(g_InstanceActivateDeactive.m_count, 2);
    Command_DeactivateObject(nullptr, nullptr, 2);
    EXPECT_TRUE(c->i_deactivated);
    EXPECT_TRUE(ZQVTL_instance_waiting_for_activation(-3) == false);
    Command_ActivateAll();
    EXPECT_FALSE(c->i_deactivated);
}

// Sprite 1's box is 0..31 from the position: an instance at (x, y) covers
// x..x+31; one without a sprite is a point.
TEST_F(InstanceLife, RegionsDeactivateInsideOrOutsideAndTouchingCountsAsInside) {
    SetDefaults(0, {.sprite = 1});
    CInstance* inside = Command_Create(0, 100, 100);
    CInstance* touching = Command_Create(0, 200, 100); // box 200..231 touches the region's right edge
    CInstance* outside = Command_Create(0, 300, 300);
    CInstance* point = Command_Create(1, 150, 150); // no sprite
    CInstance* caller = Command_Create(1, 500, 500);
    Command_DeactivateRegion(caller, 100, 100, 100, 100, true, true);
    EXPECT_TRUE(inside->i_deactivated);
    EXPECT_TRUE(touching->i_deactivated);
    EXPECT_FALSE(outside->i_deactivated);
    EXPECT_TRUE(point->i_deactivated);
    EXPECT_FALSE(caller->i_deactivated);

    Command_ActivateRegion(150, 150, 0, 0, true); // only the point at (150, 150)
    EXPECT_FALSE(point->i_deactivated);
    EXPECT_TRUE(inside->i_deactivated) << "its box 100..131 ends before 150";

    Command_ActivateAll();
    Command_DeactivateRegion(nullptr, 100, 100, 100, 100, false, false);
    EXPECT_FALSE(inside->i_deactivated);
    EXPECT_TRUE(outside->i_deactivated);
    EXPECT_TRUE(caller->i_deactivated) << "without notme the caller goes too";
}

TEST_F(InstanceLife, CopyTakesTheStateWithItsOwnId) {
    LogAll(0);
    CInstance* a = Command_Create(0, 40, 50);
    a->i_hspeed = 3;
    EventLog().clear();
    CInstance* copy = Command_InstanceCopy(a, false);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->i_id, a->i_id);
    EXPECT_EQ(CInstance::Find(copy->i_id), copy);
    EXPECT_EQ(copy->i_x, 40);
    EXPECT_EQ(copy->i_hspeed, 3);
    EXPECT_TRUE(EventLog().empty());
    EXPECT_EQ(Command_InstanceNumber(0), 2);
    Command_InstanceCopy(a, true);
    EXPECT_EQ(LoggedTypes(), (std::vector<int>{EVENT_PRE_CREATE, EVENT_CREATE}));
}

TEST_F(InstanceLife, PositionCommandsAndSpriteChecks) {
    SetDefaults(0, {.sprite = 1});
    CInstance* a = Command_Create(0, 100, 100);
    CInstance* b = Command_Create(0, 300, 300);
    {
        ErrorCapture errors;
        Command_ChangeAt(110, 110, 9, false);
        EXPECT_TRUE(errors.ShownContains("Asking to change into non-existing object: 9"));
    }
    {
        ErrorCapture errors;
        Command_SetSprite(a, 9);
        EXPECT_TRUE(errors.ShownContains("Setting instance to non-existing sprite: 9"));
    }
    EXPECT_EQ(a->i_objindex, 0);
    Command_ChangeAt(110, 110, 1, false);
    EXPECT_EQ(a->i_objindex, 1);
    EXPECT_EQ(b->i_objindex, 0);
    Command_DestroyAt(310, 310);
    EXPECT_TRUE(b->i_marked);
    EXPECT_FALSE(a->i_marked);
    a->i_imageindex = 7;
    Command_SetSprite(a, 0); // 4 frames
    EXPECT_EQ(a->i_imageindex, 0.0f);
}

} // namespace
