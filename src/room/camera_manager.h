// The camera manager: the one registry of cameras, numbered in creation order
// and kept in ascending id order; the active camera (the one last applied for
// drawing), the instance that camera scripts run as, the default camera, and
// the manager's part of a saved game.
#pragma once

#include <cstdint>
#include <vector>

#include "room/camera.h"

class CInstance;
class CRoom;
class IBuffer;
struct ZQRoomView;

class CCameraManager {
public:
    CCameraManager() = default;
    ~CCameraManager();
    CCameraManager(const CCameraManager&) = delete;
    CCameraManager& operator=(const CCameraManager&) = delete;

    // A new camera with the next id.
    CCamera* CreateCamera();
    // The array index of the camera with that id, or -1. The last index found
    // answers first; a scan stops at the first greater id.
    int FindCameraInList(int id);
    CCamera* GetCamera(int id);
    CCamera* GetActiveCamera() const { return m_active; }
    // -1: no active camera; an id that names no camera changes nothing.
    void SetActiveCamera(int id);
    // Frees the camera (and forgets it as the active one); nothing for an
    // unknown id.
    void DestroyCamera(int id);
    // Takes ownership of `camera`, numbering it `id` (the next id for -1),
    // and places it so that the ids stay ascending.
    void AddCameraToList(CCamera* camera, int id);
    // A camera from a room's view rectangle, speeds, borders and follow
    // object, built as a 2D view around the rectangle's centre; null for null.
    CCamera* CreateCameraFromView(const ZQRoomView* record);
    // A camera with the source's rectangle, speeds, borders, angle, target,
    // scripts and matrices (not its dirty flag) and a new id; null when no
    // camera has the id.
    CCamera* CloneCamera(int id);
    // Frees every camera and the script instance; ids start again from 0.
    void Clean();
    // Makes the script instance when there is none; EndRoom destroys it.
    void StartRoom();
    void EndRoom();
    CInstance* GetScriptInstance() const { return m_scriptInstance; }

    // The manager's part of a saved game: a count, then for each camera s32 1
    // and its record.
    void Serialize(IBuffer* buffer);
    // Replaces every camera by those of a saved game; the next id ends above
    // every id read. False, with the cameras unchanged, when the part is
    // damaged or cut short.
    bool DeSerialize(IBuffer* buffer);

    int Count() const { return static_cast<int>(m_cameras.size()); }
    int NextID() const { return m_nextID; }
    // The camera at an array index, or null.
    CCamera* At(int index) const;

private:
    void FreeAll();

    int32_t m_nextID = 0;
    CCamera* m_active = nullptr;
    CInstance* m_scriptInstance = nullptr;
    std::vector<CCamera*> m_cameras; // owned, ascending ids
    int32_t m_lastIndex = 0;
};

// A view record of the data file's room chunk: fourteen int32 words.
struct ZQRoomView {
    int32_t visible;
    int32_t xview, yview, wview, hview;
    int32_t xport, yport, wport, hport;
    int32_t hborder, vborder, hspeed, vspeed;
    int32_t follow;
};

extern CCameraManager g_CM;
// The camera drawing uses when a room has no views; -1 none.
extern int32_t g_DefaultCameraID;

// Makes the default camera and records its id.
void CreateDefaultCamera();
// Every camera gone, no default camera (tests start from this).
void CameraManager_Reset();
// Registers the 47 camera and view built-ins.
void CameraManager_SetupVTLFunctions();

// What the data-file loader, room changes and the step ask of cameras (also
// declared by the services headers of those modules).
// Every camera gone, then the default camera made.
void Camera_ResetForLoad();
// Room start makes the script instance, room end destroys it.
void Camera_StartRoom(CRoom* room);
void Camera_EndRoom(CRoom* room);
// The corners of what camera `id` shows (ViewQuad), after an update when the
// camera is dirty; false when there is no such camera.
bool Camera_ViewQuad(int id, float corners[8]);
