// Object types and event dispatch on a data file made with the writer: the
// object records, inheritance (own, parent and collision-parent handlers),
// the current-event globals, the suppression rules, the nesting limit, the
// per-event lists and pairs, the instance iterator and event names. The
// compiled table's events log each call.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "code_chunks.h"
#include "core/code.h"
#include "core/error.h"
#include "core/game_image.h"
#include "core/run_state.h"
#include "core/script.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "room/room.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/datafile/options.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/objects/timeline.h"

namespace {

// ---------------------------------------------------------------------------
// The compiled table: event N logs itself with the current-event globals.

struct Call {
    int code;
    CInstance* self;
    int object;
    int type;
    int number;
    bool operator==(const Call& o) const {
        return code == o.code && self == o.self && object == o.object && type == o.type && number == o.number;
    }
};
std::vector<Call> g_calls;
int g_recursions = 0;

template <int N>
void LogEvent(CInstance* self, CInstance*) {
    g_calls.push_back({N, self, Current_Object, Current_Event_Type, Current_Event_Number});
}

// As "event_inherited": log, then run the parent's handler for the same event.
void Inherited(CInstance* self, CInstance* other) {
    g_calls.push_back({10, self, Current_Object, Current_Event_Type, Current_Event_Number});
    const CObjectVT* type = Object_Data(Current_Object);
    if (type != nullptr && Object_Exists(type->m_parentIndex))
        Perform_Event_Object(self, other, type->m_parentIndex, Current_Event_Type, Current_Event_Number);
}

// Raises itself again: only the nesting limit stops it.
void Recurse(CInstance* self, CInstance* other) {
    ++g_recursions;
    Perform_Event(self, other, EVENT_OTHER, EVENT_OTHER_USER0);
}

ZQRValue& ScriptMoment(CInstance* self, CInstance*, ZQRValue& result, int, ZQRValue**) {
    g_calls.push_back({12, self, Current_Object, Current_Event_Type, Current_Event_Number});
    return result;
}

const SCompiledFunction kCode[] = {
    {"e0", nullptr, LogEvent<0>},
    {"e1", nullptr, LogEvent<1>},
    {"e2", nullptr, LogEvent<2>},
    {"e3", nullptr, LogEvent<3>},
    {"e4", nullptr, LogEvent<4>},
    {"e5", nullptr, LogEvent<5>},
    {"e6", nullptr, LogEvent<6>},
    {"e7", nullptr, LogEvent<7>},
    {"e8", nullptr, LogEvent<8>},
    {"e9", nullptr, LogEvent<9>},
    {"inherited", nullptr, Inherited},
    {"recurse", nullptr, Recurse},
    {"vtl_Script_scr_moment", ScriptMoment, nullptr},
};

void FillRecord(SLLVMVars* v) {
    static SNameIdRecord* none[] = {nullptr};
    v->nCodeEntries = sizeof kCode / sizeof kCode[0];
    v->ppVars = none;
    v->ppFuncs = none;
    v->pCodeFunctions = kCode;
}

// The message of the error shown last ("" when none since the last take),
// and the error state cleared so that the next one is shown too.
std::string TakeShownError(ErrorCapture& errors) {
    const std::string message = ErrorReportMessage(errors.LastShown());
    errors.Clear();
    aborterror = false;
    New_Room = ROOM_NONE;
    return message;
}

enum Obj { G = 0, P = 1, C = 2, A = 3, B = 4, W = 5, D = 6, Empty = 7, B2 = 8, kSlots = 9 };

wad::ObjectFields Object(const char* name, int parent, std::vector<std::vector<wad::EventFields>> events) {
    wad::ObjectFields o;
    o.name = name;
    o.parent = parent;
    o.events = std::move(events);
    return o;
}

// G <- P <- C, P <- B, P <- B2. Create runs the inherited chain; Step lives
// in G only; C overrides Begin Step. A collides with P (so with B through
// B's parent), with B2 itself and with W. D holds the rest.
std::vector<std::optional<wad::ObjectFields>> Objects() {
    std::vector<std::optional<wad::ObjectFields>> o(kSlots);
    o[G] = Object("obj_grand", -1, {{{0, 10}}, {}, {}, {{0, 0}}});
    o[G]->spriteWord = 0xFFFFFFFFu;
    o[P] = Object("obj_parent", G, {{{0, 10}}});
    o[P]->spriteWord = 0x80000005u;
    o[C] = Object("obj_child", P, {{{0, 10}}, {}, {}, {{1, 2}}});
    o[C]->spriteWord = 0x10000003u;
    o[A] = Object("obj_a", -1, {{}, {}, {}, {}, {{P, 3}, {W, 4}, {B2, 9}}});
    o[B] = Object("obj_b", P, {});
    o[W] = Object("obj_wall", -1, {});
    o[W]->solid = 1;
    o[W]->visible = 0;
    o[W]->depth = -7;
    o[W]->mask = 2;
    o[D] = Object("obj_d", -1,
                  {{},
                   {{0, 7}},
                   {},
                   {{0, 8}},
                   {},
                   {{200, 5}},
                   {},
                   {{EVENT_OTHER_USER0, 11}},
                   {},
                   {},
                   {},
                   {},
                   {{0, 6}}});
    o[B2] = Object("obj_b2", P, {});
    return o;
}

wad::GameDataWriter GameData(uint8_t version, const std::vector<std::optional<wad::ObjectFields>>& objects,
                             const std::vector<std::optional<wad::TimeLineFields>>& timelines = {}) {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.version = version;
    wad::WriteHeader(w, header);
    wad::ScriptFields moment;
    moment.name = "scr_moment";
    moment.codeIndex = 12;
    wad::WriteScripts(w, {std::nullopt, std::nullopt, std::nullopt, moment});
    wad::WriteObjects(w, objects, version);
    if (!timelines.empty()) wad::WriteTimeLines(w, timelines);
    return w;
}

class ObjectEvents : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        g_calls.clear();
        g_recursions = 0;
        Code_LoadCompiledRecord(FillRecord);
    }
    void TearDown() override {
        Run_Room = nullptr;
        m_room.reset();
        FINALIZE_Object_Lists();
        Code_UnbindGameData();
        Object_Init();
        TimeLine_Init();
        Script_Init();
        Code_LoadCompiledRecord(nullptr);
        New_Room = ROOM_NONE;
        Code_Error_Occured = false;
        option_use_fast_collision = false;
    }

    bool Load(const wad::GameDataWriter& w) {
        m_image = w.Build();
        return GetResolution(m_image.data(), m_image.size()) && LoadGameData(m_image.data(), m_image.size());
    }
    void LoadObjects() {
        ASSERT_TRUE(Load(GameData(14, Objects()))) << GameData_LastError();
        ASSERT_TRUE(Object_Prepare());
        m_room = std::make_unique<CRoom>();
        Run_Room = m_room.get();
    }
    CInstance* Make(int object) { return m_room->AddInstance(0, 0, object); }

    std::vector<uint8_t> m_image;
    std::unique_ptr<CRoom> m_room;
};

