// What the window views ask of the platform's window: moving the pointer.
#pragma once

void GR_Window_Mouse_Set(int x, int y);
