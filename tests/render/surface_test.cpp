// Surfaces on Mesa: ids, sizes and refusals, nesting targets with both
// stacks kept in step, freeing a bound target, and clipped read-back.
#include <climits>

#include "core/header_globals.h"
#include "core/run_globals.h"
#include "error_capture.h"
#include "render/platform_bitmap.h"
#include "surface_fixture.h"

namespace {

using Surfaces = SurfaceTest;

TEST_F(Surfaces, IdsRunOnAndAreNotReusedWhileTheCounterIsAbove) {
    EXPECT_EQ(GR_Surface_Create(8, 4, -1), 0);
    EXPECT_EQ(GR_Surface_Create(16, 16, -1), 1);
    EXPECT_EQ(GR_Surface_Get_Width(0), 8);
    EXPECT_EQ(GR_Surface_Get_Height(0), 4);
    GR_Surface_Free(0, false);
    EXPECT_FALSE(GR_Surface_Exists(0));
    EXPECT_EQ(GR_Surface_Create(8, 8, -1), 2);
    // An id given that has no surface creates nothing.
    EXPECT_EQ(GR_Surface_Create(64, 64, 7), -1);
    EXPECT_FALSE(GR_Surface_Exists(7));
    EXPECT_EQ(g_surfaces.Count(), 2);
    EXPECT_EQ(GR_Surface_Get_Width(7), -1);
    EXPECT_EQ(GR_Surface_Get_Texture(7), -1);
    // Creating over an existing id replaces its texture, keeping the id.
    const int before = GR_Surface_Get_Texture(1);
    EXPECT_EQ(GR_Surface_Create(4, 4, 1), 1);
    EXPECT_EQ(GR_Surface_Get_Width(1), 4);
    EXPECT_TRUE(GR_Texture_Exists(GR_Surface_Get_Texture(1)));
    EXPECT_EQ(GR_Surface_Get_Texture(1), before) << "the freed entry is taken again";
}

TEST_F(Surfaces, BadSizesAreRefusedWithAnErrorAndNothingChanged) {
    ErrorCapture errors;
    const int largest = Graphics::GetMaxTextureSize();
    const struct {
        int w, h;
    } cases[] = {{0, 10},          {10, 0},          {-5, 10},           {10, -1},
                 {largest + 1, 4}, {4, largest + 1}, {INT_MAX, INT_MAX}, {INT_MIN, 3}};
    int textures = 0;
    for (Texture* t = Texture::ms_pFirst; t != nullptr; t = t->next) ++textures;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << " x " << c.h);
        errors.Clear();
        EXPECT_EQ(GR_Surface_Create(c.w, c.h, -1), -1);
        EXPECT_EQ(GR_Surface_Create_Special(c.w, c.h, -1, 1), -1);
        EXPECT_TRUE(errors.ShownContains("Surface size is invalid"));
    }
    int after = 0;
    for (Texture* t = Texture::ms_pFirst; t != nullptr; t = t->next) ++after;
    EXPECT_EQ(after, textures) << "no texture was made";
    EXPECT_EQ(g_surfaces.Count(), 0);
    EXPECT_EQ(g_currSurfID, 0);
    ASSERT_EQ(GR_Surface_Create(4, 4, -1), 0);
    // A refused resize keeps the surface as it was.
    EXPECT_FALSE(GR_Surface_Resize(0, -3, 4));
    EXPECT_EQ(GR_Surface_Get_Width(0), 4);
    EXPECT_NE(GR_Texture_Get_Surface(GR_Surface_Get_Texture(0)), nullptr);
    EXPECT_TRUE(GR_Surface_Resize(0, 12, 6));
    EXPECT_EQ(GR_Surface_Get_Width(0), 12);
    EXPECT_EQ(GR_Surface_Get_Height(0), 6);
    EXPECT_FALSE(GR_Surface_Resize(5, 8, 8)) << "no such surface";
}

TEST_F(Surfaces, ApplicationSurfaceSizeFollowsItsRecordAndFreeAllForgetsIt) {
    const int id = GR_Surface_Create(20, 10, -1);
    g_ApplicationSurface = id;
    ASSERT_TRUE(GR_Surface_Resize(id, 24, 12));
    EXPECT_EQ(g_ApplicationWidth, 24);
    EXPECT_EQ(g_ApplicationHeight, 12);
    GR_Surface_Free(id, false);
    EXPECT_TRUE(GR_Surface_Exists(id)) << "only freed when forced";
    ASSERT_TRUE(GR_Texture_Free_Only(id));
    EXPECT_EQ(GR_Surface_Get_Width(id), 1) << "its recorded size";
    EXPECT_EQ(GR_Surface_Get_Texture(id), -1);
    GR_Surface_FreeAll();
    EXPECT_EQ(g_ApplicationSurface, APPLICATION_SURFACE_NONE);
    EXPECT_EQ(g_surfaces.Count(), 0);
}

