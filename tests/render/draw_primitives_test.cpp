// The 2D shapes and script primitives: the vertices each shape hands the
// batch, captured by a fake device layer at every flush (kind, layout,
// positions, colours), the draw colour and alpha, the circle table, and a
// few shapes drawn on Mesa and probed pixel by pixel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "console_capture.h"
#include "core/error.h"
#include "error_capture.h"
#include "gl_device_fixture.h"
#include "render/colour.h"
#include "render/draw_primitives.h"
#include "render/legacy_3d.h"
#include "render/render_settings.h"
#include "render/render_state.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "world/datafile/options.h"

namespace {

struct Vertex {
    float x, y, z;
    uint32_t colour;
};

struct Draw {
    int kind;
    int format;
    std::vector<Vertex> vertices;
};

// A device layer that keeps the batch's vertices at every flush.
class CaptureLayer final : public GLLayer {
public:
    CaptureLayer() : m_previous(g_pGLLayer), m_wasInitialised(g_GraphicsInitialised) {
        g_pGLLayer = this;
        g_GraphicsInitialised = true;
        g_CurrFBOWidth = 640;
        g_CurrFBOHeight = 360;
        g_WindowHeight = 360;
        g_RenderTargetActive = 1;
    }
    ~CaptureLayer() override {
        g_pGLLayer = m_previous;
        g_GraphicsInitialised = m_wasInitialised;
    }
    void DrawBatch() override {
        if (g_LastPrimType == -1 || g_CurrentVertexCount == 0) return;
        Draw d{g_LastPrimType, g_LastVertexFormat, {}};
        const uint8_t* at = Batch_Vertices();
        for (int i = 0; i < g_CurrentVertexCount; ++i, at += g_LastVertexSize) {
            Vertex v;
            std::memcpy(&v, at, sizeof v);
            d.vertices.push_back(v);
        }
        draws.push_back(d);
    }
    void SetRenderState(int, uint32_t) override {}
    void SetSamplerState(int, int, uint32_t) override {}
    void DrawVertices(int, const void*, int, int) override {}
    void SetViewPort(int x, int y, int w, int h) override {
        viewports.push_back(std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(w) + "x" +
                            std::to_string(h));
    }
    void EnableScissor(bool) override {}
    void Clear(const float*, float, int, int buffers) override { clears.push_back(buffers); }
    void MatricesChanged(int, const float (*)[16]) override {}

    std::vector<Draw> draws;
    std::vector<std::string> viewports;
    std::vector<int> clears;

private:
    GLLayer* m_previous;
    bool m_wasInitialised;
};

class Shapes : public QuietTest {
protected:
    void SetUp() override {
        g_States.Reset();
        g_States.Flush();
        Batch_Empty();
        layer.draws.clear();
        INITIALIZE_Graphics_Draw();
        Draw_Color = 0xFF000000;
    }
    void TearDown() override { Batch_Empty(); }

    // The draws that `shape` hands the device.
    template <typename F>
    std::vector<Draw> Capture(F shape) {
        layer.draws.clear();
        shape();
        Graphics::Flush();
        return layer.draws;
    }

