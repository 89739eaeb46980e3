// Sprite drawing: the vertices each form appends (captured from the batch as
// it is flushed), frame wrapping, culling and its exceptions, the sprite's own
// textures and trimmed entries, and a writer-made sprite drawn on Mesa and
// read back pixel-exact.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "batch_capture.h"
#include "console_capture.h"
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
#include "render/render_settings.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "sprite_chunk.h"
#include "sprite_fixture.h"
#include "texture_chunks.h"
#include "world/datafile/game_file.h"
#include "world/datafile/game_header.h"

namespace {

float MinX(const std::vector<V24>& v) {
    float m = v[0].x;
    for (const V24& p : v) m = std::fmin(m, p.x);
    return m;
}
float MaxX(const std::vector<V24>& v) {
    float m = v[0].x;
    for (const V24& p : v) m = std::fmax(m, p.x);
    return m;
}
float MinY(const std::vector<V24>& v) {
    float m = v[0].y;
    for (const V24& p : v) m = std::fmin(m, p.y);
    return m;
}
float MaxY(const std::vector<V24>& v) {
    float m = v[0].y;
    for (const V24& p : v) m = std::fmax(m, p.y);
    return m;
}

// A run-time sprite of four 8 × 6 frames, each opaque only in a 4 × 2 block
// at (2, 3), with its own textures and local entries; origin (1, 1).
class SpriteDraw : public QuietTest {
protected:
    void SetUp() override {
        QuietTest::SetUp();
        Batch_Empty();
        sprite.m_width = 8;
        sprite.m_height = 6;
        sprite.m_numb = 4;
        sprite.m_xorigin = sprite.m_yorigin = 1;
        for (int f = 0; f < 4; ++f)
            sprite.m_bitmaps.push_back(MakeFrame(8, 6, [](int x, int y) {
                return x >= 2 && x < 6 && y >= 3 && y < 5 ? 0xFFFFFFFFu : 0x00FFFFFFu;
            }));
        sprite.ComputeCullRadius();
        sprite.InitTexture();
        sprite.InitLocalTPE();
        g_transRoomExtents[0] = g_transRoomExtents[1] = 0;
        g_transRoomExtents[2] = g_transRoomExtents[3] = 100;
        g_transRoomExtentsDirty = false;
    }
    void TearDown() override {
        g_transRoomExtents[2] = g_transRoomExtents[3] = 0;
        CSprite::ms_ignoreCull = false;
        GR_3DMode = false;
        g_isNimbar = false;
        QuietTest::TearDown();
    }
    Texture* FrameTexture(int f) { return GR_Texture_Get_Surface(sprite.m_textures[static_cast<size_t>(f)]); }

    CSprite sprite;
    BatchCapture capture;
};

TEST_F(SpriteDraw, OwnTexturesAndWholeBitmapEntries) {
    ASSERT_EQ(sprite.m_textures.size(), 4u);
    ASSERT_EQ(sprite.m_localEntries.size(), 4u);
    const ZQTPageEntry& e = *sprite.m_localEntries[2];
    EXPECT_EQ(e.page, sprite.m_textures[2]);
    EXPECT_EQ(e.width, 8);
    EXPECT_EQ(e.cropHeight, 6);
    EXPECT_EQ(e.untrimmedWidth, 8);
    EXPECT_EQ(sprite.GetTexture(-1), sprite.m_textures[3]) << "frames wrap";
    EXPECT_EQ(sprite.GetTexture(9), sprite.m_textures[1]);
    EXPECT_NE(TPageEntry_Handle(&e), -1) << "local entries are nameable by scripts";
    const SBoundingBox box = sprite.GetBoundingBoxImg(1);
    EXPECT_EQ(box.right, 8) << "the entry's stored rectangle, exclusive";
    EXPECT_EQ(sprite.GetBoundingBoxImg(4).right, 0) << "frame out of range";

    sprite.FreeTexture();
    EXPECT_EQ(sprite.m_textures[0], -1);
    sprite.Clear();
    EXPECT_TRUE(sprite.m_localEntries.empty());
    EXPECT_EQ(sprite.GetTexture(0), -1);
}

TEST_F(SpriteDraw, AutomaticMaskTrimsOwnedEntriesToTheVisiblePixels) {
    for (int pass = 0; pass < 2; ++pass) {
        sprite.ComputeMask(true, SPRITE_BBOX_AUTOMATIC, SBoundingBox{}, SPRITE_MASK_PRECISE, 0);
        const ZQTPageEntry& e = *sprite.m_localEntries[0];
        EXPECT_EQ(e.x, 2);
        EXPECT_EQ(e.xOffset, 2);
        EXPECT_EQ(e.y, 3);
        EXPECT_EQ(e.cropWidth, 4);
        EXPECT_EQ(e.height, 2);
        EXPECT_EQ(e.untrimmedWidth, 8) << "pass " << pass;
    }
    // The quad covers the 4 × 2 visible block only: frame (2, 3)-(6, 5)
    // less the origin, scaled by 2, from (50, 40).
    sprite.Draw(0, 50, 40, 2, 2, 0, 0xFFFFFF, 1);
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 6u);
    EXPECT_FLOAT_EQ(MinX(v), 52);
    EXPECT_FLOAT_EQ(MaxX(v), 60);
    EXPECT_FLOAT_EQ(MinY(v), 44);
    EXPECT_FLOAT_EQ(MaxY(v), 48);
    EXPECT_FLOAT_EQ(v[0].u, 2.0f / 8) << "texels from the visible block";
}

