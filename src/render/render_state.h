// The render-state cache: every fixed-function setting (36 render states and
// ten sampler states for each of eight texture stages) is written here and
// reaches the device only when the cache is flushed, and only when it differs
// from what was last sent. A 32-entry stack saves and restores the settings.
#pragma once

#include <bit>
#include <cstdint>

class IBuffer;

// A float-valued state (the fog range, for one) is held as the bits of its
// single-precision value.
inline float RenderStateFloat(uint32_t bits) {
    return std::bit_cast<float>(bits);
}
inline uint32_t RenderStateBits(float value) {
    return std::bit_cast<uint32_t>(value);
}

inline constexpr int kRenderStateCount = 36;
inline constexpr int kSamplerStages = 8;
inline constexpr int kSamplerStatesPerStage = 10;
inline constexpr int kSamplerSlotCount = kSamplerStages * kSamplerStatesPerStage;
inline constexpr int kStateStackDepth = 32;

// Render state ids (the values the back end translates; 2, 14, 19 and 22 are
// spare: stored and forwarded, set by nothing).
enum eRenderState : int {
    eRS_Unused = 0,
    eRS_DepthTest = 1,
    eRS_Shading = 3,
    eRS_DepthWrite = 4,
    eRS_AlphaTest = 5,
    eRS_SrcBlend = 6,
    eRS_DestBlend = 7,
    eRS_CullMode = 8,
    eRS_DepthFunc = 9,
    eRS_AlphaRef = 10,
    eRS_AlphaFunc = 11,
    eRS_BlendEnable = 12,
    eRS_FogEnable = 13,
    eRS_FogColour = 15,
    eRS_FogModeType1 = 16,
    eRS_FogStart = 17,
    eRS_FogEnd = 18,
    eRS_FogFlagType2 = 20,
    eRS_Lighting = 21,
    eRS_FogModeType2 = 23,
    eRS_ColourWriteMask = 24,
    eRS_StencilEnable = 25,
    eRS_StencilFail = 26,
    eRS_StencilDepthFail = 27,
    eRS_StencilPass = 28,
    eRS_StencilFunc = 29,
    eRS_StencilRef = 30,
    eRS_StencilReadMask = 31,
    eRS_StencilWriteMask = 32,
    eRS_SeparateAlphaBlend = 33,
    eRS_AlphaSrcBlend = 34,
    eRS_AlphaDestBlend = 35,
};

// Sampler state ids, per stage.
enum eSamplerState : int {
    eSS_MagFilter = 0,
    eSS_MinFilter = 1,
    eSS_AddressU = 2,
    eSS_AddressV = 3,
    eSS_MipFilter = 4,
    eSS_MinMip = 5,
    eSS_MaxMip = 6,
    eSS_MipBias = 7,
    eSS_MaxAniso = 8,
    eSS_MipEnable = 9,
};

// Invariant: a state's dirty bit is set exactly when its current value differs
// from the value last sent (Force sets bits regardless). Ids outside the
// tables are ignored by the setters and read as 0, so a stray stage or id can
// never write into a neighbouring slot.
class RenderStateManager {
public:
    RenderStateManager();

    // Installs the defaults as current and sent values, marks everything dirty
    // so the next flush sends it all, empties the stack and resets the
    // recorded render settings.
    void Reset();

    void SetRenderState(int id, uint32_t value);
    void SetSamplerState(int stage, int id, uint32_t value);
    uint32_t GetRenderState(int id) const;
    uint32_t GetSamplerState(int stage, int id) const;

    // Pushes the current values; on a full stack prints a message and keeps nothing.
    void SaveStates();
    // Pops them back through the setter rule (sent at the next flush). With
    // nothing saved it prints a message and changes nothing.
    void RestoreStates();
    int StackDepth() const { return m_depth; }

    // Sends every dirty state to the device layer in ascending id order.
    void Flush();
    // Marks every render state and the sampler states of stage 0 dirty, then flushes.
    void Force();
    bool AnyDirty() const { return m_renderDirty != 0 || m_samplerDirty[0] != 0 || m_samplerDirty[1] != 0; }

    // Appends render states 1-35 as 35 little-endian words (140 bytes); returns 35.
    int WriteStatesToBuffer(IBuffer* buffer) const;

private:
    void SetSlot(uint32_t* current, const uint32_t* sent, uint64_t* mask, int bit, int index, uint32_t value);

    uint64_t m_renderDirty = 0;
    uint64_t m_samplerDirty[2] = {};
    uint32_t m_renderSent[kRenderStateCount] = {};
    uint32_t m_samplerSent[kSamplerSlotCount] = {};
    uint32_t m_render[kRenderStateCount] = {};
    uint32_t m_sampler[kSamplerSlotCount] = {};
    struct Entry {
        uint32_t render[kRenderStateCount];
        uint32_t sampler[kSamplerSlotCount];
    };
    Entry m_stack[kStateStackDepth] = {};
    int32_t m_depth = 0;
};

extern RenderStateManager g_States;

// Service names the step and the run's end use (declared where they call them).
void RenderState_Reset();
void RenderState_Force();
