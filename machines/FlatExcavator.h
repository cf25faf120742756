#pragma once

#include "machines/Machine.h"
#include "machines/Outline.h"

// A tracked excavator built from flat slabs. Parameters 3 to 6 are the turn
// of the upper body on its tracks ("spin") and the arm, elbow and bucket
// joints, all in degrees. Its forward direction is -x of its own frames: the
// arm reaches towards -x.
class FlatExcavator : public Machine {
public:
    FlatExcavator();

    void draw() override;
    // The point inside the bucket where a rock is left; always true.
    bool getLoadPoint(float& x, float& y, float& z) override;
    // From behind and above the machine, whatever its angles; 60-degree view.
    void setMachineView(float aspect) override;
    // Level and straight ahead from the cab, turning with spin and Orientation.
    bool setDriverView(float aspect) override;

    // The pieces, in their own frames (see draw), counter-clockwise from +z.
    static const Outline trackOutline;
    static const Outline bodyOutline;
    static const Outline cabOutline;
    static const Outline armRootOutline; // with armOutline, one bent arm from
    static const Outline armOutline;     // the root (0, 0) to the elbow (-24, 0)
    static const Outline forearmOutline; // elbow (0, 0) to bucket joint (-14, 0)
    static const Outline bucketOutline;
};
