#pragma once

#include <GL/gl.h>

#include "app/Site.h"
#include "draw/Lens.h"
#include "draw/Primitives.h"
#include "machines/Machine.h"

// A machine of the tests' own: a grey cube of adjustable size, with two
// parameters more than the examples have, so that its sliders show whose
// they are, and a name wider than the list, which then shows a scrollbar
// along its bottom too.
class ListEndMachine : public Machine {
public:
    ListEndMachine() : Machine(6, "List end, named at length")
    {
        params[0] = -30;
        params[1] = 30;
        paramNames[3] = "size";
        paramRanges[3] = {1, 20};
        params[3] = 4;
        paramNames[4] = "spare";
        paramNames[5] = "spare too";
    }
    void draw() override
    {
        glColor3d(0.5, 0.5, 0.5);
        drawCube(params[0], params[3] / 2, params[1], params[3]);
    }
    // From 25 units in front of it, level with its top.
    void setMachineView(float aspect) override
    {
        loadPerspective(cameraFieldOfView, aspect);
        glTranslatef(-params[0], -params[3], -params[1] - 25);
    }
};

// The program's site and one line more, after the examples: a list longer
// than its box, in the test build dalvery_long_list.
template <class Window>
void populateLongSite(Window* window)
{
    populateSite(window);
    window->addMachine(new ListEndMachine());
}
