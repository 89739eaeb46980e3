// PVRTC and ETC1 decompression (see texture_decompress.h).
//
// PVRTC: each 64-bit block holds 32 bits of modulation data and 32 bits with
// two low-resolution colours (A and B) and a mode bit. The two colour images
// are upscaled bilinearly between block centres (wrapping at the grid's
// edges), and each texel blends them by its modulation weight (0-8 eighths).
// ETC1: each 64-bit block codes 4 × 4 texels as two half-blocks with a base
// colour each and a table of intensity modifiers chosen per texel.
#include "render/texture_decompress.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxSide = 16384;

uint32_t RoundUpPow2(uint32_t v) {
    uint32_t p = 1;
    while (p < v) p <<= 1;
    return p;
}

uint32_t LoadLE32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// ---------------------------------------------------------------------------
// PVRTC

struct Grid {
    uint32_t blockWidth; // texels a block across: 4 or 8
    uint32_t width;      // blocks across, a power of two, at least 2
    uint32_t height;     // blocks down, likewise
};

bool MakeGrid(int twoBitMode, int width, int height, Grid* grid) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return false;
    grid->blockWidth = twoBitMode != 0 ? 8 : 4;
    grid->width = RoundUpPow2(std::max<uint32_t>(2, static_cast<uint32_t>(width) / grid->blockWidth));
    grid->height = RoundUpPow2(std::max<uint32_t>(2, static_cast<uint32_t>(height) / 4));
    return true;
}

// Morton order: y takes the lower bit of each pair, x the upper, for as many
// bits as the smaller side has; the larger side's remaining bits go on top.
uint32_t Twiddle(const Grid& g, uint32_t x, uint32_t y) {
    uint32_t out = 0;
    uint32_t shift = 0;
    uint32_t smaller = std::min(g.width, g.height);
    for (uint32_t bit = 1; bit < smaller; bit <<= 1, ++shift) {
        if ((y & bit) != 0) out |= 1u << (2 * shift);
        if ((x & bit) != 0) out |= 1u << (2 * shift + 1);
    }
    uint32_t rest = (g.width > g.height ? x : y) >> shift;
    return out | rest << (2 * shift);
}

struct Rgba {
    int r, g, b, a;
};

int Expand5(uint32_t v) {
    return static_cast<int>(v << 3 | v >> 2);
}
int Expand4(uint32_t v) {
    return static_cast<int>(v * 17);
}
int Expand3(uint32_t v) {
    return static_cast<int>(v << 5 | v << 2 | v >> 1);
}

// Colour A: bits 1-15 of the colour word (bit 15 opaque); colour B: bits 16-31.
Rgba ColourA(uint32_t word) {
    if ((word & 0x8000) != 0)
        return {Expand5(word >> 10 & 0x1F), Expand5(word >> 5 & 0x1F), Expand4(word >> 1 & 0xF), 255};
    return {Expand4(word >> 8 & 0xF), Expand4(word >> 4 & 0xF), Expand3(word >> 1 & 0x7),
            Expand3(word >> 12 & 0x7)};
}

Rgba ColourB(uint32_t word) {
    if ((word & 0x80000000u) != 0)
        return {Expand5(word >> 26 & 0x1F), Expand5(word >> 21 & 0x1F), Expand5(word >> 16 & 0x1F), 255};
    return {Expand4(word >> 24 & 0xF), Expand4(word >> 20 & 0xF), Expand4(word >> 16 & 0xF),
            Expand3(word >> 28 & 0x7)};
}

struct Block {
    uint32_t modulation;
    uint32_t colour;
};

Block ReadBlock(const uint8_t* data, const Grid& g, int64_t bx, int64_t by) {
    uint32_t x = static_cast<uint32_t>(((bx % g.width) + g.width) % g.width);
    uint32_t y = static_cast<uint32_t>(((by % g.height) + g.height) % g.height);
    const uint8_t* p = data + static_cast<size_t>(Twiddle(g, x, y)) * 8;
    return {LoadLE32(p), LoadLE32(p + 4)};
}

