// CThread over pthreads.
#include "core/thread.h"

#include <cerrno>
#include <ctime>

#include "core/mutex.h"

CThread::~CThread() {
    WaitForExit();
}

void* CThread::Trampoline(void* self) {
    auto* thread = static_cast<CThread*>(self);
    void* result = thread->m_pThreadFunc(thread);
    thread->m_bRunning.store(false, std::memory_order_release);
    return result;
}

bool CThread::Start(ThreadFunc function, void* data, ePriority /*priority*/) {
    if (function == nullptr || m_joinable) return false;
    m_pUserData = data;
    m_pThreadFunc = function;
    m_bTerminate.store(false, std::memory_order_relaxed);
    // Running is set before creation so that an owner polling IsRunning right
    // after Start never sees a thread that has not begun as finished.
    m_bRunning.store(true, std::memory_order_release);
    m_creationResult = pthread_create(&m_hThread, nullptr, &CThread::Trampoline, this);
    if (m_creationResult != 0) {
        m_bRunning.store(false, std::memory_order_release);
        return false;
    }
    m_joinable = true;
    return true;
}

void CThread::WaitForExit() {
    if (!m_joinable) return;
    pthread_join(m_hThread, nullptr);
    m_joinable = false;
}

void CThread::SetQuit() {
    if (m_pTermMutex != nullptr) {
        MutexLock lock(*m_pTermMutex);
        m_bTerminate.store(true, std::memory_order_release);
    } else {
        m_bTerminate.store(true, std::memory_order_release);
    }
}

// nanosleep takes whole seconds and nanoseconds below one second, so the count
// is split; an interrupted sleep continues with the time that remains.
void CThread::Sleep(int ms) {
    if (ms <= 0) return;
    timespec wait{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    timespec left{};
    while (nanosleep(&wait, &left) != 0 && errno == EINTR) wait = left;
}
