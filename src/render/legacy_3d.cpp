// The legacy 3D layer (see legacy_3d.h). Every operation that changes a
// matrix tells the culling code its room extents are stale, except Stack_Top,
// which only restores a matrix the extents were already computed for.
#include "render/legacy_3d.h"

#include <cmath>

#include "core/header_globals.h"
#include "core/matrix.h"
#include "render/gl_layer.h"
#include "render/render_settings.h"
#include "render/sprite_cull_services.h"
#include "render/view.h"

float GR_Depth = 0.0f;

namespace {

constexpr float kDegToRad = 0.0174532924f;
constexpr float kMaxDepth = 16000.0f;

zqMatrix g_mstack[kTransformStackSize];
int32_t g_mstacktop = -1;

zqMatrix World() {
    zqMatrix m;
    Graphics::GetMatrix(eMatrix_World, m.m);
    return m;
}

void Store(int which, const zqMatrix& m) {
    Graphics::SetMatrix(which, m.m);
    DirtyRoomExtents();
}

void SetWorld(const zqMatrix& m) {
    Store(eMatrix_World, m);
}

void AddWorld(const zqMatrix& m) {
    const zqMatrix world = World();
    zqMatrix product;
    zqMatrix::Multiply(&product, &world, &m);
    SetWorld(product);
}

zqMatrix Translation(float x, float y, float z) {
    zqMatrix m = zqMatrix::Identity();
    m.m[12] = x;
    m.m[13] = y;
    m.m[14] = z;
    return m;
}

zqMatrix Scaling(float x, float y, float z) {
    zqMatrix m = zqMatrix::Identity();
    m.m[0] = x;
    m.m[5] = y;
    m.m[10] = z;
    return m;
}

zqMatrix RotationX(float angle) {
    zqMatrix m;
    zqMatrix::SetXRotation(&m, angle);
    return m;
}

zqMatrix RotationY(float angle) {
    zqMatrix m;
    zqMatrix::SetYRotation(&m, angle);
    return m;
}

zqMatrix RotationZ(float angle) {
    zqMatrix m;
    zqMatrix::SetZRotation(&m, angle);
    return m;
}

// The angle is negated so that a principal axis turns the same way as the
// matching SetXRotation / SetYRotation / SetZRotation.
zqMatrix RotationAxis(float xa, float ya, float za, float angle) {
    zqVector3 axis{xa, ya, za};
    zqMatrix m;
    zqMatrix::CreateRotationAxis(&m, &axis, -angle);
    return m;
}

void StoreView(zqVector3 eye, zqVector3 at, zqVector3 up) {
    zqMatrix view;
    zqMatrix::LookAtLH(&view, &eye, &at, &up);
    Store(eMatrix_View, view);
}

// The view of a room rectangle, from straight in front of its centre at
// `distance`, with the up vector turned by `angle`.
void StoreRoomView(float x, float y, float w, float h, float angle, float distance) {
    const float cx = x + w * 0.5f, cy = y + h * 0.5f;
    const float a = angle * -kDegToRad;
    StoreView({cx, cy, distance}, {cx, cy, 0.0f}, {std::sin(a), std::cos(a), 0.0f});
}

float TargetSign() {
    return static_cast<float>(g_RenderTargetActive);
}

} // namespace

bool GR_3D_Set_Mode(bool on) {
    if (on == GR_3DMode) return true;
    Graphics::Flush();
    GR_3DMode = on;
    GR_D3D_Set_Perspective(on);
    SetZBuffer(GR_3DMode);
    return true;
}

void GR_3D_Clear_Z() {
    if (GR_3DMode) Graphics::Clear(0, 1.0f, 0, eClear_DepthStencil);
}

void GR_3D_Set_Depth(float depth) {
    if (!GR_3DMode && !g_isNimbar) {
        GR_Depth = 0.0f;
        return;
    }
    // Lower bound first, written so that a NaN fails it and ends at the bound.
    if (!(depth >= -kMaxDepth)) depth = -kMaxDepth;
    if (depth > kMaxDepth) depth = kMaxDepth;
    GR_Depth = depth;
}

void GR_3D_Projection_LookAt(float xfrom, float yfrom, float zfrom, float xto, float yto, float zto,
                             float xup, float yup, float zup) {
    StoreView({xfrom, yfrom, zfrom}, {xto, yto, zto}, {xup, yup, zup});
}

void GR_3D_Projection_LookAt_Ext(float xfrom, float yfrom, float zfrom, float xto, float yto, float zto,
                                 float xup, float yup, float zup, float angle, float aspect, float znear,
                                 float zfar) {
    StoreView({xfrom, yfrom, zfrom}, {xto, yto, zto}, {xup, yup, zup});
    const float s = TargetSign();
    zqMatrix projection;
    zqMatrix::PerspectiveFovLH(&projection, angle * kDegToRad * s, s * aspect, znear, zfar);
    Store(eMatrix_Projection, projection);
    Sprite_SetIgnoreCull(false);
}

