#pragma once

#include "machines/Machine.h"

// A yellow cube standing on the ground: parameter 3 is its edge in site units.
// It has no load point and no driver's seat; Orientation does not affect it.
class ExampleMachine : public Machine {
public:
    ExampleMachine(const char* name, float x, float z, float size);

    void draw() override;
    void setMachineView(float aspect) override;
};
