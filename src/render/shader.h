// GLSL programs: compiling and linking with their info logs, the attribute
// and uniform lookups a draw needs, the program table (a program's index is
// its handle), the lazily switched current program, and the built-in shader
// variants every batch draws with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct ShaderSampler {
    std::string name;
    int32_t location;
    int32_t stage;
};

struct ShaderUniform {
    std::string name;
    int32_t location;
    uint32_t type;
    int32_t columns, rows, size, arrayLength;
};

// An attribute the program was built with by name: its usage (1 position,
// 2 colour, 3 normal, 4 texture coordinate) and its index among the names of
// that usage, so a vertex format's elements can be matched to it.
struct ShaderAttribute {
    std::string name;
    int32_t location;
    int32_t usage, usageIndex;
};

struct GLSLShader {
    int32_t vertexShader = -1, fragmentShader = -1, program = -1;
    std::string vertexSource, fragmentSource;
    std::vector<ShaderSampler> samplers;     // indexed by texture stage
    std::vector<ShaderUniform> uniforms;     // the active uniforms other than samplers
    std::vector<ShaderAttribute> attributes; // empty unless built with attribute names
    // "in_Position", "in_Normal", "in_TextureCoord", "in_Colour".
    int32_t posAttrib = -1, normalAttrib = -1, texAttrib = -1, colourAttrib = -1;
    int32_t matricesUniform = -1, baseTextureUniform = -1, lightingEnabledUniform = -1;
    int32_t vsFogEnabledUniform = -1, fogStartUniform = -1, rcpFogRangeUniform = -1;
    int32_t psFogEnabledUniform = -1, fogColourUniform = -1;
    int32_t alphaTestEnabledUniform = -1, alphaRefUniform = -1;
    int32_t ambientUniform = -1, dirLightsDirUniform = -1, dirLightsColourUniform = -1;
    int32_t pointLightsPosRangeUniform = -1, pointLightsColourUniform = -1;
};

// Builds a program and appends it to the table: its index, or -1 with the
// GL info log in `error` and `errorInFragment` telling which stage failed.
// `attributeNames` (null entries skipped) fill the named attribute table.
int Shader_Add(const char* vertexSource, const char* fragmentSource, std::string* error,
               bool* errorInFragment, const std::vector<const char*>& attributeNames = {});
// Usage of an attribute by its name: "in_Position" 1, the colour names
// ("in_Colour", "in_Color", either followed by 0-16) 2, "in_Normal" 3,
// anything else 4.
int AttributeUsage(const char* name);
GLSLShader* Shader_Get(int index);
int Shader_Count();
// Asks for a program (-1 none); Shader_Commit makes it current.
void Shader_SetM(int index);
void Shader_Commit();
extern int32_t g_ActiveUserShaderM, g_NextActiveUserShaderM;
extern bool g_ShaderDirtyM;

// The built-in variants (program handles, -1 = not made or failed): bit 0
// of the variant is fog, bit 1 alpha test; lit variants add the light count
// 1 << ((variant >> 2) & 3) in bits 2-3.
extern int32_t SV_Shader[4], SVN_Shader[4], SVN_Lit_Shader[16], SVS_Shader[4];
// Makes every variant table whose first entry is -1.
void InitVertexBuilderResources();
// Deletes every program's GL objects and empties the table and the variants.
void DeleteShaderManagerResources();
// Deletes every program's GL objects (names back to -1) but keeps each
// record's sources and tables, for when the context's objects are lost.
void FreeShaderManagerResources();
// Rebuilds every program without GL objects from its kept sources (named
// attributes kept from the first build) and re-selects the program in use.
void InitShaderManagerResources();
// Rebuilds one program from its sources; all programs; releases all.
void Shader_Reload(int index);
void Shader_Reload_All();
void Shader_Flush_All();
// Builds a program from two files (save area first, then the bundle), each
// behind the preamble and the common code of its stage: its index, or -1
// when a file is missing or the build fails.
int Shader_Load(const char* vertexFile, const char* fragmentFile);
// The full text of one built-in variant's stage, as it is compiled.
std::string GenerateShaderVariation(int variant, bool vertexStage, const char* body, bool lit);
