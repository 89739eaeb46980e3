// A lock-protected byte ring: recorded audio passes through it from the
// capture thread to the main thread.
#pragma once

#include "core/mutex.h"

// A ring of n bytes holds at most n - 1, so that equal read and write indices
// always mean empty. Write and Read move as many bytes as fit and return the
// count moved; the rest is left to the caller.
class ZQRingBuffer {
public:
    // A size below 2 (or memory exhaustion) gives a ring that holds nothing.
    explicit ZQRingBuffer(int size);
    ~ZQRingBuffer();
    ZQRingBuffer(const ZQRingBuffer&) = delete;
    ZQRingBuffer& operator=(const ZQRingBuffer&) = delete;

    int LengthUsed();
    int LengthFree();
    int Write(const void* data, int n);
    int Read(void* data, int n);
    int Size() const { return m_size; }

private:
    int UsedLocked() const;
    int FreeLocked() const;

    Mutex m_mutex{"ZQRingBufferMutex"};
    unsigned char* m_pData = nullptr;
    int m_size = 0;
    int m_readIndex = 0;
    int m_writeIndex = 0;
};
