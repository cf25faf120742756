#pragma once

// Axis-aligned cube of edge `size` centred at (x, y, z), in the current
// colour, with outward unit normals. Leaves the normal at (-1, 0, 0).
void drawCube(float x, float y, float z, float size);

// Checkered square of edge `size` on the plane y = 0, centred at the origin:
// 10 by 10 cells, dark grey where column + row is even, light grey where odd.
void drawGround(float size);
