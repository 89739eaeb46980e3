// What the platform shell's view asks of the renderer: the size globals it
// writes, the flip flag, the shader mode, and the render-buffer stack around
// each frame. Until the OpenGL device lands they are answered by
// render/stand_ins.cpp.
#pragma once

#include <cstdint>

// The drawable size in device pixels (the client size is the same values),
// and the main display's size; written by the view.
extern int32_t g_DeviceWidth, g_DeviceHeight;
extern int32_t g_ClientWidth, g_ClientHeight;
extern int32_t g_DisplayWidth, g_DisplayHeight;
// Set by the renderer's flip at the end of a frame: present it in full.
extern bool g_fFlip;
// 1 while the renderer draws with shaders.
extern int32_t g_UsingGL2;

// Saves and restores the bound framebuffer and draw buffer around a frame.
void pushRenderBufferStack();
void popRenderBufferStack();
// Binds a framebuffer (0 the window) and records it with its size (-1: the
// window's) at the top of the render-buffer stack.
void bindFBO(uint32_t framebuffer, int width, int height);
