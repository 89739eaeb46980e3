// User shaders: the records of the "SHDR" chunk, each compiled from its
// desktop GLSL pair into a program, selected by scripts for all following
// drawing, with uniform handles that index the program's uniform table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ImageReader;

struct Shader {
    int32_t index = 0;
    const char* name = nullptr; // in the data image
    int32_t type = 0;
    const char* vertexSource = nullptr;
    const char* fragmentSource = nullptr;
    std::vector<const char*> attributes;
    std::string errorText; // empty when the shader compiled
    bool compiled = false;
    bool errorInFragment = false;
    int32_t program = -1;
    int32_t baseTextureStage = -1;
    int32_t matricesHandle = -1;
    // The light uniforms' handles, -1 when the shader does not use them.
    int32_t lightsDirectionHandle = -1, lightsPosRangeHandle = -1, lightsColourHandle = -1;
    int32_t ambientColourHandle = -1, lightingEnabledHandle = -1;
};

extern Shader* g_ActiveUserShader;
extern Shader* g_NextActiveUserShader;
extern bool g_ShaderDirty;

// Reads the chunk (replacing any earlier table); a record that does not
// compile stays with its error text. Malformed records throw GameDataError.
void Shader_Load(ImageReader& chunk);
Shader* GetShader(int index);
int Shader_Find(const char* name);
int Shader_Get_Uniform_Handle(Shader* shader, const char* name);
int Shader_Get_Sampler_Index(Shader* shader, const char* name);
void Shader_Set(Shader* shader);
// Applies the shader asked for: its program, matrices and base-texture stage.
void FlushShader();
// Sets up to four components of a uniform of the shader in force.
bool Shader_Set_Uniform_F(int handle, int count, double x, double y, double z, double w);
bool Shader_Set_Uniform_I(int handle, int count, double x, double y, double z, double w);
// Arrays of `count` values: whole elements (or whole matrices) only.
bool Shader_Set_Uniform_IA(int handle, int count, const int* values);
bool Shader_Set_Uniform_FA(int handle, int count, const float* values);
// `count` 4x4 matrices, for a uniform with four columns only.
bool Shader_Set_Uniform_Matrix_N(int handle, int count, const float* values);
void FreeUserShaders();
void InitShaderFunctions();
