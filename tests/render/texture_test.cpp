// GPU textures on a headless Mesa context: upload and sampling read back
// pixel-exact, mipmap levels, the size rule, the bind cache and kept source
// data whose header lies.
#include <cstring>
#include <vector>

#include "gl_device_fixture.h"
#include "image_fixtures.h"

namespace {

class Textures : public GLDeviceTest {
protected:
    // Draws the texture bound on stage 0 over the whole framebuffer with the
    // fixed-function pipeline (the context is a compatibility one) and reads
    // the framebuffer back.
    std::vector<uint8_t> DrawBoundTextureAndRead() {
        glUseProgram(0);
        glDisable(GL_BLEND);
        glDisable(GL_SCISSOR_TEST);
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        const float xyuv[16] = {-1, -1, 0, 0, 1, -1, 1, 0, -1, 1, 0, 1, 1, 1, 1, 1};
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 16, xyuv);
        glTexCoordPointer(2, GL_FLOAT, 16, xyuv + 2);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisable(GL_TEXTURE_2D);
        std::vector<uint8_t> out(kSize * kSize * 4);
        glReadPixels(0, 0, kSize, kSize, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }

    // A 2×2 texture of four distinct colours, point-sampled.
    Texture* Quadrants() {
        const uint8_t pixels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 128};
        Texture* t = Graphics::CreateTextureFromData(pixels, 2, 2, nullptr, eTextureFormat_A8R8G8B8);
        g_States.SetSamplerState(0, eSS_MagFilter, 0);
        g_States.SetSamplerState(0, eSS_MinFilter, 0);
        g_States.Flush();
        return t;
    }