// The modulation weight (eighths of colour B) of texel (x, y) of a block, and
// whether it is punched through (transparent).
int Weight(const Block& block, bool twoBit, uint32_t x, uint32_t y, bool* punch) {
    *punch = false;
    bool mode = (block.colour & 1) != 0;
    if (!twoBit) {
        uint32_t v = block.modulation >> (2 * (y * 4 + x)) & 3;
        if (!mode) {
            static const int kWeights[4] = {0, 3, 5, 8};
            return kWeights[v];
        }
        *punch = v == 2;
        static const int kPunch[4] = {0, 4, 4, 8};
        return kPunch[v];
    }
    if (!mode) return (block.modulation >> (y * 8 + x) & 1) != 0 ? 8 : 0;
    // Interpolated mode: two bits for each texel of the checkerboard where
    // x + y is even, in row order; the others average their stored
    // neighbours inside the block.
    static const int kWeights[4] = {0, 3, 5, 8};
    auto stored = [&](uint32_t sx, uint32_t sy) {
        uint32_t index = (sy * 8 + sx) / 2;
        return kWeights[block.modulation >> (2 * index) & 3];
    };
    if (((x + y) & 1) == 0) return stored(x, y);
    int sum = 0;
    int count = 0;
    const int offsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (const auto& o : offsets) {
        int nx = static_cast<int>(x) + o[0];
        int ny = static_cast<int>(y) + o[1];
        if (nx < 0 || nx >= 8 || ny < 0 || ny >= 4) continue;
        sum += stored(static_cast<uint32_t>(nx), static_cast<uint32_t>(ny));
        ++count;
    }
    return count > 0 ? (sum + count / 2) / count : 0;
}

} // namespace

size_t PVRTC_DataSize(int twoBitMode, int width, int height) {
    Grid g;
    if (!MakeGrid(twoBitMode, width, height, &g)) return 0;
    return size_t{g.width} * g.height * 8;
}

int PVRTDecompressPVRTC(const void* data, int twoBitMode, int width, int height, unsigned char* out) {
    Grid g;
    if (data == nullptr || out == nullptr || !MakeGrid(twoBitMode, width, height, &g)) return 0;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    bool twoBit = twoBitMode != 0;
    const int64_t bw = g.blockWidth;
    const int64_t half = bw / 2;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            // The four blocks whose centres surround the texel, and its place between them.
            int64_t px = x - half;
            int64_t py = y - 2;
            int64_t bx0 = px >= 0 ? px / bw : -1;
            int64_t by0 = py >= 0 ? py / 4 : -1;
            int64_t fx = px - bx0 * bw;
            int64_t fy = py - by0 * 4;
            Block corners[4] = {ReadBlock(bytes, g, bx0, by0), ReadBlock(bytes, g, bx0 + 1, by0),
                                ReadBlock(bytes, g, bx0, by0 + 1), ReadBlock(bytes, g, bx0 + 1, by0 + 1)};
            const int64_t weights[4] = {(bw - fx) * (4 - fy), fx * (4 - fy), (bw - fx) * fy, fx * fy};
            int64_t a[4] = {};
            int64_t b[4] = {};
            for (int i = 0; i < 4; ++i) {
                Rgba ca = ColourA(corners[i].colour);
                Rgba cb = ColourB(corners[i].colour);
                const int va[4] = {ca.r, ca.g, ca.b, ca.a};
                const int vb[4] = {cb.r, cb.g, cb.b, cb.a};
                for (int c = 0; c < 4; ++c) {
                    a[c] += va[c] * weights[i];
                    b[c] += vb[c] * weights[i];
                }
            }
            const int64_t total = bw * 4;
            Block own = ReadBlock(bytes, g, x / bw, y / 4);
            bool punch = false;
            int w = Weight(own, twoBit, static_cast<uint32_t>(x % bw), static_cast<uint32_t>(y % 4), &punch);
            unsigned char* texel = out + (static_cast<size_t>(y) * width + x) * 4;
            for (int c = 0; c < 4; ++c) {
                int64_t blended = (a[c] * (8 - w) + b[c] * w + total * 4) / (total * 8);
                texel[c] = static_cast<unsigned char>(std::clamp<int64_t>(blended, 0, 255));
            }
            if (punch) texel[3] = 0;
        }
    return static_cast<int>(size_t{g.width} * g.height * 8);
}

