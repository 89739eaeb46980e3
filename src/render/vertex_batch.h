// The single dynamic vertex batch: every drawing operation appends vertices
// here, and they reach GL as one glDrawArrays when something forces a flush
// (a change of primitive kind, texture, vertex format, render state or
// shader, a full store, or the end of the scene).
#pragma once

#include <cstdint>

struct Texture;
struct GLSLShader;

inline constexpr int kBatchMaxVertices = 16384;
inline constexpr int kBatchMaxBytes = 16384 * 36;
// A strip join needs up to three vertices beyond the caller's.
inline constexpr int kBatchAllocLimit = kBatchMaxVertices - 3;

// Vertex format codes of the built-in layouts (each equals its size):
// position + colour; + texture coordinate; + normal.
enum eVertexFormatCode : int32_t {
    eVF_PosColour = 16,
    eVF_PosColourTex = 24,
    eVF_PosNormalColourTex = 36,
};

extern int32_t g_LastPrimType;
extern Texture* g_pLastTexture;
extern int32_t g_LastVertexFormat;
extern int32_t g_LastVertexSize;
extern int32_t g_CurrentVertexCount;
extern int32_t g_LastBatchStart;
extern int32_t g_MaxVertCount;
extern int32_t g_TrianglesDrawn;
// Batches drawn (glDrawArrays issued for the batch) since the counter was reset.
extern int32_t g_numVertexBatches;
extern int32_t g_MaxUsedLights;

namespace Graphics {
// Room for `count` vertices of `format` (a built-in code or a vertex format
// id); null when the request can never fit the store.
void* AllocVerts(int kind, Texture* texture, int format, int count);
void FreeVerts(int count);
int GetMaxDynamicVertexCount();
int GetMaxDynamicVertexSpace();
bool IsSupportedNativePrimtype(int kind);
} // namespace Graphics

// The pending vertices (tests read them without GL).
const uint8_t* Batch_Vertices();
// Fills in the joining vertices of the last strip added.
void JoinToPreviousStrip();
// Empties the batch without drawing.
void Batch_Empty();
// Draws the pending vertices on the current context: binds the batch's
// texture on the default stage, picks the program and issues the draw.
void Batch_DrawPending();

// Picks and sets up the program for a draw of `format` (null: nothing can
// draw it), and enables its attributes over `vertices`.
GLSLShader* StartShaderBlock(int format, const uint8_t* vertices);
void EndShaderBlock();
// Draws `count` vertices of `kind` and `format` at once with the program
// the format calls for; `vertices` is a byte offset while a GL buffer is
// bound as the array buffer.
void DrawArray(int kind, int count, const uint8_t* vertices, int format);