TEST_F(SpriteDraw, EachFormDrawsItsFrame) {
    sprite.Draw(-1, 50, 50, 1, 1, 90, 0x0000FF, 0.5f);
    sprite.DrawSimple(9, 50, 50);
    sprite.DrawStretched(2, 10, 10, 16, 12, 0xFFFFFF, 1);
    sprite.DrawPos(0, 0, 0, 10, 0, 10, 10, 0, 10, 0xFFFFFF, 1);
    sprite.DrawPart(1, 0, 0, 4, 4, 20, 20, 1, 1, 0xFFFFFF, 1);
    sprite.DrawGeneral(2, 0, 0, 8, 6, 20, 20, 1, 1, 0, 1, 2, 3, 4, 1);
    sprite.DrawTiled(3, 5, 5, 1, 1, false, false, 0, 0, 0, 0, 0xFFFFFF, 1);
    const std::vector<V24> v = capture.Drawn();
    ASSERT_EQ(v.size(), 42u);
    const int frames[7] = {3, 1, 2, 0, 1, 2, 3};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(capture.textures[static_cast<size_t>(6 * i)], FrameTexture(frames[i])) << i;
    EXPECT_EQ(v[0].colour, 0x7F0000FFu);
    // Draw: turned 90° counter-clockwise about the origin: the top-left
    // corner's offset (-1, -1) becomes (-1, 1).
    EXPECT_NEAR(v[0].x, 49, 1e-4);
    EXPECT_NEAR(v[0].y, 51, 1e-4);
    // DrawSimple: the untrimmed top left at the position less the origin.
    EXPECT_FLOAT_EQ(v[6].x, 49);
    EXPECT_FLOAT_EQ(v[6].y, 49);
    // DrawStretched: origin ignored, 8 × 6 stretched to 16 × 12.
    EXPECT_FLOAT_EQ(MinX({v.begin() + 12, v.begin() + 18}), 10);
    EXPECT_FLOAT_EQ(MaxY({v.begin() + 12, v.begin() + 18}), 22);
    // DrawGeneral: one colour per corner.
    EXPECT_EQ(v[30].colour & 0xFFFFFF, 1u);
}

TEST_F(SpriteDraw, CullingByRadiusAndItsExceptions) {
    // Radius: origin (1, 1) to corner (8, 6) is sqrt(74), rounded up to 9.
    ASSERT_EQ(sprite.m_cullRadius, 9);
    struct Case {
        float x;
        float scale;
        bool drawn;
    };
    for (const Case c : {Case{108, 1, true}, Case{110, 1, false}, Case{117, 2, true}, Case{-10, -2, true},
                         Case{-20, 1, false}}) {
        sprite.Draw(0, c.x, 50, c.scale, 1, 0, 0xFFFFFF, 1);
        EXPECT_EQ(capture.Drawn().size(), c.drawn ? 6u : 0u) << c.x << " scale " << c.scale;
    }
    sprite.DrawSimple(0, 110, 50);
    sprite.DrawGeneral(0, 0, 0, 8, 6, 110, 50, 1, 1, 0, 0, 0, 0, 0, 1);
    EXPECT_TRUE(capture.Drawn().empty());
    sprite.DrawStretched(0, 500, 500, 4, 4, 0xFFFFFF, 1);
    EXPECT_EQ(capture.Drawn().size(), 6u) << "only Draw, DrawSimple and DrawGeneral cull";

    CSprite::ms_ignoreCull = true;
    sprite.DrawSimple(0, 500, 500);
    CSprite::ms_ignoreCull = false;
    GR_3DMode = true;
    sprite.Draw(0, 500, 500, 1, 1, 0, 0xFFFFFF, 1);
    sprite.DrawSimple(0, 500, 500); // 3D mode exempts Draw only
    GR_3DMode = false;
    EXPECT_EQ(capture.Drawn().size(), 12u);

    CCamera* camera = g_CM.CreateCamera();
    zqMatrix perspective;
    zqMatrix::PerspectiveFovLH(&perspective, 1.0f, 1.0f, 1.0f, 100.0f);
    camera->SetProjMat(perspective);
    g_CM.SetActiveCamera(camera->GetID());
    for (const bool newGeneration : {false, true}) {
        g_isNimbar = newGeneration;
        sprite.Draw(0, 500, 500, 1, 1, 0, 0xFFFFFF, 1);
        EXPECT_EQ(capture.Drawn().size(), newGeneration ? 6u : 0u);
    }
}

