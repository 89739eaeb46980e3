// GLSL programs and the built-in shader variants. The built-in texts are
// composed as: preamble, the variant's defines, the common code of the
// stage, then the body, so every variant is the same program with parts of
// its fog, alpha test and lighting compiled in or out.
#include "render/shader.h"

#include <memory>
#include <string_view>

#include "core/load_save.h"
#include "core/memory_manager.h"
#include "core/support_output.h"
#include "render/gl_api.h"

int32_t g_ActiveUserShaderM = -1, g_NextActiveUserShaderM = -1;
bool g_ShaderDirtyM = false;
int32_t SV_Shader[4] = {-1, -1, -1, -1};
int32_t SVN_Shader[4] = {-1, -1, -1, -1};
int32_t SVN_Lit_Shader[16] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
int32_t SVS_Shader[4] = {-1, -1, -1, -1};

namespace {

std::vector<std::unique_ptr<GLSLShader>>& Programs() {
    static std::vector<std::unique_ptr<GLSLShader>> programs;
    return programs;
}

const char kPreamble[] = "#version 120\n#define LOWPREC\n";

const char kVSCommon[] = R"(
#define MATRIX_VIEW 0
#define MATRIX_PROJECTION 1
#define MATRIX_WORLD 2
#define MATRIX_WORLD_VIEW 3
#define MATRIX_WORLD_VIEW_PROJECTION 4
#define MATRICES_MAX 5
uniform mat4 vt_Matrices[MATRICES_MAX];
uniform bool vt_LightingEnabled;
uniform bool vt_VS_FogEnabled;
uniform float vt_FogStart;
uniform float vt_RcpFogRange;
#ifndef MAX_VS_LIGHTS
#define MAX_VS_LIGHTS 8
#endif
#define MIRROR_WIN32_LIGHTING_EQUATION
struct LightEnv {
    vec4 ambientcol;
    vec4 m_dirLights_dir[MAX_VS_LIGHTS];
    vec4 m_dirLights_diffusecol[MAX_VS_LIGHTS];
    vec4 m_pointLights_posrange[MAX_VS_LIGHTS];
    vec4 m_pointLights_diffusecol[MAX_VS_LIGHTS];
};
uniform LightEnv u_LightEnv;

float CalcFogFactor(vec4 pos) {
#ifdef USE_FOG
    return ((vt_Matrices[MATRIX_WORLD_VIEW] * pos).z - vt_FogStart) * vt_RcpFogRange;
#else
    return 0.0;
#endif
}

vec4 DoDirLight(vec3 n, vec4 dir, vec4 colour) {
    return max(0.0, dot(n, dir.xyz)) * colour;
}

vec4 DoPointLight(vec3 p, vec3 n, vec4 posrange, vec4 colour) {
    vec3 d = p - posrange.xyz;
    float len = length(d);
    d = d / len;
#ifdef MIRROR_WIN32_LIGHTING_EQUATION
    float atten = len < posrange.w ? 1.0 : 0.0;
#else
    float atten = clamp(1.0 - len / posrange.w, 0.0, 1.0);
#endif
    return max(0.0, dot(n, d)) * atten * colour;
}

vec4 DoLighting(vec4 vertexColour, vec4 pos, vec3 normal) {
    vec3 wsNormal = -normalize((vt_Matrices[MATRIX_WORLD] * vec4(normal, 0.0)).xyz);
    vec3 wsPos = (vt_Matrices[MATRIX_WORLD] * pos).xyz;
    vec4 total = vec4(0.0);
    for (int i = 0; i < MAX_VS_LIGHTS; ++i)
        total += DoDirLight(wsNormal, u_LightEnv.m_dirLights_dir[i], u_LightEnv.m_dirLights_diffusecol[i]);
    for (int i = 0; i < MAX_VS_LIGHTS; ++i)
        total += DoPointLight(wsPos, wsNormal, u_LightEnv.m_pointLights_posrange[i],
                              u_LightEnv.m_pointLights_diffusecol[i]);
    vec4 lit = min(total * vertexColour + u_LightEnv.ambientcol, vec4(1.0));
    return vec4(lit.rgb, vertexColour.a);
}
)";

const char kPSCommon[] = R"(
uniform sampler2D vt_BaseTexture;
uniform bool vt_PS_FogEnabled;
uniform vec4 vt_FogColour;
uniform bool vt_AlphaTestEnabled;
uniform float vt_AlphaRefValue;

