// The OpenGL view on SDL2.
#include "platform/gl_view.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>

#include "core/console.h"
#include "platform/vblank.h"
#include "render/gl_layer.h"
#include "render/shell_services.h"
#include "world/run/main_loop.h"

float g_backingScaleFactor = 1.0f;

namespace {

ZQGLView* g_mainView = nullptr;
ZQGLView::PresentObserver g_presentObserver = nullptr;

void ResetViewState(int width, int height) {
    glViewport(0, 0, width, height);
    glScissor(0, 0, width, height);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 1);
    glClearDepth(1.0);
}

} // namespace

ZQGLView* ZQGLView::Main() {
    return g_mainView;
}

void ZQGLView::SetPresentObserver(PresentObserver observer) {
    g_presentObserver = observer;
}

ZQGLView::~ZQGLView() {
    Destroy();
}

bool ZQGLView::Create(int width, int height, const char* title, const char** error) {
    // Colour 24 + alpha 8, double-buffered, no depth or stencil in the window's
    // framebuffer; a compatibility context, since the shell and the renderer
    // use fixed-function state. No accelerated visual is asked for, so a
    // software renderer is accepted.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    m_window =
        SDL_CreateWindow(title != nullptr ? title : "", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                         height, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
    if (m_window == nullptr) {
        *error = SDL_GetError();
        return false;
    }
    m_context = SDL_GL_CreateContext(m_window);
    if (m_context == nullptr) {
        *error = SDL_GetError();
        SDL_DestroyWindow(m_window);
        m_window = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(m_window, m_context);
    SDL_GL_SetSwapInterval(0); // the swap waits only when vertical sync is asked for
    g_mainView = this;

    int dw = 0, dh = 0;
    DrawableSize(&dw, &dh);
    g_backingScaleFactor = width > 0 && dw > 0 ? static_cast<float>(dw) / static_cast<float>(width) : 1.0f;
    ZQOpenGLUtility::loadTextureFile("splash.png", &m_splash);
    m_requiresClear = true;
    setRenderSize(width, height);
    m_contextCreated = true;
    return true;
}

void ZQGLView::Destroy() {
    if (m_context != nullptr) {
        SDL_GL_MakeCurrent(m_window, m_context);
        ZQOpenGLUtility::freeTexture(&m_splash);
        m_primary.reset();
        SDL_GL_DeleteContext(m_context);
        m_context = nullptr;
    }
    if (m_window != nullptr) SDL_DestroyWindow(m_window);
    m_window = nullptr;
    m_contextCreated = false;
    m_renderWidth = m_renderHeight = 0;
    if (g_mainView == this) g_mainView = nullptr;
}

bool ZQGLView::Minimised() const {
    return m_window != nullptr && (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED) != 0;
}

void ZQGLView::SetTitle(const char* title) {
    if (m_window != nullptr) SDL_SetWindowTitle(m_window, title != nullptr ? title : "");
}

void ZQGLView::SetHidden(bool hidden) {
    if (m_window == nullptr) return;
    if (hidden)
        SDL_HideWindow(m_window);
    else
        SDL_ShowWindow(m_window);
}

void ZQGLView::ContentSize(int* width, int* height) const {
    *width = *height = 0;
    if (m_window != nullptr) SDL_GetWindowSize(m_window, width, height);
}

void ZQGLView::DrawableSize(int* width, int* height) const {
    *width = *height = 0;
    if (m_window != nullptr) SDL_GL_GetDrawableSize(m_window, width, height);
}

void ZQGLView::TakeDeviceSize() {
    int w = 0, h = 0;
    DrawableSize(&w, &h);
    g_ClientWidth = g_DeviceWidth = w;
    g_ClientHeight = g_DeviceHeight = h;
    g_WindowHeight = h;
}

void ZQGLView::setRenderSize(int width, int height) {
    if (m_context == nullptr) {
        dbg_csol->Output("Nil context detected \n");
        return;
    }
    if (m_primary != nullptr && width == m_renderWidth && height == m_renderHeight) return;
    m_requiresClear = true;
    SDL_GL_MakeCurrent(m_window, m_context);
    m_primary.reset();
    m_renderWidth = width;
    m_renderHeight = height;
    const float scaledW = static_cast<float>(width) * g_backingScaleFactor;
    const float scaledH = static_cast<float>(height) * g_backingScaleFactor;
    TakeDeviceSize();
    SDL_DisplayMode mode{};
    const int display = SDL_GetWindowDisplayIndex(m_window);
    if (display >= 0 && SDL_GetDesktopDisplayMode(display, &mode) == 0) {
        g_DisplayWidth = mode.w;
        g_DisplayHeight = mode.h;
    } else {
        g_DisplayWidth = g_DisplayHeight = 0;
    }
    dbg_csol->Output("!!!!########  rendersize=(%f,%f) - displayWidthHeight(%d,%d)\n", scaledW, scaledH,
                     g_DeviceWidth, g_DeviceHeight);
    if (scaledW >= 1.0f && scaledH >= 1.0f) m_primary = std::make_unique<GLRenderTarget>(scaledW, scaledH);
}

void ZQGLView::beginRender(bool drawSplash) {
    if (m_context == nullptr) return;
    SDL_GL_MakeCurrent(m_window, m_context);
    TakeDeviceSize();
    pushRenderBufferStack();
    if (m_primary != nullptr) m_primary->bindRenderTarget();
    ResetViewState(g_DeviceWidth, g_DeviceHeight);
    glDepthMask(GL_TRUE);
    GLboolean mask[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    if (m_requiresClear) {
        m_requiresClear = false;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    if (drawSplash) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        ZQOpenGLUtility::renderFullScreenProportional(m_splash, g_DeviceWidth, g_DeviceHeight);
    }
    glColorMask(mask[0], mask[1], mask[2], mask[3]);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void ZQGLView::endRender(bool flip) {
    if (m_context == nullptr) return;
    popRenderBufferStack();
    bindFBO(0, -1, -1);
    glDrawBuffer(GL_BACK);
    if (flip) {
        // Only the state is reset for the next frame; nothing is cleared.
        GLboolean mask[4];
        glGetBooleanv(GL_COLOR_WRITEMASK, mask);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        int w = 0, h = 0;
        DrawableSize(&w, &h);
        ResetViewState(w, h);
        glColorMask(mask[0], mask[1], mask[2], mask[3]);
    }
    glFinish();
    if (g_presentObserver != nullptr) {
        int w = 0, h = 0;
        DrawableSize(&w, &h);
        g_presentObserver(w, h);
    }
    if (!g_ForceSleepTiming) WaitForVBlank(g_SyncInterval);
    SDL_GL_SwapWindow(m_window);
}

bool ZQGLView::setWaitForVBlank(bool wait) {
    if (m_context == nullptr) return false;
    SDL_GL_MakeCurrent(m_window, m_context);
    return SDL_GL_SetSwapInterval(wait ? 1 : 0) == 0;
}

void ZQGLView::setSplashData(const uint8_t* data, size_t length) {
    if (m_context == nullptr) return;
    ZQOpenGLUtility::freeTexture(&m_splash);
    ZQOpenGLUtility::loadTextureData(data, length, &m_splash);
}

void ZQGLView::setSplashFile(const char* path) {
    if (m_context == nullptr) return;
    ZQOpenGLUtility::freeTexture(&m_splash);
    ZQOpenGLUtility::loadTextureFile(path, &m_splash);
}
