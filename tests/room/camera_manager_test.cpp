// The camera manager: ids in ascending order and their lookup, the active
// camera, clones, the saved part read back (ids kept, the next id above them,
// damaged parts refused), rooms' view cameras from a writer-made data file,
// and camera scripts with their self and current object.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "code_chunks.h"
#include "core/buffer.h"
#include "core/code.h"
#include "core/collector.h"
#include "core/header_globals.h"
#include "core/run_state.h"
#include "core/script.h"
#include "core/variables.h"
#include "game_data_writer.h"
#include "header_chunk.h"
#include "room/camera_manager.h"
#include "room/room.h"
#include "room/room_table.h"
#include "room_chunk.h"
#include "world/datafile/code_binding.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

std::vector<int> Ids() {
    std::vector<int> ids;
    for (int i = 0; i < g_CM.Count(); ++i) ids.push_back(g_CM.At(i)->GetID());
    return ids;
}

void ExpectSameMatrix(const zqMatrix& a, const zqMatrix& b) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.m[i], b.m[i]) << "element " << i;
}

TEST(CameraManager, IdsAscendAndAreNeverReused) {
    for (int expected : {0, 1, 2}) EXPECT_EQ(g_CM.CreateCamera()->GetID(), expected);
    g_CM.DestroyCamera(1);
    EXPECT_EQ(g_CM.CreateCamera()->GetID(), 3);
    EXPECT_EQ(Ids(), (std::vector<int>{0, 2, 3}));
    // Hits (also repeated, through the last index) and misses below, between
    // and above the ids.
    for (int id : {3, 3, 0, 2, 2}) {
        const CCamera* camera = g_CM.GetCamera(id);
        ASSERT_NE(camera, nullptr) << id;
        EXPECT_EQ(camera->GetID(), id);
    }
    for (int id : {-1, 1, 4, 1000}) EXPECT_EQ(g_CM.GetCamera(id), nullptr) << id;
    EXPECT_EQ(g_CM.FindCameraInList(2), 1);
    g_CM.DestroyCamera(7); // nothing
    EXPECT_EQ(g_CM.Count(), 3);
}

TEST(CameraManager, TheActiveCamera) {
    g_CM.CreateCamera();
    CCamera* b = g_CM.CreateCamera();
    g_CM.SetActiveCamera(1);
    EXPECT_EQ(g_CM.GetActiveCamera(), b);
    g_CM.SetActiveCamera(9);
    EXPECT_EQ(g_CM.GetActiveCamera(), b) << "an unknown id changes nothing";
    g_CM.SetActiveCamera(-1);
    EXPECT_EQ(g_CM.GetActiveCamera(), nullptr);
    g_CM.SetActiveCamera(1);
    g_CM.DestroyCamera(1);
    EXPECT_EQ(g_CM.GetActiveCamera(), nullptr);
}

TEST(CameraManager, ACloneTakesEverythingButTheIdAndTheDirtyMark) {
    for (int i = 0; i < 9; ++i) g_CM.CreateCamera();
    CCamera* source = g_CM.GetCamera(5);
    source->SetViewX(10);
    source->SetViewY(20);
    source->SetViewWidth(320);
    source->SetViewHeight(200);
    source->SetViewSpeedX(3);
    source->SetViewSpeedY(4);
    source->SetViewBorderX(5);
    source->SetViewBorderY(6);
    source->SetViewAngle(15);
    source->SetTargetInstance(100007);
    source->SetBeginScript(1);
    source->SetEndScript(2);
    source->SetUpdateScript(3);
    source->Build2DView(170, 120);
    source->SetViewDirty();
    const CCamera* clone = g_CM.CloneCamera(5);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->GetID(), 9);
    EXPECT_EQ(clone->GetViewX(), 10);
    EXPECT_EQ(clone->GetViewHeight(), 200);
    EXPECT_EQ(clone->GetViewSpeedY(), 4);
    EXPECT_EQ(clone->GetViewBorderX(), 5);
    EXPECT_EQ(clone->GetViewAngle(), 15);
    EXPECT_EQ(clone->GetTargetInstance(), 100007);
    EXPECT_EQ(clone->GetBeginScript(), 1);
    EXPECT_EQ(clone->GetEndScript(), 2);
    EXPECT_EQ(clone->GetUpdateScript(), 3);
    EXPECT_FALSE(clone->IsViewDirty());
    ExpectSameMatrix(clone->GetViewMat(), source->GetViewMat());
    ExpectSameMatrix(clone->GetProjMat(), source->GetProjMat());
    ExpectSameMatrix(clone->GetInvViewProjMat(), source->GetInvViewProjMat());
    EXPECT_EQ(g_CM.CloneCamera(42), nullptr);
}

