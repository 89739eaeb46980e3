// The graphics device on a headless Mesa context: the probe, frame brackets,
// the region and the named render settings.
#include <cstring>
#include <string>

#include "gl_device_fixture.h"
#include "render/render_settings.h"
#include "render/view.h"
#include "world/step/step_services.h"

namespace {

using GraphicsDevice = GLDeviceTest;

TEST(GLVersionStrings, DesktopAndESStringsBothParse) {
    struct Case {
        const char* text;
        bool ok;
        int major, minor;
    } cases[] = {
        {"4.5 (Compatibility Profile) Mesa 22.3.6", true, 4, 5},
        {"2.1 Mesa 22.3.6", true, 2, 1},
        {"OpenGL ES 3.2 Mesa 22.3.6", true, 3, 2},
        {"OpenGL ES-CM 1.1", true, 1, 1},
        {"OpenGL ES 2.0", true, 2, 0},
        {"no digits", false, 0, 0},
        {"", false, 0, 0},
    };
    for (const Case& c : cases) {
        int major = 0, minor = 0;
        EXPECT_EQ(Graphics::ParseGLVersion(c.text, &major, &minor), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(major, c.major) << c.text;
            EXPECT_EQ(minor, c.minor) << c.text;
        }
    }
    EXPECT_FALSE(Graphics::ParseGLVersion(nullptr, nullptr, nullptr));
}

TEST(GLExtensions, WholeNamesOnly) {
    const char* list = "GL_ARB_a GL_OES_depth24_extra GL_OES_texture_npot";
    EXPECT_TRUE(Graphics::HasExtension(list, "GL_ARB_a"));
    EXPECT_TRUE(Graphics::HasExtension(list, "GL_OES_texture_npot"));
    EXPECT_FALSE(Graphics::HasExtension(list, "GL_OES_depth24"));
    EXPECT_FALSE(Graphics::HasExtension(list, "GL_ARB"));
    EXPECT_FALSE(Graphics::HasExtension(nullptr, "GL_ARB_a"));
    EXPECT_FALSE(Graphics::HasExtension(list, nullptr));
}

TEST_F(GraphicsDevice, ProbeReportsMesasRealVersion) {
    int major = 0, minor = 0;
    const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_TRUE(Graphics::ParseGLVersion(version, &major, &minor)) << version;
    EXPECT_EQ(g_GLVersionMajor, major) << version;
    EXPECT_EQ(g_GLVersionMinor, minor) << version;
    EXPECT_GE(g_GLVersionMajor, 2);
    EXPECT_TRUE(Graphics::CheckGLVersion(2, 0));
    EXPECT_FALSE(Graphics::CheckGLVersion(g_GLVersionMajor + 1, 0));
    EXPECT_TRUE(g_SupportVBOs);
    EXPECT_TRUE(g_SupportNPOT);
    EXPECT_FALSE(g_IsGLES);
    EXPECT_GE(MAX_TEXTURE_SIZE, 2048);
    ASSERT_NE(g_GLSLVersionString, nullptr);
    EXPECT_STRNE(g_GLSLVersionString, "0");
    EXPECT_NE(std::strstr(console.Text(), "OpenGL: version string"), nullptr);
    EXPECT_EQ(DisplayColorDepth(), 32);
}

TEST_F(GraphicsDevice, OpeningLeavesTheDeviceReady) {
    EXPECT_TRUE(g_GraphicsInitialised);
    EXPECT_TRUE(Graphics_Ready());
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(glIsEnabled(GL_DITHER));
    // The start-up settings were flushed: blending on, default factors.
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    ASSERT_NE(g_pBlankTexture, nullptr);
    EXPECT_EQ(g_pBlankTexture->width, 16);
    EXPECT_NE(g_pBlankTexture->textureID, -1);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSize);
    EXPECT_EQ(viewport[3], kSize);
}

TEST_F(GraphicsDevice, FramesBeginOnceAndFinishWithOrWithoutFlip) {
    const int scenes = g_SceneBegin;
    const uint8_t toggle = FrameToggle;
    EXPECT_TRUE(GR_D3D_Start_Frame());
    EXPECT_TRUE(GR_D3D_Start_Frame()); // a second begin while open counts nothing
    EXPECT_EQ(g_SceneBegin, scenes + 1);
    EXPECT_NE(FrameToggle, toggle);
    EXPECT_EQ(begin_end, 1);
    EXPECT_TRUE(GR_D3D_Finish_Frame(false));
    EXPECT_EQ(begin_end, 0);
    EXPECT_FALSE(g_fFlip);
    Graphics::SceneEnd(); // nothing open: nothing happens
    EXPECT_EQ(begin_end, 0);
    EXPECT_TRUE(GR_D3D_Start_Frame());
    EXPECT_TRUE(GR_D3D_Finish_Frame(true));
    EXPECT_TRUE(g_fFlip);
    EXPECT_EQ(g_CurrActiveTexture, 0);
}

TEST_F(GraphicsDevice, ClearReachesTheFramebuffer) {
    Graphics::Clear(0x0000FF, 1.0f, 0, eClear_Colour); // red in 0xBBGGRR
    unsigned char pixel[4] = {};
    glReadPixels(5, 5, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 255);
    EXPECT_EQ(pixel[1], 0);
    EXPECT_EQ(pixel[2], 0);
}

