// Binary buffers: construction, typed and raw reads and writes with the
// alignment and wrap rules, seeking and resizing.
//
// Wrap phase: alignment refers to the bytes passed since the last seek from
// the start or the end. In a wrap buffer each trip past the end adds the size
// to that count, so the phase (count modulo the alignment, kept as "how far
// the start of the storage is off an aligned boundary") moves by the size
// modulo the alignment per wrap. All position arithmetic is done in 64 bits,
// so no seek or count can overflow; wrapping uses division, never loops
// proportional to the distance.
#include "core/buffer.h"

#include <algorithm>
#include <cstring>

#include "core/arguments.h"
#include "core/memory_manager.h"

namespace {

constexpr int kSizeOf[] = {0, 1, 1, 2, 2, 4, 4, 2, 4, 8, 1, 0, 8};
// A grow buffer of size 0 starts here before doubling.
constexpr int64_t kGrowStart = 16;

int AlignmentFor(int requested) {
    int bits = requested & 0x1FF;
    int alignment = 1;
    while (alignment < bits) alignment <<= 1;
    return alignment;
}

unsigned char* AlignUp(unsigned char* raw, int alignment) {
    auto address = reinterpret_cast<uintptr_t>(raw);
    auto aligned =
        (address + static_cast<uintptr_t>(alignment) - 1) & ~(static_cast<uintptr_t>(alignment) - 1);
    return raw + (aligned - address);
}

int ClampToInt(int64_t n) {
    return n > INT32_MAX ? INT32_MAX : (n < INT32_MIN ? INT32_MIN : static_cast<int>(n));
}

void SetInt32(RValue* out, int32_t n) {
    out->v64 = 0;
    out->v32 = n;
    out->kind = VALUE_INT32;
}

void SetInt64(RValue* out, int64_t n) {
    out->v64 = n;
    out->kind = VALUE_INT64;
}

} // namespace

IBuffer::IBuffer() {
    m_Value = RValue_Undefined();
}

IBuffer::IBuffer(int size, eBuffer_Format type, int alignment) {
    m_Value = RValue_Undefined();
    m_Alignment = AlignmentFor(alignment);
    m_Type = type;
    if (size < 0) size = 0;
    m_AllocSize = static_cast<size_t>(size) + static_cast<size_t>(m_Alignment);
    m_pRawData = static_cast<unsigned char*>(ZQ_Alloc(m_AllocSize));
    if (m_pRawData == nullptr) {
        m_AllocSize = 0;
        size = 0;
    }
    m_pData = m_pRawData != nullptr ? AlignUp(m_pRawData, m_Alignment) : nullptr;
    m_Size = size;
    m_UsedSize = size;
}

IBuffer::IBuffer(void* memory, int size, eBuffer_Format type, int alignment, bool owns) {
    m_Value = RValue_Undefined();
    m_Alignment = AlignmentFor(alignment);
    m_Type = type;
    m_pRawData = static_cast<unsigned char*>(memory);
    m_pData = m_pRawData;
    m_Size = memory != nullptr && size > 0 ? size : 0;
    m_AllocSize = static_cast<size_t>(m_Size);
    m_UsedSize = m_Size;
    m_OwnsMemory = owns;
}

IBuffer::~IBuffer() {
    if (m_OwnsMemory) ZQ_Free(m_pRawData);
    FREE_RValue(&m_Value);
}

int IBuffer::SizeOf(eBuffer_Type type) {
    return type >= 1 && type <= 12 ? kSizeOf[type] : 0;
}

void IBuffer::AlignPosition() {
    int64_t alignment = m_Alignment;
    int64_t aligned = ((m_Tell + m_WrapOffset + alignment - 1) & ~(alignment - 1)) - m_WrapOffset;
    m_Tell = ClampToInt(aligned);
    if (m_Type == eBuffer_Format_Wrap && m_Size > 0 && m_Tell >= m_Size) {
        int64_t wraps = m_Tell / m_Size;
        m_WrapOffset =
            static_cast<int>((m_WrapOffset + (wraps % alignment) * (m_Size % alignment)) % alignment);
        m_Tell = static_cast<int>(m_Tell % m_Size);
    }
}

