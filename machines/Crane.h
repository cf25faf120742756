#pragma once

#include "machines/Machine.h"

// A tower crane fixed at (baseX, baseZ): a lattice tower, a lattice boom on
// top that turns about the tower's axis, and a box hanging from the boom on
// two cables. Everything is built of cells of edge `scale`. Its parameters
// take the places of X, Z and Orientation: 0 "boom rotation" (degrees about
// +y; 0 points the boom along +z, 90 along +x), 1 "box horizontal" and
// 2 "box vertical" (percent of the box's travel along and down the boom).
// It has no driver's seat.
class Crane : public Machine {
public:
    Crane(float x, float z, float scale, float towerHeight, float boomLength);

    void draw() override;
    // Straight under the box; true only when the box is lowered far enough
    // to set a rock down.
    bool getLoadPoint(float& x, float& y, float& z) override;
    // From beside the tower, level with the boom's underside, at the load point.
    void setMachineView(float aspect) override;

    float scale;       // site units per cell
    float baseX;       // world x of the tower's axis
    float baseZ;       // world z of the tower's axis
    float towerHeight; // cells; only whole cells of tower are drawn
    float boomLength;  // cells ahead of the tower's axis; only whole cells count
};
