// Writer of the game options and language chunks.
#include "options_chunk.h"

namespace wad {

namespace {

void OptionalText(Chunk& chunk, const std::optional<std::string>& text) {
    if (text)
        chunk.String(*text);
    else
        chunk.U32(0);
}

uint32_t FlagBit(bool on, int bit) {
    return on ? 1u << bit : 0u;
}

// The flag word of the newer layout: bit 19 and bits 28 to 31 stay clear.
uint32_t FlagWord(const OptionFields& f) {
    return FlagBit(f.fullscreen, 0) | FlagBit(f.interpolate, 1) | FlagBit(f.newAudio, 2) |
           FlagBit(f.noBorder, 3) | FlagBit(f.showCursor, 4) | FlagBit(f.sizeable, 5) |
           FlagBit(f.stayOnTop, 6) | FlagBit(f.changeResolution, 7) | FlagBit(f.noButtons, 8) |
           FlagBit(f.screenKey, 9) | FlagBit(f.helpKey, 10) | FlagBit(f.quitKey, 11) |
           FlagBit(f.saveKey, 12) | FlagBit(f.screenshotKey, 13) | FlagBit(f.closeEsc, 14) |
           FlagBit(f.freeze, 15) | FlagBit(f.showProgress, 16) | FlagBit(f.loadTransparent, 17) |
           FlagBit(f.scaleProgress, 18) | FlagBit(f.writeErrors, 20) | FlagBit(f.abortErrors, 21) |
           FlagBit(f.variableErrors, 22) | FlagBit(f.creationEventOrder, 23) | FlagBit(f.useFrontTouch, 24) |
           FlagBit(f.useRearTouch, 25) | FlagBit(f.useFastCollision, 26) |
           FlagBit(f.fastCollisionCompatibility, 27);
}

void NewLayout(Chunk& c, const OptionFields& f) {
    c.S32(f.layoutMarker).S32(f.version).U32(FlagWord(f)).U32(0);
    c.S32(f.scale).U32(f.windowColour).S32(f.colourDepth).S32(f.resolution).S32(f.frequency);
    c.S32(f.syncVertex).S32(f.priority).U32(0).U32(0);
    c.U32(f.loadImageOffset).S32(f.loadAlpha);
}

void OldLayout(Chunk& c, const OptionFields& f) {
    auto flag = [&c](bool on) { c.U32(on ? 1 : 0); };
    flag(f.fullscreen);
    flag(f.interpolate);
    flag(f.newAudio);
    flag(f.noBorder);
    flag(f.showCursor);
    c.S32(f.scale);
    flag(f.sizeable);
    flag(f.stayOnTop);
    c.U32(f.windowColour);
    flag(f.changeResolution);
    c.S32(f.colourDepth).S32(f.resolution).S32(f.frequency);
    flag(f.noButtons);
    c.S32(f.syncVertex);
    flag(f.screenKey);
    flag(f.helpKey);
    flag(f.quitKey);
    flag(f.saveKey);
    flag(f.screenshotKey);
    flag(f.closeEsc);
    c.S32(f.priority);
    flag(f.freeze);
    flag(f.showProgress);
    c.U32(0).U32(0);
    c.U32(f.loadImageOffset);
    flag(f.loadTransparent);
    c.S32(f.loadAlpha);
    flag(f.scaleProgress);
    c.U32(0);
    flag(f.writeErrors);
    flag(f.abortErrors);
    flag(f.variableErrors);
    flag(f.creationEventOrder);
}

} // namespace

Chunk& WriteOptions(GameDataWriter& writer, const OptionFields& fields) {
    Chunk& c = writer.AddChunk("OPTN");
    if (fields.newLayout)
        NewLayout(c, fields);
    else
        OldLayout(c, fields);
    c.S32(fields.constantCount.value_or(static_cast<int32_t>(fields.constants.size())));
    for (const OptionConstantFields& constant : fields.constants) {
        OptionalText(c, constant.name);
        OptionalText(c, constant.value);
    }
    return c;
}

Chunk& WriteLanguages(GameDataWriter& writer, const LanguageFields& fields) {
    Chunk& c = writer.AddChunk("LANG");
    c.U32(1);
    c.S32(fields.languageCount.value_or(static_cast<int32_t>(fields.languages.size())));
    c.S32(fields.stringCount.value_or(static_cast<int32_t>(fields.ids.size())));
    for (const auto& id : fields.ids) OptionalText(c, id);
    for (const LanguageEntryFields& language : fields.languages) {
        OptionalText(c, language.name);
        OptionalText(c, language.region);
        for (const auto& text : language.strings) OptionalText(c, text);
    }
    return c;
}

} // namespace wad
