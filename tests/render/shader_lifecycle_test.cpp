// Losing and regaining the GL objects of every program: records keep their
// sources and tables, rebuilt programs draw as before, and the program in
// use is selected again.
#include <string>

#include "gl_device_fixture.h"
#include "render/shader.h"

namespace {

using ShaderLifeCycle = GLDeviceTest;

const char kVS[] = "#version 120\nattribute vec2 in_Position;\nattribute vec4 in_Colour;\n"
                   "void main() { gl_Position = vec4(in_Position, 0.0, 1.0); }\n";
const char kFS[] = "#version 120\nuniform vec4 u_colour;\nuniform sampler2D a;\nuniform sampler2D b;\n"
                   "void main() {\n"
                   "    vec4 t = texture2D(a, vec2(0.0)) + texture2D(b, vec2(0.0));\n"
                   "    gl_FragColor = t.a > 100.0 ? t : u_colour;\n"
                   "}\n";

// Draws a full-screen quad through the current program with the uniform
// set, and reads the middle pixel back.
uint32_t DrawWith(int handle) {
    const GLSLShader* s = Shader_Get(handle);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, 32, 32);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const GLint colour = glGetUniformLocation(static_cast<GLuint>(s->program), "u_colour");
    glUniform4f(colour, 1.0f, 0.5f, 0.0f, 1.0f);
    const float xy[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
    glEnableVertexAttribArray(static_cast<GLuint>(s->posAttrib));
    glVertexAttribPointer(static_cast<GLuint>(s->posAttrib), 2, GL_FLOAT, GL_FALSE, 8, xy);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(static_cast<GLuint>(s->posAttrib));
    unsigned char p[4] = {};
    glReadPixels(16, 16, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

TEST_F(ShaderLifeCycle, FreeThenInitRebuildsWhatDrawsTheSame) {
    std::string error;
    const int handle = Shader_Add(kVS, kFS, &error, nullptr, {"in_Colour", "in_Position"});
    ASSERT_NE(handle, -1) << error;
    Shader_SetM(handle);
    Shader_Commit();
    const uint32_t before = DrawWith(handle);
    EXPECT_EQ(before >> 24, 255u);
    const GLSLShader* s = Shader_Get(handle);
    const size_t uniforms = s->uniforms.size();
    const auto attributes = s->attributes;

    FreeShaderManagerResources();
    EXPECT_EQ(s->program, -1);
    EXPECT_EQ(s->vertexShader, -1);
    EXPECT_EQ(s->fragmentShader, -1);
    EXPECT_EQ(GetInt(GL_CURRENT_PROGRAM), 0);
    EXPECT_EQ(s->samplers.size(), 2u); // tables kept while the objects are gone
    for (int i = 0; i < Shader_Count(); ++i) EXPECT_EQ(Shader_Get(i)->program, -1) << i;

    // Asking for another program meanwhile is forgotten: the one in use returns.
    Shader_SetM(-1);
    InitShaderManagerResources();
    ASSERT_GT(s->program, 0);
    EXPECT_EQ(GetInt(GL_CURRENT_PROGRAM), s->program);
    EXPECT_EQ(g_ActiveUserShaderM, handle);
    EXPECT_EQ(g_NextActiveUserShaderM, handle);
    EXPECT_FALSE(g_ShaderDirtyM);
    EXPECT_EQ(s->uniforms.size(), uniforms);
    ASSERT_EQ(s->samplers.size(), 2u);
    GLint unit = -1;
    glGetUniformiv(static_cast<GLuint>(s->program), s->samplers[1].location, &unit);
    EXPECT_EQ(unit, 1);
    ASSERT_EQ(s->attributes.size(), attributes.size());
    for (size_t i = 0; i < attributes.size(); ++i) EXPECT_EQ(s->attributes[i].name, attributes[i].name);
    for (int i = 0; i < Shader_Count(); ++i) EXPECT_GT(Shader_Get(i)->program, 0) << i;
    EXPECT_EQ(DrawWith(handle), before);

    // One program rebuilt alone, and all of them, stay drawable and selected.
    Shader_Reload(handle);
    EXPECT_EQ(GetInt(GL_CURRENT_PROGRAM), s->program);
    EXPECT_EQ(DrawWith(handle), before);
    Shader_Reload_All();
    EXPECT_EQ(GetInt(GL_CURRENT_PROGRAM), s->program);
    EXPECT_EQ(DrawWith(handle), before);
    Shader_Flush_All();
    EXPECT_EQ(s->program, -1);
    Shader_Reload(Shader_Count()); // outside the table: nothing
}

TEST_F(ShaderLifeCycle, AnInUseIndexGoneFromTheTableSelectsNone) {
    g_ActiveUserShaderM = Shader_Count() + 5;
    g_ShaderDirtyM = true;
    FreeShaderManagerResources();
    InitShaderManagerResources();
    EXPECT_EQ(g_ActiveUserShaderM, -1);
    EXPECT_EQ(g_NextActiveUserShaderM, -1);
    EXPECT_FALSE(g_ShaderDirtyM);
    EXPECT_EQ(GetInt(GL_CURRENT_PROGRAM), 0);
}

} // namespace
