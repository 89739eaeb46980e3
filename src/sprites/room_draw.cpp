// The frame's drawing of the running room. Every walk over the active
// instances goes from the list's tail to its head (largest depth first), and
// takes the next link before running an event, since an event may create or
// destroy instances (destroyed ones stay linked until the step removes them).
#include "sprites/room_draw.h"

#include <algorithm>
#include <cmath>

#include "core/collector.h"
#include "core/error.h"
#include "core/matrix.h"
#include "core/real_to_int.h"
#include "core/run_globals.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "core/variables.h"
#include "render/draw_primitives.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/gui_view.h"
#include "render/legacy_3d.h"
#include "render/render_settings.h"
#include "render/room_views.h"
#include "render/surface.h"
#include "render/user_shader.h"
#include "render/view.h"
#include "render/window_services.h"
#include "render/window_views.h"
#include "room/camera.h"
#include "room/camera_manager.h"
#include "room/layer.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "room/room_table.h"
#include "sprites/background.h"
#include "sprites/background_table.h"
#include "sprites/layer_draw.h"
#include "sprites/particle_draw.h"
#include "sprites/skeleton_services.h"
#include "world/input/input_state.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"
#include "world/objects/event.h"
#include "world/objects/object_type.h"
#include "world/step/step_services.h"

int32_t g_OldApplicationWidth = 0, g_OldApplicationHeight = 0;
bool g_creatingApplicationSurface = false;

namespace {

constexpr int kRoomViews = 8;
// Particle depths at or below these mean "no (more) particle systems".
constexpr float kNoParticles = -1e9f;
constexpr float kNoMoreParticles = -1e8f;
// The legacy layers of a room without layers.
constexpr float kBackgroundDepth = 12000.0f;
constexpr float kForegroundDepth = -12000.0f;
constexpr float kAfterForegroundDepth = -13000.0f;
// Items of the legacy merge never draw deeper than this.
constexpr float kMergeDepthLimit = 11000.0f;

bool Drawable(const CInstance* inst) {
    return inst != nullptr && !inst->i_marked && !inst->i_deactivated && inst->i_visible;
}

bool HasEvent(const CInstance* inst, int type, int subtype) {
    return inst->m_pObject != nullptr && inst->m_pObject->HasEventRecursive(type, subtype);
}

void SetExtents(const tagZQRECT* rect) {
    g_roomExtents[0] = rect->left;
    g_roomExtents[1] = rect->top;
    g_roomExtents[2] = rect->right;
    g_roomExtents[3] = rect->bottom;
    DirtyRoomExtents();
}

tagZQRECT ExtentsRect() {
    return {g_roomExtents[0], g_roomExtents[1], g_roomExtents[2], g_roomExtents[3]};
}

void ClearToWindowColour() {
    GR_Draw_Clear(g_OutsideViewColour);
}

// The view pointed at a rectangle: through the default camera with
// new-generation data, else the plain view area.
void PointView(float x, float y, float w, float h) {
    if (g_isNimbar)
        UpdateDefaultCamera(x, y, w, h, 0.0f);
    else
        GR_D3D_Set_View_Area(x, y, w, h, 0.0f);
}

// ---- layer shaders and scripts around a layer's draw events

bool SetShader(int shader) {
    if (shader == -1) return false;
    Shader* s = GetShader(shader);
    if (s == nullptr) return false;
    Shader_Set(s);
    if (g_ShaderDirty) FlushShader();
    return true;
}

void ResetShader() {
    Graphics::Flush();
    Shader_Set(nullptr);
    if (g_ShaderDirty) FlushShader();
}

// Runs a layer's begin or end script with the running event named by the
// layer id and the event's type and subtype.
void RunLayerScript(int layerID, int script, int type, int subtype) {
    if (script == -1) return;
    CInstance* self =
        g_fJSGarbageCollection ? reinterpret_cast<CInstance*>(g_pGlobal) : CLayerManager::m_pScriptInstance;
    if (self == nullptr) return;
    const int32_t object = Current_Object, eventType = Current_Event_Type, eventNumber = Current_Event_Number;
    Current_Object = layerID;
    Current_Event_Type = type;
    Current_Event_Number = subtype;
    RValue result = RValue_Undefined();
    Script_Perform(script, self, self, 0, &result, nullptr);
    FREE_RValue(&result);
    Current_Object = object;
    Current_Event_Type = eventType;
    Current_Event_Number = eventNumber;
}

bool RunDrawEvent(const tagZQRECT* rect, int type, int subtype, bool clearFirst) {
    SetExtents(rect);
    CRoom* room = Run_Room;
    if (room == nullptr) return false;
    bool cleared = false;
    auto run = [&](CInstance* inst) {
        if (clearFirst && !cleared) {
            ClearToWindowColour();
            cleared = true;
        }
        Perform_Event(inst, inst, type, subtype);
    };
    if (room->m_Layers.m_Count == 0) {
        for (CInstance* inst = room->m_pLastActive; inst != nullptr;) {
            CInstance* previous = inst->m_pPrev;
            if (Drawable(inst) && HasEvent(inst, type, subtype)) run(inst);
            inst = previous;
        }
        return cleared;
    }
    for (CLayer* layer = room->m_Layers.m_pLast; layer != nullptr; layer = layer->m_pPrev) {
        if (!layer->m_visible) continue;
        const bool shader = SetShader(layer->m_shader);
        RunLayerScript(layer->m_id, layer->m_beginScript, type, subtype);
        for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr; e = e->m_pNext) {
            if (e->m_type != eLayerElementType_Instance) continue;
            CInstance* inst = static_cast<CLayerInstanceElement*>(e)->m_pInstance;
            if (inst == nullptr) continue;
            // The deactivated instances stand after the active ones.
            if (inst->i_deactivated) break;
            if (!inst->i_marked && inst->i_visible && HasEvent(inst, type, subtype)) run(inst);
        }
        RunLayerScript(layer->m_id, layer->m_endScript, type, subtype);
        if (shader) ResetShader();
    }
    return cleared;
}

