// Render targets on Mesa: drawing lands in the surface, the stack nests and
// unwinds, extra attachments are detached, a full stack refuses a save.
#include <vector>

#include "gl_device_fixture.h"
#include "render/render_target.h"

namespace {

using RenderTargets = GLDeviceTest;

TEST_F(RenderTargets, SaveSetRestoreNestAndUnwind) {
    Texture* a = Graphics::CreateTexture(8, 4, 0, eTextureFlags_RenderTarget, eTextureFormat_A8R8G8B8);
    Texture* b = Graphics::CreateTexture(16, 16, 0, eTextureFlags_RenderTarget, eTextureFormat_A8R8G8B8);
    ASSERT_GT(a->frameBufferID, 0);
    ASSERT_TRUE(Graphics::SaveRenderTarget()); // the frame's level
    ASSERT_TRUE(Graphics::SaveRenderTarget());
    ASSERT_TRUE(Graphics::SetRenderTarget(0, a));
    EXPECT_EQ(g_RenderTargetActive, -1);
    EXPECT_EQ(GetInt(GL_FRAMEBUFFER_BINDING), a->frameBufferID);
    EXPECT_EQ(g_CurrFBOWidth, 8);
    // Clearing reaches the surface, not the window.
    glViewport(0, 0, 8, 4);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    unsigned char pixel[4] = {};
    glReadPixels(1, 1, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    EXPECT_EQ(pixel[2], 255);

    ASSERT_TRUE(Graphics::SaveRenderTarget());
    ASSERT_TRUE(Graphics::SetRenderTarget(0, b));
    EXPECT_EQ(g_CurrFBOWidth, 16);
    ASSERT_TRUE(Graphics::RestoreRenderTarget());
    EXPECT_EQ(GetInt(GL_FRAMEBUFFER_BINDING), a->frameBufferID);
    EXPECT_EQ(g_CurrFBOWidth, 8);
    EXPECT_EQ(g_RenderTargetActive, -1) << "still above the frame's level";
    ASSERT_TRUE(Graphics::RestoreRenderTarget());
    EXPECT_EQ(GetInt(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(g_CurrFBOWidth, kSize);
    EXPECT_EQ(g_RenderTargetActive, 1);
    ASSERT_TRUE(Graphics::RestoreRenderTarget());
    EXPECT_FALSE(Graphics::RestoreRenderTarget()) << "nothing below the base level";
    EXPECT_FALSE(Graphics::SetRenderTarget(0, nullptr));
    EXPECT_FALSE(Graphics::SetRenderTarget(kMaxColourAttachments, a));
}

TEST_F(RenderTargets, ExtraAttachmentsBelongToTheirLevel) {
    EXPECT_LE(g_maxColAttachments, kMaxColourAttachments);
    ASSERT_GE(g_maxColAttachments, 3) << "llvmpipe offers several colour attachments";
    Texture* a = Graphics::CreateTexture(8, 8, 0, eTextureFlags_RenderTarget, eTextureFormat_A8R8G8B8);
    Texture* extra = Graphics::CreateTexture(8, 8, 0, eTextureFlags_RenderTarget, eTextureFormat_A8R8G8B8);
    Texture* other = Graphics::CreateTexture(8, 8, 0, eTextureFlags_RenderTarget, eTextureFormat_A8R8G8B8);
    // On the window's level a second attachment does nothing.
    EXPECT_TRUE(Graphics::SetRenderTarget(1, extra));
    EXPECT_EQ(topRenderBufferStack().attachments[1], 0);
    ASSERT_TRUE(Graphics::SaveRenderTarget());
    ASSERT_TRUE(Graphics::SetRenderTarget(0, a));
    ASSERT_TRUE(Graphics::SetRenderTarget(2, extra));
    GLint attached = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT2,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
    EXPECT_EQ(attached, extra->textureID);
    ASSERT_TRUE(Graphics::SetRenderTarget(0, other)); // leaves a: its attachment 2 goes
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(a->frameBufferID));
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT2,
                                          GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
    EXPECT_EQ(attached, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(other->frameBufferID));
    EXPECT_TRUE(Graphics::RestoreRenderTarget());
}

TEST_F(RenderTargets, AFullStackRefusesASaveAndStaysBalanced) {
    for (int i = 0; i < kRenderBufferStackSize - 1; ++i) ASSERT_TRUE(Graphics::SaveRenderTarget()) << i;
    EXPECT_EQ(countRenderBufferStack(), 99);
    EXPECT_FALSE(Graphics::SaveRenderTarget());
    EXPECT_EQ(countRenderBufferStack(), 99);
    for (int i = 0; i < kRenderBufferStackSize - 1; ++i) ASSERT_TRUE(Graphics::RestoreRenderTarget());
    EXPECT_EQ(countRenderBufferStack(), 0);
}

} // namespace
