// Writer of game data files: the "FORM" container, chunks in the caller's
// order, the string pool "STRG" and offsets resolved at the end. Tests,
// benchmarks and the game's own build make their data files with it. Layouts
// of particular chunks live in their own files beside this one (gen8.h ...).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace wad {

// A chunk's payload under construction. Offsets to strings and to labelled
// places anywhere in the file are written as fix-ups and resolved by Build().
class Chunk {
public:
    explicit Chunk(std::string tag) : m_tag(std::move(tag)) {}

    const std::string& Tag() const { return m_tag; }
    size_t Size() const { return m_bytes.size(); }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

    Chunk& U8(uint8_t v);
    Chunk& U16(uint16_t v);
    Chunk& U32(uint32_t v);
    Chunk& S32(int32_t v) { return U32(static_cast<uint32_t>(v)); }
    Chunk& U64(uint64_t v);
    Chunk& F32(float v);
    Chunk& F64(double v);
    Chunk& Raw(const void* data, size_t n);
    Chunk& Zeros(size_t n);
    // Overwrites a 32-bit word already written at `position`.
    Chunk& PatchU32(size_t position, uint32_t v);

    // A 32-bit file offset of `text` in the string pool (its characters,
    // four bytes after the entry's length word).
    Chunk& String(std::string_view text);
    // A 32-bit file offset of the place labelled `label` (in any chunk).
    Chunk& Offset(const std::string& label);
    // Names the current position; labels are global to the file.
    Chunk& Label(const std::string& label);

    struct Fixup {
        size_t position;
        bool isString;
        std::string target;
    };
    const std::vector<Fixup>& Fixups() const { return m_fixups; }
    const std::map<std::string, size_t>& Labels() const { return m_labels; }

private:
    std::string m_tag;
    std::vector<uint8_t> m_bytes;
    std::vector<Fixup> m_fixups;
    std::map<std::string, size_t> m_labels;
};

// Damaging a built file in place, for tests of refusals: the payload offset
// of the first chunk tagged `tag` (std::runtime_error when there is none),
// and the 32-bit word at a file offset, read and overwritten.
size_t ChunkPayload(const std::vector<uint8_t>& file, const std::string& tag);
uint32_t WordAt(const std::vector<uint8_t>& file, size_t at);
void PutWord(std::vector<uint8_t>& file, size_t at, uint32_t value);

class GameDataWriter {
public:
    // Appends a chunk; the tag's four letters are stored as given.
    Chunk& AddChunk(const std::string& tag);
    // Puts the string pool here (else it goes last, if any string is used).
    void AddStringChunk();
    // Interns a string without referring to it (it still gets a pool entry).
    void Intern(std::string_view text);

    // Writes the container tag byte-reversed ("MROF"), as a big-endian file would.
    void SetReversedContainerTag(bool reversed) { m_reversedTag = reversed; }

    // The whole file. Throws std::runtime_error for an unknown label or a file
    // beyond 4 GiB.
    std::vector<uint8_t> Build() const;
    // Build() written to `path`; false (with `error`) when it cannot be written.
    bool WriteFile(const std::string& path, std::string* error = nullptr) const;

private:
    std::vector<std::unique_ptr<Chunk>> m_chunks; // null entry: the string pool's place
    std::vector<std::string> m_interned;          // strings pooled whether referred to or not
    bool m_stringChunkPlaced = false;
    bool m_reversedTag = false;
};

} // namespace wad
