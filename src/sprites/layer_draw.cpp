// The layer walk of room drawing. Layers stand in the room's list in
// ascending depth, so the walk goes from the last to the first; elements are
// drawn in list order. The layer manager keeps the elements of deactivated
// instances after all others, so the first one ends a layer's drawing.
//
// Scripts and Draw events run during the walk and may change layers and
// elements; the walk reads each next link only after the drawing before it.
// Layers and elements return to their pools (never to the system), so a link
// read from one just released is a cleared link and ends that walk.
#include "sprites/layer_draw.h"

#include <algorithm>

#include "core/collector.h"
#include "core/error.h"
#include "core/real_to_int.h"
#include "core/run_state.h"
#include "core/rvalue.h"
#include "core/script.h"
#include "core/variables.h"
#include "render/bitmap32.h"
#include "render/colour.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/legacy_3d.h"
#include "render/render_state.h"
#include "render/texture_table.h"
#include "render/user_shader.h"
#include "render/vertex_batch.h"
#include "render/view.h"
#include "room/layer.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "sprites/instance_draw.h"
#include "sprites/particle_draw.h"
#include "sprites/tilemap_draw.h"
#include "world/instances/instance.h"
#include "world/instances/sprite_services.h"

namespace {

constexpr int kEventDraw = 8;
constexpr int kTriangleStrip = 5;

struct ColourVertex {
    float x, y, z;
    uint32_t colour;
};
struct TexturedVertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};

// Fills the whole render target with one colour: a quad over clip space
// drawn with identity matrices and no culling, everything restored after.
// Under a user shader the quad is textured with the solid white texture, so
// the shader's sampler reads white.
void FillTarget(uint32_t colour) {
    static constexpr int kMatrices[3] = {eMatrix_View, eMatrix_Projection, eMatrix_World};
    float saved[3][16];
    for (int i = 0; i < 3; ++i) Graphics::GetMatrix(kMatrices[i], saved[i]);
    g_States.SaveStates();
    const zqMatrix identity = zqMatrix::Identity();
    for (int m : kMatrices) Graphics::SetMatrix(m, identity.m);
    g_States.SetRenderState(eRS_CullMode, 0);

    static constexpr float kCorners[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    Texture* white =
        g_NextActiveUserShader != nullptr ? GR_Texture_Get_Surface(g_SolidWhiteTexture) : nullptr;
    if (white != nullptr) {
        auto* v =
            static_cast<TexturedVertex*>(Graphics::AllocVerts(kTriangleStrip, white, eVF_PosColourTex, 4));
        if (v != nullptr)
            for (int i = 0; i < 4; ++i)
                v[i] = TexturedVertex{kCorners[i][0], kCorners[i][1],           1.0f,
                                      colour,         (kCorners[i][0] + 1) / 2, (kCorners[i][1] + 1) / 2};
    } else {
        auto* v = static_cast<ColourVertex*>(Graphics::AllocVerts(kTriangleStrip, nullptr, eVF_PosColour, 4));
        if (v != nullptr)
            for (int i = 0; i < 4; ++i) v[i] = ColourVertex{kCorners[i][0], kCorners[i][1], 1.0f, colour};
    }
    Graphics::Flush();

    for (int i = 0; i < 3; ++i) Graphics::SetMatrix(kMatrices[i], saved[i]);
    g_States.RestoreStates();
}

// Whether the rectangle from (x1, y1) to (x2, y2), either way round, meets
// `rect`, edges included.
bool Meets(const tagZQRECT& rect, float x1, float y1, float x2, float y2) {
    return std::min(x1, x2) <= static_cast<float>(rect.right) &&
           std::max(x1, x2) >= static_cast<float>(rect.left) &&
           std::min(y1, y2) <= static_cast<float>(rect.bottom) &&
           std::max(y1, y2) >= static_cast<float>(rect.top);
}

// A tile of a tile element or an old tilemap: part of a sprite's frame 0.
// It is culled where it is drawn, its own position moved by the layer's
// offset, so tiles of a scrolled layer show wherever the scrolling takes them.
void DrawSpriteTile(const tagZQRECT* rect, const CLayer* layer, int sprite, float x, float y, int left,
                    int top, int width, int height, float xscale, float yscale, uint32_t blend, float alpha) {
    const CSprite* s = Sprite_Data(sprite);
    if (s == nullptr || rect == nullptr) return;
    if (layer != nullptr) {
        x += layer->m_xoffset;
        y += layer->m_yoffset;
    }
    if (!Meets(*rect, x, y, x + static_cast<float>(width) * xscale, y + static_cast<float>(height) * yscale))
        return;
    s->DrawPart(0, static_cast<float>(left), static_cast<float>(top), static_cast<float>(width),
                static_cast<float>(height), x, y, xscale, yscale, blend, alpha);
}

// The elements of one layer in list order, up to the first deactivated
// instance.
void DrawElements(tagZQRECT* rect, CLayer* layer) {
    for (CLayerElementBase* e = layer->m_elements.m_pFirst; e != nullptr; e = e->m_pNext) {
        switch (e->m_type) {
            case eLayerElementType_Background:
                DrawLayerBackgroundElement(rect, layer, static_cast<CLayerBackgroundElement*>(e));
                break;
            case eLayerElementType_Instance: {
                auto* ie = static_cast<CLayerInstanceElement*>(e);
                if (ie->m_pInstance != nullptr && ie->m_pInstance->i_deactivated) return;
                DrawLayerInstanceElement(rect, layer, ie);
                break;
            }
            case eLayerElementType_OldTilemap:
                DrawLayerOldTilemapElement(rect, layer, static_cast<CLayerOldTilemapElement*>(e));
                break;
            case eLayerElementType_Sprite:
                DrawLayerSpriteElement(rect, layer, static_cast<CLayerSpriteElement*>(e));
                break;
            case eLayerElementType_Tilemap:
                DrawLayerTilemapElement(rect, layer, static_cast<CLayerTilemapElement*>(e), 0.0f, 0.0f,
                                        GR_Depth);
                break;
            case eLayerElementType_ParticleSystem:
                DrawLayerParticleElement(rect, layer, static_cast<CLayerParticleElement*>(e));
                break;
            case eLayerElementType_Tile:
                DrawLayerTileElement(rect, layer, static_cast<CLayerTileElement*>(e));
                break;
            default: break;
        }
    }
}

} // namespace

