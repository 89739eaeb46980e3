// The single batch: its contents and flush rules on the recording device,
// and textured quads drawn through it on Mesa, read back pixel-exact.
#include <cstring>
#include <vector>

#include "gl_device_fixture.h"
#include "recording_gl_layer.h"
#include "render/lights.h"
#include "render/shader.h"
#include "render/vertex_batch.h"
#include "render/vertex_format.h"
#include "render/view.h"

namespace {

struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(V24) == 24);

class BatchContents : public ::testing::Test {
protected:
    void SetUp() override {
        g_States.Reset();
        g_States.Flush();
        Batch_Empty();
        layer.Take();
    }
    void TearDown() override { Batch_Empty(); }

    // A strip of `n` vertices whose x is `first`, `first` + 1, ...
    void Strip(int n, float first) {
        auto* v = static_cast<V24*>(Graphics::AllocVerts(5, nullptr, eVF_PosColourTex, n));
        ASSERT_NE(v, nullptr);
        for (int i = 0; i < n; ++i) v[i] = {first + static_cast<float>(i), 0, 0, 0, 0, 0};
    }

    std::vector<float> Xs() const {
        std::vector<float> xs;
        const auto* v = reinterpret_cast<const V24*>(Batch_Vertices());
        for (int i = 0; i < g_CurrentVertexCount; ++i) xs.push_back(v[i].x);
        return xs;
    }

    // Batches flushed with vertices in them since the last call.
    int Batches() {
        const int n = g_numVertexBatches - m_seen;
        m_seen = g_numVertexBatches;
        return n;
    }
    int m_seen = g_numVertexBatches;

    RecordingGLLayer layer;
};

TEST_F(BatchContents, StripsJoinThroughDegenerateVertices) {
    Strip(4, 0);
    Strip(4, 10);
    JoinToPreviousStrip();
    EXPECT_EQ(Xs(), (std::vector<float>{0, 1, 2, 3, 3, 10, 10, 11, 12, 13}));
    Batch_Empty();
    // After an odd strip the next one starts at position 6.
    Strip(3, 0);
    Strip(4, 10);
    JoinToPreviousStrip();
    EXPECT_EQ(Xs(), (std::vector<float>{0, 1, 2, 2, 10, 10, 10, 11, 12, 13}));
    EXPECT_EQ(Batches(), 0);
}

TEST_F(BatchContents, FlushRulesCountedInBatches) {
    auto quad = [](int kind, Texture* t, int format = eVF_PosColourTex, int n = 6) {
        return Graphics::AllocVerts(kind, t, format, n);
    };
    Texture* a = reinterpret_cast<Texture*>(0x10);
    Texture* b = reinterpret_cast<Texture*>(0x20);
    quad(4, a);
    quad(4, a);
    EXPECT_EQ(Batches(), 0) << "same kind, texture, format and state share a batch";
    quad(4, b);
    EXPECT_EQ(Batches(), 1) << "texture change";
    quad(4, b, eVF_PosColour);
    EXPECT_EQ(Batches(), 1) << "format change";
    quad(3, b, eVF_PosColour, 2);
    quad(3, b, eVF_PosColour, 2);
    EXPECT_EQ(Batches(), 2) << "a line strip always starts its own batch";
    quad(4, b);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    quad(4, b);
    EXPECT_EQ(Batches(), 2) << "kind change, then a dirty state";
    g_States.SetRenderState(eRS_BlendEnable, 1);
    Graphics::Flush();
    Batches();
    quad(4, a, eVF_PosColourTex, kBatchAllocLimit - 6);
    quad(4, a);
    EXPECT_EQ(Batches(), 0);
    quad(4, a, eVF_PosColourTex, 1);
    EXPECT_EQ(Batches(), 1) << "a batch never passes 16381 vertices";
}

TEST_F(BatchContents, WideUserFormatsNeverPassTheStoreEnd) {
    VertexFormat* wide = new VertexFormat();
    for (int i = 0; i < 4; ++i) wide->Add(eVT_Float4, eVU_TexCoord, 1u << i); // 64 bytes a vertex
    AddVertexFormat(wide);
    const int id = wide->id;
    EXPECT_EQ(Graphics::AllocVerts(4, nullptr, id, kBatchMaxBytes / 64 + 1), nullptr);
    ASSERT_NE(Graphics::AllocVerts(4, nullptr, id, 9000), nullptr);
    Batches();
    ASSERT_NE(Graphics::AllocVerts(4, nullptr, id, 9000), nullptr);
    EXPECT_EQ(Batches(), 1) << "the bytes, not only the vertex count, decide when the store is full";
    EXPECT_LE(static_cast<int64_t>(g_CurrentVertexCount) * 64, kBatchMaxBytes);
    EXPECT_EQ(Graphics::AllocVerts(4, nullptr, 0x1FFFFFF, 1), nullptr); // no such format
    ClearVertexFormats();
}

