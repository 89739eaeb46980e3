// Window views and the conversions between window pixels and room
// coordinates. The window side of every conversion is the drawable (device
// pixels); the letterbox offsets are taken off the point before it is scaled
// into the application surface, in the hit test as in the conversions, so
// that the view a point hits is the view it converts through.
#include "render/window_views.h"

#include <cmath>

#include "core/header_globals.h"
#include "core/real_to_int.h"
#include "render/graphics_device.h"
#include "render/shell_services.h"
#include "render/window_services.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "room/room.h"
#include "room/room_table.h"
#include "world/input/input_state.h"

WindowView _views[kWindowViews];
int32_t _views_count = 0;
bool g_AppSurfaceEnabled = true;
bool g_bUsingAppSurface = true;
uint32_t g_OutsideViewColour = 0xFF000000u;

namespace {

int Trunc(double v) {
    return RealToInt32(std::trunc(v));
}

int Nint(double v) {
    return RealRoundToInt32(v);
}

bool ValidIndex(int i) {
    return i >= 0 && i < kWindowViews;
}

// Defined, one of the room's own views, visible in the room, drawn to the screen.
bool Eligible(int i) {
    if (i < 0 || i >= kPointerViews || !_views[i].defined || Run_Room == nullptr) return false;
    const CViewVT& view = Run_Room->m_views[i];
    return view.visible && view.surface == -1;
}

bool AnyEligible() {
    for (int i = 0; i < kPointerViews; ++i) {
        if (Eligible(i)) return true;
    }
    return false;
}

// A window point scaled into the application surface, offsets taken off.
void ToSurface(int x, int y, int offX, int offY, float& sx, float& sy) {
    const float fx = static_cast<float>(g_ApplicationWidth) /
                     (static_cast<float>(g_ClientWidth - 2 * offX) * g_DisplayScaleX) *
                     static_cast<float>(x - offX);
    const float fy = static_cast<float>(g_ApplicationHeight) /
                     (static_cast<float>(g_ClientHeight - 2 * offY) * g_DisplayScaleY) *
                     static_cast<float>(y - offY);
    sx = std::isfinite(fx) ? static_cast<float>(Trunc(fx)) : 0.0f;
    sy = std::isfinite(fy) ? static_cast<float>(Trunc(fy)) : 0.0f;
}

bool HitsArea(const WindowView& v, int rx, int ry) {
    if (v.portW == 0 || v.portH == 0) return false;
    return v.viewX <= rx && rx < v.viewX + v.viewW && v.viewY <= ry && ry < v.viewY + v.viewH;
}

bool HitsPort(const WindowView& v, int x, int y, int offX, int offY) {
    float px = 0, py = 0;
    ToSurface(x, y, offX, offY, px, py);
    return v.portX <= px && px < v.portX + v.portW && v.portY <= py && py < v.portY + v.portH;
}

CCamera* ViewCamera(const WindowView& v) {
    return v.camera == -1 ? nullptr : g_CM.GetCamera(v.camera);
}

} // namespace

void WindowViews_Reset() {
    for (WindowView& v : _views) v = WindowView{};
    _views_count = 0;
    g_AppSurfaceEnabled = g_bUsingAppSurface = true;
    g_OutsideViewColour = 0xFF000000u;
}

void INITIALIZE_Graphics_Window() {
    g_AppSurfaceEnabled = g_bUsingAppSurface = true;
    GR_View_Undefine_All();
}

void GR_View_Undefine_All() {
    for (WindowView& v : _views) v.defined = false;
    _views_count = 0;
}

void GR_Window_View_Define(int i, float portX, float portY, float portW, float portH, float viewX,
                           float viewY, float viewW, float viewH, float angle, int surface, int camera) {
    if (!ValidIndex(i)) return;
    WindowView& v = _views[i];
    if (!v.defined) ++_views_count;
    v = WindowView{true, viewX, viewY, viewW, viewH, portX, portY, portW, portH, angle, surface, camera};
}

void GR_Window_View_UnDefine(int i) {
    if (!ValidIndex(i) || !_views[i].defined) return;
    _views[i].defined = false;
    --_views_count;
}

void Window_LetterboxOffsets(int& offX, int& offY) {
    offX = offY = 0;
    if (!g_KeepAspectRatio || !g_bUsingAppSurface || g_ApplicationWidth <= 0 || g_ApplicationHeight <= 0)
        return;
    const float aspect = static_cast<float>(g_ApplicationWidth) / static_cast<float>(g_ApplicationHeight);
    const float dw = static_cast<float>(g_DeviceWidth), dh = static_cast<float>(g_DeviceHeight);
    if (dw / aspect >= dh) {
        offX = Trunc((dw - dh * aspect) * 0.5f);
    } else {
        offY = Trunc(
            (dh - dw * (static_cast<float>(g_ApplicationHeight) / static_cast<float>(g_ApplicationWidth))) *
            0.5f);
    }
}

