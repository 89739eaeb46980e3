// Drawing particle systems: each particle as a sprite frame, the data file's
// shape image, or a quad of the runtime's own shape texture written straight
// into the vertex batch; additive blending switched on and off between
// particles as their types ask, and normal blending left on at the end.
#include "sprites/particle_draw.h"

#include <cmath>
#include <cstring>

#include "render/colour.h"
#include "render/page_entry.h"
#include "render/render_settings.h"
#include "render/texture_draw.h"
#include "render/texture_table.h"
#include "render/vertex_batch.h"
#include "sprites/particle_shapes_data.h"
#include "sprites/particle_system.h"
#include "world/datafile/game_data_services.h"
#include "world/instances/sprite_services.h"
#include "world/run/startup_services.h"

ZQTPageEntry* g_ParticleImages[kParticleShapeCount] = {};
int32_t g_ParticleTextures[kParticleShapeCount + 1] = {-1, -1, -1, -1, -1, -1, -1, -1,
                                                       -1, -1, -1, -1, -1, -1, -1};

namespace {

constexpr float kDegToRad = 0.017453292f;
constexpr int kTriangleList = 4;
constexpr int kShapeSize = 64;

const char* const kShapeNames[kParticleShapeCount] = {
    "pt_shape_pixel",     "pt_shape_disk",  "pt_shape_square", "pt_shape_line",  "pt_shape_star",
    "pt_shape_circle",    "pt_shape_ring",  "pt_shape_sphere", "pt_shape_flare", "pt_shape_spark",
    "pt_shape_explosion", "pt_shape_cloud", "pt_shape_smoke",  "pt_shape_snow",
};

struct Vertex {
    float x, y, z;
    uint32_t colour;
    float u, v;
};
static_assert(sizeof(Vertex) == eVF_PosColourTex, "the 24-byte layout");

inline float Fold(float w) {
    if (w > 2.0f) w = 4.0f - w;
    return w - 1.0f;
}

// One quad of a shape texture: corners at ±32 × scale around the position
// (truncated to whole pixels), turned by `angle` degrees.
void DrawShapeQuad(const TextureEntry& tex, float x, float y, float xscale, float yscale, float angle,
                   uint32_t colour) {
    auto* v = static_cast<Vertex*>(Graphics::AllocVerts(kTriangleList, tex.texture, eVF_PosColourTex, 6));
    if (v == nullptr) return;
    const float px = std::trunc(x), py = std::trunc(y);
    const float hx = 32.0f * xscale, hy = 32.0f * yscale;
    const float lx[4] = {-hx, hx, hx, -hx}, ly[4] = {-hy, -hy, hy, hy};
    float cx[4], cy[4];
    if (std::fabs(angle) >= 0.0001f) {
        const float r = angle * kDegToRad, s = std::sin(r), c = std::cos(r);
        for (int k = 0; k < 4; ++k) cx[k] = px + c * lx[k] + s * ly[k], cy[k] = py - s * lx[k] + c * ly[k];
    } else {
        for (int k = 0; k < 4; ++k) cx[k] = px + lx[k], cy[k] = py + ly[k];
    }
    const float u2 = kShapeSize * tex.invWidth, v2 = kShapeSize * tex.invHeight;
    const float us[4] = {0, u2, u2, 0}, vs[4] = {0, 0, v2, v2};
    static constexpr int kOrder[6] = {0, 1, 2, 2, 3, 0};
    for (int slot = 0; slot < 6; ++slot) {
        const int k = kOrder[slot];
        v[slot] = {cx[k], cy[k], GR_Depth, colour, us[k], vs[k]};
    }
}

void DrawParticles(const RParticleSystem& s) {
    const size_t n = s.particles.size();
    bool additive = false;
    for (size_t k = 0; k < n; ++k) {
        const RParticle& p = s.particles[s.oldToNew ? k : n - 1 - k];
        const RParticleType* t = ParticleType_Get(p.type);
        if (t == nullptr) continue;
        if (p.lifetime <= 0) break;
        const CSprite* sprite = t->sprite >= 0 ? Sprite_Data(t->sprite) : nullptr;
        if (sprite != nullptr && sprite->m_numb <= 0) break;
        if (sprite == nullptr && (t->shape < 0 || t->shape >= kParticleShapeCount)) break;

        const int64_t age = p.age, seed = p.seed;
        const float size = p.size + t->sizeWiggle * Fold(static_cast<float>((age + seed) % 16) * 0.25f);
        float angle = p.angle + (t->angRelative ? p.direction : 0.0f);
        if (t->angWiggle != 0.0f)
            angle += t->angWiggle * Fold(static_cast<float>((age + 2 * seed) % 16) * 0.25f);

        if (t->additive != additive) {
            additive = t->additive;
            GR_D3D_Set_Blend(additive ? 1 : 0);
        }
        const float x = p.x + s.x, y = p.y + s.y;
        const float xscale = t->xscale * size, yscale = t->yscale * size;
        if (sprite != nullptr) {
            int64_t frame = p.startFrame;
            if (t->animate) frame += t->stretch ? sprite->m_numb * age / p.lifetime : age;
            sprite->Draw(static_cast<int>(frame % sprite->m_numb), x, y, xscale, yscale, angle, p.colour,
                         p.alpha);
        } else if (ZQTPageEntry* image = g_ParticleImages[t->shape]) {
            GR_Texture_Draw(image, 32, 32, x, y, xscale, yscale, angle * kDegToRad, p.colour, p.alpha);
        } else if (const TextureEntry* tex = GR_Texture_Entry(g_ParticleTextures[t->shape]);
                   tex != nullptr && tex->inUse) {
            DrawShapeQuad(*tex, x, y, xscale, yscale, angle,
                          GR_Color_To_D3DColor(p.colour, ConvertAlpha(p.alpha)));
        }
    }
    if (additive) GR_D3D_Set_Blend(0);
}

} // namespace