// ---------------------------------------------------------------------------
// Loading.

TEST_F(ObjectEvents, RecordsLoadWithParentsFlagsAndSprites) {
    LoadObjects();
    EXPECT_EQ(g_ObjectNumber, kSlots);
    EXPECT_FALSE(Object_Exists(Empty));
    EXPECT_STREQ(Object_Name(Empty), "<undefined>");
    EXPECT_EQ(Object_Find("obj_wall"), W);
    EXPECT_EQ(Object_Find("obj_none"), -1);

    EXPECT_EQ(Object_Data(G)->m_spriteIndex, -1);
    EXPECT_EQ(Object_Data(P)->m_spriteIndex, 5);
    EXPECT_EQ(Object_Data(C)->m_spriteIndex, 0x10000003);
    EXPECT_EQ(Object_Data(C)->m_pParent, Object_Data(P));
    EXPECT_EQ(Object_Data(P)->m_pParent, Object_Data(G));
    EXPECT_EQ(Object_Data(G)->m_pParent, nullptr);
    EXPECT_TRUE(Object_Data(C)->IsDecendentOf(G));
    EXPECT_FALSE(Object_Data(G)->IsDecendentOf(C));

    const CObjectVT* wall = Object_Data(W);
    EXPECT_EQ(wall->m_flags, OBJECT_FLAG_SOLID | OBJECT_FLAG_COLLISIONS);
    EXPECT_EQ(wall->m_depth, -7);
    EXPECT_EQ(wall->m_maskIndex, 2);
    EXPECT_EQ(Object_Data(G)->m_flags, OBJECT_FLAGS_DEFAULT);

    EXPECT_EQ(Object_Add(), kSlots);
    EXPECT_STREQ(Object_Name(kSlots), "__newobject9");
    Object_Delete(P);
    EXPECT_FALSE(Object_Exists(P));
    EXPECT_EQ(Object_Data(C)->m_pParent, nullptr) << "no pointer to a deleted parent survives";
}

