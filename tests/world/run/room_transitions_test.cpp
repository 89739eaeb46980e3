// Rooms entered and left on a writer-made game whose events are small
// compiled functions of this test: the creation order, persistent instances
// and rooms, Room End with the pending change set aside, refused room
// indices, and the whole start sequence run headless in a child process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "code_chunks.h"
#include "core/code.h"
#include "core/console.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/ref_string.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/stack_trace.h"
#include "core/variables.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "object_chunk.h"
#include "room/room.h"
#include "room/room_table.h"
#include "room_chunk.h"
#include "temp_path.h"
#include "world/builtins/room_control.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"
#include "world/instances/instance.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/run/game_prepare.h"
#include "world/run/room_transitions.h"
#include "world/run/startup.h"

namespace {

// ---------------------------------------------------------------------------
// The compiled game: every event appends its name to the log.

std::vector<std::string> g_log;
// Set in the headless child, whose log the parent reads from standard error.
bool g_printLog = false;
// What the Room End event of obj_a asks for (ROOM_NONE: nothing).
int32_t g_roomEndRequest = ROOM_NONE;
// What the Create event of obj_a asks for (ROOM_NONE: nothing).
int32_t g_createRequest = ROOM_NONE;

void Log(const std::string& entry) {
    g_log.push_back(entry);
}

std::string Joined() {
    std::string text;
    for (const std::string& entry : g_log) text += entry + ",";
    return text;
}

void RoomCode(CInstance*, CInstance*) {
    Log("room_code" + std::to_string(Current_Room));
    // A headless run ends right after this; its log goes to standard error
    // for the parent to read.
    if (g_printLog) std::fprintf(stderr, "log:%s\n", Joined().c_str());
}
void ACreate(CInstance* self, CInstance*) {
    Log("a_create" + std::to_string(self->i_id));
    if (g_createRequest != ROOM_NONE) New_Room = g_createRequest;
    g_createRequest = ROOM_NONE;
}
void AGameStart(CInstance*, CInstance*) {
    Log("a_game_start");
}
void ARoomStart(CInstance*, CInstance*) {
    Log("a_room_start");
}
void ARoomEnd(CInstance*, CInstance*) {
    Log("a_room_end:" + std::to_string(New_Room));
    if (g_roomEndRequest != ROOM_NONE) New_Room = g_roomEndRequest;
}
void AInstanceCode(CInstance*, CInstance*) {
    Log("a_inst_code");
}
void APreCreate(CInstance*, CInstance*) {
    Log("a_pre_create");
}
void APreCode(CInstance*, CInstance*) {
    Log("a_pre_code");
}
void PCreate(CInstance*, CInstance*) {
    Log("p_create");
}
void PRoomStart(CInstance* self, CInstance*) {
    Log("p_room_start@" + std::to_string(static_cast<int>(self->i_x)));
}
void PGameEnd(CInstance*, CInstance*) {
    Log("p_game_end");
}

enum Code {
    kRoomCode,
    kACreate,
    kAGameStart,
    kARoomStart,
    kARoomEnd,
    kAInstanceCode,
    kAPreCreate,
    kAPreCode,
    kPCreate,
    kPRoomStart,
    kPGameEnd,
    kCodeCount
};

const SCompiledFunction kCode[kCodeCount] = {
    {"vtl_Room_rm_first_Create", nullptr, RoomCode},
    {"vtl_Object_obj_a_Create_0", nullptr, ACreate},
    {"vtl_Object_obj_a_Other_2", nullptr, AGameStart},
    {"vtl_Object_obj_a_Other_4", nullptr, ARoomStart},
    {"vtl_Object_obj_a_Other_5", nullptr, ARoomEnd},
    {"vtl_Room_rm_first_Instance_0", nullptr, AInstanceCode},
    {"vtl_Object_obj_a_PreCreate_0", nullptr, APreCreate},
    {"vtl_Room_rm_first_PreCreate_0", nullptr, APreCode},
    {"vtl_Object_obj_p_Create_0", nullptr, PCreate},
    {"vtl_Object_obj_p_Other_4", nullptr, PRoomStart},
    {"vtl_Object_obj_p_Other_3", nullptr, PGameEnd},
};

SNameIdRecord* kNoNames[] = {nullptr};

void FillRecord(SLLVMVars* v) {
    v->nCodeEntries = kCodeCount;
    v->ppVars = kNoNames;
    v->ppFuncs = kNoNames;
    v->pCodeFunctions = kCode;
    v->ppStackTraceHead = &SZQStackTrace::s_pStart;
}

// ---------------------------------------------------------------------------
// The data: obj_a (0) with Pre-Create, Create, Game Start, Room Start and Room
// End; obj_p (1), persistent, with Create, Room Start and Game End. Room 0
// holds an obj_a with pre-creation and creation code and an obj_p; room 1 an
// obj_a; room 2, persistent, an obj_a. Every room has creation code.
constexpr int32_t kFirstA = 100001;
constexpr int32_t kPersistent = 100002;
constexpr int32_t kSecondA = 100003;
constexpr int32_t kKeptA = 100004;

wad::GameDataWriter GameData() {
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.roomOrder = {0, 1, 2};
    wad::WriteHeader(w, header);

    wad::ObjectFields a;
    a.name = "obj_a";
    a.events.resize(15);
    a.events[0] = {{0, kACreate}};
    a.events[7] = {{2, kAGameStart}, {4, kARoomStart}, {5, kARoomEnd}};
    a.events[14] = {{0, kAPreCreate}};
    wad::ObjectFields p;
    p.name = "obj_p";
    p.persistent = 1;
    p.events.resize(8);
    p.events[0] = {{0, kPCreate}};
    p.events[7] = {{3, kPGameEnd}, {4, kPRoomStart}};
    wad::WriteObjects(w, {a, p}, header.version);

    wad::RoomFields first;
    first.name = "rm_first";
    first.code = kRoomCode;
    first.instances = std::vector<wad::RoomInstanceFields>{
        {10, 10, 0, kFirstA, kAInstanceCode, 1.0f, 1.0f, 0xFFFFFFFF, 0.0f, kAPreCode},
        {20, 20, 1, kPersistent}};
    wad::RoomFields second;
    second.name = "rm_second";
    second.code = kRoomCode;
    second.instances = std::vector<wad::RoomInstanceFields>{{30, 30, 0, kSecondA}};
    wad::RoomFields kept;
    kept.name = "rm_kept";
    kept.code = kRoomCode;
    kept.persistent = 1;
    kept.instances = std::vector<wad::RoomInstanceFields>{{40, 40, 0, kKeptA}};
    wad::WriteRooms(w, {first, second, kept});
    return w;
}

std::string WriteGame(const char* name, const wad::GameDataWriter& w) {
    std::string path = TestTempPath(name);
    EXPECT_TRUE(w.WriteFile(path));
    return path;
}

class RoomTransitions : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        g_roomEndRequest = g_createRequest = ROOM_NONE;
        Header_Reset();
        Code_LoadCompiledRecord(FillRecord);
        m_image = GameData().Build();
        ASSERT_TRUE(GetResolution(m_image.data(), m_image.size())) << GameData_LastError();
        ASSERT_TRUE(LoadGameData(m_image.data(), m_image.size())) << GameData_LastError();
        ASSERT_TRUE(PrepareGame());
        INITIALIZE_Run_Global();
        // Error capture runs headless; these runs must not end the process.
        Run_SetHeadlessExit([](int) {});
    }
    void TearDown() override {
        Run_EndGame();
        New_Room = ROOM_NONE;
        aborterror = false;
        Room_Free();
        Code_UnbindGameData();
        Object_Init();
        FINALIZE_Instance_Class();
        FINALIZE_Variable_Main();
        FINALIZE_Code_Function();
        FINALIZE_Run_Global();
        Code_LoadCompiledRecord(nullptr);
        Run_SetHeadlessExit(nullptr);
    }

    static std::vector<std::string> Take() {
        std::vector<std::string> taken;
        taken.swap(g_log);
        return taken;
    }

    std::vector<uint8_t> m_image;
};

