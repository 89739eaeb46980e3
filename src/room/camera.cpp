// Cameras (see camera.h): building the matrices, following a target, running
// camera scripts, handing the view to the renderer, the saved-game record.
#include "room/camera.h"

#include <algorithm>
#include <cmath>

#include "core/buffer.h"
#include "core/collector.h"
#include "core/real_to_int.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "core/variables.h"
#include "room/camera_manager.h"
#include "room/camera_services.h"
#include "room/room.h"
#include "world/instances/instance.h"
#include "world/objects/object_type.h"

namespace {

constexpr float kDegreesToRadians = 0.017453292f;
constexpr float kRadiansToDegrees = 57.2957764f;
constexpr float kEyeDistance2D = 16000.0f;
constexpr float kNear = 1.0f;
constexpr float kFar = 32000.0f;

zqVector3 Normalised(float x, float y, float z) {
    const float length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0f)) return {0.0f, 0.0f, 0.0f};
    return {x / length, y / length, z / length};
}

// The view's up vector for an angle in degrees (turned the other way, so a
// positive angle turns the picture clockwise on the screen).
zqVector3 UpFor(float angle) {
    const float a = angle * -kDegreesToRadians;
    return {std::sin(a), std::cos(a), 0.0f};
}

// The instance a camera follows: an instance id (above 99999), or the first
// live instance of an object and its descendants; null when there is none.
CInstance* FollowedInstance(int32_t target) {
    if (target > 99999) {
        CInstance* instance = CInstance::Find(target);
        if (instance == nullptr || instance->i_marked || instance->i_deactivated) return nullptr;
        return instance;
    }
    CObjectVT* object = Object_Data(target);
    if (object == nullptr) return nullptr;
    for (SInstanceNode* node = object->m_InstancesRecursive.m_pFirst; node != nullptr; node = node->m_pNext) {
        CInstance* instance = node->m_pInstance;
        if (instance != nullptr && !instance->i_marked && !instance->i_deactivated) return instance;
    }
    return nullptr;
}

// The new top-left coordinate on one axis: the target kept `border` away
// from the edges of a view of `size` at `at` (centred when the borders
// cannot both fit), inside a room of `roomSize` when there is a room, and
// moved at most `speed` (a negative speed imposes no limit).
float FollowAxis(float target, float border, float size, float at, float speed, bool inRoom, float roomSize) {
    float next;
    if (2.0f * border >= size)
        next = target - size / 2.0f;
    else if (target - border < at)
        next = target - border;
    else if (target + border > at + size)
        next = target + border - size;
    else
        next = at;
    if (inRoom) {
        next = std::max(next, 0.0f);
        if (next + size > roomSize) next = roomSize - size; // a view wider than the room ends up negative
    }
    if (speed >= 0.0f && std::fabs(next - at) > speed) next = next > at ? at + speed : at - speed;
    return next;
}

// The saved-game record, written and read by the same walk over the fields.
struct RecordWriter {
    IBuffer* buffer;
    void Put(eBuffer_Type type, double value) {
        RValue v = RValue_Real(value);
        buffer->Write(type, &v);
    }
    void S32(int32_t& n) { Put(eBuffer_S32, n); }
    void F32(float& f) { Put(eBuffer_F32, f); }
    void Bool(bool& b) { Put(eBuffer_S32, b ? 1 : 0); }
    void Matrix(zqMatrix& m) {
        for (float& f : m.m) F32(f);
    }
};

// The first failure sticks, so a whole record is read and checked once.
struct RecordReader {
    IBuffer* buffer;
    bool ok = true;
    double Get(eBuffer_Type type) {
        if (!ok) return 0.0;
        RValue v = RValue_Real(0.0);
        if (buffer->Read(type, &v) != 0) {
            ok = false;
            return 0.0;
        }
        return REAL_RValue(&v);
    }
    void S32(int32_t& n) { n = RealToInt32(Get(eBuffer_S32)); }
    void F32(float& f) { f = static_cast<float>(Get(eBuffer_F32)); }
    void Bool(bool& b) { b = RealToInt32(Get(eBuffer_S32)) != 0; }
    void Matrix(zqMatrix& m) {
        for (float& f : m.m) F32(f);
    }
};

} // namespace

CCamera::CCamera()
    : m_projection(zqMatrix::Identity()), m_view(zqMatrix::Identity()),
      m_viewProjection(zqMatrix::Identity()), m_invProjection(zqMatrix::Identity()),
      m_invView(zqMatrix::Identity()), m_invViewProjection(zqMatrix::Identity()) {}