TEST_F(ObjectEvents, PhysicsBlockFollowsTheFormatVersion) {
    struct Case {
        uint8_t version;
        bool physics;
        float friction;
        bool awake;
        bool kinematic;
        int points;
    };
    for (const Case& c : {Case{5, false, 0.0f, false, false, 0}, Case{8, true, 0.2f, true, false, 2},
                          Case{14, true, 0.7f, false, true, 2}}) {
        SCOPED_TRACE(c.version);
        wad::ObjectFields o = Object("obj_body", -1, {{{0, 0}}});
        o.physics = 1;
        o.friction = 0.7f;
        o.awake = 0;
        o.kinematic = 1;
        o.points = {{1, 2}, {3, 4}};
        ASSERT_TRUE(Load(GameData(c.version, {o}))) << GameData_LastError();
        const CObjectVT* type = Object_Data(0);
        ASSERT_NE(type, nullptr);
        EXPECT_EQ(type->m_physicsObject, c.physics);
        EXPECT_EQ(type->m_physicsShapeVerticesCount, c.points);
        if (c.version >= 6) {
            EXPECT_FLOAT_EQ(type->m_physicsFriction, c.friction);
            EXPECT_EQ(type->m_physicsAwake, c.awake);
            EXPECT_EQ(type->m_physicsKinematic, c.kinematic);
            EXPECT_FLOAT_EQ(type->m_pPhysicsShapeVertices[3], 4.0f);
        }
        EXPECT_NE(type->GetEventDirect(EVENT_CREATE, 0), nullptr) << "the event list follows the block";
        Code_UnbindGameData();
    }
}

TEST_F(ObjectEvents, DamagedRecordsAreRefused) {
    struct Case {
        const char* what;
        std::optional<uint32_t> typeCount;
        int type;
        int32_t subtype;
    };
    for (const Case& c :
         {Case{"sixteen event types", 16u, 0, 0}, Case{"key subtype 256", std::nullopt, 5, 256},
          Case{"negative subtype", std::nullopt, 3, -1},
          Case{"collision with a slot beyond the chunk", std::nullopt, 4, 2}}) {
        SCOPED_TRACE(c.what);
        wad::ObjectFields o = Object("obj_bad", -1, {});
        o.events.resize(static_cast<size_t>(c.type) + 1);
        o.events[static_cast<size_t>(c.type)] = {{c.subtype, 0}};
        o.typeCount = c.typeCount;
        EXPECT_FALSE(Load(GameData(14, {o, Object("obj_ok", -1, {})})));
        EXPECT_NE(std::string(GameData_LastError()).find("OBJT"), std::string::npos) << GameData_LastError();
        EXPECT_EQ(g_ObjectNumber, 0);
        Code_UnbindGameData();
    }
}

