#pragma once

#include "machines/Machine.h"

// A machine that draws nothing and holds its load wherever the test puts it.
class CarrierMachine : public Machine {
public:
    CarrierMachine(float x, float y, float z) : Machine(3, "Carrier"), load{x, y, z} {}
    void draw() override {}
    void setMachineView(float) override {}
    bool getLoadPoint(float& x, float& y, float& z) override
    {
        x = load[0];
        y = load[1];
        z = load[2];
        return true;
    }
    float load[3];
};
