// Arbitrary data files through the game options and language loaders alone:
// every "OPTN" and "LANG" chunk of the container is loaded, and what was
// stored is then read back whole so that a text left pointing outside the
// image shows up.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/game_image.h"
#include "core/memory_manager.h"
#include "world/datafile/language.h"
#include "world/datafile/options.h"

namespace {

uint32_t Word(const std::vector<uint8_t>& image, size_t at) {
    uint32_t v;
    std::memcpy(&v, image.data() + at, 4);
    return v;
}

size_t Touch(const char* text) {
    return std::strlen(text);
}

void ReadBack() {
    size_t total = 0;
    for (int32_t i = 0; i < option_const_numb; ++i)
        total += Touch(option_const_name[i]) + Touch(option_const_val[i]);
    for (int32_t k = 0; k < CLangMan::m_NumStrings; ++k) total += Touch(CLangMan::m_StringIDs[k]);
    for (int32_t i = 0; i < CLangMan::m_NumLanguages; ++i) {
        const SLanguage& language = CLangMan::m_pLanguages[i];
        total += Touch(language.name) + Touch(language.region);
        for (int32_t k = 0; k < CLangMan::m_NumStrings; ++k) total += Touch(language.strings[k]);
    }
    if (CLangMan::m_NumLanguages > 0) {
        CLangMan::SetActiveLanguage(CLangMan::m_pLanguages[CLangMan::m_NumLanguages - 1].name, "");
        char* name = nullptr;
        char* region = nullptr;
        CLangMan::GetActiveLanguage(&name, &region);
        ZQ_Free(name);
        ZQ_Free(region);
    }
    (void)total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> image(data, data + size);
    Option_Init();
    CLangMan::Clear();
    for (size_t at = 8; at <= image.size() && image.size() - at >= 8;) {
        uint32_t length = Word(image, at + 4);
        size_t payload = at + 8;
        if (length > image.size() - payload) break;
        bool options = std::memcmp(image.data() + at, "OPTN", 4) == 0;
        bool languages = std::memcmp(image.data() + at, "LANG", 4) == 0;
        if (options || languages) {
            ImageReader chunk(image.data(), image.size(), payload, payload + length,
                              options ? "OPTN" : "LANG");
            try {
                if (options)
                    Option_LoadChunk(chunk);
                else
                    CLangMan::Language_Load(chunk);
            } catch (const GameDataError&) {
            }
            ReadBack();
        }
        at = payload + length;
    }
    // The language texts point into the image, which goes now.
    CLangMan::Clear();
    Option_Quit();
    return 0;
}
