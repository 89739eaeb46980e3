// User shaders and the shader built-ins. A uniform handle is an index into
// the uniform table of the program in force, whatever shader it was looked
// up on; every setter checks it against that table before using it.
#include "render/user_shader.h"

#include <cstring>
#include <memory>

#include "core/arguments.h"
#include "core/error.h"
#include "core/function_table.h"
#include "core/game_image.h"
#include "core/real_to_int.h"
#include "core/rvalue.h"
#include "core/support_output.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/lights.h"
#include "render/render_state.h"
#include "render/shader.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/view.h"

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
    s->program = Shader_Add(s->vertexSource, s->fragmentSource, &error[0], &inFragment, s->attributes);
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
    s->lightsDirectionHandle = Shader_Get_Uniform_Handle(s, "vt_Lights_Direction");
    s->lightsPosRangeHandle = Shader_Get_Uniform_Handle(s, "vt_Lights_PosRange");
    s->lightsColourHandle = Shader_Get_Uniform_Handle(s, "vt_Lights_Colour");
    s->ambientColourHandle = Shader_Get_Uniform_Handle(s, "vt_AmbientColour");
    s->lightingEnabledHandle = Shader_Get_Uniform_Handle(s, "vt_LightingEnabled");
}

const GLSLShader* ProgramInForce() {
    return g_ActiveUserShader != nullptr ? Shader_Get(g_ActiveUserShader->program) : nullptr;
}

// The GL location of a shader's uniform handle in its program, -1 for none.
GLint Location(const GLSLShader* g, int handle) {
    if (g == nullptr || handle < 0 || handle >= static_cast<int>(g->uniforms.size())) return -1;
    return g->uniforms[static_cast<size_t>(handle)].location;
}

// The fixed lights under the names user shaders read them by; a light's
// colour counts only while it is switched on.
void UploadLights(const Shader* s, const GLSLShader* g) {
    float direction[8][4] = {}, posRange[8][4] = {}, colour[8][4] = {};
    for (int i = 0; i < 8; ++i) {
        if (g_LightTypes[i] == 0)
            for (int c = 0; c < 3; ++c) direction[i][c] = g_LightPos[i][c];
        for (int c = 0; c < 3; ++c) posRange[i][c] = g_LightPos[i][c];
        posRange[i][3] = g_LightRange[i];
        const float on = (g_LightFlags & (1u << i)) != 0 ? 1.0f : 0.0f;
        for (int c = 0; c < 4; ++c) colour[i][c] = g_LightColour[i][c] * on;
    }
    GLint at = Location(g, s->ambientColourHandle);
    if (at >= 0) glUniform4fv(at, 1, g_LightAmbient);
    if ((at = Location(g, s->lightsDirectionHandle)) >= 0) glUniform4fv(at, 8, &direction[0][0]);
    if ((at = Location(g, s->lightsColourHandle)) >= 0) glUniform4fv(at, 8, &colour[0][0]);
    if ((at = Location(g, s->lightsPosRangeHandle)) >= 0) glUniform4fv(at, 8, &posRange[0][0]);
    if ((at = Location(g, s->lightingEnabledHandle)) >= 0)
        glUniform1i(at, g_States.GetRenderState(eRS_Lighting) != 0 ? 1 : 0);
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
    UploadLights(g_ActiveUserShader, g);
}

namespace {

// The uniform-table entry `handle` of the program in force, after flushing
// the batch; null when there is none to set.
const ShaderUniform* UniformInForce(int handle) {
    const GLSLShader* g = ProgramInForce();
    if (g_UsingGL2 != 1 || g == nullptr || handle < 0 || handle >= static_cast<int>(g->uniforms.size()))
        return nullptr;
    Graphics::Flush();
    return &g->uniforms[static_cast<size_t>(handle)];
}

} // namespace

bool Shader_Set_Uniform_F(int handle, int count, double x, double y, double z, double w) {
    const ShaderUniform* u = UniformInForce(handle);
    if (u == nullptr) return false;
    const int n = count < u->columns ? count : u->columns;
    const float v[4] = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z),
                        static_cast<float>(w)};
    switch (n) {
        case 1: glUniform1fv(u->location, 1, v); break;
        case 2: glUniform2fv(u->location, 1, v); break;
        case 3: glUniform3fv(u->location, 1, v); break;
        case 4: glUniform4fv(u->location, 1, v); break;
        default: return false;
    }
    return true;
}