TEST_F(Surfaces, TargetsNestAndUnwindRestoringViewportAndViewArea) {
    const int a = GR_Surface_Create(16, 8, -1);
    const int b = GR_Surface_Create(4, 4, -1);
    const int glDepth = countRenderBufferStack();
    GR_D3D_Set_View_Port(0, 0, 24, kSize);
    ASSERT_TRUE(ZQVTL_surface_set_target(a));
    EXPECT_EQ(currenttargets[0], a);
    EXPECT_EQ(g_RenderTargetActive, -1);
    EXPECT_EQ(g_ViewPortW, 16);
    EXPECT_EQ(g_ViewAreaH, 8.0f);
    Fill(0, 0, 16, 8, kRed);
    Fill(0, 0, 1, 1, kGreen); // the surface's top-left pixel
    ASSERT_TRUE(ZQVTL_surface_set_target_ext(0, b));
    EXPECT_EQ(GR_Surface_StackDepth(), 2);
    EXPECT_EQ(countRenderBufferStack(), glDepth + 2);
    Fill(0, 0, 4, 4, kBlue);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    EXPECT_EQ(currenttargets[0], a);
    EXPECT_EQ(g_ViewPortW, 16);
    EXPECT_EQ(g_ViewAreaW, 16.0f);
    Fill(15, 7, 16, 8, kBlue); // a again: its bottom-right pixel
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    EXPECT_EQ(currenttargets[0], -1);
    EXPECT_EQ(g_RenderTargetActive, 1);
    EXPECT_EQ(g_CurrentFrameBuffer, 0);
    EXPECT_EQ(countRenderBufferStack(), glDepth);
    EXPECT_EQ(g_ViewPortW, 24);
    EXPECT_EQ(g_ViewAreaW, static_cast<float>(kSize));
    EXPECT_EQ(g_PrevViewPortW, 24);
    // Stored top-down: row 0 of the texture is the surface's top row.
    EXPECT_EQ(Stored(a, 0, 0), kGreen);
    EXPECT_EQ(Stored(a, 1, 0), kRed);
    EXPECT_EQ(Stored(a, 15, 7), kBlue);
    EXPECT_EQ(Stored(b, 2, 2), kBlue);
    // Nothing reached the window.
    EXPECT_EQ(Window(0, 0), 0u);
}

TEST_F(Surfaces, WithNoViewportSetTheDevicesComesBack) {
    g_ViewPortX = g_ViewPortY = g_ViewPortW = g_ViewPortH = -1; // as the device opens
    const int s = GR_Surface_Create(4, 4, -1);
    ASSERT_TRUE(ZQVTL_surface_set_target(s));
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    EXPECT_EQ(g_ViewPortW, -1);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kSize);
    EXPECT_EQ(viewport[3], kSize);
}

TEST_F(Surfaces, RefusedTargetsLeaveBothStacksAsTheyWere) {
    ErrorCapture errors;
    const int s = GR_Surface_Create(4, 4, -1);
    const int glDepth = countRenderBufferStack();
    EXPECT_FALSE(ZQVTL_surface_set_target_ext(4, s));
    EXPECT_FALSE(ZQVTL_surface_set_target_ext(-1, s));
    EXPECT_FALSE(ZQVTL_surface_set_target(9));
    // The 37th nesting is refused.
    for (int i = 0; i < kSurfaceStackEntries; ++i) ASSERT_TRUE(ZQVTL_surface_set_target(s)) << i;
    EXPECT_FALSE(ZQVTL_surface_set_target(s));
    EXPECT_EQ(GR_Surface_StackDepth(), kSurfaceStackEntries);
    EXPECT_EQ(countRenderBufferStack(), glDepth + kSurfaceStackEntries);
    for (int i = 0; i < kSurfaceStackEntries; ++i) ASSERT_TRUE(ZQVTL_surface_reset_target()) << i;
    EXPECT_EQ(countRenderBufferStack(), glDepth);

    // A full GL stack refuses the save: the surface entry goes too.
    while (Graphics::SaveRenderTarget()) {
    }
    const int full = countRenderBufferStack();
    EXPECT_FALSE(ZQVTL_surface_set_target(s));
    EXPECT_TRUE(errors.ShownContains("surface stack is full"));
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
    EXPECT_EQ(countRenderBufferStack(), full);
    EXPECT_EQ(currenttargets[0], -1);
    while (countRenderBufferStack() > glDepth) Graphics::RestoreRenderTarget();

    // A reset with nothing saved marks slot 0 free and leaves the frame's level.
    EXPECT_FALSE(ZQVTL_surface_reset_target());
    EXPECT_EQ(currenttargets[0], -1);
    EXPECT_EQ(countRenderBufferStack(), glDepth);
}

TEST_F(Surfaces, ExtraSlotsNeverUseTheStack) {
    ASSERT_GE(g_maxColAttachments, 2);
    const int a = GR_Surface_Create(8, 8, -1);
    const int extra = GR_Surface_Create(8, 8, -1);
    ASSERT_TRUE(ZQVTL_surface_set_target(a));
    ASSERT_TRUE(ZQVTL_surface_set_target_ext(1, extra));
    EXPECT_EQ(currenttargets[1], extra);
    EXPECT_EQ(GR_Surface_StackDepth(), 1);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    EXPECT_EQ(currenttargets[1], -1) << "the saved list comes back";
}

