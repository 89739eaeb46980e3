// Render targets: the frame buffer of a render-target texture, and the stack
// of bound frame buffers (100 levels, each with up to four colour
// attachments) that surface targeting pushes and pops.
#pragma once

#include <cstdint>

struct Texture;

inline constexpr int kRenderBufferStackSize = 100;
inline constexpr int kMaxColourAttachments = 4;

struct RenderBufferEntry {
    int32_t frameBuffer = 0;
    int32_t attachments[kMaxColourAttachments] = {};
    int32_t width = -1, height = -1;
};

extern int32_t g_maxColAttachments;
extern int32_t g_CurrentFrameBuffer;

// Advanced whenever a frame buffer's contents may change: every draw, clear,
// frame buffer bind or attachment, upload into a render target and texture
// release. Pixel reads kept from before an advance are stale.
extern uint32_t g_FrameBufferWriteStamp;
inline void FrameBuffer_MayChange() {
    ++g_FrameBufferWriteStamp;
}

namespace Graphics {
bool SaveRenderTarget();
// Null textures and slots outside the attachment range are refused (false).
bool SetRenderTarget(int slot, Texture* texture);
bool RestoreRenderTarget();
} // namespace Graphics

void bindFBO(int frameBuffer, int width, int height);
bool pushRenderBufferStack();
void popRenderBufferStack();
int countRenderBufferStack();
RenderBufferEntry topRenderBufferStack();
void initRenderBufferStack();
void _SetupRenderTargetFBO(Texture* texture, int width, int height);
void DBG_BIND_FRAMEBUFFER(int frameBuffer);