TEST_F(GraphicsDevice, RegionIsClampedToTheDisplay) {
    GR_D3D_Set_Region(1000, 20);
    int w = 0, h = 0;
    GR_D3D_Get_Region(w, h);
    EXPECT_EQ(w, kSize);
    EXPECT_EQ(h, 20);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[3], 20);
}

TEST(GraphicsDeviceClosed, FramesBeforeOpeningDoNothing) {
    ASSERT_FALSE(g_GraphicsInitialised);
    EXPECT_FALSE(GR_D3D_Start_Frame());
    EXPECT_FALSE(GR_D3D_Finish_Frame(true));
    EXPECT_EQ(begin_end, 0);
}

// The named settings write the state cache; read them back from it.
class RenderSettings : public GLDeviceTest {};

TEST_F(RenderSettings, BlendModesAndTheirAlphaPair) {
    struct Case {
        int mode;
        uint32_t src, dest;
    } cases[] = {{0, 5, 6}, {1, 5, 2}, {2, 5, 4}, {3, 1, 4}, {7, 5, 6}};
    for (const Case& c : cases) {
        GR_D3D_Set_Blend_Ext(2, 2);
        GR_D3D_Set_Blend(c.mode);
        EXPECT_EQ(g_States.GetRenderState(eRS_SrcBlend), c.src) << c.mode;
        EXPECT_EQ(g_States.GetRenderState(eRS_DestBlend), c.dest) << c.mode;
        EXPECT_EQ(g_States.GetRenderState(eRS_AlphaSrcBlend), c.src) << c.mode;
        EXPECT_EQ(g_States.GetRenderState(eRS_AlphaDestBlend), c.dest) << c.mode;
    }
    GR_D3D_Set_Blend(1);
    g_States.Flush();
    EXPECT_EQ(GetInt(GL_BLEND_DST), GL_ONE);
}

TEST_F(RenderSettings, FogWritesItsStatesAndKeepsLargeDistances) {
    GR_D3D_Set_Fog(true, 0x0000FF, 10, 40000);
    EXPECT_EQ(g_States.GetRenderState(eRS_FogEnable), 1u);
    EXPECT_EQ(g_States.GetRenderState(eRS_FogModeType1), 3u);
    EXPECT_EQ(g_States.GetRenderState(eRS_FogColour), 0xFF0000FFu);
    float start = 0, end = 0;
    uint32_t bits = g_States.GetRenderState(eRS_FogStart);
    std::memcpy(&start, &bits, 4);
    bits = g_States.GetRenderState(eRS_FogEnd);
    std::memcpy(&end, &bits, 4);
    EXPECT_EQ(start, 10.0f);
    EXPECT_EQ(end, 40000.0f);
    GR_D3D_Set_Fog(false, 0, 0, 1);
    EXPECT_EQ(g_States.GetRenderState(eRS_FogEnable), 0u);
    EXPECT_FALSE(set_fog);
}

TEST_F(RenderSettings, DepthTestOnlyIn3DMode) {
    SetZBuffer(true);
    EXPECT_EQ(g_States.GetRenderState(eRS_DepthTest), 0u);
    GR_3DMode = true;
    GR_D3D_Settings_Init();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    GR_3DMode = false;
    SetZBuffer(true);
    EXPECT_EQ(g_States.GetRenderState(eRS_DepthTest), 0u);
}

TEST_F(RenderSettings, StageSettingsAndTheirQueries) {
    GR_D3D_Set_Texture_Repeat(true);
    for (int stage = 0; stage < 8; ++stage) {
        EXPECT_EQ(g_States.GetSamplerState(stage, eSS_AddressU), 0u);
        EXPECT_EQ(g_States.GetSamplerState(stage, eSS_AddressV), 0u);
    }
    EXPECT_FALSE(GR_D3D_Get_Texture_Repeat_Ext(9));
    EXPECT_TRUE(GR_D3D_Get_Texture_Interpolation_Ext(9));
    GR_D3D_Set_Texture_Interpolation_Ext(2, false);
    EXPECT_FALSE(GR_D3D_Get_Texture_Interpolation_Ext(2));
    EXPECT_EQ(g_States.GetSamplerState(2, eSS_MinFilter), 0u);
    GR_D3D_Set_Colour_Write_Enable(true, false, true, false);
    EXPECT_EQ(g_States.GetRenderState(eRS_ColourWriteMask), 5u);
    GR_D3D_Set_Culling(true);
    EXPECT_EQ(g_States.GetRenderState(eRS_CullMode), 2u);
    GR_D3D_Set_Shading(false);
    EXPECT_EQ(g_States.GetRenderState(eRS_Shading), 1u);
}

TEST(RenderSettingsClosed, AlphaTestBeforeOpeningChangesNothing) {
    ASSERT_FALSE(g_GraphicsInitialised);
    g_States.Reset();
    GR_D3D_Set_Alpha_Test_Enable(true);
    EXPECT_FALSE(GR_D3D_Get_Alpha_Test_Enable());
}

} // namespace