void DoAlphaTest(vec4 colour) {
#ifdef USE_ALPHATEST
    if (colour.a <= vt_AlphaRefValue) discard;
#endif
}

vec4 DoFog(vec4 colour, float f) {
#ifdef USE_FOG
    return vec4(mix(colour.rgb, vt_FogColour.rgb, clamp(f, 0.0, 1.0)), colour.a);
#else
    return colour;
#endif
}
)";

const char kSVVertex[] = R"(
attribute vec3 in_Position;
attribute vec2 in_TextureCoord;
attribute vec4 in_Colour;
varying vec2 v_vTexcoord;
varying vec4 v_vColour;
varying float v_fFog;
void main() {
    vec4 pos = vec4(in_Position, 1.0);
    gl_Position = vt_Matrices[MATRIX_WORLD_VIEW_PROJECTION] * pos;
    gl_PointSize = 1.0;
    v_vColour = in_Colour;
    v_vTexcoord = in_TextureCoord;
    v_fFog = CalcFogFactor(pos);
}
)";

const char kSVNLitVertex[] = R"(
attribute vec3 in_Position;
attribute vec3 in_Normal;
attribute vec2 in_TextureCoord;
attribute vec4 in_Colour;
varying vec2 v_vTexcoord;
varying vec4 v_vColour;
varying float v_fFog;
void main() {
    vec4 pos = vec4(in_Position, 1.0);
    gl_Position = vt_Matrices[MATRIX_WORLD_VIEW_PROJECTION] * pos;
    gl_PointSize = 1.0;
    v_vColour = DoLighting(in_Colour, pos, in_Normal);
    v_vTexcoord = in_TextureCoord;
    v_fFog = CalcFogFactor(pos);
}
)";

const char kSVSVertex[] = R"(
attribute vec3 in_Position;
attribute vec4 in_Colour;
varying vec4 v_vColour;
varying float v_fFog;
void main() {
    vec4 pos = vec4(in_Position, 1.0);
    gl_Position = vt_Matrices[MATRIX_WORLD_VIEW_PROJECTION] * pos;
    gl_PointSize = 1.0;
    v_vColour = in_Colour;
    v_fFog = CalcFogFactor(pos);
}
)";

const char kSVPixel[] = R"(
varying vec2 v_vTexcoord;
varying vec4 v_vColour;
varying float v_fFog;
void main() {
    vec4 colour = v_vColour * texture2D(vt_BaseTexture, v_vTexcoord);
    DoAlphaTest(colour);
    gl_FragColor = DoFog(colour, v_fFog);
}
)";

const char kSVSPixel[] = R"(
varying vec4 v_vColour;
varying float v_fFog;
void main() {
    vec4 colour = v_vColour;
    DoAlphaTest(colour);
    gl_FragColor = DoFog(colour, v_fFog);
}
)";

std::string InfoLog(GLuint object, bool program) {
    GLint length = 0;
    if (program)
        glGetProgramiv(object, GL_INFO_LOG_LENGTH, &length);
    else
        glGetShaderiv(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1) length = 1024;
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    if (program)
        glGetProgramInfoLog(object, length, &written, log.data());
    else
        glGetShaderInfoLog(object, length, &written, log.data());
    log.resize(static_cast<size_t>(written));
    return log;
}

// Compiles one stage; 0 with the log in `error` on failure.
GLuint LoadShader(GLenum type, const std::string& source, std::string* error) {
    const GLuint shader = glCreateShader(type);
    if (shader == 0) {
        if (error != nullptr) *error = "Could not create GL shader object\n";
        return 0;
    }
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok == GL_TRUE) return shader;
    const std::string log = InfoLog(shader, false);
    Support_DebugOutput("Error compiling shader:\n%s\n", log.c_str());
    Support_DebugOutput("\n%s\n", source.c_str());
    if (error != nullptr) *error = log;
    glDeleteShader(shader);
    return 0;
}

void ReleaseGL(GLSLShader* s) {
    if (s->program > 0) glDeleteProgram(static_cast<GLuint>(s->program));
    if (s->vertexShader > 0) glDeleteShader(static_cast<GLuint>(s->vertexShader));
    if (s->fragmentShader > 0) glDeleteShader(static_cast<GLuint>(s->fragmentShader));
    s->program = s->vertexShader = s->fragmentShader = -1;
}

