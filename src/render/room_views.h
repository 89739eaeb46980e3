// The room's views each frame: legacy views following their instance,
// new-generation cameras updated, and the window views defined from them;
// the default camera of rooms without views; the drawing region's size.
#pragma once

// Advances the views and defines window views 0-7 and the display scales.
void UpdateViews();
// Points the default camera at the rectangle and makes it the active camera.
void UpdateDefaultCamera(float x, float y, float w, float h, float angle);
// Sizes the drawing region to the views' ports, or to the room without views.
void Room_SizeDrawing();
