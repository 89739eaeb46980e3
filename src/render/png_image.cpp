// PNG decoding and encoding through libpng, and the texture-scale reduction.
//
// libpng reports errors by long jump. The functions that call setjmp are kept
// C-style: every object alive across the jump is plain data in a struct owned
// by the caller, so nothing with a destructor is skipped and whatever was
// allocated before the error is freed by the C++ wrapper afterwards.
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "core/console.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "render/image_decode.h"

int32_t g_TextureScale = 1;

namespace {

// ---------------------------------------------------------------------------
// Reading

// The data being read: the callback copies from it and refuses to go past its end.
struct PngSource {
    const uint8_t* data;
    size_t length;
    size_t position;
};

void pngReadFn(png_structp png, png_bytep out, size_t count) {
    PngSource* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source == nullptr || count > source->length - source->position)
        png_error(png, "read past the end of the data");
    std::memcpy(out, source->data + source->position, count);
    source->position += count;
}

// Silences libpng's warnings; errors are reported once by the decoder.
void pngWarningFn(png_structp, png_const_charp) {}
void pngErrorFn(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

// Everything one decode holds; plain data so that it survives the long jump.
struct PngDecode {
    PngSource source;
    bool headerOnly;
    uint8_t* buffer; // the caller's buffer, or null to allocate
    size_t capacity; // bytes in the caller's buffer
    uint8_t* pixels; // the decoded pixels (owned when allocated here)
    bool ownsPixels;
    png_bytep* rows; // malloc'd row pointers
    int width;
    int height;
};

// Returns 1 on success. C-style: see the file comment.
int DecodePNG_C(PngDecode* d) {
    if (d->source.length < 8 || png_sig_cmp(d->source.data, 0, 8) != 0) {
        dbg_csol->Output("Not a PNG\n");
        return 0;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngErrorFn, pngWarningFn);
    if (png == nullptr) return 0;
    png_infop info = png_create_info_struct(png);
    png_infop endInfo = png_create_info_struct(png);
    if (info == nullptr || endInfo == nullptr) {
        png_destroy_read_struct(&png, &info, &endInfo);
        return 0;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, &endInfo);
        return 0;
    }
    d->source.position = 8;
    png_set_read_fn(png, &d->source, pngReadFn);
    png_set_sig_bytes(png, 8);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_read_info(png, info);

    png_uint_32 width = png_get_image_width(png, info);
    png_uint_32 height = png_get_image_height(png, info);
    if (int64_t{width} * int64_t{height} > kMaxImagePixels) png_error(png, "image too large");
    int colourType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info);
    bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    // Every caller reads 8-bit channels.
    if (bitDepth == 16) png_set_strip_16(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_RGB ||
        (colourType == PNG_COLOR_TYPE_PALETTE && !hasTrns))
        png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    // Whatever the file declared, the rows must now be 4 bytes a pixel.
    size_t rowBytes = png_get_rowbytes(png, info);
    if (rowBytes != size_t{width} * 4 || png_get_bit_depth(png, info) != 8 ||
        png_get_channels(png, info) != 4)
        png_error(png, "unexpected pixel layout");
    d->width = static_cast<int>(width);
    d->height = static_cast<int>(height);
    if (d->headerOnly) {
        png_destroy_read_struct(&png, &info, &endInfo);
        return 1;
    }

    size_t bytes = rowBytes * height;
    if (d->buffer != nullptr) {
        if (d->capacity < bytes) png_error(png, "buffer too small");
        d->pixels = d->buffer;
    } else {
        d->pixels = static_cast<uint8_t*>(ZQ_AllocNoClear(bytes));
        d->ownsPixels = true;
    }
    d->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (d->pixels == nullptr || d->rows == nullptr) png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < height; ++y) d->rows[y] = d->pixels + y * rowBytes;
    png_read_image(png, d->rows);
    png_destroy_read_struct(&png, &info, &endInfo);
    return 1;
}

// The size after reduction by the texture scale: one halving per step while
// the remaining scale before the step is above 1, both sides at least 2.
int ReductionSteps(int width, int height) {
    int steps = 0;
    for (int scale = g_TextureScale; scale >= 2 && width >= 2 && height >= 2; scale >>= 1) {
        width /= 2;
        height /= 2;
        ++steps;
        if (scale <= 3) break;
    }
    return steps;
}

