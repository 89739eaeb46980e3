// Pixel read-back on Mesa: window rows come top first, single pixels, clipped
// uploads, the surface copy leaving everything as it was, a screenshot PNG
// that decodes to what was drawn, refused sizes, and the single-pixel cache
// that never serves a pixel older than the last drawing.
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/load_save.h"
#include "core/memory_manager.h"
#include "render/image_decode.h"
#include "render/platform_bitmap.h"
#include "surface_fixture.h"

namespace {

using ReadBack = SurfaceTest;

int MakeSurface(int w, int h) {
    const int s = GR_Surface_Create(w, h, -1);
    EXPECT_GE(s, 0);
    return s;
}

TEST_F(ReadBack, WindowRowsComeTopFirstAndSinglePixelsAsColourWords) {
    Fill(0, 0, kSize, kSize, kGreen);
    Fill(0, 0, 1, 1, kRed);  // top-left
    Fill(1, 1, 2, 2, kBlue); // one down, one right
    // Script red 0x0000FF at full alpha.
    EXPECT_EQ(GR_D3D_GetPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(GR_D3D_GetPixel(1, 1), kBlue);
    int w = 2, h = 2;
    uint32_t* p = Graphics::GrabScreenRect(0, 0, 0, 0, &w, &h);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], kRed);
    EXPECT_EQ(p[1], kGreen);
    EXPECT_EQ(p[2], kGreen);
    EXPECT_EQ(p[3], kBlue);
    ZQ_Free(p);
    // Reaching past the window: transparent black there.
    w = h = 2;
    p = Graphics::GrabScreenRect(0, 0, kSize - 1, -1, &w, &h);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 0u);
    EXPECT_EQ(p[2], kGreen);
    EXPECT_EQ(p[3], 0u);
    ZQ_Free(p);
    EXPECT_EQ(GR_D3D_GetPixel(-1, 0), 0u);
    // With a surface as the target the grab reads it, stored top-down.
    const int s = GR_Surface_Create(8, 8, -1);
    ASSERT_TRUE(ZQVTL_surface_set_target(s));
    Fill(0, 0, 8, 8, kBlue);
    Fill(0, 0, 1, 1, kRed);
    EXPECT_EQ(GR_D3D_GetPixel(0, 0), kRed);
    EXPECT_EQ(GR_D3D_GetPixel(0, 7), kBlue);
    EXPECT_EQ(GR_D3D_GetPixel(8, 0), 0u) << "outside the surface";
    ASSERT_TRUE(ZQVTL_surface_reset_target());
}

