// The render-state cache against a recording device layer: only changes reach
// the device, in id order, at flushes; the save stack; the buffer form.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/console.h"
#include "core/buffer.h"
#include "recording_gl_layer.h"
#include "render/render_settings.h"
#include "render/render_state.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

// A cache on a recording layer, reset and flushed so that nothing is pending,
// with the debug console captured.
class StateCacheTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldConsole = dbg_csol;
        dbg_csol = &console;
        cache.Reset();
        cache.Flush();
        layer.Take();
    }
    void TearDown() override { dbg_csol = m_oldConsole; }

    RecordingGLLayer layer;
    RenderStateManager cache;
    TErrStreamConsole console;

private:
    tagIConsole* m_oldConsole = nullptr;
};

TEST_F(StateCacheTest, ResetSendsEveryDefaultAtTheFirstFlush) {
    set_perspective = false;
    cache.SetRenderState(eRS_DepthTest, 1);
    cache.Reset();
    EXPECT_TRUE(set_perspective) << "Reset also restores the recorded settings";
    cache.Flush();
    std::vector<std::string> sent = layer.Take();
    ASSERT_EQ(sent.size(), static_cast<size_t>(kRenderStateCount + kSamplerSlotCount));
    EXPECT_EQ(sent[1], "rs 1=0");
    EXPECT_EQ(sent[18], "rs 18=1065353216"); // fog end 1.0 as float bits
    EXPECT_EQ(sent[24], "rs 24=15");
    EXPECT_EQ(sent[31], "rs 31=4294967295");
    EXPECT_EQ(sent[35], "rs 35=6");
    EXPECT_EQ(sent[36], "ss 0.0=1");
    EXPECT_EQ(sent[36 + 6], "ss 0.6=1098907648"); // max mip 16.0
    EXPECT_EQ(sent.back(), "ss 7.9=2");
}

TEST_F(StateCacheTest, OnlyChangedStatesAreSentInIdOrder) {
    cache.SetRenderState(eRS_CullMode, 2);
    cache.SetRenderState(eRS_DepthTest, 1);
    cache.SetRenderState(eRS_DepthTest, 1); // unchanged: one comparison, nothing more
    cache.SetRenderState(eRS_FogEnable, 1);
    cache.SetRenderState(eRS_FogEnable, 0); // back to the sent value: not dirty any more
    EXPECT_THAT(layer.calls, IsEmpty()) << "setters never reach the device";
    cache.Flush();
    EXPECT_THAT(layer.Take(), ElementsAre("rs 1=1", "rs 8=2"));
    cache.Flush();
    EXPECT_THAT(layer.Take(), IsEmpty());
    EXPECT_FALSE(cache.AnyDirty());
}

TEST_F(StateCacheTest, EachSamplerSlotHasItsOwnDirtyBit) {
    cache.SetSamplerState(0, eSS_MagFilter, 0);
    cache.SetSamplerState(6, eSS_MipFilter, 1); // already the sent value
    cache.SetSamplerState(7, eSS_MipEnable, 0); // the last slot, in the mask's second word
    cache.Flush();
    EXPECT_THAT(layer.Take(), ElementsAre("ss 0.0=0", "ss 7.9=0"));
}

TEST_F(StateCacheTest, OutOfRangeIdsAreIgnoredAndReadAsZero) {
    cache.SetSamplerState(8, eSS_MagFilter, 7); // would be slot 80, past the table
    cache.SetSamplerState(0, 10, 7);            // would be stage 1's mag filter
    cache.SetSamplerState(-1, 0, 7);
    cache.SetRenderState(36, 7);
    cache.SetRenderState(-1, 7);
    EXPECT_FALSE(cache.AnyDirty());
    EXPECT_EQ(cache.GetSamplerState(1, eSS_MagFilter), 1u);
    EXPECT_EQ(cache.GetRenderState(36), 0u);
    EXPECT_EQ(cache.GetSamplerState(8, 0), 0u);
    EXPECT_EQ(cache.GetSamplerState(0, 10), 0u);
}