// ---- the legacy merge

// The visible tile at or after `index`, or -1. Indices, not pointers: a draw
// event may add tiles and move the array.
int NextTile(const CRoom* room, int index) {
    const int count = static_cast<int>(room->m_tiles.size());
    while (index < count && !room->m_tiles[static_cast<size_t>(index)].visible) ++index;
    return index < count ? index : -1;
}

CInstance* NextDrawable(CInstance* inst) {
    while (inst != nullptr && !Drawable(inst)) inst = inst->m_pPrev;
    return inst;
}

void SetMergeDepth(float depth) {
    GR_3D_Set_Depth(std::min(depth, kMergeDepthLimit));
}

void DrawLegacyTile(const RTile& tile, const tagZQRECT* rect) {
    const CBackground* background = Background_Data(tile.background);
    if (background == nullptr) return;
    const float x1 = tile.x, x2 = tile.x + static_cast<float>(tile.width) * tile.xscale;
    const float y1 = tile.y, y2 = tile.y + static_cast<float>(tile.height) * tile.yscale;
    if (std::max(x1, x2) < static_cast<float>(rect->left) ||
        std::min(x1, x2) > static_cast<float>(rect->right) ||
        std::max(y1, y2) < static_cast<float>(rect->top) ||
        std::min(y1, y2) > static_cast<float>(rect->bottom))
        return;
    background->DrawPart(static_cast<float>(tile.left), static_cast<float>(tile.top),
                         static_cast<float>(tile.width), static_cast<float>(tile.height), tile.x, tile.y,
                         tile.xscale, tile.yscale, tile.blend, tile.alpha);
}

