// The camera and view built-ins: scripts create, configure, query and apply
// cameras by id, and read and set the camera, port, visibility and surface of
// the running room's views. Registered from the table at the end, in its order.
//
// [SECTION] The shared frame
// [SECTION] Cameras: create, destroy, apply, active and default
// [SECTION] Cameras: matrices
// [SECTION] Cameras: setters
// [SECTION] Cameras: getters
// [SECTION] Views
// [SECTION] Registration
#include <cstdio>

#include "core/arguments.h"
#include "core/builtin_variable_access.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/rvalue.h"
#include "room/camera_manager.h"

namespace {

// ---------------------------------------------------------------------------
// [SECTION] The shared frame

void ReportCount(const char* name, const char* what) {
    char text[160];
    std::snprintf(text, sizeof text, "%s() - %s", name, what);
    Error_Show(text, false);
}

// Every camera built-in: the result starts as -1; a call with another number
// of arguments than registered is reported by name; the camera is the one the
// first argument names, null (without a message) when there is none.
CCamera* CameraArg(const char* name, RValue& result, int argc, RValue* args, int expected) {
    ZQSetResultReal(result, -1.0);
    if (argc != expected) {
        ReportCount(name, "wrong number of arguments");
        return nullptr;
    }
    return g_CM.GetCamera(ZQGetInt32(args, 0));
}

// ---------------------------------------------------------------------------
// [SECTION] Cameras: create, destroy, apply, active and default

void F_CameraCreate(RValue& result, CInstance*, CInstance*, int argc, RValue*) {
    ZQSetResultReal(result, -1.0);
    if (argc != 0) {
        ReportCount("camera_create", "doesn't take any arguments");
        return;
    }
    ZQSetResultReal(result, g_CM.CreateCamera()->GetID());
}

// x, y, width, height, then optionally angle, target, speed x, speed y,
// border x, border y.
void F_CameraCreateView(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    ZQSetResultReal(result, -1.0);
    if (argc < 4) {
        ReportCount("camera_create_view", "must have at least 4 arguments");
        return;
    }
    const float x = ZQGetFloat(args, 0), y = ZQGetFloat(args, 1);
    const float w = ZQGetFloat(args, 2), h = ZQGetFloat(args, 3);
    CCamera* camera = g_CM.CreateCamera();
    camera->SetViewX(x);
    camera->SetViewY(y);
    camera->SetViewWidth(w);
    camera->SetViewHeight(h);
    camera->SetViewAngle(argc > 4 ? ZQGetFloat(args, 4) : 0.0f);
    camera->SetTargetInstance(argc > 5 ? ZQGetInt32(args, 5) : -1);
    camera->SetViewSpeedX(argc > 6 ? ZQGetFloat(args, 6) : -1.0f);
    camera->SetViewSpeedY(argc > 7 ? ZQGetFloat(args, 7) : -1.0f);
    camera->SetViewBorderX(argc > 8 ? ZQGetFloat(args, 8) : 0.0f);
    camera->SetViewBorderY(argc > 9 ? ZQGetFloat(args, 9) : 0.0f);
    const float cx = x + w / 2.0f, cy = y + h / 2.0f;
    if (camera->IsOrthoProj())
        camera->Build2DView(cx, cy);
    else
        camera->Build3DView(cx, cy);
    ZQSetResultReal(result, camera->GetID());
}

void F_CameraDestroy(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    if (CCamera* camera = CameraArg("camera_destroy", result, argc, args, 1))
        g_CM.DestroyCamera(camera->GetID());
}

void F_CameraApply(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    if (CCamera* camera = CameraArg("camera_apply", result, argc, args, 1)) camera->ApplyMatrices();
}

void F_CameraGetActive(RValue& result, CInstance*, CInstance*, int, RValue*) {
    const CCamera* active = g_CM.GetActiveCamera();
    ZQSetResultReal(result, active != nullptr ? active->GetID() : -1);
}

void F_CameraGetDefault(RValue& result, CInstance*, CInstance*, int, RValue*) {
    ZQSetResultReal(result, g_CM.GetCamera(g_DefaultCameraID) != nullptr ? g_DefaultCameraID : -1);
}

// The count is not checked beyond what the call reads.
void F_CameraSetDefault(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    ZQSetResultReal(result, -1.0);
    if (argc < 1) {
        ReportCount("camera_set_default", "wrong number of arguments");
        return;
    }
    const int id = ZQGetInt32(args, 0);
    if (g_CM.GetCamera(id) != nullptr) g_DefaultCameraID = id;
}

// ---------------------------------------------------------------------------
// [SECTION] Cameras: matrices

// A script matrix: the first row of an array, exactly 16 values. False, with
// the report made, for anything else.
bool MatrixArg(const char* name, const RValue& arg, zqMatrix* out) {
    char text[160];
    if (arg.Kind() != VALUE_ARRAY || arg.pRefArray == nullptr) {
        std::snprintf(text, sizeof text, "%s() - array invalid (has it been created properly?)", name);
        Error_Show_Action(text, false);
        return false;
    }
    const RefDynamicArrayOfRValue* record = arg.pRefArray;
    const DynamicArrayOfRValue* row =
        record->m_length > 0 && record->m_Array != nullptr ? &record->m_Array[0] : nullptr;
    if (row == nullptr || row->length != 16 || row->arr == nullptr) {
        std::snprintf(text, sizeof text, "%s() - must be 16 entries in array", name);
        Error_Show_Action(text, false);
        return false;
    }
    for (int i = 0; i < 16; ++i) out->m[i] = ZQGetFloat(row->arr, i);
    return true;
}

void F_CameraSetViewMat(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    CCamera* camera = CameraArg("camera_set_view_mat", result, argc, args, 2);
    zqMatrix matrix;
    if (camera != nullptr && MatrixArg("camera_set_view_mat", args[1], &matrix)) camera->SetViewMat(matrix);
}

void F_CameraSetProjMat(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    CCamera* camera = CameraArg("camera_set_proj_mat", result, argc, args, 2);
    zqMatrix matrix;
    if (camera != nullptr && MatrixArg("camera_set_proj_mat", args[1], &matrix)) camera->SetProjMat(matrix);
}

// A fresh array of the 16 elements: changing it leaves the camera alone.
void MatrixResult(RValue& result, const zqMatrix& matrix) {
    result.pRefArray = ARRAY_RefAlloc(&result);
    result.flags = 0;
    result.kind = result.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
    if (result.pRefArray == nullptr) return;
    for (int i = 15; i >= 0; --i) { // the last first: the row grows once
        RValue v = RValue_Real(matrix.m[i]);
        SET_RValue_Array(&result, &v, i);
    }
}

void F_CameraGetViewMat(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    if (const CCamera* camera = CameraArg("camera_get_view_mat", result, argc, args, 1))
        MatrixResult(result, camera->GetViewMat());
}

void F_CameraGetProjMat(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    if (const CCamera* camera = CameraArg("camera_get_proj_mat", result, argc, args, 1))
        MatrixResult(result, camera->GetProjMat());
}

// ---------------------------------------------------------------------------
// [SECTION] Cameras: setters

// cam, value: one integer field.
#define ZQ_CAMERA_SET_INT(fn, name, setter)                                                                  \
    void fn(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {                                \
        if (CCamera* camera = CameraArg(name, result, argc, args, 2)) camera->setter(ZQGetInt32(args, 1));   \
    }

// cam, a, b: two float fields; position and size mark the camera dirty, so
// that the next update of a camera without a target rebuilds its matrices.
#define ZQ_CAMERA_SET_PAIR(fn, name, setA, setB, dirty)                                                      \
    void fn(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {                                \
        CCamera* camera = CameraArg(name, result, argc, args, 3);                                            \
        if (camera == nullptr) return;                                                                       \
        camera->setA(ZQGetFloat(args, 1));                                                                   \
        camera->setB(ZQGetFloat(args, 2));                                                                   \
        if (dirty) camera->SetViewDirty();                                                                   \
    }

ZQ_CAMERA_SET_INT(F_CameraSetUpdateScript, "camera_set_update_script", SetUpdateScript)
ZQ_CAMERA_SET_INT(F_CameraSetBeginScript, "camera_set_begin_script", SetBeginScript)
ZQ_CAMERA_SET_INT(F_CameraSetEndScript, "camera_set_end_script", SetEndScript)
ZQ_CAMERA_SET_INT(F_CameraSetViewTarget, "camera_set_view_target", SetTargetInstance)
ZQ_CAMERA_SET_PAIR(F_CameraSetViewPos, "camera_set_view_pos", SetViewX, SetViewY, true)
ZQ_CAMERA_SET_PAIR(F_CameraSetViewSize, "camera_set_view_size", SetViewWidth, SetViewHeight, true)
ZQ_CAMERA_SET_PAIR(F_CameraSetViewSpeed, "camera_set_view_speed", SetViewSpeedX, SetViewSpeedY, false)
ZQ_CAMERA_SET_PAIR(F_CameraSetViewBorder, "camera_set_view_border", SetViewBorderX, SetViewBorderY, false)

void F_CameraSetViewAngle(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {
    CCamera* camera = CameraArg("camera_set_view_angle", result, argc, args, 2);
    if (camera == nullptr) return;
    camera->SetViewAngle(ZQGetFloat(args, 1));
    camera->SetViewDirty();
}

// ---------------------------------------------------------------------------
// [SECTION] Cameras: getters

#define ZQ_CAMERA_GET(fn, name, getter)                                                                      \
    void fn(RValue& result, CInstance*, CInstance*, int argc, RValue* args) {                                \
        if (const CCamera* camera = CameraArg(name, result, argc, args, 1))                                  \
            ZQSetResultReal(result, camera->getter());                                                       \
    }

ZQ_CAMERA_GET(F_CameraGetUpdateScript, "camera_get_update_script", GetUpdateScript)
ZQ_CAMERA_GET(F_CameraGetBeginScript, "camera_get_begin_script", GetBeginScript)
ZQ_CAMERA_GET(F_CameraGetEndScript, "camera_get_end_script", GetEndScript)
ZQ_CAMERA_GET(F_CameraGetViewX, "camera_get_view_x", GetViewX)
ZQ_CAMERA_GET(F_CameraGetViewY, "camera_get_view_y", GetViewY)
ZQ_CAMERA_GET(F_CameraGetViewWidth, "camera_get_view_width", GetViewWidth)
ZQ_CAMERA_GET(F_CameraGetViewHeight, "camera_get_view_height", GetViewHeight)
ZQ_CAMERA_GET(F_CameraGetViewSpeedX, "camera_get_view_speed_x", GetViewSpeedX)
ZQ_CAMERA_GET(F_CameraGetViewSpeedY, "camera_get_view_speed_y", GetViewSpeedY)
ZQ_CAMERA_GET(F_CameraGetViewBorderX, "camera_get_view_border_x", GetViewBorderX)
ZQ_CAMERA_GET(F_CameraGetViewBorderY, "camera_get_view_border_y", GetViewBorderY)
ZQ_CAMERA_GET(F_CameraGetViewAngle, "camera_get_view_angle", GetViewAngle)
ZQ_CAMERA_GET(F_CameraGetViewTarget, "camera_get_view_target", GetTargetInstance)

// ---------------------------------------------------------------------------
// [SECTION] Views

// view, through the view variable's getter with the view as the index. A
// call without the view is reported rather than read past its arguments.
#define ZQ_VIEW_GET(fn, name, getter)                                                                        \
    void fn(RValue& result, CInstance* self, CInstance*, int argc, RValue* args) {                           \
        if (argc < 1) {                                                                                      \
            ZQSetResultReal(result, -1.0);                                                                   \
            ReportCount(name, "wrong number of arguments");                                                  \
            return;                                                                                          \
        }                                                                                                    \
        getter(self, ZQGetInt32(args, 0), &result);                                                          \
    }

// view, value: the value as a real through the view variable's setter.
#define ZQ_VIEW_SET(fn, name, setter)                                                                        \
    void fn(RValue& result, CInstance* self, CInstance*, int argc, RValue* args) {                           \
        if (argc < 2) {                                                                                      \
            ZQSetResultReal(result, -1.0);                                                                   \
            ReportCount(name, "wrong number of arguments");                                                  \
            return;                                                                                          \
        }                                                                                                    \
        RValue value = RValue_Real(ZQGetReal(args, 1));                                                      \
        setter(self, ZQGetInt32(args, 0), &value);                                                           \
    }

ZQ_VIEW_GET(F_ViewGetCamera, "view_get_camera", GV_view_camera)
ZQ_VIEW_GET(F_ViewGetVisible, "view_get_visible", GV_view_visible)
ZQ_VIEW_GET(F_ViewGetXport, "view_get_xport", GV_view_xport)
ZQ_VIEW_GET(F_ViewGetYport, "view_get_yport", GV_view_yport)
ZQ_VIEW_GET(F_ViewGetWport, "view_get_wport", GV_view_wport)
ZQ_VIEW_GET(F_ViewGetHport, "view_get_hport", GV_view_hport)
ZQ_VIEW_GET(F_ViewGetSurfaceID, "view_get_surface_id", GV_view_surface_id)
ZQ_VIEW_SET(F_ViewSetCamera, "view_set_camera", SV_view_camera)
ZQ_VIEW_SET(F_ViewSetVisible, "view_set_visible", SV_view_visible)
ZQ_VIEW_SET(F_ViewSetXport, "view_set_xport", SV_view_xport)
ZQ_VIEW_SET(F_ViewSetYport, "view_set_yport", SV_view_yport)
ZQ_VIEW_SET(F_ViewSetWport, "view_set_wport", SV_view_wport)
ZQ_VIEW_SET(F_ViewSetHport, "view_set_hport", SV_view_hport)
ZQ_VIEW_SET(F_ViewSetSurfaceID, "view_set_surface_id", SV_view_surface_id)

// ---------------------------------------------------------------------------
// [SECTION] Registration

struct CameraBuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
};

// Registered in this order.
const CameraBuiltinRow kCameraBuiltins[] = {
    {"camera_create", F_CameraCreate, 0},
    {"camera_create_view", F_CameraCreateView, 4},
    {"camera_destroy", F_CameraDestroy, 1},
    {"camera_apply", F_CameraApply, 1},
    {"camera_get_active", F_CameraGetActive, 0},
    {"camera_get_default", F_CameraGetDefault, 0},
    {"camera_set_default", F_CameraSetDefault, 1},
    {"camera_set_view_mat", F_CameraSetViewMat, 2},
    {"camera_set_proj_mat", F_CameraSetProjMat, 2},
    {"camera_set_update_script", F_CameraSetUpdateScript, 2},
    {"camera_set_begin_script", F_CameraSetBeginScript, 2},
    {"camera_set_end_script", F_CameraSetEndScript, 2},
    {"camera_set_view_pos", F_CameraSetViewPos, 3},
    {"camera_set_view_size", F_CameraSetViewSize, 3},
    {"camera_set_view_speed", F_CameraSetViewSpeed, 3},
    {"camera_set_view_border", F_CameraSetViewBorder, 3},
    {"camera_set_view_angle", F_CameraSetViewAngle, 2},
    {"camera_set_view_target", F_CameraSetViewTarget, 2},
    {"camera_get_view_mat", F_CameraGetViewMat, 1},
    {"camera_get_proj_mat", F_CameraGetProjMat, 1},
    {"camera_get_update_script", F_CameraGetUpdateScript, 1},
    {"camera_get_begin_script", F_CameraGetBeginScript, 1},
    {"camera_get_end_script", F_CameraGetEndScript, 1},
    {"camera_get_view_x", F_CameraGetViewX, 1},
    {"camera_get_view_y", F_CameraGetViewY, 1},
    {"camera_get_view_width", F_CameraGetViewWidth, 1},
    {"camera_get_view_height", F_CameraGetViewHeight, 1},
    {"camera_get_view_speed_x", F_CameraGetViewSpeedX, 1},
    {"camera_get_view_speed_y", F_CameraGetViewSpeedY, 1},
    {"camera_get_view_border_x", F_CameraGetViewBorderX, 1},
    {"camera_get_view_border_y", F_CameraGetViewBorderY, 1},
    {"camera_get_view_angle", F_CameraGetViewAngle, 1},
    {"camera_get_view_target", F_CameraGetViewTarget, 1},
    {"view_get_camera", F_ViewGetCamera, 1},
    {"view_get_visible", F_ViewGetVisible, 1},
    {"view_get_xport", F_ViewGetXport, 1},
    {"view_get_yport", F_ViewGetYport, 1},
    {"view_get_wport", F_ViewGetWport, 1},
    {"view_get_hport", F_ViewGetHport, 1},
    {"view_get_surface_id", F_ViewGetSurfaceID, 1},
    {"view_set_camera", F_ViewSetCamera, 2},
    {"view_set_visible", F_ViewSetVisible, 2},
    {"view_set_xport", F_ViewSetXport, 2},
    {"view_set_yport", F_ViewSetYport, 2},
    {"view_set_wport", F_ViewSetWport, 2},
    {"view_set_hport", F_ViewSetHport, 2},
    {"view_set_surface_id", F_ViewSetSurfaceID, 2},
};
static_assert(sizeof kCameraBuiltins / sizeof kCameraBuiltins[0] == 47, "47 camera and view built-ins");

} // namespace

void CameraManager_SetupVTLFunctions() {
    for (const CameraBuiltinRow& row : kCameraBuiltins) Function_Add(row.name, row.routine, row.argc, true);
}
