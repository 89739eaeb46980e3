// Texture and page-entry drawing: the vertices each form appends (captured
// from the batch as it is flushed), the bounds of the tiled forms, and a page
// entry from a writer-made data file drawn on Mesa and read back pixel-exact.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/header_globals.h"
#include "core/matrix.h"
#include "core/memory_manager.h"
#include "game_data_writer.h"
#include "gl_device_fixture.h"
#include "header_chunk.h"
#include "quad_page.h"
#include "render/gl_layer.h"
#include "render/image_decode.h"
#include "render/page_entry.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

struct V24 {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

struct Batch {
    int kind;
    Texture* texture;
    int count;
};

// A device layer that keeps what each flushed batch held.
class CaptureLayer final : public GLLayer {
public:
    CaptureLayer() : m_previous(g_pGLLayer), m_wasInitialised(g_GraphicsInitialised) {
        g_pGLLayer = this;
        g_GraphicsInitialised = true;
    }
    ~CaptureLayer() override {
        Batch_Empty();
        g_pGLLayer = m_previous;
        g_GraphicsInitialised = m_wasInitialised;
    }
    void DrawBatch() override {
        if (g_LastPrimType == -1 || g_CurrentVertexCount == 0) return;
        batches.push_back({g_LastPrimType, g_pLastTexture, g_CurrentVertexCount});
        if (!keepVertices) return;
        const auto* v = reinterpret_cast<const V24*>(Batch_Vertices());
        vertices.insert(vertices.end(), v, v + g_CurrentVertexCount);
    }
    void SetRenderState(int, uint32_t) override {}
    void SetSamplerState(int, int, uint32_t) override {}
    void DrawVertices(int, const void*, int, int) override {}
    void SetViewPort(int, int, int, int) override {}
    void EnableScissor(bool) override {}
    void Clear(const float*, float, int, int) override {}
    void MatricesChanged(int, const float (*)[16]) override {}

    // Everything appended so far.
    std::vector<V24> Drawn() {
        Graphics::Flush();
        std::vector<V24> out;
        out.swap(vertices);
        return out;
    }

    std::vector<Batch> batches;
    std::vector<V24> vertices;
    bool keepVertices = true;

private:
    GLLayer* m_previous;
    bool m_wasInitialised;
};

class TextureDraw : public ::testing::Test {
protected:
    void SetUp() override {
        Batch_Empty();
        page = GR_Texture_Add(&pageTexture, 32, 16);
        image = GR_Texture_Add(&imageTexture, 10, 20);
        // 6 × 5 stored pixels at (8, 4) on the page, trimmed 2 from the left
        // and 3 from the top of a 10 × 10 image.
        entry = {8, 4, 6, 5, 2, 3, 6, 5, 10, 10, static_cast<int16_t>(page)};
        GR_Depth = 7.0f;
    }
    void TearDown() override {
        GR_Depth = 0.0f;
        Draw_Alpha = 255;
    }

    static void ExpectCorner(const V24& v, float x, float y) {
        EXPECT_FLOAT_EQ(v.x, x);
        EXPECT_FLOAT_EQ(v.y, y);
    }

    Texture pageTexture, imageTexture; // never bound: no GL here
    int page = -1, image = -1;
    ZQTPageEntry entry{};
    CaptureLayer capture;
};

TEST_F(TextureDraw, TrimmedEntryCoversItsCropRectangleOnly) {
    ASSERT_TRUE(GR_Texture_Draw(&entry, 0, 0, 100, 50, 1, 1, 0, 0x0000FF, 0.5f));
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 6u);
    // Slots: top left, top right, bottom right, bottom right, bottom left, top left.
    const float xs[6] = {102, 108, 108, 108, 102, 102}, ys[6] = {53, 53, 58, 58, 58, 53};
    const float us[6] = {8, 14, 14, 14, 8, 8}, vs[6] = {4, 4, 9, 9, 9, 4};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        ExpectCorner(v[i], xs[i], ys[i]);
        EXPECT_FLOAT_EQ(v[i].u, us[i] / 32);
        EXPECT_FLOAT_EQ(v[i].v, vs[i] / 16);
        EXPECT_EQ(v[i].z, 7.0f);
        EXPECT_EQ(v[i].colour, 0x7F0000FFu) << "red in the low byte, alpha truncated";
    }
    EXPECT_EQ(capture.batches.back().texture, &pageTexture);
}

