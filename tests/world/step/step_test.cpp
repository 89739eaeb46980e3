// The step: its pass order, the early end on a room change, the deferred
// object, depth and activation changes between passes, the removal of
// destroyed instances, instances created during a pass, animation and
// movement.
#include <gtest/gtest.h>

#include <vector>

#include "core/header_globals.h"
#include "core/run_globals.h"
#include "core/timing_source.h"
#include "step_fixture.h"
#include "world/step/event_passes.h"

namespace {

using P = EStepPass;

std::vector<P>& Passes() {
    static std::vector<P> passes;
    return passes;
}
void Record(P pass) {
    Passes().push_back(pass);
}

class StepTest : public StepScene {
protected:
    void SetUp() override {
        StepScene::SetUp();
        Passes().clear();
        Step_SetObserver(&Record);
        Draw_Automatic = true;
    }
};

TEST_F(StepTest, RunsEveryPassInOrderWithChangesAppliedAfterEachFromBeginStep) {
    g_DoResizeEvent = true;
    const int cursor = Cursor_Subimage;
    DoAStep();
    const std::vector<P> expected = {
        P::DeltaTime,    P::Collector,    P::RenderState,
        P::LoadGame,     P::Input,        P::Resize,
        P::Animate,      P::LayerScroll,  P::BeginStep,
        P::ApplyChanges, P::Networking,   P::ApplyChanges,
        P::TimeLine,     P::ApplyChanges, P::Alarm,
        P::ApplyChanges, P::Keyboard,     P::ApplyChanges,
        P::Joystick,     P::ApplyChanges, P::Mouse,
        P::ApplyChanges, P::Step,         P::ApplyChanges,
        P::Movement,     P::ApplyChanges, P::Other,
        P::ApplyChanges, P::Async,        P::ApplyChanges,
        P::Collision,    P::ApplyChanges, P::EndStep,
        P::ApplyChanges, P::Particles,    P::RemoveMarked,
        P::Draw,         P::ApplyChanges, P::ScrollBackground,
        P::ApplyChanges,
    };
    EXPECT_EQ(Passes(), expected);
    EXPECT_FALSE(g_DoResizeEvent);
    EXPECT_EQ(Cursor_Subimage, cursor + 1);
}

TEST_F(StepTest, WithoutAutomaticDrawingNothingIsDrawnButMarkedInstancesStillGo) {
    Draw_Automatic = false;
    MakeObjects(1);
    CInstance* gone = Add(0, 0, 0);
    gone->i_marked = true;
    DoAStep();
    const std::vector<P> tail(Passes().end() - 5, Passes().end());
    EXPECT_EQ(tail, (std::vector<P>{P::ApplyChanges, P::Particles, P::RemoveMarked, P::ScrollBackground,
                                    P::ApplyChanges}));
    EXPECT_TRUE(ActiveIds().empty());
}

// The events themselves run in pass order: Begin Step, alarm, Step, other,
// End Step.
TEST_F(StepTest, EventsOfOneStepRunInPassOrder) {
    MakeObjects(1);
    GiveEvent(0, EVENT_STEP, STEP_BEGIN);
    GiveEvent(0, EVENT_ALARM, 0);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    GiveEvent(0, EVENT_OTHER, OTHER_BOUNDARY);
    GiveEvent(0, EVENT_STEP, STEP_END);
    Create_Object_Lists();
    CInstance* a = Add(-5, 10, 0);
    a->SetTimer(0, 1);
    DoAStep();
    const int id = a->i_id;
    EXPECT_EQ(Log(), (std::vector<LoggedEvent>{{EVENT_STEP, STEP_BEGIN, id},
                                               {EVENT_ALARM, 0, id},
                                               {EVENT_STEP, STEP_NORMAL, id},
                                               {EVENT_OTHER, OTHER_BOUNDARY, id},
                                               {EVENT_STEP, STEP_END, id}}));
}

// A Step event that asks for a room change: movement, other, asynchronous,
// collision and End Step do not run, nothing is drawn, nothing scrolls.
TEST_F(StepTest, RoomChangeEndsTheStepBeforeTheNextPass) {
    MakeObjects(1);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    GiveEvent(0, EVENT_STEP, STEP_END);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    a->i_hspeed = 3;
    Action() = [](CInstance*, int type, int subtype) {
        if (type == EVENT_STEP && subtype == STEP_NORMAL) New_Room = 2;
    };
    const int cursor = Cursor_Subimage;
    DoAStep();
    ASSERT_GE(Passes().size(), 2u);
    EXPECT_EQ(Passes().back(), P::ApplyChanges);
    EXPECT_EQ(Passes()[Passes().size() - 2], P::Step);
    EXPECT_EQ(Log().size(), 1u);
    EXPECT_EQ(a->i_x, 0.0f);
    EXPECT_EQ(Cursor_Subimage, cursor);
}

// Begin Step runs even when the resize event asked for a room change; the
// check comes after it.
TEST_F(StepTest, BeginStepRunsEvenWhenTheResizeEventAskedForARoomChange) {
    MakeObjects(1);
    GiveEvent(0, EVENT_DRAW, 65);
    GiveEvent(0, EVENT_STEP, STEP_BEGIN);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    a->i_persistent = true; // Begin Step is suppressed for others while a change is pending
    Action() = [](CInstance*, int type, int) {
        if (type == EVENT_DRAW) New_Room = 1;
    };
    Run_ResizeEvent(10, 10);
    DoAStep();
    EXPECT_EQ(Passes().back(), P::ApplyChanges);
    EXPECT_EQ(Passes()[Passes().size() - 2], P::BeginStep);
    ASSERT_EQ(Log().size(), 1u); // the Begin Step handler is suppressed by the pending change
    EXPECT_EQ(Log()[0].type, EVENT_DRAW);
}

TEST_F(StepTest, ResizeEventRemovesMarkedInstancesFirst) {
    MakeObjects(1);
    GiveEvent(0, EVENT_DRAW, 65);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    CInstance* b = Add(0, 0, 0);
    b->i_marked = true;
    Run_ResizeEvent(640, 480);
    DoAStep();
    EXPECT_EQ(Log(), (std::vector<LoggedEvent>{{EVENT_DRAW, 65, a->i_id}}));
    EXPECT_EQ(ActiveIds(), std::vector<int>{a->i_id});
}

// Created during the Step pass: no Step event that step, but End Step.
TEST_F(StepTest, InstanceCreatedDuringAPassIsNotVisitedByIt) {
    MakeObjects(1);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    GiveEvent(0, EVENT_STEP, STEP_END);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    CRoom* room = m_room.get();
    int created = -1;
    Action() = [&](CInstance*, int type, int subtype) {
        if (type == EVENT_STEP && subtype == STEP_NORMAL && created < 0)
            created = room->AddInstance(0, 0, 0)->i_id;
    };
    DoAStep();
    EXPECT_EQ(Log(), (std::vector<LoggedEvent>{{EVENT_STEP, STEP_NORMAL, a->i_id},
                                               {EVENT_STEP, STEP_END, a->i_id},
                                               {EVENT_STEP, STEP_END, created}}));
}

// An object change asked for in Begin Step is applied before the Step pass:
// the instance then gets its new object's Step event, not the old one's.
TEST_F(StepTest, ObjectChangeIsAppliedBetweenPasses) {
    MakeObjects(2);
    GiveEvent(0, EVENT_STEP, STEP_BEGIN);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    GiveEvent(1, EVENT_STEP, STEP_NORMAL);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    std::vector<int> listedDuringBegin;
    Action() = [&](CInstance* self, int type, int subtype) {
        if (type == EVENT_STEP && subtype == STEP_BEGIN) {
            self->ChangeObjectIndex(1);
            listedDuringBegin.push_back(Object_Data(0)->m_Instances.m_count);
        }
    };
    DoAStep();
    EXPECT_EQ(listedDuringBegin, std::vector<int>{1}); // still in the old type's list during the pass
    EXPECT_EQ(Object_Data(0)->m_Instances.m_count, 0);
    EXPECT_EQ(Object_Data(1)->m_Instances.m_count, 1);
    EXPECT_EQ(Log(), (std::vector<LoggedEvent>{{EVENT_STEP, STEP_BEGIN, a->i_id},
                                               {EVENT_STEP, STEP_NORMAL, a->i_id}}));
    EXPECT_EQ(g_InstanceChangeArray.m_count, 0);
}

// Depth changes: the list keeps its order during the pass and is re-sorted
// after it; an instance moved to the depth of three others goes after them,
// and instances moved together keep their request order.
TEST_F(StepTest, DepthChangesAreFiledAfterThePass) {
    MakeObjects(1);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    Create_Object_Lists();
    CInstance* d[6];
    const float depths[6] = {-10, 5, 5, 5, 20, 30};
    for (int k = 0; k < 6; ++k) {
        d[k] = Add(0, 0, 0);
        d[k]->i_depth = depths[k];
        m_room->MoveToDepth(d[k]);
    }
    std::vector<int> orderDuringPass;
    Action() = [&](CInstance* self, int, int) {
        if (self == d[5]) {
            d[0]->i_depth = 5; // three others stand at 5
            g_InstanceChangeDepth.AppendOnce(d[0]);
            d[4]->i_depth = 5;
            g_InstanceChangeDepth.AppendOnce(d[4]);
            orderDuringPass = ActiveIds();
        }
    };
    const std::vector<int> before = ActiveIds();
    DoAStep();
    EXPECT_EQ(orderDuringPass, before);
    EXPECT_EQ(ActiveIds(),
              (std::vector<int>{d[1]->i_id, d[2]->i_id, d[3]->i_id, d[0]->i_id, d[4]->i_id, d[5]->i_id}));
    EXPECT_EQ(d[0]->m_listDepth, 5.0f);
}

TEST_F(StepTest, DeactivatedInstanceIsNotRefiledByADepthChange) {
    MakeObjects(1);
    CInstance* a = Add(0, 0, 0);
    CInstance* b = Add(0, 0, 0);
    m_room->RemoveMarked();
    b->SetDeactivated(true);
    g_InstanceActivateDeactive.Append(b);
    UpdateActiveLists();
    ASSERT_EQ(ActiveIds(), std::vector<int>{a->i_id});
    b->i_depth = -100;
    g_InstanceChangeDepth.Append(b);
    ChangeInstanceDepths();
    EXPECT_EQ(ActiveIds(), std::vector<int>{a->i_id});
    EXPECT_EQ(m_room->m_deactiveCount, 1);
    EXPECT_EQ(g_InstanceChangeDepth.m_count, 0);
    EXPECT_EQ(g_InstanceActivateDeactive.m_count, 0);
}

// An instance destroyed in the same event that asks for its object and
// depth changes: the changes are applied after the pass, the instance is
// removed before drawing, and nothing touches it afterwards (ASan watches).
TEST_F(StepTest, DestroyedInstanceWithPendingChangesIsRemovedBeforeDrawing) {
    MakeObjects(2);
    GiveEvent(0, EVENT_STEP, STEP_END);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    CInstance* b = Add(0, 0, 0);
    const int bId = b->i_id;
    Action() = [&](CInstance* self, int, int) {
        if (self != a) return;
        b->ChangeObjectIndex(1);
        b->i_depth = -3;
        g_InstanceChangeDepth.AppendOnce(b);
        b->i_marked = true;
    };
    std::vector<int> atDraw;
    static std::vector<int>* s_atDraw = &atDraw;
    static CRoom* s_room = m_room.get();
    Step_SetObserver([](P pass) {
        if (pass == P::Draw)
            for (CInstance* i = s_room->m_pFirstActive; i != nullptr; i = i->m_pNext)
                s_atDraw->push_back(i->i_id);
    });
    DoAStep();
    EXPECT_EQ(atDraw, std::vector<int>{a->i_id});
    EXPECT_EQ(CInstance::Find(bId), nullptr);
    EXPECT_EQ(Object_Data(1)->m_Instances.m_count, 0);
    Action() = nullptr;
    DoAStep();
}

// Destroyed in one pass while its changes are still pending: removed at the
// drawing point with all three deferred lists purged before they are used.
TEST_F(StepTest, RemovalPurgesChangesStillPending) {
    MakeObjects(2);
    CInstance* a = Add(0, 0, 0);
    const int id = a->i_id;
    a->ChangeObjectIndex(1);
    g_InstanceChangeDepth.AppendOnce(a);
    g_InstanceActivateDeactive.Append(a);
    a->i_marked = true;
    m_room->RemoveMarked();
    EXPECT_EQ(CInstance::Find(id), nullptr);
    EXPECT_EQ(g_InstanceChangeArray.m_count, 0);
    EXPECT_EQ(g_InstanceChangeDepth.m_count, 0);
    EXPECT_EQ(g_InstanceActivateDeactive.m_count, 0);
    UpdateActiveLists();
}

TEST_F(StepTest, ActivationRequestsMoveInstancesBetweenTheLists) {
    MakeObjects(1);
    GiveEvent(0, EVENT_STEP, STEP_BEGIN);
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    CInstance* b = Add(0, 0, 0);
    Action() = [&](CInstance* self, int, int subtype) {
        if (self == a && subtype == STEP_BEGIN) {
            b->SetDeactivated(true);
            g_InstanceActivateDeactive.Append(b);
        }
    };
    DoAStep();
    // The passes skip b by its flag at once (its Begin Step turn came after
    // the request); the lists change after the pass.
    EXPECT_EQ(Log(), (std::vector<LoggedEvent>{{EVENT_STEP, STEP_BEGIN, a->i_id},
                                               {EVENT_STEP, STEP_NORMAL, a->i_id}}));
    EXPECT_EQ(ActiveIds(), std::vector<int>{a->i_id});
    EXPECT_EQ(m_room->m_pFirstDeactive, b);
}

// ---------------------------------------------------------------------------
// Animation.

struct AnimateCase {
    int sprite;
    float index;
    float speed;
    float expectedIndex;
    bool event;
};

TEST_F(StepTest, AnimationWrapsOnceAndRaisesAnimationEnd) {
    MakeObjects(1);
    GiveEvent(0, EVENT_OTHER, OTHER_ANIMATION_END);
    Create_Object_Lists();
    // Sprite 0 has 4 frames; -1 is no sprite (0 frames).
    const AnimateCase cases[] = {
        {0, 2.9f, 1.0f, 3.9f, false},                               // 3.9 truncates to 3: no wrap
        {0, 3.0f, 1.0f, 0.0f, true},                                // 4.0 wraps to 0
        {0, 0.0f, -1.0f, 3.0f, true},                               // -1 becomes n - 1
        {0, 1.0f, 0.0f, 1.0f, false}, {-1, 0.0f, 1.0f, 1.0f, true}, // no sprite: the event every step
        {-1, 0.0f, 0.0f, 0.0f, true},
    };
    for (const AnimateCase& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "sprite " << c.sprite << " index " << c.index << " speed " << c.speed);
        Log().clear();
        CInstance* i = Add(0, 0, 0);
        i->SetSpriteIndex(c.sprite);
        i->i_imageindex = c.index;
        i->i_imagespeed = c.speed;
        Instance_Animate(i);
        EXPECT_FLOAT_EQ(i->i_imageindex, c.expectedIndex);
        EXPECT_EQ(Log().size(), c.event ? 1u : 0u);
    }
}