    CaptureLayer layer;
};

struct Expected {
    int kind, format;
    std::vector<std::pair<float, float>> points; // empty: count only
    int count = -1;
};

void ExpectDraws(const std::vector<Draw>& got, const std::vector<Expected>& want, const char* name) {
    ASSERT_EQ(got.size(), want.size()) << name;
    for (size_t d = 0; d < want.size(); ++d) {
        EXPECT_EQ(got[d].kind, want[d].kind) << name << " draw " << d;
        EXPECT_EQ(got[d].format, want[d].format) << name << " draw " << d;
        const size_t n = want[d].count >= 0 ? static_cast<size_t>(want[d].count) : want[d].points.size();
        ASSERT_EQ(got[d].vertices.size(), n) << name << " draw " << d;
        for (size_t i = 0; i < want[d].points.size(); ++i) {
            EXPECT_NEAR(got[d].vertices[i].x, want[d].points[i].first, 1e-4f)
                << name << " draw " << d << " v" << i;
            EXPECT_NEAR(got[d].vertices[i].y, want[d].points[i].second, 1e-4f)
                << name << " draw " << d << " v" << i;
        }
    }
}

TEST_F(Shapes, VerticesOfEveryShape) {
    struct Case {
        const char* name;
        void (*shape)();
        std::vector<Expected> draws;
    };
    const Case cases[] = {
        {"point", [] { ZQVTL_draw_point(10, 20); }, {{1, 16, {{10.01f, 20.01f}}}}},
        {"line", [] { GR_Draw_Line(0, 0, 10, 5); }, {{2, 16, {{0.01f, 0.01f}, {10.01f, 5.01f}}}}},
        {"wide line",
         [] { GR_Draw_Line_Width(0, 0, 10, 0, 2); },
         {{6, 16, {{0.01f, 1.01f}, {10.01f, 1.01f}, {10.01f, -0.99f}, {0.01f, -0.99f}}}}},
        {"zero-length wide line", [] { GR_Draw_Line_Width(3, 3, 3, 3, 2); }, {}},
        {"zero-length coloured wide line", [] { GR_Draw_Line_Width_Ext(3, 3, 3, 3, 2, 0xFF, 0xFF00); }, {}},
        {"filled rectangle reaches a pixel further",
         [] { ZQVTL_draw_rectangle(20, 20, 10, 10, false); },
         {{4, 24, {{10, 10}, {21, 10}, {21, 21}, {21, 21}, {10, 21}, {10, 10}}}}},
        {"rectangle outline and its corner points",
         [] { ZQVTL_draw_rectangle(10, 10, 20, 20, true); },
         {{3, 24, {{10.01f, 10.01f}, {20.01f, 10.01f}, {20.01f, 20.01f}, {10.01f, 20.01f}, {10.01f, 10.01f}}},
          {1, 24, {{10.01f, 10.01f}, {20.01f, 10.01f}, {20.01f, 20.01f}, {10.01f, 20.01f}}}}},
        {"cornered rectangle moves a whole far edge",
         [] { GR_Draw_Rectangle_Ext(10, 10, 19, 19.5f, 1, 2, 3, 4, false); },
         {{6, 24, {{10, 10}, {20.01f, 10}, {20.01f, 20.5f}, {10, 20.5f}, {10, 10}}}}},
        {"cornered rectangle outline",
         [] { GR_Draw_Rectangle_Ext(10, 10, 20, 20, 1, 2, 3, 4, true); },
         {{3,
           24,
           {{10.01f, 10.01f}, {20.01f, 10.01f}, {20.01f, 20.01f}, {10.01f, 20.01f}, {10.01f, 10.01f}}}}},
        {"filled triangle",
         [] { GR_Draw_Triangle(0, 0, 10, 0, 0, 10, false); },
         {{4, 24, {{0.01f, 0.01f}, {10.01f, 0.01f}, {0.01f, 10.01f}}}}},
        {"triangle outline closes on its first point",
         [] { GR_Draw_Triangle(0, 0, 10, 0, 0, 10, true); },
         {{3, 24, {{0.01f, 0.01f}, {10.01f, 0.01f}, {0.01f, 10.01f}, {0.01f, 0.01f}}}}},
        {"circle outline without pixel offset",
         [] {
             GR_Draw_Circle_Precision(4);
             GR_Draw_Circle(0, 0, 10, true);
         },
         {{3, 16, {{10, 0}, {0, 10}, {-10, 0}, {0, -10}, {10, 0}}}}},
        {"filled ellipse fans out from the centre",
         [] {
             GR_Draw_Circle_Precision(4);
             GR_Draw_Ellipse(0, 0, 20, 10, false);
         },
         {{4, 16, {{10, 5}, {20, 5}, {10, 10}, {10, 5}, {10, 10}, {0, 5}}, 12}}},
        {"default circle has 24 steps", [] { GR_Draw_Circle(0, 0, 5, false); }, {{4, 16, {}, 72}}},
        {"arrow",
         [] { GR_Draw_Arrow(0, 0, 10, 0, 3); },
         {{2, 16, {{0.01f, 0.01f}, {10.01f, 0.01f}}},
          {4, 24, {{7.01f, 1.01f}, {10.01f, 0.01f}, {7.01f, -0.99f}}}}},
        {"zero-length arrow", [] { GR_Draw_Arrow(4, 4, 4, 4, 3); }, {}},
        {"rounded rectangle",
         [] {
             GR_Draw_Circle_Precision(4);
             GR_Draw_RoundRect(0, 0, 20.5f, 10.5f, 4, 2, false);
         },
         // w 20.5, h 10.5, mx 16.5, my 8.5; quarter arcs of radius 2 and 1
         {{6,
           24,
           {{10.25f, 5.25f},
            {20.5f, 9.5f},
            {18.5f, 10.5f},
            {2, 10.5f},
            {0, 9.5f},
            {0, 1},
            {2, 0},
            {18.5f, 0},
            {20.5f, 1},
            {20.5f, 9.5f}}}}},
        {"button: two bevel triangles and the face",
         [] { GR_Draw_Button(0, 0, 10, 10, true); },
         {{4,
           24,
           {{0.01f, 0.01f},
            {10.01f, 0.01f},
            {0.01f, 10.01f},
            {0.01f, 10.01f},
            {10.01f, 0.01f},
            {10.01f, 10.01f},
            {2, 2},
            {9, 2},
            {9, 9},
            {9, 9},
            {2, 9},
            {2, 2}}}}},
    };
    for (const Case& c : cases) {
        ExpectDraws(Capture(c.shape), c.draws, c.name);
        INITIALIZE_Graphics_Draw();
    }
}

TEST_F(Shapes, ColoursTakeTheDrawColourOrTheirOwnWithTheDrawAlpha) {
    ZQVTL_draw_set_colour(0x112233);
    ZQVTL_draw_set_alpha(0.5f);
    EXPECT_EQ(Draw_Color, 0x7F112233u);
    std::vector<Draw> d = Capture([] { GR_Draw_Line_Ext(0, 0, 1, 1, 0xAABBCC, 0x010203); });
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].vertices[0].colour, 0x7FAABBCCu);
    EXPECT_EQ(d[0].vertices[1].colour, 0x7F010203u);

    d = Capture([] { GR_Draw_Circle_Ext(0, 0, 4, 0x0000FF, 0x00FF00, false); });
    EXPECT_EQ(d[0].vertices[0].colour, 0x7F0000FFu) << "centre";
    EXPECT_EQ(d[0].vertices[1].colour, 0x7F00FF00u) << "edge";

    d = Capture([] { GR_Draw_Triangle_Ext(0, 0, 1, 0, 0, 1, 1, 2, 3, true); });
    EXPECT_EQ(d[0].vertices[3].colour, 0x7F000001u) << "the closing vertex takes the first colour";

    d = Capture([] { GR_Draw_Button(0, 0, 10, 10, false); });
    EXPECT_EQ(d[0].vertices[0].colour, 0x7F808080u) << "pressed: grey top-left";
    EXPECT_EQ(d[0].vertices[3].colour, 0x7FFFFFFFu);
    EXPECT_EQ(d[0].vertices[6].colour, Draw_Color);

    GR_3DMode = true;
    GR_3D_Set_Depth(-7);
    d = Capture([] { ZQVTL_draw_point(1, 1); });
    EXPECT_EQ(d[0].vertices[0].z, -7.0f) << "vertices lie at the drawing depth";
    GR_3DMode = false;
}

