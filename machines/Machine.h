#pragma once

#include <string>
#include <utility>
#include <vector>

class DalveryWindow;

// A machine on the work site: a name and an ordered list of named, bounded
// parameters that the side panel edits, plus the operations the display and
// the rock buttons use. Parameters 0..2 are X, Z (site units) and
// Orientation (degrees about +y) unless a machine gives them another meaning.
//
// The site's frame: y up, the ground the square -100..100 in x and z at
// y = 0, in site units. For scale, the dump truck (built at size 6) is
// 18 long, 10.5 wide and 9 high; the crane's tower 60 high with a boom
// reaching 54; the excavator 47 long with its arm out and 21 high; an
// example cube 2 on a side. Orientation turns the machine by
// glRotatef(o, 0, 1, 0): counter-clockwise seen from above, +x towards -z.
// Colours are set with glColor (colour material and lighting are on), with
// a normal for each face so that it is lit. The colour goes before glBegin
// and the normal after it: batches alike share one vertex pipeline, which
// the renderer compiles once (some 40 ms of the first frame per kind).
// Cameras: loadPerspective (draw/Lens.h) loads gluPerspective with a
// vertical field of 40 degrees (cameraFieldOfView), aspect = width / height,
// near 0.1, far 1000: it starts with glMatrixMode(GL_PROJECTION) and
// glLoadIdentity() and leaves GL_MODELVIEW current, for a gluLookAt with up
// (0, 1, 0). The panel shows at most ten parameters.
// `make check` checks every machine of app/Site.h against all of this: the
// GL state its draw and cameras leave, a level camera, its load point, its
// parameters; the checked program (make run-checked) checks the GL state
// after each draw and camera, and stops naming the machine.
class Machine {
public:
    // At least 3 parameters (X, Z, Orientation); fewer throws std::invalid_argument.
    Machine(unsigned count, const char* name);

    // Draws in world coordinates; leaves the model-view matrix as found,
    // GL_MODELVIEW current, the projection untouched and no GL error.
    virtual void draw() = 0;
    // True when a load can be put down now, with its world point in x, y, z.
    // False when not; the point may still say where the load hangs (the
    // crane's does). The base machine has none and leaves x, y, z untouched.
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