void DrawBackgrounds(const CRoom* room, const tagZQRECT* rect, bool foreground) {
    for (const CBackVT& b : room->m_backgrounds) {
        if (!b.visible || b.foreground != foreground) continue;
        const CBackground* background = Background_Data(b.index);
        if (background == nullptr) continue;
        background->DrawTiled(b.x, b.y, b.xscale, b.yscale, b.htiled, b.vtiled,
                              static_cast<float>(rect->left), static_cast<float>(rect->top),
                              static_cast<float>(rect->right - rect->left),
                              static_cast<float>(rect->bottom - rect->top), b.blend, b.alpha);
    }
}

} // namespace

void RoomDraw_Reset() {
    g_OldApplicationWidth = g_OldApplicationHeight = 0;
    g_creatingApplicationSurface = false;
}

void RoomDraw_Instance(CInstance* inst, bool truncateFrame) {
    if (!Drawable(inst)) return;
    if (HasEvent(inst, EVENT_DRAW, kDrawEventDraw)) {
        SkeletonSprite_SetDrawInstance(inst);
        Perform_Event(inst, inst, EVENT_DRAW, kDrawEventDraw);
        SkeletonSprite_SetDrawInstance(nullptr);
        return;
    }
    const CSprite* sprite = Sprite_Data(inst->i_spriteindex);
    if (sprite == nullptr) return;
    SkeletonSprite_SetDrawInstance(inst);
    if (inst->i_imagescalex == 1.0f && inst->i_imagescaley == 1.0f && inst->i_imageangle == 0.0f &&
        inst->i_imageblend == 0xFFFFFF && inst->i_imagealpha == 1.0f) {
        const double index = inst->i_imageindex;
        sprite->DrawSimple(RealToInt32(truncateFrame ? index : std::floor(index)), inst->i_x, inst->i_y);
    } else {
        sprite->Draw(RealToInt32(inst->i_imageindex), inst->i_x, inst->i_y, inst->i_imagescalex,
                     inst->i_imagescaley, inst->i_imageangle, inst->i_imageblend, inst->i_imagealpha);
    }
    SkeletonSprite_SetDrawInstance(nullptr);
}

void ExecuteDrawEvent(tagZQRECT* rect, int type, int subtype) {
    RunDrawEvent(rect, type, subtype, false);
}

bool ExecutePreDrawEvent(tagZQRECT* rect, int type, int subtype, bool clearFirst) {
    return RunDrawEvent(rect, type, subtype, clearFirst);
}

void DoSlowDrawRoom(tagZQRECT* rect) {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    float particles = ParticleSystem_LargestDepth();
    int tile = NextTile(room, 0);
    CInstance* inst = NextDrawable(room->m_pLastActive);
    for (;;) {
        const bool particlesPending = particles > kNoMoreParticles;
        if (!particlesPending && tile < 0 && inst == nullptr) break;
        const float tileDepth = tile >= 0 ? room->m_tiles[static_cast<size_t>(tile)].depth : 0.0f;
        enum { kInstance, kParticles, kTile } next;
        // The greater of tile and instance; the instance at equal depth.
        auto tileOrInstance = [&] {
            return inst == nullptr || (tile >= 0 && tileDepth > inst->i_depth) ? kTile : kInstance;
        };
        if (inst != nullptr && !(particlesPending && particles > inst->i_depth)) {
            next = tileOrInstance();
        } else if (particlesPending && (tile < 0 || particles >= tileDepth)) {
            next = kParticles;
        } else {
            next = tileOrInstance();
        }
        if (next == kInstance) {
            CInstance* previous = inst->m_pPrev;
            SetMergeDepth(inst->i_depth);
            RoomDraw_Instance(inst);
            inst = NextDrawable(previous);
        } else if (next == kParticles) {
            SetMergeDepth(particles);
            ParticleSystem_DrawDepth(particles);
            particles = ParticleSystem_NextDepth(particles);
        } else {
            SetMergeDepth(tileDepth);
            // Copied: drawing may not move the array, but the next index is
            // taken against the array as it is now.
            const RTile drawn = room->m_tiles[static_cast<size_t>(tile)];
            DrawLegacyTile(drawn, rect);
            tile = NextTile(room, tile + 1);
        }
    }
    Graphics::Flush();
}

