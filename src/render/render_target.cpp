// Render targets and the render-buffer stack. Level 0 is the window; the
// frame draws at level 1 and every surface target pushes another. Extra
// colour attachments belong to a level: they are detached before its frame
// buffer is left, so a frame buffer never keeps a stale attachment.
#include "render/render_target.h"

#include <algorithm>

#include "core/support_output.h"
#include "render/gl_api.h"
#include "render/gl_layer.h"
#include "render/graphics_device.h"
#include "render/texture.h"
#include "render/view.h"

int32_t g_maxColAttachments = 1;
int32_t g_CurrentFrameBuffer = 0;
uint32_t g_FrameBufferWriteStamp = 0;

namespace {

RenderBufferEntry renderBufferStack[kRenderBufferStackSize];
int renderBufferStackTop = 0;
bool g_RenderBufferStackInitialised = false;
GLint g_defaultDrawBuffer = GL_FRONT;

void LazyInit() {
    if (!g_RenderBufferStackInitialised) initRenderBufferStack();
}

void DetachExtras(RenderBufferEntry& entry, bool clearRecord) {
    for (int i = 1; i < g_maxColAttachments; ++i) {
        if (entry.attachments[i] == 0) continue;
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i), GL_TEXTURE_2D,
                               0, 0);
        if (clearRecord) entry.attachments[i] = 0;
    }
}

void UpdateDrawBuffers() {
    const RenderBufferEntry& top = renderBufferStack[renderBufferStackTop];
    if (top.frameBuffer == 0) {
        glDrawBuffer(static_cast<GLenum>(g_defaultDrawBuffer));
        return;
    }
    GLenum buffers[kMaxColourAttachments] = {GL_COLOR_ATTACHMENT0};
    int count = 1;
    for (int i = 1; i < g_maxColAttachments; ++i)
        if (top.attachments[i] != 0) buffers[count++] = GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(i);
    glDrawBuffers(count, buffers);
}

} // namespace

void DBG_BIND_FRAMEBUFFER(int frameBuffer) {
    if (frameBuffer == -1) Support_DebugOutput("File: %s\n, Line: %d\n\n", __FILE__, __LINE__);
    FrameBuffer_MayChange();
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(frameBuffer));
}

void initRenderBufferStack() {
    renderBufferStackTop = 0;
    renderBufferStack[0] = {};
    renderBufferStack[0].width = g_DeviceWidth;
    renderBufferStack[0].height = g_DeviceHeight;
    g_CurrentFrameBuffer = 0;
    g_CurrFBOWidth = g_DeviceWidth;
    g_CurrFBOHeight = g_DeviceHeight;
    GLint attachments = 1;
    glGetIntegerv(GL_MAX_COLOR_ATTACHMENTS, &attachments);
    g_maxColAttachments = std::clamp<GLint>(attachments, 1, kMaxColourAttachments);
    glGetIntegerv(GL_DRAW_BUFFER, &g_defaultDrawBuffer);
    g_RenderBufferStackInitialised = true;
}

bool pushRenderBufferStack() {
    LazyInit();
    if (renderBufferStackTop >= kRenderBufferStackSize - 1) return false;
    renderBufferStack[renderBufferStackTop + 1] = renderBufferStack[renderBufferStackTop];
    ++renderBufferStackTop;
    return true;
}

void popRenderBufferStack() {
    LazyInit();
    renderBufferStackTop = std::max(renderBufferStackTop - 1, 0);
}

int countRenderBufferStack() {
    LazyInit();
    return renderBufferStackTop;
}

RenderBufferEntry topRenderBufferStack() {
    LazyInit();
    if (renderBufferStackTop == 0) return RenderBufferEntry{};
    return renderBufferStack[renderBufferStackTop];
}

