// User shaders from a writer-made "SHDR" chunk: loading, empty slots, a
// shader that does not compile, and a uniform that tints what is drawn.
#include <cstring>
#include <vector>

#include "core/function_table.h"
#include "core/game_image.h"
#include "core/rvalue.h"
#include "game_data_writer.h"
#include "gl_device_fixture.h"
#include "render/shader.h"
#include "render/user_shader.h"
#include "render/vertex_batch.h"
#include "render/vertex_format.h"
#include "render/view.h"
#include "shader_chunk.h"

namespace {

const char kVertex[] = R"(#version 120
attribute vec3 in_Position;
attribute vec4 in_Colour;
attribute vec2 in_TextureCoord;
uniform mat4 vt_Matrices[5];
varying vec4 v_colour;
varying vec2 v_uv;
void main() {
    gl_Position = vt_Matrices[4] * vec4(in_Position, 1.0);
    v_colour = in_Colour;
    v_uv = in_TextureCoord;
}
)";

const char kFragment[] = R"(#version 120
uniform sampler2D vt_BaseTexture;
uniform vec3 u_tint;
varying vec4 v_colour;
varying vec2 v_uv;
void main() {
    gl_FragColor = v_colour * texture2D(vt_BaseTexture, v_uv) * vec4(u_tint, 1.0);
}
)";

class UserShaders : public GLDeviceTest {
protected:
    void SetUp() override {
        GLDeviceTest::SetUp();
        if (Function_Find("shader_set") < 0) InitShaderFunctions();
    }

    // Loads the chunk the writer makes from `shaders`.
    void Load(const std::vector<std::optional<wad::ShaderFields>>& shaders) {
        wad::GameDataWriter writer;
        wad::WriteShaders(writer, shaders);
        m_image = writer.Build();
        // The container's header (8 bytes), then the chunk's tag and size.
        size_t at = 8;
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
    }

    RValue Call(const char* name, std::vector<double> args) {
        const char* found = nullptr;
        TRoutine routine = nullptr;
        int argc = 0, flag = 0;
        Code_Function_GET_the_function(Function_Find(name), &found, &routine, &argc, &flag);
        std::vector<RValue> values(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            values[i].kind = VALUE_REAL;
            values[i].flags = 0;
            values[i].val = args[i];
        }
        RValue result{};
        result.kind = VALUE_UNDEFINED;
        routine(result, nullptr, nullptr, static_cast<int>(values.size()), values.data());
        return result;
    }

    std::vector<uint8_t> m_image;
};

TEST_F(UserShaders, EmptySlotsTakeNoIndexAndBadShadersKeepTheirError) {
    wad::ShaderFields good{"sh_tint", 1, kVertex, kFragment, {"in_Position", "in_Colour", "in_TextureCoord"}};
    wad::ShaderFields bad{"sh_broken", 1, kVertex, "#version 120\nvoid main() { nope; }\n", {}};
    Load({good, std::nullopt, bad});
    EXPECT_EQ(Shader_Find("sh_tint"), 0);
    EXPECT_EQ(Shader_Find("sh_broken"), 1);
    EXPECT_EQ(Shader_Find("sh_none"), -1);
    ASSERT_NE(GetShader(1), nullptr);
    EXPECT_FALSE(GetShader(1)->compiled);
    EXPECT_TRUE(GetShader(1)->errorInFragment);
    EXPECT_FALSE(GetShader(1)->errorText.empty());
    EXPECT_EQ(GetShader(0)->baseTextureStage, 0);
    EXPECT_EQ(GetShader(0)->attributes.size(), 3u);
    EXPECT_EQ(Call("shader_is_compiled", {0}).val, 1);
    EXPECT_EQ(Call("shader_is_compiled", {1}).val, 0);
    FreeUserShaders();
}

