// User shaders and the shader built-ins. A uniform handle is an index into
// the uniform table of the program in force, whatever shader it was looked
// up on; every setter checks it against that table before using it.
#include "render/user_shader.h"

#include <cstring>
#include <memory>

#include "core/arguments.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/rvalue.h"
#include "core/support_output.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/shader.h"
#include "render/texture.h"
#include "render/view.h"
#include "core/game_image.h"

Shader* g_ActiveUserShader = nullptr;
Shader* g_NextActiveUserShader = nullptr;
bool g_ShaderDirty = false;

namespace {

std::vector<std::unique_ptr<Shader>>& Table() {
    static std::vector<std::unique_ptr<Shader>> table;
    return table;
}

void Compile(Shader* s) {
    std::vector<std::string> error(1);
    bool inFragment = false;
    s->program = Shader_Add(s->vertexSource, s->fragmentSource, &error[0], &inFragment);
    s->errorInFragment = inFragment;
    if (s->program < 0) {
        s->errorText = error[0];
        if (s->errorText.empty()) {
            Support_DebugOutput(
                "Invalid shader (is it marked as incompatible type for this target?) \"%s\":\n",
                s->name ? s->name : "");
            s->errorText = "Invalid shader";
        }
        return;
    }
    s->compiled = true;
    const GLSLShader* g = Shader_Get(s->program);
    for (const ShaderSampler& sampler : g->samplers)
        if (sampler.name == "vt_BaseTexture") s->baseTextureStage = sampler.stage;
    s->matricesHandle = Shader_Get_Uniform_Handle(s, "vt_Matrices");
}

const GLSLShader* ProgramInForce() {
    return g_ActiveUserShader != nullptr ? Shader_Get(g_ActiveUserShader->program) : nullptr;
}

} // namespace

void Shader_Load(ImageReader& chunk) {
    FreeUserShaders();
    const uint32_t count = chunk.Count(4);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t offset = chunk.U32();
        if (offset == 0) continue; // an empty slot takes no table index
        ImageReader r = chunk.At(offset);
        auto s = std::make_unique<Shader>();
        s->index = static_cast<int32_t>(Table().size());
        s->name = r.StringAt();
        s->type = static_cast<int32_t>(r.U32() & 0x7FFFFFFFu);
        r.Skip(8);
        s->vertexSource = r.StringAt();
        s->fragmentSource = r.StringAt();
        r.Skip(16);
        const uint32_t attributes = r.Count(4);
        for (uint32_t a = 0; a < attributes; ++a) s->attributes.push_back(r.StringAt());
        Compile(s.get());
        Table().push_back(std::move(s));
    }
}

void FreeUserShaders() {
    g_ActiveUserShader = g_NextActiveUserShader = nullptr;
    g_ShaderDirty = false;
    Table().clear();
}

Shader* GetShader(int index) {
    if (index < 0 || index >= static_cast<int>(Table().size())) return nullptr;
    return Table()[static_cast<size_t>(index)].get();
}

int Shader_Find(const char* name) {
    if (name == nullptr) return -1;
    for (const auto& s : Table())
        if (s->name != nullptr && std::strcmp(s->name, name) == 0) return s->index;
    return -1;
}

int Shader_Get_Uniform_Handle(Shader* shader, const char* name) {
    if (shader == nullptr || name == nullptr || g_UsingGL2 != 1) return -1;
    const GLSLShader* g = Shader_Get(shader->program);
    if (g == nullptr || g->uniforms.empty()) return -1;
    const GLint location = glGetUniformLocation(static_cast<GLuint>(g->program), name);
    for (size_t i = 0; i < g->uniforms.size(); ++i)
        if (g->uniforms[i].location == location && location >= 0) return static_cast<int>(i);
    return -1;
}

int Shader_Get_Sampler_Index(Shader* shader, const char* name) {
    if (shader == nullptr || name == nullptr || g_UsingGL2 != 1) return -1;
    const GLSLShader* g = Shader_Get(shader->program);
    if (g == nullptr) return -1;
    for (const ShaderSampler& sampler : g->samplers)
        if (sampler.name == name) return sampler.stage;
    return -1;
}

void Shader_Set(Shader* shader) {
    if (shader == g_NextActiveUserShader) return;
    g_NextActiveUserShader = shader;
    g_ShaderDirty = shader != g_ActiveUserShader;
}

void FlushShader() {
    Graphics::Flush();
    g_ShaderDirty = false;
    g_ActiveUserShader = g_NextActiveUserShader;
    Shader_SetM(g_ActiveUserShader != nullptr ? g_ActiveUserShader->program : -1);
    if (g_ActiveUserShader == nullptr) {
        g_DefaultTextureStage = 0;
        return;
    }
    Shader_Commit();
    const GLSLShader* g = ProgramInForce();
    if (g != nullptr && g->matricesUniform >= 0) {
        float matrices[eMatrix_Count * 16];
        for (int m = 0; m < eMatrix_Count; ++m)
            std::memcpy(matrices + m * 16, m_CurrentMatrix[m].m, sizeof(float) * 16);
        glUniformMatrix4fv(g->matricesUniform, eMatrix_Count, GL_FALSE, matrices);
    }
    g_DefaultTextureStage = g_ActiveUserShader->baseTextureStage;
}

