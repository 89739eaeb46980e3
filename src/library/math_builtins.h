// Maths and geometry built-ins: elementary functions, trigonometry in radians
// and degrees, aggregates over any number of arguments, 2D and 3D geometry,
// and the tolerance of script comparisons. Trigonometry, directions,
// distances and length-directions compute in single precision and snap tiny
// results to zero; the rest compute in double precision.
#pragma once

#include "core/function_table.h"

struct ZQRValue;

// math_set_epsilon(e): the tolerance of comparisons of script numbers becomes
// e when 0 <= e < 1 (0 is stored as 1e-11) and compiled code is told through
// g_pSetLLVMVar (code 1); any other value changes nothing.
void F_MathSetEpsilon(RValue& result, CInstance* self, CInstance* other, int argc, RValue* args);

// The single-precision results scripts see.
float Math_PointDirection(float x1, float y1, float x2, float y2);
float Math_LengthDirX(float length, float direction);
float Math_LengthDirY(float length, float direction);

// Compiled code's direct calls; each computes what its built-in computes,
// except that sine and cosine here are double precision (with the same snap).
double ZQVTL_abs(double x);
double ZQVTL_sign(double x);
double ZQVTL_degtorad(double x);
double ZQVTL_sins(double x);
double ZQVTL_cos(double x);
ZQRValue& ZQVTL_min(ZQRValue& result, int argc, ZQRValue** args);
ZQRValue& ZQVTL_max(ZQRValue& result, int argc, ZQRValue** args);
float ZQVTL_point_direction(float x1, float y1, float x2, float y2);
float ZQVTL_lengthdir_x(float length, float direction);
float ZQVTL_lengthdir_y(float length, float direction);
