// The collision pass: the fast pass over the instance tree and the classic
// pass over the object pairs raise the same events on the same scene; pairs
// are gathered once, keep colliding while they overlap, solid pairs go back,
// and destroyed instances take no further part.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "event_fixture.h"
#include "instance_fixture.h"
#include "world/collision/collision_pass.h"
#include "world/datafile/options.h"
#include "world/instances/instance_tree.h"

namespace {

class CollisionPass : public InstanceScene {
protected:
    void SetUp() override {
        InstanceScene::SetUp();
        New_Room = ROOM_NONE;
        option_fast_collision_compatibility = true; // the same boxes in both modes
        MakeObjects(4);
        for (int i = 0; i < 4; ++i) SetDefaults(i, {.sprite = 0});
        EventLog().clear();
    }
    void TearDown() override {
        FINALIZE_InstanceTree();
        FINALIZE_Object_Lists();
        option_use_fast_collision = option_fast_collision_compatibility = false;
        EventLog().clear();
        InstanceScene::TearDown();
    }
    // Runs one pass in the given mode and returns its events, sorted.
    std::vector<EventRecord> Pass(bool fast) {
        option_use_fast_collision = fast;
        Create_Object_Lists();
        EventLog().clear();
        HandleCollision();
        std::vector<EventRecord> events = EventLog();
        std::sort(events.begin(), events.end(), [](const EventRecord& a, const EventRecord& b) {
            return std::tie(a.self, a.subtype, a.other) < std::tie(b.self, b.subtype, b.other);
        });
        return events;
    }
    CInstance* Add(int object, float x, float y) { return m_room->AddInstance(x, y, object); }
};

void DestroyOther(CInstance*, CInstance* other) {
    other->i_marked = true;
}

TEST_F(CollisionPass, FastAndClassicRaiseTheSameEventsOnARandomScene) {
    SetHandler(0, EVENT_COLLISION, 1);
    SetHandler(1, EVENT_COLLISION, 0);
    SetHandler(2, EVENT_COLLISION, 0);
    SetHandler(3, EVENT_COLLISION, 2);
    option_use_fast_collision = true; // instances join the tree and the test list as they are made
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> pos(0, 600);
    for (int i = 0; i < 400; ++i) Add(static_cast<int>(rng() % 4), pos(rng), pos(rng));
    const std::vector<EventRecord> fast = Pass(true);
    const std::vector<EventRecord> classic = Pass(false);
    EXPECT_GT(fast.size(), 50u);
    EXPECT_EQ(fast, classic);
}

TEST_F(CollisionPass, StillPairsCollideEveryStepAndMovedTriplesAreGatheredOnce) {
    SetHandler(0, EVENT_COLLISION, 0);
    option_use_fast_collision = true;
    CInstance* a = Add(0, 100, 100);
    CInstance* b = Add(0, 110, 100);
    for (int step = 0; step < 3; ++step) {
        EXPECT_EQ(Pass(true), (std::vector<EventRecord>{{a->i_id, EVENT_COLLISION, 0, b->i_id},
                                                        {b->i_id, EVENT_COLLISION, 0, a->i_id}}))
            << "step " << step;
    }
    CInstance* c = Add(0, 105, 110);
    for (CInstance* i : {a, b, c}) i->SetPosition(i->i_x + 1, i->i_y);
    Pass(true);
    EXPECT_EQ(CollisionPass_GatheredCount(), 3) << "three pairs, each once";
    EXPECT_GE(CollisionPass_Capacity(), 64) << "the first growth gives 64 pairs";
    // The classic pass visits a self-colliding object's pairs in both orders.
    EXPECT_EQ(Pass(false).size(), 12u);
}

TEST_F(CollisionPass, SolidPairsEndAtTheirPreviousPositions) {
    for (bool fast : {true, false}) {
        SetDefaults(1, {.sprite = 0, .flags = OBJECT_FLAG_SOLID});
        SetHandler(0, EVENT_COLLISION, 1);
        option_use_fast_collision = fast;
        CInstance* wall = Add(1, 100, 100);
        CInstance* mover = Add(0, 70, 100);
        mover->SetPosition(80, 100); // xprevious stays 70
        mover->SetHspeed(10);
        EXPECT_EQ(Pass(fast).size(), 1u);
        EXPECT_EQ(mover->i_x, 70) << "moving on by its speed would touch again";
        EXPECT_EQ(wall->i_x, 100);
        m_room->DeleteInstance(wall);
        m_room->DeleteInstance(mover);
    }
}

TEST_F(CollisionPass, AnInstanceDestroyedByAnEarlierPairTakesNoFurtherPart) {
    SetHandler(0, EVENT_COLLISION, 1, DestroyOther);
    SetHandler(1, EVENT_COLLISION, 2);
    for (bool fast : {true, false}) {
        option_use_fast_collision = fast;
        // Made last, a is tested first (the test list is newest first), so
        // its pair with b comes before b's pair with c in both modes.
        CInstance* c = Add(2, 110, 100);
        CInstance* b = Add(1, 105, 100);
        CInstance* a = Add(0, 100, 100);
        Pass(fast);
        EXPECT_TRUE(b->i_marked);
        EXPECT_EQ(EventLog().size(), 0u) << "b's collision with c never runs";
        for (CInstance* i : {a, b, c}) m_room->DeleteInstance(i);
    }
}

} // namespace
