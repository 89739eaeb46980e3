// ZQStrBuilder: the growable text that compiled code and error messages
// build strings in (a memory-manager block kept zero-terminated).
#pragma once

#include <cstdint>

struct RValue;

// Growth: appending n bytes when n >= capacity - used - 1 makes the capacity
// (capacity, or n + 1 when it is 0) * 3 / 2, raised to (used + n + 1) * 3 / 2
// when that is still too small; so a 10-byte text into an empty builder makes
// 16 bytes. The text is zero-terminated after every append. Capacities stay
// within 32 bits: an append that cannot fit appends nothing.
class ZQStrBuilder {
public:
    ZQStrBuilder() = default;
    ~ZQStrBuilder();
    ZQStrBuilder(const ZQStrBuilder&) = delete;
    ZQStrBuilder& operator=(const ZQStrBuilder&) = delete;
    ZQStrBuilder(ZQStrBuilder&& other) noexcept;
    ZQStrBuilder& operator=(ZQStrBuilder&& other) noexcept;

    // Room for n more bytes and the terminator; returns the address at the
    // used position (null when the room cannot be had). `used` is unchanged:
    // commit(n) takes the bytes written there.
    char* ensureSpace(int n);
    // Counts n bytes written after ensureSpace and terminates the text.
    void commit(int n);

    ZQStrBuilder& operator<<(const char* text); // null appends nothing
    ZQStrBuilder& operator<<(int n);            // decimal
    ZQStrBuilder& operator<<(const RValue& v);  // the value's text form

    // The text so far ("" before the first append).
    const char* c_str() const { return m_pText != nullptr ? m_pText : ""; }
    int32_t length() const { return m_used; }
    int32_t capacity() const { return m_capacity; }
    // Hands the block over to the caller (free it with ZQ_Free); the builder
    // is empty afterwards. Null when nothing was ever appended.
    char* detach();
    // Empties the text, keeping the block.
    void clear();

    char* m_pText = nullptr;
    int32_t m_capacity = 0;
    int32_t m_used = 0;

private:
    void Append(const char* text, int64_t n);
    bool Grow(int64_t n);
};