void Reduce(uint8_t* pixels, int* width, int* height) {
    int steps = ReductionSteps(*width, *height);
    for (int i = 0; i < steps; ++i) {
        HalfTextureRGBA(*width / 2, *height / 2, pixels, *width, *height, pixels);
        *width /= 2;
        *height /= 2;
    }
}

// Runs one decode and tidies up after a failure; the pixels go to the caller.
bool RunDecode(PngDecode& d) {
    d.width = -1;
    d.height = -1;
    int ok = DecodePNG_C(&d);
    std::free(d.rows);
    d.rows = nullptr;
    if (ok == 0) {
        if (d.ownsPixels) ZQ_Free(d.pixels);
        d.pixels = nullptr;
        d.width = -1;
        d.height = -1;
        dbg_csol->Output("ReadPNG :: a PNG error occured\n");
        return false;
    }
    return true;
}

PngDecode NewDecode(const void* data, size_t length) {
    PngDecode d{};
    d.source.data = static_cast<const uint8_t*>(data);
    d.source.length = data != nullptr ? length : 0;
    return d;
}

PNGImage g_PNGFile;

void SetSize(int* width, int* height, int w, int h) {
    if (width != nullptr) *width = w;
    if (height != nullptr) *height = h;
}

} // namespace

// ---------------------------------------------------------------------------
PNGImage::~PNGImage() {
    Free();
}

void PNGImage::Free() {
    ZQ_Free(m_pixels);
    m_pixels = nullptr;
    m_width = -1;
    m_height = -1;
}

uint8_t* PNGImage::Release() {
    uint8_t* pixels = m_pixels;
    m_pixels = nullptr;
    m_width = -1;
    m_height = -1;
    return pixels;
}

bool PNGImage::Decode(const uint8_t* data, size_t length, bool reduce) {
    Free();
    PngDecode d = NewDecode(data, length);
    if (!RunDecode(d)) return false;
    if (reduce) Reduce(d.pixels, &d.width, &d.height);
    m_pixels = d.pixels;
    m_width = d.width;
    m_height = d.height;
    return true;
}

uint8_t* ReadPNGFile(const void* data, int length, int* width, int* height, bool reduce) {
    bool ok = length > 0 &&
              g_PNGFile.Decode(static_cast<const uint8_t*>(data), static_cast<size_t>(length), reduce);
    SetSize(width, height, g_PNGFile.Width(), g_PNGFile.Height());
    return ok ? g_PNGFile.Pixels() : nullptr;
}

uint8_t* ReadPNGFilePreallocated(const void* data, int length, int* width, int* height, void* buffer,
                                 size_t capacity, bool reduce) {
    PngDecode d = NewDecode(data, length > 0 ? static_cast<size_t>(length) : 0);
    d.buffer = static_cast<uint8_t*>(buffer);
    d.capacity = buffer != nullptr ? capacity : 0;
    if (buffer == nullptr || !RunDecode(d)) {
        SetSize(width, height, -1, -1);
        return nullptr;
    }
    if (reduce) Reduce(d.pixels, &d.width, &d.height);
    SetSize(width, height, d.width, d.height);
    return d.pixels;
}

bool ReadPNGFileHeader(const void* data, int length, int* width, int* height, bool reduce) {
    g_PNGFile.Free();
    PngDecode d = NewDecode(data, length > 0 ? static_cast<size_t>(length) : 0);
    d.headerOnly = true;
    if (!RunDecode(d)) {
        SetSize(width, height, -1, -1);
        return false;
    }
    // The same halvings as a reducing decode, so the two always agree.
    if (reduce)
        for (int steps = ReductionSteps(d.width, d.height); steps > 0; --steps) {
            d.width /= 2;
            d.height /= 2;
        }
    SetSize(width, height, d.width, d.height);
    return true;
}

void FreePNGFile() {
    g_PNGFile.Free();
}

