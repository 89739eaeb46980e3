// The camera and view built-ins: the registration table, the wrong-count and
// array reports, unknown cameras, creation with its optional arguments, the
// dirty mark, matrices in and out, the active and default camera, and the
// room's views through their variables.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/function_table.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "error_capture.h"
#include "room/camera_manager.h"
#include "room/room.h"
#include "test_values.h"

namespace {

struct Row {
    const char* name;
    int argc;
};

// The order scripts' function ids depend on.
const Row kTable[] = {
    {"camera_create", 0},
    {"camera_create_view", 4},
    {"camera_destroy", 1},
    {"camera_apply", 1},
    {"camera_get_active", 0},
    {"camera_get_default", 0},
    {"camera_set_default", 1},
    {"camera_set_view_mat", 2},
    {"camera_set_proj_mat", 2},
    {"camera_set_update_script", 2},
    {"camera_set_begin_script", 2},
    {"camera_set_end_script", 2},
    {"camera_set_view_pos", 3},
    {"camera_set_view_size", 3},
    {"camera_set_view_speed", 3},
    {"camera_set_view_border", 3},
    {"camera_set_view_angle", 2},
    {"camera_set_view_target", 2},
    {"camera_get_view_mat", 1},
    {"camera_get_proj_mat", 1},
    {"camera_get_update_script", 1},
    {"camera_get_begin_script", 1},
    {"camera_get_end_script", 1},
    {"camera_get_view_x", 1},
    {"camera_get_view_y", 1},
    {"camera_get_view_width", 1},
    {"camera_get_view_height", 1},
    {"camera_get_view_speed_x", 1},
    {"camera_get_view_speed_y", 1},
    {"camera_get_view_border_x", 1},
    {"camera_get_view_border_y", 1},
    {"camera_get_view_angle", 1},
    {"camera_get_view_target", 1},
    {"view_get_camera", 1},
    {"view_get_visible", 1},
    {"view_get_xport", 1},
    {"view_get_yport", 1},
    {"view_get_wport", 1},
    {"view_get_hport", 1},
    {"view_get_surface_id", 1},
    {"view_set_camera", 2},
    {"view_set_visible", 2},
    {"view_set_xport", 2},
    {"view_set_yport", 2},
    {"view_set_wport", 2},
    {"view_set_hport", 2},
    {"view_set_surface_id", 2},
};

class CameraBuiltins : public ::testing::Test {
protected:
    void SetUp() override { CameraManager_SetupVTLFunctions(); }
    void TearDown() override {
        FREE_RValue(&result);
        Run_Room = nullptr;
    }

    // Calls the built-in with these arguments; the result stays in `result`.
    RValue& Call(const char* name, std::vector<RValue> args = {}) {
        const int index = Function_Find(name);
        EXPECT_GE(index, 0) << name;
        FREE_RValue(&result);
        result = RValue_Undefined();
        if (index >= 0) {
            RValue* argv = args.empty() ? nullptr : args.data();
            the_functions[index].f_routine(result, nullptr, nullptr, static_cast<int>(args.size()), argv);
        }
        for (RValue& a : args) FREE_RValue(&a);
        return result;
    }
    double Number(const char* name, std::vector<RValue> args = {}) { return Call(name, std::move(args)).val; }

    // The message shown last (a report's message, or the text shown as it
    // stands), and the error state cleared.
    std::string TakeShown() {
        const std::string shown = errors.LastShown();
        const std::string report = ErrorReportMessage(shown);
        const std::string message = report.empty() ? shown : report;
        errors.Clear();
        aborterror = false;
        New_Room = ROOM_NONE;
        return message;
    }

    // A script array of `n` reals 0, 1, 2, ...
    static RValue Array(int n) {
        RValue a = RValue_Undefined();
        a.pRefArray = ARRAY_RefAlloc(&a);
        a.kind = VALUE_ARRAY;
        for (int i = n - 1; i >= 0; --i) {
            RValue v = Real(i);
            SET_RValue_Array(&a, &v, i);
        }
        return a;
    }