int UniformColumns(GLenum type) {
    switch (type) {
        case GL_INT:
        case GL_FLOAT:
        case GL_BOOL: return 1;
        case GL_FLOAT_VEC2:
        case GL_INT_VEC2:
        case GL_BOOL_VEC2:
        case GL_FLOAT_MAT2: return 2;
        case GL_FLOAT_VEC3:
        case GL_INT_VEC3:
        case GL_BOOL_VEC3:
        case GL_FLOAT_MAT3: return 3;
        default: return 4;
    }
}

int UniformRows(GLenum type) {
    switch (type) {
        case GL_FLOAT_MAT2: return 2;
        case GL_FLOAT_MAT3: return 3;
        case GL_FLOAT_MAT4: return 4;
        default: return 1;
    }
}

void FindLocations(GLSLShader* s) {
    const GLuint p = static_cast<GLuint>(s->program);
    s->posAttrib = glGetAttribLocation(p, "in_Position");
    s->normalAttrib = glGetAttribLocation(p, "in_Normal");
    s->texAttrib = glGetAttribLocation(p, "in_TextureCoord");
    s->colourAttrib = glGetAttribLocation(p, "in_Colour");
    s->matricesUniform = glGetUniformLocation(p, "vt_Matrices");
    s->baseTextureUniform = glGetUniformLocation(p, "vt_BaseTexture");
    s->lightingEnabledUniform = glGetUniformLocation(p, "vt_LightingEnabled");
    s->vsFogEnabledUniform = glGetUniformLocation(p, "vt_VS_FogEnabled");
    s->fogStartUniform = glGetUniformLocation(p, "vt_FogStart");
    s->rcpFogRangeUniform = glGetUniformLocation(p, "vt_RcpFogRange");
    s->psFogEnabledUniform = glGetUniformLocation(p, "vt_PS_FogEnabled");
    s->fogColourUniform = glGetUniformLocation(p, "vt_FogColour");
    s->alphaTestEnabledUniform = glGetUniformLocation(p, "vt_AlphaTestEnabled");
    s->alphaRefUniform = glGetUniformLocation(p, "vt_AlphaRefValue");
    s->ambientUniform = glGetUniformLocation(p, "u_LightEnv.ambientcol");
    s->dirLightsDirUniform = glGetUniformLocation(p, "u_LightEnv.m_dirLights_dir");
    s->dirLightsColourUniform = glGetUniformLocation(p, "u_LightEnv.m_dirLights_diffusecol");
    s->pointLightsPosRangeUniform = glGetUniformLocation(p, "u_LightEnv.m_pointLights_posrange");
    s->pointLightsColourUniform = glGetUniformLocation(p, "u_LightEnv.m_pointLights_diffusecol");

    // Samplers: vt_BaseTexture on stage 0, the others after it in the order
    // GL lists them.
    GLint count = 0;
    glGetProgramiv(p, GL_ACTIVE_UNIFORMS, &count);
    std::vector<std::string> others;
    bool hasBase = false;
    s->uniforms.clear();
    for (GLint i = 0; i < count; ++i) {
        char name[128];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(p, static_cast<GLuint>(i), sizeof name, &length, &size, &type, name);
        if (type != GL_SAMPLER_2D) {
            if (type != GL_SAMPLER_CUBE) {
                const int columns = UniformColumns(type), rows = UniformRows(type);
                s->uniforms.push_back(
                    {name, glGetUniformLocation(p, name), type, columns, rows, columns * rows, size});
            }
            continue;
        }
        if (std::string(name) == "vt_BaseTexture")
            hasBase = true;
        else
            others.emplace_back(name);
    }
    glUseProgram(p);
    s->samplers.clear();
    if (hasBase) s->samplers.push_back({"vt_BaseTexture", s->baseTextureUniform, 0});
    for (const std::string& name : others) {
        const int stage = static_cast<int>(s->samplers.size());
        const GLint location = glGetUniformLocation(p, name.c_str());
        s->samplers.push_back({name, location, stage});
    }
    for (const ShaderSampler& sampler : s->samplers) glUniform1i(sampler.location, sampler.stage);
    glUseProgram(0);
}

