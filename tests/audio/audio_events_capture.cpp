#include "audio_events_capture.h"

#include <cstdio>

#include "data/ds_map.h"
#include "data/ds_tables.h"
#include "world/step/async_events.h"

std::map<std::string, std::string> MapValues(int map) {
    std::map<std::string, std::string> out;
    DS_AutoMutex lock;
    const CDS_Map* m = GetDsMap(map);
    if (m == nullptr) return out;
    for (const DsMapEntry* e = m->First(); e != nullptr; e = e->next) {
        std::string value;
        if (e->value.Kind() == VALUE_STRING) {
            value = e->value.pRefString->Get();
        } else {
            char text[64];
            std::snprintf(text, sizeof text, "%g", e->value.val);
            value = text;
        }
        out[e->key.pRefString->Get()] = value;
    }
    return out;
}

std::vector<PostedEvent> TakePostedEvents() {
    std::vector<PostedEvent> events;
    {
        DS_AutoMutex lock;
        for (HTTP_REQ_CONTEXT* e = g_pHttpHead; e != nullptr; e = e->m_pNext) {
            PostedEvent posted;
            int map = -1;
            if (e->m_pResult != nullptr) posted.subtype = e->m_pResult(e, e->m_pUserData, &map);
            posted.values = MapValues(map);
            // As the pass does after delivery.
            if (GetDsMap(map) != nullptr) DestroyDsMap(map);
            events.push_back(posted);
        }
    }
    Async_ClearRequests();
    return events;
}
