// Checked reads of the game data file image.
#include "core/game_image.h"

#include <cstdarg>
#include <cstdio>

void GameData_Fail(const char* chunk, const char* format, ...) {
    char detail[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(detail, sizeof detail, format, args);
    va_end(args);
    std::string message = "Game data file is damaged";
    if (chunk != nullptr && chunk[0] != '\0') message += std::string(" (chunk ") + chunk + ")";
    message += ": ";
    message += detail;
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
    if (offset > m_length || need > m_length - offset)
        GameData_Fail(m_chunk, "offset %u (+%zu bytes) lies past the end of the file (%zu bytes)", offset,
                      need, m_length);
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
    if (offset == 0 || offset >= m_length)
        GameData_Fail(m_chunk, "record offset %u lies outside the file", offset);
    return ImageReader(m_image, m_length, offset, m_length, m_chunk);
}

uint32_t ImageReader::Count(size_t elementSize) {
    uint32_t count = U32();
    if (elementSize != 0 && count > Remaining() / elementSize)
        GameData_Fail(m_chunk, "count %u does not fit in the remaining %zu bytes", count, Remaining());
    return count;
}
