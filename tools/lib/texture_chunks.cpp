// Texture-page chunk layouts. Every chunk is padded to a multiple of four
// bytes, so the chunks after it keep the alignment of the records they hold.
#include "texture_chunks.h"

namespace wad {

namespace {

void PadToWord(Chunk& c) {
    while (c.Size() % 4 != 0) c.U8(0);
}

} // namespace

std::string PageEntryLabel(const std::string& prefix, size_t index) {
    return prefix + "." + std::to_string(index);
}

void WriteTexturePages(GameDataWriter& writer, const TexturePagesFields& fields, const std::string& prefix) {
    Chunk& tpag = writer.AddChunk("TPAG");
    tpag.U32(static_cast<uint32_t>(fields.entries.size()));
    for (size_t i = 0; i < fields.entries.size(); ++i) {
        if (fields.entries[i])
            tpag.Offset(PageEntryLabel(prefix, i));
        else
            tpag.U32(0);
    }
    for (size_t i = 0; i < fields.entries.size(); ++i) {
        if (!fields.entries[i]) continue;
        const PageEntryFields& e = *fields.entries[i];
        tpag.Label(PageEntryLabel(prefix, i));
        for (int16_t v : {e.x, e.y, e.width, e.height, e.xOffset, e.yOffset, e.cropWidth, e.cropHeight,
                          e.untrimmedWidth, e.untrimmedHeight, e.page})
            tpag.U16(static_cast<uint16_t>(v));
    }
    PadToWord(tpag);

    Chunk& txtr = writer.AddChunk("TXTR");
    const std::string pagePrefix = prefix + ".page.";
    txtr.U32(static_cast<uint32_t>(fields.pages.size()));
    for (size_t i = 0; i < fields.pages.size(); ++i) {
        if (fields.pages[i])
            txtr.Offset(pagePrefix + std::to_string(i));
        else
            txtr.U32(0);
    }
    for (size_t i = 0; i < fields.pages.size(); ++i) {
        if (!fields.pages[i]) continue;
        const TexturePageFields& p = *fields.pages[i];
        txtr.Label(pagePrefix + std::to_string(i)).U32(p.flags);
        if (fields.newerLayout) txtr.U32(p.mips);
        if (p.data.empty())
            txtr.U32(0);
        else
            txtr.Offset(pagePrefix + std::to_string(i) + ".data");
    }
    for (size_t i = 0; i < fields.pages.size(); ++i) {
        if (!fields.pages[i] || fields.pages[i]->data.empty()) continue;
        txtr.Label(pagePrefix + std::to_string(i) + ".data");
        txtr.Raw(fields.pages[i]->data.data(), fields.pages[i]->data.size());
        PadToWord(txtr);
    }
}

Chunk& WriteEmbeddedImages(GameDataWriter& writer, const std::vector<EmbeddedImageFields>& images,
                           uint32_t version) {
    Chunk& c = writer.AddChunk("EMBI");
    c.U32(version).U32(static_cast<uint32_t>(images.size()));
    for (const EmbeddedImageFields& image : images) {
        c.String(image.name);
        if (image.entryLabel)
            c.Offset(*image.entryLabel);
        else
            c.U32(0);
    }
    return c;
}

} // namespace wad