void IBuffer::WrapStep() {
    m_WrapOffset = (m_WrapOffset + m_Size) % m_Alignment;
    m_Tell -= m_Size;
}

void IBuffer::NoteUsed(int64_t end) {
    int64_t used = std::max<int64_t>(m_UsedSize, end);
    m_UsedSize = static_cast<int>(std::min<int64_t>(m_Size, used));
}

int IBuffer::Write(eBuffer_Type type, RValue* value) {
    AlignPosition();
    if (m_Tell >= m_Size && m_Type != eBuffer_Format_Grow) return -2;
    if (type < eBuffer_U8 || type > eBuffer_Text) return -1;

    // The value's bytes, little-endian as the processor holds them.
    unsigned char local[8];
    const unsigned char* bytes = local;
    size_t n = 0;
    auto store = [&](const auto& number) {
        std::memcpy(local, &number, sizeof number);
        n = sizeof number;
    };
    switch (type) {
        case eBuffer_U8:
        case eBuffer_S8: store(static_cast<uint8_t>(ZQGetInt32(value, 0))); break;
        case eBuffer_U16: store(static_cast<uint16_t>(ZQGetUint32(value, 0))); break;
        case eBuffer_S16: store(static_cast<uint16_t>(ZQGetInt32(value, 0))); break;
        case eBuffer_U32: store(ZQGetUint32(value, 0)); break;
        case eBuffer_S32: store(ZQGetInt32(value, 0)); break;
        case eBuffer_F16: return -1;
        case eBuffer_F32: store(ZQGetFloat(value, 0)); break;
        case eBuffer_F64: store(ZQGetReal(value, 0)); break;
        case eBuffer_Bool: store(static_cast<uint8_t>(ZQGetBool(value, 0) ? 1 : 0)); break;
        case eBuffer_String:
        case eBuffer_Text: {
            const char* text = ZQGetString(value, 0);
            if (text == nullptr) return -1;
            bytes = reinterpret_cast<const unsigned char*>(text);
            n = std::strlen(text) + (type == eBuffer_String ? 1 : 0);
            break;
        }
        case eBuffer_U64: store(ZQGetInt64(value, 0)); break;
    }

    int64_t end = static_cast<int64_t>(m_Tell) + static_cast<int64_t>(n);
    if (end > m_Size) {
        if (m_Type == eBuffer_Format_Grow) {
            if (end > INT32_MAX) return -2;
            int64_t size = m_Size > 0 ? m_Size : kGrowStart;
            while (size < end) size *= 2;
            if (size > INT32_MAX) size = INT32_MAX;
            if (Resize(static_cast<int>(size)) != size) return -2;
        } else if (m_Type == eBuffer_Format_Wrap) {
            for (size_t i = 0; i < n; ++i) {
                if (m_Tell >= m_Size) WrapStep();
                m_pData[m_Tell++] = bytes[i];
            }
            NoteUsed(m_Tell);
            return 0;
        } else {
            return -2;
        }
    }
    std::memcpy(m_pData + m_Tell, bytes, n);
    m_Tell = static_cast<int>(end);
    NoteUsed(m_Tell);
    return 0;
}

