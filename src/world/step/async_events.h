// Asynchronous event delivery: the list of pending operations that complete
// outside the step (HTTP requests, buffer and audio-group loads, dialogs,
// platform events), and the step's pass that turns each completed one into
// an asynchronous event whose map scripts read as async_load.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Pending-operation states.
inline constexpr int32_t ASYNC_STATE_PENDING = 1;
inline constexpr int32_t ASYNC_STATE_PROGRESS = 3; // data arriving: progress events
inline constexpr int32_t ASYNC_STATE_COMPLETE = 7;

// Asynchronous subtypes of the Other event.
inline constexpr int ASYNC_IMAGE_LOADED = 60;
inline constexpr int ASYNC_HTTP = 62;
inline constexpr int ASYNC_NETWORKING = 68;
inline constexpr int ASYNC_SAVE_LOAD = 72;
inline constexpr int ASYNC_SYSTEM_EVENT = 75;

// One pending operation. Its owner fills it and queues it with
// Async_QueueRequest; from then on the list owns it, and the producing thread
// changes its state and sizes only while holding the data-structure lock.
struct HTTP_REQ_CONTEXT {
    // Called on every pass while the entry is active (under the lock).
    using ProcessFunc = void (*)(HTTP_REQ_CONTEXT* entry);
    // Fills a map for async_load (storing its id through `mapId`) and
    // returns the subtype to raise; below 60 raises nothing.
    using ResultFunc = int (*)(HTTP_REQ_CONTEXT* entry, void* userData, int* mapId);
    // Frees what the operation holds (its user data) once it is delivered.
    using CleanupFunc = void (*)(HTTP_REQ_CONTEXT* entry);

    HTTP_REQ_CONTEXT() = default;
    virtual ~HTTP_REQ_CONTEXT() = default;
    HTTP_REQ_CONTEXT(const HTTP_REQ_CONTEXT&) = delete;
    HTTP_REQ_CONTEXT& operator=(const HTTP_REQ_CONTEXT&) = delete;

    HTTP_REQ_CONTEXT* m_pNext = nullptr;
    bool m_active = true;
    int32_t m_state = ASYNC_STATE_PENDING;
    int32_t m_id = 0;
    std::string m_url;
    int32_t m_status = 0; // HTTP status
    int64_t m_totalSize = 0;
    int64_t m_receivedSize = 0;
    void* m_pData = nullptr;
    int64_t m_dataLength = 0;
    void* m_pUserData = nullptr;
    ProcessFunc m_pProcess = nullptr;
    ResultFunc m_pResult = nullptr;
    CleanupFunc m_pCleanup = nullptr;
    // The pass that last visited the entry (see HandleAsyncEvents).
    uint32_t m_visitedPass = 0;
};

// The head of the pending-operation list (read and changed under the lock).
extern HTTP_REQ_CONTEXT* g_pHttpHead;

// Appends an operation to the list under the lock and gives it the next
// request id (returned).
int Async_QueueRequest(std::unique_ptr<HTTP_REQ_CONTEXT> entry);
// Destroys every pending operation (clean-up callbacks run); end of the game.
void Async_ClearRequests();
// Every pending operation destroyed and the request ids counted from 0 again
// (tests, and a fresh load).
void Async_Reset();

// The step's pass: delivers every completed operation and the progress of
// those in progress, under "DsMutex".
void HandleAsyncEvents();
// Raises asynchronous event `subtype` on every instance whose object has it;
// subtypes outside 60..75, and 65, 66 and 68, are never raised here.
void HandleWebEvent(int subtype);
// The progress map of an entry: id, status 1, url, contentLength,
// sizeDownloaded. Stores the map's id through `mapId` and returns 62.
int HttpCreateUpdateMap(HTTP_REQ_CONTEXT* entry, void* userData, int* mapId);
