// The graphics device and frame. The device layer (GLDevice) is the OpenGL
// implementation of the renderer's GLLayer seam; the functions below open it
// on the current context, probe that context, and bracket frames.
//
// [SECTION] globals
// [SECTION] the OpenGL device layer
// [SECTION] capability probe
// [SECTION] opening, frames, reset and shut-down
// [SECTION] display queries and the runtime's service names
#include "render/graphics_device.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/console.h"
#include "core/header_globals.h"
#include "core/support_output.h"
#include "core/timing.h"
#include "data/ds_map.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/gl_state.h"
#include "render/render_settings.h"
#include "render/render_state.h"
#include "render/render_target.h"
#include "render/shader.h"
#include "render/surface.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/user_shader.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "world/run/main_loop.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---------------------------------------------------------------------------
// [SECTION] globals

int32_t region_width = 640, region_height = 480;
int32_t g_DisplayWidth = 0, g_DisplayHeight = 0;
int32_t g_DeviceWidth = 0, g_DeviceHeight = 0;
int32_t g_ClientWidth = 0, g_ClientHeight = 0;
bool g_InterpolatePixels = false, g_KeepAspectRatio = false;
int32_t begin_end = 0;
int32_t g_SceneBegin = 0;
uint8_t FrameToggle = 0;
int32_t g_LastVerts = 0;
bool g_fFlip = false;
int32_t g_SolidWhiteTexture = -1;
void* g_SolidWhiteTexturePtr = nullptr;

int32_t g_GLVersionMajor = 1, g_GLVersionMinor = 0;
bool g_SupportVBOs = true, g_SupportNPOT = true, g_Support24bitDepth = true,
     g_SupportPackedDepthStencil = true;
bool g_SupportSeparate8bitStencil = false, g_SupportLODBiasExt = false, g_SupportAniso = false;
int32_t g_MaxAniso = 1;
float g_MaxLODBias = 4.0f;
int32_t MAX_TEXTURE_SIZE = 2048;
char* g_GLSLVersionString = nullptr;
bool g_IsGLES = false;
int64_t g_FlipTime = 0; // microseconds the last buffer-swap request took
int32_t g_DefaultTextureStage = 0;

bool (*g_pCreateOpenGLContext)(void* view) = nullptr;
void (*g_pShellGraphicsReset)() = nullptr;

// ---------------------------------------------------------------------------
// [SECTION] the OpenGL device layer

namespace {

class GLDevice final : public GLLayer {
public:
    void SetRenderState(int id, uint32_t value) override { Graphics::SetRenderState(id, value); }
    void SetSamplerState(int stage, int id, uint32_t value) override {
        Graphics::SetSamplerState(stage, id, value);
    }
    void DrawBatch() override { Batch_DrawPending(); }
    void DrawVertices(int primType, const void* vertices, int count, int vertexBytes) override {
        static const GLenum kModes[7] = {GL_POINTS,    GL_POINTS,         GL_LINES,       GL_LINE_STRIP,
                                         GL_TRIANGLES, GL_TRIANGLE_STRIP, GL_TRIANGLE_FAN};
        if (vertices == nullptr || count <= 0 || vertexBytes < 16) return;
        const GLenum mode = primType >= 1 && primType <= 6 ? kModes[primType] : GL_TRIANGLES;
        // Positions are already in clip space (x, y, z, colour word).
        glMatrixMode(GL_PROJECTION);
        glPushMatrix();
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glPushMatrix();
        glLoadIdentity();
        glUseProgram(0);
        glDisable(GL_TEXTURE_2D);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        FrameBuffer_MayChange();
        glVertexPointer(3, GL_FLOAT, vertexBytes, vertices);
        glColorPointer(4, GL_UNSIGNED_BYTE, vertexBytes, static_cast<const uint8_t*>(vertices) + 12);
        glDrawArrays(mode, 0, count);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        glPopMatrix();
        glMatrixMode(GL_PROJECTION);
        glPopMatrix();
        glMatrixMode(GL_MODELVIEW);
    }
    void SetViewPort(int x, int y, int w, int h) override {
        glViewport(x, y, w, h);
        glScissor(x, y, w, h);
    }
    void EnableScissor(bool on) override {
        if (on)
            glEnable(GL_SCISSOR_TEST);
        else
            glDisable(GL_SCISSOR_TEST);
    }
    void Clear(const float rgba[4], float depth, int stencil, int buffers) override {
        GLbitfield mask = 0;
        if ((buffers & eClear_Colour) != 0) {
            glClearColor(rgba[0], rgba[1], rgba[2], rgba[3]);
            mask |= GL_COLOR_BUFFER_BIT;
        }
        if ((buffers & eClear_DepthStencil) != 0) {
            glClearDepth(depth);
            glClearStencil(stencil);
            mask |= GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
        }
        FrameBuffer_MayChange();
        if (mask != 0) glClear(mask);
    }
    // Built-in variants take the matrices at every draw; a user shader in
    // force takes them now.
    void MatricesChanged(int, const float (*matrices)[16]) override {
        const GLSLShader* s = g_ActiveUserShaderM != -1 ? Shader_Get(g_ActiveUserShaderM) : nullptr;
        if (s != nullptr && s->matricesUniform >= 0)
            glUniformMatrix4fv(s->matricesUniform, eMatrix_Count, GL_FALSE, matrices[0]);
    }
};

GLDevice g_GLDevice;

const char* GLString(GLenum name) {
    return reinterpret_cast<const char*>(glGetString(name));
}

// The extension list as one space-separated string: the legacy query where
// the context has it, else the indexed one (core profiles answer null to the
// legacy query).
std::string ExtensionString() {
    if (const char* legacy = GLString(GL_EXTENSIONS)) return legacy;
    glGetError(); // the legacy query raises an error on core profiles
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    std::string all;
    for (GLint i = 0; i < count; ++i) {
        const char* name = reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (name == nullptr) continue;
        if (!all.empty()) all += ' ';
        all += name;
    }
    glGetError();
    return all;
}

} // namespace

