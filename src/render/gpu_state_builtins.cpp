// The GPU-state built-ins that go beyond one state per call: fog, the blend
// presets and their reverse lookup, explicit and separate-alpha blend
// factors, the colour write mask, the whole state as a map and back, and the
// texture flush. Like the single-state setters they only record values in
// g_States; the device sees them at the next flush.
//
// [SECTION] arrays in and out
// [SECTION] fog
// [SECTION] blending and colour write
// [SECTION] state map
// [SECTION] texture flush and table
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "core/arguments.h"
#include "core/error.h"
#include "core/header_globals.h"
#include "data/ds_map.h"
#include "render/colour.h"
#include "render/gl_layer.h"
#include "render/gpu_builtins.h"
#include "render/render_state.h"
#include "render/texture.h"
#include "world/run/startup_services.h"

namespace {

using Args = RValue*;

void Real(RValue& r, double v) {
    ZQSetResultReal(r, v);
}

uint32_t State(int id) {
    return g_States.GetRenderState(id);
}
void Set(int id, uint32_t value) {
    g_States.SetRenderState(id, value);
}

// ---------------------------------------------------------------------------
// [SECTION] arrays in and out

// The first row of an array argument and its length, or null when the value
// is no array or has no rows. Its entries are read with the typed getters,
// as separate arguments would be.
const RValue* FirstRow(const RValue& v, int* length) {
    if ((v.kind & MASK_KIND_RVALUE) != VALUE_ARRAY || v.pRefArray == nullptr || v.pRefArray->m_length < 1 ||
        v.pRefArray->m_Array == nullptr)
        return nullptr;
    *length = v.pRefArray->m_Array[0].length;
    return v.pRefArray->m_Array[0].arr;
}

// The arguments of a call that takes either `count` values or one array of
// them: the vector to read from, or null after the report. With `atLeast`
// an array may hold more entries than are read.
const RValue* ValuesOrArray(int argc, Args a, int count, bool atLeast, const char* wrongCount,
                            const char* badArray) {
    if (argc == count) return a;
    if (argc != 1) {
        Error_Show_Action(wrongCount, false);
        return nullptr;
    }
    int length = 0;
    const RValue* row = FirstRow(a[0], &length);
    if (row == nullptr || (atLeast ? length < count : length != count)) {
        Error_Show_Action(badArray, false);
        return nullptr;
    }
    return row;
}

// A new one-row array of reals as the result.
void ArrayResult(RValue& r, std::initializer_list<double> values) {
    FREE_RValue(&r);
    r.pRefArray = ARRAY_RefAlloc(&r);
    r.flags = 0;
    r.kind = r.pRefArray != nullptr ? VALUE_ARRAY : VALUE_UNDEFINED;
    if (r.pRefArray == nullptr) return;
    // The last first: the row grows once.
    for (int i = static_cast<int>(values.size()) - 1; i >= 0; --i) {
        RValue v = RValue_Real(values.begin()[i]);
        SET_RValue_Array(&r, &v, i);
    }
}

// ---------------------------------------------------------------------------
// [SECTION] fog

// Disabling fog keeps the colour and range, so enabling it again restores them.
void F_GPUSetFog(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    Real(r, -1);
    const RValue* v = ValuesOrArray(argc, a, 4, false,
                                    "gpu_set_fog() - wrong number of parameters (parameters are (enable, "
                                    "color, start, end))",
                                    "gpu_set_fog() - invalid array (must be 4 values)");
    if (v == nullptr) return;
    const int32_t enable = ZQGetInt32(v, 0);
    const int32_t colour = ZQGetInt32(v, 1);
    const float start = ZQGetFloat(v, 2);
    const float end = ZQGetFloat(v, 3);
    Set(eRS_FogEnable, static_cast<uint32_t>(enable));
    if (enable == 0) return;
    Set(eRS_FogColour, GR_Color_To_D3DColor(static_cast<uint32_t>(colour), 255));
    Set(eRS_FogStart, RenderStateBits(start));
    Set(eRS_FogEnd, RenderStateBits(end));
}

void F_GPUGetFog(RValue& r, CInstance*, CInstance*, int, Args) {
    ArrayResult(r, {State(eRS_FogEnable) != 0 ? 1.0 : 0.0, static_cast<double>(State(eRS_FogColour)),
                    RenderStateFloat(State(eRS_FogStart)), RenderStateFloat(State(eRS_FogEnd))});
}

// ---------------------------------------------------------------------------
// [SECTION] blending and colour write

constexpr uint32_t kZero = 1, kOne = 2, kInvSrcColour = 4, kSrcAlpha = 5, kInvSrcAlpha = 6;

void SetBlend(uint32_t src, uint32_t dest, uint32_t srcAlpha, uint32_t destAlpha, uint32_t separate) {
    Set(eRS_SrcBlend, src);
    Set(eRS_DestBlend, dest);
    Set(eRS_AlphaSrcBlend, srcAlpha);
    Set(eRS_AlphaDestBlend, destAlpha);
    Set(eRS_SeparateAlphaBlend, separate);
}

// Presets 1 add, 2 max, 3 subtract; any other mode is normal blending.
void F_GPUSetBlendMode(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    Real(r, -1);
    if (argc != 1)
        return Error_Show_Action("gpu_set_blendmode() - should be passed a single parameter", false);
    uint32_t src = kSrcAlpha, dest = kInvSrcAlpha;
    switch (ZQGetInt32(a, 0)) {
        case 3: src = kZero, dest = kInvSrcColour; break;
        case 2: dest = kInvSrcColour; break;
        case 1: dest = kOne; break;
        default: break;
    }
    SetBlend(src, dest, src, dest, 0);
}

// The preset the current factors match, or -1; the colour and alpha factors
// must agree, whatever the separate-alpha switch says.
void F_GPUGetBlendMode(RValue& r, CInstance*, CInstance*, int argc, Args) {
    Real(r, -1);
    if (argc != 0) return Error_Show_Action("gpu_get_blendmode() - shouldn't take any arguments", false);
    const uint32_t src = State(eRS_SrcBlend), dest = State(eRS_DestBlend);
    if (src != State(eRS_AlphaSrcBlend) || dest != State(eRS_AlphaDestBlend)) return;
    if (src == kZero && dest == kInvSrcColour) return Real(r, 3);
    if (src != kSrcAlpha) return;
    if (dest == kOne) return Real(r, 1);
    if (dest == kInvSrcColour) return Real(r, 2);
    if (dest == kInvSrcAlpha) return Real(r, 0);
}

void F_GPUSetBlendModeExt(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    Real(r, -1);
    const RValue* v =
        ValuesOrArray(argc, a, 2, true, "gpu_set_blendmode_ext() - should be passed two parameters",
                      "gpu_set_blendmode_ext() - invalid array (must be 2 values)");
    if (v == nullptr) return;
    const uint32_t src = static_cast<uint32_t>(ZQGetInt32(v, 0));
    const uint32_t dest = static_cast<uint32_t>(ZQGetInt32(v, 1));
    SetBlend(src, dest, src, dest, 0);
}

void F_GPUSetBlendModeExtSepAlpha(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    Real(r, -1);
    const RValue* v = ValuesOrArray(argc, a, 4, false,
                                    "gpu_set_blendmode_ext_sepalpha() - should be passed four parameters",
                                    "gpu_set_blendmode_ext_sepalpha() - invalid array (must be 4 values)");
    if (v == nullptr) return;
    const uint32_t src = static_cast<uint32_t>(ZQGetInt32(v, 0));
    const uint32_t dest = static_cast<uint32_t>(ZQGetInt32(v, 1));
    const uint32_t srcAlpha = static_cast<uint32_t>(ZQGetInt32(v, 2));
    const uint32_t destAlpha = static_cast<uint32_t>(ZQGetInt32(v, 3));
    SetBlend(src, dest, srcAlpha, destAlpha, 1);
}

void F_GPUGetBlendModeExt(RValue& r, CInstance*, CInstance*, int argc, Args) {
    Real(r, -1);
    if (argc != 0) return Error_Show_Action("gpu_get_blendmode_ext() - shouldn't take any arguments", false);
    ArrayResult(r, {static_cast<double>(State(eRS_SrcBlend)), static_cast<double>(State(eRS_DestBlend))});
}

void F_GPUGetBlendModeExtSepAlpha(RValue& r, CInstance*, CInstance*, int argc, Args) {
    Real(r, -1);
    if (argc != 0)
        return Error_Show_Action("gpu_get_blendmode_ext_sepalpha() - shouldn't take any arguments", false);
    ArrayResult(r, {static_cast<double>(State(eRS_SrcBlend)), static_cast<double>(State(eRS_DestBlend)),
                    static_cast<double>(State(eRS_AlphaSrcBlend)),
                    static_cast<double>(State(eRS_AlphaDestBlend))});
}

// Bit 0 red, 1 green, 2 blue, 3 alpha.
void F_GPUSetColourWriteEnable(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    Real(r, -1);
    const RValue* v =
        ValuesOrArray(argc, a, 4, false, "gpu_set_colourwriteenable() - should be passed four parameters",
                      "gpu_set_colourwriteenable() - invalid array (must be 4 values)");
    if (v == nullptr) return;
    uint32_t mask = 0;
    for (int i = 0; i < 4; ++i)
        if (ZQGetInt32(v, i) != 0) mask |= 1u << i;
    Set(eRS_ColourWriteMask, mask);
}

void F_GPUGetColourWriteEnable(RValue& r, CInstance*, CInstance*, int argc, Args) {
    Real(r, 0);
    if (argc != 0)
        return Error_Show_Action("gpu_get_colorwriteenable_r() - shouldn't take any arguments", false);
    const uint32_t mask = State(eRS_ColourWriteMask);
    ArrayResult(r, {static_cast<double>(mask & 1u), static_cast<double>((mask >> 1) & 1u),
                    static_cast<double>((mask >> 2) & 1u), static_cast<double>((mask >> 3) & 1u)});
}

// ---------------------------------------------------------------------------
// [SECTION] state map

// The states the map form names, in the order they are written. Float
// states hold the bits of a 32-bit float.
struct SavedState {
    const char* key;
    int id;
    bool isFloat;
};
constexpr SavedState g_SaveRenderStates[] = {
    {"blendenable", eRS_BlendEnable, false},
    {"ztestenable", eRS_DepthTest, false},
    {"zfunc", eRS_DepthFunc, false},
    {"zwriteenable", eRS_DepthWrite, false},
    {"fogenable", eRS_FogEnable, false},
    {"fogcolor", eRS_FogColour, false},
    {"fogstart", eRS_FogStart, true},
    {"fogend", eRS_FogEnd, true},
    {"cullmode", eRS_CullMode, false},
    {"srcblend", eRS_SrcBlend, false},
    {"destblend", eRS_DestBlend, false},
    {"srcblendalpha", eRS_AlphaSrcBlend, false},
    {"destblendalpha", eRS_AlphaDestBlend, false},
    {"sepalphaenable", eRS_SeparateAlphaBlend, false},
    {"colorwriteenable", eRS_ColourWriteMask, false},
    {"alphatestenable", eRS_AlphaTest, false},
    {"alphatestref", eRS_AlphaRef, false},
    {"alphatestfunc", eRS_AlphaFunc, false},
};
// Sampler keys are the prefix followed by the stage, "magfilter0" to
// "mipenable7"; "mipmip" names the minimum mip level.
constexpr SavedState g_SaveSamplerStates[] = {
    {"magfilter", eSS_MagFilter, false}, {"minfilter", eSS_MinFilter, false},
    {"mipfilter", eSS_MipFilter, false}, {"addressu", eSS_AddressU, false},
    {"addressv", eSS_AddressV, false},   {"mipmip", eSS_MinMip, true},
    {"maxmip", eSS_MaxMip, true},        {"mipbias", eSS_MipBias, true},
    {"maxaniso", eSS_MaxAniso, false},   {"mipenable", eSS_MipEnable, false},
};
constexpr int kStages = 8;

double StateNumber(const SavedState& s, uint32_t bits) {
    return s.isFloat ? static_cast<double>(RenderStateFloat(bits)) : static_cast<double>(bits);
}
uint32_t StateBits(const SavedState& s, const RValue* value) {
    return s.isFloat ? RenderStateBits(ZQGetFloat(value, 0)) : static_cast<uint32_t>(ZQGetInt32(value, 0));
}

void F_GPUGetState(RValue& r, CInstance*, CInstance*, int, Args) {
    Real(r, -1);
    DS_AutoMutex lock;
    const int index = CreateDsMap(0);
    CDS_Map* map = GetDsMap(index);
    if (map == nullptr) return;
    for (const SavedState& s : g_SaveRenderStates) map->Add(s.key, StateNumber(s, State(s.id)), nullptr);
    char key[256];
    for (const SavedState& s : g_SaveSamplerStates) {
        for (int stage = 0; stage < kStages; ++stage) {
            std::snprintf(key, sizeof key, "%s%d", s.key, stage);
            map->Add(key, StateNumber(s, g_States.GetSamplerState(stage, s.id)), nullptr);
        }
    }
    Real(r, index);
}

// Applies one map entry: a render key exactly, else a sampler prefix with the
// stage after it (read as atoi reads it; outside 0-7 ignored); other keys
// are ignored.
void ApplyStateEntry(const char* key, const RValue* value) {
    for (const SavedState& s : g_SaveRenderStates) {
        if (std::strcmp(key, s.key) == 0) return Set(s.id, StateBits(s, value));
    }
    for (const SavedState& s : g_SaveSamplerStates) {
        const size_t length = std::strlen(s.key);
        if (std::strncmp(key, s.key, length) != 0) continue;
        // strtol rather than atoi: the same digits, but a defined answer for
        // numbers too large to hold (they are out of range either way).
        const long stage = std::strtol(key + length, nullptr, 10);
        if (stage < 0 || stage >= kStages) return;
        return g_States.SetSamplerState(static_cast<int>(stage), s.id, StateBits(s, value));
    }
}

void F_GPUSetState(RValue& r, CInstance*, CInstance*, int argc, Args a) {
    Real(r, -1);
    if (argc != 1)
        return Error_Show_Action("gpu_set_state() - wrong number of arguments - should take ds_map", false);
    DS_AutoMutex lock;
    const CDS_Map* map = GetDsMap(ZQGetInt32(a, 0));
    if (map == nullptr) return Error_Show_Action("gpu_set_state() - ds_map index is invalid", false);
    for (const DsMapEntry* e = map->First(); e != nullptr; e = e->next) {
        if ((e->key.kind & MASK_KIND_RVALUE) != VALUE_STRING || e->key.pRefString == nullptr) continue;
        const char* key = e->key.pRefString->Get();
        if (key != nullptr) ApplyStateEntry(key, &e->value);
    }
}

// ---------------------------------------------------------------------------
// [SECTION] texture flush and table

void F_Tarvo_DrawTextureFlush(RValue& r, CInstance*, CInstance*, int, Args) {
    Graphics::Flush();
    Graphics::TextureFlush(false);
    if (g_isNimbar && !g_DebugBuild) Debug_AddTag("Flushed all textures");
    Real(r, 0);
}

const GpuHandlerRow kRows[] = {
    {"F_GPUSetFog", F_GPUSetFog},
    {"F_GPUGetFog", F_GPUGetFog},
    {"F_GPUSetBlendMode", F_GPUSetBlendMode},
    {"F_GPUGetBlendMode", F_GPUGetBlendMode},
    {"F_GPUSetBlendModeExt", F_GPUSetBlendModeExt},
    {"F_GPUSetBlendModeExtSepAlpha", F_GPUSetBlendModeExtSepAlpha},
    {"F_GPUGetBlendModeExt", F_GPUGetBlendModeExt},
    {"F_GPUGetBlendModeExtSepAlpha", F_GPUGetBlendModeExtSepAlpha},
    {"F_GPUSetColourWriteEnable", F_GPUSetColourWriteEnable},
    {"F_GPUGetColourWriteEnable", F_GPUGetColourWriteEnable},
    {"F_GPUGetState", F_GPUGetState},
    {"F_GPUSetState", F_GPUSetState},
    {"F_Tarvo_DrawTextureFlush", F_Tarvo_DrawTextureFlush},
};

} // namespace

std::span<const GpuHandlerRow> GpuStateBuiltins() {
    return kRows;
}