TEST_F(SpriteDraw, NothingToDraw) {
    sprite.DrawStretched(0, 0, 0, 0, 10, 0xFFFFFF, 1);
    CSprite empty;
    empty.Draw(0, 10, 10, 1, 1, 0, 0xFFFFFF, 1);
    CSprite vector;
    vector.m_kind = SPRITE_KIND_VECTOR;
    vector.m_numb = 1;
    vector.DrawPart(0, 0, 0, 1, 1, 0, 0, 1, 1, 0xFFFFFF, 1);
    vector.Draw(0, 10, 10, 1, 1, 0, 0xFFFFFF, 1);
    EXPECT_TRUE(capture.Drawn().empty());
    EXPECT_EQ(vector.GetTexture(0), -1);
    EXPECT_EQ(std::string(console.Text()).find("Error attempting"), std::string::npos)
        << "a vector sprite is not a failure";

    sprite.m_name = "spr_gone";
    sprite.FreeTexture(); // entries now name a texture that no longer exists
    sprite.Draw(0, 10, 10, 1, 1, 0, 0xFFFFFF, 1);
    EXPECT_NE(std::string(console.Text()).find("Error attempting to draw sprite spr_gone\n"),
              std::string::npos);
}

TEST(SpriteWrap, FwrapWrapsIntoTheRange) {
    EXPECT_FLOAT_EQ(fwrap(-1, 4), 3);
    EXPECT_FLOAT_EQ(fwrap(5, 0), 5);
    EXPECT_FLOAT_EQ(fwrap(9.5f, 4), 1.5f);
}

// ---- on Mesa

class SpriteOnScreen : public GLDeviceTest {
protected:
    std::vector<uint8_t> Pixel(int x, int yFromTop) {
        std::vector<uint8_t> p(4);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
    void TearDown() override {
        g_transRoomExtents[2] = g_transRoomExtents[3] = 0;
        GLDeviceTest::TearDown();
    }
};

TEST_F(SpriteOnScreen, WriterMadeSpriteDrawsPixelExact) {
    // A 4 × 4 page whose bottom-right 2 × 2 block (red, green / blue, white)
    // is the sprite's one frame, trimmed by one pixel each side of 4 × 4.
    const wad::TexturePagesFields f = TrimmedQuadPages();
    wad::SpriteFields s;
    s.width = s.height = 4;
    s.xorigin = s.yorigin = 2;
    s.pageEntries = {wad::PageEntryLabel("TPAG", 0)};
    wad::GameDataWriter w;
    wad::WriteHeader(w, wad::HeaderFields{});
    wad::WriteTexturePages(w, f);
    wad::WriteSprites(w, {s});
    std::vector<uint8_t> image = w.Build();
    Header_Reset();
    ASSERT_TRUE(GetResolution(image.data(), image.size()) && LoadGameData(image.data(), image.size()))
        << GameData_LastError();
    const size_t chunk = wad::ChunkPayload(image, "SPRT");
    ImageReader record(image.data(), image.size(), chunk, chunk + wad::WordAt(image, chunk - 4), "SPRT");
    record = record.At(wad::WordAt(image, chunk + 4));
    CSprite sprite;
    sprite.LoadFromChunk(record);
    ASSERT_EQ(sprite.m_numb, 1);
    EXPECT_EQ(sprite.GetTexture(0), TPageEntry_Handle(sprite.GetPageEntry(0)));
    EXPECT_EQ(sprite.GetBoundingBoxImg(0).left, 1);
    EXPECT_EQ(sprite.GetBoundingBoxImg(0).right, 3);

    g_transRoomExtents[2] = g_transRoomExtents[3] = kSize;
    g_transRoomExtentsDirty = false;
    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    // Scale 4 about the origin (2, 2) at (12, 12): the stored block, frame
    // (1, 1)-(3, 3), lands at (8, 8)-(16, 16).
    sprite.Draw(0, 12, 12, 4, 4, 0, 0xFFFFFF, 1);
    GR_D3D_Finish_Frame(true);
    EXPECT_EQ(Pixel(9, 9), (std::vector<uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(Pixel(14, 9), (std::vector<uint8_t>{0, 255, 0, 255}));
    EXPECT_EQ(Pixel(9, 14), (std::vector<uint8_t>{0, 0, 255, 255}));
    EXPECT_EQ(Pixel(15, 15), (std::vector<uint8_t>{255, 255, 255, 255}));
    EXPECT_EQ(Pixel(7, 7), (std::vector<uint8_t>{0, 0, 0, 0})) << "the trimmed border stays empty";
    EXPECT_EQ(Pixel(16, 16), (std::vector<uint8_t>{0, 0, 0, 0}));
}

} // namespace
