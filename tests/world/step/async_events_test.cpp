// Asynchronous delivery: completed entries raise their event with their map
// as async_load and are destroyed with it, progress maps, the subtypes that
// are never raised here, list order, and a producer thread.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "data/ds_map.h"
#include "data/ds_tables.h"
#include "step_fixture.h"
#include "world/lifecycle/instance_variables.h"
#include "world/step/async_events.h"

namespace {

struct SeenEvent {
    int subtype;
    int asyncLoad;
    std::string url; // the "url" key of the map, when present
    double status = 0;
};

class AsyncTest : public StepScene {
protected:
    void SetUp() override {
        StepScene::SetUp();
        MakeObjects(1);
        for (int s : {60, 62, 65, 66, 68, 72, 75}) GiveEvent(0, EVENT_OTHER, s);
        Create_Object_Lists();
        m_instance = Add(0, 0, 0);
        SeenList().clear();
        Action() = [](CInstance*, int, int subtype) {
            SeenEvent entry{subtype, g_HTTP_AsyncLoad, {}};
            if (CDS_Map* map = GetDsMap(g_HTTP_AsyncLoad)) {
                RValue key = RValue_Undefined();
                ZQCreateString(&key, "url");
                if (DsMapEntry* e = map->Find(key); e != nullptr && e->value.Kind() == VALUE_STRING)
                    entry.url = e->value.pRefString->Get();
                FREE_RValue(&key);
                ZQCreateString(&key, "status");
                if (DsMapEntry* e = map->Find(key)) entry.status = e->value.val;
                FREE_RValue(&key);
            }
            SeenList().push_back(entry);
        };
    }
    void TearDown() override {
        Async_ClearRequests();
        DS_DestroyAll();
        StepScene::TearDown();
    }
    static std::vector<SeenEvent>& SeenList() {
        static std::vector<SeenEvent> seen;
        return seen;
    }

    // An entry whose result callback makes a map {"url": url} and returns `subtype`.
    static std::unique_ptr<HTTP_REQ_CONTEXT> Entry(int state, const char* url, int subtype,
                                                   bool makeMap = true) {
        auto e = std::make_unique<HTTP_REQ_CONTEXT>();
        e->m_state = state;
        e->m_url = std::string(url);
        e->m_status = subtype; // carried to the callback
        e->m_pResult = makeMap ? &MapResult : &NoMapResult;
        e->m_pCleanup = [](HTTP_REQ_CONTEXT*) { ++s_cleanups; };
        return e;
    }
    static int MapResult(HTTP_REQ_CONTEXT* e, void*, int* map) {
        *map = CreateDsMap(1, "url", 0.0, e->m_url.c_str());
        s_lastMap = *map;
        return e->m_status;
    }
    static int NoMapResult(HTTP_REQ_CONTEXT* e, void*, int*) { return e->m_status; }

    static int Count() {
        DS_AutoMutex lock;
        int n = 0;
        for (HTTP_REQ_CONTEXT* e = g_pHttpHead; e != nullptr; e = e->m_pNext) ++n;
        return n;
    }

    CInstance* m_instance = nullptr;
    static inline int s_cleanups = 0;
    static inline int s_lastMap = -1;
};

TEST_F(AsyncTest, CompletedEntryRaisesItsEventWithItsMapThenGoes) {
    s_cleanups = 0;
    Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "a", ASYNC_SAVE_LOAD));
    HandleAsyncEvents();
    ASSERT_EQ(SeenList().size(), 1u);
    EXPECT_EQ(SeenList()[0].subtype, ASYNC_SAVE_LOAD);
    EXPECT_EQ(SeenList()[0].asyncLoad, s_lastMap);
    EXPECT_EQ(SeenList()[0].url, "a");
    EXPECT_EQ(GetDsMap(s_lastMap), nullptr); // destroyed after delivery
    EXPECT_EQ(g_HTTP_AsyncLoad, -1);
    EXPECT_EQ(s_cleanups, 1);
    EXPECT_EQ(Count(), 0);
}

// An event that destroys async_load and makes a map of its own, which takes
// the freed index, keeps that map: only the runtime's map is destroyed.
TEST_F(AsyncTest, AMapTheEventMakesInTheFreedIndexSurvives) {
    static int made = -1;
    Action() = [](CInstance*, int, int) {
        DestroyDsMap(g_HTTP_AsyncLoad);
        made = CreateDsMap(1, "kept", 1.0, static_cast<const char*>(nullptr));
    };
    Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "a", ASYNC_SAVE_LOAD));
    HandleAsyncEvents();
    ASSERT_EQ(made, s_lastMap) << "the freed index is reused";
    EXPECT_NE(GetDsMap(made), nullptr);
    EXPECT_EQ(g_HTTP_AsyncLoad, -1);
}