TEST_F(ObjectEvents, ADamagedChunkLeavesTheTableAsItWas) {
    LoadObjects();
    wad::ObjectFields bad = Object("obj_bad", -1, {{}, {}, {}, {{0, 0}, {300, 0}}});
    std::vector<uint8_t> image = GameData(14, {bad}).Build();
    size_t at = 0;
    while (at + 8 <= image.size() && std::memcmp(image.data() + at, "OBJT", 4) != 0) ++at;
    ASSERT_LT(at + 8, image.size());
    uint32_t size;
    std::memcpy(&size, image.data() + at + 4, 4);
    ImageReader chunk(image.data(), image.size(), at + 8, at + 8 + size, "OBJT");
    EXPECT_THROW(Object_Load(chunk), GameDataError);
    EXPECT_EQ(g_ObjectNumber, kSlots);
    EXPECT_EQ(Object_Find("obj_bad"), -1);
    EXPECT_EQ(Object_Find("obj_child"), C);
}

// ---------------------------------------------------------------------------
// Dispatch.

TEST_F(ObjectEvents, InheritedAndOverriddenEventsRunInOrder) {
    LoadObjects();
    CInstance* child = Make(C);
    Current_Object = -5;
    // Create is defined on all three; each handler calls its parent's.
    Perform_Event(child, child, EVENT_CREATE, 0);
    // Step is only in the grandparent: it runs with that object current.
    Perform_Event(child, child, EVENT_STEP, 0);
    // Begin Step is the child's own.
    Perform_Event(child, child, EVENT_STEP, 1);
    // End Step is nowhere: nothing runs.
    Perform_Event(child, child, EVENT_STEP, 2);
    const std::vector<Call> expected = {{10, child, C, 0, 0},
                                        {10, child, P, 0, 0},
                                        {10, child, G, 0, 0},
                                        {0, child, G, 3, 0},
                                        {2, child, C, 3, 1}};
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(Current_Object, -5) << "the globals are restored";
    EXPECT_EQ(Event_NestingDepth(), 0);

    int found = -1;
    EXPECT_EQ(Find_Event(C, EVENT_STEP, 0, &found), Object_Data(G)->GetEventDirect(EVENT_STEP, 0));
    EXPECT_EQ(found, G);
    EXPECT_EQ(Find_Event(Empty, EVENT_STEP, 0, &found), nullptr);
}

TEST_F(ObjectEvents, CollisionsFindTheOtherObjectsAncestors) {
    LoadObjects();
    CInstance* a = Make(A);
    for (int other : {B, B2, W, C, G}) Perform_Event_Object(a, a, A, EVENT_COLLISION, other);
    // B through its parent P; B2 by A's own handler; W directly; C through P
    // (its nearest ancestor with a handler); G has none.
    const std::vector<int> codes = {3, 9, 4, 3};
    ASSERT_EQ(g_calls.size(), codes.size());
    for (size_t i = 0; i < codes.size(); ++i) EXPECT_EQ(g_calls[i].code, codes[i]);
    EXPECT_EQ(g_calls[0].number, B) << "the subtype stays the other object";

    // The pairs: one per unordered pair of types with a collision handler.
    Create_Object_Lists();
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < obj_col_numb; ++i)
        pairs.emplace_back(obj_col_pairs[i].m_first, obj_col_pairs[i].m_second);
    EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{A, P}, {A, C}, {A, B}, {A, W}, {A, B2}}));
    EXPECT_NE(Object_Data(W)->m_flags & OBJECT_FLAG_HAS_COLLISION, 0u);
    EXPECT_EQ(Object_Data(G)->m_flags & OBJECT_FLAG_HAS_COLLISION, 0u);
    Create_Object_Lists();
    EXPECT_EQ(obj_col_numb, 5) << "a rebuild starts afresh";
}