TEST_F(StateCacheTest, RestoreBringsBackSavedValuesAndSendsOnlyTheDifference) {
    cache.SetRenderState(eRS_SrcBlend, 2);
    cache.Flush();
    layer.Take();
    cache.SaveStates();
    cache.SetRenderState(eRS_SrcBlend, 1);
    cache.SetRenderState(eRS_ColourWriteMask, 0);
    cache.SetSamplerState(3, eSS_AddressU, 1);
    cache.Flush();
    layer.Take();
    cache.RestoreStates();
    EXPECT_THAT(layer.calls, IsEmpty()) << "a restore sends nothing by itself";
    EXPECT_EQ(cache.GetRenderState(eRS_SrcBlend), 2u);
    cache.Flush();
    EXPECT_THAT(layer.Take(), ElementsAre("rs 6=2", "rs 24=15", "ss 3.2=0"));
    EXPECT_EQ(cache.StackDepth(), 0);
}

TEST_F(StateCacheTest, RestoreOnAnEmptyStackChangesNothing) {
    cache.SetRenderState(eRS_ColourWriteMask, 7);
    cache.RestoreStates();
    EXPECT_EQ(cache.GetRenderState(eRS_ColourWriteMask), 7u) << "no all-zero entry is applied";
    EXPECT_EQ(cache.GetRenderState(eRS_SrcBlend), 5u);
    EXPECT_EQ(cache.StackDepth(), 0);
    EXPECT_STREQ(console.Text(), "Attempting to drop below bottom of GPU state stack\n");
}

TEST_F(StateCacheTest, TheStackHoldsThirtyTwoEntries) {
    for (uint32_t i = 1; i <= 33; ++i) {
        cache.SetRenderState(eRS_AlphaRef, i);
        cache.SaveStates();
    }
    EXPECT_EQ(cache.StackDepth(), 32);
    EXPECT_STREQ(console.Text(), "GPU state stack has run out of space\n");
    cache.RestoreStates();
    EXPECT_EQ(cache.GetRenderState(eRS_AlphaRef), 32u) << "the 33rd save kept nothing";
    for (int i = 0; i < 31; ++i) cache.RestoreStates();
    EXPECT_EQ(cache.GetRenderState(eRS_AlphaRef), 1u);
}

TEST_F(StateCacheTest, ForceSendsAllRenderStatesAndStageZeroSamplers) {
    cache.SetSamplerState(5, eSS_MaxAniso, 4);
    cache.Force();
    std::vector<std::string> sent = layer.Take();
    ASSERT_EQ(sent.size(), static_cast<size_t>(kRenderStateCount + kSamplerStatesPerStage + 1));
    EXPECT_EQ(sent[0], "rs 0=0");
    EXPECT_EQ(sent[kRenderStateCount], "ss 0.0=1");
    EXPECT_EQ(sent[kRenderStateCount + 9], "ss 0.9=2");
    EXPECT_EQ(sent.back(), "ss 5.8=4") << "other stages only when dirty";
}

TEST_F(StateCacheTest, StatesGoToABufferAsThirtyFiveWordsFromStateOne) {
    cache.SetRenderState(eRS_DepthTest, 0x01020304);
    Buffer_Standard buffer(256, eBuffer_Format_Grow, 1);
    EXPECT_EQ(cache.WriteStatesToBuffer(&buffer), 35);
    ASSERT_EQ(buffer.Tell(), 140);
    const uint8_t* bytes = buffer.Data();
    EXPECT_EQ(bytes[0], 0x04);
    EXPECT_EQ(bytes[3], 0x01);
    EXPECT_EQ(bytes[4], 3) << "state 2 follows";
    EXPECT_EQ(bytes[136], 6) << "state 35 last";
}

} // namespace
