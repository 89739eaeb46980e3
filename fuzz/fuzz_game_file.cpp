// Arbitrary bytes through both walks over the game data file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "world/game_file.h"
#include "world/game_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> image(data, data + size);
    Header_Reset();
    if (GetResolution(image.data(), image.size())) LoadGameData(image.data(), image.size());
    return 0;
}