void bindFBO(int frameBuffer, int width, int height) {
    LazyInit();
    RenderBufferEntry& top = renderBufferStack[renderBufferStackTop];
    if (top.frameBuffer != 0) DetachExtras(top, true);
    DBG_BIND_FRAMEBUFFER(frameBuffer);
    top.frameBuffer = frameBuffer;
    top.width = width;
    top.height = height;
    g_CurrentFrameBuffer = frameBuffer;
    g_CurrFBOWidth = width;
    g_CurrFBOHeight = height;
    UpdateDrawBuffers();
}

bool Graphics::SaveRenderTarget() {
    return pushRenderBufferStack();
}

bool Graphics::SetRenderTarget(int slot, Texture* texture) {
    Graphics::Flush();
    LazyInit();
    if (slot < 0 || slot >= g_maxColAttachments || texture == nullptr) return false;
    _CreateTextureIfInvalid(texture, true, eMip_Any);
    RenderBufferEntry& top = renderBufferStack[renderBufferStackTop];
    if (slot == 0) {
        if (texture->frameBufferID != 0) {
            bindFBO(texture->frameBufferID, texture->width, texture->height);
            g_RenderTargetActive = -1;
        }
        return true;
    }
    if (top.frameBuffer == 0) return true;
    FrameBuffer_MayChange();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + static_cast<GLenum>(slot), GL_TEXTURE_2D,
                           static_cast<GLuint>(texture->textureID), 0);
    top.attachments[slot] = texture->textureID;
    UpdateDrawBuffers();
    return true;
}

bool Graphics::RestoreRenderTarget() {
    Graphics::Flush();
    LazyInit();
    if (renderBufferStackTop == 0) return false;
    DetachExtras(renderBufferStack[renderBufferStackTop], false);
    const RenderBufferEntry& previous = renderBufferStack[renderBufferStackTop - 1];
    DBG_BIND_FRAMEBUFFER(previous.frameBuffer);
    g_CurrentFrameBuffer = previous.frameBuffer;
    g_CurrFBOWidth = previous.width;
    g_CurrFBOHeight = previous.height;
    popRenderBufferStack();
    if (renderBufferStackTop < 2) g_RenderTargetActive = 1;
    return true;
}

void _SetupRenderTargetFBO(Texture* t, int width, int height) {
    if (t == nullptr || t->textureID <= 0) return;
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(t->textureID));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    GLuint fb = 0;
    glGenFramebuffers(1, &fb);
    t->frameBufferID = static_cast<int32_t>(fb);
    DBG_BIND_FRAMEBUFFER(t->frameBufferID);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                           static_cast<GLuint>(t->textureID), 0);
    GLuint depth = 0;
    glGenRenderbuffers(1, &depth);
    t->depthBufferID = static_cast<int32_t>(depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    if (g_SupportPackedDepthStencil) {
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
    } else {
        glRenderbufferStorage(GL_RENDERBUFFER,
                              g_Support24bitDepth ? GL_DEPTH_COMPONENT24 : GL_DEPTH_COMPONENT16, width,
                              height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        if (g_SupportSeparate8bitStencil) {
            GLuint stencil = 0;
            glGenRenderbuffers(1, &stencil);
            t->stencilBufferID = static_cast<int32_t>(stencil);
            Support_DebugOutput("StencilID: %d\n", t->stencilBufferID);
            glBindRenderbuffer(GL_RENDERBUFFER, stencil);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_STENCIL_INDEX8, width, height);
            glBindRenderbuffer(GL_RENDERBUFFER, 0);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER, stencil);
        }
    }
    glViewport(0, 0, width, height);
    glScissor(0, 0, width, height);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    glDisable(GL_SCISSOR_TEST);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glViewport(old_view_port_x, old_view_port_y, old_view_port_w, old_view_port_h);
    glScissor(old_view_port_x, old_view_port_y, old_view_port_w, old_view_port_h);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status != GL_FRAMEBUFFER_COMPLETE)
        Support_DebugOutput("CreateTexture(): Ooops frame buffer Kaput(1) 0x%04x (%d)\n", status, status);
    DBG_BIND_FRAMEBUFFER(g_CurrentFrameBuffer);
}
