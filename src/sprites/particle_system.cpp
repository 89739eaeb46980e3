// The particle system table, the systems' layer elements, particle creation,
// emitters with their regions and distributions, and start and end.
#include "sprites/particle_system.h"

#include <cmath>
#include <memory>

#include "core/console.h"
#include "core/header_globals.h"
#include "core/random.h"
#include "core/real_to_int.h"
#include "room/layer_manager.h"
#include "room/room.h"
#include "sprites/effects.h"
#include "sprites/particle_draw.h"
#include "world/run/startup_services.h"

namespace {

std::vector<std::unique_ptr<RParticleSystem>> g_systems;

// ---- layer elements (new-generation data)

void RemoveElement(RParticleSystem& s) {
    if (s.elementId != -1 && Run_Room != nullptr)
        CLayerManager::RemoveElement(Run_Room, s.elementId, true, false);
    s.elementId = -1;
}

// A new element for system `index` on `layer` of the running room, or at
// `depth` when the layer is null; the element's id, or -1 without a room.
int PlaceElement(int index, CLayer* layer, float depth) {
    if (Run_Room == nullptr) return -1;
    CLayerParticleElement* e = CLayerManager::GetNewParticleElement();
    e->m_systemID = index;
    if (layer != nullptr) return CLayerManager::AddNewElement(Run_Room, layer, e, true);
    return CLayerManager::AddNewElementAtDepth(Run_Room, RealToInt32(depth), e, true, true);
}

// The running room's layer of that id, or null.
CLayer* RunLayer(int layer) {
    return layer == -1 ? nullptr : CLayerManager::GetLayerFromID(Run_Room, layer);
}

void ClearFields(RParticleSystem& s) {
    s.particles = {};
    s.emitters = {};
    s.oldToNew = true;
    s.depth = 0;
    s.x = s.y = 0;
    s.automaticUpdate = s.automaticDraw = true;
}

RParticleEmitter* Emitter(int ps, int em) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr || em < 0 || static_cast<size_t>(em) >= s->emitters.size()) return nullptr;
    return &s->emitters[static_cast<size_t>(em)];
}

float Uniform() {
    return static_cast<float>(fZQRandom(1.0));
}

} // namespace

void ReportFull(int64_t dropped, int64_t asked) {
    dbg_csol->Output("particle system full: %lld of %lld particles not created\n",
                     static_cast<long long>(dropped), static_cast<long long>(asked));
}

bool ChanceOne(int64_t m) {
    return ZQRandom(static_cast<int>(m > 2147483647 ? 2147483647 : m)) == 0;
}

// ---------------------------------------------------------------------------
// Systems

RParticleSystem* ParticleSystem_Get(int ps) {
    if (ps < 0 || static_cast<size_t>(ps) >= g_systems.size()) return nullptr;
    return g_systems[static_cast<size_t>(ps)].get();
}

bool ParticleSystem_Exists(int ps) {
    return ParticleSystem_Get(ps) != nullptr;
}

int ParticleSystem_Count() {
    return static_cast<int>(g_systems.size());
}

int ParticleSystem_GetLayer(int ps) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    return s != nullptr ? s->layerId : -1;
}

int ParticleSystem_Create(int layer, bool persistent) {
    // The element's place is settled before anything is made, so a refusal
    // leaves nothing behind.
    CLayer* target = nullptr;
    if (g_isNimbar) {
        if (Run_Room == nullptr) return -1;
        if (layer != -1) {
            CRoom* room = CLayerManager::GetTargetRoomObj();
            CLayer* found = CLayerManager::GetLayerFromID(room, layer);
            if (found == nullptr) return -1;
            if (room == Run_Room) target = found;
        }
    }
    size_t index = 0;
    while (index < g_systems.size() && g_systems[index]) ++index;
    if (index == g_systems.size()) g_systems.emplace_back();
    g_systems[index] = std::make_unique<RParticleSystem>();
    RParticleSystem& s = *g_systems[index];
    if (g_isNimbar) {
        s.elementId = PlaceElement(static_cast<int>(index), target, 0.0f);
        s.destroyAtRoomEnd = !persistent;
        if (layer != -1) {
            s.layerId = layer;
            s.depth = target != nullptr ? static_cast<float>(target->m_depth) : 0.0f;
        }
    }
    return static_cast<int>(index);
}

void ParticleSystem_Clear(int ps) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr) return;
    ClearFields(*s);
    if (g_isNimbar) {
        RemoveElement(*s);
        s->layerId = -1;
        s->destroyAtRoomEnd = false;
    }
}

void ParticleSystem_Destroy(int ps) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr) return;
    RemoveElement(*s);
    g_systems[static_cast<size_t>(ps)].reset();
}

void ParticleSystem_DestroyAll() {
    for (size_t i = 0; i < g_systems.size(); ++i) ParticleSystem_Destroy(static_cast<int>(i));
    g_systems.clear();
    g_systems.shrink_to_fit();
}

