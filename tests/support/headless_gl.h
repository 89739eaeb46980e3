// A headless OpenGL context for renderer tests: EGL on Mesa's software
// renderer, with a pbuffer surface so that framebuffer 0 exists. Needs no X
// server and no GPU.
#pragma once

#include <string>

class HeadlessGL {
public:
    HeadlessGL(int width = 64, int height = 64);
    ~HeadlessGL();
    HeadlessGL(const HeadlessGL&) = delete;
    HeadlessGL& operator=(const HeadlessGL&) = delete;

    // False when no context could be made; Error() says why.
    bool Ok() const { return m_ok; }
    const std::string& Error() const { return m_error; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Leaves the thread with no current context, for a test that makes a
    // window's context current instead: the GL dispatch refuses a GLX
    // context (an X window's) on a thread where an EGL one is current.
    void ReleaseCurrent();

private:
    void* m_display = nullptr;
    void* m_surface = nullptr;
    void* m_context = nullptr;
    bool m_ok = false;
    std::string m_error;
    int m_width;
    int m_height;
};
