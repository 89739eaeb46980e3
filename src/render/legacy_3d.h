// The legacy 3D layer: the 3D-mode switch with the depth of 2D drawing, the
// view and projection builders (look-at, and the orthographic and perspective
// views of a room rectangle), the world ("transform") matrix built by set and
// add operations, a bounded stack of world matrices, and one point through
// the world matrix. Angles are in degrees; the matrices live in the view
// module (Graphics::SetMatrix), so nothing here happens before the window is
// open except the bookkeeping of the mode, the depth and the stack.
#pragma once

#include <cstdint>

// 51 world matrices can be stacked; a push beyond that is refused.
inline constexpr int kTransformStackSize = 51;

// The z of every 2D vertex: within [-16000, 16000], and 0 unless 3D mode is on
// or the data is new-generation.
extern float GR_Depth;

bool GR_3D_Set_Mode(bool on);
// Clears depth and stencil (not colour), in 3D mode only.
void GR_3D_Clear_Z();
void GR_3D_Set_Depth(float depth);

void GR_3D_Projection_LookAt(float xfrom, float yfrom, float zfrom, float xto, float yto, float zto,
                             float xup, float yup, float zup);
void GR_3D_Projection_LookAt_Ext(float xfrom, float yfrom, float zfrom, float xto, float yto, float zto,
                                 float xup, float yup, float zup, float angle, float aspect, float znear,
                                 float zfar);
// The room rectangle (x, y, w, h) seen orthographically / in perspective,
// rotated by `angle`. While a surface is the target the vertical direction
// in clip space is reversed.
void GR_3D_Projection_Ortho(float x, float y, float w, float h, float angle);
void GR_3D_Projection_Perspective(float x, float y, float w, float h, float angle);

// Set forms replace the world matrix; Add forms multiply on its right, so the
// added transformation applies after everything already in it.
void GR_3D_Transform_Set_Identity();
void GR_3D_Transform_Set_Translation(float x, float y, float z);
void GR_3D_Transform_Set_Scaling(float x, float y, float z);
void GR_3D_Transform_Set_Rotation_X(float angle);
void GR_3D_Transform_Set_Rotation_Y(float angle);
void GR_3D_Transform_Set_Rotation_Z(float angle);
void GR_3D_Transform_Set_Rotation_Axis(float xa, float ya, float za, float angle);
void GR_3D_Transform_Add_Translation(float x, float y, float z);
void GR_3D_Transform_Add_Scaling(float x, float y, float z);
void GR_3D_Transform_Add_Rotation_X(float angle);
void GR_3D_Transform_Add_Rotation_Y(float angle);
void GR_3D_Transform_Add_Rotation_Z(float angle);
void GR_3D_Transform_Add_Rotation_Axis(float xa, float ya, float za, float angle);

// The stack of world matrices. Push on a full stack and Pop, Top and Discard
// on an empty one return false and change nothing; no operation reports.
void GR_3D_Transform_Stack_Clear();
bool GR_3D_Transform_Stack_Empty();
bool GR_3D_Transform_Stack_Push();
// The top becomes the world matrix and leaves the stack.
bool GR_3D_Transform_Stack_Pop();
// The top becomes the world matrix and stays on the stack.
bool GR_3D_Transform_Stack_Top();
// The top leaves the stack; the world matrix is kept.
bool GR_3D_Transform_Stack_Discard();
int GR_3D_Transform_Stack_Depth();

// The point through the world matrix, affine: the fourth column is ignored.
void GR_3D_TransformVertex(float& x, float& y, float& z);

// 3D mode off, depth 0, the stack empty.
void Legacy3D_Reset();
