// The single dynamic batch. Consecutive triangle strips are merged into one
// GL strip through degenerate triangles: a new strip always starts at an even
// position so its winding is kept, and its joining vertices are filled in
// once its own vertices are written (at the next allocation or the flush).
#include "render/vertex_batch.h"

#include <cstring>

#include "core/support_output.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/gl_state.h"
#include "render/graphics_device.h"
#include "render/lights.h"
#include "render/render_state.h"
#include "render/render_target.h"
#include "render/shader.h"
#include "render/texture.h"
#include "render/vertex_format.h"
#include "render/view.h"

int32_t g_LastPrimType = -1;
Texture* g_pLastTexture = nullptr;
int32_t g_LastVertexFormat = 0;
int32_t g_LastVertexSize = 0;
int32_t g_CurrentVertexCount = 0;
int32_t g_LastBatchStart = 0;
int32_t g_MaxVertCount = 0;
int32_t g_TrianglesDrawn = 0;
int32_t g_numVertexBatches = 0;
int32_t g_MaxUsedLights = 0;

namespace {

alignas(16) uint8_t SrcVerts[kBatchMaxBytes];

constexpr int kMaxActiveAttribs = 16;
GLuint g_activeAttribs[kMaxActiveAttribs];
int g_numActiveAttribs = 0;

const int32_t kLightShaderVariation[9] = {0, 0, 1, 2, 2, 3, 3, 3, 3};
const int32_t kNumLightsToSet[9] = {1, 1, 2, 4, 4, 8, 8, 8, 8};

// Packs the enabled lights by kind in light order; unused entries get the
// direction (0, 1, 0, 1) and no colour.
void SetLightingUniforms(const GLSLShader* s, int lights) {
    float dirs[8][4], dirColours[8][4], points[8][4], pointColours[8][4];
    int nd = 0, np = 0;
    for (int i = 0; i < 8; ++i) {
        if ((g_LightFlags & (1u << i)) == 0) continue;
        const float entry[4] = {g_LightPos[i][0], g_LightPos[i][1], g_LightPos[i][2], g_LightRange[i]};
        if (g_LightTypes[i] == 0 && nd < lights) {
            std::memcpy(dirs[nd], entry, sizeof entry);
            std::memcpy(dirColours[nd++], g_LightColour[i], sizeof entry);
        } else if (g_LightTypes[i] == 1 && np < lights) {
            std::memcpy(points[np], entry, sizeof entry);
            std::memcpy(pointColours[np++], g_LightColour[i], sizeof entry);
        }
    }
    const float unused[4] = {0, 1, 0, 1}, none[4] = {0, 0, 0, 0};
    for (; nd < lights; ++nd) {
        std::memcpy(dirs[nd], unused, sizeof unused);
        std::memcpy(dirColours[nd], none, sizeof none);
    }
    for (; np < lights; ++np) {
        std::memcpy(points[np], unused, sizeof unused);
        std::memcpy(pointColours[np], none, sizeof none);
    }
    glUniform4fv(s->ambientUniform, 1, g_LightAmbient);
    glUniform4fv(s->dirLightsDirUniform, lights, dirs[0]);
    glUniform4fv(s->dirLightsColourUniform, lights, dirColours[0]);
    glUniform4fv(s->pointLightsPosRangeUniform, lights, points[0]);
    glUniform4fv(s->pointLightsColourUniform, lights, pointColours[0]);
}

// Bytes per vertex of a format code; 0 for a user format not in the table.
int VertexSize(int format) {
    if ((format & kVertexFormatIdBit) == 0) return format;
    const VertexFormat* f = GetVertexFormat(format);
    if (f == nullptr) {
        Support_DebugOutput("Invalid vertex format: 0x%x\n", format);
        return 0;
    }
    return f->size;
}

uint8_t* VertexAt(int index) {
    return SrcVerts + static_cast<size_t>(index) * static_cast<size_t>(g_LastVertexSize);
}

void CopyVertex(int to, int from) {
    std::memcpy(VertexAt(to), VertexAt(from), static_cast<size_t>(g_LastVertexSize));
}

uint32_t AttributeMask(int format) {
    if (format == eVF_PosColour) return 3;
    if (format == eVF_PosColourTex) return 7;
    if ((format & kVertexFormatIdBit) == 0) return 15;
    const VertexFormat* f = GetVertexFormat(format);
    if (f == nullptr) return 0;
    static const uint32_t kUsageBit[5] = {0, 1, 2, 8, 4};
    uint32_t mask = 0;
    for (const VertexElement& e : f->elements)
        if (e.usage >= 1 && e.usage <= 4) mask |= kUsageBit[e.usage];
    return mask;
}

// `vertices` + `offset` without pointer arithmetic: while a GL buffer is
// bound `vertices` is null and the sum is an offset into the buffer.
const uint8_t* At(const uint8_t* vertices, int offset) {
    return reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(vertices) +
                                            static_cast<uintptr_t>(offset));
}

