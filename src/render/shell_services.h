// What the platform shell's view asks of the renderer: the size globals it
// writes, the flip flag, the shader mode, and the render-buffer stack around
// each frame.
#pragma once

#include <cstdint>

#include "render/graphics_device.h"
#include "render/render_target.h"
#include "render/texture.h"

// The drawable size in device pixels as the view last set it; the device
// size (render/graphics_device.h) holds the same values.
extern int32_t g_ClientWidth, g_ClientHeight;