// ---------------------------------------------------------------------------
// Matrices

// A matrix that cannot be inverted leaves its inverse slot holding the
// matrix itself (Invert leaves a singular matrix unchanged).
void CCamera::Derive(bool viewChanged, bool projectionChanged) {
    if (viewChanged) {
        m_invView = m_view;
        m_invView.Invert();
    }
    if (projectionChanged) {
        m_invProjection = m_projection;
        m_invProjection.Invert();
    }
    zqMatrix::Multiply(&m_viewProjection, &m_view, &m_projection);
    m_invViewProjection = m_viewProjection;
    m_invViewProjection.Invert();
    Update2D();
}

void CCamera::Build2DView(float cx, float cy) {
    const zqVector3 eye{cx, cy, -kEyeDistance2D};
    const zqVector3 at{cx, cy, 0.0f};
    const zqVector3 up = UpFor(m_angle);
    zqMatrix::LookAtLH(&m_view, &eye, &at, &up);
    zqMatrix::OrthoLH(&m_projection, m_viewWidth, m_viewHeight, kNear, kFar);
    Derive(true, true);
}

void CCamera::Build3DView(float cx, float cy) {
    const zqVector3 eye{cx, cy, -m_viewWidth};
    const zqVector3 at{cx, cy, 0.0f};
    const zqVector3 up = UpFor(m_angle);
    zqMatrix::LookAtLH(&m_view, &eye, &at, &up);
    if (m_viewWidth != 0.0f)
        zqMatrix::PerspectiveLH(&m_projection, 1.0f, -m_viewHeight / m_viewWidth, kNear, kFar);
    Derive(true, true);
}

void CCamera::SetViewMat(const zqMatrix& view) {
    m_view = view;
    Derive(true, false);
}

void CCamera::SetProjMat(const zqMatrix& projection) {
    m_projection = projection;
    Derive(false, true);
}

void CCamera::Update2D() {
    const float* p = m_projection.m;
    const float* v = m_view.m;
    m_is2D = p[1] == 0.0f && p[2] == 0.0f && p[4] == 0.0f && p[6] == 0.0f && p[8] == 0.0f && p[9] == 0.0f &&
             p[11] == 0.0f && v[2] == 0.0f && v[6] == 0.0f;
}

zqVector3 CCamera::GetCamPos() const {
    return {m_invView.m[12], m_invView.m[13], m_invView.m[14]};
}

zqVector3 CCamera::GetCamDir() const {
    return Normalised(m_view.m[2], m_view.m[6], m_view.m[10]);
}

zqVector3 CCamera::GetCamUp() const {
    return Normalised(m_view.m[1], m_view.m[5], m_view.m[9]);
}

zqVector3 CCamera::GetCamRight() const {
    return Normalised(m_view.m[0], m_view.m[4], m_view.m[8]);
}

// ---------------------------------------------------------------------------
// Scripts and the update

void CCamera::Begin() {
    ExecuteScript(m_beginScript);
}

void CCamera::End() {
    ExecuteScript(m_endScript);
}

// The script may destroy this camera: nothing of the camera is touched once
// it has run.
void CCamera::ExecuteScript(int32_t script) {
    if (script == -1) return;
    CInstance* self =
        g_fJSGarbageCollection ? reinterpret_cast<CInstance*>(g_pGlobal) : g_CM.GetScriptInstance();
    if (self == nullptr) return;
    const int32_t savedObject = Current_Object;
    Current_Object = m_id;
    RValue result = RValue_Undefined();
    Script_Perform(script, self, self, 0, &result, nullptr);
    FREE_RValue(&result);
    Current_Object = savedObject;
}

void CCamera::RebuildAroundCentre(float cx, float cy) {
    if (m_projection.m[11] != 0.0f)
        Build3DView(cx, cy);
    else
        Build2DView(cx, cy);
}