void Enable(GLint location, GLint components, GLenum type, bool normalised, int stride, const uint8_t* at) {
    if (location < 0 || g_numActiveAttribs >= kMaxActiveAttribs) return;
    glEnableVertexAttribArray(static_cast<GLuint>(location));
    glVertexAttribPointer(static_cast<GLuint>(location), components, type, normalised ? GL_TRUE : GL_FALSE,
                          stride, at);
    g_activeAttribs[g_numActiveAttribs++] = static_cast<GLuint>(location);
}

GLint AttribForUsage(const GLSLShader* s, int usage) {
    switch (usage) {
        case 1: return s->posAttrib;
        case 2: return s->colourAttrib;
        case 3: return s->normalAttrib;
        case 4: return s->texAttrib;
        default: return -1;
    }
}

void UploadBuiltInUniforms(const GLSLShader* s) {
    if (s->matricesUniform >= 0) {
        float matrices[eMatrix_Count * 16];
        for (int m = 0; m < eMatrix_Count; ++m)
            std::memcpy(matrices + m * 16, m_CurrentMatrix[m].m, 16 * sizeof(float));
        glUniformMatrix4fv(s->matricesUniform, eMatrix_Count, GL_FALSE, matrices);
    }
    if (g_FogState) {
        glUniform1i(s->vsFogEnabledUniform, 1);
        glUniform1i(s->psFogEnabledUniform, 1);
        glUniform1f(s->fogStartUniform, g_FogStart);
        const float range = g_FogEnd - g_FogStart;
        glUniform1f(s->rcpFogRangeUniform, range > 0.0f ? 1.0f / range : 1.0f);
        glUniform4fv(s->fogColourUniform, 1, g_FogCol);
    }
    if (g_AlphaTestEnable) {
        glUniform1i(s->alphaTestEnabledUniform, 1);
        glUniform1f(s->alphaRefUniform, static_cast<float>(g_AlphaRef) * (1.0f / 255.0f));
    }
}

} // namespace

const uint8_t* Batch_Vertices() {
    return SrcVerts;
}

void Batch_Empty() {
    g_LastPrimType = -1;
    g_CurrentVertexCount = 0;
    g_LastBatchStart = 0;
}

void JoinToPreviousStrip() {
    const int s = g_LastBatchStart;
    if (s <= 0) return;
    CopyVertex(s, s - 1);
    if ((s & 1) == 0) {
        CopyVertex(s + 1, s + 2);
    } else {
        CopyVertex(s + 1, s + 3);
        CopyVertex(s + 2, s + 3);
    }
    g_LastBatchStart = 0;
}

void* Graphics::AllocVerts(int kind, Texture* texture, int format, int count) {
    if (count < 0) return nullptr;
    const int size = VertexSize(format);
    // The store is checked in bytes as well as vertices, so formats wider
    // than 36 bytes can never write past its end.
    if (size <= 0 || static_cast<int64_t>(count) * size > kBatchMaxBytes || count > kBatchAllocLimit)
        return nullptr;
    const bool differs = kind != g_LastPrimType || texture != g_pLastTexture || format != g_LastVertexFormat;
    const bool full = g_CurrentVertexCount + count > kBatchAllocLimit ||
                      static_cast<int64_t>(g_CurrentVertexCount + count + 3) * size > kBatchMaxBytes;
    if (differs || kind == 3 || kind == 6 || full || g_States.AnyDirty() || g_ShaderDirtyM) {
        Graphics::Flush();
        // Without a device nothing draws; the batch still starts again.
        if (g_CurrentVertexCount != 0 || g_LastPrimType != -1) Batch_Empty();
        g_LastPrimType = kind;
        g_pLastTexture = texture;
        g_LastVertexFormat = format;
        g_LastVertexSize = size;
    }
    if (kind == 5) {
        if (g_LastBatchStart > 0) JoinToPreviousStrip();
        if (g_CurrentVertexCount > 0) {
            g_LastBatchStart = g_CurrentVertexCount;
            g_CurrentVertexCount += (g_CurrentVertexCount & 1) == 0 ? 2 : 3;
        }
    }
    void* at = VertexAt(g_CurrentVertexCount);
    g_CurrentVertexCount += count;
    if (g_CurrentVertexCount > g_MaxVertCount) g_MaxVertCount = g_CurrentVertexCount;
    return at;
}

void Graphics::FreeVerts(int count) {
    if (count <= 0) return;
    g_CurrentVertexCount = count >= g_CurrentVertexCount ? 0 : g_CurrentVertexCount - count;
}

int Graphics::GetMaxDynamicVertexCount() {
    return kBatchMaxVertices;
}