TEST_F(ObjectEvents, PendingRoomChangeAndCleanUpSuppressEvents) {
    LoadObjects();
    CInstance* d = Make(D);
    struct Case {
        int type;
        int subtype;
        bool persistentInstance;
        bool persistentRoom;
        bool runs;
    };
    New_Room = 3;
    for (const Case& c :
         {Case{EVENT_STEP, 0, false, false, false}, Case{EVENT_DESTROY, 0, false, false, false},
          Case{EVENT_DESTROY, 0, true, false, true}, Case{EVENT_DESTROY, 0, false, true, true},
          Case{EVENT_STEP, 0, true, true, false}, Case{EVENT_KEYBOARD, 200, true, false, false}}) {
        SCOPED_TRACE(testing::Message()
                     << c.type << " instance " << c.persistentInstance << " room " << c.persistentRoom);
        g_calls.clear();
        d->i_persistent = c.persistentInstance;
        m_room->m_persistent = c.persistentRoom;
        Perform_Event(d, d, c.type, c.subtype);
        EXPECT_EQ(g_calls.size(), c.runs ? 1u : 0u);
    }
    // Asynchronous dispatch ignores the pending change.
    g_calls.clear();
    Perform_Event_Object_ASync(d, d, D, EVENT_STEP, 0);
    EXPECT_EQ(g_calls.size(), 1u);

    New_Room = ROOM_NONE;
    g_calls.clear();
    Code_Error_Occured = true;
    Perform_Event(d, d, EVENT_CLEANUP, 0);
    EXPECT_TRUE(g_calls.empty()) << "no Clean Up after an error";
    Code_Error_Occured = false;
    Perform_Event(d, d, EVENT_CLEANUP, 0);
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(ObjectEvents, TheThirtyThirdNestedDispatchIsRefused) {
    LoadObjects();
    ErrorCapture errors;
    Event_InstallErrorNames();
    CInstance* d = Make(D);
    Perform_Event(d, d, EVENT_OTHER, EVENT_OTHER_USER0);
    EXPECT_EQ(g_recursions, EVENT_MAX_NESTING);
    EXPECT_TRUE(errors.ShownContains("of Other Event: User Defined 0\nfor object obj_d:"))
        << errors.LastShown();
    EXPECT_EQ(TakeShownError(errors),
              "PerformEvent recursion depth failure - check for infinite loops, check objects for parenting");
    EXPECT_EQ(TakeShownError(errors), "");
    EXPECT_EQ(Event_NestingDepth(), 0);
}

TEST_F(ObjectEvents, InvalidEventArgumentsAreReported) {
    LoadObjects();
    ErrorCapture errors;
    CInstance* d = Make(D);
    Perform_Event(d, d, 15, 0);
    EXPECT_EQ(TakeShownError(errors), "Invalid event argument");
    Perform_Event(d, d, EVENT_STEP, -1);
    EXPECT_EQ(TakeShownError(errors), "Invalid event argument");
    EXPECT_EQ(Object_Data(D)->GetEventRecursive(-1, 0), nullptr);
    EXPECT_EQ(TakeShownError(errors), "Invalid event argument");
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(ObjectEvents, AllInstancesSkipsDestroyedAndDeactivatedOnes) {
    LoadObjects();
    CInstance* first = Make(D);
    CInstance* marked = Make(D);
    CInstance* off = Make(D);
    CInstance* last = Make(D);
    marked->i_marked = true;
    off->i_deactivated = true;
    Perform_Event_All(EVENT_STEP, 0);
    ASSERT_EQ(g_calls.size(), 2u);
    EXPECT_EQ(g_calls[0].self, first);
    EXPECT_EQ(g_calls[1].self, last);
    g_calls.clear();
    New_Room = 2;
    Perform_Event_All(EVENT_DESTROY, 0);
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(ObjectEvents, RunTimeChangesAndParentCyclesAreSafe) {
    LoadObjects();
    CInstance* d = Make(D);
    // An entry made at run time is empty: lookups pass over it.
    ASSERT_NE(Object_Data(D)->ZQCreateEvent(EVENT_ALARM, 4), nullptr);
    EXPECT_EQ(Object_Data(D)->GetEventDirect(EVENT_ALARM, 4), nullptr);
    EXPECT_EQ(Object_Data(D)->m_eventCount[EVENT_ALARM], 5);
    EXPECT_EQ(Object_Data(D)->ZQCreateEvent(EVENT_TYPE_COUNT, 0), nullptr);
    Perform_Event(d, d, EVENT_ALARM, 4);
    EXPECT_TRUE(g_calls.empty());

    // A parent cycle ends every walk.
    Object_Data(G)->m_parentIndex = C;
    Object_ResolveParents();
    EXPECT_EQ(Find_Event(C, EVENT_STEP, 2, nullptr), nullptr);
    EXPECT_FALSE(Object_Data(C)->HasEventRecursive(EVENT_DRAW, 0));
    EXPECT_FALSE(Object_Data(C)->IsDecendentOf(W));
    Perform_Event_Object(Make(A), nullptr, A, EVENT_COLLISION, B);
    EXPECT_EQ(g_calls.size(), 1u);

    // Deleting a type with live instances leaves them detached, not dangling.
    CInstance* child = Make(C);
    Object_Delete(C);
    EXPECT_EQ(child->m_pObject, nullptr);
    EXPECT_EQ(Object_Data(P)->m_InstancesRecursive.m_count, 0);
    Object_ClearAllInstanceInfo();
    EXPECT_EQ(Object_Data(D)->m_Instances.m_count, 0);
}

TEST_F(ObjectEvents, FastCollisionsMarkTypesWithoutPairs) {
    LoadObjects();
    option_use_fast_collision = true;
    Create_Object_Lists();
    EXPECT_EQ(obj_col_numb, 0);
    for (int i : {A, P, C, B, W, B2}) EXPECT_NE(Object_Data(i)->m_flags & OBJECT_FLAG_HAS_COLLISION, 0u) << i;
    EXPECT_EQ(Object_Data(D)->m_flags & OBJECT_FLAG_HAS_COLLISION, 0u);
}

// ---------------------------------------------------------------------------
// Lists, iteration and names.

TEST_F(ObjectEvents, PerEventListsHoldInheritingObjectsForEveryKey) {
    LoadObjects();
    Create_Object_Lists();
    // G with its four descendants, and D's own.
    EXPECT_EQ(std::vector<int32_t>(obj_has_event[EVENT_STEP][0],
                                   obj_has_event[EVENT_STEP][0] + obj_numb_event[EVENT_STEP][0]),
              (std::vector<int32_t>{G, P, C, B, D, B2}));
    ASSERT_EQ(obj_numb_event[EVENT_STEP][1], 1);
    EXPECT_EQ(obj_has_event[EVENT_STEP][1][0], C);
    ASSERT_EQ(obj_numb_event[EVENT_KEYBOARD][200], 1) << "keys above 128 have lists";
    EXPECT_EQ(obj_has_event[EVENT_KEYBOARD][200][0], D);
    EXPECT_EQ(obj_numb_event[EVENT_COLLISION][P], 0);
    EXPECT_EQ(obj_numb_event[EVENT_CLEANUP][0], 0);
}

TEST_F(ObjectEvents, ManyEmptySlotsAreLookedAtOnceWhenTheListsAreBuilt) {
    // The usual types followed by 400,000 declared empty slots: the lists and
    // pairs come from the types that exist. Built slot by slot for every
    // listed event this took minutes here; it is not timed.
    std::vector<std::optional<wad::ObjectFields>> objects = Objects();
    objects.resize(objects.size() + 400000);
    ASSERT_TRUE(Load(GameData(14, objects))) << GameData_LastError();
    ASSERT_TRUE(Object_Prepare());
    Create_Object_Lists();
    EXPECT_EQ(std::vector<int32_t>(obj_has_event[EVENT_STEP][0],
                                   obj_has_event[EVENT_STEP][0] + obj_numb_event[EVENT_STEP][0]),
              (std::vector<int32_t>{G, P, C, B, D, B2}));
    EXPECT_EQ(obj_numb_event[EVENT_KEYBOARD][200], 1);
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < obj_col_numb; ++i)
        pairs.emplace_back(obj_col_pairs[i].m_first, obj_col_pairs[i].m_second);
    EXPECT_EQ(pairs, (std::vector<std::pair<int, int>>{{A, P}, {A, C}, {A, B}, {A, W}, {A, B2}}));
}

TEST_F(ObjectEvents, IteratorVisitsDescendantsPendingAndDeactivatedInstances) {
    LoadObjects();
    CInstance* child = Make(C);
    CInstance* b = Make(B);
    CInstance* g = Make(G);
    CInstance* wall = Make(W);
    CInstance* pending = Make(W);
    pending->SetObjectIndex(P, false);
    g_InstanceChangeArray.Append(pending);
    b->i_deactivated = true;
    m_room->UpdateActive();
    auto visit = [&](int target, bool deactivated) {
        std::vector<CInstance*> seen;
        for (WithObjIterator it(target, wall, g, deactivated); *it != nullptr; it.Next()) seen.push_back(*it);
        return seen;
    };
    // Deactivated b left the inclusive list; only the deactivated walk finds it.
    EXPECT_EQ(visit(P, false), (std::vector<CInstance*>{child, pending}));
    EXPECT_EQ(visit(P, true), (std::vector<CInstance*>{child, pending, b}));
    EXPECT_EQ(visit(-1, false), std::vector<CInstance*>{wall});
    EXPECT_EQ(visit(-2, false), std::vector<CInstance*>{g});
    EXPECT_EQ(visit(-3, false).size(), 4u);
    EXPECT_EQ(visit(child->i_id, false), std::vector<CInstance*>{child});
    EXPECT_TRUE(visit(Empty, true).empty());
    EXPECT_TRUE(visit(999999, false).empty());
    g_InstanceChangeArray.Clear();
}

TEST_F(ObjectEvents, EventsAreNamed) {
    LoadObjects();
    struct Case {
        int type;
        int subtype;
        const char* full;
        const char* brief;
    };
    const Case cases[] = {
        {0, 0, "Create Event", "Create"},
        {2, 3, "Alarm Event for alarm 3", "Alarm 3"},
        {3, 1, " Step Event1", "BeginStep"},
        {3, 0, " Step Event0", "Step"},
        {4, W, "Collision Event with obj_wall", "obj_wall"},
        {5, 65, "Keyboard Event for A-key Key", "A-key"},
        {5, 300, "Keyboard Event for <unknown> Key", "<unknown>"},
        {6, 22, "Mouse Event for Joystick 1 Button 2", "Joystick 1 Button 2"},
        {6, -1, "Mouse Event for <unknown>", "<unknown>"},
        {7, 25, "Other Event: User Defined 15", "User Defined 15"},
        {7, 59, "Other Event: <unknown>", "<unknown>"},
        {7, 67, "Async Event: Cloud", "Cloud"},
        {7, 66, "Async Event: <unknown>", "<unknown>"},
        {8, 64, "Draw Event", "Draw"},
        {9, 113, "Key Press Event for F2 Key", "press F2"},
        {10, 100, "Key Release Event for Keypad-4 Key", "release Keypad-4"},
        {12, 0, "<Unknown Event>", "<Unknown Event>"},
        {14, 0, "PreCreate Event", "PreCreate"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(Get_Event_Name(c.type, c.subtype), c.full);
        EXPECT_STREQ(Get_Event_Name_Short(c.type, c.subtype), c.brief);
    }
    EXPECT_STREQ(KeyToStr(123), "F12");
    EXPECT_STREQ(KeyToStr(1), "<any key>");

    // A long object name does not overflow the shared buffer.
    const std::string longName(2000, 'n');
    const int index = Object_Add();
    Object_Data(index)->SetName(longName.c_str());
    EXPECT_EQ(std::string(Get_Event_Name(EVENT_COLLISION, index)), "Collision Event with " + longName);
    EXPECT_EQ(std::string(Get_Event_Name_Short(EVENT_COLLISION, index)), longName);
}

// ---------------------------------------------------------------------------
// Timelines.

std::vector<std::optional<wad::TimeLineFields>> TimeLines() {
    wad::TimeLineFields main;
    main.name = "tl_main";
    main.moments = {{0, 0}, {5, 1}, {10, 2}};
    wad::TimeLineFields bare;
    bare.name = "tl_bare";
    return {main, std::nullopt, bare};
}

TEST_F(ObjectEvents, TimelinesLoadSearchAndChange) {
    ASSERT_TRUE(Load(GameData(14, Objects(), TimeLines()))) << GameData_LastError();
    EXPECT_EQ(TimeLine_Number(), 3);
    EXPECT_FALSE(TimeLine_Exists(1));
    EXPECT_STREQ(TimeLine_Name(1), "<undefined>");
    EXPECT_STREQ(TimeLine_Name(-1), "<undefined>");
    EXPECT_EQ(TimeLine_Find("tl_bare"), 2);
    CTimeLine* line = TimeLine_Data(0);
    ASSERT_NE(line, nullptr);
    ASSERT_TRUE(TimeLine_Prepare());

    EXPECT_EQ(line->FindLarger(4.5), 1);
    EXPECT_EQ(line->FindLarger(10), 2);
    EXPECT_EQ(line->FindLarger(11), 3);
    EXPECT_EQ(line->FindSmaller(4.5), 0);
    EXPECT_EQ(line->FindSmaller(-1), -1);
    EXPECT_EQ(TimeLine_Data(2)->FindLarger(3), 0);
    EXPECT_EQ(TimeLine_Data(2)->FindSmaller(3), -1);

    EXPECT_EQ(line->AddMomentScript(7, 3), 2);
    EXPECT_EQ(line->AddMomentScript(7, 1), -1) << "one moment per step";
    EXPECT_EQ(line->GetEvent(2), 7u);
    EXPECT_EQ(line->AddMoment(5), nullptr);
    const TimeLineEntry atFive = line->GetEvent(1);
    line->DeleteMoment(0);
    ASSERT_EQ(line->GetCount(), 3);
    EXPECT_EQ(line->GetStep(0), 5);
    EXPECT_EQ(line->GetEvent(0), atFive);
    EXPECT_EQ(line->GetStep(1), 7);
    EXPECT_EQ(line->GetStep(2), 10);

    EXPECT_EQ(TimeLine_Add(), 3);
    EXPECT_STREQ(TimeLine_Name(3), "__newtimeline3");
    EXPECT_TRUE(TimeLine_Delete(2));
    EXPECT_FALSE(TimeLine_Delete(2));
    EXPECT_EQ(TimeLine_Find("tl_bare"), -1);
    EXPECT_EQ(TimeLine_Add(), 4);
}

TEST_F(ObjectEvents, TimelineMomentsRunEventsAndScripts) {
    ASSERT_TRUE(Load(GameData(14, Objects(), TimeLines()))) << GameData_LastError();
    ASSERT_TRUE(Script_Prepare());
    m_room = std::make_unique<CRoom>();
    Run_Room = m_room.get();
    CInstance* d = Make(D);
    TimeLine_Data(0)->AddMomentScript(7, 3);
    Current_Object = -5;
    Perform_Event_TimeLine(d, d, 0, 1); // step 5: code 1
    Perform_Event_TimeLine(d, d, 0, 2); // step 7: script 3
    Perform_Event_TimeLine(d, d, 0, 9); // no such moment
    Perform_Event_TimeLine(d, d, 1, 0); // no such timeline
    const std::vector<Call> expected = {{1, d, 0, EVENT_TYPE_TIMELINE, 5},
                                        {12, d, 0, EVENT_TYPE_TIMELINE, 7}};
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(Current_Object, -5);
    New_Room = 1;
    Perform_Event_TimeLine(d, d, 0, 1);
    EXPECT_EQ(g_calls.size(), 2u);
}

TEST_F(ObjectEvents, DamagedTimelinesAreRefused) {
    std::vector<std::optional<wad::TimeLineFields>> lines = TimeLines();
    lines[0]->moments = {{5, 0}, {5, 1}};
    EXPECT_FALSE(Load(GameData(14, {}, lines)));
    EXPECT_NE(std::string(GameData_LastError()).find("TMLN"), std::string::npos) << GameData_LastError();
    EXPECT_EQ(TimeLine_Number(), 0);
}

} // namespace