TEST_F(Shapes, ColourAndAlphaAccessors) {
    GR_Draw_Set_Color4(255, 0, 0, 1);
    EXPECT_EQ(Draw_Color, 0xFFFF0000u);
    EXPECT_EQ(GR_Draw_Get_Color_Red(), 255);
    EXPECT_EQ(GR_Draw_Get_Color_Blue(), 0);
    GR_Draw_Set_Color3(1, 2, 3);
    EXPECT_EQ(GR_Draw_Get_D3DColor(), 0xFF010203u);
    EXPECT_EQ(GR_Draw_Create_Color(0x1FF, 2, 3), 0x0302FFu);
    struct {
        float given;
        int alpha;
    } alphas[] = {{-1, 0}, {0.5f, 127}, {2, 255}, {std::nanf(""), 0}};
    for (const auto& a : alphas) {
        ZQVTL_draw_set_alpha(a.given);
        EXPECT_EQ(Draw_Alpha, a.alpha) << a.given;
        EXPECT_EQ(Draw_Color >> 24, static_cast<uint32_t>(a.alpha));
        EXPECT_FLOAT_EQ(GR_Draw_Get_Alpha(), static_cast<float>(a.alpha) / 255.0f);
    }
    g_InitialDrawColor = 0x80FFFFFF;
    Draw_SetInitialColour();
    EXPECT_EQ(GR_Draw_Get_Color(), 0x80FFFFFFu);
}

TEST_F(Shapes, CirclePrecisionIsBoundedAndAMultipleOfFour) {
    const int cases[][2] = {{2, 4}, {-100000, 4}, {30, 28}, {64, 64}, {100, 64}, {2147483647, 64}, {24, 24}};
    for (const auto& c : cases) {
        GR_Draw_Circle_Precision(c[0]);
        EXPECT_EQ(g_circle_steps, c[1]) << c[0];
        EXPECT_NEAR(g_circle_cos[g_circle_steps], 1.0f, 1e-5f);
        EXPECT_NEAR(g_circle_sin[g_circle_steps / 4], 1.0f, 1e-5f);
    }
}