void CCamera::CameraUpdate() {
    if (m_updateScript != -1) {
        ExecuteScript(m_updateScript);
        return;
    }
    if (m_target < 0) {
        if (m_dirty) RebuildAroundCentre(m_viewX + m_viewWidth / 2.0f, m_viewY + m_viewHeight / 2.0f);
        return;
    }
    CInstance* instance = FollowedInstance(m_target);
    if (instance == nullptr) return;
    if (instance->m_bboxDirty) instance->Compute_BoundingBox(true);
    const float tx = std::floor(instance->i_x);
    const float ty = std::floor(instance->i_y);
    const bool inRoom = Run_Room != nullptr;
    const float roomWidth = inRoom ? static_cast<float>(Run_Room->m_width) : 0.0f;
    const float roomHeight = inRoom ? static_cast<float>(Run_Room->m_height) : 0.0f;
    m_viewX = FollowAxis(tx, m_borderX, m_viewWidth, m_viewX, m_speedX, inRoom, roomWidth);
    m_viewY = FollowAxis(ty, m_borderY, m_viewHeight, m_viewY, m_speedY, inRoom, roomHeight);
    RebuildAroundCentre(m_viewX + m_viewWidth / 2.0f, m_viewY + m_viewHeight / 2.0f);
}

// ---------------------------------------------------------------------------
// The renderer

// The orthographic view area is read back from the inverse view-projection:
// its first two rows span the clip square's half-extents in the room, the
// inverse view's translation is the eye. A zero height gives angle 0, and the
// cosine is kept inside acos's domain against rounding.
void CCamera::ApplyMatrices() {
    float x, y, w, h, angle = 0.0f;
    if (m_projection.m[11] == 0.0f) {
        const float* m = m_invViewProjection.m;
        const float w2 = 4.0f * (m[0] * m[0] + m[1] * m[1] + m[2] * m[2]);
        const float h2 = 4.0f * (m[4] * m[4] + m[5] * m[5] + m[6] * m[6]);
        w = w2 != 0.0f ? std::sqrt(w2) : 0.0f;
        h = h2 != 0.0f ? std::sqrt(h2) : 0.0f;
        x = m_invView.m[12] - w / 2.0f;
        y = m_invView.m[13] - h / 2.0f;
        if (h > 0.0f) {
            const float cosine = std::clamp(2.0f * m[5] / h, -1.0f, 1.0f);
            float radians = std::acos(cosine);
            if (2.0f * m[4] / h < 0.0f) radians = 2.0f * 3.14159265f - radians;
            angle = radians * kRadiansToDegrees;
        }
    } else {
        x = y = 0.0f;
        w = Run_Room != nullptr ? static_cast<float>(Run_Room->m_width) : 1.0f;
        h = Run_Room != nullptr ? static_cast<float>(Run_Room->m_height) : 1.0f;
    }
    Camera_SetViewArea(x, y, w, h, angle);
    zqMatrix projection = m_projection;
    if (!Camera_DrawingToSurface()) {
        // × diag(1, -1, 1, 1): the window's y grows downwards.
        for (int row = 0; row < 4; ++row) projection.m[4 * row + 1] = -projection.m[4 * row + 1];
    }
    Camera_SetMatrices(m_view, projection);
}

void CCamera::ViewQuad(float corners[8]) const {
    static const float kClip[4][2] = {{-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
    const float* m = m_invViewProjection.m;
    for (int c = 0; c < 4; ++c) {
        const float cx = kClip[c][0], cy = kClip[c][1];
        float x = cx * m[0] + cy * m[4] + m[12];
        float y = cx * m[1] + cy * m[5] + m[13];
        const float w = cx * m[3] + cy * m[7] + m[15];
        if (w != 0.0f && std::isfinite(w)) {
            x /= w;
            y /= w;
        }
        corners[2 * c] = x;
        corners[2 * c + 1] = y;
    }
}

// ---------------------------------------------------------------------------
// The saved-game record

template <typename Io>
void CCamera::Visit(Io& io) {
    io.S32(m_id);
    for (zqMatrix* matrix :
         {&m_projection, &m_view, &m_viewProjection, &m_invProjection, &m_invView, &m_invViewProjection})
        io.Matrix(*matrix);
    for (float* f : {&m_viewX, &m_viewY, &m_viewWidth, &m_viewHeight, &m_speedX, &m_speedY, &m_borderX,
                     &m_borderY, &m_angle})
        io.F32(*f);
    for (int32_t* n : {&m_target, &m_beginScript, &m_endScript, &m_updateScript}) io.S32(*n);
    io.Bool(m_is2D);
    io.Bool(m_dirty);
}

void CCamera::Serialize(IBuffer* buffer) {
    RecordWriter writer{buffer};
    Visit(writer);
}

bool CCamera::DeSerialize(IBuffer* buffer) {
    RecordReader reader{buffer};
    Visit(reader);
    return reader.ok;
}