bool Shader_Set_Uniform_I(int handle, int count, double x, double y, double z, double w) {
    const ShaderUniform* u = UniformInForce(handle);
    if (u == nullptr) return false;
    const int n = count < u->columns ? count : u->columns;
    const GLint v[4] = {RealToInt32(x), RealToInt32(y), RealToInt32(z), RealToInt32(w)};
    switch (n) {
        case 1: glUniform1iv(u->location, 1, v); break;
        case 2: glUniform2iv(u->location, 1, v); break;
        case 3: glUniform3iv(u->location, 1, v); break;
        case 4: glUniform4iv(u->location, 1, v); break;
        default: return false;
    }
    return true;
}

namespace {

// Uploads a float array: whole elements of a vector uniform, or whole
// matrices of a matrix uniform; the rest of the values is ignored.
bool UploadFloats(const ShaderUniform& u, int count, const float* values) {
    if (count <= 0 || u.columns <= 0) return false;
    if (u.rows < 2) {
        const int elements = count / u.columns;
        if (elements == 0) return false;
        switch (u.columns) {
            case 1: glUniform1fv(u.location, elements, values); break;
            case 2: glUniform2fv(u.location, elements, values); break;
            case 3: glUniform3fv(u.location, elements, values); break;
            case 4: glUniform4fv(u.location, elements, values); break;
            default: return false;
        }
        return true;
    }
    const int size = u.columns * u.rows;
    const int matrices = count / size;
    if (matrices == 0) return false;
    switch (u.rows) {
        case 2: glUniformMatrix2fv(u.location, matrices, GL_FALSE, values); break;
        case 3: glUniformMatrix3fv(u.location, matrices, GL_FALSE, values); break;
        case 4: glUniformMatrix4fv(u.location, matrices, GL_FALSE, values); break;
        default: return false;
    }
    return true;
}

} // namespace

bool Shader_Set_Uniform_FA(int handle, int count, const float* values) {
    const ShaderUniform* u = UniformInForce(handle);
    return u != nullptr && values != nullptr && UploadFloats(*u, count, values);
}

bool Shader_Set_Uniform_IA(int handle, int count, const int* values) {
    const ShaderUniform* u = UniformInForce(handle);
    if (u == nullptr || values == nullptr || count <= 0 || u->columns <= 0) return false;
    if (u->rows >= 2) {
        std::vector<float> floats(values, values + count);
        return UploadFloats(*u, count, floats.data());
    }
    const int elements = count / u->columns;
    if (elements == 0) return false;
    switch (u->columns) {
        case 1: glUniform1iv(u->location, elements, values); break;
        case 2: glUniform2iv(u->location, elements, values); break;
        case 3: glUniform3iv(u->location, elements, values); break;
        case 4: glUniform4iv(u->location, elements, values); break;
        default: return false;
    }
    return true;
}