class BatchDrawing : public GLDeviceTest {
protected:
    Texture* Solid(uint32_t rgba) {
        uint8_t pixels[16];
        for (int i = 0; i < 4; ++i) std::memcpy(pixels + 4 * i, &rgba, 4);
        return Graphics::CreateTextureFromData(pixels, 2, 2, nullptr, eTextureFormat_A8R8G8B8);
    }
    // A quad of two triangles over room pixels [x0, x1) × [y0, y1).
    void Quad(Texture* t, float x0, float y0, float x1, float y1, uint32_t colour) {
        auto* v = static_cast<V24*>(Graphics::AllocVerts(4, t, eVF_PosColourTex, 6));
        ASSERT_NE(v, nullptr);
        const V24 tl{x0, y0, 0, colour, 0, 0}, tr{x1, y0, 0, colour, 1, 0}, bl{x0, y1, 0, colour, 0, 1},
            br{x1, y1, 0, colour, 1, 1};
        v[0] = tl, v[1] = tr, v[2] = bl, v[3] = tr, v[4] = br, v[5] = bl;
    }
    std::vector<uint8_t> Pixel(int x, int yFromTop) {
        std::vector<uint8_t> p(4);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
};

TEST_F(BatchDrawing, TwoTexturedTintedQuadsReadBackPixelExact) {
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    Texture* red = Solid(0xFF0000FF); // bytes R G B A = 255 0 0 255
    Texture* white = Solid(0xFFFFFFFF);
    g_numVertexBatches = 0;
    Quad(red, 0, 0, 16, 16, 0xFFFFFFFF);
    Quad(white, 16, 0, 32, 16, 0xFF00FF00);  // tinted green
    Quad(white, 16, 16, 32, 32, 0xFF00FF00); // same texture and state: same batch
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(g_numVertexBatches, 2);
    EXPECT_EQ(Pixel(4, 4), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(20, 4), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(20, 20), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(4, 20), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(BatchDrawing, AlphaTestDiscardsAtOrBelowTheReference) {
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    g_States.SetRenderState(eRS_AlphaTest, 1);
    g_States.SetRenderState(eRS_AlphaRef, 128);
    Texture* white = Solid(0xFFFFFFFF);
    Quad(white, 0, 0, 16, 16, 0x80FFFFFF);  // alpha 128: discarded
    Quad(white, 16, 0, 32, 16, 0x81FFFFFF); // alpha 129: drawn
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(4, 4)[0], 0);
    EXPECT_EQ(Pixel(20, 4)[0], 255);
    g_States.SetRenderState(eRS_AlphaTest, 0);
}

TEST_F(BatchDrawing, LitVerticesTakeTheAmbientAndTheirLights) {
    struct V36 {
        float x, y, z, nx, ny, nz;
        uint32_t colour;
        float u, v;
    };
    static_assert(sizeof(V36) == 36);
    Texture* white = Solid(0xFFFFFFFF);
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    g_States.SetRenderState(eRS_Lighting, 1);
    GR_3D_Set_Ambient(0x000040); // a little red
    GR_3D_Light_Define_Direction(1, 0, 0, 1, 0x00FF00);
    GR_3D_Light_Enable(1, true);
    auto* v = static_cast<V36*>(Graphics::AllocVerts(4, white, eVF_PosNormalColourTex, 6));
    ASSERT_NE(v, nullptr);
    // The normal points away from the light's direction, so it faces the light.
    const V36 tl{0, 0, 0, 0, 0, -1, 0xFFFFFFFF, 0, 0}, tr{32, 0, 0, 0, 0, -1, 0xFFFFFFFF, 1, 0},
        bl{0, 32, 0, 0, 0, -1, 0xFFFFFFFF, 0, 1}, br{32, 32, 0, 0, 0, -1, 0xFFFFFFFF, 1, 1};
    v[0] = tl, v[1] = tr, v[2] = bl, v[3] = tr, v[4] = br, v[5] = bl;
    GR_D3D_Finish_Frame(true);
    const std::vector<uint8_t> p = Pixel(10, 10);
    EXPECT_NEAR(p[0], 0x40, 1);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 0);
    GR_3D_Light_Enable(1, false);
    GR_3D_Set_Ambient(0);
    g_States.SetRenderState(eRS_Lighting, 0);
}

} // namespace