int IBuffer::Read(eBuffer_Type type, RValue* out) {
    FREE_RValue(out);
    *out = RValue_Real(0.0);
    AlignPosition();
    if (m_Tell >= m_Size || type < eBuffer_U8 || type > eBuffer_Text) {
        out->val = -3.0;
        return -1;
    }

    if (type == eBuffer_String || type == eBuffer_Text) {
        // Strings stop at the used size and are never read across the wrap point.
        size_t length = 0;
        if (m_Tell < m_UsedSize) {
            const unsigned char* start = m_pData + m_Tell;
            size_t available = static_cast<size_t>(m_UsedSize - m_Tell);
            const void* zero = std::memchr(start, 0, available);
            length = zero != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - start)
                                     : available;
        }
        ZQSetStringBytes(out, reinterpret_cast<const char*>(m_pData + m_Tell), length);
        m_Tell = ClampToInt(static_cast<int64_t>(m_Tell) + static_cast<int64_t>(length) + 1);
        return 0;
    }

    int n = SizeOf(type);
    unsigned char local[8] = {};
    if (static_cast<int64_t>(m_Tell) + n > m_Size) {
        if (m_Type != eBuffer_Format_Wrap) {
            out->val = -3.0;
            return -1;
        }
        for (int i = 0; i < n; ++i) {
            if (m_Tell >= m_Size) WrapStep();
            local[i] = m_pData[m_Tell++];
        }
    } else {
        std::memcpy(local, m_pData + m_Tell, static_cast<size_t>(n));
        m_Tell += n;
    }

    auto load = [&](auto number) {
        std::memcpy(&number, local, sizeof number);
        return number;
    };
    switch (type) {
        case eBuffer_U8: SetInt32(out, local[0]); break;
        case eBuffer_S8: SetInt32(out, static_cast<int8_t>(local[0])); break;
        case eBuffer_U16: SetInt32(out, load(uint16_t{})); break;
        case eBuffer_S16: SetInt32(out, load(int16_t{})); break;
        case eBuffer_U32: SetInt64(out, load(uint32_t{})); break;
        case eBuffer_S32: SetInt32(out, load(int32_t{})); break;
        case eBuffer_F16: return -1;
        case eBuffer_F32: out->val = load(float{}); break;
        case eBuffer_F64: out->val = load(double{}); break;
        case eBuffer_Bool: SetInt32(out, local[0]); break;
        case eBuffer_U64: SetInt64(out, load(int64_t{})); break;
        default: break;
    }
    return 0;
}

int IBuffer::Seek(eBuffer_Seek base, int offset) {
    switch (base) {
        case eBuffer_Start:
            m_Tell = std::max(offset, 0);
            m_WrapOffset = 0;
            break;
        case eBuffer_Relative: {
            int64_t position = static_cast<int64_t>(m_Tell) + offset;
            if (m_Type == eBuffer_Format_Wrap && m_Size > 0) {
                int64_t alignment = m_Alignment;
                int64_t size = m_Size;
                if (position < 0) {
                    int64_t wraps = (-position + size - 1) / size;
                    int64_t stepBack = (alignment - size % alignment) % alignment;
                    m_WrapOffset =
                        static_cast<int>((m_WrapOffset + (wraps % alignment) * stepBack) % alignment);
                    position += wraps * size;
                } else if (position >= size) {
                    int64_t wraps = position / size;
                    m_WrapOffset = static_cast<int>(
                        (m_WrapOffset + (wraps % alignment) * (size % alignment)) % alignment);
                    position -= wraps * size;
                }
            } else if (position < 0) {
                position = 0;
            }
            m_Tell = ClampToInt(position);
            break;
        }
        case eBuffer_End:
            m_Tell = m_Size - std::min(std::max(offset, 0), m_Size);
            m_WrapOffset = 0;
            break;
        default: break;
    }
    return m_Tell;
}

int IBuffer::Resize(int newSize) {
    if (newSize < 0) return m_Size;
    size_t allocSize = static_cast<size_t>(newSize) + static_cast<size_t>(m_Alignment);
    auto* raw = static_cast<unsigned char*>(ZQ_Alloc(allocSize));
    if (raw == nullptr) return m_Size;
    unsigned char* data = AlignUp(raw, m_Alignment);
    if (m_pData != nullptr) std::memcpy(data, m_pData, static_cast<size_t>(std::min(m_Size, newSize)));
    if (m_OwnsMemory) ZQ_Free(m_pRawData);
    m_pRawData = raw;
    m_AllocSize = allocSize;
    m_pData = data;
    m_Size = newSize;
    m_OwnsMemory = true;
    if (m_Tell >= newSize) {
        m_Tell = 0;
        m_WrapOffset = 0;
    }
    m_UsedSize = std::min(newSize, std::max(m_UsedSize, m_Tell));
    return newSize;
}

