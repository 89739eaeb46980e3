// A camera: a view rectangle in the room with an angle, optional target
// following with borders and speed limits, scripts for the begin and end of
// its view's drawing and in place of the following, and the six matrices it
// builds from these and hands to the renderer. Cameras are made, numbered and
// freed only by the camera manager (room/camera_manager.h).
#pragma once

#include <cstdint>

#include "core/matrix.h"

class IBuffer;

class CCamera {
public:
    // Identity matrices, an empty rectangle at the origin, speeds and borders
    // 0, no target, no scripts, 2D, not dirty, id -1.
    CCamera();

    // Eye (cx, cy, -16000) looking at (cx, cy, 0), turned by the angle, and an
    // orthographic projection of the view size, near 1 and far 32000.
    void Build2DView(float cx, float cy);
    // Eye (cx, cy, -view width) and a perspective projection of width 1 and
    // height -(view height / view width); a width of 0 keeps the projection
    // it had rather than divide by it.
    void Build3DView(float cx, float cy);
    // Replace one matrix and recompute its inverse, the view-projection, its
    // inverse and the 2D flag.
    void SetViewMat(const zqMatrix& view);
    void SetProjMat(const zqMatrix& projection);

    // True when the projection is orthographic without skew and the view
    // turns only about the z axis (both tested on exact zeros).
    void Update2D();
    bool Is2D() const { return m_is2D; }
    bool IsOrthoProj() const { return m_projection.m[11] == 0.0f; }

    void SetViewDirty() { m_dirty = true; }
    bool IsViewDirty() const { return m_dirty; }

    // Plain field access: none of these rebuilds a matrix or marks the camera.
    void SetViewX(float v) { m_viewX = v; }
    void SetViewY(float v) { m_viewY = v; }
    void SetViewWidth(float v) { m_viewWidth = v; }
    void SetViewHeight(float v) { m_viewHeight = v; }
    void SetViewSpeedX(float v) { m_speedX = v; }
    void SetViewSpeedY(float v) { m_speedY = v; }
    void SetViewBorderX(float v) { m_borderX = v; }
    void SetViewBorderY(float v) { m_borderY = v; }
    void SetViewAngle(float v) { m_angle = v; }
    float GetViewX() const { return m_viewX; }
    float GetViewY() const { return m_viewY; }
    float GetViewWidth() const { return m_viewWidth; }
    float GetViewHeight() const { return m_viewHeight; }
    float GetViewSpeedX() const { return m_speedX; }
    float GetViewSpeedY() const { return m_speedY; }
    float GetViewBorderX() const { return m_borderX; }
    float GetViewBorderY() const { return m_borderY; }
    float GetViewAngle() const { return m_angle; }
    // An object index (0 to 99999) or an instance id (100000 and above); -1 none.
    void SetTargetInstance(int32_t target) { m_target = target; }
    int32_t GetTargetInstance() const { return m_target; }
    void SetBeginScript(int32_t script) { m_beginScript = script; }
    void SetEndScript(int32_t script) { m_endScript = script; }
    void SetUpdateScript(int32_t script) { m_updateScript = script; }
    int32_t GetBeginScript() const { return m_beginScript; }
    int32_t GetEndScript() const { return m_endScript; }
    int32_t GetUpdateScript() const { return m_updateScript; }
    void SetID(int32_t id) { m_id = id; }
    int32_t GetID() const { return m_id; }

    zqMatrix GetProjMat() const { return m_projection; }
    zqMatrix GetViewMat() const { return m_view; }
    zqMatrix GetViewProjMat() const { return m_viewProjection; }
    zqMatrix GetInvProjMat() const { return m_invProjection; }
    zqMatrix GetInvViewMat() const { return m_invView; }
    zqMatrix GetInvViewProjMat() const { return m_invViewProjection; }

    // The eye (translation of the inverse view), and the view's direction,
    // up and right axes, normalised (zero when the axis is zero).
    zqVector3 GetCamPos() const;
    zqVector3 GetCamDir() const;
    zqVector3 GetCamUp() const;
    zqVector3 GetCamRight() const;

    // Run the begin script, the end script or `script` with no arguments:
    // Current_Object is the camera's id meanwhile; self and other are the
    // global object with the script-object collector, else the camera
    // manager's script instance (nothing runs without one). -1 runs nothing.
    void Begin();
    void End();
    void ExecuteScript(int32_t script);

    // One update: the update script when there is one; otherwise follow the
    // target (border, room clamp, speed limit) or, without a target, rebuild
    // a dirty camera around its rectangle's centre.
    void CameraUpdate();

    // Hands the camera to the renderer: the view area (from the inverse
    // view-projection when orthographic, else the room), the view matrix and
    // the projection, flipped vertically unless drawing into a surface.
    void ApplyMatrices();

    // The corners of what the camera shows, in room coordinates: the clip
    // corners (-1, -1), (1, -1), (1, 1), (-1, 1) through the inverse
    // view-projection, as x, y pairs.
    void ViewQuad(float corners[8]) const;

    // The saved-game record: 448 bytes of s32 and f32 values.
    static constexpr int kRecordSize = 448;
    void Serialize(IBuffer* buffer);
    // Reads a record into this camera; false when the buffer ends first (the
    // camera is then left part-read: read into a scratch camera).
    bool DeSerialize(IBuffer* buffer);

private:
    // Rebuilds around the rectangle's centre, perspective or orthographic as
    // the projection is now.
    void RebuildAroundCentre(float cx, float cy);
    // After the view and/or projection changed: their inverses, the product,
    // its inverse, the 2D flag.
    void Derive(bool viewChanged, bool projectionChanged);
    // Both directions of the saved-game record, field by field.
    template <typename Io>
    void Visit(Io& io);

    int32_t m_id = -1;
    zqMatrix m_projection;
    zqMatrix m_view;
    zqMatrix m_viewProjection;
    zqMatrix m_invProjection;
    zqMatrix m_invView;
    zqMatrix m_invViewProjection;
    float m_viewX = 0.0f, m_viewY = 0.0f, m_viewWidth = 0.0f, m_viewHeight = 0.0f;
    float m_speedX = 0.0f, m_speedY = 0.0f;
    float m_borderX = 0.0f, m_borderY = 0.0f;
    float m_angle = 0.0f;
    int32_t m_target = -1;
    int32_t m_beginScript = -1, m_endScript = -1, m_updateScript = -1;
    bool m_is2D = true;
    // Set by the position, size and angle built-ins; it stays set, so a
    // camera without a target rebuilds at every update from then on.
    bool m_dirty = false;
};
