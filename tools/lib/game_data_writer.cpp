// Game data file writer: chunk payloads, the string pool and fix-ups.
#include "game_data_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace wad {

namespace {
void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
void AppendU32(std::vector<uint8_t>& bytes, uint32_t v) {
    bytes.resize(bytes.size() + 4);
    PutU32(bytes, bytes.size() - 4, v);
}
uint32_t CheckedOffset(size_t offset) {
    if (offset > 0xFFFFFFFFu) throw std::runtime_error("game data file beyond 4 GiB");
    return static_cast<uint32_t>(offset);
}
} // namespace

Chunk& Chunk::U8(uint8_t v) {
    m_bytes.push_back(v);
    return *this;
}
Chunk& Chunk::U16(uint16_t v) {
    return U8(static_cast<uint8_t>(v)).U8(static_cast<uint8_t>(v >> 8));
}
Chunk& Chunk::U32(uint32_t v) {
    AppendU32(m_bytes, v);
    return *this;
}
Chunk& Chunk::U64(uint64_t v) {
    return U32(static_cast<uint32_t>(v)).U32(static_cast<uint32_t>(v >> 32));
}
Chunk& Chunk::F32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    return U32(bits);
}
Chunk& Chunk::F64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    return U64(bits);
}
Chunk& Chunk::Raw(const void* data, size_t n) {
    const auto* p = static_cast<const uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + n);
    return *this;
}
Chunk& Chunk::Zeros(size_t n) {
    m_bytes.resize(m_bytes.size() + n, 0);
    return *this;
}
Chunk& Chunk::PatchU32(size_t position, uint32_t v) {
    if (position + 4 > m_bytes.size()) throw std::out_of_range("PatchU32 past the chunk's end");
    PutU32(m_bytes, position, v);
    return *this;
}
Chunk& Chunk::String(std::string_view text) {
    m_fixups.push_back({m_bytes.size(), true, std::string(text)});
    return U32(0);
}
Chunk& Chunk::Offset(const std::string& label) {
    m_fixups.push_back({m_bytes.size(), false, label});
    return U32(0);
}
Chunk& Chunk::Label(const std::string& label) {
    m_labels[label] = m_bytes.size();
    return *this;
}

Chunk& GameDataWriter::AddChunk(const std::string& tag) {
    if (tag.size() != 4) throw std::invalid_argument("chunk tags have four letters: " + tag);
    m_chunks.push_back(std::make_unique<Chunk>(tag));
    return *m_chunks.back();
}

void GameDataWriter::AddStringChunk() {
    m_chunks.push_back(nullptr);
    m_stringChunkPlaced = true;
}

void GameDataWriter::Intern(std::string_view text) {
    m_interned.emplace_back(text);
}

std::vector<uint8_t> GameDataWriter::Build() const {
    // The pool: explicit strings first, then every referred string in the
    // order the chunks refer to them, each once.
    std::vector<std::string> pool;
    std::map<std::string, size_t, std::less<>> poolIndex;
    auto intern = [&](const std::string& text) {
        if (poolIndex.emplace(text, pool.size()).second) pool.push_back(text);
    };
    for (const std::string& text : m_interned) intern(text);
    for (const auto& chunk : m_chunks) {
        if (!chunk) continue;
        for (const Chunk::Fixup& f : chunk->Fixups())
            if (f.isString) intern(f.target);
    }

    std::vector<const Chunk*> order;
    Chunk pooled("STRG");
    for (const auto& chunk : m_chunks) order.push_back(chunk ? chunk.get() : &pooled);
    if (!m_stringChunkPlaced && !pool.empty()) order.push_back(&pooled);

    // Pool payload: count, entry offsets, entries {length, text, 0}. Entry
    // offsets are absolute, so the payload is laid out once its place is known.
    std::vector<size_t> entryAt(pool.size());
    size_t poolSize = 4 + 4 * pool.size();
    for (size_t i = 0; i < pool.size(); ++i) {
        entryAt[i] = poolSize;
        poolSize += 4 + pool[i].size() + 1;
    }
    size_t poolPayload = 0;

    std::vector<size_t> payloadAt(order.size());
    std::map<std::string, size_t> labels;
    size_t pos = 8;
    for (size_t i = 0; i < order.size(); ++i) {
        payloadAt[i] = pos + 8;
        size_t size = order[i]->Size();
        if (order[i] == &pooled) {
            size = poolSize;
            poolPayload = payloadAt[i];
        }
        for (const auto& [name, at] : order[i]->Labels()) labels[name] = payloadAt[i] + at;
        pos += 8 + size;
    }
    const size_t fileLength = pos;
    CheckedOffset(fileLength);

    std::vector<uint8_t> file;
    file.reserve(fileLength);
    const char* form = m_reversedTag ? "MROF" : "FORM";
    file.insert(file.end(), form, form + 4);
    AppendU32(file, static_cast<uint32_t>(fileLength - 8));
    for (size_t i = 0; i < order.size(); ++i) {
        const Chunk* chunk = order[i];
        file.insert(file.end(), chunk->Tag().begin(), chunk->Tag().end());
        if (chunk == &pooled) {
            size_t start = file.size() + 4;
            AppendU32(file, 0); // size, patched below
            AppendU32(file, static_cast<uint32_t>(pool.size()));
            for (size_t e = 0; e < pool.size(); ++e) AppendU32(file, CheckedOffset(start + entryAt[e]));
            for (const std::string& text : pool) {
                AppendU32(file, static_cast<uint32_t>(text.size()));
                file.insert(file.end(), text.begin(), text.end());
                file.push_back(0);
            }
            PutU32(file, start - 4, static_cast<uint32_t>(poolSize));
            continue;
        }
        AppendU32(file, static_cast<uint32_t>(chunk->Size()));
        size_t start = file.size();
        file.insert(file.end(), chunk->Bytes().begin(), chunk->Bytes().end());
        for (const Chunk::Fixup& f : chunk->Fixups()) {
            size_t target;
            if (f.isString) {
                target = poolPayload + entryAt[poolIndex.at(f.target)] + 4;
            } else {
                auto it = labels.find(f.target);
                if (it == labels.end()) throw std::runtime_error("unknown label in game data: " + f.target);
                target = it->second;
            }
            PutU32(file, start + f.position, CheckedOffset(target));
        }
    }
    if (file.size() != fileLength) throw std::logic_error("game data layout mismatch");
    return file;
}

bool GameDataWriter::WriteFile(const std::string& path, std::string* error) const {
    std::vector<uint8_t> bytes;
    try {
        bytes = Build();
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
    std::string temporary = path + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr) {
        if (error) *error = "cannot create " + temporary;
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

size_t ChunkPayload(const std::vector<uint8_t>& file, const std::string& tag) {
    for (size_t at = 8; at + 8 <= file.size();) {
        if (std::equal(tag.begin(), tag.end(), file.begin() + static_cast<std::ptrdiff_t>(at)) &&
            tag.size() == 4)
            return at + 8;
        at += 8 + WordAt(file, at + 4);
    }
    throw std::runtime_error("no chunk " + tag + " in the file");
}

uint32_t WordAt(const std::vector<uint8_t>& file, size_t at) {
    if (at > file.size() || file.size() - at < 4) throw std::out_of_range("word past the end of the file");
    uint32_t v;
    std::memcpy(&v, file.data() + at, 4);
    return v;
}

void PutWord(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    if (at > file.size() || file.size() - at < 4) throw std::out_of_range("word past the end of the file");
    std::memcpy(file.data() + at, &value, 4);
}

} // namespace wad
