// Stand-ins for the renderer (drawing, views and cameras, the graphics device,
// shaders and textures), until the module is built: each accepts its call and
// does nothing, or answers "none" (or succeeds where the caller would otherwise
// stop). The module deletes each stand-in as it defines the real function; the
// build refuses a function defined both here and in the module
// (tools/check_duplicates.sh).
#include <vector>

#include "core/builtin_services.h"
#include "render/draw_primitives.h"
#include "render/graphics_device.h"
#include "render/surface_services.h"
#include "render/texture.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "world/builtins/game_builtin_services.h"
#include "world/datafile/game_data_services.h"
#include "world/input/input_state.h"
#include "world/motion/render_services.h"
#include "world/run/startup_services.h"
#include "world/step/step_services.h"

// ---- asked for through core/builtin_services.h

float g_curRoomFPS = 0.0f;

// No views are drawn yet, so room coordinates are the window's.
int GR_Window_Views_Mouse_Get_X(int device) {
    return device >= 0 && device < kIOMouseDevices ? g_MousePosX[device] : 0;
}

int GR_Window_Views_Mouse_Get_Y(int device) {
    return device >= 0 && device < kIOMouseDevices ? g_MousePosY[device] : 0;
}

// ---- asked for through world/builtins/game_builtin_services.h

int GR_Window_Get_Region_Width() {
    return 0;
}

int GR_Window_Get_Region_Height() {
    return 0;
}

// ---- asked for through world/datafile/game_data_services.h

void Texture_Load(ImageReader&) {}

void GR_Window_Set_Color(uint32_t) {}

// ---- asked for through world/run/startup_services.h

void INITIALIZE_Graphics_Window() {}

void InitGraphicFunctions() {}

void Init3DFunctions() {}

void InitBufferVertexFunctions() {}

void Effects_Clear() {}

void Room_SizeDrawing() {}

void FINALIZE_Graphics_Texture() {}

void FINALIZE_Graphics_Text() {}

// ---- asked for through world/step/step_services.h

void Draw_Room() {}

// ---- awaiting the texture table and texture drawing: a bare table of GPU
// textures, drawing that draws nothing except the one quad of DrawIt_Color.

namespace {

struct StandInTextureEntry {
    Texture* texture = nullptr;
    bool used = false;
};

std::vector<StandInTextureEntry>& StandInTextures() {
    static std::vector<StandInTextureEntry> table;
    return table;
}

} // namespace

bool GR_Texture_Exists(int id) {
    auto& table = StandInTextures();
    return id >= 0 && id < static_cast<int>(table.size()) && table[static_cast<size_t>(id)].used;
}

Texture* GR_Texture_Get_Surface(int id) {
    return GR_Texture_Exists(id) ? StandInTextures()[static_cast<size_t>(id)].texture : nullptr;
}

int GR_Texture_Create_Empty(int width, int height, bool renderTarget, bool extra, int format) {
    auto& table = StandInTextures();
    size_t id = 0;
    while (id < table.size() && table[id].used) ++id;
    if (id == table.size()) table.emplace_back();
    const int flags = renderTarget ? 2 | 4 | (extra ? 8 : 0) : 0;
    const int textureFormat = format == 1 ? 12 : format == 2 ? 13 : 6;
    table[id] = {Graphics::CreateTexture(width, height, 1, flags, textureFormat), true};
    return static_cast<int>(id);
}

void GR_Texture_Free(int id) {
    if (!GR_Texture_Exists(id)) return;
    StandInTextureEntry& entry = StandInTextures()[static_cast<size_t>(id)];
    Graphics::FreeTexture(entry.texture);
    entry = {};
}

void GR_Texture_Init() {
    StandInTextures().clear();
}

bool GR_Texture_Draw_Simple(int, float, float) {
// The script texture table is not built yet: no id exists.
bool GR_Texture_Exists(int) {
    return false;
}

bool GR_Texture_Draw(int, float, float, float, float, float, float, float, uint32_t, float) {
    return false;
}

bool GR_Texture_Draw_Part(int, float, float, float, float, float, float, float, float, float, uint32_t,
                          float) {
    return false;
}

bool GR_Texture_Draw_Part_Color(int, float, float, float, float, float, float, float, float, float, uint32_t,
                                uint32_t, uint32_t, uint32_t, float) {
    return false;
}

bool GR_Texture_Draw_Tiled(int, float, float, float, float, float, float, bool, bool, float, float, float,
                           float, uint32_t, float) {
    return false;
}

void DrawIt_Color(Texture* texture, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
                  float y4, float tu1, float tv1, float tu2, float tv2, uint32_t c1, uint32_t c2, uint32_t c3,
                  uint32_t c4) {
    struct V {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };
    auto* v = static_cast<V*>(Graphics::AllocVerts(4, texture, eVF_PosColourTex, 6));
    if (v == nullptr) return;
    v[0] = {x1, y1, 0, c1, tu1, tv1};
    v[1] = {x2, y2, 0, c2, tu2, tv1};
    v[2] = {x3, y3, 0, c3, tu2, tv2};
    v[3] = v[2];
    v[4] = {x4, y4, 0, c4, tu1, tv2};
    v[5] = v[0];
}

// ---- asked for through render/surface_services.h (cameras and the GUI view)

// No cameras yet: the default camera's rectangle is the plain view area.
void UpdateDefaultCamera(float x, float y, float w, float h, float angle) {
    GR_D3D_Set_View_Area(x, y, w, h, angle);
}

void SetGuiView() {
    GR_D3D_Set_View_Port(0, 0, g_DeviceWidth, g_DeviceHeight);
    GR_D3D_Set_View_Area(0, 0, static_cast<float>(g_DeviceWidth), static_cast<float>(g_DeviceHeight), 0);
}

// ---- asked for through render/draw_primitives.h (texture pages, surfaces)

// No page entries yet: no handle names one.
bool TPageEntry_PrimitiveImage(int64_t, PrimitiveImage*) {
    return false;
}

// No surfaces yet: the window is always the target.
bool Surface_TargetSizes(int*, int*, int*, int*) {
    return false;
}
