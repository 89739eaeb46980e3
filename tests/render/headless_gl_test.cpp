// The headless OpenGL context that renderer tests stand on: clear, read back.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "headless_gl.h"

TEST(HeadlessGL, ClearsAndReadsBackAPixel) {
    HeadlessGL gl(32, 16);
    ASSERT_TRUE(gl.Ok()) << gl.Error();

    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    ASSERT_NE(version, nullptr);
    RecordProperty("gl_version", version);
    std::printf("GL_VERSION: %s\nGL_RENDERER: %s\n", version, renderer ? renderer : "?");

    glViewport(0, 0, 32, 16);
    glClearColor(1.0f, 0.5f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();

    unsigned char pixel[4] = {};
    glReadPixels(31, 15, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(pixel[0], 255);
    EXPECT_NEAR(pixel[1], 128, 1);
    EXPECT_EQ(pixel[2], 0);
    EXPECT_EQ(pixel[3], 255);
}
