// The room's views each frame and the drawing region's size.
#include "render/room_views.h"

#include <algorithm>
#include <cmath>

#include "core/header_globals.h"
#include "core/matrix.h"
#include "render/graphics_device.h"
#include "render/view.h"
#include "render/window_services.h"
#include "render/window_views.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "room/room.h"
#include "room/room_table.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

constexpr int kRoomViews = 8;
constexpr float kDegToRad = 0.017453292f;

bool Live(const CInstance* inst) {
    return inst != nullptr && !inst->i_marked && !inst->i_deactivated;
}

// The instance a legacy view follows: an instance id above 99999, else the
// first live instance of the object with that index.
CInstance* FollowedInstance(int32_t follow) {
    if (follow > 99999) {
        CInstance* inst = CInstance::Find(follow);
        return Live(inst) ? inst : nullptr;
    }
    if (follow < 0) return nullptr;
    CObjectVT* object = Object_Data(follow);
    if (object == nullptr) return nullptr;
    for (SInstanceNode* node = object->m_Instances.m_pFirst; node != nullptr; node = node->m_pNext) {
        if (Live(node->m_pInstance)) return node->m_pInstance;
    }
    return nullptr;
}

float Follow(float old, float pos, float border, float size, float roomSize, float speed) {
    float next = old;
    if (2 * border >= size) {
        next = pos - size * 0.5f;
    } else if (pos - border < old) {
        next = pos - border;
    } else if (pos + border > old + size) {
        next = pos + border - size;
    }
    next = std::max(next, 0.0f);
    if (next + size > roomSize) next = roomSize - size;
    if (speed >= 0) next = std::clamp(next, old - speed, old + speed);
    return next;
}

void FollowInstance(CViewVT& view, CRoom& room) {
    CInstance* inst = FollowedInstance(view.follow);
    if (inst == nullptr) return;
    if (inst->m_bboxDirty) inst->Compute_BoundingBox(true);
    const float ix = std::floor(inst->i_x), iy = std::floor(inst->i_y);
    view.xview = Follow(view.xview, ix, static_cast<float>(view.hborder), view.wview,
                        static_cast<float>(room.m_width), static_cast<float>(view.hspeed));
    view.yview = Follow(view.yview, iy, static_cast<float>(view.vborder), view.hview,
                        static_cast<float>(room.m_height), static_cast<float>(view.vspeed));
}

} // namespace

void UpdateViews() {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    if (!room->m_enableViews) {
        for (int i = 0; i < kRoomViews; ++i) GR_Window_View_UnDefine(i);
        return;
    }
    for (CViewVT& view : room->m_views) {
        if (!view.visible) continue;
        if (g_isNimbar) {
            CCamera* camera = view.camera == -1 ? nullptr : g_CM.GetCamera(view.camera);
            if (camera != nullptr) camera->CameraUpdate();
        } else {
            FollowInstance(view, *room);
        }
    }
    float left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (int i = 0; i < kRoomViews; ++i) {
        GR_Window_View_UnDefine(i);
        const CViewVT& v = room->m_views[i];
        if (!v.visible) continue;
        const float px = static_cast<float>(v.xport), py = static_cast<float>(v.yport);
        const float pr = px + static_cast<float>(v.wport), pb = py + static_cast<float>(v.hport);
        GR_Window_View_Define(i, px, py, static_cast<float>(v.wport), static_cast<float>(v.hport), v.xview,
                              v.yview, v.wview, v.hview, v.angle, v.surface, v.camera);
        left = any ? std::min(left, px) : px;
        top = any ? std::min(top, py) : py;
        right = any ? std::max(right, pr) : pr;
        bottom = any ? std::max(bottom, pb) : pb;
        any = true;
    }
    // With no visible view (or ports of no extent) the scales stay as they
    // were rather than becoming infinite.
    if (any && right > left && bottom > top) {
        g_DisplayScaleX = static_cast<float>(g_ApplicationWidth) / (right - left);
        g_DisplayScaleY = static_cast<float>(g_ApplicationHeight) / (bottom - top);
    }
}

void UpdateDefaultCamera(float x, float y, float w, float h, float angle) {
    CCamera* camera = g_CM.GetCamera(g_DefaultCameraID);
    if (camera == nullptr) {
        // Without a default camera the rectangle is the plain view area.
        GR_D3D_Set_View_Area(x, y, w, h, angle);
        return;
    }
    const float cx = x + w / 2, cy = y + h / 2;
    if (camera->Is2D()) {
        camera->SetViewX(x);
        camera->SetViewY(y);
        camera->SetViewWidth(w);
        camera->SetViewHeight(h);
        camera->SetViewAngle(angle);
        camera->Build2DView(cx, cy);
        camera->ApplyMatrices();
    } else {
        zqMatrix view, projection;
        const zqVector3 eye{cx, cy, -w}, at{cx, cy, 0};
        const zqVector3 up{std::sin(-angle * kDegToRad), std::cos(-angle * kDegToRad), 0};
        zqMatrix::LookAtLH(&view, &eye, &at, &up);
        zqMatrix::PerspectiveLH(&projection, 1.0f, w != 0 ? -(h / w) : 0.0f, 1.0f, 32000.0f);
        camera->SetViewMat(view);
        camera->SetProjMat(projection);
        camera->ApplyMatrices();
        g_ViewAreaX = x;
        g_ViewAreaY = y;
        g_ViewAreaW = w;
        g_ViewAreaH = h;
        g_ViewAreaA = angle;
        SetViewExtents(x, y, w, h, angle);
    }
    g_CM.SetActiveCamera(g_DefaultCameraID);
    if (CCamera* active = g_CM.GetActiveCamera()) active->ApplyMatrices();
}

void Room_SizeDrawing() {
    const CRoom* room = Run_Room;
    if (room == nullptr) return;
    int width = room->m_width, height = room->m_height;
    if (room->m_enableViews) {
        width = height = 8;
        for (const CViewVT& v : room->m_views) {
            if (!v.visible) continue;
            width = std::max(width, v.xport + v.wport);
            height = std::max(height, v.yport + v.hport);
        }
    }
    if (g_DisplayWidth > 0) width = std::min(width, g_DisplayWidth);
    if (g_DisplayHeight > 0) height = std::min(height, g_DisplayHeight);
    if (width != wind_regionwidth || height != wind_regionheight) {
        wind_regionwidth = width;
        wind_regionheight = height;
    }
}