// ---------------------------------------------------------------------------
// [SECTION] capability probe

bool Graphics::ParseGLVersion(const char* version, int* major, int* minor) {
    if (version == nullptr) return false;
    // The first "digits.digits" in the text: desktop strings start with it,
    // ES strings carry it after "OpenGL ES " (or "OpenGL ES-CM ").
    for (const char* p = version; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') continue;
        if (p != version && (p[-1] >= '0' && p[-1] <= '9')) continue;
        int a = 0, b = 0, used = 0;
        if (std::sscanf(p, "%d.%d%n", &a, &b, &used) == 2 && used > 0) {
            *major = a;
            *minor = b;
            return true;
        }
    }
    return false;
}

bool Graphics::CheckGLVersion(int major, int minor) {
    return major < g_GLVersionMajor || (major == g_GLVersionMajor && g_GLVersionMinor >= minor);
}

bool Graphics::HasExtension(const char* extensions, const char* name) {
    if (extensions == nullptr || name == nullptr || *name == '\0') return false;
    const size_t n = std::strlen(name);
    for (const char* p = std::strstr(extensions, name); p != nullptr; p = std::strstr(p + 1, name)) {
        const bool startOk = p == extensions || p[-1] == ' ';
        const bool endOk = p[n] == '\0' || p[n] == ' ';
        if (startOk && endOk) return true;
    }
    return false;
}

