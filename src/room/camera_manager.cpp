// The camera manager (see camera_manager.h), the default camera, and what the
// data-file loader, room changes and the step ask of cameras.
#include "room/camera_manager.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "core/buffer.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "world/datafile/game_data_services.h"
#include "world/instances/instance.h"

CCameraManager g_CM;
int32_t g_DefaultCameraID = -1;

// Rooms free their view cameras when they go, possibly after this at exit:
// the manager is left empty and usable.
CCameraManager::~CCameraManager() {
    FreeAll();
    std::vector<CCamera*>().swap(m_cameras);
}

void CCameraManager::FreeAll() {
    std::vector<CCamera*> cameras;
    cameras.swap(m_cameras);
    for (CCamera* camera : cameras) delete camera;
    m_active = nullptr;
    m_lastIndex = 0;
}

CCamera* CCameraManager::At(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return m_cameras[static_cast<size_t>(index)];
}

CCamera* CCameraManager::CreateCamera() {
    auto camera = std::make_unique<CCamera>();
    CCamera* made = camera.get();
    AddCameraToList(camera.release(), -1);
    return made;
}

// Ids are handed out in increasing order and cameras only ever join in id
// order, which is what lets a scan stop at the first greater id.
int CCameraManager::FindCameraInList(int id) {
    const int count = Count();
    if (m_lastIndex >= 0 && m_lastIndex < count) {
        const CCamera* cached = m_cameras[static_cast<size_t>(m_lastIndex)];
        if (cached != nullptr && cached->GetID() == id) return m_lastIndex;
    }
    for (int i = 0; i < count; ++i) {
        const CCamera* camera = m_cameras[static_cast<size_t>(i)];
        if (camera == nullptr) continue;
        if (camera->GetID() > id) return -1;
        if (camera->GetID() == id) {
            m_lastIndex = i;
            return i;
        }
    }
    return -1;
}

CCamera* CCameraManager::GetCamera(int id) {
    const int index = FindCameraInList(id);
    return index < 0 ? nullptr : m_cameras[static_cast<size_t>(index)];
}

void CCameraManager::SetActiveCamera(int id) {
    if (id == -1) {
        m_active = nullptr;
        return;
    }
    if (CCamera* camera = GetCamera(id)) m_active = camera;
}

void CCameraManager::DestroyCamera(int id) {
    const int index = FindCameraInList(id);
    if (index < 0) return;
    CCamera* camera = m_cameras[static_cast<size_t>(index)];
    if (camera == m_active) m_active = nullptr;
    m_cameras.erase(m_cameras.begin() + index);
    delete camera;
}

// Appending keeps the order for the ids this manager hands out; an explicit
// id (a saved game's) goes after every camera with an id not above it.
void CCameraManager::AddCameraToList(CCamera* camera, int id) {
    std::unique_ptr<CCamera> owned(camera);
    if (owned == nullptr) return;
    if (id == -1) {
        id = m_nextID;
        if (m_nextID < std::numeric_limits<int32_t>::max())
            ++m_nextID; // past the last id, repeats rather than wraps
    }
    owned->SetID(id);
    auto at = std::upper_bound(m_cameras.begin(), m_cameras.end(), id, [](int wanted, const CCamera* c) {
        return c != nullptr && wanted < c->GetID();
    });
    m_cameras.insert(at, owned.release());
}

CCamera* CCameraManager::CreateCameraFromView(const ZQRoomView* record) {
    if (record == nullptr) return nullptr;
    CCamera* camera = CreateCamera();
    camera->SetViewX(static_cast<float>(record->xview));
    camera->SetViewY(static_cast<float>(record->yview));
    camera->SetViewWidth(static_cast<float>(record->wview));
    camera->SetViewHeight(static_cast<float>(record->hview));
    camera->SetViewSpeedX(static_cast<float>(record->hspeed));
    camera->SetViewSpeedY(static_cast<float>(record->vspeed));
    camera->SetViewBorderX(static_cast<float>(record->hborder));
    camera->SetViewBorderY(static_cast<float>(record->vborder));
    camera->SetViewAngle(0.0f);
    camera->SetTargetInstance(record->follow);
    camera->Build2DView(camera->GetViewX() + camera->GetViewWidth() / 2.0f,
                        camera->GetViewY() + camera->GetViewHeight() / 2.0f);
    return camera;
}

