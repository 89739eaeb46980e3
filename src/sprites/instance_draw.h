// Drawing one instance, as every path that draws a room's instances does it:
// through its object's Draw event when it has one, else its sprite drawn
// with its image settings.
#pragma once

class CInstance;

// Not marked for removal, not deactivated and visible.
bool Instance_IsDrawable(const CInstance* instance);
// Draws a drawable instance (nothing for null). The skeleton module is told
// the instance around its drawing. `truncateFrame` takes the simple form's
// frame toward zero instead of down, as the instances-only merge does.
void Instance_Draw(CInstance* instance, bool truncateFrame = false);
