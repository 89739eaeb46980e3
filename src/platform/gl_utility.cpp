// Texture records, the splash drawing, the off-screen render target and the
// PVRTC upload.
#include "platform/gl_utility.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/file_paths.h"
#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/real_to_int.h"
#include "platform/resources.h"
#include "render/image_decode.h"
#include "render/shell_services.h"
#include "render/texture_decompress.h"

namespace ZQOpenGLUtility {

uint32_t PixelFormatForSamples(int samples) {
    switch (samples) {
        case 1: return GL_LUMINANCE;
        case 2: return GL_LUMINANCE_ALPHA;
        case 4: return GL_RGBA;
        default: return GL_RGB;
    }
}

bool loadTexturePixels(const uint8_t* pixels, int width, int height, int samples, ZQTextureRecord* record) {
    if (pixels == nullptr || width <= 0 || height <= 0) width = height = 0;
    record->width = width;
    record->height = height;
    GLuint tid = 0;
    glGenTextures(1, &tid);
    record->tid = tid;
    glBindTexture(GL_TEXTURE_2D, tid);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1); // rows are tightly packed
    glTexImage2D(GL_TEXTURE_2D, 0, 4, width, height, 0, PixelFormatForSamples(samples), GL_UNSIGNED_BYTE,
                 width > 0 ? pixels : nullptr);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return true;
}

bool loadTextureData(const uint8_t* data, size_t length, ZQTextureRecord* record) {
    PNGImage image;
    const bool ok = data != nullptr && length > 0 && image.Decode(data, length, false);
    // The decoder gives 8-bit RGBA whatever the file held.
    return loadTexturePixels(ok ? image.Pixels() : nullptr, ok ? image.Width() : 0, ok ? image.Height() : 0,
                             4, record);
}

bool loadTextureFile(const char* path, ZQTextureRecord* record) {
    std::string file = path != nullptr ? path : "";
    if (!RegularFileExists(file.c_str())) file = Platform_ResourcePath(file.c_str());
    int length = 0;
    char* bytes = RegularFileExists(file.c_str()) ? LoadSave::_ReadFile(file.c_str(), &length) : nullptr;
    const bool ok =
        loadTextureData(reinterpret_cast<const uint8_t*>(bytes), bytes != nullptr ? length : 0, record);
    ZQ_Free(bytes);
    return ok;
}

void freeTexture(ZQTextureRecord* record) {
    glBindTexture(GL_TEXTURE_2D, 0);
    if (record->tid != 0) {
        GLuint tid = record->tid;
        glDeleteTextures(1, &tid);
    }
    *record = ZQTextureRecord{};
}

float Aspect(float width, float height) {
    return width * (1.0f / height);
}

SplashRect ProportionalRect(int imageWidth, int imageHeight, int viewWidth, int viewHeight) {
    const float w = static_cast<float>(viewWidth);
    const float h = static_cast<float>(viewHeight);
    const float viewAspect = Aspect(w, h);
    const float imageAspect = Aspect(static_cast<float>(imageWidth), static_cast<float>(imageHeight));
    if (imageAspect > viewAspect) {
        const int drawn = RealToInt32(viewAspect * h / imageAspect);
        const int m = RealToInt32((viewHeight - drawn) * 0.5);
        return {0, m, viewWidth, viewHeight - m};
    }
    if (viewAspect > imageAspect) {
        const int drawn = RealToInt32(imageAspect * w / viewAspect);
        const int m = RealToInt32((viewWidth - drawn) * 0.5);
        return {m, 0, viewWidth - m, viewHeight};
    }
    return {0, 0, viewWidth, viewHeight};
}

float ProportionalScale(int imageWidth, int imageHeight, int viewWidth, int viewHeight, bool* vertical) {
    const float viewAspect = Aspect(static_cast<float>(viewWidth), static_cast<float>(viewHeight));
    const float imageAspect = Aspect(static_cast<float>(imageWidth), static_cast<float>(imageHeight));
    *vertical = imageAspect > viewAspect;
    if (imageAspect > viewAspect) return viewAspect / imageAspect;
    if (viewAspect > imageAspect) return imageAspect / viewAspect;
    return 1.0f;
}

