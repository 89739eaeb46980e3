// Headless EGL context: the surfaceless platform where Mesa offers it (no
// display server at all), else the default display.
#include "headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <cstdlib>

namespace {
EGLDisplay OpenDisplay() {
    auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay != nullptr) {
        EGLDisplay display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display != EGL_NO_DISPLAY) return display;
    }
    return eglGetDisplay(EGL_DEFAULT_DISPLAY);
}
} // namespace

HeadlessGL::HeadlessGL(int width, int height) : m_width(width), m_height(height) {
    // Mesa's software rasteriser; never a GPU driver, whatever the machine has.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 0);
    EGLDisplay display = OpenDisplay();
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        m_error = "no EGL display";
        return;
    }
    m_display = display;
    const EGLint configAttribs[] = {EGL_SURFACE_TYPE,
                                    EGL_PBUFFER_BIT,
                                    EGL_RED_SIZE,
                                    8,
                                    EGL_GREEN_SIZE,
                                    8,
                                    EGL_BLUE_SIZE,
                                    8,
                                    EGL_ALPHA_SIZE,
                                    8,
                                    EGL_DEPTH_SIZE,
                                    24,
                                    EGL_STENCIL_SIZE,
                                    8,
                                    EGL_RENDERABLE_TYPE,
                                    EGL_OPENGL_BIT,
                                    EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttribs, &config, 1, &count) || count == 0) {
        m_error = "no pbuffer-capable EGL config";
        return;
    }
    const EGLint surfaceAttribs[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttribs);
    if (surface == EGL_NO_SURFACE) {
        m_error = "pbuffer surface creation failed";
        return;
    }
    m_surface = surface;
    if (!eglBindAPI(EGL_OPENGL_API)) {
        m_error = "desktop OpenGL API not available";
        return;
    }
    // A compatibility context: the renderer uses fixed-function state too.
    const EGLint contextAttribs[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1, EGL_NONE};
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttribs);
    if (context == EGL_NO_CONTEXT) {
        m_error = "context creation failed";
        return;
    }
    m_context = context;
    if (!eglMakeCurrent(display, surface, surface, context)) {
        m_error = "eglMakeCurrent failed";
        return;
    }
    m_ok = true;
}

void HeadlessGL::ReleaseCurrent() {
    if (m_display != nullptr) eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

HeadlessGL::~HeadlessGL() {
    if (m_display == nullptr) return;
    eglMakeCurrent(m_display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (m_context != nullptr) eglDestroyContext(m_display, m_context);
    if (m_surface != nullptr) eglDestroySurface(m_display, m_surface);
    // The display is left initialised: it is the process's one surfaceless
    // display, found again by the next context, and terminating it makes
    // llvmpipe drop state it still holds from textured draws (a leak report
    // inside the driver, not ours).
}
