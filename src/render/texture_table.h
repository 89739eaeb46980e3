// The lookups of the script texture table that the renderer's built-ins use.
#pragma once

struct Texture;

bool GR_Texture_Exists(int id);
// The GPU texture of a table entry, or null when the id does not exist.
Texture* GR_Texture_Get_Surface(int id);