bool Shader_Set_Uniform_F(int handle, int count, double x, double y, double z, double w) {
    const GLSLShader* g = ProgramInForce();
    if (g_UsingGL2 != 1 || g == nullptr || handle < 0 || handle >= static_cast<int>(g->uniforms.size()))
        return false;
    Graphics::Flush();
    const ShaderUniform& u = g->uniforms[static_cast<size_t>(handle)];
    const int n = count < u.columns ? count : u.columns;
    const float v[4] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                        static_cast<float>(w)};
    switch (n) {
        case 1: glUniform1fv(u.location, 1, v); break;
        case 2: glUniform2fv(u.location, 1, v); break;
        case 3: glUniform3fv(u.location, 1, v); break;
        case 4: glUniform4fv(u.location, 1, v); break;
        default: return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// The built-ins.

namespace {

// A shader handle argument: the shader, or null after reporting a bad handle
// (-1 is "none" and valid where `noneOk`).
bool ShaderArg(RValue* args, int index, bool noneOk, Shader** out) {
    const int handle = ZQGetInt32(args, index);
    *out = GetShader(handle);
    if (*out != nullptr || (noneOk && handle == -1)) return true;
    Error_Show_Action("Illegal shader handle", false);
    return false;
}

void F_ShaderSet(RValue&, CInstance*, CInstance*, int, RValue* args) {
    Shader* s = nullptr;
    if (!ShaderArg(args, 0, true, &s)) return;
    Shader_Set(s);
    if (g_ShaderDirty) FlushShader();
}

void F_ShaderReset(RValue&, CInstance*, CInstance*, int argc, RValue*) {
    if (argc != 0) {
        Error_Show_Action("shader_set: Illegal argument count", false);
        return;
    }
    Graphics::Flush();
    Shader_Set(nullptr);
    if (g_ShaderDirty) FlushShader();
}

void F_ShaderCurrent(RValue& result, CInstance*, CInstance*, int, RValue*) {
    ZQSetResultReal(result, g_NextActiveUserShader != nullptr ? g_NextActiveUserShader->index : -1);
}

void F_ShaderGetUniform(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    ZQSetResultReal(result, -1);
    Shader* s = nullptr;
    if (!ShaderArg(args, 0, false, &s)) return;
    ZQSetResultReal(result, Shader_Get_Uniform_Handle(s, ZQGetString(args, 1)));
}

void F_ShaderGetSamplerIndex(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    ZQSetResultReal(result, -1);
    Shader* s = nullptr;
    if (!ShaderArg(args, 0, false, &s)) return;
    ZQSetResultReal(result, Shader_Get_Sampler_Index(s, ZQGetString(args, 1)));
}

void F_ShaderSetUniformF(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    if (argc < 2) return;
    Graphics::Flush();
    if (g_ShaderDirty) FlushShader();
    const int count = argc - 1 > 4 ? 4 : argc - 1;
    double v[4] = {};
    for (int i = 0; i < count; ++i) v[i] = ZQGetReal(args, i + 1);
    Shader_Set_Uniform_F(ZQGetInt32(args, 0), count, v[0], v[1], v[2], v[3]);
}

void F_ShaderIsCompiled(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    ZQSetResultReal(result, 0);
    Shader* s = nullptr;
    if (!ShaderArg(args, 0, false, &s)) return;
    ZQSetResultReal(result, s->compiled ? 1 : 0);
}

void F_ShadersAreSupported(RValue& result, CInstance*, CInstance*, int, RValue*) {
    ZQSetResultReal(result, Graphics::ShadersSupported() ? 1 : 0);
}

struct BuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
};

// Registered in this order; the remaining shader built-ins (integer and
// array uniforms, matrices, texture stages and texel sizes) are not here yet.
const BuiltinRow kShaderBuiltins[] = {
    {"shader_set", F_ShaderSet, 1},
    {"shader_reset", F_ShaderReset, 0},
    {"shader_current", F_ShaderCurrent, 0},
    {"shader_get_uniform", F_ShaderGetUniform, 2},
    {"shader_get_sampler_index", F_ShaderGetSamplerIndex, 2},
    {"shader_set_uniform_f", F_ShaderSetUniformF, -1},
    {"shader_is_compiled", F_ShaderIsCompiled, 1},
    {"shaders_are_supported", F_ShadersAreSupported, 0},
};

} // namespace

void InitShaderFunctions() {
    for (const BuiltinRow& row : kShaderBuiltins) Function_Add(row.name, row.routine, row.argc, false);
}
