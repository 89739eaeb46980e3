// The uniform setters, matrices, texture stages and texel sizes of the shader
// built-ins, called through the function table on a headless context: each
// value is read back from the program to see what reached GL.
#include <cstring>
#include <vector>

#include "core/function_table.h"
#include "core/game_image.h"
#include "core/rvalue.h"
#include "error_capture.h"
#include "game_data_writer.h"
#include "gl_device_fixture.h"
#include "render/lights.h"
#include "render/render_state.h"
#include "render/shader.h"
#include "render/user_shader.h"
#include "render/view.h"
#include "shader_chunk.h"
#include "test_values.h"

namespace {

const char kVertex[] = R"(#version 120
attribute vec3 in_Position;
uniform mat4 vt_Matrices[5];
void main() {
    gl_Position = vt_Matrices[4] * vec4(in_Position, 1.0);
}
)";

// Every uniform is used so that the linker keeps it.
const char kFragment[] = R"(#version 120
uniform ivec2 u_i2;
uniform int u_ia[3];
uniform vec3 u_fa[2];
uniform float u_f;
uniform mat4 u_m;
uniform mat4 u_ma[2];
uniform sampler2D vt_BaseTexture;
uniform sampler2D u_second;
uniform vec4 vt_Lights_Direction[8];
uniform vec4 vt_Lights_PosRange[8];
uniform vec4 vt_Lights_Colour[8];
uniform vec4 vt_AmbientColour;
uniform bool vt_LightingEnabled;
void main() {
    float i = float(u_i2.x + u_i2.y + u_ia[0] + u_ia[1] + u_ia[2]);
    gl_FragColor = vec4(i + u_fa[0].x + u_fa[1].z + u_f, 0.0, 0.0, 1.0) + u_m[0] + u_ma[0][1] +
                   u_ma[1][2] + texture2D(vt_BaseTexture, vec2(0.5)) + texture2D(u_second, vec2(0.5));
    vec4 lit = vt_Lights_Direction[0] + vt_Lights_PosRange[1] + vt_Lights_Colour[0] + vt_Lights_Colour[1];
    if (vt_LightingEnabled) gl_FragColor += lit + vt_AmbientColour;
}
)";

class ShaderUniforms : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        InitShaderFunctions();
        wad::GameDataWriter writer;
        wad::WriteShaders(writer, {wad::ShaderFields{"sh_all", 1, kVertex, kFragment, {}}});
        m_image = writer.Build();
        size_t at = 8; // past the container's header, chunk by chunk
        while (at + 8 <= m_image.size() && std::memcmp(m_image.data() + at, "SHDR", 4) != 0) {
            uint32_t size = 0;
            std::memcpy(&size, m_image.data() + at + 4, 4);
            at += 8 + size;
        }
        ASSERT_LT(at + 8, m_image.size());
        uint32_t size = 0;
        std::memcpy(&size, m_image.data() + at + 4, 4);
        ImageReader chunk(m_image.data(), m_image.size(), at + 8, at + 8 + size, "SHDR");
        Shader_Load(chunk);
        ASSERT_TRUE(GetShader(0)->compiled) << GetShader(0)->errorText;
        m_program = static_cast<GLuint>(Shader_Get(GetShader(0)->program)->program);
        Call("shader_set", {Real(0)});
    }

    void TearDown() override {
        FreeUserShaders();
        GLDeviceTest::TearDown();
    }

    RValue Call(const char* name, std::vector<RValue> args) {
        const char* found = nullptr;
        TRoutine routine = nullptr;
        int argc = 0, flag = 0;
        Code_Function_GET_the_function(Function_Find(name), &found, &routine, &argc, &flag);
        RValue result = OfKind(VALUE_UNDEFINED);
        routine(result, nullptr, nullptr, static_cast<int>(args.size()), args.data());
        for (RValue& a : args) FREE_RValue(&a);
        return result;
    }

    static RValue Array(const std::vector<double>& values) {
        RValue array = OfKind(VALUE_ARRAY);
        array.pRefArray = ARRAY_RefAlloc(&array);
        for (size_t i = 0; i < values.size(); ++i) {
            const RValue v = Real(values[i]);
            SET_RValue_Array(&array, &v, static_cast<int32_t>(i));
        }
        return array;
    }

    double Handle(const char* name) { return Call("shader_get_uniform", {Real(0), Str(name)}).val; }

    std::vector<float> Floats(const char* name, int n) {
        std::vector<float> out(static_cast<size_t>(n));
        glGetUniformfv(m_program, glGetUniformLocation(m_program, name), out.data());
        return out;
    }

    std::vector<int> Ints(const char* name, int n) {
        std::vector<int> out(static_cast<size_t>(n));
        glGetUniformiv(m_program, glGetUniformLocation(m_program, name), out.data());
        return out;
    }

    std::vector<uint8_t> m_image;
    GLuint m_program = 0;
};

