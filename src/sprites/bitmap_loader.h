// Platform bitmaps from BMP files, and the bitmap loader that hands decoded
// 32-bit pixels to the sprite builder one frame at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class IBitmap;

// Reads a BMP file (its "BM" signature first) into `target`, which is
// cleared first. Rows are stored bottom-up and unpadded (width × bytes per
// pixel, the form the renderer's own writer produces); eight-bit images are
// expanded through their colour table into 32-bit pixels 0xFFRRGGBB. The
// pixel offset, size, bits per pixel and every colour index are checked
// against the file: false (the bitmap left empty) for anything that is not a
// whole BMP of this form.
bool Bitmap_LoadBMP(IBitmap* target, const uint8_t* data, size_t length);

class IBitmapLoader {
public:
    virtual ~IBitmapLoader() = default;
    virtual bool Animated() const = 0;
    virtual int GetFrameCount() const = 0;
    // A new bitmap of the frame (format 7), or null beyond the frame count.
    virtual std::unique_ptr<IBitmap> Create(int frame) const = 0;

    // One frame of width × height 32-bit pixels (copied).
    static std::unique_ptr<IBitmapLoader> Create(const uint32_t* pixels, int width, int height);
    // Files and undecoded data are decoded elsewhere on this platform: these
    // loaders hold no frames.
    static std::unique_ptr<IBitmapLoader> Create(const char* path);
    static std::unique_ptr<IBitmapLoader> Create(const uint8_t* data, size_t length);
};

class BitmapLoader final : public IBitmapLoader {
public:
    BitmapLoader() = default;
    BitmapLoader(const uint32_t* pixels, int width, int height);

    bool Animated() const override { return false; }
    int GetFrameCount() const override { return m_frames; }
    std::unique_ptr<IBitmap> Create(int frame) const override;

private:
    std::vector<uint32_t> m_pixels;
    int m_width = 0;
    int m_height = 0;
    int m_frames = 0;
};
