// The point and rectangle containment tests: point in rectangle, triangle and
// circle; rectangle in rectangle, triangle and circle. Computed in floats.
#pragma once

#include <span>

#include "core/function_table.h"

// 1 inside (edges included), 0 outside; the corners are taken as given.
int Point_In_Rectangle(float px, float py, float x1, float y1, float x2, float y2);
// Barycentric test: points on the two edges from (x1, y1) count as inside,
// points on the edge from (x2, y2) to (x3, y3) as outside.
bool Point_In_Triangle(float px, float py, float x1, float y1, float x2, float y2, float x3, float y3);
int Point_In_Circle(float px, float py, float cx, float cy, float r);
// 1 the source lies wholly in the destination, 2 they share a point, 0 apart.
int Rectangle_In_Rectangle(float sx1, float sy1, float sx2, float sy2, float dx1, float dy1, float dx2,
                           float dy2);
// 1 all four corners inside, 2 some, 0 none.
int Rectangle_In_Triangle(float sx1, float sy1, float sx2, float sy2, float x1, float y1, float x2, float y2,
                          float x3, float y3);
int Rectangle_In_Circle(float sx1, float sy1, float sx2, float sy2, float cx, float cy, float r);

std::span<const GameBuiltinRow> GeometryTests_Builtins();