void Get_FullScreenOffset(int& left, int& top, int& right, int& bottom) {
    Window_LetterboxOffsets(left, top);
    right = g_DeviceWidth;
    bottom = g_DeviceHeight;
    if (!g_KeepAspectRatio || !g_bUsingAppSurface || g_ApplicationWidth <= 0 || g_ApplicationHeight <= 0)
        return;
    const float aspect = static_cast<float>(g_ApplicationWidth) / static_cast<float>(g_ApplicationHeight);
    const float dw = static_cast<float>(g_DeviceWidth), dh = static_cast<float>(g_DeviceHeight);
    if (dw / aspect >= dh) {
        right = Trunc(static_cast<float>(left) + dh * aspect);
    } else {
        bottom = Trunc(static_cast<float>(top) +
                       dw * static_cast<float>(g_ApplicationHeight) / static_cast<float>(g_ApplicationWidth));
    }
}

void GR_Window_GUI_Convert(int x, int y, int& gx, int& gy) {
    const int64_t gw = g_GUI_Width < 0 ? g_DeviceWidth : g_GUI_Width;
    const int64_t gh = g_GUI_Height < 0 ? g_DeviceHeight : g_GUI_Height;
    gx = g_DeviceWidth == 0 ? 0 : static_cast<int>(gw * (x - g_DisplayOffsetX) / g_DeviceWidth);
    gy = g_DeviceHeight == 0 ? 0 : static_cast<int>(gh * (y - g_DisplayOffsetY) / g_DeviceHeight);
}

void GR_Window_View_Convert(int i, int x, int y, int& rx, int& ry) {
    if (!ValidIndex(i)) return;
    const WindowView& v = _views[i];
    if (!v.defined || v.portW == 0 || v.portH == 0) return;
    int offX = 0, offY = 0;
    Window_LetterboxOffsets(offX, offY);
    float sx = 0, sy = 0;
    ToSurface(x, y, offX, offY, sx, sy);
    sx -= static_cast<float>(Trunc(v.portX));
    sy -= static_cast<float>(Trunc(v.portY));
    if (g_isNimbar) {
        CCamera* camera = ViewCamera(v);
        if (camera == nullptr) {
            rx = Trunc(sx);
            ry = Trunc(sy);
            return;
        }
        const float nx = 2.0f * sx / v.portW - 1.0f, ny = 2.0f * sy / v.portH - 1.0f;
        const zqMatrix inv = camera->GetInvViewProjMat();
        rx = Trunc(nx * inv.m[0] + ny * inv.m[4] + inv.m[12]);
        ry = Trunc(nx * inv.m[1] + ny * inv.m[5] + inv.m[13]);
        return;
    }
    const float ux = sx * v.viewW / v.portW, uy = sy * v.viewH / v.portH;
    if (std::fabs(v.angle) < 0.0001f) {
        rx = Nint(v.viewX + ux);
        ry = Nint(v.viewY + uy);
        return;
    }
    const double a = static_cast<double>(v.angle * -0.017453292f);
    const double c = std::cos(a), s = std::sin(a);
    const double hw = v.viewW / 2.0, hh = v.viewH / 2.0;
    rx = Nint(v.viewX + hw + c * (ux - hw) + s * (uy - hh));
    ry = Nint(v.viewY + hh - s * (ux - hw) + c * (uy - hh));
}

void GR_Window_View_Convert_World(int i, float x, float y, int& wx, int& wy) {
    wx = Nint(x);
    wy = Nint(y);
    if (!ValidIndex(i)) return;
    const WindowView& v = _views[i];
    if (!v.defined || v.viewW == 0 || v.viewH == 0) return;
    if (g_isNimbar) {
        CCamera* camera = ViewCamera(v);
        if (camera == nullptr) return;
        const zqMatrix m = camera->GetViewProjMat();
        const float px = x * m.m[0] + y * m.m[4] + m.m[12];
        const float py = x * m.m[1] + y * m.m[5] + m.m[13];
        const float pw = x * m.m[3] + y * m.m[7] + m.m[15];
        if (pw == 0) return;
        wx = Trunc((px * 0.5f * (1.0f / pw) + 0.5f) * v.portW + v.portX);
        wy = Trunc((py * 0.5f * (1.0f / pw) + 0.5f) * v.portH + v.portY);
        return;
    }
    const float dx = (x - v.viewX) * v.portW / v.viewW, dy = (y - v.viewY) * v.portH / v.viewH;
    if (std::fabs(static_cast<double>(v.angle)) < 0.01) {
        wx = Nint(v.portX + dx);
        wy = Nint(v.portY + dy);
        return;
    }
    const double a = static_cast<double>(v.angle * 0.017453292f);
    const double c = std::cos(a), s = std::sin(a);
    const double hw = v.portW * 0.5, hh = v.portH * 0.5;
    wx = Nint(v.portX + hw + c * (dx - hw) + s * (dy - hh));
    wy = Nint(v.portY + hh - s * (dx - hw) + c * (dy - hh));
}

