// The window scaler's two computations, shared by its events.
#pragma once

class CInstance;

// From cur_window_width and cur_window_height: aspect_ratio, the whole
// scale (by width for a landscape window, by height otherwise), the scaled
// picture's size and the part of the room shown. The scale is at least 1,
// so a display smaller than the design area still gets a surface.
void Game_ScalerSizes(CInstance* self, CInstance* other);
// The first camera's view and the application surface sized from the
// windowed-mode size with the window's proportions, the view centred on the
// shown part of the room.
void Game_ScalerView(CInstance* self, CInstance* other);
