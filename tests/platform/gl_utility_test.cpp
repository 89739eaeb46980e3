// The splash geometry, the upload formats, and the render target on the
// headless software context: complete, and saved as a PNG the right way up.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <string>

#include "core/load_save.h"
#include "core/memory_manager.h"
#include "headless_gl.h"
#include "platform/gl_utility.h"
#include "render/image_decode.h"

using namespace ZQOpenGLUtility;

TEST(SplashGeometry, LetterBoxKeepsTheImageAspect) {
    const struct {
        int iw, ih, vw, vh;
        SplashRect expected;
    } cases[] = {
        {1024, 512, 800, 600, {0, 100, 800, 500}}, // bars above and below
        {512, 1024, 800, 600, {250, 0, 550, 600}}, // bars left and right
        {400, 300, 800, 600, {0, 0, 800, 600}},    // same aspect: the whole view
    };
    for (const auto& c : cases) {
        const SplashRect r = ProportionalRect(c.iw, c.ih, c.vw, c.vh);
        EXPECT_EQ(r.x0, c.expected.x0) << c.iw << "x" << c.ih;
        EXPECT_EQ(r.y0, c.expected.y0) << c.iw << "x" << c.ih;
        EXPECT_EQ(r.x1, c.expected.x1) << c.iw << "x" << c.ih;
        EXPECT_EQ(r.y1, c.expected.y1) << c.iw << "x" << c.ih;
    }
    bool vertical = false;
    EXPECT_NEAR(ProportionalScale(1024, 512, 800, 600, &vertical), 0.6667f, 1e-4f);
    EXPECT_TRUE(vertical);
    EXPECT_NEAR(ProportionalScale(512, 1024, 800, 600, &vertical), 0.375f, 1e-4f);
    EXPECT_FALSE(vertical);
}

TEST(SplashGeometry, SamplesChooseTheUploadFormat) {
    const struct {
        int samples;
        uint32_t format;
    } cases[] = {{1, GL_LUMINANCE}, {2, GL_LUMINANCE_ALPHA}, {3, GL_RGB}, {4, GL_RGBA}, {5, GL_RGB}};
    for (const auto& c : cases) EXPECT_EQ(PixelFormatForSamples(c.samples), c.format) << c.samples;
}

TEST(GLUtility, TexturesFromBadBytesAreEmptyAndTheRenderTargetSavesAPng) {
    HeadlessGL gl(32, 16);
    ASSERT_TRUE(gl.Ok()) << gl.Error();

    ZQTextureRecord record;
    const uint8_t junk[] = {1, 2, 3, 4, 5};
    EXPECT_TRUE(loadTextureData(junk, sizeof junk, &record));
    EXPECT_EQ(record.width, 0);
    EXPECT_NE(record.tid, 0u) << "a fresh, empty texture";
    freeTexture(&record);
    loadTextureFile("no-such-splash.png", &record);
    EXPECT_EQ(record.width, 0);
    freeTexture(&record);

    // The window's framebuffer: bottom half green, top half blue.
    GLRenderTarget target(32, 16);
    EXPECT_TRUE(target.isOk()) << "RGBA8 with DEPTH24_STENCIL8 is complete on the software renderer";
    EXPECT_FLOAT_EQ(target.aspectWbyH(), 2.0f);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 32, 8);
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glScissor(0, 8, 32, 8);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    const std::string path = testing::TempDir() + "target.png";
    ASSERT_TRUE(target.saveToPNGNamed(path.c_str()));

    int length = 0;
    char* bytes = LoadSave::_ReadFile(path.c_str(), &length);
    ASSERT_NE(bytes, nullptr);
    PNGImage image;
    ASSERT_TRUE(image.Decode(reinterpret_cast<const uint8_t*>(bytes), static_cast<size_t>(length), false));
    ZQ_Free(bytes);
    ASSERT_EQ(image.Width(), 32);
    ASSERT_EQ(image.Height(), 16);
    const uint8_t* top = image.Pixels();
    const uint8_t* bottom = image.Pixels() + 15 * 32 * 4;
    EXPECT_EQ(top[2], 255) << "the PNG's first row is the top: blue";
    EXPECT_EQ(bottom[1], 255) << "its last row the bottom: green";
}

TEST(GLUtility, PvrImagesThatAreShortOrUnmarkedAreIgnored) {
    HeadlessGL gl(8, 8);
    ASSERT_TRUE(gl.Ok()) << gl.Error();
    uint32_t header[13] = {52, 8, 8, 0, 0, 0, 4, 0, 0, 0, 0, 0x21525650, 0};
    GLuint tex = 0;
    glGenTextures(1, &tex);
    glBindTexture(GL_TEXTURE_2D, tex);
    GLUploadPVRTTexture(0, 0, header, sizeof header); // pixel data missing
    GLint width = -1;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 0);
    header[11] = 0;
    GLUploadPVRTTexture(0, 0, header, sizeof header);
    glDeleteTextures(1, &tex);
}
