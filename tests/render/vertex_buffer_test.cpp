// Drawing a caller's vertex array at once and drawing frozen vertex buffers,
// read back from the headless context.
#include <cstring>
#include <vector>

#include "gl_device_fixture.h"
#include "render/vertex_batch.h"
#include "render/vertex_buffer.h"
#include "render/view.h"

namespace {

struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

// Two triangles over room pixels [x0, x1) × [y0, y1).
std::vector<V24> QuadVerts(float x0, float y0, float x1, float y1, uint32_t colour) {
    const V24 tl{x0, y0, 0, colour, 0, 0}, tr{x1, y0, 0, colour, 1, 0}, bl{x0, y1, 0, colour, 0, 1},
        br{x1, y1, 0, colour, 1, 1};
    return {tl, tr, bl, tr, br, bl};
}

class ArrayDrawing : public GLDeviceTest {
protected:
    Texture* White() {
        uint8_t pixels[16];
        std::memset(pixels, 0xFF, sizeof pixels);
        return Graphics::CreateTextureFromData(pixels, 2, 2, nullptr, eTextureFormat_A8R8G8B8);
    }
    std::vector<uint8_t> Pixel(int x, int yFromTop) {
        std::vector<uint8_t> p(4);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
    void TearDown() override {
        g_SupportVBOs = true;
        GLDeviceTest::TearDown();
    }
};

const uint32_t kRed = 0xFF0000FF, kGreen = 0xFF00FF00, kBlue = 0xFFFF0000;

TEST_F(ArrayDrawing, AnArrayIsDrawnAtOnceAndThePendingBatchStaysPending) {
    Texture* white = White();
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    auto* pending = static_cast<V24*>(Graphics::AllocVerts(4, white, eVF_PosColourTex, 6));
    ASSERT_NE(pending, nullptr);
    const std::vector<V24> left = QuadVerts(0, 0, 16, 32, kGreen);
    std::memcpy(pending, left.data(), left.size() * sizeof(V24));
    Graphics::SetTexture(g_DefaultTextureStage, white);
    const std::vector<V24> right = QuadVerts(16, 0, 32, 32, kRed);
    Graphics::DrawArrayEx(4, 6, right.data(), eVF_PosColourTex);
    EXPECT_EQ(g_CurrentVertexCount, 6) << "the batch is not flushed by an array draw";
    EXPECT_EQ(Pixel(24, 10), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(8, 10), (std::vector<uint8_t>{0, 0, 0, 0}));
    Graphics::DrawArrayEx(4, 0, right.data(), eVF_PosColourTex); // nothing
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(8, 10), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(24, 10), (std::vector<uint8_t>{255, 0, 0, 255}));
}

TEST_F(ArrayDrawing, AFrozenBufferDrawsItsVerticesAfterThePendingBatch) {
    Texture* white = White();
    const std::vector<V24> whole = QuadVerts(0, 0, 32, 32, kBlue);
    VertexBuffer vb;
    ASSERT_TRUE(vb.Init(eVF_PosColourTex, 6, 0));
    EXPECT_EQ(vb.vertexSize, 24);
    ASSERT_TRUE(vb.IsValid());
    vb.UpdateFromBuffer(whole.data(), static_cast<int>(whole.size() * sizeof(V24)));

    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    // A pending quad over the left half is drawn first, so the buffer covers it.
    auto* pending = static_cast<V24*>(Graphics::AllocVerts(4, white, eVF_PosColourTex, 6));
    ASSERT_NE(pending, nullptr);
    const std::vector<V24> left = QuadVerts(0, 0, 16, 32, kGreen);
    std::memcpy(pending, left.data(), left.size() * sizeof(V24));
    Graphics::DrawArrayFromVB(4, 6, 0, eVF_PosColourTex, white, &vb);
    EXPECT_EQ(g_CurrentVertexCount, 0);
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(8, 10), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(24, 10), (std::vector<uint8_t>{0, 0, 255, 255}));
}

TEST_F(ArrayDrawing, WithoutBufferObjectsNothingIsFrozenOrDrawn) {
    VertexBuffer bad;
    EXPECT_TRUE(bad.Init(0x1FFFFFF, 3, 0)); // an unknown format still records a size of 1
    EXPECT_EQ(bad.vertexSize, 1);
    g_SupportVBOs = false;
    VertexBuffer vb;
    EXPECT_FALSE(vb.Init(eVF_PosColour, 6, 0));
    EXPECT_FALSE(vb.IsValid());
    vb.UpdateFromBuffer(nullptr, 0);
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    Graphics::DrawArrayFromVB(4, 6, 0, eVF_PosColour, nullptr, &vb);
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(8, 10), (std::vector<uint8_t>{0, 0, 0, 0}));
}

} // namespace
