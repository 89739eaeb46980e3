// Binary buffers: a block of bytes with a read and write position through
// which scripts and the runtime read and write typed little-endian data. Every
// read of untrusted bytes (saved games, buffer files, packets) goes through a
// buffer and its bounds checks.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/rvalue.h"

// What a buffer does when a write or copy passes its end.
enum eBuffer_Format : int32_t {
    eBuffer_Format_Fixed = 0,   // typed writes are refused, raw writes cut
    eBuffer_Format_Grow = 1,    // the storage grows
    eBuffer_Format_Wrap = 2,    // the position wraps to the start
    eBuffer_Format_Fast = 3,    // as fixed
    eBuffer_Format_VBuffer = 4, // as fixed
};

// Data types of typed reads and writes.
enum eBuffer_Type : int32_t {
    eBuffer_U8 = 1,
    eBuffer_S8 = 2,
    eBuffer_U16 = 3,
    eBuffer_S16 = 4,
    eBuffer_U32 = 5,
    eBuffer_S32 = 6,
    eBuffer_F16 = 7,
    eBuffer_F32 = 8,
    eBuffer_F64 = 9,
    eBuffer_Bool = 10,
    eBuffer_String = 11, // zero-terminated
    eBuffer_U64 = 12,
    eBuffer_Text = 13, // written without the zero
};

enum eBuffer_Seek : int32_t {
    eBuffer_Start = 0,
    eBuffer_Relative = 1,
    eBuffer_End = 2,
};

// The buffer. Typed writes and reads first align the position to the
// alignment, counted from the last seek from the start or end (the wrap phase
// carries that count across the wrap point of a wrap buffer). The used size is
// the high-water mark of written bytes; string reads stop at it.
class IBuffer {
public:
    IBuffer();
    // A zero-filled buffer of `size` bytes (negative counts as 0). The
    // alignment is the smallest power of two from 1 to 512 not below the low
    // nine bits of the request (1 when they are 0).
    IBuffer(int size, eBuffer_Format type, int alignment);
    // Over caller memory (the data starts exactly at `memory`).
    IBuffer(void* memory, int size, eBuffer_Format type, int alignment, bool owns);
    virtual ~IBuffer();
    IBuffer(const IBuffer&) = delete;
    IBuffer& operator=(const IBuffer&) = delete;

    // Typed write of `value` at the position (converted as the argument
    // getters read it), advancing the position. 0 on success; -1 for an
    // unknown type, f16, or a string without text; -2 when the value does not
    // fit a buffer that can neither grow nor wrap.
    virtual int Write(eBuffer_Type type, RValue* value);
    // Typed read at the position into `out`, advancing. 0 on success; -1 on
    // failure with out the real -3.
    virtual int Read(eBuffer_Type type, RValue* out);
    virtual int Seek(eBuffer_Seek base, int offset);
    // Reallocates to newSize bytes (kept contents, zeroed rest); a negative
    // size changes nothing. Returns the size the buffer then has.
    virtual int Resize(int newSize);

    // Writes text as a zero-terminated string (a null text as the byte 4).
    int Write(const char* text);
    // Reads a zero-terminated string; a memory-manager copy the caller frees,
    // or null when nothing could be read.
    char* ReadString();
    // Raw bytes at the position; return the number of bytes moved.
    int Write(const void* data, size_t size, size_t count);
    int Read(void* out, size_t size, size_t count);

    static int SizeOf(eBuffer_Type type);

    unsigned char* Data() const { return m_pData; }
    int Size() const { return m_Size; }
    int Tell() const { return m_Tell; }
    int UsedSize() const { return m_UsedSize; }
    int Alignment() const { return m_Alignment; }
    eBuffer_Format Type() const { return m_Type; }
    int WrapPhase() const { return m_WrapOffset; }
    // Outside users (the sound system's buffer sounds); the buffer table
    // refuses to delete a buffer while any remain.
    int UseCount() const { return m_UseCount; }
    void AddUse() { ++m_UseCount; }
    void ReleaseUse() {
        if (m_UseCount > 0) --m_UseCount;
    }

protected:
    void AlignPosition();
    void WrapStep(); // the position ran off the end of a wrap buffer
    void NoteUsed(int64_t end);

    unsigned char* m_pRawData = nullptr; // the allocated block (or caller memory)
    size_t m_AllocSize = 0;              // size plus alignment
    unsigned char* m_pData = nullptr;    // the first aligned byte
    int m_Size = 0;
    int m_Alignment = 1;
    eBuffer_Format m_Type = eBuffer_Format_Grow;
    int m_Tell = 0;
    int m_UsedSize = 0;
    int m_WrapOffset = 0; // wrap phase, 0 to alignment - 1
    int m_UseCount = 0;   // outside users; the buffer cannot be deleted while above 0
    RValue m_Value;       // scratch for the text helpers; holds nothing between calls
    bool m_OwnsMemory = true;
};

// The ordinary buffer.
class Buffer_Standard final : public IBuffer {
public:
    using IBuffer::IBuffer;
};