TEST_F(Shapes, HealthBarMergesTowardsTheFullColourAndGrowsFromItsSide) {
    const uint32_t red = 0x0000FF, green = 0x00FF00;
    const uint32_t mid = GR_Color_Merge(red, green, 0.5f);
    std::vector<Draw> d =
        Capture([&] { GR_Draw_Healthbar(0, 0, 100, 10, 75, 0x333333, red, mid, green, 0, false, false); });
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].vertices[0].colour, 0xFF000000u | GR_Color_Merge(mid, green, 0.5f));
    EXPECT_NEAR(d[0].vertices[1].x, 76.01f, 1e-3f) << "three quarters from the left, plus the pixel";

    d = Capture([&] { GR_Draw_Healthbar(0, 0, 100, 10, 25, 0x333333, red, mid, green, 1, true, true); });
    ASSERT_EQ(d.size(), 4u) << "back, its border, the bar, its border";
    EXPECT_EQ(d[0].vertices[0].colour, 0xFF333333u);
    EXPECT_EQ(d[1].vertices[0].colour, 0xFF000000u);
    EXPECT_NEAR(d[2].vertices[0].x, 75.0f, 1e-3f) << "a quarter from the right";

    d = Capture([&] { GR_Draw_Healthbar(0, 0, 100, 10, 0, 0, red, mid, green, 0, false, true); });
    EXPECT_TRUE(d.empty()) << "an empty bar draws nothing";
    d = Capture([&] { GR_Draw_Healthbar(0, 0, 100, 10, 1e9f, 0, red, mid, green, 2, false, false); });
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NEAR(d[0].vertices[2].y, 11.01f, 1e-3f) << "clamped to full";
}

TEST_F(Shapes, ScriptPrimitivesAppendTheirWholePrimitives) {
    struct Case {
        int kind, vertices, drawn;
    } cases[] = {
        {1, 3, 3}, {2, 5, 4}, {3, 1, 0}, {3, 2, 2}, {4, 5, 3}, {4, 2, 0},
        {5, 4, 4}, {6, 2, 0}, {6, 3, 3}, {7, 6, 0}, {0, 6, 0},
    };
    for (const Case& c : cases) {
        std::vector<Draw> d = Capture([&] {
            GR_Draw_Primitive_Begin(c.kind, -1);
            for (int i = 0; i < c.vertices; ++i) GR_Draw_Vertex(static_cast<float>(i), 0);
            GR_Draw_Primitive_End();
        });
        const size_t drawn = d.empty() ? 0 : d[0].vertices.size();
        EXPECT_EQ(drawn, static_cast<size_t>(c.drawn)) << "kind " << c.kind << " of " << c.vertices;
        if (!d.empty()) {
            EXPECT_EQ(d[0].format, 24);
        }
    }
}

TEST_F(Shapes, ScriptPrimitiveKeepsAtMost1001Vertices) {
    ZQVTL_draw_set_colour(0x00FF00);
    std::vector<Draw> d = Capture([] {
        GR_Draw_Primitive_Begin(1, -1);
        for (int i = 0; i < 1002; ++i) GR_Draw_Vertex(static_cast<float>(i), 1);
        GR_Draw_Vertex_Color(5000, 5000, 0xFF, 1);
        GR_Draw_Primitive_End();
    });
    ASSERT_EQ(d.size(), 1u);
    ASSERT_EQ(d[0].vertices.size(), static_cast<size_t>(kPrimitiveMaxVertices));
    EXPECT_EQ(d[0].vertices.back().x, 1000.0f) << "the 1002nd vertex and later are dropped";
    EXPECT_EQ(d[0].vertices[0].colour, 0xFF00FF00u);

    d = Capture([] {
        GR_Draw_Primitive_Begin(2, -1);
        GR_Draw_Vertex_Color(0, 0, 0x0000FF, 0.5f);
        GR_Draw_Vertex_Texture_Color(1, 1, 0.25f, 0.75f, 0x00FF00, 2);
        GR_Draw_Primitive_End();
    });
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].vertices[0].colour, 0x7F0000FFu);
    EXPECT_EQ(d[0].vertices[1].colour, 0xFF00FF00u);
}