namespace {

// One textured quad in a 2D projection of the view, y downwards; the
// model-view matrix is current afterwards.
void DrawQuadFixed(uint32_t tid, int viewWidth, int viewHeight, const SplashRect& r) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, tid);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, viewWidth, viewHeight, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(static_cast<float>(r.x0), static_cast<float>(r.y0));
    glTexCoord2f(1, 0);
    glVertex2f(static_cast<float>(r.x1), static_cast<float>(r.y0));
    glTexCoord2f(1, 1);
    glVertex2f(static_cast<float>(r.x1), static_cast<float>(r.y1));
    glTexCoord2f(0, 1);
    glVertex2f(static_cast<float>(r.x0), static_cast<float>(r.y1));
    glEnd();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

// The splash program: made on first use and kept; a failed link is retried
// at the next call.
struct SplashProgram {
    GLuint vertexShader = 0, fragmentShader = 0, programObject = 0;
    GLint linked = 0;
    GLint position_attrib = -1, texcoord_attrib = -1, sampler_uniform = -1;
} g_splash;

const char* const kVertexSource = "#version 120\n"
                                  "attribute vec2 i_vPosition;\n"
                                  "attribute vec2 i_vTexcoord;\n"
                                  "varying vec2 o_vTexcoord;\n"
                                  "void main() {\n"
                                  "    gl_Position = vec4(i_vPosition, 0.0, 1.0);\n"
                                  "    o_vTexcoord = i_vTexcoord;\n"
                                  "}\n";
const char* const kFragmentSource = "#version 120\n"
                                    "uniform sampler2D s_TexSampler;\n"
                                    "varying vec2 o_vTexcoord;\n"
                                    "void main() {\n"
                                    "    gl_FragColor = texture2D(s_TexSampler, o_vTexcoord);\n"
                                    "}\n";

GLuint CompileShader(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    if (shader == 0) return 0;
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    glDeleteShader(shader);
    return 0;
}

bool EnsureSplashProgram() {
    SplashProgram& p = g_splash;
    if (p.vertexShader != 0 && p.fragmentShader != 0 && p.programObject != 0 && p.linked) return true;
    if (p.vertexShader == 0) p.vertexShader = CompileShader(GL_VERTEX_SHADER, kVertexSource);
    if (p.fragmentShader == 0) p.fragmentShader = CompileShader(GL_FRAGMENT_SHADER, kFragmentSource);
    if (p.vertexShader == 0 || p.fragmentShader == 0) return false;
    p.programObject = glCreateProgram();
    if (p.programObject == 0) return false;
    glAttachShader(p.programObject, p.vertexShader);
    glAttachShader(p.programObject, p.fragmentShader);
    glLinkProgram(p.programObject);
    glGetProgramiv(p.programObject, GL_LINK_STATUS, &p.linked);
    if (!p.linked) {
        glDeleteProgram(p.programObject);
        p.programObject = 0;
        return false;
    }
    p.position_attrib = glGetAttribLocation(p.programObject, "i_vPosition");
    p.texcoord_attrib = glGetAttribLocation(p.programObject, "i_vTexcoord");
    p.sampler_uniform = glGetUniformLocation(p.programObject, "s_TexSampler");
    return true;
}

void DrawProportionalShader(const ZQTextureRecord& record, int viewWidth, int viewHeight) {
    if (!EnsureSplashProgram()) return;
    bool vertical = false;
    const float s = ProportionalScale(record.width, record.height, viewWidth, viewHeight, &vertical);
    const float sx = vertical ? 1.0f : s;
    const float sy = vertical ? s : 1.0f;
    const float strip[16] = {-sx, sy, 0, 0, sx, sy, 1, 0, -sx, -sy, 0, 1, sx, -sy, 1, 1};
    glUseProgram(g_splash.programObject);
    glDisable(GL_DEPTH_TEST);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, record.tid);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glVertexAttribPointer(g_splash.position_attrib, 2, GL_FLOAT, GL_FALSE, 16, strip);
    glVertexAttribPointer(g_splash.texcoord_attrib, 2, GL_FLOAT, GL_FALSE, 16, strip + 2);
    glEnableVertexAttribArray(g_splash.position_attrib);
    glEnableVertexAttribArray(g_splash.texcoord_attrib);
    glUniform1i(g_splash.sampler_uniform, 0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(g_splash.position_attrib);
    glDisableVertexAttribArray(g_splash.texcoord_attrib);
    glUseProgram(0);
}

} // namespace

void renderFullScreen(const ZQTextureRecord& record, int viewWidth, int viewHeight) {
    if (record.width <= 0 || record.height <= 0) return;
    DrawQuadFixed(record.tid, viewWidth, viewHeight, {0, 0, viewWidth, viewHeight});
}