int IBuffer::Write(const char* text) {
    FREE_RValue(&m_Value);
    ZQSetString(&m_Value, text != nullptr ? text : "\x04");
    int result = Write(eBuffer_String, &m_Value);
    FREE_RValue(&m_Value);
    return result;
}

char* IBuffer::ReadString() {
    char* copy = nullptr;
    if (Read(eBuffer_String, &m_Value) == 0 && m_Value.Kind() == VALUE_STRING &&
        m_Value.pRefString != nullptr)
        copy = ZQStrDup(m_Value.pRefString->Get() != nullptr ? m_Value.pRefString->Get() : "");
    FREE_RValue(&m_Value);
    return copy;
}

int IBuffer::Write(const void* data, size_t size, size_t count) {
    if (data == nullptr || size == 0 || count == 0 || size > INT32_MAX / count) return 0;
    int64_t n = static_cast<int64_t>(size * count);
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (m_Type == eBuffer_Format_Grow) {
        int64_t start = std::max(m_Tell, 0);
        if (start + n > INT32_MAX) return 0;
        if (start + n > m_Size && Resize(static_cast<int>(start + n)) != start + n) return 0;
        std::memcpy(m_pData + start, bytes, static_cast<size_t>(n));
        m_Tell = static_cast<int>(start + n);
        NoteUsed(m_Tell);
        return static_cast<int>(n);
    }
    if (m_Type == eBuffer_Format_Wrap) {
        if (m_Size <= 0) return 0;
        int64_t start = ((m_Tell % m_Size) + m_Size) % m_Size;
        int64_t position = start;
        for (int64_t left = n; left > 0;) {
            int64_t piece = std::min(left, m_Size - position);
            std::memcpy(m_pData + position, bytes + (n - left), static_cast<size_t>(piece));
            left -= piece;
            position = (position + piece) % m_Size;
        }
        NoteUsed(start + n >= m_Size ? m_Size : start + n);
        m_Tell = static_cast<int>((start + n) % m_Size);
        return static_cast<int>(n);
    }
    int64_t start = std::max(m_Tell, 0);
    if (start >= m_Size) return 0;
    n = std::min<int64_t>(n, m_Size - start);
    std::memcpy(m_pData + start, bytes, static_cast<size_t>(n));
    m_Tell = static_cast<int>(start + n);
    NoteUsed(m_Tell);
    return static_cast<int>(n);
}

int IBuffer::Read(void* out, size_t size, size_t count) {
    if (out == nullptr || size == 0 || count == 0 || size > INT32_MAX / count) return 0;
    int64_t n = static_cast<int64_t>(size * count);
    auto* bytes = static_cast<unsigned char*>(out);
    if (m_Type == eBuffer_Format_Wrap) {
        if (m_Size <= 0) return 0;
        int64_t start = ((m_Tell % m_Size) + m_Size) % m_Size;
        int64_t position = start;
        for (int64_t left = n; left > 0;) {
            int64_t piece = std::min(left, m_Size - position);
            std::memcpy(bytes + (n - left), m_pData + position, static_cast<size_t>(piece));
            left -= piece;
            position = (position + piece) % m_Size;
        }
        m_Tell = static_cast<int>((start + n) % m_Size);
        return static_cast<int>(n);
    }
    int64_t start = std::max(m_Tell, 0);
    if (start >= m_Size) return 0;
    n = std::min<int64_t>(n, m_Size - start);
    std::memcpy(bytes, m_pData + start, static_cast<size_t>(n));
    m_Tell = static_cast<int>(start + n);
    return static_cast<int>(n);
}
