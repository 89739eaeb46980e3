// The platform's dialogs without a window: the asynchronous ones queue an
// answer that the asynchronous pass delivers as a dialog event with its map.
#include <gtest/gtest.h>

#include <string>

#include "core/memory_manager.h"
#include "core/zq_rvalue.h"
#include "data/ds_map.h"
#include "library/interaction_services.h"
#include "world/step/async_events.h"

namespace {

// The map the queued answer with `id` delivers, and the event subtype.
int AnswerMap(int id, int* subtype) {
    for (HTTP_REQ_CONTEXT* e = g_pHttpHead; e != nullptr; e = e->m_pNext) {
        if (e->m_id != id) continue;
        EXPECT_EQ(e->m_state, ASYNC_STATE_COMPLETE);
        int map = -1;
        *subtype = e->m_pResult(e, e->m_pUserData, &map);
        return map;
    }
    ADD_FAILURE() << "no request " << id;
    return -1;
}

std::string Entry(int map, const char* key) {
    const DsMapEntry* e = GetDsMap(map)->Find(ZQRValue(key));
    if (e == nullptr) return "(missing)";
    if (e->value.Kind() == VALUE_STRING) return e->value.pRefString->Get();
    return std::to_string(static_cast<long long>(e->value.val));
}

} // namespace

TEST(Dialogs, AsynchronousAnswersAreQueuedWithTheirMaps) {
    int subtype = 0;
    const int input = InputQuery_InputAsync("caption", "Age", "18");
    int map = AnswerMap(input, &subtype);
    EXPECT_EQ(subtype, 63);
    EXPECT_EQ(Entry(map, "id"), std::to_string(input));
    EXPECT_EQ(Entry(map, "status"), "0"); // cancelled
    EXPECT_EQ(Entry(map, "result"), "18");
    EXPECT_EQ(Entry(map, "value"), "18");
    DestroyDsMap(map);

    const int login = InputQuery_LoginASync("me", "secret");
    EXPECT_GT(login, input);
    map = AnswerMap(login, &subtype);
    EXPECT_EQ(Entry(map, "username"), "me");
    EXPECT_EQ(Entry(map, "password"), "secret");
    DestroyDsMap(map);

    const int question = InputQuery_QuestionAsync("caption", "Sure?");
    map = AnswerMap(question, &subtype);
    EXPECT_EQ(Entry(map, "status"), "0"); // no window: no
    DestroyDsMap(map);
    Async_ClearRequests();
}

TEST(Dialogs, PanelsAndTextInputAnswerAsCancelled) {
    EXPECT_EQ(ZQGetOpenFileName("*.txt", "a.txt", nullptr, nullptr), nullptr);
    EXPECT_EQ(ZQGetSaveFileName("*.txt", "a.txt", "/tmp", "Save"), nullptr);
    char* out = nullptr;
    EXPECT_FALSE(InputQuery_Input("c", "p", "default", &out));
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out, "default");
    ZQ_Free(out);
    EXPECT_EQ(InputQuery_Question("c", "%s%n"), 0);
    EXPECT_EQ(Message_ShowMessage("%s", "a", "", "c"), 0);
}