void ParticleSystem_DrawOrder(int ps, bool oldToNew) {
    if (RParticleSystem* s = ParticleSystem_Get(ps)) s->oldToNew = oldToNew;
}

void ParticleSystem_Position(int ps, float x, float y) {
    if (RParticleSystem* s = ParticleSystem_Get(ps)) s->x = x, s->y = y;
}

void ParticleSystem_AutomaticUpdate(int ps, bool on) {
    if (RParticleSystem* s = ParticleSystem_Get(ps)) s->automaticUpdate = on;
}

void ParticleSystem_AutomaticDraw(int ps, bool on) {
    if (RParticleSystem* s = ParticleSystem_Get(ps)) s->automaticDraw = on;
}

void ParticleSystem_Depth(int ps, float depth) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr) return;
    s->depth = depth;
    if (!g_isNimbar) return;
    RemoveElement(*s);
    s->elementId = PlaceElement(ps, nullptr, depth);
    s->layerId = -1;
}

// A layer that is missing, or in a room that is not running, leaves the
// system at its depth rather than on no layer at all: it stays drawn.
void ParticleSystem_Layer(int ps, int layer) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr || !g_isNimbar) return;
    RemoveElement(*s);
    s->layerId = layer;
    CLayer* target = nullptr;
    if (CLayerManager::GetTargetRoomObj() == Run_Room) target = RunLayer(layer);
    s->elementId = PlaceElement(ps, target, s->depth);
}

// ---------------------------------------------------------------------------
// Particles

int ParticleSystem_AddParticles(RParticleSystem& s, float x, float y, int type, int64_t n) {
    const int64_t room = kParticleSystemMaxParticles - static_cast<int64_t>(s.particles.size());
    if (n > room) n = room;
    if (n < 1 || !ParticleType_Exists(type)) return 0;
    const size_t first = s.particles.size();
    s.particles.resize(first + static_cast<size_t>(n));
    for (size_t i = first; i < s.particles.size(); ++i) CreateParticle(x, y, type, s.particles[i]);
    return static_cast<int>(n);
}

namespace {

// Adds n particles for a script call, saying on the debug console when the
// system's bound cut the count.
void AddForScript(RParticleSystem& s, float x, float y, int type, int64_t n) {
    const int added = ParticleSystem_AddParticles(s, x, y, type, n);
    if (n > added) ReportFull(n - added, n);
}

} // namespace

void ParticleSystem_Particles_Create(int ps, float x, float y, int type, int n) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr) {
        dbg_csol->Output("part_particles_create :: particle system does not exist!\n");
        return;
    }
    if (!ParticleType_Exists(type)) {
        dbg_csol->Output("part_particles_create :: particle type does not exist!\n");
        return;
    }
    AddForScript(*s, x, y, type, n);
}

void ParticleSystem_Particles_Create_Color(int ps, float x, float y, int type, int colour, int n) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr) {
        dbg_csol->Output("part_particles_create :: particle system does not exist!\n");
        return;
    }
    if (!ParticleType_Exists(type)) {
        dbg_csol->Output("part_particles_create :: particle type does not exist!\n");
        return;
    }
    const size_t first = s->particles.size();
    AddForScript(*s, x, y, type, n);
    for (size_t i = first; i < s->particles.size(); ++i)
        s->particles[i].colour = static_cast<uint32_t>(colour);
}

void ParticleSystem_Particles_Clear(int ps) {
    if (RParticleSystem* s = ParticleSystem_Get(ps)) s->particles = {};
}

int ParticleSystem_Particles_Count(int ps) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    return s != nullptr ? static_cast<int>(s->particles.size()) : 0;
}

// ---------------------------------------------------------------------------
// Emitters

int ParticleSystem_Emitter_Create(int ps) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    if (s == nullptr) return -1;
    size_t em = 0;
    while (em < s->emitters.size() && s->emitters[em].exists) ++em;
    if (em == s->emitters.size()) s->emitters.emplace_back();
    s->emitters[em] = RParticleEmitter{};
    s->emitters[em].exists = true;
    return static_cast<int>(em);
}

bool ParticleSystem_Emitter_Exists(int ps, int em) {
    RParticleEmitter* e = Emitter(ps, em);
    return e != nullptr && e->exists;
}

void ParticleSystem_Emitter_Clear(int ps, int em) {
    if (RParticleEmitter* e = Emitter(ps, em)) {
        bool exists = e->exists;
        *e = RParticleEmitter{};
        e->exists = exists;
    }
}

void ParticleSystem_Emitter_Destroy(int ps, int em) {
    if (RParticleEmitter* e = Emitter(ps, em)) e->exists = false;
}

void ParticleSystem_Emitter_DestroyAll(int ps) {
    if (RParticleSystem* s = ParticleSystem_Get(ps)) s->emitters = {};
}