int Graphics::GetMaxDynamicVertexSpace() {
    return kBatchMaxBytes;
}

bool Graphics::IsSupportedNativePrimtype(int) {
    return true;
}

GLSLShader* StartShaderBlock(int format, const uint8_t* vertices) {
    g_numActiveAttribs = 0;
    const uint32_t mask = AttributeMask(format);
    GLSLShader* s = nullptr;
    const bool user = g_ActiveUserShaderM != -1;
    if (user) {
        s = Shader_Get(g_ActiveUserShaderM);
    } else {
        const int variant = (g_FogState ? 1 : 0) | (g_AlphaTestEnable ? 2 : 0);
        int handle = -1, lights = 0;
        if (mask == 15) {
            const int n = g_MaxUsedLights < 0 ? 0 : (g_MaxUsedLights > 8 ? 8 : g_MaxUsedLights);
            handle = g_LightingEnable ? SVN_Lit_Shader[4 * kLightShaderVariation[n] + variant]
                                      : SVN_Shader[variant];
            if (g_LightingEnable) lights = kNumLightsToSet[n];
        } else if (mask == 7) {
            handle = SV_Shader[variant];
        } else if (mask == 3) {
            handle = SVS_Shader[variant];
        }
        s = Shader_Get(handle);
        if (s != nullptr) {
            glUseProgram(static_cast<GLuint>(s->program));
            UploadBuiltInUniforms(s);
            if (lights > 0) SetLightingUniforms(s, lights);
        }
    }
    if (s == nullptr) return nullptr;

    const int stride = VertexSize(format);
    if ((format & kVertexFormatIdBit) != 0) {
        const VertexFormat* f = GetVertexFormat(format);
        if (f == nullptr) return nullptr;
        if (!s->attributes.empty()) {
            // The shader named its attributes: each takes the element of the
            // same usage and usage index, and is left off when there is none.
            for (const ShaderAttribute& a : s->attributes) {
                if (a.location < 0) continue;
                for (size_t i = 0; i < f->elements.size(); ++i) {
                    const VertexElement& e = f->elements[i];
                    const GLVertexElement& g = f->glElements[i];
                    if (e.usage != a.usage || g.usageIndex != a.usageIndex) continue;
                    Enable(a.location, g.components, g.glType, g.normalised, stride, At(vertices, e.offset));
                    break;
                }
            }
            return s;
        }
        for (size_t i = 0; i < f->elements.size(); ++i) {
            const VertexElement& e = f->elements[i];
            const GLVertexElement& g = f->glElements[i];
            Enable(AttribForUsage(s, e.usage), g.components, g.glType, g.normalised, stride,
                   At(vertices, e.offset));
        }
        return s;
    }
    const bool normals = format != eVF_PosColour && format != eVF_PosColourTex;
    Enable(s->posAttrib, 3, GL_FLOAT, false, stride, vertices);
    if (normals) Enable(s->normalAttrib, 3, GL_FLOAT, false, stride, At(vertices, 12));
    Enable(s->colourAttrib, 4, GL_UNSIGNED_BYTE, true, stride, At(vertices, (normals ? 24 : 12)));
    if (format == eVF_PosColourTex) Enable(s->texAttrib, 2, GL_FLOAT, false, stride, At(vertices, 16));
    if (normals) Enable(s->texAttrib, 2, GL_FLOAT, false, stride, At(vertices, 28));
    return s;
}

void EndShaderBlock() {
    for (int i = 0; i < g_numActiveAttribs; ++i) glDisableVertexAttribArray(g_activeAttribs[i]);
    g_numActiveAttribs = 0;
}

void DrawArray(int kind, int count, const uint8_t* vertices, int format) {
    static const GLenum kModes[7] = {GL_TRIANGLES, GL_POINTS,         GL_LINES,       GL_LINE_STRIP,
                                     GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
    const GLenum mode = kind >= 1 && kind <= 6 ? kModes[kind] : GL_TRIANGLES;
    if (kind == 1 || kind == 4 || kind == 5 || kind == 6) g_TrianglesDrawn += count;
    if (StartShaderBlock(format, vertices) == nullptr) return;
    FrameBuffer_MayChange();
    glDrawArrays(mode, 0, count);
    EndShaderBlock();
    // A built-in program was selected directly; the next commit re-selects
    // whatever program scripts asked for.
    if (g_ActiveUserShaderM == -1) glUseProgram(0);
}

void Batch_DrawPending() {
    if (g_LastPrimType == -1) return;
    Graphics::SetTexture(g_DefaultTextureStage, g_pLastTexture);
    if (g_CurrentVertexCount <= 0) return;
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    DrawArray(g_LastPrimType, g_CurrentVertexCount, SrcVerts, g_LastVertexFormat);
}