TEST_F(UserShaders, AUniformTintsWhatIsDrawn) {
    Load({wad::ShaderFields{"sh_tint", 1, kVertex, kFragment, {}}});
    ASSERT_TRUE(GetShader(0)->compiled) << GetShader(0)->errorText;
    uint8_t white[16];
    std::memset(white, 0xFF, sizeof white);
    Texture* t = Graphics::CreateTextureFromData(white, 2, 2, nullptr, eTextureFormat_A8R8G8B8);

    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    Call("shader_set", {0});
    EXPECT_EQ(Call("shader_current", {}).val, 0);
    const int tint = Shader_Get_Uniform_Handle(GetShader(0), "u_tint");
    ASSERT_GE(tint, 0);
    Call("shader_set_uniform_f", {static_cast<double>(tint), 0.0, 1.0, 0.5});
    struct V24 {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    auto* v = static_cast<V24*>(Graphics::AllocVerts(4, t, eVF_PosColourTex, 6));
    const V24 tl{0, 0, 0, 0xFFFFFFFF, 0, 0}, tr{32, 0, 0, 0xFFFFFFFF, 1, 0}, bl{0, 32, 0, 0xFFFFFFFF, 0, 1},
        br{32, 32, 0, 0xFFFFFFFF, 1, 1};
    v[0] = tl, v[1] = tr, v[2] = bl, v[3] = tr, v[4] = br, v[5] = bl;
    GR_D3D_Finish_Frame(true);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_NEAR(pixel[2], 128, 1);

    Call("shader_reset", {});
    EXPECT_EQ(Call("shader_current", {}).val, -1);
    Graphics::Flush(); // the program switch happens at the commit
    EXPECT_EQ(g_ActiveUserShaderM, -1);
    EXPECT_EQ(g_DefaultTextureStage, 0);
    FreeUserShaders();
}

TEST(AttributeNames, UsageFollowsTheName) {
    const struct {
        const char* name;
        int usage;
    } cases[] = {
        {"in_Position", 1}, {"in_Colour", 2},
        {"in_Colour0", 2},  {"in_Colour16", 2},
        {"in_Color", 2},    {"in_Color2", 2},
        {"in_Normal", 3},   {"in_TextureCoord", 4},
        {"in_Colour17", 4}, {"in_Colour01", 4},
        {"in_Colours", 4},  {"in_Color-1", 4},
        {"my_uv", 4},       {"", 4},
    };
    for (const auto& c : cases) EXPECT_EQ(AttributeUsage(c.name), c.usage) << c.name;
}

// A shader that names its attributes its own way is fed by usage and usage
// index: the second colour of the format reaches the second colour name even
// though the first is optimised away, and an unknown name takes the first
// texture coordinate.
TEST_F(UserShaders, NamedAttributesTakeTheElementOfTheirUsageAndIndex) {
    const char vertex[] = R"(#version 120
attribute vec3 in_Position;
attribute vec4 in_Color0;
attribute vec4 in_Color1;
attribute vec2 my_extra;
uniform mat4 vt_Matrices[5];
varying vec4 v_colour;
void main() {
    gl_Position = vt_Matrices[4] * vec4(in_Position, 1.0);
    v_colour = vec4(in_Color1.rg, my_extra.y, 1.0);
}
)";
    const char fragment[] = R"(#version 120
varying vec4 v_colour;
void main() { gl_FragColor = v_colour; }
)";
    Load({wad::ShaderFields{
        "sh_named", 1, vertex, fragment, {"in_Position", "in_Color0", "in_Color1", "my_extra"}}});
    ASSERT_TRUE(GetShader(0)->compiled) << GetShader(0)->errorText;
    const GLSLShader* program = Shader_Get(GetShader(0)->program);
    ASSERT_NE(program, nullptr);
    ASSERT_EQ(program->attributes.size(), 4u);
    EXPECT_EQ(program->attributes[2].usage, 2);
    EXPECT_EQ(program->attributes[2].usageIndex, 1);
    EXPECT_EQ(program->attributes[3].usage, 4);
    EXPECT_EQ(program->attributes[3].usageIndex, 0);

    auto* format = new VertexFormat();
    format->Add(eVT_Float3, eVU_Position, 1u);
    format->Add(eVT_Colour, eVU_Colour, 2u);
    format->Add(eVT_Colour, eVU_Colour, 4u);
    format->Add(eVT_Float2, eVU_TexCoord, 8u);
    AddVertexFormat(format);
    CreateNativeVertexFormat(format);
    struct V28 {
        float x, y, z;
        uint32_t first, second;
        float u, v;
    };
    ASSERT_EQ(format->size, static_cast<int32_t>(sizeof(V28)));

    GR_D3D_Start_Frame();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour);
    g_States.SetRenderState(eRS_BlendEnable, 0);
    Call("shader_set", {0});
    auto* v = static_cast<V28*>(Graphics::AllocVerts(4, nullptr, format->id, 6));
    ASSERT_NE(v, nullptr);
    // Colours are stored as bytes R, G, B, A: red first, green second.
    const uint32_t red = 0xFF0000FF, green = 0xFF00FF00;
    const V28 tl{0, 0, 0, red, green, 0, 0.5f}, tr{32, 0, 0, red, green, 0, 0.5f},
        bl{0, 32, 0, red, green, 0, 0.5f}, br{32, 32, 0, red, green, 0, 0.5f};
    v[0] = tl, v[1] = tr, v[2] = bl, v[3] = tr, v[4] = br, v[5] = bl;
    GR_D3D_Finish_Frame(true);
    unsigned char pixel[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[0], 0);
    EXPECT_EQ(pixel[1], 255);
    EXPECT_NEAR(pixel[2], 128, 1);

    Call("shader_reset", {});
    Graphics::Flush();
    ClearVertexFormats();
    FreeUserShaders();
}

} // namespace
