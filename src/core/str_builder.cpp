// The string builder's growth and appends.
#include "core/str_builder.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "core/memory_manager.h"
#include "core/rvalue.h"
#include "core/value_text.h"

ZQStrBuilder::~ZQStrBuilder() {
    ZQ_Free(m_pText);
}

ZQStrBuilder::ZQStrBuilder(ZQStrBuilder&& other) noexcept
    : m_pText(other.m_pText), m_capacity(other.m_capacity), m_used(other.m_used) {
    other.m_pText = nullptr;
    other.m_capacity = other.m_used = 0;
}

ZQStrBuilder& ZQStrBuilder::operator=(ZQStrBuilder&& other) noexcept {
    if (this != &other) {
        ZQ_Free(m_pText);
        m_pText = other.m_pText;
        m_capacity = other.m_capacity;
        m_used = other.m_used;
        other.m_pText = nullptr;
        other.m_capacity = other.m_used = 0;
    }
    return *this;
}

// Makes room for n bytes and the terminator by the growth rule.
bool ZQStrBuilder::Grow(int64_t n) {
    int64_t need = static_cast<int64_t>(m_used) + n + 1;
    if (need > INT32_MAX) return false;
    int64_t capacity = (m_capacity != 0 ? m_capacity : n + 1) * 3 / 2;
    if (capacity < need) capacity = need * 3 / 2;
    if (capacity > INT32_MAX) capacity = INT32_MAX;
    auto* block = static_cast<char*>(ZQ_AllocNoClear(static_cast<size_t>(capacity)));
    if (block == nullptr) return false;
    if (m_pText != nullptr)
        std::memcpy(block, m_pText, static_cast<size_t>(m_capacity));
    else
        block[0] = '\0';
    ZQ_Free(m_pText);
    m_pText = block;
    m_capacity = static_cast<int32_t>(capacity);
    return true;
}

void ZQStrBuilder::Append(const char* text, int64_t n) {
    if (n >= static_cast<int64_t>(m_capacity) - m_used - 1 && !Grow(n)) return;
    std::memcpy(m_pText + m_used, text, static_cast<size_t>(n));
    m_used += static_cast<int32_t>(n);
    m_pText[m_used] = '\0';
}

char* ZQStrBuilder::ensureSpace(int n) {
    if (n < 0) n = 0;
    if (static_cast<int64_t>(m_capacity) - m_used - 1 < n && !Grow(n)) return nullptr;
    return m_pText + m_used;
}

void ZQStrBuilder::commit(int n) {
    if (m_pText == nullptr || n <= 0) return;
    if (n > m_capacity - m_used - 1) n = m_capacity - m_used - 1;
    m_used += n;
    m_pText[m_used] = '\0';
}

ZQStrBuilder& ZQStrBuilder::operator<<(const char* text) {
    if (text != nullptr) Append(text, static_cast<int64_t>(std::strlen(text)));
    return *this;
}

ZQStrBuilder& ZQStrBuilder::operator<<(int n) {
    char digits[16];
    int length = std::snprintf(digits, sizeof digits, "%d", n);
    Append(digits, length);
    return *this;
}

ZQStrBuilder& ZQStrBuilder::operator<<(const RValue& v) {
    char* text = Value_ToText(&v);
    if (text != nullptr) {
        *this << text;
        ZQ_Free(text);
    }
    return *this;
}

char* ZQStrBuilder::detach() {
    char* text = m_pText;
    m_pText = nullptr;
    m_capacity = m_used = 0;
    return text;
}

void ZQStrBuilder::clear() {
    m_used = 0;
    if (m_pText != nullptr) m_pText[0] = '\0';
}
