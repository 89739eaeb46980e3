// The graphics device: opening the renderer on the OpenGL context, the
// capability probe, the start-up render settings, the drawing region, the
// frame brackets (scene begin, scene end, buffer-swap request), reset and
// shut-down, and the display queries that are fixed answers here.
#pragma once

#include <cstdint>

class CDS_Map;

extern int32_t region_width, region_height;
extern int32_t g_DisplayWidth, g_DisplayHeight;
extern int32_t g_DeviceWidth, g_DeviceHeight;
extern bool g_InterpolatePixels, g_KeepAspectRatio;
extern int32_t begin_end;
extern int32_t g_SceneBegin;
extern uint8_t FrameToggle;
extern int32_t g_LastVerts;
extern bool g_fFlip;
extern int32_t g_SolidWhiteTexture;
extern void* g_SolidWhiteTexturePtr;

// What the context supports (the probe only ever raises these).
extern int32_t g_GLVersionMajor, g_GLVersionMinor;
extern bool g_SupportVBOs, g_SupportNPOT, g_Support24bitDepth, g_SupportPackedDepthStencil;
extern bool g_SupportSeparate8bitStencil, g_SupportLODBiasExt, g_SupportAniso;
extern int32_t g_MaxAniso;
extern float g_MaxLODBias;
extern int32_t MAX_TEXTURE_SIZE;
extern char* g_GLSLVersionString;
extern bool g_IsGLES;
extern int64_t g_FlipTime;
// The stage the batch binds its texture on.
extern int32_t g_DefaultTextureStage;

// Makes the window's OpenGL context current; installed by the platform shell.
// Without it the renderer uses whatever context is current (tests make theirs).
extern bool (*g_pCreateOpenGLContext)(void* view);
// The shell's part of a display reset (full-screen switch, vertical sync);
// installed by the platform shell, null in runs without one.
extern void (*g_pShellGraphicsReset)();

bool GR_D3D_Init(void* view, int width, int height, int screenFlags);
void GR_D3D_Settings_Init();
bool GR_D3D_Reset();
void GR_D3D_PartialReset();
void GR_D3D_End();
void GR_D3D_Set_Region(int width, int height);
void GR_D3D_Get_Region(int& width, int& height);
bool GR_D3D_Start_Frame();
bool GR_D3D_Finish_Frame(bool flip);
bool GR_D3D_Refresh();

namespace Graphics {
bool OpenWindow(void* view, int width, int height, int screenFlags);
void SceneBegin();
void SceneEnd();
void Flip();
bool GraphicsReset();
void SetVSync(bool on);
void SetMultiSample(int);
void EndInit();
void UpdateWindowSize();
void Quit();
bool CheckDoFrameFirst();
int PickResolution(int, int);
bool ShadersSupported();
void Init();
int FogType();
void ExitFullScreen();
void ResetVBuffers();
void GetOpenGLInfo();
// Parses "major.minor" from a GL version string, desktop ("4.5 (Compatibility
// Profile) Mesa 22.3.6") or ES ("OpenGL ES 3.2 Mesa ..."). False when it holds none.
bool ParseGLVersion(const char* version, int* major, int* minor);
bool CheckGLVersion(int major, int minor);
// True when `name` is one whole entry of the space-separated `extensions`
// (a prefix of a longer name does not count).
bool HasExtension(const char* extensions, const char* name);
void AddGraphicsInfo(CDS_Map* map);
void InitOGLResources();
void InvalidateOGLResources();
void DeleteOGLResources();
void GLError(const char* where);
} // namespace Graphics

void FINALIZE_Graphics_Display();

int Graphics_DisplayWidth();
int Graphics_DisplayHeight();
int DisplayFrequency();
int DisplayColorDepth();
bool DisplayTest(int, int, int, int);
bool DisplaySet();
bool DisplaySetSize(int, int);
bool DisplaySetFrequency(int);
bool DisplaySetColorDepth(int);
void DisplayReset();
void DisplaySetMouse(int, int);
int DisplayGetMouseX();
int DisplayGetMouseY();
