#pragma once

#include "machines/Machine.h"

// A truck of boxes on four wheels whose load bed tips up about its rear
// hinge. Parameters: X, Z, Orientation and 3 "tip amount" (degrees, 0 = flat).
// Modelled in a frame on the ground at (X, 0, Z), turned by Orientation about
// +y: the cab is at local -x, the rear at +x, and the right-hand wheels stand
// on local z = 0 with the centre line at z = 0.75 size.
class DumpTruck : public Machine {
public:
    DumpTruck(float x, float z, float size, float tip);

    void draw() override;
    // Always true: the rear end of the centre line, under the bed's hinge.
    bool getLoadPoint(float& x, float& y, float& z) override;
    // Looks down at the reference point from the +x, +z side; it does not
    // turn with the truck.
    void setMachineView(float aspect) override;
    // Always true: level and straight ahead, just in front of the cab.
    bool setDriverView(float aspect) override;

    float size; // site units per truck unit; every dimension is a multiple of it
};
