#include "debug_info_file.h"

namespace wad {

namespace {

// A table chunk of record offsets; `present(i)` says whether entry i has one.
template <typename List>
void WriteTable(GameDataWriter& writer, const char* tag, const List& list) {
    Chunk& chunk = writer.AddChunk(tag);
    chunk.U32(static_cast<uint32_t>(list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].has_value())
            chunk.Offset(std::string(tag) + "_" + std::to_string(i));
        else
            chunk.U32(0);
    }
}

} // namespace

void WriteDebugInfo(GameDataWriter& writer, const DebugInfoFields& fields) {
    WriteTable(writer, "DBGI", fields.words);
    WriteTable(writer, "INST", fields.instanceNames);
    WriteTable(writer, "SCPT", fields.scriptTexts);
    Chunk& data = writer.AddChunk("DATA");
    for (size_t i = 0; i < fields.words.size(); ++i) {
        if (!fields.words[i].has_value()) continue;
        data.Label("DBGI_" + std::to_string(i)).U32(static_cast<uint32_t>(fields.words[i]->size()));
        for (uint32_t word : *fields.words[i]) data.U32(word);
    }
    for (size_t i = 0; i < fields.instanceNames.size(); ++i)
        if (fields.instanceNames[i].has_value())
            data.Label("INST_" + std::to_string(i)).String(*fields.instanceNames[i]);
    for (size_t i = 0; i < fields.scriptTexts.size(); ++i)
        if (fields.scriptTexts[i].has_value())
            data.Label("SCPT_" + std::to_string(i)).String(*fields.scriptTexts[i]);
}

} // namespace wad
