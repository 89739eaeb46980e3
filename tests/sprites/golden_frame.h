// Frames read back from the headless context, compared with committed PNGs
// in tests/sprites/golden/ within a per-channel tolerance (llvmpipe may round
// a blend or a texel differently by a step or two).
//
// To regenerate the goldens on purpose, run tools/update_golden.sh (the test
// program with ZQ_UPDATE_GOLDEN=1): each comparison then writes its frame
// over the committed PNG and passes. Look at the pictures before committing.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/memory_manager.h"
#include "render/gl_api.h"
#include "render/image_decode.h"

// The current framebuffer's width × height pixels as 0xAABBGGRR, rows from
// the top.
inline std::vector<uint32_t> ReadFrame(int width, int height) {
    std::vector<uint32_t> bottomUp(static_cast<size_t>(width) * height);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint32_t> frame(bottomUp.size());
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.begin() + static_cast<ptrdiff_t>(height - 1 - y) * width, width,
                    frame.begin() + static_cast<ptrdiff_t>(y) * width);
    return frame;
}

inline ::testing::AssertionResult MatchesGolden(const std::vector<uint32_t>& frame, int width, int height,
                                                const std::string& name, int tolerance = 2) {
    const std::filesystem::path path = std::filesystem::path(__FILE__).parent_path() / "golden" / name;
    const char* regenerate = std::getenv("ZQ_UPDATE_GOLDEN");
    if (regenerate != nullptr && std::string(regenerate) == "1") {
        uint8_t* png = nullptr;
        size_t length = 0;
        if (!PNG_EncodeRGBA(frame.data(), width, height, &png, &length))
            return ::testing::AssertionFailure() << "could not encode " << name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(png), static_cast<long>(length));
        ZQ_Free(png);
        return ::testing::AssertionSuccess() << "regenerated " << path;
    }
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.empty()) return ::testing::AssertionFailure() << "no golden " << path << " (make it with tools/update_golden.sh)";
    int w = 0, h = 0;
    const uint8_t* pixels = ReadPNGFile(bytes.data(), static_cast<int>(bytes.size()), &w, &h, false);
    if (pixels == nullptr || w != width || h != height) {
        FreePNGFile();
        return ::testing::AssertionFailure() << path << " is not a " << width << " × " << height << " PNG";
    }
    int worst = 0, worstAt = -1;
    for (size_t i = 0; i < frame.size(); ++i)
        for (int c = 0; c < 4; ++c) {
            const int d = std::abs(static_cast<int>(frame[i] >> (8 * c) & 0xFF) - pixels[i * 4 + c]);
            if (d > worst) worst = d, worstAt = static_cast<int>(i);
        }
    FreePNGFile();
    if (worst <= tolerance) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << name << " differs by " << worst << " at (" << worstAt % width << ", " << worstAt / width << ")";
}
