#include "machines/ExampleMachine.h"

#include <GL/gl.h>

#include "draw/Lens.h"
#include "draw/Primitives.h"

ExampleMachine::ExampleMachine(const char* name, float x, float z, float size)
    : Machine(4, name)
{
    params[0] = x;
    params[1] = z;
    paramNames[3] = "size";
    paramRanges[3] = {1.0f, 20.0f};
    params[3] = size;
}

void ExampleMachine::draw()
{
    const float size = params[3];
    glColor3d(1, 1, 0);
    drawCube(params[0], size * 0.5f, params[1], size); // bottom face on the ground
}

void ExampleMachine::setMachineView(float aspect)
{
    const float x = params[0];
    const float z = params[1];
    const float size = params[3];
    loadPerspective(cameraFieldOfView, aspect);
    // A level eye at (x, size + 2, z + 25 + 2 size) looking down -z; it backs
    // off as the cube grows so the cube stays in frame.
    glTranslatef(-x, -(size + 2), -z - 25 - 2 * size);
}