using Log_ = std::vector<std::string>;

TEST_F(RoomTransitions, GameStartRunsTheCreationOrder) {
    StartGame();
    ASSERT_NE(Run_Room, nullptr);
    EXPECT_EQ(Current_Room, 0);
    EXPECT_EQ(Take(), (Log_{"a_pre_create", "a_pre_code", "a_create100001", "a_inst_code", "p_create",
                            "a_game_start", "room_code0", "a_room_start", "p_room_start@20"}));
    EXPECT_TRUE(g_GameStarted);
    CInstance* a = CInstance::Find(kFirstA);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->m_created);
}

TEST_F(RoomTransitions, PersistentInstanceIsCarriedByIdWithoutCreate) {
    StartGame();
    CInstance* p = CInstance::Find(kPersistent);
    ASSERT_NE(p, nullptr);
    p->i_x = 77.0f;
    Take();

    SwitchRoom(1);
    EXPECT_EQ(Current_Room, 1);
    EXPECT_EQ(Take(), (Log_{"a_room_end:-1", "a_pre_create", "a_create100003", "room_code1", "a_room_start",
                            "p_room_start@77"}));
    CInstance* carried = CInstance::Find(kPersistent);
    ASSERT_NE(carried, nullptr);
    EXPECT_EQ(carried->i_x, 77.0f);
    EXPECT_TRUE(carried->i_persistent);
    EXPECT_EQ(CInstance::Find(kFirstA), nullptr) << "the first room's instances are gone";
    EXPECT_EQ(Run_Room_At(0), nullptr) << "a room that is not persistent is deleted";
    EXPECT_EQ(Run_CarriedInstanceCount(), 0);
    int inRoom = 0;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) ++inRoom;
    EXPECT_EQ(inRoom, 2);
}

