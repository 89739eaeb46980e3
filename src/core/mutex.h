// The runtime's one lock type: a recursive POSIX mutex. Every lock in the
// runtime is recursive, so a holder may take it again on the same thread.
#pragma once

#include <pthread.h>

class Mutex {
public:
    explicit Mutex(const char* name = nullptr);
    ~Mutex();
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;

    // (Re)initialises the underlying mutex; the name is for readers only.
    void Init(const char* name);
    bool Lock();
    void Unlock();

private:
    pthread_mutex_t m_mutex;
};

// Scoped holder, so early returns cannot leave a lock taken.
class MutexLock {
public:
    explicit MutexLock(Mutex& mutex) : m_mutex(mutex) { m_mutex.Lock(); }
    ~MutexLock() { m_mutex.Unlock(); }
    MutexLock(const MutexLock&) = delete;
    MutexLock& operator=(const MutexLock&) = delete;

private:
    Mutex& m_mutex;
};