void DrawInstancesParticlesOnly(tagZQRECT*) {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    float particles = ParticleSystem_LargestDepth();
    CInstance* inst = NextDrawable(room->m_pLastActive);
    for (;;) {
        const bool particlesPending = particles > kNoMoreParticles;
        if (!particlesPending && inst == nullptr) break;
        if (particlesPending && (inst == nullptr || particles > inst->i_depth)) {
            if (GR_3DMode) SetMergeDepth(particles);
            ParticleSystem_DrawDepth(particles);
            particles = ParticleSystem_NextDepth(particles);
        } else {
            CInstance* previous = inst->m_pPrev;
            if (GR_3DMode) SetMergeDepth(inst->i_depth);
            RoomDraw_Instance(inst);
            inst = NextDrawable(previous);
        }
    }
    Graphics::Flush();
}

void DrawInstancesOnly(tagZQRECT*) {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    for (CInstance* inst = NextDrawable(room->m_pLastActive); inst != nullptr;) {
        CInstance* previous = inst->m_pPrev;
        if (GR_3DMode) SetMergeDepth(inst->i_depth);
        RoomDraw_Instance(inst, true);
        inst = NextDrawable(previous);
    }
    Graphics::Flush();
}

void DrawTheRoom(tagZQRECT* rect) {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    const tagZQRECT area = *rect;
    SetExtents(&area);
    if (room->m_showColour) {
        Graphics::Clear(static_cast<uint32_t>(room->m_colour) | 0xFF000000u, 1.0f, 0,
                        eClear_Colour | eClear_DepthStencil);
    } else if (g_isNimbar || GR_3DMode) {
        Graphics::Clear(0, 1.0f, 0, eClear_DepthStencil);
    }
    ExecuteDrawEvent(const_cast<tagZQRECT*>(&area), EVENT_DRAW, kDrawEventBegin);
    tagZQRECT drawArea = area;
    if (room->m_Layers.m_Count > 0) {
        DrawRoomLayers(&drawArea);
    } else {
        GR_3D_Set_Depth(kBackgroundDepth);
        DrawBackgrounds(room, &area, false);
        const bool particles = ParticleSystem_LargestDepth() > kNoParticles;
        const bool instances = room->m_pLastActive != nullptr;
        if (!room->m_tiles.empty() || !instances) {
            DoSlowDrawRoom(&drawArea);
        } else if (particles) {
            DrawInstancesParticlesOnly(&drawArea);
        } else {
            DrawInstancesOnly(&drawArea);
        }
        GR_3D_Set_Depth(kForegroundDepth);
        DrawBackgrounds(room, &area, true);
        GR_3D_Set_Depth(kAfterForegroundDepth);
    }
    drawArea = area;
    ExecuteDrawEvent(&drawArea, EVENT_DRAW, kDrawEventEnd);
}

