// JPEG decoding from memory through libjpeg.
//
// libjpeg's own error_exit ends the process; here it long-jumps back to the
// decoder, which returns null. The function that calls setjmp is C-style:
// everything alive across the jump is plain data in a struct the C++ wrapper
// owns and frees.
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <jerror.h>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "core/memory_manager.h"
#include "render/image_decode.h"

namespace {

struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
};

void JpegErrorExit(j_common_ptr cinfo) {
    JpegErrorManager* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

// Warnings of corrupt data are not printed; the decode still fails or succeeds on its own.
void JpegOutputMessage(j_common_ptr) {}

void SourceInit(j_decompress_ptr) {}
void SourceTerm(j_decompress_ptr) {}

// All data was handed over at the start; asking for more means the data ended
// early, which is an error rather than a wait that would never end.
boolean SourceFill(j_decompress_ptr cinfo) {
    cinfo->err->msg_code = JERR_INPUT_EOF;
    cinfo->err->error_exit(reinterpret_cast<j_common_ptr>(cinfo));
    return FALSE;
}

void SourceSkip(j_decompress_ptr cinfo, long count) {
    jpeg_source_mgr* src = cinfo->src;
    if (count <= 0) return;
    size_t n = static_cast<size_t>(count);
    if (n > src->bytes_in_buffer) n = src->bytes_in_buffer;
    src->next_input_byte += n;
    src->bytes_in_buffer -= n;
}

struct JpegDecode {
    const uint8_t* data;
    size_t length;
    uint8_t* pixels;   // memory-manager block, the result
    uint8_t* scanline; // malloc'd
    int width;
    int height;
};

// Returns 1 on success. C-style: see the file comment.
int DecodeJPEG_C(JpegDecode* d, jpeg_decompress_struct* cinfo, JpegErrorManager* err) {
    cinfo->err = jpeg_std_error(&err->pub);
    err->pub.error_exit = JpegErrorExit;
    err->pub.output_message = JpegOutputMessage;
    if (setjmp(err->jump)) {
        jpeg_destroy_decompress(cinfo);
        return 0;
    }
    jpeg_create_decompress(cinfo);
    jpeg_memory_src(cinfo, d->data, d->length);

    int header;
    do header = jpeg_read_header(cinfo, FALSE);
    while (header == JPEG_HEADER_TABLES_ONLY);
    if (header != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(cinfo);
        return 0;
    }
    if (cinfo->image_width == 0 || cinfo->image_height == 0 || cinfo->image_width > kMaxImageSide ||
        cinfo->image_height > kMaxImageSide ||
        int64_t{cinfo->image_width} * int64_t{cinfo->image_height} > kMaxImagePixels) {
        jpeg_destroy_decompress(cinfo);
        return 0;
    }
    jpeg_start_decompress(cinfo);
    int width = static_cast<int>(cinfo->output_width);
    int height = static_cast<int>(cinfo->output_height);
    int components = cinfo->output_components;
    d->scanline =
        static_cast<uint8_t*>(std::malloc(static_cast<size_t>(width) * static_cast<size_t>(components)));
    d->pixels = static_cast<uint8_t*>(ZQ_Alloc(static_cast<size_t>(width) * static_cast<size_t>(height) * 4));
    if (d->scanline == nullptr || d->pixels == nullptr) {
        jpeg_destroy_decompress(cinfo);
        return 0;
    }
    while (cinfo->output_scanline < cinfo->output_height) {
        uint32_t y = cinfo->output_scanline;
        JSAMPROW row = d->scanline;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) break;
        uint8_t* out = d->pixels + static_cast<size_t>(y) * static_cast<size_t>(width) * 4;
        const uint8_t* in = d->scanline;
        for (int x = 0; x < width; ++x, out += 4) {
            if (components == 1) {
                out[0] = out[1] = out[2] = in[x];
                out[3] = 0xFF;
            } else if (components == 3) {
                out[0] = in[3 * x];
                out[1] = in[3 * x + 1];
                out[2] = in[3 * x + 2];
                out[3] = 0xFF;
            } else if (components == 4) {
                std::memcpy(out, in + 4 * x, 4);
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
    d->width = width;
    d->height = height;
    return 1;
}

} // namespace

// The source lives in the decompressor's permanent pool, so it goes with it.
void jpeg_memory_src(jpeg_decompress_struct* cinfo, const uint8_t* data, size_t length) {
    if (cinfo->src == nullptr)
        cinfo->src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(jpeg_source_mgr)));
    jpeg_source_mgr* source = cinfo->src;
    source->init_source = SourceInit;
    source->fill_input_buffer = SourceFill;
    source->skip_input_data = SourceSkip;
    source->resync_to_restart = jpeg_resync_to_restart;
    source->term_source = SourceTerm;
    source->next_input_byte = data;
    source->bytes_in_buffer = data != nullptr ? length : 0;
}

uint8_t* ReadJPEGFile(const void* data, int length, int* width, int* height, bool) {
    JpegDecode d{};
    d.data = static_cast<const uint8_t*>(data);
    d.length = data != nullptr && length > 0 ? static_cast<size_t>(length) : 0;
    d.width = -1;
    d.height = -1;
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    std::memset(&cinfo, 0, sizeof cinfo);
    int ok = d.length > 0 ? DecodeJPEG_C(&d, &cinfo, &err) : 0;
    std::free(d.scanline);
    if (ok == 0) {
        ZQ_Free(d.pixels);
        d.pixels = nullptr;
        d.width = -1;
        d.height = -1;
    }
    if (width != nullptr) *width = d.width;
    if (height != nullptr) *height = d.height;
    return d.pixels;
}