TEST_F(TextureDraw, MissingImagesDrawNothing) {
    ZQTPageEntry stray = entry;
    stray.page = 77;
    EXPECT_FALSE(GR_Texture_Draw(&stray, 0, 0, 0, 0, 1, 1, 0, 0, 1));
    EXPECT_FALSE(GR_Texture_Draw_Simple(static_cast<ZQTPageEntry*>(nullptr), 0, 0));
    EXPECT_FALSE(GR_Texture_Draw_Simple(77, 0, 0));
    EXPECT_FALSE(GR_Texture_Draw_Part(-1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1));
    EXPECT_TRUE(capture.Drawn().empty());
}

TEST_F(TextureDraw, ZeroSizesAreMadeDrawableInPlace) {
    GR_Texture_Entry(image)->width = 0;
    ASSERT_TRUE(GR_Texture_Draw(image, 0, 0, 10, 10, 1, 1, 0, 0xFFFFFF, 1));
    EXPECT_EQ(GR_Texture_Entry(image)->width, 8);
    EXPECT_EQ(GR_Texture_Entry(image)->height, 8);
    EXPECT_EQ(GR_Texture_Entry(image)->invWidth, 0.125f);
    const std::vector<V24> v = capture.Drawn();
    ExpectCorner(v[2], 18, 18);
    EXPECT_FLOAT_EQ(v[2].u, 1.0f);

    entry.cropWidth = 0;
    ASSERT_TRUE(GR_Texture_Draw_Part(&entry, 2, 3, 4, 4, 0, 0, 1, 1, 0, 0, 1));
    EXPECT_EQ(entry.cropWidth, 1) << "a zero crop size is written back as 1";
}

TEST_F(TextureDraw, TinyAnglesTurnOnlyTheColouredParts) {
    const float angle = 0.0005f;
    GR_Texture_Draw(image, 0, 0, 0, 0, 1, 1, angle, 0, 1);
    GR_Texture_Draw_Part(image, 0, 0, 10, 20, 0, 0, 1, 1, angle, 0, 1);
    GR_Texture_Draw_Part_Color(image, 0, 0, 10, 20, 0, 0, 1, 1, angle, 0, 0, 0, 0, 1);
    GR_Texture_Draw_Part_Color(&entry, 2, 3, 6, 5, 0, 0, 1, 1, angle, 0, 0, 0, 0, 1);
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 24u);
    EXPECT_EQ(v[1].y, 0.0f) << "general form";
    EXPECT_EQ(v[7].y, 0.0f) << "part form";
    EXPECT_LT(v[13].y, 0.0f) << "coloured part form, texture id";
    EXPECT_LT(v[19].y, 0.0f) << "coloured part form, page entry";
}

TEST_F(TextureDraw, PartsAreTrimmedToTheStoredPixels) {
    // From (0, 0) of the untrimmed image: the 2 columns and 3 rows trimmed
    // away are skipped and the position moves past them.
    ASSERT_TRUE(GR_Texture_Draw_Part(&entry, 0, 0, 4, 4, 10, 20, 1, 1, 0, 0xFFFFFF, 1));
    // Left beyond the crop width: nothing, but not a failure.
    EXPECT_TRUE(GR_Texture_Draw_Part(&entry, 9, 3, 4, 4, 10, 20, 1, 1, 0, 0xFFFFFF, 1));
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 6u);
    // Slots: top left, top right, bottom left, top right, bottom right, bottom left.
    const float xs[6] = {12, 14, 12, 14, 14, 12}, ys[6] = {23, 23, 24, 23, 24, 24};
    for (int i = 0; i < 6; ++i) ExpectCorner(v[i], xs[i], ys[i]);
    EXPECT_FLOAT_EQ(v[0].u, 8.0f / 32);
    EXPECT_FLOAT_EQ(v[4].u, 10.0f / 32);
    EXPECT_FLOAT_EQ(v[4].v, 5.0f / 16);
}

