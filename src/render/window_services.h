// What the window views ask of the platform's window: moving the pointer.
#pragma once

void GR_Window_Mouse_Set(int x, int y);

// The drawing region's size, kept by the platform's window.
#include <cstdint>
extern int32_t wind_regionwidth, wind_regionheight;