// ---------------------------------------------------------------------------
// ETC1

namespace {

// The intensity modifiers of the eight tables, by texel index (0 +small,
// 1 +large, 2 -small, 3 -large).
// clang-format off
const int kModifiers[8][4] = {
    {2, 8, -2, -8},     {5, 17, -5, -17},   {9, 29, -9, -29},     {13, 42, -13, -42},
    {18, 60, -18, -60}, {24, 80, -24, -80}, {33, 106, -33, -106}, {47, 183, -47, -183},
};
// clang-format on

// Decodes one block into a 4 × 4 RGBA tile.
void DecodeEtcBlock(const uint8_t* p, uint8_t tile[16][4]) {
    uint32_t high = uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
    uint32_t low = uint32_t{p[4]} << 24 | uint32_t{p[5]} << 16 | uint32_t{p[6]} << 8 | p[7];
    bool differential = (high & 2) != 0;
    bool flip = (high & 1) != 0;
    int base[2][3];
    for (int c = 0; c < 3; ++c) {
        int shift = 24 - 8 * c; // red at bits 31-24 of the high word, then green, then blue
        if (differential) {
            int c1 = static_cast<int>(high >> (shift + 3) & 0x1F);
            int delta = static_cast<int>(high >> shift & 7);
            if (delta >= 4) delta -= 8;
            int c2 = (c1 + delta) & 0x1F;
            base[0][c] = c1 << 3 | c1 >> 2;
            base[1][c] = c2 << 3 | c2 >> 2;
        } else {
            int c1 = static_cast<int>(high >> (shift + 4) & 0xF);
            int c2 = static_cast<int>(high >> shift & 0xF);
            base[0][c] = c1 * 17;
            base[1][c] = c2 * 17;
        }
    }
    const int tables[2] = {static_cast<int>(high >> 5 & 7), static_cast<int>(high >> 2 & 7)};
    for (int x = 0; x < 4; ++x)
        for (int y = 0; y < 4; ++y) {
            int bit = x * 4 + y;
            int index = static_cast<int>((low >> (bit + 16) & 1) << 1 | (low >> bit & 1));
            int half = flip ? (y >= 2) : (x >= 2);
            int modifier = kModifiers[tables[half]][index];
            uint8_t* texel = tile[y * 4 + x];
            for (int c = 0; c < 3; ++c)
                texel[c] = static_cast<uint8_t>(std::clamp(base[half][c] + modifier, 0, 255));
            texel[3] = 255;
        }
}

} // namespace

size_t ETC_DataSize(unsigned width, unsigned height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return 0;
    return size_t{(width + 3) / 4} * ((height + 3) / 4) * 8;
}

void PVRTDecompressETC(const void* data, const unsigned& width, const unsigned& height, void* out,
                       const int&) {
    if (data == nullptr || out == nullptr || ETC_DataSize(width, height) == 0) return;
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    uint8_t* pixels = static_cast<uint8_t*>(out);
    unsigned blocksAcross = (width + 3) / 4;
    unsigned blocksDown = (height + 3) / 4;
    uint8_t tile[16][4];
    for (unsigned by = 0; by < blocksDown; ++by)
        for (unsigned bx = 0; bx < blocksAcross; ++bx) {
            DecodeEtcBlock(bytes + (static_cast<size_t>(by) * blocksAcross + bx) * 8, tile);
            // Only the texels inside the texture are written (a side below 4
            // takes the block's top-left part).
            for (unsigned y = 0; y < 4 && by * 4 + y < height; ++y)
                for (unsigned x = 0; x < 4 && bx * 4 + x < width; ++x)
                    std::memcpy(pixels + (static_cast<size_t>(by * 4 + y) * width + bx * 4 + x) * 4,
                                tile[y * 4 + x], 4);
        }
}