void DrawRoomLayers(tagZQRECT* rect) {
    if (Run_Room == nullptr) return;
    for (CLayer* layer = Run_Room->m_Layers.m_pLast; layer != nullptr; layer = layer->m_pPrev) {
        if (!layer->m_visible) continue;
        GR_3D_Set_Depth(
            static_cast<float>(CLayerManager::m_ForceDepth ? CLayerManager::m_ForcedDepth : layer->m_depth));
        const int shader = SetLayerShader(layer->m_shader);
        ExecuteLayerScript(layer->m_id, layer->m_beginScript, kEventDraw, 0);
        DrawElements(rect, layer);
        ExecuteLayerScript(layer->m_id, layer->m_endScript, kEventDraw, 0);
        ResetLayerShader(shader);
    }
    Graphics::Flush();
}

void ExecuteLayerScript(int layerID, int script, int eventType, int eventSubtype) {
    if (script == -1) return;
    CInstance* self =
        g_fJSGarbageCollection ? reinterpret_cast<CInstance*>(g_pGlobal) : CLayerManager::m_pScriptInstance;
    if (self == nullptr) return;
    const int32_t savedObject = Current_Object;
    const int32_t savedType = Current_Event_Type;
    const int32_t savedNumber = Current_Event_Number;
    Current_Object = layerID;
    Current_Event_Type = eventType;
    Current_Event_Number = eventSubtype;
    RValue result = RValue_Undefined();
    Script_Perform(script, self, self, 0, &result, nullptr);
    FREE_RValue(&result);
    Current_Object = savedObject;
    Current_Event_Type = savedType;
    Current_Event_Number = savedNumber;
}

int SetLayerShader(int shader) {
    if (shader == -1) return -1;
    Shader* s = GetShader(shader);
    if (s == nullptr) {
        Error_Show_Action("Illegal shader handle", false);
        return shader;
    }
    Shader_Set(s);
    if (g_ShaderDirty) FlushShader();
    return shader;
}