TEST(CameraManager, ACameraFromAViewRecord) {
    const ZQRoomView record{1, 10, 20, 640, 360, 0, 0, 1280, 720, 32, 16, 4, -1, 3};
    const CCamera* camera = g_CM.CreateCameraFromView(&record);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->GetViewX(), 10);
    EXPECT_EQ(camera->GetViewWidth(), 640);
    EXPECT_EQ(camera->GetViewBorderX(), 32);
    EXPECT_EQ(camera->GetViewBorderY(), 16);
    EXPECT_EQ(camera->GetViewSpeedX(), 4);
    EXPECT_EQ(camera->GetViewSpeedY(), -1);
    EXPECT_EQ(camera->GetTargetInstance(), 3);
    EXPECT_FLOAT_EQ(camera->GetCamPos().x, 330);
    EXPECT_FLOAT_EQ(camera->GetCamPos().y, 200);
    EXPECT_EQ(g_CM.CreateCameraFromView(nullptr), nullptr);
}

TEST(CameraManager, CleanForgetsEverything) {
    g_CM.CreateCamera();
    g_CM.SetActiveCamera(0);
    g_CM.StartRoom();
    EXPECT_NE(g_CM.GetScriptInstance(), nullptr);
    g_CM.Clean();
    EXPECT_EQ(g_CM.Count(), 0);
    EXPECT_EQ(g_CM.GetActiveCamera(), nullptr);
    EXPECT_EQ(g_CM.GetScriptInstance(), nullptr);
    EXPECT_EQ(g_CM.CreateCamera()->GetID(), 0);
    Camera_ResetForLoad();
    EXPECT_EQ(g_DefaultCameraID, 0);
    EXPECT_EQ(Ids(), (std::vector<int>{0}));
}

// ---------------------------------------------------------------------------
// Saved games

class CameraSaves : public ::testing::Test {
protected:
    // The manager's part as it stands, in a fresh buffer at position 0.
    static std::unique_ptr<IBuffer> Saved() {
        auto buffer = std::make_unique<IBuffer>(64, eBuffer_Format_Grow, 1);
        g_CM.Serialize(buffer.get());
        buffer->Resize(buffer->Tell());
        buffer->Seek(eBuffer_Start, 0);
        return buffer;
    }
    // Cameras with these ids, in this order.
    static void Make(std::vector<int> ids) {
        g_CM.Clean();
        for (int id : ids) {
            auto* camera = new CCamera();
            camera->SetViewX(static_cast<float>(id) * 10.0f);
            g_CM.AddCameraToList(camera, id);
            camera->SetID(id); // a -1 stays -1 in the saved record
        }
    }
};

TEST_F(CameraSaves, TheRecordAndThePartHaveTheirSizes) {
    g_CM.CreateCamera();
    g_CM.CreateCamera();
    IBuffer buffer(16, eBuffer_Format_Grow, 1);
    g_CM.At(0)->Serialize(&buffer);
    EXPECT_EQ(buffer.Tell(), CCamera::kRecordSize);
    EXPECT_EQ(CCamera::kRecordSize, 448);
    EXPECT_EQ(Saved()->Size(), 4 + 2 * (4 + 448));
}

TEST_F(CameraSaves, EveryFieldComesBack) {
    CCamera* camera = g_CM.CreateCamera();
    camera->SetViewX(1.5f);
    camera->SetViewY(2);
    camera->SetViewWidth(300);
    camera->SetViewHeight(200);
    camera->SetViewSpeedX(3);
    camera->SetViewSpeedY(-1);
    camera->SetViewBorderX(7);
    camera->SetViewBorderY(8);
    camera->SetViewAngle(33);
    camera->SetTargetInstance(100005);
    camera->SetBeginScript(4);
    camera->SetEndScript(5);
    camera->SetUpdateScript(6);
    camera->Build2DView(151.5f, 102);
    camera->SetViewDirty();
    const CCamera before = *camera;
    auto saved = Saved();
    g_CM.Clean();
    ASSERT_TRUE(g_CM.DeSerialize(saved.get()));
    const CCamera* after = g_CM.GetCamera(0);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(after->GetViewX(), 1.5f);
    EXPECT_EQ(after->GetViewSpeedY(), -1);
    EXPECT_EQ(after->GetViewBorderY(), 8);
    EXPECT_EQ(after->GetViewAngle(), 33);
    EXPECT_EQ(after->GetTargetInstance(), 100005);
    EXPECT_EQ(after->GetBeginScript(), 4);
    EXPECT_EQ(after->GetEndScript(), 5);
    EXPECT_EQ(after->GetUpdateScript(), 6);
    EXPECT_TRUE(after->Is2D());
    EXPECT_TRUE(after->IsViewDirty());
    ExpectSameMatrix(after->GetViewMat(), before.GetViewMat());
    ExpectSameMatrix(after->GetProjMat(), before.GetProjMat());
    ExpectSameMatrix(after->GetViewProjMat(), before.GetViewProjMat());
    ExpectSameMatrix(after->GetInvViewMat(), before.GetInvViewMat());
    ExpectSameMatrix(after->GetInvProjMat(), before.GetInvProjMat());
    ExpectSameMatrix(after->GetInvViewProjMat(), before.GetInvViewProjMat());
}

