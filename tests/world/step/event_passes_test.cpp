// The step's own event passes: alarms, Step events with inheritance, the
// outside-room, boundary and view events, and timeline moments.
#include <gtest/gtest.h>

#include <vector>

#include "step_fixture.h"
#include "world/objects/timeline.h"
#include "world/step/event_passes.h"

namespace {

class EventPassTest : public StepScene {
protected:
    void TearDown() override {
        TimeLine_Init();
        StepScene::TearDown();
    }

    std::vector<LoggedEvent> TakeLog() {
        std::vector<LoggedEvent> log = Log();
        Log().clear();
        return log;
    }
};

// ---------------------------------------------------------------------------
// Alarms.

TEST_F(EventPassTest, AlarmCountsDownAndFiresOnReachingZero) {
    MakeObjects(2);
    GiveEvent(0, EVENT_ALARM, 3);
    Create_Object_Lists();
    CInstance* one = Add(0, 0, 0);
    CInstance* zero = Add(0, 0, 0);
    CInstance* off = Add(0, 0, 0);
    CInstance* other = Add(0, 0, 1); // its object has no alarm 3: no count-down
    one->SetTimer(3, 1);
    zero->SetTimer(3, 0);
    other->SetTimer(3, 1);
    HandleAlarm();
    EXPECT_EQ(TakeLog(), (std::vector<LoggedEvent>{{EVENT_ALARM, 3, one->i_id}}));
    EXPECT_EQ(one->GetTimer(3), 0);
    EXPECT_EQ(zero->GetTimer(3), -1); // 0 becomes -1 silently
    EXPECT_EQ(off->GetTimer(3), -1);
    EXPECT_EQ(other->GetTimer(3), 1);
    HandleAlarm();
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(one->GetTimer(3), -1);
}

TEST_F(EventPassTest, AlarmsRunInAlarmOrderAndSkipMarkedAndDeactivated) {
    MakeObjects(1);
    GiveEvent(0, EVENT_ALARM, 0);
    GiveEvent(0, EVENT_ALARM, 11);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    CInstance* marked = Add(0, 0, 0);
    CInstance* asleep = Add(0, 0, 0);
    for (CInstance* i : {a, marked, asleep}) {
        i->SetTimer(11, 1);
        i->SetTimer(0, 1);
    }
    marked->i_marked = true;
    asleep->i_deactivated = true;
    HandleAlarm();
    EXPECT_EQ(TakeLog(), (std::vector<LoggedEvent>{{EVENT_ALARM, 0, a->i_id}, {EVENT_ALARM, 11, a->i_id}}));
    EXPECT_EQ(marked->GetTimer(0), 1);
}

// An alarm event that sets an alarm of an instance created inside it: the
// new instance is not counted down by the raising it was created in.
TEST_F(EventPassTest, InstanceCreatedByAnAlarmIsNotCountedDownByIt) {
    MakeObjects(1);
    GiveEvent(0, EVENT_ALARM, 0);
    Create_Object_Lists();
    CInstance* a = Add(0, 0, 0);
    a->SetTimer(0, 1);
    CRoom* room = m_room.get();
    CInstance* made = nullptr;
    Action() = [&](CInstance*, int, int) {
        made = room->AddInstance(0, 0, 0);
        made->SetTimer(0, 2);
    };
    HandleAlarm();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetTimer(0), 2);
}

// ---------------------------------------------------------------------------
// Step events and inheritance.

// A child inherits its parent's Step event and is listed for it itself; its
// instances get the event once, objects in ascending index, instances in
// creation order.
TEST_F(EventPassTest, InheritedStepRunsOncePerInstanceInObjectThenCreationOrder) {
    MakeObjects(3);
    Object_Data(2)->m_parentIndex = 0;
    Object_ResolveParents();
    GiveEvent(0, EVENT_STEP, STEP_NORMAL);
    GiveEvent(1, EVENT_STEP, STEP_NORMAL);
    Create_Object_Lists();
    CInstance* c1 = Add(0, 0, 2);
    CInstance* p = Add(0, 0, 0);
    CInstance* b = Add(0, 0, 1);
    CInstance* c2 = Add(0, 0, 2);
    HandleStep(STEP_NORMAL);
    EXPECT_EQ(TakeLog(), (std::vector<LoggedEvent>{{EVENT_STEP, 0, p->i_id},
                                                   {EVENT_STEP, 0, b->i_id},
                                                   {EVENT_STEP, 0, c1->i_id},
                                                   {EVENT_STEP, 0, c2->i_id}}));
}

