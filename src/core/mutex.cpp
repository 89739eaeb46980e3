// Recursive mutex over pthreads.
#include "core/mutex.h"

Mutex::Mutex(const char* name) {
    Init(name);
}

Mutex::~Mutex() {
    pthread_mutex_destroy(&m_mutex);
}

void Mutex::Init(const char* /*name*/) {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&m_mutex, &attr);
    pthread_mutexattr_destroy(&attr);
}

bool Mutex::Lock() {
    return pthread_mutex_lock(&m_mutex) == 0;
}

void Mutex::Unlock() {
    pthread_mutex_unlock(&m_mutex);
}