TEST_F(Surfaces, FreeingTheCurrentTargetRestoresThePreviousOne) {
    const int outer = GR_Surface_Create(16, 16, -1);
    const int inner = GR_Surface_Create(4, 4, -1);
    ASSERT_TRUE(ZQVTL_surface_set_target(outer));
    ASSERT_TRUE(ZQVTL_surface_set_target(inner));
    GR_Surface_Free(inner, false);
    EXPECT_FALSE(GR_Surface_Exists(inner));
    EXPECT_EQ(currenttargets[0], outer);
    EXPECT_EQ(g_ViewPortW, 16);
    EXPECT_EQ(g_CurrentFrameBuffer, GR_Texture_Get_Surface(GR_Surface_Get_Texture(outer))->frameBufferID);
    GR_Surface_Free(outer, false);
    EXPECT_EQ(currenttargets[0], -1);
    EXPECT_EQ(g_CurrentFrameBuffer, 0);
    EXPECT_EQ(GR_Surface_StackDepth(), 0);
}

TEST_F(Surfaces, ReadBackOutsideTheSurfaceIsTransparentBlack) {
    const int s = GR_Surface_Create(16, 16, -1);
    ASSERT_TRUE(ZQVTL_surface_set_target(s));
    Fill(0, 0, 16, 16, kRed);
    Fill(0, 0, 10, 10, kGreen);
    ASSERT_TRUE(ZQVTL_surface_reset_target());
    std::unique_ptr<IBitmap> bitmap = GR_Surface_Screenshot_Part(s, -10, -10, 20, 20);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->GetWidth(), 20);
    EXPECT_EQ(bitmap->GetHeight(), 20);
    void* rows = nullptr;
    int stride = 0;
    bitmap->LockBits(0, &rows, &stride);
    auto at = [&](int x, int y) {
        uint32_t p;
        std::memcpy(&p, static_cast<uint8_t*>(rows) + y * stride + x * 4, 4);
        return p;
    };
    EXPECT_EQ(at(0, 0), 0u);
    EXPECT_EQ(at(9, 9), 0u);
    EXPECT_EQ(at(10, 9), 0u);
    EXPECT_EQ(at(10, 10), kGreen);
    EXPECT_EQ(at(19, 19), kGreen);
    // Inside: the pixels read, in the bitmap's byte order (blue, green, red,
    // alpha: red is 0xFFFF0000 as a word).
    std::unique_ptr<IBitmap> inside = GR_Surface_Screenshot_Part(s, 8, 9, 4, 2);
    ASSERT_NE(inside, nullptr);
    inside->LockBits(0, &rows, &stride);
    EXPECT_EQ(at(0, 0), kGreen);
    EXPECT_EQ(at(2, 0), 0xFFFF0000u);
    EXPECT_EQ(at(1, 1), 0xFFFF0000u);
    for (auto [w, h] : {std::pair{0, 4}, {4, -1}, {-20, -20}, {INT_MAX, 2}})
        EXPECT_EQ(GR_Surface_Screenshot_Part(s, 0, 0, w, h), nullptr) << w << " x " << h;
    EXPECT_EQ(GR_Surface_Screenshot_Part(99, 0, 0, 4, 4), nullptr);
}

TEST_F(Surfaces, DrawingAMissingSurfaceIsReportedOnlyByThePartForm) {
    ErrorCapture errors;
    GR_Surface_DrawSimple(3, 0, 0);
    GR_Surface_DrawStretched(3, 0, 0, 4, 4, 0xFFFFFF, 1);
    EXPECT_EQ(errors.Shown().size(), 0u);
    EXPECT_FALSE(ZQVTL_draw_surface_part_ext(3, 0, 0, 4, 4, 0, 0, 1, 1, 0xFFFFFF, 1));
    EXPECT_TRUE(errors.ShownContains("Trying to use non-existing surface."));
    const int s = GR_Surface_Create(4, 4, -1);
    EXPECT_TRUE(ZQVTL_draw_surface_part_ext(s, 0, 0, 4, 4, 0, 0, 1, 1, 0xFFFFFF, 1));
}

TEST_F(Surfaces, NothingBeforeGraphicsAreOpen) {
    g_GraphicsInitialised = false;
    EXPECT_EQ(GR_Surface_Create(4, 4, -1), -1);
    g_GraphicsInitialised = true;
    const int s = GR_Surface_Create(4, 4, -1);
    g_GraphicsInitialised = false;
    EXPECT_FALSE(ZQVTL_surface_set_target(s));
    EXPECT_FALSE(ZQVTL_surface_reset_target());
    EXPECT_EQ(GR_Surface_Screenshot_Part(s, 0, 0, 4, 4), nullptr);
    g_GraphicsInitialised = true;
}

} // namespace