TEST_F(ShaderUniforms, ValuesAreCutToTheUniformsShape) {
    Call("shader_set_uniform_i", {Real(Handle("u_i2")), Real(7.9), Real(-8.9), Real(9)});
    EXPECT_EQ(Ints("u_i2", 2), (std::vector<int>{7, -8})); // truncated; the third value is ignored
    Call("shader_set_uniform_i_array", {Real(Handle("u_ia")), Array({4, 5, 6})});
    EXPECT_EQ(Ints("u_ia[0]", 1)[0], 4);
    EXPECT_EQ(Ints("u_ia[2]", 1)[0], 6);
    // Seven values on a vec3 array: two whole elements, the seventh ignored.
    Call("shader_set_uniform_f_array", {Real(Handle("u_fa")), Array({1, 2, 3, 4, 5, 6, 7})});
    EXPECT_EQ(Floats("u_fa[0]", 3), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(Floats("u_fa[1]", 3), (std::vector<float>{4, 5, 6}));
    // Twenty values: one matrix; the second stays as it was.
    std::vector<double> twenty(20);
    for (size_t i = 0; i < twenty.size(); ++i) twenty[i] = static_cast<double>(i + 1);
    Call("shader_set_uniform_matrix_array", {Real(Handle("u_ma")), Array(twenty)});
    EXPECT_EQ(Floats("u_ma[0]", 16)[15], 16.0f);
    EXPECT_EQ(Floats("u_ma[1]", 16)[0], 0.0f);
    // An integer array on a matrix uniform goes in as floats.
    Call("shader_set_uniform_i_array", {Real(Handle("u_m")), Array(twenty)});
    EXPECT_EQ(Floats("u_m", 16)[3], 4.0f);
}

TEST_F(ShaderUniforms, TheWorldMatrixGoesToAMat4) {
    float world[16] = {};
    for (int i = 0; i < 16; ++i) world[i] = static_cast<float>(i) * 0.5f;
    Graphics::SetMatrix(eMatrix_World, world);
    Call("shader_set_uniform_matrix", {Real(Handle("u_m"))});
    EXPECT_EQ(Floats("u_m", 16), std::vector<float>(world, world + 16));
    // Not on a uniform of another shape.
    Call("shader_set_uniform_matrix", {Real(Handle("u_f"))});
    EXPECT_EQ(Floats("u_f", 1)[0], 0.0f);
}

TEST_F(ShaderUniforms, BadArgumentsAreReportedAndSetNothing) {
    ErrorCapture errors;
    struct Case {
        const char* builtin;
        const char* uniform;
        RValue array;
        const char* message;
    };
    const Case cases[] = {
        {"shader_set_uniform_f_array", "u_fa", Real(3), "Illegal argument type"},
        {"shader_set_uniform_i_array", "u_ia", Array({}), "Illegal array count"},
        {"shader_set_uniform_matrix_array", "u_ma", Str("m"), "Illegal argument type"},
        {"shader_set_uniform_matrix_array", "u_ma", Array({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}),
         "Illegal array count"},
    };
    for (const Case& c : cases) {
        errors.Clear();
        Call(c.builtin, {Real(Handle(c.uniform)), c.array});
        EXPECT_EQ(ErrorReportMessage(errors.LastShown()), c.message) << c.builtin;
    }
    EXPECT_EQ(Floats("u_fa[0]", 3), (std::vector<float>{0, 0, 0}));
    EXPECT_EQ(Floats("u_ma[0]", 16)[0], 0.0f);
    // Handles outside the program's uniform table set nothing.
    errors.Clear();
    Call("shader_set_uniform_f", {Real(99), Real(1)});
    Call("shader_set_uniform_i", {Real(-1), Real(1)});
    EXPECT_EQ(errors.Shown().size(), 0u);
}

TEST_F(ShaderUniforms, TextureStagesAndTexelSizes) {
    EXPECT_EQ(Call("shader_get_sampler_index", {Real(0), Str("u_second")}).val, 1);
    uint8_t white[16];
    std::memset(white, 0xFF, sizeof white);
    Texture* t = Graphics::CreateTextureFromData(white, 2, 2, nullptr, eTextureFormat_A8R8G8B8);
    Graphics::SetTexture(1, t);
    Call("texture_set_stage", {Real(1), Real(-1)}); // -1: the blank texture
    GLint bound = 0;
    glActiveTexture(GL_TEXTURE1);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(g_CurrActiveTexture));
    EXPECT_EQ(bound, g_pBlankTexture->textureID);
    Call("texture_set_stage", {Real(9), Real(-1)}); // no such stage: nothing happens
    // Values that are no texture id answer the default size and are never
    // taken as addresses.
    for (double id : {-1.0, 3.0, 123456789.0}) {
        EXPECT_EQ(Call("texture_get_texel_width", {Real(id)}).val, 1.0) << id;
        EXPECT_EQ(Call("texture_get_texel_height", {Real(id)}).val, 1.0) << id;
    }
}

TEST_F(ShaderUniforms, SelectingAShaderHandsItTheLights) {
    GR_3D_Set_Ambient(0x0000FF);
    GR_3D_Light_Define_Direction(0, 0, 0, 1, 0x00FF00);
    GR_3D_Light_Define_Point(1, 1, 2, 3, 50, 0xFFFFFF);
    GR_3D_Light_Enable(0, true);
    GR_3D_Light_Enable(1, false);
    g_States.SetRenderState(eRS_Lighting, 1);
    Call("shader_reset", {});
    Call("shader_set", {Real(0)});
    EXPECT_EQ(Floats("vt_AmbientColour", 4), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(Floats("vt_Lights_Direction[0]", 4), (std::vector<float>{0, 0, 1, 0}));
    EXPECT_EQ(Floats("vt_Lights_PosRange[1]", 4), (std::vector<float>{1, 2, 3, 50}));
    EXPECT_EQ(Floats("vt_Lights_Colour[0]", 4), (std::vector<float>{0, 1, 0, 1}));
    EXPECT_EQ(Floats("vt_Lights_Colour[1]", 4), (std::vector<float>{0, 0, 0, 0})); // switched off
    EXPECT_EQ(Ints("vt_LightingEnabled", 1)[0], 1);
    GR_3D_Light_Enable(0, false);
    GR_3D_Set_Ambient(0);
    g_States.SetRenderState(eRS_Lighting, 0);
}

} // namespace
