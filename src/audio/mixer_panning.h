// Directions in listener space as rows of the device's panning table.
#pragma once

// The row for a direction with components x (right) and z (back): 0 straight
// ahead, 128 right, 256 behind, 384 left, the quadrants split evenly by the
// ratio |x| : |z|.
int Mixer_DirectionRow(float x, float z);
// The angle in radians that row p (0..511) stands for: 0 ahead, positive to
// the right, -pi behind.
double Mixer_RowAngle(int p);
