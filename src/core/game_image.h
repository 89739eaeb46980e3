// Checked access to the game data file image. Every loader reads its chunk
// through an ImageReader: each read, offset and string is checked against the
// image, and a violation throws GameDataError naming the chunk and the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

// A data file that cannot be loaded. The message names the chunk and the
// problem; the loader reports it and the start-up ends with status 1.
class GameDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws GameDataError with a printf-style message prefixed by the chunk tag.
[[noreturn]] void GameData_Fail(const char* chunk, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// A cursor over the whole image (offsets in the file are from the image start).
// Reads are little-endian and never leave the image; `limit` bounds the
// cursor's own sequential reads (the chunk's payload end by default).
class ImageReader {
public:
    ImageReader(uint8_t* image, size_t length, size_t position, size_t limit, const char* chunk)
        : m_image(image), m_length(length), m_pos(position), m_limit(limit > length ? length : limit),
          m_chunk(chunk) {}

    // The image stays writable: some loaders rewrite records in place.
    uint8_t* Image() const { return m_image; }
    size_t ImageLength() const { return m_length; }
    size_t Position() const { return m_pos; }
    size_t Limit() const { return m_limit; }
    size_t Remaining() const { return m_pos <= m_limit ? m_limit - m_pos : 0; }
    const char* Chunk() const { return m_chunk; }

    uint8_t U8() { return *Take(1); }
    uint16_t U16() { return Load<uint16_t>(Take(2)); }
    uint32_t U32() { return Load<uint32_t>(Take(4)); }
    int32_t S32() { return static_cast<int32_t>(U32()); }
    uint64_t U64() { return Load<uint64_t>(Take(8)); }
    float F32() { return Load<float>(Take(4)); }
    double F64() { return Load<double>(Take(8)); }
    // `n` bytes at the cursor, advancing past them.
    const uint8_t* Bytes(size_t n) { return Take(n); }
    void Skip(size_t n) { Take(n); }
    void Seek(size_t position);

    // Pointer for a stored offset: null for 0, else `need` bytes must fit.
    const uint8_t* Resolve(uint32_t offset, size_t need) const;
    // The zero-terminated text at a stored offset (null for 0); the
    // terminator must lie inside the image.
    const char* String(uint32_t offset) const;
    // Reads a 32-bit offset at the cursor and resolves it as a string.
    const char* StringAt() { return String(U32()); }
    // A cursor at a stored offset, reading up to the end of the image.
    ImageReader At(uint32_t offset) const;
    // A count read from the data that must describe `elementSize`-byte
    // elements fitting in what remains before the limit; refuses otherwise.
    uint32_t Count(size_t elementSize);

    [[noreturn]] void Fail(const char* what) const;

private:
    template <typename T>
    static T Load(const uint8_t* p) {
        T value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    const uint8_t* Take(size_t n);

    uint8_t* m_image;
    size_t m_length;
    size_t m_pos;
    size_t m_limit;
    const char* m_chunk;
};
