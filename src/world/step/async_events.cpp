// The pending-operation list and the asynchronous pass. Everything here runs
// under the data-structure lock, which producer threads take too; the events
// raised by the pass run with the lock held (it is recursive, so their
// scripts may take it again).
#include "world/step/async_events.h"

#include "data/ds_map.h"
#include "data/ds_tables.h"
#include "world/lifecycle/instance_variables.h"
#include "world/objects/event.h"
#include "world/step/event_passes.h"
#include "world/step/step_services.h"

HTTP_REQ_CONTEXT* g_pHttpHead = nullptr;

namespace {

int32_t g_NextRequestId = 0;
uint32_t g_AsyncPass = 0;

// The map async_load names while its event runs. A script may destroy it and
// make a map of its own that takes the same index: only the map the runtime
// made (known by its serial) is destroyed afterwards.
struct SAsyncMap {
    int32_t id = -1;
    uint32_t serial = 0;
};

SAsyncMap NoteAsyncMap() {
    const CDS_Map* map = GetDsMap(g_HTTP_AsyncLoad);
    return map != nullptr ? SAsyncMap{g_HTTP_AsyncLoad, map->Serial()} : SAsyncMap{};
}

// Destroys the noted map if it still stands at its index, and forgets it.
void DropAsyncMap(SAsyncMap made) {
    const CDS_Map* map = GetDsMap(made.id);
    if (map != nullptr && map->Serial() == made.serial) DestroyDsMap(made.id);
    g_HTTP_AsyncLoad = -1;
}

void Destroy(HTTP_REQ_CONTEXT* entry) {
    if (entry->m_pCleanup != nullptr) entry->m_pCleanup(entry);
    delete entry; // the list owns its entries
}

} // namespace

int Async_QueueRequest(std::unique_ptr<HTTP_REQ_CONTEXT> entry) {
    if (!entry) return -1;
    DS_AutoMutex lock;
    HTTP_REQ_CONTEXT* raw = entry.release();
    raw->m_id = g_NextRequestId++;
    raw->m_pNext = nullptr;
    HTTP_REQ_CONTEXT** link = &g_pHttpHead;
    while (*link != nullptr) link = &(*link)->m_pNext;
    *link = raw;
    return raw->m_id;
}

void Async_ClearRequests() {
    DS_AutoMutex lock;
    while (g_pHttpHead != nullptr) {
        HTTP_REQ_CONTEXT* entry = g_pHttpHead;
        g_pHttpHead = entry->m_pNext;
        Destroy(entry);
    }
}

int HttpCreateUpdateMap(HTTP_REQ_CONTEXT* entry, void*, int* mapId) {
    const int map = CreateDsMap(
        5, "id", static_cast<double>(entry->m_id), static_cast<const char*>(nullptr), "status", 1.0,
        static_cast<const char*>(nullptr), "url", 0.0, entry->m_url.c_str(), "contentLength",
        static_cast<double>(entry->m_totalSize), static_cast<const char*>(nullptr), "sizeDownloaded",
        static_cast<double>(entry->m_receivedSize), static_cast<const char*>(nullptr));
    if (mapId != nullptr) *mapId = map;
    return ASYNC_HTTP;
}

// The walk starts again from the head after every event it raised, because
// the event may have changed the list (scripts start and cancel operations). Entries already visited in this
// pass are passed over on the new walk, so a process callback runs and a progress event is raised at most
// once per entry and pass however many entries complete; completed entries are delivered in list order, all
// in the same pass.
void HandleAsyncEvents() {
    Push_DispatchEvents();
    ProcessVTLCallbacks();
    DS_AutoMutex lock;
    const uint32_t pass = ++g_AsyncPass;
    HTTP_REQ_CONTEXT* previous = nullptr;
    for (HTTP_REQ_CONTEXT* entry = g_pHttpHead; entry != nullptr;) {
        if (!entry->m_active || entry->m_visitedPass == pass) {
            previous = entry;
            entry = entry->m_pNext;
            continue;
        }
        entry->m_visitedPass = pass;
        if (entry->m_pProcess != nullptr) entry->m_pProcess(entry);
        if (entry->m_state == ASYNC_STATE_COMPLETE) {
            (previous != nullptr ? previous->m_pNext : g_pHttpHead) = entry->m_pNext;
            g_HTTP_AsyncLoad = -1;
            SAsyncMap made;
            if (entry->m_pResult != nullptr) {
                const int subtype = entry->m_pResult(entry, entry->m_pUserData, &g_HTTP_AsyncLoad);
                made = NoteAsyncMap();
                if (subtype >= 60) HandleWebEvent(subtype);
            }
            DropAsyncMap(made);
            Destroy(entry);
            previous = nullptr;
            entry = g_pHttpHead;
            continue;
        }
        if (entry->m_state == ASYNC_STATE_PROGRESS) {
            g_HTTP_AsyncLoad = -1;
            if (entry->m_pResult != nullptr) {
                HttpCreateUpdateMap(entry, entry->m_pUserData, &g_HTTP_AsyncLoad);
                const SAsyncMap made = NoteAsyncMap();
                HandleWebEvent(ASYNC_HTTP);
                DropAsyncMap(made);
                previous = nullptr;
                entry = g_pHttpHead;
                continue;
            }
        }
        previous = entry;
        entry = entry->m_pNext;
    }
}

// Asynchronous events bypass the room-change suppression of ordinary events.
void HandleWebEvent(int subtype) {
    if (subtype < 60 || subtype > 75 || subtype == 65 || subtype == 66 || subtype == ASYNC_NETWORKING) return;
    Event_ForEachListed(EVENT_OTHER, subtype, [subtype](CInstance* i) {
        Perform_Event_Object_ASync(i, i, i->i_objindex, EVENT_OTHER, subtype);
    });
}

void Async_Reset() {
    Async_ClearRequests();
    DS_AutoMutex lock;
    g_NextRequestId = 0;
    g_AsyncPass = 0;
}