TEST_F(ReadBack, BadSizesAreRefused) {
    const int s = MakeSurface(8, 8);
    Texture* t = GR_Texture_Get_Surface(GR_Surface_Get_Texture(s));
    for (auto [w, h] : {std::pair{0, 1},
                        {1, 0},
                        {-4, 4},
                        {4, -4},
                        {INT_MAX, 1},
                        {kMaxReadBackSide + 1, 1},
                        {kMaxReadBackSide, kMaxReadBackSide}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        int gw = w, gh = h;
        EXPECT_EQ(Graphics::GrabScreenRect(0, 0, 0, 0, &gw, &gh), nullptr);
        EXPECT_EQ(Graphics::Surface_GrabRect(t, 0, 0, w, h), nullptr);
        EXPECT_EQ(Graphics::Texture_GrabRect(t, 0, 0, w, h), nullptr);
    }
    EXPECT_EQ(Graphics::Texture_GrabRect(t, 6, 6, 4, 4), nullptr) << "outside the texture";
    EXPECT_EQ(Graphics::Texture_GrabRect(t, INT_MAX, 0, 4, 4), nullptr);
    EXPECT_EQ(GR_D3D_Screenshot_Part(kSize, 0, 4, 4), nullptr) << "x beyond the width";
    EXPECT_EQ(GR_D3D_Screenshot_Part(0, 0, -4, 4), nullptr);
}

TEST_F(ReadBack, TexturesReadFromTheirCPUPixelsOrTheGPU) {
    uint32_t pixels[6] = {1, 2, 3, 4, 5, 6}; // 3 × 2
    Texture* t = Graphics::CreateTextureFromData(reinterpret_cast<const uint8_t*>(pixels), 3, 2, nullptr,
                                                 eTextureFormat_A8R8G8B8);
    uint32_t* gpu = Graphics::Texture_GrabRect(t, 1, 0, 2, 2);
    ASSERT_NE(gpu, nullptr);
    EXPECT_EQ(gpu[0], 2u);
    EXPECT_EQ(gpu[1], 3u);
    EXPECT_EQ(gpu[3], 6u);
    ZQ_Free(gpu);
    Graphics::FlushTexture(t); // the GPU copy is gone: the CPU pixels answer
    ASSERT_EQ(t->textureID, -1);
    uint32_t* cpu = Graphics::Texture_GrabRect(t, 0, 1, 3, 1);
    ASSERT_NE(cpu, nullptr);
    EXPECT_EQ(cpu[0], 4u);
    EXPECT_EQ(cpu[2], 6u);
    ZQ_Free(cpu);
}

TEST_F(ReadBack, SetRectClipsToTheTexture) {
    const int s = MakeSurface(16, 16);
    Texture* t = GR_Texture_Get_Surface(GR_Surface_Get_Texture(s));
    uint32_t block[16];
    for (uint32_t i = 0; i < 16; ++i) block[i] = 0xFF000000u | (i + 1);
    Graphics::Surface_SetRect(block, t, -2, -2, 4, 4);
    EXPECT_EQ(Stored(s, 0, 0), block[10]);
    EXPECT_EQ(Stored(s, 1, 0), block[11]);
    EXPECT_EQ(Stored(s, 0, 1), block[14]);
    EXPECT_EQ(Stored(s, 1, 1), block[15]);
    EXPECT_EQ(Stored(s, 2, 0), 0u);
    Graphics::Surface_SetRect(block, t, 16, 0, 4, 4); // wholly to the right
    Graphics::Surface_SetRect(block, t, 3, 5, 4, 4);  // wholly inside
    EXPECT_EQ(Stored(s, 3, 5), block[0]);
    EXPECT_EQ(Stored(s, 6, 8), block[15]);
    uint32_t pixel = 0;
    ASSERT_TRUE(GR_Surface_GetPixel(s, 6, 8, &pixel));
    EXPECT_EQ(pixel, block[15]);
}

TEST_F(ReadBack, SurfaceCopyDrawsTheRectangleAndLeavesEverythingAsItWas) {
    const int src = MakeSurface(8, 8);
    const int dest = MakeSurface(16, 16);
    ASSERT_TRUE(ZQVTL_surface_set_target(src));
    Fill(0, 0, 8, 8, kRed);
    Fill(2, 2, 4, 4, kGreen);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    GR_D3D_Set_View_Port(0, 0, 20, 24);
    float before[3][16];
    for (int m = 0; m < 3; ++m) Graphics::GetMatrix(m, before[m]);
    GLint viewportBefore[4];
    glGetIntegerv(GL_VIEWPORT, viewportBefore);

    Texture* d = GR_Texture_Get_Surface(GR_Surface_Get_Texture(dest));
    Texture* s = GR_Texture_Get_Surface(GR_Surface_Get_Texture(src));
    Graphics::SurfaceCopy(d, 10, 5, s, 2, 2, 3, 3);
    EXPECT_EQ(Stored(dest, 10, 5), kGreen);
    EXPECT_EQ(Stored(dest, 11, 6), kGreen);
    EXPECT_EQ(Stored(dest, 12, 7), kRed);
    EXPECT_EQ(Stored(dest, 9, 5), 0u);
    EXPECT_EQ(Stored(dest, 13, 5), 0u);
    EXPECT_EQ(Stored(dest, 10, 8), 0u);

    for (int m = 0; m < 3; ++m) {
        float after[16];
        Graphics::GetMatrix(m, after);
        EXPECT_EQ(std::memcmp(before[m], after, sizeof after), 0) << "matrix " << m;
    }
    GLint viewportAfter[4];
    glGetIntegerv(GL_VIEWPORT, viewportAfter);
    EXPECT_EQ(std::memcmp(viewportBefore, viewportAfter, sizeof viewportAfter), 0);
    EXPECT_EQ(GetInt(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(g_RenderTargetActive, 1);
    EXPECT_EQ(Window(10, 5), 0u) << "nothing reached the window";

    // Onto itself: the rectangle is taken from a copy first.
    Graphics::SurfaceCopy(s, 0, 0, s, 2, 2, 4, 4);
    EXPECT_EQ(Stored(src, 0, 0), kGreen);
    EXPECT_EQ(Stored(src, 2, 2), kRed);
    EXPECT_EQ(Stored(src, 1, 1), kGreen);
}

TEST_F(ReadBack, AScreenshotPNGDecodesToTheDrawnPixels) {
    Fill(0, 0, kSize, kSize, kBlue);
    Fill(3, 0, 4, kSize, kRed);   // column 3
    Fill(0, 5, kSize, 6, kGreen); // row 5
    std::unique_ptr<IBitmap> part = GR_D3D_Screenshot_Part(2, 4, 3, 3);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->GetWidth(), 3);

    char pattern[] = "/tmp/zq_shot_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string root = pattern;
    LoadSave_SetGameName((root + "/game.ios").c_str());
    LoadSave_SetWorkingDirectory((root + "/").c_str());
    struct Cleanup {
        std::string root;
        ~Cleanup() {
            LoadSave_SetGameName(nullptr);
            LoadSave_SetWorkingDirectory(nullptr);
            std::filesystem::remove_all(root);
        }
    } cleanup{root};

    // What the screen-save built-in does: the region read back, written as PNG.
    int w = kSize, h = kSize;
    uint32_t* pixels = Graphics::GrabScreenRect(w, h, 0, 0, &w, &h);
    ASSERT_NE(pixels, nullptr);
    const bool written = WritePNG32("shot.png", pixels, w, h);
    ZQ_Free(pixels);
    ASSERT_TRUE(written);
    int length = 0;
    char* file = LoadSave::ReadSaveFile("shot.png", &length);
    ASSERT_NE(file, nullptr);
    PNGImage image;
    const bool decoded =
        image.Decode(reinterpret_cast<const uint8_t*>(file), static_cast<size_t>(length), false);
    ZQ_Free(file);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(image.Width(), kSize);
    ASSERT_EQ(image.Height(), kSize);
    auto at = [&](int x, int y) {
        uint32_t p;
        std::memcpy(&p, image.Pixels() + (static_cast<size_t>(y) * kSize + x) * 4, 4);
        return p;
    };
    EXPECT_EQ(at(0, 0), kBlue);
    EXPECT_EQ(at(3, 0), kRed);
    EXPECT_EQ(at(3, 31), kRed);
    EXPECT_EQ(at(0, 5), kGreen);
    EXPECT_EQ(at(31, 5), kGreen);
    EXPECT_EQ(at(31, 31), kBlue);
}

// The game's pattern: draw a picture into a small surface, then sample every
// pixel. Every answer equals a direct read, also after the surface changes
// in each way it can between two samples.
TEST_F(ReadBack, RepeatedSurfacePixelsNeverGoStale) {
    const int s = MakeSurface(10, 10);
    ASSERT_TRUE(ZQVTL_surface_set_target(s));
    for (int i = 0; i < 10; ++i)
        Fill(static_cast<float>(i), 0, static_cast<float>(i + 1), 10, 0xFF000000u | (0x100u * 20u * i) | i);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    for (int i = 0; i < 100; ++i) {
        uint32_t pixel = 0;
        ASSERT_TRUE(GR_Surface_GetPixel(s, i % 10, i / 10, &pixel));
        ASSERT_EQ(pixel, Stored(s, i % 10, i / 10)) << i;
    }
    uint32_t pixel = 0;
    auto sample = [&](int x, int y) {
        GR_Surface_GetPixel(s, x, y, &pixel);
        return pixel;
    };
    // Drawing into it through a target.
    ASSERT_TRUE(ZQVTL_surface_set_target(s));
    Fill(0, 0, 1, 1, kRed);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    EXPECT_EQ(sample(0, 0), kRed);
    sample(1, 1);
    // Drawing still pending in the batch while the surface is the target.
    ASSERT_TRUE(ZQVTL_surface_set_target(s));
    Fill(1, 1, 2, 2, kGreen);
    EXPECT_EQ(sample(1, 1), kGreen);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    EXPECT_EQ(sample(1, 1), kGreen);
    EXPECT_EQ(sample(1, 1), kGreen);
    // An upload and a copy into it.
    uint32_t blue = kBlue;
    Texture* t = GR_Texture_Get_Surface(GR_Surface_Get_Texture(s));
    Graphics::Surface_SetRect(&blue, t, 2, 2, 1, 1);
    EXPECT_EQ(sample(2, 2), kBlue);
    EXPECT_EQ(sample(2, 2), kBlue);
    const int other = MakeSurface(4, 4);
    ASSERT_TRUE(ZQVTL_surface_set_target(other));
    Fill(0, 0, 4, 4, kRed);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    Graphics::SurfaceCopy(t, 3, 3, GR_Texture_Get_Surface(GR_Surface_Get_Texture(other)), 0, 0, 1, 1);
    EXPECT_EQ(sample(3, 3), kRed);
    // Freed and made again at the same id: the old pixels are gone.
    ASSERT_TRUE(GR_Surface_Resize(s, 10, 10));
    EXPECT_EQ(sample(0, 0), 0u);
    EXPECT_EQ(sample(1, 1), 0u);
    // Outside, or no surface.
    EXPECT_FALSE(GR_Surface_GetPixel(s, 10, 0, &pixel));
    EXPECT_FALSE(GR_Surface_GetPixel(s, -1, 0, &pixel));
    EXPECT_FALSE(GR_Surface_GetPixel(77, 0, 0, &pixel));
    EXPECT_EQ(pixel, 0u);
}

} // namespace