int GR_Window_Views_Get_ID(int x, int y) {
    if (Run_Room == nullptr || !AnyEligible()) return -1;
    int offX = 0, offY = 0;
    Window_LetterboxOffsets(offX, offY);
    for (int i = kPointerViews - 1; i >= 0; --i) {
        if (!Eligible(i)) continue;
        const WindowView& v = _views[i];
        if (g_isNimbar) {
            if (HitsPort(v, x, y, offX, offY)) return i;
            continue;
        }
        int rx = 0, ry = 0;
        GR_Window_View_Convert(i, x, y, rx, ry);
        if (HitsArea(v, rx, ry)) return i;
    }
    return -1;
}

void GR_Window_Views_Convert(int x, int y, int& rx, int& ry) {
    int offX = 0, offY = 0;
    Window_LetterboxOffsets(offX, offY);
    if (Run_Room == nullptr) {
        rx = x - offX;
        ry = y - offY;
        return;
    }
    if (!AnyEligible()) {
        const int cw = g_ClientWidth - 2 * offX, ch = g_ClientHeight - 2 * offY;
        rx = cw == 0 ? 0 : Trunc(static_cast<double>(x - offX) * Run_Room->m_width / cw);
        ry = ch == 0 ? 0 : Trunc(static_cast<double>(y - offY) * Run_Room->m_height / ch);
        return;
    }
    for (int i = kPointerViews - 1; i >= 0; --i) {
        if (!Eligible(i)) continue;
        const WindowView& v = _views[i];
        GR_Window_View_Convert(i, x, y, rx, ry);
        if (g_isNimbar ? HitsPort(v, x, y, offX, offY) : HitsArea(v, rx, ry)) return;
    }
}

int GR_Window_Mouse_Get_X() {
    return g_MousePosX[0];
}

int GR_Window_Mouse_Get_Y() {
    return g_MousePosY[0];
}

int GR_Window_View_Mouse_Get_X(int i) {
    int rx = 0, ry = 0;
    GR_Window_View_Convert(i, g_MousePosX[0], g_MousePosY[0], rx, ry);
    return rx;
}

int GR_Window_View_Mouse_Get_Y(int i) {
    int rx = 0, ry = 0;
    GR_Window_View_Convert(i, g_MousePosX[0], g_MousePosY[0], rx, ry);
    return ry;
}

void GR_Window_Views_Mouse_Get_XY(int& x, int& y, int device) {
    x = y = 0;
    if (device < 0 || device >= kIOMouseDevices) return;
    if (Run_Room == nullptr) {
        x = g_MousePosX[device];
        y = g_MousePosY[device];
        return;
    }
    GR_Window_Views_Convert(g_MousePosX[device], g_MousePosY[device], x, y);
}

int GR_Window_Views_Mouse_Get_X(int device) {
    int x = 0, y = 0;
    GR_Window_Views_Mouse_Get_XY(x, y, device);
    return x;
}

int GR_Window_Views_Mouse_Get_Y(int device) {
    int x = 0, y = 0;
    GR_Window_Views_Mouse_Get_XY(x, y, device);
    return y;
}

void GR_Window_View_Mouse_Set(int i, int x, int y) {
    if (!ValidIndex(i)) return;
    const WindowView& v = _views[i];
    if (!v.defined || v.viewW == 0 || v.viewH == 0) return;
    int wx = 0, wy = 0;
    if (g_isNimbar) {
        GR_Window_View_Convert_World(i, static_cast<float>(x), static_cast<float>(y), wx, wy);
    } else {
        const float dx = (static_cast<float>(x) - v.viewX) * v.portW / v.viewW;
        const float dy = (static_cast<float>(y) - v.viewY) * v.portH / v.viewH;
        if (std::fabs(v.angle) < 0.01f) {
            wx = Trunc(v.portX + dx);
            wy = Trunc(v.portY + dy);
        } else {
            const float a = v.angle * 0.017453292f;
            const float c = std::cos(a), s = std::sin(a);
            const float hw = v.portW * 0.5f, hh = v.portH * 0.5f;
            wx = Trunc(v.portX + hw + c * (dx - hw) + s * (dy - hh));
            wy = Trunc(v.portY + hh + c * (dy - hh) - s * (dx - hw));
        }
    }
    GR_Window_Mouse_Set(wx, wy);
}

void GR_Window_Views_Mouse_Set(int x, int y) {
    for (int i = 0; i < kWindowViews; ++i) {
        if (_views[i].defined) {
            GR_Window_View_Mouse_Set(i, x, y);
            return;
        }
    }
}

void GR_Window_Set_Color(uint32_t colour) {
    g_OutsideViewColour = colour | 0xFF000000u;
}

uint32_t GR_Window_Get_Color() {
    return g_OutsideViewColour & 0xFFFFFFu;
}
