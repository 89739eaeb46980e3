// The fixed lights' state: colours, kinds, ranges and the counts by kind.
#include <gtest/gtest.h>

#include "render/lights.h"

namespace {

TEST(FixedLights, CountsFollowEnableOnly) {
    GR_3D_Set_Ambient(0x0000FF);
    EXPECT_FLOAT_EQ(g_LightAmbient[0], 1.0f);
    EXPECT_FLOAT_EQ(g_LightAmbient[2], 0.0f);
    EXPECT_FLOAT_EQ(g_LightAmbient[3], 1.0f);
    GR_3D_Light_Define_Direction(0, 0, 1, 0, 0xFFFFFF);
    GR_3D_Light_Define_Point(10, 5, 5, 5, -5, 0x00FF00); // light 2
    EXPECT_FLOAT_EQ(g_LightRange[2], 0.001f);
    EXPECT_FLOAT_EQ(g_LightColour[2][1], 1.0f);
    GR_3D_Light_Define_Direction(5, 1, 0, 0, 0);
    EXPECT_FLOAT_EQ(g_LightRange[5], 1000000.0f);
    for (int i : {0, 2, 5}) GR_3D_Light_Enable(i, true);
    EXPECT_EQ(g_NumUsedDirectionalLights, 2);
    EXPECT_EQ(g_NumUsedPointLights, 1);
    EXPECT_EQ(g_HighestUsedLight, 5);
    EXPECT_EQ(g_MaxUsedLights, 2);
    // Redefining changes the counts only at the next Enable.
    GR_3D_Light_Define_Point(5, 0, 0, 0, 10, 0);
    EXPECT_EQ(g_NumUsedPointLights, 1);
    GR_3D_Light_Enable(5, true);
    EXPECT_EQ(g_NumUsedPointLights, 2);
    for (int i = 0; i < 8; ++i) GR_3D_Light_Enable(i, false);
    EXPECT_EQ(g_HighestUsedLight, 0);
    EXPECT_EQ(g_MaxUsedLights, 0);
    for (int i = 0; i < 8; ++i) GR_3D_Light_Define_Direction(i, 0, 0, 0, 0);
}

} // namespace
