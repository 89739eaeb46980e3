// GLSL programs on Mesa: every built-in variant links, samplers get their
// stages, and compile errors say which stage failed.
#include <string>

#include "gl_device_fixture.h"
#include "render/shader.h"

namespace {

using Shaders = GLDeviceTest;

TEST_F(Shaders, EveryBuiltInVariantLinks) {
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(SV_Shader[i], -1) << "SV " << i;
        EXPECT_NE(SVN_Shader[i], -1) << "SVN " << i;
        EXPECT_NE(SVS_Shader[i], -1) << "SVS " << i;
    }
    for (int i = 0; i < 16; ++i) EXPECT_NE(SVN_Lit_Shader[i], -1) << "SVN_Lit " << i;
    const GLSLShader* sv = Shader_Get(SV_Shader[0]);
    ASSERT_NE(sv, nullptr);
    EXPECT_NE(sv->posAttrib, -1);
    EXPECT_NE(sv->texAttrib, -1);
    EXPECT_NE(sv->colourAttrib, -1);
    EXPECT_NE(sv->matricesUniform, -1);
    EXPECT_EQ(Shader_Get(SVS_Shader[0])->texAttrib, -1);
    // Fog and alpha test are compiled in only where the variant asks.
    EXPECT_EQ(sv->fogStartUniform, -1);
    EXPECT_NE(Shader_Get(SV_Shader[1])->fogStartUniform, -1);
    EXPECT_NE(Shader_Get(SV_Shader[2])->alphaRefUniform, -1);
}

TEST(ShaderVariations, DefinesFollowTheVariantBits) {
    const std::string lit13 = GenerateShaderVariation(13, true, "void main() {}\n", true);
    EXPECT_NE(lit13.find("#define USE_FOG\n"), std::string::npos);
    EXPECT_EQ(lit13.find("#define USE_ALPHATEST\n"), std::string::npos);
    EXPECT_NE(lit13.find("#define MAX_VS_LIGHTS 8\n"), std::string::npos);
    EXPECT_EQ(lit13.rfind("#version 120\n", 0), 0u);
    const std::string plain = GenerateShaderVariation(2, false, "", false);
    EXPECT_NE(plain.find("#define USE_ALPHATEST\n"), std::string::npos);
    EXPECT_EQ(plain.find("MAX_VS_LIGHTS"), std::string::npos);
}

const char kVS[] =
    "#version 120\nattribute vec3 in_Position;\nvoid main() { gl_Position = vec4(in_Position, 1.0); }\n";

TEST_F(Shaders, CompileErrorsNameTheirStage) {
    std::string error;
    bool inFragment = true;
    EXPECT_EQ(Shader_Add("#version 120\nvoid main() { nonsense; }\n", "void main() {}", &error, &inFragment),
              -1);
    EXPECT_FALSE(inFragment);
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_EQ(Shader_Add(kVS, "#version 120\nvoid main() { gl_FragColor = nope; }\n", &error, &inFragment),
              -1);
    EXPECT_TRUE(inFragment);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(Shader_Add(nullptr, kVS, &error, &inFragment), -1);
}

TEST_F(Shaders, SamplersTakeStagesAfterTheBaseTexture) {
    const char fs[] =
        "#version 120\nuniform sampler2D vt_BaseTexture;\nuniform sampler2D a;\nuniform sampler2D b;\n"
        "void main() { gl_FragColor = texture2D(vt_BaseTexture, vec2(0.0)) + texture2D(a, vec2(0.0)) "
        "+ texture2D(b, vec2(0.0)); }\n";
    std::string error;
    const int handle = Shader_Add(kVS, fs, &error, nullptr);
    ASSERT_NE(handle, -1) << error;
    const GLSLShader* s = Shader_Get(handle);
    ASSERT_EQ(s->samplers.size(), 3u);
    EXPECT_EQ(s->samplers[0].name, "vt_BaseTexture");
    EXPECT_EQ(s->samplers[1].stage, 1);
    EXPECT_EQ(s->samplers[2].stage, 2);
    GLint unit = -1;
    glGetUniformiv(static_cast<GLuint>(s->program), s->samplers[2].location, &unit);
    EXPECT_EQ(unit, 2);

    const char noBase[] =
        "#version 120\nuniform sampler2D a;\nuniform sampler2D b;\n"
        "void main() { gl_FragColor = texture2D(a, vec2(0.0)) + texture2D(b, vec2(0.0)); }\n";
    const GLSLShader* t = Shader_Get(Shader_Add(kVS, noBase, &error, nullptr));
    ASSERT_NE(t, nullptr);
    ASSERT_EQ(t->samplers.size(), 2u);
    EXPECT_EQ(t->samplers[0].stage, 0);
    EXPECT_EQ(t->samplers[1].stage, 1);
}

TEST_F(Shaders, TheProgramSwitchWaitsForTheCommit) {
    Shader_SetM(SV_Shader[0]);
    EXPECT_TRUE(g_ShaderDirtyM);
    EXPECT_EQ(g_ActiveUserShaderM, -1);
    Shader_Commit();
    EXPECT_EQ(g_ActiveUserShaderM, SV_Shader[0]);
    EXPECT_EQ(GetInt(GL_CURRENT_PROGRAM), Shader_Get(SV_Shader[0])->program);
    Shader_SetM(-1);
    Shader_Commit();
    EXPECT_EQ(g_ActiveUserShaderM, -1);
}

} // namespace
