#include "draw/Lens.h"

#include <GL/gl.h>
#include <GL/glu.h>

namespace {

constexpr double nearPlane = 0.1, farPlane = 1000; // site units

} // namespace

void loadPerspective(double fieldOfView, double aspect)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