void Graphics::GetOpenGLInfo() {
    const char* version = GLString(GL_VERSION);
    Support_DebugOutput("OpenGL: version string %s\n", version ? version : "");
    std::free(g_GLSLVersionString);
    g_GLSLVersionString = nullptr;
    const char* vendor = GLString(GL_VENDOR);
    Support_DebugOutput("OpenGL: vendor string %s\n", vendor ? vendor : "");
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    if (maxSize > 0) MAX_TEXTURE_SIZE = maxSize;

    const char* glsl = g_UsingGL2 == 1 ? GLString(GL_SHADING_LANGUAGE_VERSION) : nullptr;
    if (glsl != nullptr) {
        g_GLSLVersionString = strdup(glsl);
        Support_DebugOutput("OpenGL GLSL: version string %s\n", glsl);
    } else {
        if (g_UsingGL2 == 1) Support_DebugOutput("Error finding GLSL version, using 0\n");
        g_GLSLVersionString = strdup("0");
    }

    // The version comes from the string itself, desktop or ES, so a desktop
    // context reports what it is rather than staying at 1.0.
    const std::string v = version ? version : "";
    g_IsGLES = v.find("OpenGL ES") != std::string::npos;
    int major = 0, minor = 0;
    if (ParseGLVersion(version, &major, &minor) &&
        (major > g_GLVersionMajor || (major == g_GLVersionMajor && minor > g_GLVersionMinor))) {
        g_GLVersionMajor = major;
        g_GLVersionMinor = minor;
    }
    if (CheckGLVersion(1, 1) && !(g_GLVersionMajor == 1 && g_GLVersionMinor == 0)) {
        g_SupportVBOs = true;
        Support_DebugOutput("OpenGL: VBOs supported\n");
        if (CheckGLVersion(2, 0)) {
            g_SupportNPOT = true;
            Support_DebugOutput("OpenGL: Non-power-of-two textures supported\n");
        }
    }

    const std::string extensions = ExtensionString();
    const char* ext = extensions.c_str();
    Support_DebugOutput("Extensions:\n%s\n", ext);
    if (HasExtension(ext, "GL_OES_depth24")) {
        g_Support24bitDepth = true;
        Support_DebugOutput("OpenGL: 24bit depth supported\n");
    }
    if (HasExtension(ext, "GL_OES_packed_depth_stencil")) {
        g_SupportPackedDepthStencil = true;
        Support_DebugOutput("OpenGL: packed 24bit depth/8bit stencil supported\n");
    }
    if (HasExtension(ext, "GL_OES_stencil8")) {
        g_SupportSeparate8bitStencil = true;
        Support_DebugOutput("OpenGL: seperate 8bit stencil supported\n");
    }
    if (g_IsGLES && CheckGLVersion(1, 1) && !CheckGLVersion(2, 0) &&
        HasExtension(ext, "GL_EXT_texture_lod_bias")) {
        g_SupportLODBiasExt = true;
        glGetFloatv(GL_MAX_TEXTURE_LOD_BIAS, &g_MaxLODBias);
        Support_DebugOutput("Max mip bias = %f\n", g_MaxLODBias);
    } else if (!g_IsGLES && CheckGLVersion(1, 4)) {
        g_MaxLODBias = 16.0f;
    }
    if (HasExtension(ext, "GL_EXT_texture_filter_anisotropic")) {
        while (glGetError() != GL_NO_ERROR) {
        }
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT, 1.0f);
        if (glGetError() == GL_NO_ERROR) {
            g_SupportAniso = true;
            GLfloat maxAniso = 1.0f;
            glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &maxAniso);
            g_MaxAniso = static_cast<int32_t>(maxAniso);
            Support_DebugOutput("Anisotropic filtering supported, max aniso %d\n", g_MaxAniso);
        }
    }
    if (HasExtension(ext, "GL_OES_texture_npot")) {
        g_SupportNPOT = true;
        Support_DebugOutput("OpenGL: Non-power-of-two textures supported (through extension)\n");
    }
}

void Graphics::AddGraphicsInfo(CDS_Map* map) {
    if (map == nullptr) return;
    auto text = [](GLenum name) {
        const char* s = GLString(name);
        return s ? s : "";
    };
    map->Add("GL_VERSION", 0, text(GL_VERSION));
    map->Add("GL_VENDOR", 0, text(GL_VENDOR));
    map->Add("GL_RENDERER", 0, text(GL_RENDERER));
    map->Add("GL_EXTENSIONS", 0, ExtensionString().c_str());
    map->Add("GL_SHADING_LANGUAGE_VERSION", 0, g_UsingGL2 == 1 ? text(GL_SHADING_LANGUAGE_VERSION) : "0");
    GLint size = 1024;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    map->Add("GL_MAX_TEXTURE_SIZE", size, nullptr);
}

void Graphics::GLError(const char* where) {
    const GLenum code = glGetError();
    if (code != GL_NO_ERROR) Support_DebugOutput("OpenGL Error: %s  -  0x%04X\n", where ? where : "", code);
}

// ---------------------------------------------------------------------------
// [SECTION] opening, frames, reset and shut-down

bool Graphics::OpenWindow(void* view, int, int, int screenFlags) {
    if (g_pCreateOpenGLContext != nullptr && !g_pCreateOpenGLContext(view)) return false;
    // No context current: nothing can be drawn, so the window stays closed.
    if (GLString(GL_VERSION) == nullptr) return false;
    g_GraphicsInitialised = true;
    g_pGLLayer = &g_GLDevice;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (g_DeviceWidth <= 0 || g_DeviceHeight <= 0) {
        g_DeviceWidth = viewport[2];
        g_DeviceHeight = viewport[3];
    }
    if (g_DisplayWidth <= 0 || g_DisplayHeight <= 0) {
        g_DisplayWidth = g_DeviceWidth;
        g_DisplayHeight = g_DeviceHeight;
    }
    g_CurrFBOWidth = g_DeviceWidth;
    g_CurrFBOHeight = g_DeviceHeight;
    g_WindowHeight = g_DeviceHeight;
    glDepthRange(0.0, 1.0);
    glEnable(GL_SCISSOR_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_DITHER);
    glDepthFunc(GL_LEQUAL);
    GetOpenGLInfo();
    initRenderBufferStack(); // a new context starts at the window's level
    g_InterpolatePixels = (screenFlags & 8) != 0;
    g_KeepAspectRatio = (screenFlags & 16) != 0;
    if (g_UsingGL2 == 1) InitOGLResources();
    return true;
}

