// Writers of the test images (see image_fixtures.h).
#include "image_fixtures.h"

#include <cstdio>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <stdexcept>

namespace {

void PngAppend(png_structp png, png_bytep data, size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void PngNoFlush(png_structp) {}

int GifAppend(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

ColorMapObject* MakeMap(const std::vector<uint8_t>& rgb) {
    if (rgb.empty()) return nullptr;
    int count = static_cast<int>(rgb.size() / 3);
    int size = 2;
    while (size < count) size *= 2;
    ColorMapObject* map = GifMakeMapObject(size, nullptr);
    for (int i = 0; i < count; ++i) map->Colors[i] = {rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    return map;
}

} // namespace

// Tests make only well-formed images, so libpng's default error handling
// (which prints and aborts) is acceptable here.
std::vector<uint8_t> MakePng(const PngSpec& spec) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) throw std::runtime_error("png writer failed");
    png_set_write_fn(png, &out, PngAppend, PngNoFlush);
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3)
        palette.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!spec.trns.empty())
        png_set_tRNS(png, info, spec.trns.data(), static_cast<int>(spec.trns.size()), nullptr);
    png_write_info(png, info);
    size_t rowBytes = spec.raw.size() / spec.height;
    std::vector<png_bytep> rows;
    for (int y = 0; y < spec.height; ++y)
        rows.push_back(const_cast<png_bytep>(spec.raw.data() + y * rowBytes));
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> MakeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + cinfo.next_scanline * width * components);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> out(buffer, buffer + size);
    free(buffer);
    return out;
}

std::vector<uint8_t> MakeGif(const GifSpec& spec) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, GifAppend, &error);
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = MakeMap(spec.globalMap);
    ColorMapObject* local = MakeMap(spec.localMap);
    int bits = global != nullptr ? global->BitsPerPixel : 1;
    EGifPutScreenDesc(gif, spec.screenWidth, spec.screenHeight, bits, 0, global);
    if (spec.gceFlags >= 0) {
        GifByteType gce[4] = {static_cast<GifByteType>(spec.gceFlags), 0, 0,
                              static_cast<GifByteType>(spec.transparentIndex)};
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, gce);
    }
    EGifPutImageDesc(gif, spec.left, spec.top, spec.width, spec.height, spec.interlaced, local);
    // giflib writes the lines in the order given; an interlaced file stores
    // them pass by pass, so hand them over in that order.
    std::vector<int> order;
    if (spec.interlaced) {
        const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int p = 0; p < 4; ++p)
            for (int y = start[p]; y < spec.height; y += step[p]) order.push_back(y);
    } else {
        for (int y = 0; y < spec.height; ++y) order.push_back(y);
    }
    for (int y : order)
        EGifPutLine(gif, const_cast<GifPixelType*>(spec.indices.data() + y * spec.width), spec.width);
    EGifCloseFile(gif, &error);
    GifFreeMapObject(global);
    GifFreeMapObject(local);
    return out;
}
