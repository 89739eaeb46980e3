// ZQRingBuffer: each transfer computes its length, copies (in two pieces when
// it crosses the end of the block) and moves its index under one lock hold, so
// the producer and the consumer never see a half-updated ring.
#include "core/ring_buffer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/memory_manager.h"

ZQRingBuffer::ZQRingBuffer(int size) {
    if (size < 2) return;
    m_pData = ZQ_AllocArray<unsigned char>(static_cast<size_t>(size));
    if (m_pData != nullptr) m_size = size;
}

ZQRingBuffer::~ZQRingBuffer() {
    ZQ_Free(m_pData);
}

int ZQRingBuffer::UsedLocked() const {
    if (m_size == 0) return 0;
    // In 64 bits: the sum may pass INT_MAX for rings above 1 GiB.
    return static_cast<int>((int64_t{m_writeIndex} - m_readIndex + m_size) % m_size);
}

int ZQRingBuffer::FreeLocked() const {
    if (m_size == 0) return 0;
    return static_cast<int>((int64_t{m_readIndex} - m_writeIndex + m_size - 1) % m_size);
}

int ZQRingBuffer::LengthUsed() {
    MutexLock lock(m_mutex);
    return UsedLocked();
}

int ZQRingBuffer::LengthFree() {
    MutexLock lock(m_mutex);
    return FreeLocked();
}

int ZQRingBuffer::Write(const void* data, int n) {
    if (data == nullptr || n <= 0) return 0;
    MutexLock lock(m_mutex);
    const int count = std::min(n, FreeLocked());
    if (count == 0) return 0;
    const auto* src = static_cast<const unsigned char*>(data);
    const int first = std::min(count, m_size - m_writeIndex);
    std::memcpy(m_pData + m_writeIndex, src, static_cast<size_t>(first));
    std::memcpy(m_pData, src + first, static_cast<size_t>(count - first));
    m_writeIndex = static_cast<int>((int64_t{m_writeIndex} + count) % m_size);
    return count;
}

int ZQRingBuffer::Read(void* data, int n) {
    if (data == nullptr || n <= 0) return 0;
    MutexLock lock(m_mutex);
    const int count = std::min(n, UsedLocked());
    if (count == 0) return 0;
    auto* dst = static_cast<unsigned char*>(data);
    const int first = std::min(count, m_size - m_readIndex);
    std::memcpy(dst, m_pData + m_readIndex, static_cast<size_t>(first));
    std::memcpy(dst + first, m_pData, static_cast<size_t>(count - first));
    m_readIndex = static_cast<int>((int64_t{m_readIndex} + count) % m_size);
    return count;
}