void Graphics::SceneBegin() {
    if (begin_end != 0 || !g_GraphicsInitialised) return;
    ++g_SceneBegin;
    FrameToggle ^= 1;
    g_LastVerts = 0;
    begin_end = 1;
    g_numTextureSwaps = 0; // the per-frame counters start again
    g_numVertexBatches = 0;
    g_fFlip = false;
    _InvalidateTextureState();
}

void Graphics::SceneEnd() {
    if (begin_end == 0) return;
    if (g_GraphicsInitialised) {
        Graphics::Flush();
        ResetVBuffers();
        if (g_UsingGL2 == 1) {
            glActiveTexture(GL_TEXTURE0);
            g_CurrActiveTexture = 0;
        }
    }
    begin_end = 0;
}

void Graphics::Flip() {
    g_fFlip = true;
}

bool Graphics::GraphicsReset() {
    if (g_pShellGraphicsReset != nullptr) g_pShellGraphicsReset();
    return true;
}

void Graphics::SetVSync(bool on) {
    g_Sync = on ? 1 : 0; // kept by the main loop, which paces the swap with it
}
void Graphics::SetMultiSample(int) {}
void Graphics::EndInit() {}
void Graphics::UpdateWindowSize() {}
void Graphics::Quit() {}
bool Graphics::CheckDoFrameFirst() {
    return false;
}
int Graphics::PickResolution(int, int) {
    return 0;
}
bool Graphics::ShadersSupported() {
    return g_UsingGL2 == 1;
}
void Graphics::Init() {}
int Graphics::FogType() {
    return 1;
}
void Graphics::ExitFullScreen() {}
void Graphics::ResetVBuffers() {
    Batch_Empty();
    g_TrianglesDrawn = 0;
}

void Graphics::InitOGLResources() {
    InitTextureResources();
    InitVertexBuilderResources();
}

void Graphics::InvalidateOGLResources() {
    FreeTextureResources();
    if (g_bForceSurfaceFlush) {
        Graphics::TextureFlush(true);
        g_bForceSurfaceFlush = false;
    }
}

void Graphics::DeleteOGLResources() {
    DeleteShaderManagerResources();
}

void FINALIZE_Graphics_Display() {
    Graphics::InvalidateOGLResources();
    Graphics::DeleteOGLResources();
}

bool GR_D3D_Init(void* view, int width, int height, int screenFlags) {
    if (g_DisplayWidth > 0) width = width < g_DisplayWidth ? width : g_DisplayWidth;
    if (g_DisplayHeight > 0) height = height < g_DisplayHeight ? height : g_DisplayHeight;
    region_width = width;
    region_height = height;
    const int depth = DisplayColorDepth();
    if (depth != 16 && depth != 32) {
        Support_DebugOutput(
            "This program requires 16-bit (High Color) or 32-bit (Full Color) mode. Please change "
            "this in your display properties and run again.\n");
        return false;
    }
    const bool opened = Graphics::OpenWindow(view, width, height, screenFlags);
    if (!opened) return false;
    const zqMatrix identity = zqMatrix::Identity();
    Graphics::SetMatrix(eMatrix_World, identity.m);
    GR_Texture_Init();
    g_States.Reset();
    GR_D3D_Settings_Init();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour | eClear_DepthStencil);
    if (g_GraphicsInitialised) {
        Graphics::Flush();
        Graphics::SetViewPort(0, 0, g_DeviceWidth, g_DeviceHeight);
    }
    GR_D3D_Set_View_Area(0, 0, static_cast<float>(g_DeviceWidth), static_cast<float>(g_DeviceHeight), 0);
    Graphics::Init();
    if (g_SolidWhiteTexture == -1) {
        const uint32_t white = 0xFFFFFFFFu;
        g_SolidWhiteTexture =
            GR_Texture_Create_And_Fill(1, 1, reinterpret_cast<const uint8_t*>(&white), sizeof white);
        g_SolidWhiteTexturePtr = GR_Texture_Entry(g_SolidWhiteTexture);
    }
    return true;
}