namespace {

// The application surface for this frame: made, resized or freed as the
// settings ask. True when the frame draws into it.
bool PrepareApplicationSurface() {
    if (!g_AppSurfaceEnabled) {
        if (g_bUsingAppSurface) {
            g_OldApplicationWidth = g_ApplicationWidth;
            g_OldApplicationHeight = g_ApplicationHeight;
        }
        g_ApplicationWidth = g_DeviceWidth;
        g_ApplicationHeight = g_DeviceHeight;
        if (GR_Surface_Exists(g_ApplicationSurface)) GR_Surface_Free(g_ApplicationSurface, true);
        g_ApplicationSurface = APPLICATION_SURFACE_NONE;
        g_bUsingAppSurface = false;
        return false;
    }
    if (!g_bUsingAppSurface && g_OldApplicationWidth > 0 && g_OldApplicationHeight > 0) {
        g_ApplicationWidth = g_OldApplicationWidth;
        g_ApplicationHeight = g_OldApplicationHeight;
    }
    if (g_ApplicationSurface < 0 || !GR_Surface_Exists(g_ApplicationSurface)) {
        g_creatingApplicationSurface = true;
        const int id = GR_Surface_Create(g_ApplicationWidth, g_ApplicationHeight, -1);
        // Without a device there is no surface; -1 would name one to the
        // surface functions.
        g_ApplicationSurface = id >= 0 ? id : APPLICATION_SURFACE_NONE;
        g_creatingApplicationSurface = false;
        wind_regionwidth = g_ApplicationWidth;
        wind_regionheight = g_ApplicationHeight;
    }
    if (g_NewApplicationSize) {
        g_NewApplicationSize = false;
        if (GR_Surface_Resize(g_ApplicationSurface, g_NewApplicationWidth, g_NewApplicationHeight)) {
            g_ApplicationWidth = g_NewApplicationWidth;
            g_ApplicationHeight = g_NewApplicationHeight;
        }
    }
    g_bUsingAppSurface = true;
    // A surface that could not be made leaves the frame drawing to the window.
    return GR_Surface_Exists(g_ApplicationSurface);
}

void DrawView(CRoom* room, int index) {
    const CViewVT& view = room->m_views[index];
    const float scaleX = g_DisplayScaleX, scaleY = g_DisplayScaleY;
    bool onSurface = false;
    if (GR_Surface_Exists(view.surface)) {
        Graphics::Flush();
        onSurface = ZQVTL_surface_set_target(view.surface);
        if (onSurface) g_CurrentViewSurfaceTexture = GR_Surface_Get_Texture(view.surface);
    }
    if (!onSurface) {
        GR_D3D_Set_View_Port(RealToInt32(static_cast<float>(view.xport) * scaleX),
                             RealToInt32(static_cast<float>(view.yport) * scaleY),
                             RealToInt32(static_cast<float>(view.wport) * scaleX),
                             RealToInt32(static_cast<float>(view.hport) * scaleY));
    }
    if (g_isNimbar) {
        g_CM.SetActiveCamera(view.camera);
        if (CCamera* camera = g_CM.GetActiveCamera()) {
            camera->Begin();
            // The begin script may have destroyed the camera.
            if (CCamera* still = g_CM.GetActiveCamera()) still->ApplyMatrices();
        }
    } else {
        GR_D3D_Set_View_Area(view.xview, view.yview, view.wview, view.hview, view.angle);
    }
    tagZQRECT rect = ExtentsRect();
    DrawTheRoom(&rect);
    if (onSurface) {
        g_CurrentViewSurfaceTexture = -1;
        ZQVTL_surface_reset_target();
    }
    g_DisplayScaleX = scaleX;
    g_DisplayScaleY = scaleY;
    if (g_isNimbar) {
        if (CCamera* camera = g_CM.GetActiveCamera()) camera->End();
        g_CM.SetActiveCamera(-1);
    }
}

void DrawCursorSprite() {
    const CSprite* cursor = Sprite_Data(Cursor_Sprite);
    if (cursor == nullptr) return;
    zqMatrix view = zqMatrix::Identity();
    view.m[12] = -static_cast<float>(g_DeviceWidth) * 0.5f;
    view.m[13] = -static_cast<float>(g_DeviceHeight) * 0.5f;
    view.m[14] = 16000.0f;
    Graphics::SetMatrix(eMatrix_View, view.m);
    const bool ignoreCull = CSprite::ms_ignoreCull;
    CSprite::ms_ignoreCull = true;
    cursor->Draw(Cursor_Subimage, static_cast<float>(g_MousePosX[0]), static_cast<float>(g_MousePosY[0]),
                 1.0f, 1.0f, 0.0f, 0xFFFFFF, 1.0f);
    Graphics::Flush();
    CSprite::ms_ignoreCull = ignoreCull;
}

} // namespace