void ResetLayerShader(int shader) {
    if (shader == -1) return;
    Graphics::Flush();
    Shader_Set(nullptr);
    if (g_ShaderDirty) FlushShader();
}

void DrawLayerBackgroundElement(tagZQRECT* rect, CLayer* layer, CLayerBackgroundElement* element) {
    if (element == nullptr || element->m_pBackground == nullptr || !element->m_pBackground->visible) return;
    const CBackVT2& b = *element->m_pBackground;
    CSprite* sprite = Sprite_Data(b.index);
    if (sprite == nullptr) {
        FillTarget(GR_Color_To_D3DColor(static_cast<uint32_t>(b.blend), ConvertAlpha(b.alpha)));
        return;
    }
    if (rect == nullptr || layer == nullptr) return;
    float xscale = b.xscale, yscale = b.yscale;
    if (b.stretch && Run_Room != nullptr) {
        xscale = static_cast<float>(Run_Room->m_width) / static_cast<float>(sprite->m_width);
        yscale = static_cast<float>(Run_Room->m_height) / static_cast<float>(sprite->m_height);
    }
    // Tiling starts at the layer's offset with the image's corner there.
    const int32_t xorigin = sprite->m_xorigin, yorigin = sprite->m_yorigin;
    sprite->m_xorigin = sprite->m_yorigin = 0;
    sprite->DrawTiled(RealToInt32(b.imageIndex), layer->m_xoffset, layer->m_yoffset, xscale, yscale, b.htiled,
                      b.vtiled, static_cast<float>(rect->left), static_cast<float>(rect->top),
                      static_cast<float>(rect->right - rect->left),
                      static_cast<float>(rect->bottom - rect->top), static_cast<uint32_t>(b.blend), b.alpha);
    sprite->m_xorigin = xorigin;
    sprite->m_yorigin = yorigin;
}

void DrawLayerInstanceElement(tagZQRECT*, CLayer*, CLayerInstanceElement* element) {
    if (element == nullptr || !Instance_IsDrawable(element->m_pInstance)) return;
    Instance_Draw(element->m_pInstance);
}

void DrawLayerOldTilemapElement(tagZQRECT* rect, CLayer* layer, CLayerOldTilemapElement* element) {
    if (element == nullptr) return;
    for (CTileSlab* slab = element->m_slabs.m_pFirst; slab != nullptr; slab = slab->m_pNext) {
        const int count = std::clamp(slab->count, 0, 32);
        for (int i = 0; i < count; ++i) {
            const RTile& t = slab->tiles[i];
            if (!t.visible) continue;
            DrawSpriteTile(rect, layer, t.background, t.x, t.y, t.left, t.top, t.width, t.height, t.xscale,
                           t.yscale, t.blend, t.alpha);
        }
    }
}

void DrawLayerSpriteElement(tagZQRECT*, CLayer* layer, CLayerSpriteElement* element) {
    if (element == nullptr) return;
    const CSprite* sprite = Sprite_Data(element->m_sprite);
    if (sprite == nullptr) return;
    const float dx = layer != nullptr ? layer->m_xoffset : 0.0f,
                dy = layer != nullptr ? layer->m_yoffset : 0.0f;
    sprite->Draw(RealToInt32(element->m_imageIndex), dx + element->m_x, dy + element->m_y, element->m_xscale,
                 element->m_yscale, element->m_angle, static_cast<uint32_t>(element->m_blend),
                 element->m_alpha);
}

void DrawLayerParticleElement(tagZQRECT*, CLayer*, CLayerParticleElement* element) {
    if (element == nullptr) return;
    ParticleSystem_AutoDraw(element->m_systemID);
}

void DrawLayerTileElement(tagZQRECT* rect, CLayer* layer, CLayerTileElement* element) {
    if (element == nullptr || !element->m_visible) return;
    DrawSpriteTile(rect, layer, element->m_background, element->m_x, element->m_y, element->m_left,
                   element->m_top, element->m_width, element->m_height, element->m_xscale, element->m_yscale,
                   static_cast<uint32_t>(element->m_blend), element->m_alpha);
}
