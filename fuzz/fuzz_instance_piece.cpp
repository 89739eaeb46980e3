// Reading an instance's saved piece from arbitrary bytes: never crashes,
// leaks or reads out of bounds, and whatever it accepts writes back to bytes
// that read back to the same piece.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "core/buffer.h"
#include "core/console.h"
#include "core/error.h"
#include "core/object_base.h"
#include "sprites/sprite_table.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/objects/object_type.h"

namespace {

// One object type, one sprite, two instance variables.
struct Scene {
    Scene() {
        g_fHeadless = true;
        g_fSuppressErrors = true;
        dbg_csol = &g_dummyConsole;
        auto owned = std::make_unique<CSprite>();
        CSprite& sprite = *owned;
        sprite.m_numb = 1;
        sprite.m_precise = false;
        sprite.m_bbox = SBoundingBox{0, 0, 7, 7};
        Sprite_Init();
        Sprite_AddRecord(std::move(owned));
        Object_Add();
        g_nInstanceVariables = 2;
    }
};

std::vector<unsigned char> Save(CInstance& instance) {
    Buffer_Standard buffer(0, eBuffer_Format_Grow, 1);
    instance.Serialise(&buffer);
    return std::vector<unsigned char>(buffer.Data(), buffer.Data() + buffer.Tell());
}

bool Load(CInstance& instance, std::vector<unsigned char>& bytes) {
    Buffer_Standard buffer(bytes.data(), static_cast<int>(bytes.size()), eBuffer_Format_Fixed, 1, false);
    return instance.DeSerialise(&buffer, true);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scene scene;
    std::vector<unsigned char> input(data, data + size);
    CInstance instance(0, 0, 1, -1, false);
    if (Load(instance, input)) {
        std::vector<unsigned char> first = Save(instance);
        CInstance again(0, 0, 2, -1, false);
        if (!Load(again, first)) std::abort();
        if (Save(again) != first) std::abort();
    }
    return 0;
}
