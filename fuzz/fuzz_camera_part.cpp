// Reading the camera manager's part of a saved game from arbitrary bytes:
// never crashes, leaks or reads out of bounds; a refused part leaves the
// cameras as they were; an accepted one holds ids in ascending order, every
// one found by lookup, with the next id above them all, and writes back to
// bytes that read back to the same part.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/buffer.h"
#include "room/camera_manager.h"

namespace {

std::vector<unsigned char> Save() {
    Buffer_Standard buffer(0, eBuffer_Format_Grow, 1);
    g_CM.Serialize(&buffer);
    return std::vector<unsigned char>(buffer.Data(), buffer.Data() + buffer.Tell());
}

bool Load(std::vector<unsigned char>& bytes) {
    Buffer_Standard buffer(bytes.data(), static_cast<int>(bytes.size()), eBuffer_Format_Fixed, 1, false);
    return g_CM.DeSerialize(&buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<unsigned char> input(data, data + size);
    g_CM.Clean();
    g_CM.CreateCamera();
    g_CM.CreateCamera();
    const std::vector<unsigned char> before = Save();
    if (!Load(input)) {
        if (Save() != before) std::abort();
        return 0;
    }
    int previous = 0;
    for (int i = 0; i < g_CM.Count(); ++i) {
        const int id = g_CM.At(i)->GetID();
        if ((i > 0 && id < previous) || g_CM.GetCamera(id) == nullptr) std::abort();
        if (id >= g_CM.NextID() && g_CM.NextID() != INT32_MAX) std::abort();
        previous = id;
    }
    std::vector<unsigned char> first = Save();
    if (!Load(first) || Save() != first) std::abort();
    return 0;
}
