// Small images made in the tests themselves: PNG forms libpng writes directly
// (palette, grey, 16-bit, interlaced), JPEGs from libjpeg and GIFs from giflib.
#pragma once

#include <cstdint>
#include <vector>

// Bytes of a PNG of the given colour type and bit depth from raw rows
// (`rowBytes` a row, already in the file's layout). `trns` adds a
// transparency chunk: palette alphas, or one grey/RGB value.
struct PngSpec {
    int width = 1;
    int height = 1;
    int colourType = 6; // PNG_COLOR_TYPE_RGB_ALPHA
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint8_t> palette; // r, g, b triples
    std::vector<uint8_t> trns;    // palette alphas
    std::vector<uint8_t> raw;     // the rows, packed
};
std::vector<uint8_t> MakePng(const PngSpec& spec);

// A JPEG of `components` 1 (grey) or 3 (RGB) from packed samples, quality 95.
std::vector<uint8_t> MakeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples);

// A GIF: screen size, one image at (left, top) of its size with its indices,
// a global colour map (r, g, b triples; empty for none), an optional local one,
// and a graphics control extension with `gceFlags` and `transparentIndex`
// (none when gceFlags < 0).
struct GifSpec {
    int screenWidth = 1;
    int screenHeight = 1;
    int left = 0;
    int top = 0;
    int width = 1;
    int height = 1;
    bool interlaced = false;
    std::vector<uint8_t> globalMap;
    std::vector<uint8_t> localMap;
    std::vector<uint8_t> indices;
    int gceFlags = -1;
    int transparentIndex = 0;
};
std::vector<uint8_t> MakeGif(const GifSpec& spec);