TEST_F(RoomTransitions, PersistentRoomKeepsItsInstancesAndRunsNoCreationTwice) {
    StartGame();
    SwitchRoom(2);
    CInstance* kept = CInstance::Find(kKeptA);
    ASSERT_NE(kept, nullptr);
    kept->i_x = 123.0f;
    SwitchRoom(1);
    EXPECT_EQ(CInstance::Find(kKeptA), nullptr) << "out of the id table while the room waits";
    ASSERT_NE(Run_Room_At(2), nullptr);
    Take();

    SwitchRoom(2);
    EXPECT_EQ(Take(), (Log_{"a_room_end:-1", "a_room_start", "p_room_start@20"}))
        << "no creation code and no Create event on the second visit";
    CInstance* again = CInstance::Find(kKeptA);
    EXPECT_EQ(again, kept);
    EXPECT_EQ(again->i_x, 123.0f);
}

TEST_F(RoomTransitions, PersistentInstanceReplacesTheSameIdInAPersistentRoom) {
    StartGame();
    SwitchRoom(2);
    CInstance* kept = CInstance::Find(kKeptA);
    ASSERT_NE(kept, nullptr);
    kept->i_persistent = true; // it now travels, and the room keeps a copy
    kept->i_x = 5.0f;
    SwitchRoom(1);
    CInstance* travelling = CInstance::Find(kKeptA);
    ASSERT_NE(travelling, nullptr);
    travelling->i_x = 9.0f;
    Take();

    SwitchRoom(2);
    int sameId = 0;
    for (CInstance* i = Run_Room->m_pFirstActive; i != nullptr; i = i->m_pNext) sameId += i->i_id == kKeptA;
    EXPECT_EQ(sameId, 1);
    EXPECT_EQ(CInstance::Find(kKeptA)->i_x, 9.0f);
    for (const std::string& entry : Take()) EXPECT_EQ(entry.find("a_create"), std::string::npos) << entry;
}

