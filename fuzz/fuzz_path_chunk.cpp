// Arbitrary bytes as a data file's path chunk: loading, then every query,
// transformation and table operation on whatever loaded. The input is a
// data file whose "PATH" chunk is found by walking the chunk headers only
// (sizes clipped to the input), so that mutations anywhere else in the file
// still reach the loader; names and records may lie anywhere in the file.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/game_image.h"
#include "world/motion/path.h"
#include "world/motion/path_resources.h"

namespace {

void Exercise(CPath* path) {
    float x, y, speed;
    for (float t : {0.0f, 0.25f, 0.5f, 0.999f, 1.0f}) path->GetPosition(t, x, y, speed);
    path->GetPathTime();
    path->ForEachDrawVertex(3.0f, 4.0f, false, [](float, float) {});
    path->Draw(0.0f, 0.0f, true);
    float cx, cy;
    path->Center(cx, cy);
    path->Rotate(33.0f);
    path->Scale(1.5f, -2.0f);
    path->Mirror();
    path->Reverse();
    path->SetKind(1 - (path->GetKind() & 1));
    path->GetPosition(0.5f, x, y, speed);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> image(data, data + size);
    size_t at = 8;
    while (at + 8 <= image.size() && std::memcmp(image.data() + at, "PATH", 4) != 0) {
        uint32_t chunkSize;
        std::memcpy(&chunkSize, image.data() + at + 4, 4);
        at += 8 + std::min<size_t>(chunkSize, image.size());
    }
    if (at + 8 > image.size()) return 0;
    uint32_t chunkSize;
    std::memcpy(&chunkSize, image.data() + at + 4, 4);
    const size_t payload = at + 8;
    const size_t limit = payload + std::min<size_t>(chunkSize, image.size() - payload);

    Path_Init();
    try {
        ImageReader chunk(image.data(), image.size(), payload, limit, "PATH");
        Path_Load(chunk);
    } catch (const GameDataError&) {
        return 0; // refused: nothing loaded
    }
    // Nothing may refer to the image once loaded.
    std::fill(image.begin(), image.end(), 0xEE);

    const int loaded = Path_Number();
    for (int i = 0; i < loaded; ++i) {
        if (CPath* path = Path_Data(i)) Exercise(path);
        Path_Find(Path_Name(i));
    }
    if (loaded > 0) {
        int copy = Path_Duplicate(0);
        if (loaded > 1) Path_Assign(loaded - 1, 0);
        if (copy >= 0) Path_Data(copy)->Append(Path_Data(copy));
        Path_Delete(0);
        Path_Add();
    }
    Path_Quit();
    return 0;
}
