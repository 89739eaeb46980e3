// Threads: start hands the function its thread object, the quit flag stops it,
// join waits for it, and sleeps of a second or more really sleep.
#include <gtest/gtest.h>

#include <atomic>

#include "core/mutex.h"
#include "core/thread.h"
#include "core/timing.h"

namespace {

struct Worker {
    std::atomic<int> iterations{0};
    CThread* seen = nullptr;
};

void* PollUntilQuit(CThread* thread) {
    auto* worker = static_cast<Worker*>(thread->GetUserData());
    worker->seen = thread;
    for (;;) {
        {
            // The owner's mutex is recursive: taking it twice on this thread is fine.
            MutexLock outer(*thread->GetMutex());
            MutexLock inner(*thread->GetMutex());
            if (thread->QuitRequested()) break;
            ++worker->iterations;
        }
        CThread::Sleep(1);
    }
    return nullptr;
}

void* ReturnAtOnce(CThread* thread) {
    static_cast<Worker*>(thread->GetUserData())->iterations = 1;
    return nullptr;
}

} // namespace

TEST(CThread, StartsWithItselfStopsOnQuitAndJoins) {
    Mutex termMutex("TermMutex");
    Worker worker;
    CThread thread;
    thread.SetMutex(&termMutex);
    ASSERT_TRUE(thread.Start(&PollUntilQuit, &worker, CThread::ePriority_High));
    EXPECT_EQ(thread.CreationResult(), 0);
    EXPECT_FALSE(thread.Start(&PollUntilQuit, &worker)) << "a second start before the join";
    while (worker.iterations.load() < 3) CThread::Sleep(1);
    EXPECT_TRUE(thread.IsRunning());
    thread.SetQuit();
    thread.WaitForExit();
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(worker.seen, &thread);
    thread.WaitForExit(); // joining twice is harmless

    // Once joined, the object can run another thread.
    Worker again;
    ASSERT_TRUE(thread.Start(&ReturnAtOnce, &again));
    thread.WaitForExit();
    EXPECT_EQ(again.iterations.load(), 1);
    EXPECT_FALSE(thread.IsRunning());
}

TEST(CThread, DestructorJoinsAThreadThatIsStillRunning) {
    Worker worker;
    Mutex mutex;
    {
        CThread thread;
        thread.SetMutex(&mutex);
        ASSERT_TRUE(thread.Start(&PollUntilQuit, &worker));
        thread.SetQuit();
    }
    EXPECT_NE(worker.seen, nullptr);
}

// A count of a second or more used to make an invalid request that returned at
// once; only a lower bound is asserted, which a slow machine cannot break.
TEST(CThread, SleepsOfASecondOrMoreSleep) {
    const int64_t before = Timing_MonotonicMicros();
    CThread::Sleep(1005);
    EXPECT_GE(Timing_MonotonicMicros() - before, 1005000);
    CThread::Sleep(0);
    CThread::Sleep(-5);
}