// A copy of a visited persistent room (as a room duplicate takes it) holds
// instances with the whole state of the waiting ones; the deactivated one is
// copied deactivated and stays out of its object type's lists.
TEST_F(RoomTransitions, CopyOfAVisitedRoomKeepsItsInstancesState) {
    StartGame();
    SwitchRoom(2);
    CInstance* kept = CInstance::Find(kKeptA);
    ASSERT_NE(kept, nullptr);
    kept->SetSpeed(3.0f);
    kept->SetDirection(90.0f);
    kept->i_spriteindex = 4;
    kept->i_imageindex = 2.5f;
    kept->SetTimer(0, 7);
    kept->SetTimer(11, 1);
    kept->Add("score", 42.0, 0);
    kept->Add("title", "knight", 0);
    CInstance* asleep = Run_Room->AddInstance(50.0f, 60.0f, 0);
    ASSERT_NE(asleep, nullptr);
    const int asleepId = asleep->i_id;
    asleep->SetTimer(2, 5);
    asleep->i_deactivated = true;
    Run_Room->UpdateActive();
    SwitchRoom(1);
    const CRoom* visited = Run_Room_At(2);
    ASSERT_NE(visited, nullptr);
    const int listed = Object_Data(0)->m_Instances.m_count;

    {
        CRoom copy;
        copy.Assign(visited, false);
        CInstance* a = copy.m_pFirstActive;
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->m_pNext, nullptr);
        EXPECT_NE(a, kept);
        EXPECT_EQ(a->i_id, kKeptA);
        EXPECT_EQ(a->i_x, 40.0f);
        EXPECT_EQ(a->i_speed, 3.0f);
        EXPECT_EQ(a->i_direction, 90.0f);
        EXPECT_NEAR(a->i_vspeed, -3.0f, 1e-6);
        EXPECT_EQ(a->i_spriteindex, 4);
        EXPECT_EQ(a->i_imageindex, 2.5f);
        EXPECT_EQ(a->GetTimer(0), 7);
        EXPECT_EQ(a->GetTimer(11), 1);
        EXPECT_EQ(a->GetTimer(1), -1);
        ASSERT_NE(a->FindValue("score"), nullptr);
        EXPECT_EQ(a->FindValue("score")->val, 42.0);
        ASSERT_NE(a->FindValue("title"), nullptr);
        EXPECT_STREQ(a->FindValue("title")->pRefString->Get(), "knight");
        EXPECT_EQ(CInstance::Find(kKeptA), a);

        CInstance* d = copy.m_pFirstDeactive;
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->i_id, asleepId);
        EXPECT_TRUE(d->i_deactivated);
        EXPECT_EQ(d->i_x, 50.0f);
        EXPECT_EQ(d->GetTimer(2), 5);
        EXPECT_EQ(Object_Data(0)->m_Instances.m_count, listed + 1) << "only the active copy is listed";
    }
    EXPECT_EQ(Object_Data(0)->m_Instances.m_count, listed);
    EXPECT_EQ(CInstance::Find(kKeptA), nullptr);
    // The waiting originals are untouched and come back on the next visit.
    SwitchRoom(2);
    EXPECT_EQ(CInstance::Find(kKeptA), kept);
    EXPECT_EQ(kept->FindValue("score")->val, 42.0);
}

TEST_F(RoomTransitions, RoomEndSeesNoPendingChangeAndItsRequestIsOverwritten) {
    StartGame();
    Take();
    g_roomEndRequest = 2;
    New_Room = 1;
    EndRoom(false);
    EXPECT_EQ(Take(), (Log_{"a_room_end:-1"}));
    EXPECT_EQ(New_Room, 1) << "the pending change is restored over Room End's request";
    EXPECT_EQ(Run_Room, nullptr);
    StartRoom(1, false);
    EXPECT_EQ(Current_Room, 1);
}

TEST_F(RoomTransitions, ChangeRequestedDuringTheFirstRoomStartIsActedOnAtOnce) {
    g_createRequest = 1;
    StartGame();
    EXPECT_EQ(Current_Room, 1);
    EXPECT_EQ(New_Room, ROOM_NONE);
}