// New-generation data scales the image speed by the sprite's playback speed,
// per game step (type 1) or per second of game time (60 steps a second here).
TEST_F(StepTest, SpritePlaybackSpeedScalesAnimation) {
    MakeObjects(1);
    const double savedRate = g_GameTimer.GetFrameRate();
    g_GameTimer.SetFrameRate(60.0);
    struct Case {
        bool newGeneration;
        float playback;
        int type;
        float expectedIndex;
    };
    const Case cases[] = {
        {true, 2.0f, 1, 1.0f},   // per step: 0.5 * 2
        {true, 30.0f, 0, 0.25f}, // per second: 0.5 * 30 / 60
        {false, 30.0f, 0, 0.5f}, // older data ignores the playback speed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "playback " << c.playback << " type " << c.type);
        g_isNimbar = c.newGeneration;
        m_sprites[1]->m_playbackSpeed = c.playback;
        m_sprites[1]->m_playbackSpeedType = c.type;
        CInstance* i = Add(0, 0, 0);
        i->SetSpriteIndex(1);
        i->i_imageindex = 0.0f;
        i->i_imagespeed = 0.5f;
        Instance_Animate(i);
        EXPECT_FLOAT_EQ(i->i_imageindex, c.expectedIndex);
    }
    g_GameTimer.SetFrameRate(savedRate);
}

