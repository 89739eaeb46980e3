// The OpenGL view: the SDL window and its OpenGL compatibility context (2.1
// or later, any renderer: llvmpipe is fine), the render and device sizes the
// renderer reads, the frame brackets with the vertical-blank wait and the
// buffer swap, the swap interval and the splash texture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gl_utility.h"

struct SDL_Window;

class ZQGLView {
public:
    ZQGLView() = default;
    ~ZQGLView();
    ZQGLView(const ZQGLView&) = delete;
    ZQGLView& operator=(const ZQGLView&) = delete;

    // The view of the main window, or null before one exists.
    static ZQGLView* Main();

    // Opens the window hidden, with the context current, the swap interval 0,
    // "splash.png" loaded and the render size set. False, with SDL's reason
    // in *error, when no window or context can be made.
    bool Create(int width, int height, const char* title, const char** error);
    void Destroy();

    SDL_Window* Window() const { return m_window; }
    bool ContextCreated() const { return m_contextCreated; }
    bool Minimised() const;
    void SetTitle(const char* title);
    void SetHidden(bool hidden);
    // The window's size in points (its content), and the drawable size in pixels.
    void ContentSize(int* width, int* height) const;
    void DrawableSize(int* width, int* height) const;

    // The size to render at, in points: a change clears the next frame and
    // replaces the primary render target; the same size changes nothing.
    void setRenderSize(int width, int height);
    int renderWidth() const { return m_renderWidth; }
    int renderHeight() const { return m_renderHeight; }
    GLRenderTarget* primaryRenderTarget() const { return m_primary.get(); }

    // Opens a frame: context current, device size taken, full-view viewport,
    // a pending clear done, and the splash drawn letter-boxed when asked.
    void beginRender(bool drawSplash);
    // Closes the frame: window framebuffer bound, the view state reset when
    // `flip`, glFinish, the vertical-blank wait (unless timing by sleeping)
    // and the buffer swap, which happens with flip false too.
    void endRender(bool flip);
    // Asks for the buffer swap to wait for a vertical blank (swap interval 1)
    // or not; false when the driver refuses.
    bool setWaitForVBlank(bool wait);
    void setSplashData(const uint8_t* data, size_t length);
    void setSplashFile(const char* path);
    const ZQTextureRecord& splash() const { return m_splash; }
    // The next beginRender clears (after a resize of the window).
    void reshape() { m_requiresClear = true; }

    // Test seam: called with the frame's drawable size right before each buffer
    // swap, while the frame is still readable in the back buffer.
    using PresentObserver = void (*)(int width, int height);
    static void SetPresentObserver(PresentObserver observer);

private:
    void TakeDeviceSize();

    SDL_Window* m_window = nullptr;
    void* m_context = nullptr;
    bool m_contextCreated = false;
    bool m_requiresClear = true;
    int m_renderWidth = 0;
    int m_renderHeight = 0;
    std::unique_ptr<GLRenderTarget> m_primary;
    ZQTextureRecord m_splash;
};
