// Layouts of the sound chunks and group files (see sound_chunks.h).
#include "sound_chunks.h"

namespace wad {

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// Byte by byte: GCC 12 warns falsely about a four-byte range insert here.
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

void OptionalString(Chunk& c, const std::optional<std::string>& text) {
    if (text)
        c.String(*text);
    else
        c.U32(0);
}

} // namespace

Chunk& WriteSounds(GameDataWriter& writer, const std::vector<std::optional<SoundFields>>& sounds,
                   const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("SOND");
    c.U32(static_cast<uint32_t>(sounds.size()));
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (sounds[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < sounds.size(); ++i) {
        if (!sounds[i]) continue;
        const SoundFields& s = *sounds[i];
        c.Label(labelPrefix + "." + std::to_string(i));
        OptionalString(c, s.name);
        c.S32(s.kind).U32(0);
        OptionalString(c, s.fileName);
        c.U32(0).F32(s.gain).U32(0).S32(s.group).S32(s.audioIndex);
    }
    return c;
}

Chunk& WriteAudioGroups(GameDataWriter& writer, const std::vector<std::optional<std::string>>& names,
                        const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("AGRP");
    c.U32(static_cast<uint32_t>(names.size()));
    for (size_t i = 0; i < names.size(); ++i) c.Offset(labelPrefix + "." + std::to_string(i));
    for (size_t i = 0; i < names.size(); ++i) {
        c.Label(labelPrefix + "." + std::to_string(i));
        OptionalString(c, names[i]);
    }
    return c;
}

Chunk& WriteAudioData(GameDataWriter& writer, const std::vector<std::optional<std::vector<uint8_t>>>& entries,
                      const std::string& labelPrefix) {
    Chunk& c = writer.AddChunk("AUDO");
    c.U32(static_cast<uint32_t>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i])
            c.Offset(labelPrefix + "." + std::to_string(i));
        else
            c.U32(0);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i]) continue;
        c.Label(labelPrefix + "." + std::to_string(i));
        c.U32(static_cast<uint32_t>(entries[i]->size())).Raw(entries[i]->data(), entries[i]->size());
        c.Zeros((4 - entries[i]->size() % 4) % 4);
    }
    return c;
}

std::vector<uint8_t> BuildAudioGroupFile(const std::vector<std::optional<std::vector<uint8_t>>>& entries) {
    constexpr size_t kHeader = 16;
    std::vector<uint8_t> payload;
    Put32(payload, static_cast<uint32_t>(entries.size()));
    size_t at = kHeader + 4 + 4 * entries.size();
    std::vector<uint8_t> bodies;
    for (const auto& e : entries) {
        if (!e) {
            Put32(payload, 0);
            continue;
        }
        Put32(payload, static_cast<uint32_t>(at + bodies.size()));
        Put32(bodies, static_cast<uint32_t>(e->size()));
        bodies.insert(bodies.end(), e->begin(), e->end());
        bodies.resize(bodies.size() + (4 - e->size() % 4) % 4, 0);
    }
    payload.insert(payload.end(), bodies.begin(), bodies.end());
    std::vector<uint8_t> file;
    PutTag(file, "FORM");
    Put32(file, static_cast<uint32_t>(8 + payload.size()));
    PutTag(file, "AUDO");
    Put32(file, static_cast<uint32_t>(payload.size()));
    file.insert(file.end(), payload.begin(), payload.end());
    return file;
}

std::vector<uint8_t> WavImage(int channels, int bitsPerSample, int rate,
                              const std::vector<uint8_t>& samples) {
    std::vector<uint8_t> out;
    PutTag(out, "RIFF");
    Put32(out, static_cast<uint32_t>(36 + samples.size()));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(channels));
    Put32(out, static_cast<uint32_t>(rate));
    Put32(out, static_cast<uint32_t>(rate * channels * bitsPerSample / 8));
    Put16(out, static_cast<uint16_t>(channels * bitsPerSample / 8));
    Put16(out, static_cast<uint16_t>(bitsPerSample));
    PutTag(out, "data");
    Put32(out, static_cast<uint32_t>(samples.size()));
    out.insert(out.end(), samples.begin(), samples.end());
    return out;
}

std::vector<uint8_t> WavImage16(int rate, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> bytes;
    for (int16_t s : samples) Put16(bytes, static_cast<uint16_t>(s));
    return WavImage(1, 16, rate, bytes);
}

} // namespace wad