void Draw_Room() {
    CRoom* room = Run_Room;
    if (room == nullptr) return;
    const bool useAppSurface = PrepareApplicationSurface();
    const int dw = g_DeviceWidth, dh = g_DeviceHeight;
    tagZQRECT device{0, 0, dw, dh};

    // Pre-draw over the whole device.
    const bool mode3D = GR_3DMode;
    if (g_isNimbar) GR_3DMode = false;
    GR_D3D_Set_View_Port(0, 0, dw, dh);
    PointView(0, 0, static_cast<float>(dw), static_cast<float>(dh));
    g_DisplayScaleX = g_DisplayScaleY = 1.0f;
    const bool clearFlag = room->m_clearDisplay && useAppSurface;
    const bool cleared = ExecutePreDrawEvent(&device, EVENT_DRAW, kDrawEventPre, clearFlag);
    if (g_isNimbar) GR_3DMode = mode3D;

    // The room, into the application surface.
    const bool onAppSurface = useAppSurface && ZQVTL_surface_set_target(g_ApplicationSurface);
    UpdateViews();
    if (room->m_Layers.m_Count == 0) room->SortTiles();
    if (room->m_enableViews) {
        if (room->m_clearViewBackground) ClearToWindowColour();
        for (int i = 0; i < kRoomViews; ++i) {
            Current_View = i;
            if (!room->m_views[i].visible) continue;
            DrawView(room, i);
        }
        Graphics::Flush();
    } else {
        Current_View = 0;
        Graphics::Flush();
        GR_D3D_Set_View_Port(0, 0, g_ApplicationWidth, g_ApplicationHeight);
        PointView(0, 0, static_cast<float>(room->m_width), static_cast<float>(room->m_height));
        tagZQRECT rect = ExtentsRect();
        DrawTheRoom(&rect);
    }
    if (onAppSurface) ZQVTL_surface_reset_target();

    // Post-draw over the whole device.
    const bool modeAfterRoom = GR_3DMode;
    GR_3DMode = false;
    GR_D3D_Set_View_Port(0, 0, dw, dh);
    PointView(0, 0, static_cast<float>(dw), static_cast<float>(dh));
    const float scaleX = g_DisplayScaleX, scaleY = g_DisplayScaleY;
    g_DisplayScaleX = g_DisplayScaleY = 1.0f;
    if (clearFlag && !cleared) ClearToWindowColour();
    device = {0, 0, dw, dh};
    ExecuteDrawEvent(&device, EVENT_DRAW, kDrawEventPost);

    if (GR_Surface_StackDepth() != 0) {
        Error_Show(kUnbalancedSurfaceStack, false);
        // Left set, the targets would pile up frame after frame until the
        // stack refused the application surface itself.
        while (GR_Surface_StackDepth() > 0 && ZQVTL_surface_reset_target()) {
        }
        GR_3DMode = modeAfterRoom;
        Current_View = 0;
        return;
    }

    g_DisplayScaleX = scaleX;
    g_DisplayScaleY = scaleY;
    if (g_isNimbar) GR_Depth = 0.0f;
    if (g_Application_Surface_Autodraw && useAppSurface)
        RenderSurface_AspectAdjusted(g_ApplicationSurface, 0, 0, dw, dh, g_KeepAspectRatio, false, true);

    // The GUI over its own view.
    GR_3DMode = modeAfterRoom;
    const bool modeForGUI = GR_3DMode, perspective = set_perspective;
    GR_3DMode = false;
    set_perspective = false;
    if (!g_isNimbar) GR_Depth = 0.0f;
    g_InGUI_Zone = true;
    SetGuiView();
    tagZQRECT gui = ExtentsRect();
    for (int subtype : {kDrawEventGUIBegin, kDrawEventGUI, kDrawEventGUIEnd}) {
        tagZQRECT rect = gui;
        ExecuteDrawEvent(&rect, EVENT_DRAW, subtype);
    }
    g_InGUI_Zone = false;

    DrawCursorSprite();
    Graphics::Flush();
    GR_3DMode = modeForGUI;
    set_perspective = perspective;
    Current_View = 0;
}