TEST_F(StepTest, StepSavesPreviousPositionsBeforeMoving) {
    MakeObjects(1);
    CInstance* a = Add(10, 20, 0);
    a->i_hspeed = 2;
    a->i_vspeed = -1;
    a->i_pathposition = 0.25f;
    DoAStep();
    EXPECT_EQ(a->i_xprevious, 10.0f);
    EXPECT_EQ(a->i_yprevious, 20.0f);
    EXPECT_EQ(a->i_pathpositionprevious, 0.25f);
    EXPECT_EQ(a->i_x, 12.0f);
    EXPECT_EQ(a->i_y, 19.0f);
}

// Marked instances still move; instances created during the movement pass
// wait for the next step.
TEST_F(StepTest, MovementVisitsMarkedInstancesButNotNewOnes) {
    MakeObjects(1);
    CInstance* a = Add(0, 0, 0);
    a->i_hspeed = 1;
    a->i_marked = true;
    EXPECT_FALSE(HandleInstanceMovement(false));
    EXPECT_EQ(a->i_x, 1.0f);
    CInstance* b = Add(0, 0, 0);
    b->i_hspeed = 1;
    b->m_createCounter = CInstance::ms_CurrentCreateCounter + 1; // as if made during the pass
    HandleInstanceMovement(false);
    EXPECT_EQ(b->i_x, 0.0f);
}

TEST_F(StepTest, StepWithoutARoomRunsThePassesSafely) {
    Run_Room = nullptr;
    DoAStep();
    EXPECT_EQ(Passes().back(), P::ApplyChanges);
    Run_Room = m_room.get();
}

} // namespace