    static std::vector<uint8_t> Level(int level, int w, int h) {
        std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
};

TEST_F(Textures, UploadedTextureSamplesPixelExact) {
    Texture* t = Quadrants();
    ASSERT_NE(t->textureID, -1);
    EXPECT_NE(t->flags & eTexFlag_Uploaded, 0u);
    Graphics::SetTexture(0, t);
    const std::vector<uint8_t> fb = DrawBoundTextureAndRead();
    auto at = [&](int x, int y) {
        return std::vector<uint8_t>(fb.begin() + (y * kSize + x) * 4, fb.begin() + (y * kSize + x) * 4 + 4);
    };
    // Texture row 0 is at the bottom of the framebuffer (texture v = 0).
    EXPECT_EQ(at(3, 3), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(at(kSize - 4, 3), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(at(3, kSize - 4), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(at(kSize - 4, kSize - 4), (std::vector<uint8_t>{255, 255, 255, 128}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(Textures, SamplerSettingsReachTheBoundTexture) {
    Texture* t = Quadrants();
    Graphics::SetTexture(0, t);
    GLint mag = 0, wrap = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    EXPECT_EQ(mag, GL_NEAREST);
    g_States.SetSamplerState(0, eSS_MagFilter, 1);
    g_States.SetSamplerState(0, eSS_AddressU, 0);
    g_States.Flush(); // re-applies to the texture bound on the stage
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &mag);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(mag, GL_LINEAR);
    EXPECT_EQ(wrap, GL_REPEAT);
}

TEST_F(Textures, MipChainAveragesAndDropsOddEdges) {
    // 4×1: the 2×1 level averages texels 0-1 and 2-3, then one 1×1 level.
    const uint8_t row[16] = {10, 20, 30, 40, 20, 40, 60, 80, 100, 0, 0, 255, 200, 0, 0, 255};
    Texture* t = Graphics::CreateTextureFromData(row, 4, 1, nullptr, eTextureFormat_A8R8G8B8);
    g_States.SetSamplerState(0, eSS_MipEnable, 1);
    g_States.SetSamplerState(0, eSS_MipFilter, 1);
    g_States.SetSamplerState(0, eSS_MinFilter, 1);
    g_States.Flush();
    Graphics::SetTexture(0, t);
    EXPECT_NE(t->flags & eTexFlag_MipsPresent, 0u);
    EXPECT_EQ(Level(1, 2, 1), (std::vector<uint8_t>{15, 30, 45, 60, 150, 0, 0, 255}));
    EXPECT_EQ(Level(2, 1, 1), (std::vector<uint8_t>{82, 15, 22, 157}));
    GLint minFilter = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);

    // A bind that wants no mipmaps remakes it without them, and back.
    g_States.SetSamplerState(0, eSS_MipEnable, 0);
    g_States.Flush();
    Graphics::SetTexture(0, nullptr);
    Graphics::SetTexture(0, t);
    EXPECT_EQ(t->flags & eTexFlag_MipsPresent, 0u);
    g_States.SetSamplerState(0, eSS_MipEnable, 1);
    g_States.Flush();
    Graphics::SetTexture(0, nullptr);
    Graphics::SetTexture(0, t);
    EXPECT_NE(t->flags & eTexFlag_MipsPresent, 0u);
    g_States.SetSamplerState(0, eSS_MipEnable, 0);
    g_States.Flush();
}

TEST(MipDownsample, OddSidesDropTheirLastRowAndColumn) {
    // 3×3 → 1×1 from the top-left 2×2 block only.
    std::vector<uint8_t> in(3 * 3 * 4, 0);
    const int block[4] = {0, 1, 3, 4};
    for (int i : block) in[i * 4] = 100;
    in[8 * 4] = 255; // the dropped corner
    uint8_t out[4] = {};
    MipDownsample(in.data(), 3, 3, out);
    EXPECT_EQ(out[0], 100);
    // 1×3 column: texels 0 and 1 averaged, the third dropped.
    const uint8_t column[12] = {1, 0, 0, 0, 4, 0, 0, 0, 200, 0, 0, 0};
    MipDownsample(column, 1, 3, out);
    EXPECT_EQ(out[0], 2);
}

TEST_F(Textures, WithoutNPOTSidesArePaddedAndClamped) {
    g_SupportNPOT = false;
    Texture* t = Graphics::CreateTexture(100, 30, 0, 0, eTextureFormat_A8R8G8B8);
    EXPECT_EQ(t->width, 128);
    EXPECT_EQ(t->height, 32);
    Texture* wide = Graphics::CreateTexture(MAX_TEXTURE_SIZE + 1000, 1, 0, 0, eTextureFormat_A8R8G8B8);
    EXPECT_EQ(wide->width, MAX_TEXTURE_SIZE);
    g_SupportNPOT = true;
    Texture* npot = Graphics::CreateTexture(100, 30, 0, 0, eTextureFormat_A8R8G8B8);
    EXPECT_EQ(npot->width, 100);
    Graphics::SetTexture(0, npot);
    EXPECT_NE(npot->flags & eTexFlag_NonPowerOfTwo, 0u);
    Graphics::SetTexture(0, t);
    EXPECT_EQ(t->flags & eTexFlag_NonPowerOfTwo, 0u);
}

TEST_F(Textures, TheStageCacheBindsOnceUnlessForced) {
    Texture* t = Quadrants();
    Graphics::SetTexture(0, t);
    const int swaps = g_numTextureSwaps;
    Graphics::SetTexture(0, t);
    EXPECT_EQ(g_numTextureSwaps, swaps);
    g_ForceTextureSet = true;
    Graphics::SetTexture(0, t);
    g_ForceTextureSet = false;
    EXPECT_EQ(g_numTextureSwaps, swaps + 1);
    Graphics::SetTexture(2, t);
    EXPECT_EQ(GetInt(GL_ACTIVE_TEXTURE), GL_TEXTURE2);
    EXPECT_EQ(_pLastTexture[2], t);
    Graphics::SetTexture(9, t); // no such stage
    EXPECT_EQ(g_CurrActiveTexture, 2);
    // A freed texture no longer answers for its stages.
    Graphics::FreeTexture(t);
    EXPECT_EQ(_pLastTexture[0], nullptr);
    EXPECT_EQ(_pLastTexture[2], nullptr);
}

TEST_F(Textures, UpdateRegionUploadsOnlyTheInsidePart) {
    const std::vector<uint8_t> black(4 * 4 * 4, 0);
    Texture* t = Graphics::CreateTextureFromData(black.data(), 4, 4, nullptr, eTextureFormat_A8R8G8B8);
    std::memset(t->pixels, 0xFF, 4 * 4 * 4);
    EXPECT_TRUE(Graphics::UpdateRegion(t, 2, 2, 10, 10));
    Graphics::SetTexture(0, t);
    const std::vector<uint8_t> level = Level(0, 4, 4);
    EXPECT_EQ(level[(1 * 4 + 1) * 4], 0);
    EXPECT_EQ(level[(2 * 4 + 2) * 4], 255);
    EXPECT_EQ(level[(3 * 4 + 3) * 4], 255);
    EXPECT_EQ(level[(3 * 4 + 1) * 4], 0);
    EXPECT_FALSE(Graphics::UpdateRegion(nullptr, 0, 0, 1, 1));
}

// Kept source data: "RAW " with a header and pixels.
std::vector<uint8_t> RawImage(int32_t w, int32_t h, uint32_t format, size_t pixelBytes) {
    std::vector<uint8_t> data(16 + pixelBytes, 0x7F);
    std::memcpy(data.data(), "RAW ", 4);
    std::memcpy(data.data() + 4, &w, 4);
    std::memcpy(data.data() + 8, &h, 4);
    std::memcpy(data.data() + 12, &format, 4);
    return data;
}

TEST_F(Textures, KeptSourceDataIsMadeAtTheFirstBind) {
    const std::vector<uint8_t> raw = RawImage(2, 2, 0, 16);
    ImageInfo info;
    Texture* t =
        Graphics::CreateTextureFromFile(raw.data(), static_cast<uint32_t>(raw.size()), &info, 6, true);
    EXPECT_EQ(info.width, 2);
    EXPECT_EQ(info.bpp, 32);
    EXPECT_EQ(t->textureID, -1);
    Graphics::SetTexture(0, t);
    EXPECT_NE(t->textureID, -1);
    EXPECT_EQ(Level(0, 2, 2), std::vector<uint8_t>(16, 0x7F));

    // 4444 data never gets mipmaps, and wanting them does not remake it at every bind.
    const std::vector<uint8_t> raw4444 = RawImage(2, 2, 1, 8);
    Texture* t4 = Graphics::CreateTextureFromFile(raw4444.data(), static_cast<uint32_t>(raw4444.size()),
                                                  &info, 6, true);
    EXPECT_EQ(t4->format, eTextureFormat_A4R4G4B4);
    t4->flags |= eTexFlag_MipsWanted;
    g_States.SetSamplerState(0, eSS_MipEnable, 2);
    g_States.Flush();
    Graphics::SetTexture(0, t4);
    const int32_t name = t4->textureID;
    Graphics::SetTexture(0, nullptr);
    Graphics::SetTexture(0, t4);
    EXPECT_EQ(t4->textureID, name);
    g_States.SetSamplerState(0, eSS_MipEnable, 0);
    g_States.Flush();
}

TEST_F(Textures, SourceHeadersThatPromiseMoreThanTheDataAreRefused) {
    const std::vector<uint8_t> lying = RawImage(1000, 1000, 0, 16);
    ImageInfo info;
    Texture* t =
        Graphics::CreateTextureFromFile(lying.data(), static_cast<uint32_t>(lying.size()), &info, 6, true);
    EXPECT_EQ(info.width, 0);
    Graphics::SetTexture(0, t);
    EXPECT_EQ(t->textureID, -1);
    EXPECT_NE(std::strstr(console.Text(), "FAILED"), nullptr);
    bool owned = true;
    EXPECT_EQ(_GetCPUSideTextureData(t, owned), nullptr);
    EXPECT_FALSE(owned);

    std::vector<uint8_t> pvr(52, 0);
    const uint32_t header = 52, side = 64;
    std::memcpy(pvr.data(), &header, 4);
    std::memcpy(pvr.data() + 4, &side, 4);
    std::memcpy(pvr.data() + 8, &side, 4);
    std::memcpy(pvr.data() + 44, "PVR!", 4);
    Texture* p =
        Graphics::CreateTextureFromFile(pvr.data(), static_cast<uint32_t>(pvr.size()), &info, 6, true);
    Graphics::SetTexture(0, p);
    EXPECT_EQ(p->textureID, -1);
}

TEST_F(Textures, PNGSourceDecodesAtTheFirstBind) {
    PngSpec spec;
    spec.width = 3;
    spec.height = 2;
    spec.raw.assign(3 * 2 * 4, 0x40);
    const std::vector<uint8_t> png = MakePng(spec);
    ImageInfo info;
    Texture* t =
        Graphics::CreateTextureFromFile(png.data(), static_cast<uint32_t>(png.size()), &info, 6, false);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    Graphics::SetTexture(0, t);
    EXPECT_NE(t->textureID, -1);
    EXPECT_EQ(t->format, eTextureFormat_A8R8G8B8);
    Graphics::FlushTexture(t);
    EXPECT_EQ(t->textureID, -1);
    Graphics::SetTexture(0, nullptr);
    Graphics::SetTexture(0, t); // rebuilt from the kept data
    EXPECT_NE(t->textureID, -1);
}

TEST_F(Textures, RenderTargetsKeepTheirObjectsThroughAFlush) {
    Texture* rt = Graphics::CreateTexture(8, 8, 0, eTextureFlags_RenderTarget, eTextureFormat_A8R8G8B8);
    ASSERT_NE(rt->frameBufferID, -1);
    const int32_t name = rt->textureID;
    Graphics::FlushTexture(rt);
    EXPECT_EQ(rt->textureID, name);
    g_bForceSurfaceFlush = true;
    Graphics::FlushTexture(rt);
    g_bForceSurfaceFlush = false;
    EXPECT_EQ(rt->frameBufferID, -1);
}

TEST_F(Textures, ZeroSizedTexturesBindGLTextureZero) {
    Texture* t = Graphics::CreateTexture(0, 5, 0, 0, eTextureFormat_A8R8G8B8);
    EXPECT_EQ(t->textureID, 0);
    Graphics::SetTexture(0, t);
    EXPECT_EQ(GetInt(GL_TEXTURE_BINDING_2D), 0);
}

} // namespace