// ---------------------------------------------------------------------------
// Room events.

TEST_F(EventPassTest, OutsideRoomFiresOnceForEachExit) {
    MakeObjects(1);
    GiveEvent(0, EVENT_OTHER, OTHER_OUTSIDE_ROOM);
    Create_Object_Lists();
    m_room->m_width = 100;
    m_room->m_height = 100;
    CInstance* a = Add(50, 50, 0); // no sprite: a point
    const int id = a->i_id;
    const struct {
        float x;
        bool event;
    } moves[] = {{50, false}, {-1, true},   {-20, false}, {100, false},
                 {101, true}, {150, false}, {0, false},   {-0.5f, true}};
    for (const auto& m : moves) {
        SCOPED_TRACE(m.x);
        a->i_x = m.x;
        HandleOther();
        const std::vector<LoggedEvent> expected =
            m.event ? std::vector<LoggedEvent>{{EVENT_OTHER, 0, id}} : std::vector<LoggedEvent>{};
        EXPECT_EQ(TakeLog(), expected);
    }
}

TEST_F(EventPassTest, BoundaryFiresEveryStepTheBoxIsNotWhollyInside) {
    MakeObjects(1);
    GiveEvent(0, EVENT_OTHER, OTHER_BOUNDARY);
    GiveEvent(0, EVENT_OTHER, OTHER_OUTSIDE_ROOM);
    Create_Object_Lists();
    m_room->m_width = 100;
    m_room->m_height = 100;
    CInstance* a = Add(50, 50, 0);
    a->SetSpriteIndex(0); // box 32 square around the origin 16, 16
    const int id = a->i_id;
    const struct {
        float x;
        std::vector<LoggedEvent> events;
    } cases[] = {
        {50, {}},
        {16, {}},                                            // left edge at 0
        {15, {{EVENT_OTHER, 1, id}}},                        // left edge at -1
        {-15, {{EVENT_OTHER, 1, id}}},                       // right edge at 0: touching, not outside
        {-16, {{EVENT_OTHER, 0, id}, {EVENT_OTHER, 1, id}}}, // wholly out: outside first
        {-40, {{EVENT_OTHER, 1, id}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        a->SetPosition(c.x, 50);
        HandleOther();
        EXPECT_EQ(TakeLog(), c.events);
    }
}

// An instance created by the outside-room event gets the later sub-passes'
// events in the same pass.
TEST_F(EventPassTest, InstanceCreatedBySubPassGetsTheLaterOnes) {
    MakeObjects(1);
    GiveEvent(0, EVENT_OTHER, OTHER_OUTSIDE_ROOM);
    GiveEvent(0, EVENT_OTHER, OTHER_BOUNDARY);
    Create_Object_Lists();
    m_room->m_width = 100;
    m_room->m_height = 100;
    CInstance* a = Add(-5, 50, 0);
    CRoom* room = m_room.get();
    int made = -1;
    Action() = [&](CInstance*, int, int subtype) {
        if (subtype == OTHER_OUTSIDE_ROOM && made < 0) made = room->AddInstance(-5, 50, 0)->i_id;
    };
    HandleOther();
    EXPECT_EQ(TakeLog(), (std::vector<LoggedEvent>{
                             {EVENT_OTHER, 0, a->i_id}, {EVENT_OTHER, 1, a->i_id}, {EVENT_OTHER, 1, made}}));
}

// ---------------------------------------------------------------------------
// View events.

class ViewEventTest : public EventPassTest {
protected:
    void SetUp() override {
        EventPassTest::SetUp();
        MakeObjects(1);
        GiveEvent(0, EVENT_OTHER, OTHER_OUTSIDE_VIEW0 + 1);
        GiveEvent(0, EVENT_OTHER, OTHER_BOUNDARY_VIEW0 + 1);
        Create_Object_Lists();
        m_room->m_width = 1000;
        m_room->m_height = 1000;
        m_room->m_enableViews = true;
        CViewVT& v = m_room->m_views[1];
        v.visible = true;
        v.xview = 100;
        v.yview = 100;
        v.wview = 200;
        v.hview = 200;
    }

    // The events one instance at (x, y) gets: 'o' outside, 'b' boundary.
    std::string EventsAt(float x, float y, int sprite) {
        CInstance* i = Add(x, y, 0);
        i->SetSpriteIndex(sprite);
        HandleOther();
        std::string events;
        for (const LoggedEvent& e : TakeLog())
            events += e.subtype == OTHER_OUTSIDE_VIEW0 + 1    ? 'o'
                      : e.subtype == OTHER_BOUNDARY_VIEW0 + 1 ? 'b'
                                                              : '?';
        i->i_marked = true;
        m_room->RemoveMarked();
        return events;
    }
};

TEST_F(ViewEventTest, UnrotatedViewTestsRectangles) {
    const struct {
        float x, y;
        int sprite;
        const char* events;
    } cases[] = {
        {200, 200, -1, ""}, {99, 200, -1, "o"},
        {300, 300, -1, ""}, {301, 200, -1, "o"}, // points: no boundary
        {200, 200, 0, ""},  {116, 200, 0, "b"},
        {117, 200, 0, ""},  {85, 200, 0, "b"}, // box 32 square
        {84, 200, 0, "o"},  {316, 316, 0, "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " sprite " << c.sprite);
        EXPECT_EQ(EventsAt(c.x, c.y, c.sprite), c.events);
    }
}

TEST_F(ViewEventTest, InvisibleViewOrDisabledViewsRaiseNothing) {
    m_room->m_views[1].visible = false;
    EXPECT_EQ(EventsAt(0, 0, -1), "");
    m_room->m_views[1].visible = true;
    m_room->m_enableViews = false;
    EXPECT_EQ(EventsAt(0, 0, -1), "");
}

// A view turned by 45 degrees: its bounding rectangle is larger than the
// view; points and boxes in the rectangle's corners are outside the view.
TEST_F(ViewEventTest, RotatedViewTestsItsQuadrilateral) {
    m_room->m_views[1].angle = 45;
    // Centre (200, 200), half diagonal 141.4: corners at the centre ± 141 on the axes.
    EXPECT_EQ(EventsAt(200, 200, -1), "");
    EXPECT_EQ(EventsAt(200, 70, -1), "");  // towards a corner of the diamond: inside
    EXPECT_EQ(EventsAt(80, 80, -1), "o");  // in the bounding rectangle, outside the diamond
    EXPECT_EQ(EventsAt(200, 200, 0), "");  // box wholly inside
    EXPECT_EQ(EventsAt(90, 90, 0), "o");   // box in the corner, beyond the edge
    EXPECT_EQ(EventsAt(120, 120, 0), "b"); // box across an edge
}

TEST_F(ViewEventTest, NegativeAngleCountsAsUnrotated) {
    m_room->m_views[1].angle = -30;
    EXPECT_EQ(EventsAt(105, 105, -1), "");
    EXPECT_EQ(EventsAt(99, 200, -1), "o");
}

// ---------------------------------------------------------------------------
// Timelines.

class TimeLineTest : public EventPassTest {
protected:
    void SetUp() override {
        EventPassTest::SetUp();
        MakeObjects(1);
        m_line = TimeLine_Add();
        ASSERT_GE(m_line, 0);
    }

    void AddMoment(int step) {
        static const SCompiledFunction kLogger = {"moment", nullptr, &StepScene::Logger};
        CEvent* event = TimeLine_Data(m_line)->AddMoment(step);
        ASSERT_NE(event, nullptr);
        event->m_pCode = new CCode(-1, false);
        event->m_pCode->m_pFunc = &kLogger;
        event->m_defined = true;
    }

    CInstance* Runner(float position, float speed, bool loop = false) {
        CInstance* i = Add(0, 0, 0);
        i->i_timelineindex = m_line;
        i->i_timelinerunning = true;
        i->i_timelineposition = position;
        i->i_timelinespeed = speed;
        i->i_timelineloop = loop;
        return i;
    }

    // The steps of the moments run by one pass.
    std::vector<int> Pass() {
        HandleTimeLine();
        std::vector<int> steps;
        for (const LoggedEvent& e : TakeLog()) {
            EXPECT_EQ(e.type, EVENT_TYPE_TIMELINE);
            steps.push_back(e.subtype);
        }
        return steps;
    }

    int m_line = -1;
};

TEST_F(TimeLineTest, ForwardPlayRunsEachMomentAsThePositionReachesIt) {
    AddMoment(0);
    AddMoment(5);
    AddMoment(10);
    CInstance* i = Runner(0, 1);
    std::vector<std::vector<int>> passes;
    for (int k = 0; k < 12; ++k) passes.push_back(Pass());
    EXPECT_EQ(passes[0], std::vector<int>{0});
    EXPECT_EQ(passes[5], std::vector<int>{5}); // the sixth pass
    EXPECT_EQ(passes[10], std::vector<int>{10});
    int total = 0;
    for (const auto& p : passes) total += static_cast<int>(p.size());
    EXPECT_EQ(total, 3);
    EXPECT_FLOAT_EQ(i->i_timelineposition, 12);
    EXPECT_FLOAT_EQ(i->i_timelineprevposition, 11);
}

TEST_F(TimeLineTest, FastForwardRunsEveryMomentPassedInOrder) {
    AddMoment(1);
    AddMoment(2);
    AddMoment(7);
    Runner(0, 5);
    EXPECT_EQ(Pass(), (std::vector<int>{1, 2}));
    EXPECT_EQ(Pass(), (std::vector<int>{7}));
}

// Playing backwards runs the moments passed in (p + s, p], descending, so
// that every moment runs once in this direction too.
TEST_F(TimeLineTest, BackwardPlayRunsThePassedMomentsDescending) {
    AddMoment(5);
    AddMoment(10);
    CInstance* i = Runner(12, -4);
    EXPECT_EQ(Pass(), (std::vector<int>{10}));
    EXPECT_FLOAT_EQ(i->i_timelineposition, 8);
    EXPECT_EQ(Pass(), (std::vector<int>{5}));
    EXPECT_EQ(Pass(), std::vector<int>{});
    CInstance* j = Runner(10, -1);
    i->i_timelinerunning = false;
    EXPECT_EQ(Pass(), (std::vector<int>{10}));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(Pass(), std::vector<int>{});
    EXPECT_EQ(Pass(), (std::vector<int>{5}));
    EXPECT_FLOAT_EQ(j->i_timelineposition, 4);
}

TEST_F(TimeLineTest, MomentThatSetsThePositionKeepsIt) {
    AddMoment(3);
    CInstance* i = Runner(3, 1);
    Action() = [](CInstance* self, int, int) { self->i_timelineposition = 100; };
    EXPECT_EQ(Pass(), (std::vector<int>{3}));
    EXPECT_FLOAT_EQ(i->i_timelineposition, 100);
    EXPECT_FLOAT_EQ(i->i_timelineprevposition, 3);
}

// At speed 0 a position a script moved forward runs the moments jumped over.
TEST_F(TimeLineTest, StoppedTimelineRunsMomentsBetweenPreviousAndSetPosition) {
    AddMoment(2);
    AddMoment(4);
    AddMoment(6);
    CInstance* i = Runner(0, 0);
    EXPECT_EQ(Pass(), std::vector<int>{});
    i->i_timelineposition = 5;
    EXPECT_EQ(Pass(), (std::vector<int>{2, 4}));
    EXPECT_FLOAT_EQ(i->i_timelineposition, 5);
}

TEST_F(TimeLineTest, LoopingWrapsAtEitherEnd) {
    AddMoment(0);
    AddMoment(2);
    CInstance* forward = Runner(2, 1, true);
    EXPECT_EQ(Pass(), (std::vector<int>{2}));
    EXPECT_FLOAT_EQ(forward->i_timelineposition, 0); // 3 > 2 wraps to 0
    EXPECT_EQ(Pass(), (std::vector<int>{0}));
    forward->i_timelinerunning = false;
    CInstance* backward = Runner(0, -1, true);
    EXPECT_EQ(Pass(), (std::vector<int>{0}));
    EXPECT_FLOAT_EQ(backward->i_timelineposition, 2); // -1 < 0 wraps to the last moment
}

TEST_F(TimeLineTest, NotRunningMissingOrEmptyTimelinesAreLeftAlone) {
    CInstance* empty = Runner(0, 1); // the timeline has no moments yet
    EXPECT_EQ(Pass(), std::vector<int>{});
    EXPECT_FLOAT_EQ(empty->i_timelineposition, 0);
    AddMoment(0);
    empty->i_timelineindex = 99;
    EXPECT_EQ(Pass(), std::vector<int>{});
    empty->i_timelineindex = m_line;
    empty->i_timelinerunning = false;
    EXPECT_EQ(Pass(), std::vector<int>{});
    empty->i_timelinerunning = true;
    EXPECT_EQ(Pass(), std::vector<int>{0});
}

TEST_F(TimeLineTest, MomentThatDeletesItsTimelineEndsSafely) {
    AddMoment(0);
    AddMoment(1);
    const int line = m_line;
    Runner(0, 5);
    Action() = [line](CInstance*, int, int) { TimeLine_Delete(line); };
    EXPECT_EQ(Pass(), std::vector<int>{0});
}

} // namespace
