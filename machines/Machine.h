#pragma once

#include <string>
#include <utility>
#include <vector>

class DalveryWindow;

// A machine on the work site: a name and an ordered list of named, bounded
// parameters that the side panel edits, plus the operations the display and
// the rock buttons use. Parameters 0..2 are X, Z (site units) and
// Orientation (degrees about +y) unless a machine gives them another meaning.
class Machine {
public:
    Machine(unsigned count, const char* name);

    // Draws in world coordinates; leaves the model-view matrix as found.
    virtual void draw() = 0;
    // True when a load can be put down now, with its world point in x, y, z.
    // The base machine has none and leaves x, y, z untouched.
    virtual bool getLoadPoint(float& x, float& y, float& z);
    // Load GL_PROJECTION and GL_MODELVIEW completely; GL_MODELVIEW is left current.
    virtual void setMachineView(float aspect) = 0;
    // As setMachineView, from the driver's seat; false (and no GL state touched)
    // when the machine has no seat.
    virtual bool setDriverView(float aspect);

    std::vector<float> params;
    std::string name;
    std::vector<std::string> paramNames;
    std::vector<std::pair<float, float>> paramRanges; // (min, max) of each slider
    DalveryWindow* window;                             // set when the window lists it

protected:
    // Machines live to the end of the program and are never deleted through a
    // Machine pointer; keeping the destructor protected makes that a compile error.
    ~Machine() = default;
};