// Compiles and links a record's kept sources into fresh GL objects and
// rebuilds its lookups; on failure the record holds no GL objects.
bool BuildGL(GLSLShader* s, std::string* error, bool* errorInFragment) {
    if (errorInFragment != nullptr) *errorInFragment = false;
    const GLuint vs = LoadShader(GL_VERTEX_SHADER, s->vertexSource, error);
    if (vs == 0) return false;
    s->vertexShader = static_cast<int32_t>(vs);
    const GLuint fs = LoadShader(GL_FRAGMENT_SHADER, s->fragmentSource, error);
    if (fs == 0) {
        if (errorInFragment != nullptr) *errorInFragment = true;
        ReleaseGL(s);
        return false;
    }
    s->fragmentShader = static_cast<int32_t>(fs);
    const GLuint program = glCreateProgram();
    if (program == 0) {
        if (error != nullptr) *error = "Could not create GL program object\n";
        ReleaseGL(s);
        return false;
    }
    s->program = static_cast<int32_t>(program);
    glAttachShader(program, vs);
    glAttachShader(program, fs);
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        const std::string log = InfoLog(program, true);
        Support_DebugOutput("Error linking program:\n%s\n", log.c_str());
        if (error != nullptr) *error = log;
        ReleaseGL(s);
        return false;
    }
    FindLocations(s);
    return true;
}

std::unique_ptr<GLSLShader> Build(const char* vertexSource, const char* fragmentSource, std::string* error,
                                  bool* errorInFragment) {
    if (errorInFragment != nullptr) *errorInFragment = false;
    if (vertexSource == nullptr || fragmentSource == nullptr) return nullptr;
    auto s = std::make_unique<GLSLShader>();
    s->vertexSource = vertexSource;
    s->fragmentSource = fragmentSource;
    if (!BuildGL(s.get(), error, errorInFragment)) return nullptr;
    return s;
}

// A shader file's text, from the save area first and then the bundle;
// false when neither holds it.
bool ReadShaderFile(const char* name, std::string* text) {
    if (name == nullptr) return false;
    char* data = nullptr;
    int length = 0;
    if (LoadSave::SaveFileExists(name))
        data = LoadSave::ReadSaveFile(name, &length);
    else if (LoadSave::BundleFileExists(name))
        data = LoadSave::ReadBundleFile(name, &length);
    if (data == nullptr) return false;
    text->assign(data, static_cast<size_t>(length));
    ZQ_Free(data);
    return true;
}

void InitShaderVariations(int32_t* table, int count, const char* vertexBody, const char* pixelBody,
                          bool lit) {
    if (table[0] != -1) return;
    for (int variant = 0; variant < count; ++variant) {
        const std::string vs = GenerateShaderVariation(variant, true, vertexBody, lit);
        const std::string fs = GenerateShaderVariation(variant, false, pixelBody, lit);
        std::string error;
        table[variant] = Shader_Add(vs.c_str(), fs.c_str(), &error, nullptr);
    }
}

} // namespace

std::string GenerateShaderVariation(int variant, bool vertexStage, const char* body, bool lit) {
    std::string text = kPreamble;
    if ((variant & 1) != 0) text += "#define USE_FOG\n";
    if ((variant & 2) != 0) text += "#define USE_ALPHATEST\n";
    if (lit) text += "#define MAX_VS_LIGHTS " + std::to_string(1 << ((variant >> 2) & 3)) + "\n";
    text += vertexStage ? kVSCommon : kPSCommon;
    text += body;
    return text;
}

int AttributeUsage(const char* name) {
    const std::string_view n = name;
    if (n == "in_Position") return 1;
    if (n == "in_Normal") return 3;
    for (const std::string_view stem : {std::string_view("in_Colour"), std::string_view("in_Color")}) {
        if (n.substr(0, stem.size()) != stem) continue;
        const std::string_view digits = n.substr(stem.size());
        if (digits.empty()) return 2;
        // "0" to "16" exactly: no sign, no leading zero on two digits.
        if (digits.size() == 1 && digits[0] >= '0' && digits[0] <= '9') return 2;
        if (digits.size() == 2 && digits[0] == '1' && digits[1] >= '0' && digits[1] <= '6') return 2;
    }
    return 4;
}