TEST_F(AsyncTest, SubtypeBelowSixtyRaisesNothingButTheMapGoes) {
    Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "a", 59));
    HandleAsyncEvents();
    EXPECT_TRUE(SeenList().empty());
    EXPECT_EQ(GetDsMap(s_lastMap), nullptr);
    EXPECT_EQ(Count(), 0);
}

TEST_F(AsyncTest, CallbackWithoutAMapRaisesTheEventWithAsyncLoadMinusOne) {
    Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "a", ASYNC_IMAGE_LOADED, false));
    HandleAsyncEvents();
    ASSERT_EQ(SeenList().size(), 1u);
    EXPECT_EQ(SeenList()[0].asyncLoad, -1);
}

TEST_F(AsyncTest, SubtypesOutsideTheDeliveredSetAreNeverRaised) {
    for (int s : {59, 65, 66, 68, 76, -1}) HandleWebEvent(s);
    EXPECT_TRUE(SeenList().empty());
    HandleWebEvent(ASYNC_SYSTEM_EVENT);
    EXPECT_EQ(SeenList().size(), 1u);
}

TEST_F(AsyncTest, ProgressEntriesReportOncePerPassAndStay) {
    auto progress = Entry(ASYNC_STATE_PROGRESS, "http://x/file", 0);
    progress->m_totalSize = 100;
    progress->m_receivedSize = 40;
    const int id = Async_QueueRequest(std::move(progress));
    auto silent = Entry(ASYNC_STATE_PROGRESS, "quiet", 0);
    silent->m_pResult = nullptr; // no result callback: no progress events
    Async_QueueRequest(std::move(silent));
    Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "done1", ASYNC_SAVE_LOAD));
    Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "done2", ASYNC_SAVE_LOAD));
    HandleAsyncEvents();
    // The progress entry stands before both completed ones; the walk restarts
    // after each, yet the progress event comes once.
    ASSERT_EQ(SeenList().size(), 3u);
    EXPECT_EQ(SeenList()[0].subtype, ASYNC_HTTP);
    EXPECT_EQ(SeenList()[0].url, "http://x/file");
    EXPECT_EQ(SeenList()[0].status, 1.0);
    EXPECT_EQ(SeenList()[1].url, "done1");
    EXPECT_EQ(SeenList()[2].url, "done2");
    EXPECT_EQ(Count(), 2);
    EXPECT_EQ(GetDsMap(SeenList()[0].asyncLoad), nullptr);

    int map = -1;
    DS_AutoMutex lock;
    EXPECT_EQ(HttpCreateUpdateMap(g_pHttpHead, nullptr, &map), ASYNC_HTTP);
    CDS_Map* m = GetDsMap(map);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Size(), 5);
    RValue key = RValue_Undefined();
    ZQCreateString(&key, "id");
    EXPECT_EQ(m->Find(key)->value.val, id);
    ZQCreateString(&key, "sizeDownloaded");
    EXPECT_EQ(m->Find(key)->value.val, 40.0);
    ZQCreateString(&key, "contentLength");
    EXPECT_EQ(m->Find(key)->value.val, 100.0);
    FREE_RValue(&key);
    DestroyDsMap(map);
}

TEST_F(AsyncTest, EventThatQueuesACompletedEntryHasItDeliveredInTheSamePass) {
    Action() = [](CInstance*, int, int) {
        SeenList().push_back({0, 0, {}});
        if (SeenList().size() == 1) Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "later", ASYNC_SAVE_LOAD));
    };
    Async_QueueRequest(Entry(ASYNC_STATE_COMPLETE, "first", ASYNC_SAVE_LOAD));
    HandleAsyncEvents();
    EXPECT_EQ(SeenList().size(), 2u);
    EXPECT_EQ(Count(), 0);
}

// A producer thread completes entries under the lock while the main thread
// runs passes: each entry is delivered exactly once.
TEST_F(AsyncTest, EntriesCompletedByAnotherThreadAreDeliveredOnce) {
    Action() = [](CInstance*, int, int) { SeenList().push_back({0, 0, {}}); };
    constexpr int kEntries = 200;
    std::atomic<bool> done{false};
    std::thread producer([&] {
        for (int k = 0; k < kEntries; ++k) {
            auto e = Entry(ASYNC_STATE_PENDING, "t", ASYNC_SAVE_LOAD, false);
            HTTP_REQ_CONTEXT* raw = e.get();
            Async_QueueRequest(std::move(e));
            DS_AutoMutex lock;
            raw->m_state = ASYNC_STATE_COMPLETE; // still listed: only the pass removes entries
        }
        done = true;
    });
    while (!done) HandleAsyncEvents();
    producer.join();
    HandleAsyncEvents();
    EXPECT_EQ(SeenList().size(), static_cast<size_t>(kEntries));
    EXPECT_EQ(Count(), 0);
}

} // namespace