void ParticleSystem_Emitter_Region(int ps, int em, float xmin, float xmax, float ymin, float ymax, int shape,
                                   int distribution) {
    if (RParticleEmitter* e = Emitter(ps, em)) {
        e->xmin = xmin, e->xmax = xmax, e->ymin = ymin, e->ymax = ymax;
        e->shape = shape;
        e->distribution = distribution;
    }
}

void ParticleSystem_Emitter_Stream(int ps, int em, int type, int number) {
    if (!ParticleSystem_Exists(ps)) {
        dbg_csol->Output("part_emitter_stream :: particle system does not exist!\n");
        return;
    }
    RParticleEmitter* e = Emitter(ps, em);
    if (e == nullptr) {
        dbg_csol->Output("part_emitter_stream :: specified emitter does not exist\n");
        return;
    }
    e->streamType = type;
    e->number = number;
}

float MyRandom(float lo, float hi, int distribution) {
    const double range = static_cast<double>(hi) - lo;
    if (!(range > 0)) return lo;
    if (distribution == 1 || distribution == 2) {
        double x;
        do {
            x = (fZQRandom(1.0) - 0.5) * 6.0;
        } while (!(std::exp(-x * x / 2.0) > fZQRandom(1.0)));
        if (distribution == 1) return static_cast<float>(lo + range / 6.0 * (x + 3.0));
        return static_cast<float>(lo + range / 6.0 * (x < 0 ? x + 6.0 : x));
    }
    return static_cast<float>(lo + range * fZQRandom(1.0));
}

void ParticleSystem_Emitter_Burst(int ps, int em, int type, int n) {
    RParticleSystem* s = ParticleSystem_Get(ps);
    RParticleEmitter* e = Emitter(ps, em);
    if (s == nullptr || e == nullptr || !e->exists) return;
    int64_t count = n;
    if (count < 0) count = ChanceOne(-count) ? 1 : 0;
    if (count < 1 || !ParticleType_Exists(type)) return;
    const RParticleEmitter em2 = *e;
    const size_t first = s->particles.size();
    const int64_t room = kParticleSystemMaxParticles - static_cast<int64_t>(first);
    if (count > room) {
        ReportFull(count - (room > 0 ? room : 0), count);
        count = room;
    }
    if (count < 1) return;
    for (int64_t i = 0; i < count; ++i) {
        float u, v;
        for (;;) {
            u = MyRandom(0, 1, em2.distribution);
            v = MyRandom(0, 1, em2.distribution);
            if (em2.distribution == 2 && em2.shape != 3) {
                if (Uniform() >= 0.5f)
                    v = Uniform();
                else
                    u = Uniform();
            }
            if (em2.shape == 1 && (u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f) > 0.25f) continue;
            if (em2.shape == 2 && std::fabs(u - 0.5f) + std::fabs(v - 0.5f) > 0.5f) continue;
            break;
        }
        float x = em2.xmin + (em2.xmax - em2.xmin) * u;
        float y = em2.ymin + (em2.ymax - em2.ymin) * (em2.shape == 3 ? u : v);
        s->particles.emplace_back();
        CreateParticle(x, y, type, s->particles.back());
    }
}

// ---------------------------------------------------------------------------
// Room changes

void ParticleSystem_AddAllToLayers() {
    if (!g_isNimbar || Run_Room == nullptr) return;
    for (size_t i = 0; i < g_systems.size(); ++i) {
        RParticleSystem* s = g_systems[i].get();
        if (s == nullptr || s->elementId != -1) continue;
        s->elementId = PlaceElement(static_cast<int>(i), RunLayer(s->layerId), s->depth);
    }
}

void ParticleSystem_RemoveAllFromLayers() {
    if (!g_isNimbar) return;
    for (size_t i = 0; i < g_systems.size(); ++i) {
        RParticleSystem* s = g_systems[i].get();
        if (s == nullptr) continue;
        RemoveElement(*s);
        if (s->destroyAtRoomEnd) ParticleSystem_Destroy(static_cast<int>(i));
    }
}

void Particle_AddAllToLayers() {
    ParticleSystem_AddAllToLayers();
}

void Particle_RemoveAllFromLayers() {
    ParticleSystem_RemoveAllFromLayers();
}

// ---------------------------------------------------------------------------
// Start and end

void INITIALIZE_Particle_Main() {
    ParticleType_DestroyAll();
    ParticleSystem_DestroyAll();
}

void FINALIZE_Particle_Main() {
    ParticleSystem_DestroyAll();
    ParticleType_DestroyAll();
    Part_FreeTextures();
}

void Particles_Reset() {
    // Rooms and their layers are reset on their own; elements are not
    // returned one by one here.
    g_systems.clear();
    g_systems.shrink_to_fit();
    ParticleType_DestroyAll();
    Effects_Reset();
    ParticleDraw_Reset();
}
