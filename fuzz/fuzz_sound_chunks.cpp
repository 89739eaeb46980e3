// Arbitrary bytes as a data file's sound chunks: "SOND", "AGRP" and "AUDO"
// found by walking the chunk headers only (sizes clipped to the input), each
// handed to its loader, then every query on whatever loaded. A loader either
// refuses the file or leaves records whose names and entries lie inside it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/audio_groups.h"
#include "audio/sound_assets.h"
#include "core/console.h"
#include "core/game_image.h"
#include "world/datafile/options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    init_csol = &g_dummyConsole;
    g_UseNewAudio = true;
    std::vector<uint8_t> image(data, data + size);
    size_t at = 8;
    while (at + 8 <= image.size()) {
        uint32_t chunkSize;
        std::memcpy(&chunkSize, image.data() + at + 4, 4);
        const size_t payload = at + 8;
        const size_t limit = payload + std::min<size_t>(chunkSize, image.size() - payload);
        static const char* const kTags[] = {"SOND", "AGRP", "AUDO"};
        for (const char* tag : kTags) {
            if (std::memcmp(image.data() + at, tag, 4) != 0) continue;
            try {
                ImageReader chunk(image.data(), image.size(), payload, limit, tag);
                if (tag == kTags[0]) Audio_Load(chunk);
                if (tag == kTags[1]) AudioGroup_Load(chunk);
                if (tag == kTags[2]) Audio_WAVs(chunk);
            } catch (const GameDataError&) {
            }
        }
        at = limit;
    }
    for (int i = -1; i <= Audio_Number(); ++i) {
        Audio_Find(Audio_Name(i));
        Audio_GetName(i);
        if (const cAudio_Sound* s = Audio_GetSound(i);
            s != nullptr && s->data != nullptr && s->dataLength > 0) {
            // An entry lies inside the image: reading its last byte is safe.
            volatile uint8_t last = s->data[s->dataLength - 1];
            (void)last;
        }
    }
    for (int g = -1; g <= g_AudioGroups.Count(); ++g) g_AudioGroups.GetGroupName(g);
    g_AudioGroups.InitSoundLists();
    Audio_ClearSounds();
    g_AudioGroups.Finalise();
    return 0;
}
