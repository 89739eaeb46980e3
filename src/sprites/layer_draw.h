// Drawing the running room's layers: every visible layer from the highest
// depth to the lowest, framed by its shader and its begin and end scripts,
// and each kind of element it holds.
#pragma once

struct tagZQRECT;
class CLayer;
struct CLayerBackgroundElement;
struct CLayerInstanceElement;
struct CLayerOldTilemapElement;
struct CLayerSpriteElement;
struct CLayerParticleElement;
struct CLayerTileElement;

// Draws every visible layer of the running room over `rect` (the room area
// the view shows), then flushes the batch. Nothing for a room without layers.
void DrawRoomLayers(tagZQRECT* rect);

// Runs a layer's begin or end script with the layer id, event type and
// subtype as the running event (restored afterwards); nothing for script -1
// or without an instance to run it as.
void ExecuteLayerScript(int layerID, int script, int eventType, int eventSubtype);
// Sets the layer's shader as the shader-set built-in does and returns it;
// -1 sets nothing and returns -1.
int SetLayerShader(int shader);
// Resets what SetLayerShader set; nothing for -1.
void ResetLayerShader(int shader);

// The element drawers. `rect` is the drawn room area, `layer` the element's.
// A background without a sprite fills the whole target with its colour,
// whatever the view.
void DrawLayerBackgroundElement(tagZQRECT* rect, CLayer* layer, CLayerBackgroundElement* element);
void DrawLayerInstanceElement(tagZQRECT* rect, CLayer* layer, CLayerInstanceElement* element);
void DrawLayerOldTilemapElement(tagZQRECT* rect, CLayer* layer, CLayerOldTilemapElement* element);
void DrawLayerSpriteElement(tagZQRECT* rect, CLayer* layer, CLayerSpriteElement* element);
void DrawLayerParticleElement(tagZQRECT* rect, CLayer* layer, CLayerParticleElement* element);
void DrawLayerTileElement(tagZQRECT* rect, CLayer* layer, CLayerTileElement* element);
