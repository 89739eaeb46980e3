// A writer-made texture page for drawing tests: 4 × 4 pixels whose
// bottom-right 2 × 2 block (red, green / blue, white) is its one entry, a
// 4 × 4 image trimmed by one pixel each side. It is the smallest page that
// shows both trimming and pixel placement.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/memory_manager.h"
#include "render/image_decode.h"
#include "texture_chunks.h"

inline wad::TexturePagesFields TrimmedQuadPages() {
    std::vector<uint32_t> page(16, 0); // bytes red, green, blue, alpha
    page[2 * 4 + 2] = 0xFF0000FFu;
    page[2 * 4 + 3] = 0xFF00FF00u;
    page[3 * 4 + 2] = 0xFFFF0000u;
    page[3 * 4 + 3] = 0xFFFFFFFFu;
    uint8_t* png = nullptr;
    size_t length = 0;
    wad::TexturePagesFields f;
    if (!PNG_EncodeRGBA(page.data(), 4, 4, &png, &length)) {
        ADD_FAILURE() << "the page did not encode";
        return f;
    }
    f.pages = {wad::TexturePageFields{0, 0, std::vector<uint8_t>(png, png + length)}};
    ZQ_Free(png);
    wad::PageEntryFields e;
    e.x = e.y = 2;
    e.width = e.height = e.cropWidth = e.cropHeight = 2;
    e.xOffset = e.yOffset = 1;
    e.untrimmedWidth = e.untrimmedHeight = 4;
    f.entries = {e};
    return f;
}
