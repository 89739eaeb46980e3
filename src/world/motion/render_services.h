// What the world module asks of the renderer: the script primitive calls that
// draw paths. Until the renderer defines them, its stand-ins
// (src/render/stand_ins.cpp) answer.
#pragma once

inline constexpr int kPrimitiveLineStrip = 3;

// Starts a script primitive of `kind` with a texture (-1 none).
void GR_Draw_Primitive_Begin(int kind, long texture);
// Appends a vertex in the current drawing colour and depth; the renderer
// keeps at most 1001 vertices of one primitive.
void GR_Draw_Vertex(float x, float y);
// Submits the primitive when its vertices make at least one.
void GR_Draw_Primitive_End();