void GR_D3D_Settings_Init() {
    if (!g_GraphicsInitialised) return;
    g_DefaultTextureStage = 0;
    g_States.SetRenderState(eRS_BlendEnable, 1);
    g_States.SetRenderState(eRS_DepthTest, set_zbuffer && GR_3DMode ? 1 : 0);
    GR_D3D_Set_Fog(set_fog, set_fog_color, set_fog_near, set_fog_far);
    Graphics::SetTexture(0, nullptr);
    GR_D3D_Set_Texture_Interpolation(g_InterpolatePixels);
    Graphics::Flush();
    Graphics::SetTextureBlending(false);
    GR_D3D_Set_Texture_Repeat(set_texrepeat[0]);
    g_States.Force();
}

bool GR_D3D_Reset() {
    GR_Surface_FreeAll();
    Graphics::GraphicsReset();
    Graphics::Clear(0, 1.0f, 0, eClear_Colour | eClear_DepthStencil);
    if (g_isNimbar)
        g_States.Force();
    else
        GR_D3D_Settings_Init();
    return true;
}

void GR_D3D_PartialReset() {
    Graphics::UpdateWindowSize();
}

void GR_D3D_End() {
    GR_Texture_Free(g_SolidWhiteTexture);
    g_SolidWhiteTexture = -1;
    g_SolidWhiteTexturePtr = nullptr;
    GR_Surface_FreeAll();
    FreeTextureResources();
    FreeUserShaders(); // their programs go with the table below
    if (g_GraphicsInitialised) DeleteShaderManagerResources();
    Graphics::Quit();
}

void GR_D3D_Set_Region(int width, int height) {
    if (g_DisplayWidth > 0 && width > g_DisplayWidth) width = g_DisplayWidth;
    if (g_DisplayHeight > 0 && height > g_DisplayHeight) height = g_DisplayHeight;
    if (width == region_width && height == region_height) return;
    region_width = width;
    region_height = height;
    if (g_GraphicsInitialised) {
        Graphics::Flush();
        Graphics::SetViewPort(0, 0, width, height);
    }
    GR_D3D_Set_View_Area(0, 0, static_cast<float>(width), static_cast<float>(height), 0);
}

void GR_D3D_Get_Region(int& width, int& height) {
    width = region_width;
    height = region_height;
}

bool GR_D3D_Start_Frame() {
    if (!g_GraphicsInitialised) return false;
    Graphics::SceneBegin();
    return true;
}

bool GR_D3D_Finish_Frame(bool flip) {
    if (!g_GraphicsInitialised) return false;
    Graphics::SceneEnd();
    const int64_t before = Timing_Time();
    if (flip) Graphics::Flip();
    g_FlipTime = Timing_Time() - before;
    return true;
}

bool GR_D3D_Refresh() {
    Graphics::SceneBegin();
    Graphics::SceneEnd();
    Graphics::Flip();
    return true;
}

// ---------------------------------------------------------------------------
// [SECTION] display queries and the runtime's service names

int Graphics_DisplayWidth() {
    return g_DisplayWidth;
}
int Graphics_DisplayHeight() {
    return g_DisplayHeight;
}
int DisplayFrequency() {
    return 60;
}
// The answer is fixed: SDL reports 24 bits for the same visuals.
int DisplayColorDepth() {
    return 32;
}
bool DisplayTest(int, int, int, int) {
    return true;
}
bool DisplaySet() {
    return true;
}
bool DisplaySetSize(int, int) {
    return true;
}
bool DisplaySetFrequency(int) {
    return true;
}
bool DisplaySetColorDepth(int) {
    return true;
}
void DisplayReset() {}
void DisplaySetMouse(int, int) {}
int DisplayGetMouseX() {
    return 0;
}
int DisplayGetMouseY() {
    return 0;
}

// The start-up sequence opens graphics at the region's size. A run with no
// window system (no context maker installed and no current context) stays
// headless: the device is not opened, and every device operation already
// does nothing while it is closed.
bool GR_D3D_Init() {
    if (g_pCreateOpenGLContext == nullptr && GLString(GL_VERSION) == nullptr) {
        Support_DebugOutput("GR_D3D_Init: no OpenGL context, running without graphics\n");
        return true;
    }
    return GR_D3D_Init(nullptr, region_width, region_height, 0);
}

void Graphics_EndInit() {
    Graphics::EndInit();
}

void Graphics_PartialReset() {
    GR_D3D_PartialReset();
}

void Graphics_FullReset() {
    GR_D3D_Reset();
}

void Texture_SetInterpolation(bool interpolate) {
    GR_D3D_Set_Texture_Interpolation(interpolate);
}