TEST_F(RoomTransitions, GameEndRaisesGameEndAndDeletesEveryRoom) {
    StartGame();
    SwitchRoom(2);
    Take();
    Run_EndGame();
    Log_ log = Take();
    EXPECT_NE(std::find(log.begin(), log.end(), "p_game_end"), log.end());
    EXPECT_EQ(Run_Room, nullptr);
    EXPECT_EQ(Run_Room_Count(), 0);
    EXPECT_EQ(Run_CarriedInstanceCount(), 0);
    EXPECT_EQ(CInstance::Find(kPersistent), nullptr);
    // The run's end frees the global object; the next load makes its own.
    ASSERT_NE(g_pGlobal, nullptr);
    FINALIZE_Run_Global();
    EXPECT_EQ(g_pGlobal, nullptr);
}

TEST_F(RoomTransitions, RoomIndexThatDoesNotExistIsRefused) {
    ErrorCapture errors;
    StartGame();
    CRoom* room = Run_Room;
    for (int bad : {3, 99, -5}) {
        aborterror = false;
        New_Room = ROOM_NONE;
        SwitchRoom(bad);
        EXPECT_EQ(Run_Room, room) << bad << ": the current room stays";
        EXPECT_EQ(New_Room, ROOM_ABORTGAME) << bad;
        aborterror = false;
        StartRoom(bad, false);
        EXPECT_EQ(Run_Room, room) << bad;
    }
    EXPECT_TRUE(errors.ShownContains("room -5"));
}

// ---------------------------------------------------------------------------
// The whole start sequence in a child process, as the program runs it.

void RunHeadless(const std::string& path) {
    Code_SetCompiledRecordFiller(FillRecord);
    g_printLog = true;
    std::string game = path;
    const char* argv[] = {"corvane", "-headless", "-game", game.c_str()};
    std::exit(Startup_RunGame(4, argv) == 0 ? 100 : 101);
}

TEST(HeadlessStart, EndsWithStatusZeroRightAfterTheRoomCreationCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = WriteGame("headless.ios", GameData());
    EXPECT_EXIT(RunHeadless(path), ::testing::ExitedWithCode(0),
                "log:a_pre_create,a_pre_code,a_create100001,a_inst_code,p_create,a_game_start,room_code0,");
}

TEST(HeadlessStart, BadFirstRoomEndsWithStatusOneAndAMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    wad::GameDataWriter bad;
    wad::HeaderFields header;
    header.roomOrder = {7};
    wad::WriteHeader(bad, header);
    wad::WriteRooms(bad, {wad::RoomFields{}});
    const std::string path = WriteGame("badroom.ios", bad);
    EXPECT_EXIT(RunHeadless(path), ::testing::ExitedWithCode(101), "room 7");
}

// ---------------------------------------------------------------------------
// A game that plays itself through three rooms and ends itself. obj_ctl is
// persistent: its Create sets alarm 0 to 3 steps and starts timeline 0
// (moments at 1 and 4); its Step counts the steps; each time the alarm fires
// it asks for the next room and sets the alarm again, and in the last room
// it ends the game. obj_local stands in every room. Rooms have no creation
// code, so the headless run goes on stepping until the game ends.

int g_steps = 0;

void CtlCreate(CInstance* self, CInstance*) {
    Log("ctl_create");
    self->SetTimer(0, 3);
    self->i_timelineindex = 0;
    self->i_timelinerunning = true;
}
void CtlStep(CInstance*, CInstance*) {
    ++g_steps;
}
void CtlAlarm(CInstance* self, CInstance*) {
    Log("alarm@" + std::to_string(g_steps));
    if (Current_Room == 2) {
        Command_EndGame();
        return;
    }
    Command_NextRoom();
    self->SetTimer(0, 3);
}
void CtlRoomStart(CInstance*, CInstance*) {
    Log("ctl_start" + std::to_string(Current_Room));
}
void CtlRoomEnd(CInstance*, CInstance*) {
    Log("ctl_end" + std::to_string(Current_Room));
}
void CtlGameEnd(CInstance*, CInstance*) {
    Log("game_end");
    std::fprintf(stderr, "log:%s\n", Joined().c_str());
}
void LocalCreate(CInstance*, CInstance*) {
    Log("local_create" + std::to_string(Current_Room));
}
void MomentOne(CInstance*, CInstance*) {
    Log("moment1@" + std::to_string(g_steps));
}
void MomentFour(CInstance*, CInstance*) {
    Log("moment4@" + std::to_string(g_steps));
}