void GR_3D_Projection_Ortho(float x, float y, float w, float h, float angle) {
    StoreRoomView(x, y, w, h, angle, -kMaxDepth);
    zqMatrix projection;
    // The negated height makes room y grow downwards on the screen.
    zqMatrix::OrthoLH(&projection, w, -(TargetSign() * h), 1.0f, 32000.0f);
    Store(eMatrix_Projection, projection);
    Sprite_SetIgnoreCull(true);
}

void GR_3D_Projection_Perspective(float x, float y, float w, float h, float angle) {
    // Standing back by the width makes the plane z = 0 exactly w wide.
    StoreRoomView(x, y, w, h, angle, -w);
    zqMatrix projection;
    // A zero width would make the height infinite (or not a number) and
    // collapse the picture; it gives the identity, as the other degenerate
    // sizes do.
    float aspect = h / w;
    if (!std::isfinite(aspect)) aspect = 0.0f;
    zqMatrix::PerspectiveLH(&projection, 1.0f, TargetSign() * aspect, 1.0f, 32000.0f);
    Store(eMatrix_Projection, projection);
    Sprite_SetIgnoreCull(false);
}

void GR_3D_Transform_Set_Identity() {
    SetWorld(zqMatrix::Identity());
}

void GR_3D_Transform_Set_Translation(float x, float y, float z) {
    SetWorld(Translation(x, y, z));
}

void GR_3D_Transform_Set_Scaling(float x, float y, float z) {
    SetWorld(Scaling(x, y, z));
}

void GR_3D_Transform_Set_Rotation_X(float angle) {
    SetWorld(RotationX(angle));
}

void GR_3D_Transform_Set_Rotation_Y(float angle) {
    SetWorld(RotationY(angle));
}

void GR_3D_Transform_Set_Rotation_Z(float angle) {
    SetWorld(RotationZ(angle));
}

void GR_3D_Transform_Set_Rotation_Axis(float xa, float ya, float za, float angle) {
    SetWorld(RotationAxis(xa, ya, za, angle));
}

void GR_3D_Transform_Add_Translation(float x, float y, float z) {
    AddWorld(Translation(x, y, z));
}

void GR_3D_Transform_Add_Scaling(float x, float y, float z) {
    AddWorld(Scaling(x, y, z));
}

void GR_3D_Transform_Add_Rotation_X(float angle) {
    AddWorld(RotationX(angle));
}

void GR_3D_Transform_Add_Rotation_Y(float angle) {
    AddWorld(RotationY(angle));
}

void GR_3D_Transform_Add_Rotation_Z(float angle) {
    AddWorld(RotationZ(angle));
}

void GR_3D_Transform_Add_Rotation_Axis(float xa, float ya, float za, float angle) {
    AddWorld(RotationAxis(xa, ya, za, angle));
}

void GR_3D_Transform_Stack_Clear() {
    g_mstacktop = -1;
}

bool GR_3D_Transform_Stack_Empty() {
    return g_mstacktop < 0;
}

bool GR_3D_Transform_Stack_Push() {
    if (g_mstacktop >= kTransformStackSize - 1) return false;
    g_mstack[++g_mstacktop] = World();
    return true;
}

bool GR_3D_Transform_Stack_Pop() {
    if (g_mstacktop < 0) return false;
    SetWorld(g_mstack[g_mstacktop]);
    --g_mstacktop;
    return true;
}

bool GR_3D_Transform_Stack_Top() {
    if (g_mstacktop < 0) return false;
    Graphics::SetMatrix(eMatrix_World, g_mstack[g_mstacktop].m);
    return true;
}

bool GR_3D_Transform_Stack_Discard() {
    if (g_mstacktop < 0) return false;
    --g_mstacktop;
    return true;
}

int GR_3D_Transform_Stack_Depth() {
    return g_mstacktop + 1;
}

void GR_3D_TransformVertex(float& x, float& y, float& z) {
    const zqMatrix w = World();
    const float* m = w.m;
    const float ox = x, oy = y, oz = z;
    x = m[0] * ox + m[4] * oy + m[8] * oz + m[12];
    y = m[1] * ox + m[5] * oy + m[9] * oz + m[13];
    z = m[2] * ox + m[6] * oy + m[10] * oz + m[14];
}

void Legacy3D_Reset() {
    GR_3DMode = false;
    GR_Depth = 0.0f;
    g_mstacktop = -1;
}
