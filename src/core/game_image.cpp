// Checked reads of the game data file image.
#include "core/game_image.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

void GameData_Fail(const char* chunk, const char* format, ...) {
    char detail[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    // Names quoted from the file may hold any byte: the message is made
    // printable as a whole.
    std::string message = "Game data file is damaged";
    if (chunk != nullptr && chunk[0] != '\0') message += " (chunk " + GameData_Printable(chunk) + ")";
    message += ": ";
    message += GameData_Printable(detail);
    throw GameDataError(message);
}

void ImageReader::Fail(const char* what) const {
    GameData_Fail(m_chunk, "%s at offset %zu", what, m_pos);
}

const uint8_t* ImageReader::Take(size_t n) {
    if (m_pos > m_limit || n > m_limit - m_pos) Fail("read past the end of the data");
    const uint8_t* p = m_image + m_pos;
    m_pos += n;
    return p;
}

void ImageReader::Seek(size_t position) {
    if (position > m_limit) GameData_Fail(m_chunk, "position %zu lies outside the data", position);
    m_pos = position;
}

const uint8_t* ImageReader::Resolve(uint32_t offset, size_t need) const {
    if (offset == 0) return nullptr;
    if (offset < m_chunkStart || offset > m_chunkEnd || need > m_chunkEnd - offset)
        GameData_Fail(m_chunk,
                      "a record of %zu bytes at offset %u lies outside the chunk (offsets %zu to %zu)", need,
                      offset, m_chunkStart, m_chunkEnd);
    return m_image + offset;
}

const char* ImageReader::String(uint32_t offset) const {
    if (offset == 0) return nullptr;
    if (offset >= m_length) GameData_Fail(m_chunk, "string offset %u lies past the end of the file", offset);
    if (std::memchr(m_image + offset, 0, m_length - offset) == nullptr)
        GameData_Fail(m_chunk, "string at offset %u has no terminator", offset);
    return reinterpret_cast<const char*>(m_image + offset);
}

ImageReader ImageReader::At(uint32_t offset) const {
    if (offset == 0 || offset < m_chunkStart || offset >= m_chunkEnd)
        GameData_Fail(m_chunk, "record offset %u lies outside the chunk (offsets %zu to %zu)", offset,
                      m_chunkStart, m_chunkEnd);
    ImageReader record = *this;
    record.m_pos = offset;
    record.m_limit = m_chunkEnd;
    return record;
}

uint32_t ImageReader::Count(size_t elementSize) {
    uint32_t count = U32();
    if (elementSize != 0 && count > Remaining() / elementSize)
        GameData_Fail(m_chunk, "count %u does not fit in the remaining %zu bytes", count, Remaining());
    return count;
}

uint8_t* ImageReader::Place(size_t at, size_t n) const {
    if (at < m_chunkStart || at > m_chunkEnd || n > m_chunkEnd - at)
        GameData_Fail(m_chunk, "%zu bytes at offset %zu lie outside the chunk (offsets %zu to %zu)", n, at,
                      m_chunkStart, m_chunkEnd);
    return m_image + at;
}

size_t GameData_LoadBudget(size_t length) {
    constexpr size_t kFactor = 16;
    constexpr size_t kFloor = size_t{1} << 20;
    const size_t budget = length > SIZE_MAX / kFactor ? SIZE_MAX : length * kFactor;
    return budget < kFloor ? kFloor : budget;
}

namespace {

// The length of the well-formed UTF-8 sequence of two or more bytes at `p`
// (no overlong forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8Sequence(const unsigned char* p) {
    const unsigned char lead = p[0];
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (p[1] < low || p[1] > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF) return 0;
    return length;
}

} // namespace

std::string GameData_Printable(const char* text) {
    std::string out;
    if (text == nullptr) return out;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        if (*p >= 0x20 && *p < 0x7F) {
            out += static_cast<char>(*p++);
            continue;
        }
        // A terminator ends a sequence early, so reading on stays in the text.
        if (const size_t n = *p >= 0x80 ? Utf8Sequence(p) : 0) {
            out.append(reinterpret_cast<const char*>(p), n);
            p += n;
            continue;
        }
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", *p++);
        out += escaped;
    }
    return out;
}

ChunkHeader GameData_ChunkHeader(const ImageReader& file, size_t offset) {
    ChunkHeader header{};
    header.offset = offset;
    if (offset > file.ImageLength() || file.ImageLength() - offset < 8)
        GameData_Fail(nullptr, "a chunk header at offset %zu is cut off by the end of the file", offset);
    header.tag = file.Peek<uint32_t>(offset);
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char byte[2] = {static_cast<char>(header.tag >> (8 * i)), '\0'};
        text += byte[0] != '\0' ? GameData_Printable(byte) : "\\x00";
    }
    std::snprintf(header.tagText, sizeof header.tagText, "%s", text.c_str());
    header.size = file.Peek<uint32_t>(offset + 4);
    const size_t payload = offset + 8;
    if (header.size > file.ImageLength() - payload)
        GameData_Fail(header.tagText, "%u bytes of payload at offset %zu run past the end of the file",
                      header.size, payload);
    return header;
}
