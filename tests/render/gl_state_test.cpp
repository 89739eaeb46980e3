// Render and sampler state codes reaching OpenGL, read back with glGet.
#include <cstring>

#include "gl_device_fixture.h"
#include "render/gl_state.h"

namespace {

uint32_t Bits(float f) {
    uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

using StateTranslation = GLDeviceTest;

struct GLCase {
    const char* what;
    int state;
    uint32_t value;
    GLenum query;
    GLint expected;
};

TEST_F(StateTranslation, CodesBecomeTheirGLState) {
    const GLCase cases[] = {
        {"depth test on", eRS_DepthTest, 1, GL_DEPTH_TEST, GL_TRUE},
        {"depth test off", eRS_DepthTest, 0, GL_DEPTH_TEST, GL_FALSE},
        {"depth writes off", eRS_DepthWrite, 0, GL_DEPTH_WRITEMASK, GL_FALSE},
        {"source blend 5", eRS_SrcBlend, 5, GL_BLEND_SRC, GL_SRC_ALPHA},
        {"dest blend 6", eRS_DestBlend, 6, GL_BLEND_DST, GL_ONE_MINUS_SRC_ALPHA},
        {"dest blend 0 is zero", eRS_DestBlend, 0, GL_BLEND_DST, GL_ZERO},
        {"dest blend 18 is zero", eRS_DestBlend, 18, GL_BLEND_DST, GL_ZERO},
        {"blend 11 saturates", eRS_SrcBlend, 11, GL_BLEND_SRC, GL_SRC_ALPHA_SATURATE},
        {"depth compare 4", eRS_DepthFunc, 4, GL_DEPTH_FUNC, GL_LEQUAL},
        {"depth compare 8", eRS_DepthFunc, 8, GL_DEPTH_FUNC, GL_ALWAYS},
        {"depth compare 0", eRS_DepthFunc, 0, GL_DEPTH_FUNC, GL_ALWAYS},
        {"depth compare 1", eRS_DepthFunc, 1, GL_DEPTH_FUNC, GL_NEVER},
        {"blending on", eRS_BlendEnable, 1, GL_BLEND, GL_TRUE},
        {"stencil on", eRS_StencilEnable, 1, GL_STENCIL_TEST, GL_TRUE},
        {"stencil op 7 saturates", eRS_StencilFail, 7, GL_STENCIL_FAIL, GL_INCR},
        {"stencil op 4", eRS_StencilDepthFail, 4, GL_STENCIL_PASS_DEPTH_FAIL, GL_INCR},
        {"stencil op 8", eRS_StencilPass, 8, GL_STENCIL_PASS_DEPTH_PASS, GL_DECR},
        {"stencil op 9 keeps", eRS_StencilPass, 9, GL_STENCIL_PASS_DEPTH_PASS, GL_KEEP},
        {"stencil op 6", eRS_StencilFail, 6, GL_STENCIL_FAIL, GL_INVERT},
        {"stencil compare 3", eRS_StencilFunc, 3, GL_STENCIL_FUNC, GL_EQUAL},
        {"stencil ref", eRS_StencilRef, 7, GL_STENCIL_REF, 7},
        {"stencil mask", eRS_StencilReadMask, 0x0F, GL_STENCIL_VALUE_MASK, 0x0F},
        {"stencil write mask", eRS_StencilWriteMask, 0x3C, GL_STENCIL_WRITEMASK, 0x3C},
        {"cull 1 on the window", eRS_CullMode, 1, GL_FRONT_FACE, GL_CCW},
        {"cull 2 on the window", eRS_CullMode, 2, GL_FRONT_FACE, GL_CW},
        {"cull 2 enables culling", eRS_CullMode, 2, GL_CULL_FACE, GL_TRUE},
        {"cull 3 disables culling", eRS_CullMode, 3, GL_CULL_FACE, GL_FALSE},
    };
    for (const GLCase& c : cases) {
        Graphics::SetRenderState(c.state, c.value);
        GLint got = 0;
        if (c.query == GL_DEPTH_TEST || c.query == GL_BLEND || c.query == GL_STENCIL_TEST ||
            c.query == GL_CULL_FACE)
            got = glIsEnabled(c.query);
        else
            glGetIntegerv(c.query, &got);
        EXPECT_EQ(got, c.expected) << c.what;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(StateTranslation, OneMemberOfAGroupResendsTheWholeGroup) {
    Graphics::SetRenderState(eRS_StencilFail, 3);
    Graphics::SetRenderState(eRS_StencilPass, 5);
    EXPECT_EQ(GetInt(GL_STENCIL_FAIL), GL_REPLACE);
    EXPECT_EQ(GetInt(GL_STENCIL_PASS_DEPTH_PASS), GL_DECR);
    Graphics::SetRenderState(eRS_StencilRef, 2);
    Graphics::SetRenderState(eRS_StencilFunc, 6);
    EXPECT_EQ(GetInt(GL_STENCIL_REF), 2);
    EXPECT_EQ(GetInt(GL_STENCIL_FUNC), GL_NOTEQUAL);
}

TEST_F(StateTranslation, ColourMaskBitsAreRedGreenBlueAlpha) {
    Graphics::SetRenderState(eRS_ColourWriteMask, 0b1010);
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_EQ(mask[0], GL_FALSE);
    EXPECT_EQ(mask[1], GL_TRUE);
    EXPECT_EQ(mask[2], GL_FALSE);
    EXPECT_EQ(mask[3], GL_TRUE);
}

TEST_F(StateTranslation, CullWindingFlipsOnASurface) {
    g_RenderTargetActive = -1;
    Graphics::SetRenderState(eRS_CullMode, 1);
    EXPECT_EQ(GetInt(GL_FRONT_FACE), GL_CW);
    Graphics::SetRenderState(eRS_CullMode, 2);
    EXPECT_EQ(GetInt(GL_FRONT_FACE), GL_CCW);
    EXPECT_EQ(g_CullMode, 2u);
}

TEST_F(StateTranslation, ShaderStatesAreRecordedNotSent) {
    Graphics::SetRenderState(eRS_FogColour, 0x0000FF);
    EXPECT_FLOAT_EQ(g_FogCol[0], 1.0f);
    EXPECT_FLOAT_EQ(g_FogCol[1], 0.0f);
    EXPECT_FLOAT_EQ(g_FogCol[3], 1.0f);
    Graphics::SetRenderState(eRS_FogStart, Bits(10.0f));
    EXPECT_FLOAT_EQ(g_FogStart, 10.0f);
    Graphics::SetRenderState(eRS_FogEnable, 1);
    Graphics::SetRenderState(eRS_AlphaTest, 1);
    Graphics::SetRenderState(eRS_AlphaRef, 40);
    Graphics::SetRenderState(eRS_Lighting, 1);
    EXPECT_TRUE(g_FogState);
    EXPECT_TRUE(g_AlphaTestEnable);
    EXPECT_EQ(g_AlphaRef, 40);
    EXPECT_TRUE(g_LightingEnable);
    // Separate alpha blending and the alpha compare change nothing in GL.
    const GLint src = GetInt(GL_BLEND_SRC);
    for (int code : {11, 33, 34, 35}) Graphics::SetRenderState(code, 9);
    EXPECT_EQ(GetInt(GL_BLEND_SRC), src);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    Graphics::SetRenderState(eRS_FogEnable, 0);
    Graphics::SetRenderState(eRS_AlphaTest, 0);
    Graphics::SetRenderState(eRS_Lighting, 0);
}

TEST_F(StateTranslation, SamplerStatesAreStoredPerStage) {
    const uint32_t neighbour = g_TextureFilterMag[2];
    Graphics::SetSamplerState(3, eSS_MagFilter, 0);
    Graphics::SetSamplerState(3, eSS_MaxMip, Bits(4.0f));
    Graphics::SetSamplerState(8, eSS_MagFilter, 0); // ignored
    EXPECT_EQ(g_TextureFilterMag[3], 0u);
    EXPECT_FLOAT_EQ(g_TextureMaxMip[3], 4.0f);
    EXPECT_EQ(g_TextureFilterMag[2], neighbour);
    Graphics::SetSamplerState(3, eSS_MagFilter, 1);
    Graphics::SetSamplerState(3, eSS_MaxMip, Bits(16.0f));
}

TEST(StateTables, ConversionsOutOfRange) {
    int fixed = 0;
    EXPECT_EQ(ConvertBlend(12, &fixed), static_cast<uint32_t>(GL_ZERO));
    EXPECT_EQ(fixed, -1);
    EXPECT_EQ(ConvertComparison(7), static_cast<uint32_t>(GL_GEQUAL));
    EXPECT_EQ(ConvertComparison(-3), static_cast<uint32_t>(GL_ALWAYS));
    EXPECT_EQ(ConvertStencilOp(2), static_cast<uint32_t>(GL_ZERO));
    EXPECT_EQ(ConvertCull(0), -1);
    EXPECT_EQ(ConvertFogMode(0), 0.0f);
    EXPECT_EQ(ConvertFogMode(5), static_cast<float>(GL_LINEAR));
}

} // namespace