TEST_F(Shapes, AnUnknownTextureIsReportedAndDrawsUntextured) {
    ErrorCapture errors;
    GR_Draw_Primitive_Begin(4, 5000);
    EXPECT_TRUE(errors.ShownContains("Illegal texture supplied.")) << errors.LastShown();
    // Any number is safe: none is taken as an address.
    for (long handle : {-2L, 0x4001L, 0x40000000L, 0x7FFFFFFFFFFFL}) {
        errors.Clear();
        aborterror = false; // the report is fatal; later ones would be ignored
        GR_Draw_Primitive_Begin(4, handle);
        EXPECT_TRUE(errors.ShownContains("Illegal texture supplied.")) << handle;
    }
    errors.Clear();
    GR_Draw_Primitive_Begin(4, -1);
    EXPECT_EQ(errors.Shown().size(), 0u) << "-1 is no texture";
    std::vector<Draw> d = Capture([] {
        GR_Draw_Vertex_Texture(0, 0, 0.5f, 0.5f);
        GR_Draw_Vertex(1, 0);
        GR_Draw_Vertex(0, 1);
        GR_Draw_Primitive_End();
    });
    ASSERT_EQ(d.size(), 1u);
}

TEST_F(Shapes, ClearCoversColourDepthAndStencil) {
    GR_Draw_Clear_Alpha(0x102030, 0.5f);
    ASSERT_EQ(layer.clears.size(), 1u);
    EXPECT_EQ(layer.clears[0], eClear_Colour | eClear_DepthStencil);
}

// Shapes drawn on Mesa: probed pixels show the fill rules.
class ShapePixels : public GLDeviceTest {
protected:
    std::vector<uint8_t> Pixel(int x, int yFromTop) {
        std::vector<uint8_t> p(4);
        glReadPixels(x, kSize - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
        return p;
    }
    const std::vector<uint8_t> black{0, 0, 0, 255}, red{255, 0, 0, 255}, green{0, 255, 0, 255},
        blue{0, 0, 255, 255};
};

TEST_F(ShapePixels, RectangleCircleAndLine) {
    // The white texture as the texture table holds it: an entry whose first
    // field is the GPU texture.
    const uint32_t white = 0xFFFFFFFF;
    Texture* entry[1] = {Graphics::CreateTextureFromData(reinterpret_cast<const uint8_t*>(&white), 1, 1,
                                                         nullptr, eTextureFormat_A8R8G8B8)};
    g_SolidWhiteTexturePtr = entry;
    INITIALIZE_Graphics_Draw();
    GR_D3D_Start_Frame();
    GR_Draw_Clear_Alpha(0, 1);
    ZQVTL_draw_set_alpha(1);
    ZQVTL_draw_set_colour(0x0000FF);
    ZQVTL_draw_rectangle(4, 4, 11, 11, false);
    ZQVTL_draw_set_colour(0x00FF00);
    GR_Draw_Circle(22, 22, 6, false);
    ZQVTL_draw_set_colour(0xFF0000);
    GR_Draw_Line(2, 28, 30, 28);
    // A script primitive without a texture, in its vertices' own colour.
    GR_Draw_Primitive_Begin(4, -1);
    GR_Draw_Vertex_Color(20, 2, 0x00FFFF, 1);
    GR_Draw_Vertex_Color(30, 2, 0x00FFFF, 1);
    GR_Draw_Vertex_Color(20, 12, 0x00FFFF, 1);
    GR_Draw_Primitive_End();
    GR_D3D_Finish_Frame(true);

    // The filled rectangle covers its last row and column, and no more.
    EXPECT_EQ(Pixel(4, 4), red);
    EXPECT_EQ(Pixel(11, 11), red);
    EXPECT_EQ(Pixel(12, 8), black);
    EXPECT_EQ(Pixel(8, 12), black);
    EXPECT_EQ(Pixel(3, 8), black);
    EXPECT_EQ(Pixel(22, 22), green);
    EXPECT_EQ(Pixel(26, 22), green);
    EXPECT_EQ(Pixel(17, 17), black) << "outside the circle's corner";
    EXPECT_EQ(Pixel(15, 28), blue);
    EXPECT_EQ(Pixel(15, 27), black);
    EXPECT_EQ(Pixel(15, 29), black);
    EXPECT_EQ(Pixel(21, 3), (std::vector<uint8_t>{255, 255, 0, 255}));
    EXPECT_EQ(Pixel(29, 11), black);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    g_SolidWhiteTexturePtr = nullptr;
}

} // namespace