void renderFullScreenProportional(const ZQTextureRecord& record, int viewWidth, int viewHeight) {
    if (record.width <= 0 || record.height <= 0 || viewWidth <= 0 || viewHeight <= 0) return;
    if (g_UsingGL2 == 1) {
        DrawProportionalShader(record, viewWidth, viewHeight);
    } else if (g_UsingGL2 == 0) {
        DrawQuadFixed(record.tid, viewWidth, viewHeight,
                      ProportionalRect(record.width, record.height, viewWidth, viewHeight));
    }
}

} // namespace ZQOpenGLUtility

// ---------------------------------------------------------------------------
// GLRenderTarget

GLRenderTarget::GLRenderTarget(float width, float height) : m_width(width), m_height(height) {
    create();
}

GLRenderTarget::~GLRenderTarget() {
    GLuint fbo = m_renderBuffer, tex = m_textureName, rb = m_depthTextureName;
    if (fbo != 0) glDeleteFramebuffers(1, &fbo);
    if (tex != 0) glDeleteTextures(1, &tex);
    if (rb != 0) glDeleteRenderbuffers(1, &rb);
    m_ok = false;
}

bool GLRenderTarget::create() {
    const GLsizei w = RealToInt32(m_width), h = RealToInt32(m_height);
    GLuint tex = 0, rb = 0, fbo = 0;
    glGenTextures(1, &tex);
    m_textureName = tex;
    glBindTexture(GL_TEXTURE_2D, tex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);

    glGenRenderbuffers(1, &rb);
    m_depthTextureName = rb;
    glBindRenderbuffer(GL_RENDERBUFFER, rb);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, w, h);

    glGenFramebuffers(1, &fbo);
    m_renderBuffer = fbo;
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, tex, 0);
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    m_ok = status == GL_FRAMEBUFFER_COMPLETE;
    if (!m_ok) std::printf("Frame buffer error prior to depth generation 0x%04x (%d)\n", status, status);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, rb);
    status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    m_ok = status == GL_FRAMEBUFFER_COMPLETE;
    if (!m_ok) std::printf("Ooops frame buffer Kaput 0x%04x (%d)\n", status, status);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return m_ok;
}

void GLRenderTarget::unbindRenderTarget() {
    if (m_ok) bindFBO(0, -1, -1);
}

void GLRenderTarget::bindTexture() {
    if (m_ok) glBindTexture(GL_TEXTURE_2D, m_textureName);
}

void GLRenderTarget::unbindTexture() {
    if (m_ok) glBindTexture(GL_TEXTURE_2D, 0);
}

bool GLRenderTarget::saveToPNGNamed(const char* path) {
    const int w = RealToInt32(m_width), h = RealToInt32(m_height);
    if (path == nullptr || w <= 0 || h <= 0) return false;
    const size_t row = static_cast<size_t>(w) * 4;
    std::vector<uint8_t> readBack(row * h), flipped(row * h);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, readBack.data());
    // GL's rows run bottom-up; a PNG's top-down.
    for (int y = 0; y < h; ++y)
        std::memcpy(flipped.data() + row * y, readBack.data() + row * (h - 1 - y), row);
    uint8_t* png = nullptr;
    size_t pngLength = 0;
    bool ok = PNG_EncodeRGBA(flipped.data(), w, h, &png, &pngLength) && pngLength <= INT32_MAX &&
              LoadSave::_WriteFile(path, png, static_cast<int>(pngLength));
    ZQ_Free(png);
    unbindRenderTarget();
    return ok;
}

// ---------------------------------------------------------------------------
// PVRTC upload

void GLUploadPVRTTexture(int, int, const void* file, size_t length) {
    constexpr uint32_t kMagic = 0x21525650; // "PVR!"
    const auto* bytes = static_cast<const uint8_t*>(file);
    if (bytes == nullptr || length < 13 * 4) return;
    auto word = [bytes](int i) {
        uint32_t v;
        std::memcpy(&v, bytes + i * 4, 4);
        return v; // little-endian host
    };
    if (word(11) != kMagic) return;
    const uint32_t headerSize = word(0), height = word(1), width = word(2), bpp = word(6);
    if (width == 0 || height == 0 || width > 4096 || height > 4096 || headerSize > length) return;
    const bool twoBit = bpp == 2;
    const size_t dataBytes =
        PVRTC_DataSize(twoBit ? 1 : 0, static_cast<int>(width), static_cast<int>(height));
    if (dataBytes == 0 || dataBytes > length - headerSize) return;
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    PVRTDecompressPVRTC(bytes + headerSize, twoBit ? 1 : 0, static_cast<int>(width), static_cast<int>(height),
                        rgba.data());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                 GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}
