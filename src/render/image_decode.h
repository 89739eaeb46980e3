// Image decoding from memory: PNG, JPEG and GIF data become 32-bit pixels
// (bytes red, green, blue, alpha; rows from the top, no padding). Every
// decoder refuses hostile data (truncated, oversized, bad palettes) with null
// and never reads outside the data it was given.
#pragma once

#include <cstddef>
#include <cstdint>

// The global texture scale (a power of two, 1 by default); PNG decoding for
// textures reduces images by it.
extern int32_t g_TextureScale;

// The largest image a decoder accepts: each side, and the pixel count (4096 ×
// 4096, the largest texture page: 64 MB of pixels). Larger declared sizes are
// refused before any pixel memory is taken.
inline constexpr int kMaxImageSide = 16384;
inline constexpr int64_t kMaxImagePixels = int64_t{1} << 24;

// One decoded PNG. The pixels belong to it (a memory-manager block) and go
// with it; a failed decode leaves it empty with width and height -1.
class PNGImage {
public:
    PNGImage() = default;
    ~PNGImage();
    PNGImage(const PNGImage&) = delete;
    PNGImage& operator=(const PNGImage&) = delete;

    // Decodes the data, replacing what was held; with `reduce` halves the
    // image by the texture scale. False on any error.
    bool Decode(const uint8_t* data, size_t length, bool reduce);
    void Free();

    uint8_t* Pixels() const { return m_pixels; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Hands the pixels to the caller (free with ZQ_Free); the image is empty after.
    uint8_t* Release();

private:
    uint8_t* m_pixels = nullptr;
    int m_width = -1;
    int m_height = -1;
};

// Decodes into the process-wide held decode (released by FreePNGFile or the
// next ReadPNGFile) and returns its pixels; null with width and height -1 on
// failure. Each call decodes its own data: a held decode is replaced.
uint8_t* ReadPNGFile(const void* data, int length, int* width, int* height, bool reduce);
// Decodes into the caller's buffer of `capacity` bytes, which must hold
// width × height × 4 bytes of the decoded (unreduced) image; null otherwise.
uint8_t* ReadPNGFilePreallocated(const void* data, int length, int* width, int* height, void* buffer,
                                 size_t capacity, bool reduce);
// Reads only the header: the size, with `reduce` the size a reducing decode
// gives. Releases the held decode, as a decode would replace it.
bool ReadPNGFileHeader(const void* data, int length, int* width, int* height, bool reduce);
void FreePNGFile();

struct jpeg_decompress_struct;
// Makes a libjpeg decompressor read from `length` bytes at `data` (which must
// outlive it). Asking for data past the end is a fatal error of the decode,
// never a wait for more; skips stop at the end.
void jpeg_memory_src(jpeg_decompress_struct* cinfo, const uint8_t* data, size_t length);

// Decode a JPEG or the first image of a GIF; the caller frees the pixels with
// ZQ_Free. `reduce` is not used. Null with width and height -1 on failure.
uint8_t* ReadJPEGFile(const void* data, int length, int* width, int* height, bool reduce);
uint8_t* ReadGIFFile(const void* data, int length, int* width, int* height, bool reduce);

// 2 × 2 box reduction of 32-bit pixels from a src-sized image into a dst-sized
// one, sampling in 16.16 fixed point; dst may be src (in place).
void HalfTextureRGBA(int dstWidth, int dstHeight, void* dst, int srcWidth, int srcHeight, const void* src);

// Encodes width × height RGBA pixels as an 8-bit RGBA PNG into a new
// memory-manager block (*out, *outLength); false on any error (nothing kept).
bool PNG_EncodeRGBA(const void* pixels, int width, int height, uint8_t** out, size_t* outLength);
// Writes the pixels as a PNG file in the save area, replacing it whole (never
// a partial file); false on failure.
bool WritePNG32(const char* name, const uint32_t* pixels, int width, int height);
