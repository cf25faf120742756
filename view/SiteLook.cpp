#include "view/SiteLook.h"

#include <GL/gl.h>

namespace {

struct Light {
    GLenum id;
    GLfloat position[4]; // world coordinates; w = 1: positional
    GLfloat diffuse[4];
};

const Light siteLights[] = {
    {GL_LIGHT0, {100, 110, 120, 1}, {1, 1, 1, 1}},
    {GL_LIGHT1, {-100, 10, -150, 1}, {1, 1, 1, 1}},
};

} // namespace

void clearToSky()
{
    glClearColor(skyColour[0], skyColour[1], skyColour[2], 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void enableSiteLighting()
{
    glEnable(GL_COLOR_MATERIAL);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    // glColor sets ambient and diffuse of both faces.
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    // Cubes, the truck and the rocks are drawn through scales; without this
    // their normals would be scaled too and their brightness would depend on
    // their size instead of on the direction of their faces.
    glEnable(GL_NORMALIZE);
}

void placeSiteLights()
{
    for (const Light& light : siteLights) {
        glLightfv(light.id, GL_POSITION, light.position);
        glLightfv(light.id, GL_DIFFUSE, light.diffuse);
    }
}