enum PlayCode {
    kCtlCreate,
    kCtlStep,
    kCtlAlarm,
    kCtlRoomStart,
    kCtlRoomEnd,
    kCtlGameEnd,
    kLocalCreate,
    kMoment1,
    kMoment4
};

const SCompiledFunction kPlayCode[] = {
    {"vtl_Object_obj_ctl_Create_0", nullptr, CtlCreate},
    {"vtl_Object_obj_ctl_Step_0", nullptr, CtlStep},
    {"vtl_Object_obj_ctl_Alarm_0", nullptr, CtlAlarm},
    {"vtl_Object_obj_ctl_Other_4", nullptr, CtlRoomStart},
    {"vtl_Object_obj_ctl_Other_5", nullptr, CtlRoomEnd},
    {"vtl_Object_obj_ctl_Other_3", nullptr, CtlGameEnd},
    {"vtl_Object_obj_local_Create_0", nullptr, LocalCreate},
    {"vtl_Timeline_tl_main_0", nullptr, MomentOne},
    {"vtl_Timeline_tl_main_1", nullptr, MomentFour},
};

void FillPlayRecord(SLLVMVars* v) {
    v->nCodeEntries = static_cast<int>(std::size(kPlayCode));
    v->ppVars = kNoNames;
    v->ppFuncs = kNoNames;
    v->pCodeFunctions = kPlayCode;
    v->ppStackTraceHead = &SZQStackTrace::s_pStart;
}

void RunPlay(const std::string& path) {
    Code_SetCompiledRecordFiller(FillPlayRecord);
    std::string game = path;
    const char* argv[] = {"corvane", "-headless", "-game", game.c_str()};
    std::exit(Startup_RunGame(4, argv) == 0 ? 0 : 1);
}

TEST(HeadlessStart, AGameThatPlaysThroughThreeRoomsAndEndsItselfEndsWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    wad::GameDataWriter w;
    wad::HeaderFields header;
    header.roomOrder = {0, 1, 2};
    wad::WriteHeader(w, header);
    wad::ObjectFields ctl;
    ctl.name = "obj_ctl";
    ctl.persistent = 1;
    ctl.events.resize(8);
    ctl.events[0] = {{0, kCtlCreate}};
    ctl.events[2] = {{0, kCtlAlarm}};
    ctl.events[3] = {{0, kCtlStep}};
    ctl.events[7] = {{3, kCtlGameEnd}, {4, kCtlRoomStart}, {5, kCtlRoomEnd}};
    wad::ObjectFields local;
    local.name = "obj_local";
    local.events.resize(1);
    local.events[0] = {{0, kLocalCreate}};
    wad::WriteObjects(w, {ctl, local}, header.version);
    wad::TimeLineFields timeline;
    timeline.name = "tl_main";
    timeline.moments = {{1, kMoment1}, {4, kMoment4}};
    wad::WriteTimeLines(w, {timeline});
    std::vector<std::optional<wad::RoomFields>> rooms(3);
    for (int r = 0; r < 3; ++r) {
        rooms[r] = wad::RoomFields{};
        rooms[r]->name = "rm_" + std::to_string(r);
        rooms[r]->instances = std::vector<wad::RoomInstanceFields>{{0, 0, 1, 100010 + r}};
    }
    rooms[0]->instances->push_back({0, 0, 0, 100001});
    wad::WriteRooms(w, rooms);
    const std::string path = WriteGame("three_rooms.ios", w);
    // The alarm and timeline passes run before the Step events, so they see
    // the count of the steps before; a step whose alarm asks for a room
    // change ends there, so its Step event never runs. The carried instance
    // keeps its timeline position: the moment at 4 runs in the second room.
    EXPECT_EXIT(RunPlay(path), ::testing::ExitedWithCode(0),
                "log:local_create0,ctl_create,ctl_start0,moment1@1,alarm@2,ctl_end0,local_create1,ctl_start1,"
                "moment4@3,alarm@4,ctl_end1,local_create2,ctl_start2,alarm@6,ctl_end2,game_end,");
}
} // namespace
