// The game options chunk ("OPTN", in its newer flag-word layout or its older
// layout of one word per setting) and the language chunk ("LANG"). Texts left
// empty (std::nullopt) are written as offset 0; the counts can be overridden so
// that tests can write chunks that lie about their contents.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game_data_writer.h"

namespace wad {

struct OptionConstantFields {
    std::optional<std::string> name;
    std::optional<std::string> value;
};

struct OptionFields {
    bool newLayout = true;
    int32_t layoutMarker = -1; // word 0 of the newer layout: any negative value
    int32_t version = 2;       // newer layout only

    bool fullscreen = false;
    bool interpolate = false;
    bool newAudio = false;
    bool noBorder = false;
    bool showCursor = true;
    bool sizeable = false;
    bool stayOnTop = false;
    bool changeResolution = false;
    bool noButtons = false;
    bool screenKey = true;
    bool helpKey = true;
    bool quitKey = true;
    bool saveKey = true;
    bool screenshotKey = true;
    bool closeEsc = true;
    bool freeze = false;
    bool showProgress = true;
    bool loadTransparent = false;
    bool scaleProgress = true;
    bool writeErrors = false;
    bool abortErrors = false;
    bool variableErrors = false;
    bool creationEventOrder = false;
    // Newer layout only.
    bool useFrontTouch = false;
    bool useRearTouch = false;
    bool useFastCollision = false;
    bool fastCollisionCompatibility = false;

    int32_t scale = 100;
    uint32_t windowColour = 0xFFFFFF;
    int32_t colourDepth = 0;
    int32_t resolution = 0;
    int32_t frequency = 0;
    int32_t syncVertex = 0;
    int32_t priority = 0;
    uint32_t loadImageOffset = 0; // a file offset
    int32_t loadAlpha = 0;

    std::vector<OptionConstantFields> constants;
    std::optional<int32_t> constantCount; // written in place of constants.size()
};

// Appends the "OPTN" chunk.
Chunk& WriteOptions(GameDataWriter& writer, const OptionFields& fields);

struct LanguageEntryFields {
    std::optional<std::string> name;
    std::optional<std::string> region;
    std::vector<std::optional<std::string>> strings; // one per identifier
};

struct LanguageFields {
    std::vector<std::optional<std::string>> ids; // the string identifiers
    std::vector<LanguageEntryFields> languages;
    std::optional<int32_t> languageCount; // written in place of languages.size()
    std::optional<int32_t> stringCount;   // written in place of ids.size()
};

// Appends the "LANG" chunk: each language record holds its name, region and
// its own strings as given.
Chunk& WriteLanguages(GameDataWriter& writer, const LanguageFields& fields);

} // namespace wad