void ParticleSystem_Draw(int index) {
    if (const RParticleSystem* s = ParticleSystem_Get(index)) DrawParticles(*s);
}

void ParticleSystem_AutoDraw(int index) {
    const RParticleSystem* s = ParticleSystem_Get(index);
    if (s != nullptr && s->automaticDraw) DrawParticles(*s);
}

float ParticleSystem_LargestDepth() {
    float best = kParticleNoDepth;
    for (int i = 0; i < ParticleSystem_Count(); ++i) {
        const RParticleSystem* s = ParticleSystem_Get(i);
        if (s != nullptr && s->automaticDraw && s->depth > best) best = s->depth;
    }
    return best;
}

float ParticleSystem_NextDepth(float depth) {
    float best = kParticleNoDepth;
    for (int i = 0; i < ParticleSystem_Count(); ++i) {
        const RParticleSystem* s = ParticleSystem_Get(i);
        if (s != nullptr && s->automaticDraw && s->depth < depth && s->depth > best) best = s->depth;
    }
    return best;
}

void ParticleSystem_DrawDepth(float depth) {
    for (int i = 0; i < ParticleSystem_Count(); ++i) {
        const RParticleSystem* s = ParticleSystem_Get(i);
        if (s != nullptr && s->automaticDraw && std::fabs(s->depth - depth) < 0.01f) DrawParticles(*s);
    }
}

// ---- shape tables

void Part_CreateTextures() {
    Part_FreeTextures();
    for (int i = 0; i < kParticleShapeCount; ++i)
        g_ParticleTextures[i] =
            GR_Texture_Create(kParticleShapePNG[i], kParticleShapePNGLength[i], false, false);
    static uint32_t white[kShapeSize * kShapeSize];
    std::memset(white, 0xFF, sizeof white);
    g_ParticleTextures[kParticleShapeCount] = GR_Texture_Create_And_Fill(
        kShapeSize, kShapeSize, reinterpret_cast<const uint8_t*>(white), sizeof white);
}

void Part_FreeTextures() {
    for (int32_t& id : g_ParticleTextures) {
        if (id >= 0 && GR_Texture_Exists(id)) GR_Texture_Free(id);
        id = -1;
    }
}

void Part_SetupEmbeddedImages() {
    for (int i = 0; i < kParticleShapeCount; ++i) {
        EmbeddedImage* image = EmbeddedImage_Find(kShapeNames[i], false);
        g_ParticleImages[i] = image != nullptr ? image->entry : nullptr;
    }
}

void Particle_EmbeddedImagesSetup() {
    Part_SetupEmbeddedImages();
}

void ParticleDraw_Reset() {
    for (ZQTPageEntry*& e : g_ParticleImages) e = nullptr;
    for (int32_t& id : g_ParticleTextures) id = -1;
}