    ErrorCapture errors;
    RValue result = RValue_Undefined();
};

TEST_F(CameraBuiltins, TheRegistrationTable) {
    ASSERT_EQ(the_numb, 47);
    for (int i = 0; i < 47; ++i) {
        EXPECT_STREQ(the_functions[i].f_name, kTable[i].name) << i;
        EXPECT_EQ(the_functions[i].f_argnumb, kTable[i].argc) << kTable[i].name;
        EXPECT_EQ(the_functions[i].f_flag, 1u) << kTable[i].name;
    }
}

// Each function that checks its count reports by its own name and gives -1;
// the three that read at most the first argument and the view functions
// only refuse calls that would read past their arguments.
TEST_F(CameraBuiltins, WrongArgumentCounts) {
    g_CM.CreateCamera();
    for (const Row& row : kTable) {
        const std::string name = row.name;
        if (name == "camera_create" || name == "camera_create_view") continue;
        const bool lenient = name == "camera_get_active" || name == "camera_get_default" ||
                             name == "camera_set_default" || name.rfind("view_", 0) == 0;
        std::vector<RValue> args(static_cast<size_t>(lenient ? 0 : row.argc + 1), Real(0));
        EXPECT_EQ(Number(row.name, args), -1) << name;
        const std::string shown = TakeShown();
        if (lenient && row.argc == 0)
            EXPECT_EQ(shown, "") << name;
        else
            EXPECT_EQ(shown, name + "() - wrong number of arguments") << name;
    }
    EXPECT_EQ(Number("camera_create", {Real(1)}), -1);
    EXPECT_EQ(TakeShown(), "camera_create() - doesn't take any arguments");
    EXPECT_EQ(Number("camera_create_view", {Real(0), Real(0), Real(640)}), -1);
    EXPECT_EQ(TakeShown(), "camera_create_view() - must have at least 4 arguments");
    EXPECT_EQ(g_CM.Count(), 1) << "nothing made by refused calls";
}

TEST_F(CameraBuiltins, AnUnknownCameraGivesMinusOneQuietly) {
    for (const char* name : {"camera_get_view_x", "camera_get_view_target", "camera_apply", "camera_destroy"})
        EXPECT_EQ(Number(name, {Real(12)}), -1) << name;
    EXPECT_EQ(Number("camera_set_view_pos", {Real(12), Real(1), Real(2)}), -1);
    EXPECT_EQ(Call("camera_get_view_mat", {Real(12)}).Kind(), VALUE_REAL);
    EXPECT_EQ(TakeShown(), "");
}

TEST_F(CameraBuiltins, CreatingAView) {
    const int id = static_cast<int>(Number("camera_create_view", {Real(0), Real(0), Real(640), Real(360)}));
    EXPECT_EQ(Number("camera_get_view_speed_x", {Real(id)}), -1);
    EXPECT_EQ(Number("camera_get_view_speed_y", {Real(id)}), -1);
    EXPECT_EQ(Number("camera_get_view_border_x", {Real(id)}), 0);
    EXPECT_EQ(Number("camera_get_view_target", {Real(id)}), -1);
    EXPECT_EQ(Number("camera_get_view_width", {Real(id)}), 640);
    const zqVector3 eye = g_CM.GetCamera(id)->GetCamPos();
    EXPECT_FLOAT_EQ(eye.x, 320);
    EXPECT_FLOAT_EQ(eye.y, 180);
    EXPECT_FLOAT_EQ(eye.z, -16000);

    const int seven = static_cast<int>(Number(
        "camera_create_view", {Real(10), Real(20), Real(300), Real(200), Real(45), Real(100001), Real(3)}));
    EXPECT_EQ(seven, id + 1);
    EXPECT_EQ(Number("camera_get_view_angle", {Real(seven)}), 45);
    EXPECT_EQ(Number("camera_get_view_target", {Real(seven)}), 100001);
    EXPECT_EQ(Number("camera_get_view_speed_x", {Real(seven)}), 3);
    EXPECT_EQ(Number("camera_get_view_speed_y", {Real(seven)}), -1);

    const int ten =
        static_cast<int>(Number("camera_create_view", {Real(0), Real(0), Real(8), Real(8), Real(0), Real(-1),
                                                       Real(1), Real(2), Real(5), Real(6)}));
    EXPECT_EQ(Number("camera_get_view_speed_y", {Real(ten)}), 2);
    EXPECT_EQ(Number("camera_get_view_border_x", {Real(ten)}), 5);
    EXPECT_EQ(Number("camera_get_view_border_y", {Real(ten)}), 6);
    EXPECT_EQ(Number("camera_create", {}), ten + 1);
}

TEST_F(CameraBuiltins, SettersAndTheDirtyMark) {
    const int id = static_cast<int>(Number("camera_create_view", {Real(0), Real(0), Real(640), Real(360)}));
    const CCamera* camera = g_CM.GetCamera(id);
    EXPECT_EQ(Number("camera_set_view_speed", {Real(id), Real(4), Real(5)}), -1);
    EXPECT_EQ(Number("camera_set_view_border", {Real(id), Real(6), Real(7)}), -1);
    Number("camera_set_view_target", {Real(id), Real(100003)});
    Number("camera_set_update_script", {Real(id), Real(8)});
    Number("camera_set_begin_script", {Real(id), Real(9)});
    Number("camera_set_end_script", {Real(id), Real(10)});
    EXPECT_FALSE(camera->IsViewDirty()) << "speed, border, target and scripts do not mark";
    EXPECT_EQ(Number("camera_get_view_speed_y", {Real(id)}), 5);
    EXPECT_EQ(Number("camera_get_view_border_x", {Real(id)}), 6);
    EXPECT_EQ(Number("camera_get_view_target", {Real(id)}), 100003);
    EXPECT_EQ(Number("camera_get_update_script", {Real(id)}), 8);
    EXPECT_EQ(Number("camera_get_begin_script", {Real(id)}), 9);
    EXPECT_EQ(Number("camera_get_end_script", {Real(id)}), 10);

    for (const char* name : {"camera_set_view_pos", "camera_set_view_size", "camera_set_view_angle"}) {
        CCamera* fresh = g_CM.CreateCamera();
        std::vector<RValue> args = {Real(fresh->GetID()), Real(100)};
        if (std::strcmp(name, "camera_set_view_angle") != 0) args.push_back(Real(50));
        Number(name, args);
        EXPECT_TRUE(fresh->IsViewDirty()) << name;
    }

    // One update of the marked camera without a target rebuilds at the new place.
    Number("camera_set_view_target", {Real(id), Real(-1)});
    Number("camera_set_update_script", {Real(id), Real(-1)});
    Number("camera_set_view_pos", {Real(id), Real(100), Real(40)});
    EXPECT_EQ(Number("camera_get_view_x", {Real(id)}), 100);
    EXPECT_EQ(Number("camera_get_view_y", {Real(id)}), 40);
    g_CM.GetCamera(id)->CameraUpdate();
    EXPECT_FLOAT_EQ(camera->GetCamPos().x, 420);
    EXPECT_FLOAT_EQ(camera->GetCamPos().y, 220);
}

TEST_F(CameraBuiltins, MatricesInAndOut) {
    const int id = static_cast<int>(Number("camera_create", {}));
    const CCamera* camera = g_CM.GetCamera(id);

    EXPECT_EQ(Number("camera_set_view_mat", {Real(id), Array(15)}), -1);
    EXPECT_EQ(TakeShown(), "camera_set_view_mat() - must be 16 entries in array");
    EXPECT_EQ(Number("camera_set_proj_mat", {Real(id), Real(3)}), -1);
    EXPECT_EQ(TakeShown(), "camera_set_proj_mat() - array invalid (has it been created properly?)");
    EXPECT_EQ(camera->GetViewMat().m[1], 0.0f) << "unchanged";

    Number("camera_set_view_mat", {Real(id), Array(16)});
    EXPECT_EQ(TakeShown(), "");
    EXPECT_EQ(camera->GetViewMat().m[15], 15.0f);
    EXPECT_FALSE(camera->Is2D());

    RValue first = RValue_Undefined();
    DEEP_COPY_RValue(&first, &Call("camera_get_view_mat", {Real(id)}));
    ASSERT_EQ(first.Kind(), VALUE_ARRAY);
    ASSERT_EQ(first.pRefArray->m_Array[0].length, 16);
    EXPECT_EQ(first.pRefArray->m_Array[0].arr[7].val, 7.0);
    first.pRefArray->m_Array[0].arr[7].val = 99.0;
    EXPECT_EQ(camera->GetViewMat().m[7], 7.0f) << "the array is the script's own";
    const RValue& second = Call("camera_get_view_mat", {Real(id)});
    EXPECT_NE(second.pRefArray, first.pRefArray);
    FREE_RValue(&first);

    const RValue& proj = Call("camera_get_proj_mat", {Real(id)});
    ASSERT_EQ(proj.Kind(), VALUE_ARRAY);
    EXPECT_EQ(proj.pRefArray->m_Array[0].arr[0].val, 1.0);
    EXPECT_EQ(proj.pRefArray->m_Array[0].arr[1].val, 0.0);
}

TEST_F(CameraBuiltins, ActiveAndDefaultCameras) {
    const int a = static_cast<int>(Number("camera_create", {}));
    const int b = static_cast<int>(Number("camera_create", {}));
    EXPECT_EQ(Number("camera_get_active", {}), -1);
    g_CM.SetActiveCamera(b);
    EXPECT_EQ(Number("camera_get_active", {}), b);
    Number("camera_apply", {Real(a)});
    EXPECT_EQ(Number("camera_get_active", {}), b) << "applying does not make active";
    Number("camera_destroy", {Real(b)});
    EXPECT_EQ(Number("camera_get_active", {}), -1);
    EXPECT_EQ(g_CM.GetCamera(b), nullptr);

    EXPECT_EQ(Number("camera_get_default", {}), -1);
    Number("camera_set_default", {Real(a)});
    EXPECT_EQ(Number("camera_get_default", {}), a);
    Number("camera_set_default", {Real(b)});
    EXPECT_EQ(g_DefaultCameraID, a) << "an unknown camera leaves the default";
    Number("camera_destroy", {Real(a)});
    EXPECT_EQ(Number("camera_get_default", {}), -1) << "the default camera is gone";
}

TEST_F(CameraBuiltins, ViewsOfTheRunningRoom) {
    CRoom room;
    Run_Room = &room;
    Number("view_set_camera", {Real(2), Real(5)});
    Number("view_set_visible", {Real(2), Real(1)});
    Number("view_set_xport", {Real(2), Real(10.6)});
    Number("view_set_yport", {Real(2), Real(11)});
    Number("view_set_wport", {Real(2), Real(320)});
    Number("view_set_hport", {Real(2), Real(180)});
    Number("view_set_surface_id", {Real(2), Real(7)});
    EXPECT_EQ(room.m_views[2].camera, 5);
    EXPECT_TRUE(room.m_views[2].visible);
    EXPECT_EQ(room.m_views[2].xport, 11) << "rounded";
    EXPECT_EQ(Number("view_get_camera", {Real(2)}), 5);
    EXPECT_EQ(Number("view_get_visible", {Real(2)}), 1);
    EXPECT_EQ(Number("view_get_xport", {Real(2)}), 11);
    EXPECT_EQ(Number("view_get_yport", {Real(2)}), 11);
    EXPECT_EQ(Number("view_get_wport", {Real(2)}), 320);
    EXPECT_EQ(Number("view_get_hport", {Real(2)}), 180);
    EXPECT_EQ(Number("view_get_surface_id", {Real(2)}), 7);
    EXPECT_EQ(Number("view_get_camera", {Real(0)}), -1);
    room.m_views[2].camera = -1; // not a camera of the manager
    Run_Room = nullptr;
    EXPECT_EQ(Number("view_get_wport", {Real(2)}), 640) << "no room: the defaults";
    EXPECT_EQ(TakeShown(), "");
}

} // namespace
