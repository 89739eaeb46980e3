// A POSIX thread with start, join and sleep. The thread function receives the
// thread object itself and polls its quit flag to know when to stop.
#pragma once

#include <pthread.h>

#include <atomic>

class Mutex;

class CThread {
public:
    // Accepted by Start for callers that state one; it does not change how the
    // thread is created.
    enum ePriority { ePriority_Normal = 0, ePriority_High = 1 };
    using ThreadFunc = void* (*)(CThread* thread);

    CThread() = default;
    // Joins a thread that is still running: the function may still be using
    // this object. Owners set the quit flag first, so the join is short.
    ~CThread();
    CThread(const CThread&) = delete;
    CThread& operator=(const CThread&) = delete;

    // Stores the data and function, marks the thread running and creates it;
    // the thread calls function(this) and clears the running flag when it
    // returns. False when creation failed (running cleared) or when this object
    // already has a thread that has not been joined.
    bool Start(ThreadFunc function, void* data, ePriority priority = ePriority_Normal);
    // Joins the thread; does nothing when there is none to join.
    void WaitForExit();
    // Sleeps the calling thread for `ms` milliseconds (any non-negative count).
    static void Sleep(int ms);

    // The quit request: set by the owner (under the thread's mutex when one was
    // given), read by the thread function.
    void SetQuit();
    bool QuitRequested() const { return m_bTerminate.load(std::memory_order_acquire); }
    bool IsRunning() const { return m_bRunning.load(std::memory_order_acquire); }

    void* GetUserData() const { return m_pUserData; }
    Mutex* GetMutex() const { return m_pTermMutex; }
    // The mutex that guards the quit flag and whatever else the owner shares with
    // the thread (for example "TermMutex"); owned by the caller.
    void SetMutex(Mutex* mutex) { m_pTermMutex = mutex; }
    int CreationResult() const { return m_creationResult; }

private:
    static void* Trampoline(void* self);

    pthread_t m_hThread{};
    int m_creationResult = -1;
    bool m_joinable = false;
    std::atomic<bool> m_bTerminate{false};
    std::atomic<bool> m_bRunning{false};
    void* m_pUserData = nullptr;
    ThreadFunc m_pThreadFunc = nullptr;
    Mutex* m_pTermMutex = nullptr;
};