TEST_F(TextureDraw, CornerIdsGoBySlot) {
    g_MarkVerts = true;
    GR_Texture_Draw(&entry, 0, 0, 0, 0, 1, 1, 0, 0xFFFFFF, 1);
    GR_Texture_Draw_Simple(image, 0, 0);
    GR_Texture_Draw_Stretched(image, 0, 0, 5, 5, 0xFFFFFF, 1); // marks nothing
    g_MarkVerts = false;
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 18u);
    const uint32_t ids[6] = {0xFFFEFFFE, 0xFFFEFFFF, 0xFFFFFFFE, 0xFFFFFFFE, 0xFFFFFFFF, 0xFFFEFFFE};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(v[i].colour, ids[i]) << "page entry, slot " << i;
        EXPECT_EQ(v[6 + i].colour, ids[i]) << "simple texture id, slot " << i;
        EXPECT_EQ(v[12 + i].colour, 0xFFFFFFFFu);
    }
}

TEST_F(TextureDraw, FourPointFormsTakeTheirCornersInOrder) {
    ASSERT_TRUE(GR_Texture_Draw_Pos(&entry, 0, 0, 10, 1, 11, 12, 1, 10, 0x00FF00, 1));
    ASSERT_TRUE(DrawIt_Color(&imageTexture, 0, 0, 4, 0, 4, 4, 0, 4, 0.25f, 0.5f, 0.75f, 1.0f, 1, 2, 3, 4));
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 12u);
    ExpectCorner(v[1], 10, 1);
    ExpectCorner(v[2], 11, 12);
    ExpectCorner(v[4], 1, 10);
    EXPECT_EQ(v[0].colour, 0xFF00FF00u);
    const uint32_t colours[6] = {1, 2, 3, 3, 4, 1};
    const float us[6] = {0.25f, 0.75f, 0.75f, 0.75f, 0.25f, 0.25f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(v[6 + i].colour, colours[i]);
        EXPECT_EQ(v[6 + i].u, us[i]);
    }
}

TEST_F(TextureDraw, TiledTextureIdCoversTheRegionInFans) {
    // An 8 × 8 image from x = y = 3 over the region (0, 0, 20, 10): columns
    // at -5, 3, 11, 19 and rows at -5, 3.
    GR_Texture_Entry(image)->height = 8;
    GR_Texture_Entry(image)->width = 8;
    ASSERT_TRUE(GR_Texture_Draw_Tiled(image, 0, 0, 3, 3, 1, 1, true, true, 0, 0, 20, 10, 0x0000FF, 1));
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(capture.batches.size(), 8u);
    for (const Batch& b : capture.batches) EXPECT_EQ(b.kind, 6) << "four-vertex fans";
    ASSERT_EQ(v.size(), 32u);
    ExpectCorner(v[0], -5, -5);
    ExpectCorner(v[4], -5, 3);
    ExpectCorner(v[8], 3, -5);
    ExpectCorner(v[30], 27, 11);
    for (const V24& x : v) EXPECT_EQ(x.colour, 0xFF0000FFu) << "tinted red";
}

TEST_F(TextureDraw, TiledFormsAreBounded) {
    capture.keepVertices = false;
    // One-pixel tiles over a huge region, a tiny page tile over the room, and
    // a page entry without an untrimmed size: nothing is appended.
    EXPECT_FALSE(GR_Texture_Draw_Tiled(image, 0, 0, 0, 0, 0.1f, 0.1f, true, true, 0, 0, 1e6f, 1e6f, 0, 1));
    g_roomExtents[0] = g_roomExtents[1] = 0;
    g_roomExtents[2] = g_roomExtents[3] = 1000;
    entry.untrimmedWidth = 1;
    EXPECT_FALSE(GR_Texture_Draw_Tiled(&entry, 0, 0, 0, 0, 0.0001f, 1, true, true, 0, 0, 0, 0, 0, 1));
    entry.untrimmedWidth = 0;
    EXPECT_FALSE(GR_Texture_Draw_Tiled(&entry, 0, 0, 0, 0, 1, 1, true, false, 0, 0, 0, 0, 0, 1));
    EXPECT_FALSE(GR_Texture_Draw_Tiled(&entry, 0, 0, 0, 0, 0.00001f, 1, true, true, 0, 0, 0, 0, 0, 1));
    Graphics::Flush();
    EXPECT_TRUE(capture.batches.empty());
}

