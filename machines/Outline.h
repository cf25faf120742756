#pragma once

// A fixed, flat, closed outline in the x-y plane, drawn as a slab. The last
// point joins the first. Faces are single polygons, so an outline must be
// convex, with no two neighbouring points equal; outlines are wound
// counter-clockwise seen from +z.
struct Outline {
    const double* points;   // x then y for each point, in drawing order
    int coordCount;         // values in points; an odd last value is ignored
    unsigned char color[3]; // red, green, blue, 0 to 255
};

// The filled outline in the plane at height z, in its colour, facing away
// from z = 0 (z = 0 itself faces -z). Leaves that colour current.
void drawOutlineFace(const Outline& outline, double z);

// The slab from z = -halfThickness to +halfThickness: both faces and the side
// walls, each wall lit with the outward normal of its edge.
void drawExtrudedOutline(const Outline& outline, double halfThickness);