// Saved ids are kept; the next id made lies above the run's next id and
// every id read, so no id is handed out twice.
TEST_F(CameraSaves, LoadedIdsAndTheNextId) {
    struct {
        std::vector<int> saved;
        int runNext;
        std::vector<int> ids;
        int next;
    } const cases[] = {
        {{0, 3}, 7, {0, 3}, 7},
        {{0, 9}, 2, {0, 9}, 10},
        {{-1, 4}, 2, {4, 5}, 6}, // a saved -1 takes the next id, after the move
        {{5, 2}, 0, {2, 5}, 6},  // ids out of order are put in order for the lookup
        {{}, 3, {}, 3},
        {{2147483647, 5}, 0, {5, 2147483647}, 2147483647}, // 32-bit ids: the next one stops at the largest
    };
    for (const auto& c : cases) {
        Make(c.saved);
        auto saved = Saved();
        g_CM.Clean();
        for (int i = 0; i < c.runNext; ++i) g_CM.CreateCamera();
        g_CM.SetActiveCamera(0);
        ASSERT_TRUE(g_CM.DeSerialize(saved.get()));
        EXPECT_EQ(Ids(), c.ids);
        EXPECT_EQ(g_CM.GetActiveCamera(), nullptr);
        for (int id : c.ids) EXPECT_NE(g_CM.GetCamera(id), nullptr) << id;
        EXPECT_EQ(g_CM.CreateCamera()->GetID(), c.next);
    }
}

TEST_F(CameraSaves, ADamagedPartLeavesTheCamerasAsTheyWere) {
    Make({0, 1});
    auto saved = Saved();
    const int size = saved->Size();
    Make({4});
    // Cut inside the second record, inside the first flag, and a count that
    // the bytes cannot hold, or a negative one.
    for (int cut : {size - 10, 2}) {
        IBuffer shorter(cut, eBuffer_Format_Fixed, 1);
        std::memcpy(shorter.Data(), saved->Data(), static_cast<size_t>(cut));
        EXPECT_FALSE(g_CM.DeSerialize(&shorter)) << cut;
    }
    for (int count : {1000000, -1}) {
        IBuffer bad(8, eBuffer_Format_Fixed, 1);
        std::memcpy(bad.Data(), &count, 4);
        EXPECT_FALSE(g_CM.DeSerialize(&bad)) << count;
    }
    EXPECT_EQ(Ids(), (std::vector<int>{4}));
    EXPECT_EQ(g_CM.GetCamera(4)->GetViewX(), 40);
}

// ---------------------------------------------------------------------------
// Rooms' view cameras and camera scripts, on a writer-made data file

struct ScriptCall {
    CInstance* self;
    int object;
};
std::vector<ScriptCall> g_scriptCalls;

ZQRValue& CameraScript(CInstance* self, CInstance*, ZQRValue& result, int, ZQRValue**) {
    g_scriptCalls.push_back({self, Current_Object});
    return result;
}

// Destroys the camera it runs for.
ZQRValue& DestroyingScript(CInstance*, CInstance*, ZQRValue& result, int, ZQRValue**) {
    g_CM.DestroyCamera(Current_Object);
    return result;
}

const SCompiledFunction kCode[] = {
    {"scr_camera", CameraScript, nullptr},
    {"scr_destroy", DestroyingScript, nullptr},
};

class CameraData : public ::testing::Test {
protected:
    void SetUp() override {
        Header_Reset();
        Room_Init();
        g_scriptCalls.clear();
        Code_LoadCompiledRecord([](SLLVMVars* v) {
            v->nCodeEntries = 2;
            v->pCodeFunctions = kCode;
        });
    }
    void TearDown() override {
        Room_Free();
        Code_UnbindGameData();
        Code_LoadCompiledRecord(nullptr);
        g_fJSGarbageCollection = false;
    }

    // One room with two views (the second following object 3), and two scripts.
    bool Load(int32_t editorMajor) {
        wad::GameDataWriter w;
        wad::HeaderFields header;
        header.version = 15;
        header.editorMajor = editorMajor;
        header.roomOrder = {0};
        wad::WriteHeader(w, header);
        wad::ScriptFields a, b;
        a.name = "scr_camera";
        a.codeIndex = 0;
        b.name = "scr_destroy";
        b.codeIndex = 1;
        wad::WriteScripts(w, {a, b});
        wad::RoomFields room;
        wad::RoomViewFields v0, v1;
        v0.visible = 1;
        v0.wview = 320;
        v0.hview = 180;
        v1.xview = 50;
        v1.hborder = 64;
        v1.hspeed = 2;
        v1.follow = 3;
        room.views = std::vector<wad::RoomViewFields>{v0, v1};
        room.flags = 1;
        wad::WriteRooms(w, {room});
        m_image = w.Build();
        return GetResolution(m_image.data(), m_image.size()) &&
               LoadGameData(m_image.data(), m_image.size()) && Script_Prepare();
    }

