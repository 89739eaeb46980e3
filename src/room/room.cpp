// Rooms: the active list kept in ascending depth (equal depths in insertion
// order), the deactivated chain, and instance creation with fresh ids.
#include "room/room.h"

#include "world/game_data_services.h"
#include "world/instance.h"

CRoom* Run_Room = nullptr;
int32_t room_maxid = 100000;

void Room_Set_maxid(int id) {
    room_maxid = id;
}

CRoom::~CRoom() {
    while (m_pFirstActive != nullptr) DeleteInstance(m_pFirstActive);
    while (m_pFirstDeactive != nullptr) DeleteInstance(m_pFirstDeactive);
}

CInstance* CRoom::AddInstance(float x, float y, int object) {
    ++room_maxid;
    auto* instance = new CInstance(x, y, room_maxid, object, true);
    CInstance::ID2Instance().Insert(static_cast<uint32_t>(instance->i_id), instance);
    InsertActive(instance);
    return instance;
}

void CRoom::InsertActive(CInstance* instance) {
    CInstance* after = m_pLastActive;
    while (after != nullptr && after->m_listDepth > instance->i_depth) after = after->m_pPrev;
    instance->m_listDepth = instance->i_depth;
    instance->m_pPrev = after;
    instance->m_pNext = after != nullptr ? after->m_pNext : m_pFirstActive;
    if (instance->m_pNext != nullptr)
        instance->m_pNext->m_pPrev = instance;
    else
        m_pLastActive = instance;
    if (after != nullptr)
        after->m_pNext = instance;
    else
        m_pFirstActive = instance;
    ++m_activeCount;
}

void CRoom::UnlinkActive(CInstance* instance) {
    if (instance->m_pPrev != nullptr)
        instance->m_pPrev->m_pNext = instance->m_pNext;
    else
        m_pFirstActive = instance->m_pNext;
    if (instance->m_pNext != nullptr)
        instance->m_pNext->m_pPrev = instance->m_pPrev;
    else
        m_pLastActive = instance->m_pPrev;
    instance->m_pNext = instance->m_pPrev = nullptr;
    --m_activeCount;
}

void CRoom::UnlinkDeactive(CInstance* instance) {
    CInstance** link = &m_pFirstDeactive;
    while (*link != nullptr && *link != instance) link = &(*link)->m_pNext;
    if (*link == instance) *link = instance->m_pNext;
    instance->m_pNext = instance->m_pPrev = nullptr;
}

void CRoom::DeleteInstance(CInstance* instance) {
    bool active = false;
    for (CInstance* i = m_pFirstActive; i != nullptr && !active; i = i->m_pNext) active = i == instance;
    if (active)
        UnlinkActive(instance);
    else
        UnlinkDeactive(instance);
    delete instance;
}

void CRoom::UpdateActive() {
    for (CInstance* i = m_pFirstActive; i != nullptr;) {
        CInstance* next = i->m_pNext;
        if (i->i_deactivated) {
            // The deactivated chain keeps the order of deactivation.
            UnlinkActive(i);
            CInstance** tail = &m_pFirstDeactive;
            while (*tail != nullptr) tail = &(*tail)->m_pNext;
            *tail = i;
        }
        i = next;
    }
    CInstance** link = &m_pFirstDeactive;
    while (*link != nullptr) {
        CInstance* i = *link;
        if (!i->i_deactivated) {
            *link = i->m_pNext;
            i->m_pNext = nullptr;
            InsertActive(i);
        } else {
            link = &i->m_pNext;
        }
    }
}

void CRoom::MoveToDepth(CInstance* instance) {
    if (instance == nullptr) return;
    if (instance->m_pPrev == nullptr && m_pFirstActive != instance) return;
    if (instance->m_pPrev != nullptr && instance->m_pPrev->m_pNext != instance) return;
    UnlinkActive(instance);
    InsertActive(instance);
}
