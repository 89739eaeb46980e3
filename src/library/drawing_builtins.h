// The 2D drawing built-ins: each family keeps a table of its handlers by
// handler name, and the registration (library/drawing_registration.cpp) puts
// the built-ins into the function table in the fixed order of their ids.
// Several names share one handler (the color and colour spellings), which is
// why the families are keyed by handler, not by script name.
#pragma once

#include <cstdint>
#include <span>

#include "core/function_table.h"

// One handler of a family.
struct DrawingHandlerRow {
    const char* handler;
    TRoutine routine;
};

// One row of the registration order: script name, argument count, handler.
struct DrawingOrderRow {
    const char* name;
    int argc;
    const char* handler;
};

// The families' handler tables.
std::span<const DrawingHandlerRow> DrawStateBuiltins(); // draw state, colour, blending, shapes
std::span<const DrawingHandlerRow> SurfaceBuiltins();
std::span<const DrawingHandlerRow> TextBuiltins();
std::span<const DrawingHandlerRow> TextureBuiltins();
std::span<const DrawingHandlerRow> DisplayBuiltins(); // display and window
std::span<const DrawingHandlerRow> SpriteDrawBuiltins(); // sprites and backgrounds

// The registration order, all 306 rows.
std::span<const DrawingOrderRow> GraphicFunctions_Order();

// The handler a row names, or the handler of the rows whose family is not
// built yet (it leaves the result undefined, as a missing resource answers).
TRoutine DrawingBuiltin_Find(const char* handler);
// Whether a family has a real handler of that name.
bool DrawingBuiltin_Built(const char* handler);

// The drawing module's own state back to its start values (tests).
void DrawingState_Reset();

// Fast paths for compiled scripts.
int32_t ZQVTL_make_color_rgb(int32_t red, int32_t green, int32_t blue);
void ZQVTL_draw_set_blend_mode(int32_t mode);
void ZQVTL_window_set_caption(const char* caption);