    std::vector<uint8_t> m_image;
};

TEST_F(CameraData, NewGenerationRoomsMakeTheirViewsCameras) {
    ASSERT_TRUE(Load(2));
    EXPECT_EQ(g_DefaultCameraID, 0);
    const CRoom* templ = Room_Data(0);
    ASSERT_NE(templ, nullptr);
    const int c0 = templ->m_views[0].camera, c1 = templ->m_views[1].camera;
    EXPECT_EQ(Ids(), (std::vector<int>{0, c0, c1}));
    EXPECT_EQ(templ->m_views[2].camera, -1);
    const CCamera* second = g_CM.GetCamera(c1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetViewX(), 50);
    EXPECT_EQ(second->GetViewBorderX(), 64);
    EXPECT_EQ(second->GetViewSpeedX(), 2);
    EXPECT_EQ(second->GetTargetInstance(), 3);

    // A run-time copy clones them; clearing it destroys its clones only.
    auto* copy = new CRoom();
    copy->Assign(templ, false);
    const int k0 = copy->m_views[0].camera;
    EXPECT_NE(k0, c0);
    ASSERT_NE(g_CM.GetCamera(k0), nullptr);
    EXPECT_EQ(g_CM.GetCamera(k0)->GetViewWidth(), 320);
    EXPECT_EQ(copy->m_views[2].camera, -1);
    delete copy;
    EXPECT_EQ(Ids(), (std::vector<int>{0, c0, c1}));
}

TEST_F(CameraData, OlderDataMakesNoCameras) {
    ASSERT_TRUE(Load(1));
    EXPECT_EQ(g_CM.Count(), 0);
    EXPECT_EQ(Room_Data(0)->m_views[0].camera, -1);
}

TEST_F(CameraData, ScriptsRunAsTheScriptInstanceWithTheCameraAsObject) {
    ASSERT_TRUE(Load(2));
    CCamera* camera = g_CM.CreateCamera();
    camera->SetUpdateScript(Script_Find("scr_camera"));
    camera->SetTargetInstance(5);
    camera->SetViewX(70);
    camera->SetViewDirty();
    camera->CameraUpdate();
    EXPECT_TRUE(g_scriptCalls.empty()) << "no script instance before the room starts";

    Camera_StartRoom(nullptr);
    CInstance* instance = g_CM.GetScriptInstance();
    ASSERT_NE(instance, nullptr);
    Camera_StartRoom(nullptr);
    EXPECT_EQ(g_CM.GetScriptInstance(), instance) << "made once";
    Current_Object = 77;
    camera->CameraUpdate();
    camera->CameraUpdate();
    ASSERT_EQ(g_scriptCalls.size(), 2u);
    EXPECT_EQ(g_scriptCalls[0].self, instance);
    EXPECT_EQ(g_scriptCalls[0].object, camera->GetID());
    EXPECT_EQ(Current_Object, 77) << "restored";
    EXPECT_EQ(camera->GetViewX(), 70);
    EXPECT_FLOAT_EQ(camera->GetCamPos().x, 0) << "the script stands in for the update";

    camera->SetBeginScript(Script_Find("scr_camera"));
    camera->Begin();
    camera->End(); // no end script
    EXPECT_EQ(g_scriptCalls.size(), 3u);

    // With the script-object collector the global object is self.
    g_fJSGarbageCollection = true;
    camera->Begin();
    ASSERT_EQ(g_scriptCalls.size(), 4u);
    EXPECT_EQ(g_scriptCalls[3].self, reinterpret_cast<CInstance*>(g_pGlobal));
    g_fJSGarbageCollection = false;

    Camera_EndRoom(nullptr);
    EXPECT_EQ(g_CM.GetScriptInstance(), nullptr);
}

TEST_F(CameraData, AnUpdateScriptMayDestroyItsCamera) {
    ASSERT_TRUE(Load(2));
    Camera_StartRoom(nullptr);
    CCamera* camera = g_CM.CreateCamera();
    const int id = camera->GetID();
    camera->SetUpdateScript(Script_Find("scr_destroy"));
    camera->SetViewDirty();
    float quad[8];
    EXPECT_FALSE(Camera_ViewQuad(id, quad));
    EXPECT_EQ(g_CM.GetCamera(id), nullptr);
}

} // namespace