int Shader_Add(const char* vertexSource, const char* fragmentSource, std::string* error,
               bool* errorInFragment, const std::vector<const char*>& attributeNames) {
    std::unique_ptr<GLSLShader> s = Build(vertexSource, fragmentSource, error, errorInFragment);
    if (s == nullptr) return -1;
    int perUsage[5] = {};
    for (const char* name : attributeNames) {
        if (name == nullptr) continue;
        const int usage = AttributeUsage(name);
        const GLint location = glGetAttribLocation(static_cast<GLuint>(s->program), name);
        s->attributes.push_back({name, location, usage, perUsage[usage]++});
    }
    Programs().push_back(std::move(s));
    return static_cast<int>(Programs().size()) - 1;
}

GLSLShader* Shader_Get(int index) {
    if (index < 0 || index >= static_cast<int>(Programs().size())) return nullptr;
    return Programs()[static_cast<size_t>(index)].get();
}

int Shader_Count() {
    return static_cast<int>(Programs().size());
}

void Shader_SetM(int index) {
    if (index == g_NextActiveUserShaderM) return;
    g_NextActiveUserShaderM = index;
    g_ShaderDirtyM = index != g_ActiveUserShaderM;
}

void Shader_Commit() {
    if (!g_ShaderDirtyM) return;
    const GLSLShader* s = Shader_Get(g_NextActiveUserShaderM);
    if (s != nullptr && s->program > 0) {
        glUseProgram(static_cast<GLuint>(s->program));
        g_ActiveUserShaderM = g_NextActiveUserShaderM;
    } else {
        g_ActiveUserShaderM = -1;
    }
    g_ShaderDirtyM = false;
}

void InitVertexBuilderResources() {
    InitShaderVariations(SV_Shader, 4, kSVVertex, kSVPixel, false);
    InitShaderVariations(SVN_Shader, 4, kSVVertex, kSVPixel, false);
    InitShaderVariations(SVN_Lit_Shader, 16, kSVNLitVertex, kSVPixel, true);
    InitShaderVariations(SVS_Shader, 4, kSVSVertex, kSVSPixel, false);
}

void DeleteShaderManagerResources() {
    glUseProgram(0);
    for (auto& s : Programs()) ReleaseGL(s.get());
    Programs().clear();
    for (int32_t* table : {SV_Shader, SVN_Shader, SVS_Shader})
        for (int i = 0; i < 4; ++i) table[i] = -1;
    for (int32_t& h : SVN_Lit_Shader) h = -1;
    g_ActiveUserShaderM = g_NextActiveUserShaderM = -1;
    g_ShaderDirtyM = false;
}

void FreeShaderManagerResources() {
    glUseProgram(0);
    for (auto& s : Programs()) ReleaseGL(s.get());
}

void InitShaderManagerResources() {
    for (auto& s : Programs()) {
        if (s->program != -1) continue;
        std::string error;
        // A program that no longer builds keeps its sources and stays
        // without GL objects; selecting it then selects none.
        BuildGL(s.get(), &error, nullptr);
    }
    const GLSLShader* active = Shader_Get(g_ActiveUserShaderM);
    if (active != nullptr && active->program > 0)
        glUseProgram(static_cast<GLuint>(active->program));
    else
        g_ActiveUserShaderM = -1;
    g_NextActiveUserShaderM = g_ActiveUserShaderM;
    g_ShaderDirtyM = false;
}

void Shader_Reload(int index) {
    GLSLShader* s = Shader_Get(index);
    if (s == nullptr) return;
    if (index == g_ActiveUserShaderM) glUseProgram(0);
    ReleaseGL(s);
    std::string error;
    BuildGL(s, &error, nullptr);
    if (index == g_ActiveUserShaderM) {
        if (s->program > 0)
            glUseProgram(static_cast<GLuint>(s->program));
        else
            g_ActiveUserShaderM = -1;
    }
}

void Shader_Reload_All() {
    FreeShaderManagerResources();
    InitShaderManagerResources();
}

void Shader_Flush_All() {
    FreeShaderManagerResources();
}

int Shader_Load(const char* vertexFile, const char* fragmentFile) {
    std::string vertexText, fragmentText;
    if (!ReadShaderFile(vertexFile, &vertexText) || !ReadShaderFile(fragmentFile, &fragmentText)) return -1;
    const std::string vs = std::string(kPreamble) + kVSCommon + vertexText;
    const std::string fs = std::string(kPreamble) + kPSCommon + fragmentText;
    std::string error;
    return Shader_Add(vs.c_str(), fs.c_str(), &error, nullptr);
}