CCamera* CCameraManager::CloneCamera(int id) {
    const CCamera* source = GetCamera(id);
    if (source == nullptr) return nullptr;
    CCamera* camera = CreateCamera();
    camera->SetViewX(source->GetViewX());
    camera->SetViewY(source->GetViewY());
    camera->SetViewWidth(source->GetViewWidth());
    camera->SetViewHeight(source->GetViewHeight());
    camera->SetViewSpeedX(source->GetViewSpeedX());
    camera->SetViewSpeedY(source->GetViewSpeedY());
    camera->SetViewBorderX(source->GetViewBorderX());
    camera->SetViewBorderY(source->GetViewBorderY());
    camera->SetViewAngle(source->GetViewAngle());
    camera->SetTargetInstance(source->GetTargetInstance());
    camera->SetBeginScript(source->GetBeginScript());
    camera->SetEndScript(source->GetEndScript());
    camera->SetUpdateScript(source->GetUpdateScript());
    camera->SetViewMat(source->GetViewMat());
    camera->SetProjMat(source->GetProjMat());
    return camera;
}

// The script instance belongs to no list and no room, so nothing else would
// ever free it: it goes with the cameras.
void CCameraManager::Clean() {
    FreeAll();
    m_nextID = 0;
    delete m_scriptInstance;
    m_scriptInstance = nullptr;
}

void CCameraManager::StartRoom() {
    if (m_scriptInstance == nullptr) m_scriptInstance = new CInstance(0.0f, 0.0f, 0, -1, false);
}

void CCameraManager::EndRoom() {
    delete m_scriptInstance;
    m_scriptInstance = nullptr;
}

// ---------------------------------------------------------------------------
// The saved game

void CCameraManager::Serialize(IBuffer* buffer) {
    RValue v = RValue_Real(static_cast<double>(m_cameras.size()));
    buffer->Write(eBuffer_S32, &v);
    for (CCamera* camera : m_cameras) {
        v = RValue_Real(camera != nullptr ? 1.0 : 0.0);
        buffer->Write(eBuffer_S32, &v);
        if (camera != nullptr) camera->Serialize(buffer);
    }
}

// Every record is read before anything is replaced, so a damaged part leaves
// the cameras as they were. Saved ids are kept; the next id is first moved
// past all of them, so neither a saved -1 nor the next camera made repeats one.
bool CCameraManager::DeSerialize(IBuffer* buffer) {
    RValue v = RValue_Real(0.0);
    if (buffer->Read(eBuffer_S32, &v) != 0) return false;
    const int32_t count = RealToInt32(REAL_RValue(&v));
    const int32_t remaining = buffer->Size() - buffer->Tell();
    if (count < 0 || count > remaining / 4) return false; // each entry takes at least its flag
    std::vector<std::unique_ptr<CCamera>> read;
    for (int32_t i = 0; i < count; ++i) {
        if (buffer->Read(eBuffer_S32, &v) != 0) return false;
        if (RealToInt32(REAL_RValue(&v)) == 0) continue;
        auto camera = std::make_unique<CCamera>();
        if (!camera->DeSerialize(buffer)) return false;
        read.push_back(std::move(camera));
    }

    int64_t highest = -1;
    for (const std::unique_ptr<CCamera>& camera : read) highest = std::max<int64_t>(highest, camera->GetID());
    FreeAll();
    // Ids are 32-bit: past the largest one the next id stays at it.
    if (highest >= m_nextID)
        m_nextID = static_cast<int32_t>(std::min<int64_t>(highest + 1, std::numeric_limits<int32_t>::max()));
    for (std::unique_ptr<CCamera>& camera : read) {
        const int id = camera->GetID();
        AddCameraToList(camera.release(), id); // a saved -1 takes the next id
    }
    return true;
}

// ---------------------------------------------------------------------------
// The default camera and the services other modules ask for

void CreateDefaultCamera() {
    g_DefaultCameraID = g_CM.CreateCamera()->GetID();
}

void CameraManager_Reset() {
    g_CM.Clean();
    g_DefaultCameraID = -1;
}

void Camera_ResetForLoad() {
    g_CM.Clean();
    CreateDefaultCamera();
}

void Camera_StartRoom(CRoom*) {
    g_CM.StartRoom();
}

void Camera_EndRoom(CRoom*) {
    g_CM.EndRoom();
}

bool Camera_ViewQuad(int id, float corners[8]) {
    CCamera* camera = g_CM.GetCamera(id);
    if (camera == nullptr) return false;
    if (camera->IsViewDirty()) {
        camera->CameraUpdate();
        camera = g_CM.GetCamera(id); // an update script may have destroyed it
        if (camera == nullptr) return false;
    }
    camera->ViewQuad(corners);
    return true;
}
