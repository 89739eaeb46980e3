// Posting the sound system's asynchronous results (see audio_events.h).
#include "audio/audio_events.h"

#include <memory>

#include "core/buffer_table.h"
#include "data/ds_map.h"
#include "world/step/async_events.h"

namespace {

struct AudioMapEvent final : HTTP_REQ_CONTEXT {
    int map = -1;
    uint32_t mapSerial = 0;
    int subtype = 0;
    int buffer = -1;
    const IBuffer* bufferObject = nullptr;
    bool delivered = false;
};

int DeliverMap(HTTP_REQ_CONTEXT* entry, void*, int* mapId) {
    auto* event = static_cast<AudioMapEvent*>(entry);
    event->delivered = true;
    *mapId = event->map;
    return event->subtype;
}

void Cleanup(HTTP_REQ_CONTEXT* entry) {
    auto* event = static_cast<AudioMapEvent*>(entry);
    // The pass destroys a delivered map itself; one never delivered goes
    // here, unless its slot already holds another map.
    if (!event->delivered) {
        const CDS_Map* map = GetDsMap(event->map);
        if (map != nullptr && map->Serial() == event->mapSerial) DestroyDsMap(event->map);
    }
    // The script may have deleted the buffer and made another in its slot:
    // only the buffer posted is freed.
    IBuffer* buffer = GetIBuffer(event->buffer);
    if (buffer != nullptr && buffer == event->bufferObject && buffer->UseCount() == 0)
        FreeIBuffer(event->buffer);
}

} // namespace

void Audio_PostMapEvent(int map, int subtype, int buffer) {
    auto entry = std::make_unique<AudioMapEvent>();
    entry->map = map;
    const CDS_Map* made = GetDsMap(map);
    entry->mapSerial = made != nullptr ? made->Serial() : 0;
    entry->subtype = subtype;
    entry->buffer = buffer;
    entry->bufferObject = GetIBuffer(buffer);
    entry->m_state = ASYNC_STATE_COMPLETE;
    entry->m_pResult = DeliverMap;
    entry->m_pCleanup = Cleanup;
    Async_QueueRequest(std::move(entry));
}
