// Checked access to the game data file image. Every loader reads its chunk
// through an ImageReader: each read, offset and string is checked against the
// image, and a violation throws GameDataError naming the chunk and the fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

// The bytes loaders may copy out of a data file of `length` bytes, all
// resources together: 16 times the file, and at least 1 MiB, so that a small
// file cannot name one long list from every record.
size_t GameData_LoadBudget(size_t length);

// The data file's text quoted in a message: control characters and bytes
// that are not part of well-formed UTF-8 become "\xNN", so a damaged name
// cannot put raw bytes on a console while a name in any script still reads.
std::string GameData_Printable(const char* text);

// A cursor over one chunk of the image (offsets in the file are from the
// image start). Reads are little-endian and never leave the image. The
// chunk is the range [position, limit) given at construction: records that
// stored offsets lead to (At, Resolve, Peek, Patch) must lie inside it, so a
// record cannot run on into the next chunk. `limit` also bounds the cursor's
// own sequential reads. Strings may stand anywhere in the image.
class ImageReader {
public:
    // An empty reader: every read fails.
    ImageReader() = default;
    ImageReader(uint8_t* image, size_t length, size_t position, size_t limit, const char* chunk)
        : m_image(image), m_length(length), m_pos(position > length ? length : position),
          m_limit(limit > length ? length : limit), m_chunkStart(m_pos), m_chunkEnd(m_limit) {
        std::snprintf(m_chunk, sizeof m_chunk, "%s", chunk != nullptr ? chunk : "");
    }

    size_t ImageLength() const { return m_length; }
    size_t Position() const { return m_pos; }
    size_t Limit() const { return m_limit; }
    size_t Remaining() const { return m_pos <= m_limit ? m_limit - m_pos : 0; }
    const char* Chunk() const { return m_chunk; }
    // The chunk's payload: [ChunkStart, ChunkEnd) in file offsets.
    size_t ChunkStart() const { return m_chunkStart; }
    size_t ChunkEnd() const { return m_chunkEnd; }
    bool Empty() const { return m_image == nullptr || m_chunkEnd <= m_chunkStart; }

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

    // Pointer for a stored offset: null for 0, else `need` bytes must fit
    // inside the chunk.
    const uint8_t* Resolve(uint32_t offset, size_t need) const;
    // The zero-terminated text at a stored offset (null for 0); the
    // terminator must lie inside the image.
    const char* String(uint32_t offset) const;
    // Reads a 32-bit offset at the cursor and resolves it as a string.
    const char* StringAt() { return String(U32()); }
    // A cursor at a stored offset, reading up to the end of the chunk.
    ImageReader At(uint32_t offset) const;
    // `n` bytes at file offset `at` inside the chunk, for a caller that
    // keeps the length with the pointer.
    const uint8_t* Span(size_t at, size_t n) const { return Place(at, n); }
    // The value at file offset `at`, without moving the cursor, and writing
    // one there (some loaders rewrite records in place). Both must lie
    // inside the chunk.
    template <typename T>
    T Peek(size_t at) const {
        return Load<T>(Place(at, sizeof(T)));
    }
    template <typename T>
    void Patch(size_t at, T value) const {
        std::memcpy(Place(at, sizeof(T)), &value, sizeof value);
    }
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
    uint8_t* Place(size_t at, size_t n) const;

    uint8_t* m_image = nullptr;
    size_t m_length = 0;
    size_t m_pos = 0;
    size_t m_limit = 0;
    size_t m_chunkStart = 0;
    size_t m_chunkEnd = 0;
    char m_chunk[24] = {}; // the chunk's name, kept with the reader
};

// The 32-bit value of a chunk tag's four stored bytes ("GEN8" as G, E, N, 8).
constexpr uint32_t GameData_Tag(const char (&text)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[3])) << 24;
}

// One chunk met by GameData_WalkChunks: its tag (value and printable text),
// the file offset of its header and its payload size.
struct ChunkHeader {
    uint32_t tag;
    char tagText[20]; // the four tag bytes, made printable
    size_t offset;
    uint32_t size;
};

// The checked header of the chunk at `offset` (see GameData_WalkChunks).
ChunkHeader GameData_ChunkHeader(const ImageReader& file, size_t offset);

// The chunk walk of an IFF image: chunks {tag, size, payload} back to back
// from offset 8 to `length`, with no padding. Calls visit(header, reader
// over the payload) for each chunk in file order, empty ones included (a
// loader is never handed an empty payload: the caller skips them). A chunk
// header cut off by the end of the image, or a payload running past it,
// throws GameDataError before the chunk is visited.
template <typename Visit>
void GameData_WalkChunks(uint8_t* image, size_t length, Visit&& visit) {
    ImageReader file(image, length, 0, length, "");
    for (size_t offset = 8; offset < length;) {
        ChunkHeader header = GameData_ChunkHeader(file, offset);
        const size_t payload = offset + 8;
        ImageReader reader(image, length, payload, payload + header.size, header.tagText);
        visit(static_cast<const ChunkHeader&>(header), reader);
        offset = payload + header.size;
    }
}
