// The render-state cache (see render_state.h).
#include "render/render_state.h"

#include <bit>
#include <cstring>

#include "core/console.h"
#include "core/buffer.h"
#include "render/gl_layer.h"
#include "render/render_settings.h"

namespace {

// Defaults of render states 1-35 (state 0 keeps whatever was last sent) and
// of each stage's sampler states. Floating-point states hold float bits.
// clang-format off
constexpr uint32_t kRenderDefaults[kRenderStateCount] = {
    0, 0, 3, 2, 1, 0, 5, 6, 0, 4,                              // 0-9
    0, 5, 1, 0, 0, 0, 1, std::bit_cast<uint32_t>(0.0f),        // 10-17
    std::bit_cast<uint32_t>(1.0f), 0,                          // 18-19
    0, 0, 0, 3, 15, 0, 1, 1, 1, 8,                             // 20-29
    0, 0xFFFFFFFFu, 0xFFFFFFFFu, 0, 5, 6,                      // 30-35
};
constexpr uint32_t kSamplerDefaults[kSamplerStatesPerStage] = {
    1, 1, 0, 0, 1,                                             // filters, wrap, mip filter
    std::bit_cast<uint32_t>(0.0f), std::bit_cast<uint32_t>(16.0f), std::bit_cast<uint32_t>(0.0f),
    16, 2,                                                     // anisotropy, mip enable
};
// clang-format on

constexpr uint64_t kAllRender = (uint64_t{1} << kRenderStateCount) - 1;
constexpr uint64_t kAllSamplerLow = ~uint64_t{0};
constexpr uint64_t kAllSamplerHigh = (uint64_t{1} << (kSamplerSlotCount - 64)) - 1;

} // namespace

RenderStateManager g_States;

RenderStateManager::RenderStateManager() {
    Reset();
}

void RenderStateManager::Reset() {
    uint32_t unused = m_renderSent[0];
    std::memcpy(m_render, kRenderDefaults, sizeof m_render);
    m_render[0] = unused;
    std::memcpy(m_renderSent, m_render, sizeof m_render);
    for (int stage = 0; stage < kSamplerStages; ++stage)
        std::memcpy(&m_sampler[stage * kSamplerStatesPerStage], kSamplerDefaults, sizeof kSamplerDefaults);
    std::memcpy(m_samplerSent, m_sampler, sizeof m_sampler);
    m_renderDirty = kAllRender;
    m_samplerDirty[0] = kAllSamplerLow;
    m_samplerDirty[1] = kAllSamplerHigh;
    m_depth = 0;
    RenderSettings_Reset();
}

void RenderStateManager::SetSlot(uint32_t* current, const uint32_t* sent, uint64_t* mask, int bit, int index,
                                 uint32_t value) {
    if (current[index] == value) return;
    uint64_t flag = uint64_t{1} << bit;
    if (value != sent[index])
        *mask |= flag;
    else
        *mask &= ~flag;
    current[index] = value;
}

void RenderStateManager::SetRenderState(int id, uint32_t value) {
    if (id < 0 || id >= kRenderStateCount) return;
    SetSlot(m_render, m_renderSent, &m_renderDirty, id, id, value);
}

void RenderStateManager::SetSamplerState(int stage, int id, uint32_t value) {
    if (stage < 0 || stage >= kSamplerStages || id < 0 || id >= kSamplerStatesPerStage) return;
    int slot = stage * kSamplerStatesPerStage + id;
    SetSlot(m_sampler, m_samplerSent, &m_samplerDirty[slot >> 6], slot & 63, slot, value);
}

uint32_t RenderStateManager::GetRenderState(int id) const {
    return id >= 0 && id < kRenderStateCount ? m_render[id] : 0;
}

uint32_t RenderStateManager::GetSamplerState(int stage, int id) const {
    if (stage < 0 || stage >= kSamplerStages || id < 0 || id >= kSamplerStatesPerStage) return 0;
    return m_sampler[stage * kSamplerStatesPerStage + id];
}

void RenderStateManager::SaveStates() {
    if (m_depth >= kStateStackDepth) {
        dbg_csol->Output("GPU state stack has run out of space\n");
        return;
    }
    std::memcpy(m_stack[m_depth].render, m_render, sizeof m_render);
    std::memcpy(m_stack[m_depth].sampler, m_sampler, sizeof m_sampler);
    ++m_depth;
}

// An empty stack restores nothing: re-applying a never-saved entry would set
// every state to zero (colour write mask 0 among them, so nothing would draw).
void RenderStateManager::RestoreStates() {
    if (m_depth <= 0) {
        dbg_csol->Output("Attempting to drop below bottom of GPU state stack\n");
        return;
    }
    --m_depth;
    const Entry& entry = m_stack[m_depth];
    for (int id = 0; id < kRenderStateCount; ++id) SetRenderState(id, entry.render[id]);
    for (int slot = 0; slot < kSamplerSlotCount; ++slot)
        SetSamplerState(slot / kSamplerStatesPerStage, slot % kSamplerStatesPerStage, entry.sampler[slot]);
}

void RenderStateManager::Flush() {
    if (m_renderDirty != 0) {
        for (int id = 0; id < kRenderStateCount; ++id) {
            if ((m_renderDirty & (uint64_t{1} << id)) == 0) continue;
            if (g_pGLLayer != nullptr) g_pGLLayer->SetRenderState(id, m_render[id]);
            m_renderSent[id] = m_render[id];
        }
        m_renderDirty = 0;
    }
    if (m_samplerDirty[0] != 0 || m_samplerDirty[1] != 0) {
        for (int slot = 0; slot < kSamplerSlotCount; ++slot) {
            if ((m_samplerDirty[slot >> 6] & (uint64_t{1} << (slot & 63))) == 0) continue;
            if (g_pGLLayer != nullptr)
                g_pGLLayer->SetSamplerState(slot / kSamplerStatesPerStage, slot % kSamplerStatesPerStage,
                                            m_sampler[slot]);
            m_samplerSent[slot] = m_sampler[slot];
        }
        m_samplerDirty[0] = 0;
        m_samplerDirty[1] = 0;
    }
}

void RenderStateManager::Force() {
    m_renderDirty = kAllRender;
    m_samplerDirty[0] |= (uint64_t{1} << kSamplerStatesPerStage) - 1;
    Flush();
}

int RenderStateManager::WriteStatesToBuffer(IBuffer* buffer) const {
    if (buffer != nullptr) {
        uint8_t bytes[4 * (kRenderStateCount - 1)];
        for (int id = 1; id < kRenderStateCount; ++id) {
            uint32_t v = m_render[id];
            uint8_t* p = &bytes[4 * (id - 1)];
            p[0] = static_cast<uint8_t>(v);
            p[1] = static_cast<uint8_t>(v >> 8);
            p[2] = static_cast<uint8_t>(v >> 16);
            p[3] = static_cast<uint8_t>(v >> 24);
        }
        buffer->Write(bytes, 4, kRenderStateCount - 1);
    }
    return kRenderStateCount - 1;
}

void RenderState_Reset() {
    g_States.Reset();
}

void RenderState_Force() {
    g_States.Force();
}