void HalfTextureRGBA(int dstWidth, int dstHeight, void* dst, int srcWidth, int srcHeight, const void* src) {
    if (dstWidth <= 0 || dstHeight <= 0 || srcWidth <= 0 || srcHeight <= 0 || dst == nullptr ||
        src == nullptr)
        return;
    const uint8_t* in = static_cast<const uint8_t*>(src);
    uint8_t* out = static_cast<uint8_t*>(dst);
    int64_t stepX = (int64_t{srcWidth} << 16) / dstWidth;
    int64_t stepY = (int64_t{srcHeight} << 16) / dstHeight;
    for (int y = 0; y < dstHeight; ++y) {
        int sy = static_cast<int>((y * stepY) >> 16);
        int sy1 = sy + 1 < srcHeight ? sy + 1 : srcHeight - 1;
        for (int x = 0; x < dstWidth; ++x) {
            int sx = static_cast<int>((x * stepX) >> 16);
            int sx1 = sx + 1 < srcWidth ? sx + 1 : srcWidth - 1;
            const uint8_t* p00 = in + (size_t{static_cast<size_t>(sy)} * srcWidth + sx) * 4;
            const uint8_t* p10 = in + (size_t{static_cast<size_t>(sy)} * srcWidth + sx1) * 4;
            const uint8_t* p01 = in + (size_t{static_cast<size_t>(sy1)} * srcWidth + sx) * 4;
            const uint8_t* p11 = in + (size_t{static_cast<size_t>(sy1)} * srcWidth + sx1) * 4;
            uint8_t* q = out + (size_t{static_cast<size_t>(y)} * dstWidth + x) * 4;
            for (int c = 0; c < 4; ++c) q[c] = static_cast<uint8_t>((p00[c] + p10[c] + p01[c] + p11[c]) >> 2);
        }
    }
}

// ---------------------------------------------------------------------------
// Writing

namespace {

// The encoded bytes, grown with realloc by the write callback.
struct PngSink {
    uint8_t* data;
    size_t size;
    size_t capacity;
};

void pngWriteFn(png_structp png, png_bytep data, size_t length) {
    PngSink* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (sink == nullptr) return;
    if (length > sink->capacity - sink->size) {
        size_t capacity = sink->capacity != 0 ? sink->capacity : 4096;
        while (length > capacity - sink->size) capacity *= 2;
        void* grown = std::realloc(sink->data, capacity);
        if (grown == nullptr) png_error(png, "out of memory");
        sink->data = static_cast<uint8_t*>(grown);
        sink->capacity = capacity;
    }
    std::memcpy(sink->data + sink->size, data, length);
    sink->size += length;
}

void pngFlushFn(png_structp) {}

// Returns 1 on success. C-style: see the file comment. The stage message is
// chosen before each stage so that a failure names the stage it happened in.
int EncodePNG_C(PngSink* sink, png_bytep* rows, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngErrorFn, pngWarningFn);
    if (png == nullptr) {
        dbg_csol->Output("[write_png_file] png_create_write_struct failed\n");
        return 0;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        dbg_csol->Output("[write_png_file] png_create_info_struct failed\n");
        png_destroy_write_struct(&png, nullptr);
        return 0;
    }
    const char* volatile stage = "[write_png_file] Error during init_io\n";
    if (setjmp(png_jmpbuf(png))) {
        dbg_csol->Output("%s", stage);
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_set_write_fn(png, sink, pngWriteFn, pngFlushFn);
    stage = "[write_png_file] Error during writing header\n";
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    stage = "[write_png_file] Error during writing bytes";
    png_write_image(png, rows);
    stage = "[write_png_file] Error during end of write";
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return 1;
}

} // namespace

bool PNG_EncodeRGBA(const void* pixels, int width, int height, uint8_t** out, size_t* outLength) {
    if (out == nullptr || outLength == nullptr) return false;
    *out = nullptr;
    *outLength = 0;
    if (pixels == nullptr || width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide)
        return false;
    png_bytep* rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * static_cast<size_t>(height)));
    if (rows == nullptr) return false;
    const uint8_t* bytes = static_cast<const uint8_t*>(pixels);
    for (int y = 0; y < height; ++y)
        rows[y] = const_cast<png_bytep>(bytes + static_cast<size_t>(y) * static_cast<size_t>(width) * 4);
    PngSink sink{};
    int ok = EncodePNG_C(&sink, rows, width, height);
    std::free(rows);
    if (ok != 0) {
        *out = static_cast<uint8_t*>(ZQ_AllocNoClear(sink.size));
        if (*out != nullptr) {
            std::memcpy(*out, sink.data, sink.size);
            *outLength = sink.size;
        }
    }
    std::free(sink.data);
    return *out != nullptr;
}

bool WritePNG32(const char* name, const uint32_t* pixels, int width, int height) {
    if (name == nullptr || name[0] == '\0') return false;
    uint8_t* encoded = nullptr;
    size_t length = 0;
    if (!PNG_EncodeRGBA(pixels, width, height, &encoded, &length)) return false;
    bool ok = length <= 0x7FFFFFFF && LoadSave::WriteFile(name, encoded, static_cast<int>(length));
    ZQ_Free(encoded);
    return ok;
}