bool Shader_Set_Uniform_Matrix_N(int handle, int count, const float* values) {
    const ShaderUniform* u = UniformInForce(handle);
    if (u == nullptr || values == nullptr || count <= 0 || u->columns != 4) return false;
    glUniformMatrix4fv(u->location, count, GL_FALSE, values);
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

// The setters flush the batch and apply a pending shader change first, so
// their values land on the program that will draw next.
void ApplyPendingShader() {
    Graphics::Flush();
    if (g_ShaderDirty) FlushShader();
}

void SetUniformValues(int argc, RValue* args, bool integer) {
    if (argc < 2) return;
    ApplyPendingShader();
    const int count = argc - 1 > 4 ? 4 : argc - 1;
    double v[4] = {};
    for (int i = 0; i < count; ++i) v[i] = ZQGetReal(args, i + 1);
    if (integer)
        Shader_Set_Uniform_I(ZQGetInt32(args, 0), count, v[0], v[1], v[2], v[3]);
    else
        Shader_Set_Uniform_F(ZQGetInt32(args, 0), count, v[0], v[1], v[2], v[3]);
}

void F_ShaderSetUniformI(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    SetUniformValues(argc, args, true);
}

void F_ShaderSetUniformF(RValue&, CInstance*, CInstance*, int argc, RValue* args) {
    SetUniformValues(argc, args, false);
}

// The first row of an array argument, or null after reporting a value that is
// not an array.
const DynamicArrayOfRValue* ArrayRowArg(const RValue& arg) {
    static const DynamicArrayOfRValue kEmpty{0, nullptr};
    if (arg.Kind() != VALUE_ARRAY) {
        Error_Show_Action("Illegal argument type", false);
        return nullptr;
    }
    const RefDynamicArrayOfRValue* record = arg.pRefArray;
    if (record == nullptr || record->m_length <= 0 || record->m_Array == nullptr) return &kEmpty;
    return &record->m_Array[0];
}

// The array uniform setters: the script array's first row, read element by
// element with `get` and handed to `set` with its length.
template <typename T, typename Get, typename Set>
void SetUniformArray(RValue* args, Get get, Set set) {
    ApplyPendingShader();
    const DynamicArrayOfRValue* row = ArrayRowArg(args[1]);
    if (row == nullptr) return;
    if (row->length <= 0) {
        Error_Show_Action("Illegal array count", false);
        return;
    }
    std::vector<T> values(static_cast<size_t>(row->length));
    for (int i = 0; i < row->length; ++i) values[static_cast<size_t>(i)] = get(row->arr, i);
    set(ZQGetInt32(args, 0), row->length, values.data());
}

void F_ShaderSetUniformIArray(RValue&, CInstance*, CInstance*, int, RValue* args) {
    SetUniformArray<int>(args, ZQGetInt32, Shader_Set_Uniform_IA);
}

void F_ShaderSetUniformFArray(RValue&, CInstance*, CInstance*, int, RValue* args) {
    SetUniformArray<float>(args, ZQGetFloat, Shader_Set_Uniform_FA);
}

void F_ShaderSetUniformMatrix(RValue&, CInstance*, CInstance*, int, RValue* args) {
    ApplyPendingShader();
    float world[16];
    Graphics::GetMatrix(eMatrix_World, world);
    Shader_Set_Uniform_Matrix_N(ZQGetInt32(args, 0), 1, world);
}

void F_ShaderSetUniformMatrixArray(RValue&, CInstance*, CInstance*, int, RValue* args) {
    const DynamicArrayOfRValue* row = ArrayRowArg(args[1]);
    if (row == nullptr) return;
    ApplyPendingShader();
    if (row->length < 16) {
        Error_Show_Action("Illegal array count", false);
        return;
    }
    const int matrices = row->length / 16; // values past the last whole matrix are ignored
    std::vector<float> values(static_cast<size_t>(matrices) * 16);
    for (size_t i = 0; i < values.size(); ++i) values[i] = ZQGetFloat(row->arr, static_cast<int>(i));
    Shader_Set_Uniform_Matrix_N(ZQGetInt32(args, 0), matrices, values.data());
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

// A texture argument: the GPU texture of a texture table id, or null for -1
// and for anything else. Values that are not table ids are never taken as
// addresses: no page entry is known by its address here, so they give none.
Texture* TextureArg(RValue* args, int index) {
    const int id = ZQGetInt32(args, index);
    return GR_Texture_Exists(id) ? GR_Texture_Get_Surface(id) : nullptr;
}

void F_TextureSetStage(RValue&, CInstance*, CInstance*, int, RValue* args) {
    const int stage = ZQGetInt32(args, 0);
    if (stage < 0 || stage >= 8) return; // a stage the device does not have binds nothing
    Graphics::Flush();
    Graphics::SetTexture(stage, TextureArg(args, 1));
}

void F_TextureGetTexelWidth(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Texture* t = TextureArg(args, 0);
    ZQSetResultReal(result, t != nullptr && t->width > 0 ? 1.0 / t->width : 1.0);
}

void F_TextureGetTexelHeight(RValue& result, CInstance*, CInstance*, int, RValue* args) {
    const Texture* t = TextureArg(args, 0);
    ZQSetResultReal(result, t != nullptr && t->height > 0 ? 1.0 / t->height : 1.0);
}

struct BuiltinRow {
    const char* name;
    TRoutine routine;
    int argc;
};

// Registered in this order.
const BuiltinRow kShaderBuiltins[] = {
    {"shader_set", F_ShaderSet, 1},
    {"shader_reset", F_ShaderReset, 0},
    {"shader_current", F_ShaderCurrent, 0},
    {"shader_get_uniform", F_ShaderGetUniform, 2},
    {"shader_get_sampler_index", F_ShaderGetSamplerIndex, 2},
    {"shader_set_uniform_i", F_ShaderSetUniformI, -1},
    {"shader_set_uniform_f", F_ShaderSetUniformF, -1},
    {"shader_set_uniform_i_array", F_ShaderSetUniformIArray, 2},
    {"shader_set_uniform_f_array", F_ShaderSetUniformFArray, 2},
    {"shader_set_uniform_matrix", F_ShaderSetUniformMatrix, 1},
    {"shader_set_uniform_matrix_array", F_ShaderSetUniformMatrixArray, 2},
    {"shader_is_compiled", F_ShaderIsCompiled, 1},
    {"shaders_are_supported", F_ShadersAreSupported, 0},
    {"texture_set_stage", F_TextureSetStage, 2},
    {"texture_get_texel_width", F_TextureGetTexelWidth, 1},
    {"texture_get_texel_height", F_TextureGetTexelHeight, 1},
};

} // namespace

void InitShaderFunctions() {
    for (const BuiltinRow& row : kShaderBuiltins) Function_Add(row.name, row.routine, row.argc, false);
}
