// The shell's own OpenGL services: images loaded into texture records, the
// splash drawn stretched or letter-boxed to keep its aspect, an off-screen
// render target (colour texture plus depth-stencil renderbuffer) that can be
// saved as a PNG, and the upload of PVRTC texture files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A loaded image: its size and texture name (0 × 0 when nothing could be read).
struct ZQTextureRecord {
    int width = 0;
    int height = 0;
    uint32_t tid = 0;
};

// A rectangle in view pixels, y growing downwards.
struct SplashRect {
    int x0, y0, x1, y1;
};

namespace ZQOpenGLUtility {

// The upload format for a number of 8-bit samples per pixel: 1 luminance,
// 2 luminance-alpha, 3 RGB, 4 RGBA; any other count RGB.
uint32_t PixelFormatForSamples(int samples);
// Uploads tightly packed 8-bit rows (top row first) into a new texture of the
// record, linear filtering. Always makes a texture, empty when pixels is null.
bool loadTexturePixels(const uint8_t* pixels, int width, int height, int samples, ZQTextureRecord* record);
// Decodes PNG bytes into the record; an image that cannot be read gives a
// 0 × 0 record with a fresh, empty texture.
bool loadTextureData(const uint8_t* data, size_t length, ZQTextureRecord* record);
// The file at `path` when it exists, else the file of that name in the
// resources folder beside the executable.
bool loadTextureFile(const char* path, ZQTextureRecord* record);
void freeTexture(ZQTextureRecord* record);

// The aspects of an image and a view, width times the single-precision
// reciprocal of height.
float Aspect(float width, float height);
// The letter-boxed quad of the fixed-function splash: the image's aspect kept,
// centred, bars above and below or left and right.
SplashRect ProportionalRect(int imageWidth, int imageHeight, int viewWidth, int viewHeight);
// The shader splash's scale: the quad spans ±scale vertically (bars above and
// below, *vertical true) or horizontally, 1 when the aspects are equal.
float ProportionalScale(int imageWidth, int imageHeight, int viewWidth, int viewHeight, bool* vertical);

// Draw the texture over the whole view, or letter-boxed (shader or fixed
// function, as the renderer draws); nothing for an empty record.
void renderFullScreen(const ZQTextureRecord& record, int viewWidth, int viewHeight);
void renderFullScreenProportional(const ZQTextureRecord& record, int viewWidth, int viewHeight);

} // namespace ZQOpenGLUtility

// An off-screen target: RGBA8 colour texture and DEPTH24_STENCIL8 renderbuffer
// on one framebuffer object. Binding and unbinding do nothing unless the
// framebuffer is complete.
class GLRenderTarget {
public:
    GLRenderTarget(float width, float height);
    ~GLRenderTarget();
    GLRenderTarget(const GLRenderTarget&) = delete;
    GLRenderTarget& operator=(const GLRenderTarget&) = delete;

    bool isOk() const { return m_ok; }
    uint32_t textureName() const { return m_textureName; }
    uint32_t depthTextureName() const { return m_depthTextureName; }
    uint32_t renderBuffer() const { return m_renderBuffer; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    float aspectWbyH() const { return m_width / m_height; }

    // Binds nothing: the view draws to the window; the target only keeps the size.
    void bindRenderTarget() {}
    void unbindRenderTarget();
    void bindTexture();
    void unbindTexture();
    // Reads back width × height pixels of the bound framebuffer and writes
    // them as a PNG, top row first, replacing the file whole; false on failure.
    bool saveToPNGNamed(const char* path);

private:
    bool create();

    float m_width;
    float m_height;
    uint32_t m_textureName = 0;
    uint32_t m_depthTextureName = 0;
    uint32_t m_renderBuffer = 0;
    bool m_ok = false;
};

// Uploads a PVR (version 2) file image of `length` bytes to the bound 2D
// texture as RGBA; an image without the magic, or shorter than its header and
// pixel data say, is ignored. The two integers are not used.
void GLUploadPVRTTexture(int, int, const void* file, size_t length);