TEST_F(TextureDraw, TiledPageEntryOverARoomComesInBatchSizedRequests) {
    capture.keepVertices = false;
    g_roomExtents[0] = g_roomExtents[1] = 0;
    g_roomExtents[2] = g_roomExtents[3] = 1000;
    ZQTPageEntry tile = {0, 0, 2, 2, 0, 0, 2, 2, 2, 2, static_cast<int16_t>(page)};
    ASSERT_TRUE(GR_Texture_Draw_Tiled(&tile, 0, 0, 0, 0, 1, 1, true, true, 0, 0, 0, 0, 0xFFFFFF, 1));
    Graphics::Flush();
    ASSERT_GT(capture.batches.size(), 1u);
    int64_t total = 0;
    for (const Batch& b : capture.batches) {
        EXPECT_LE(b.count, Graphics::GetMaxDynamicVertexCount());
        EXPECT_EQ(b.count % 6, 0);
        total += b.count;
    }
    EXPECT_EQ(total, int64_t{6} * 502 * 502) << "one tile before and after the room each way";
    g_roomExtents[2] = g_roomExtents[3] = 0;
}

TEST_F(TextureDraw, TiledPageEntryStepsByTheUntrimmedSize) {
    g_roomExtents[0] = g_roomExtents[1] = 0;
    g_roomExtents[2] = 20;
    g_roomExtents[3] = 10;
    // Horizontal only: the row stands at y; columns of 10 from -5.
    ASSERT_TRUE(GR_Texture_Draw_Tiled(&entry, 0, 0, 5, 4, 1, 1, true, false, 0, 0, 0, 0, 0xFFFFFF, 1));
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 6u * 4);
    // Slots: bottom left, top left, top right, top right, bottom right, bottom left.
    ExpectCorner(v[0], -5 + 2, 4 + 3 + 5);
    ExpectCorner(v[1], -5 + 2, 4 + 3);
    ExpectCorner(v[2], -5 + 2 + 6, 4 + 3);
    ExpectCorner(v[6 + 1], 5 + 2, 4 + 3);
    g_roomExtents[2] = g_roomExtents[3] = 0;
}

TEST_F(TextureDraw, ANonFlatActiveCameraTurnsTilingOffInNewGenerationData) {
    g_roomExtents[0] = g_roomExtents[1] = 0;
    g_roomExtents[2] = 20;
    g_roomExtents[3] = 10;
    CCamera* camera = g_CM.CreateCamera();
    zqMatrix perspective;
    zqMatrix::PerspectiveFovLH(&perspective, 1.0f, 1.0f, 1.0f, 100.0f);
    camera->SetProjMat(perspective);
    g_CM.SetActiveCamera(camera->GetID());
    struct Case {
        bool newGeneration;
        size_t quads;
    };
    for (const Case c : {Case{true, 1}, Case{false, 4}}) {
        g_isNimbar = c.newGeneration;
        ASSERT_TRUE(GR_Texture_Draw_Tiled(&entry, 0, 0, 5, 4, 1, 1, true, false, 0, 0, 0, 0, 0xFFFFFF, 1));
        EXPECT_EQ(capture.Drawn().size(), 6u * c.quads) << c.newGeneration;
    }
    g_isNimbar = false;
    g_roomExtents[2] = g_roomExtents[3] = 0;
}

// ---- on Mesa

class PageEntryOnScreen : public GLDeviceTest {
protected:
    std::vector<uint8_t> Pixel(int x, int yFromTop) {
        std::vector<uint8_t> p(4);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
};

TEST_F(PageEntryOnScreen, WriterMadePageEntryDrawsPixelExact) {
    // A 4 × 4 page: the entry is its bottom-right 2 × 2 block (red, green /
    // blue, white), trimmed by one pixel each side of a 4 × 4 image.
    const wad::TexturePagesFields f = TrimmedQuadPages();
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteTexturePages(w, f);
    std::vector<uint8_t> image = w.Build();
    Header_Reset();
    ASSERT_TRUE(GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size()))
        << GameData_LastError();
    ZQTPageEntry* entry = TPageEntry_AtOffset(wad::WordAt(image, wad::ChunkPayload(image, "TPAG") + 4));
    ASSERT_NE(entry, nullptr);

    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    // Scale 4 from (4, 4): the untrimmed image spans 16 pixels, the stored
    // block lands at (8, 8)-(16, 16).
    ASSERT_TRUE(GR_Texture_Draw(entry, 0, 0, 4, 4, 4, 4, 0, 0xFFFFFF, 1));
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(9, 9), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(14, 9), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(9, 14), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(15, 15), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(Pixel(7, 7), (std::vector<uint8_t>{0, 0, 0, 0})) << "the trimmed border stays empty";
    EXPECT_EQ(Pixel(16, 16), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace
