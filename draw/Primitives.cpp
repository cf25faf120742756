#include "draw/Primitives.h"

#include <GL/gl.h>

namespace {

struct CubeFace {
    double normal[3];
    double corners[4][3]; // counter-clockwise seen from outside
};

const CubeFace cubeFaces[6] = {
    {{0, 0, 1}, {{0.5, 0.5, 0.5}, {-0.5, 0.5, 0.5}, {-0.5, -0.5, 0.5}, {0.5, -0.5, 0.5}}},       // front
    {{0, 0, -1}, {{0.5, 0.5, -0.5}, {0.5, -0.5, -0.5}, {-0.5, -0.5, -0.5}, {-0.5, 0.5, -0.5}}},  // back
    {{0, 1, 0}, {{0.5, 0.5, 0.5}, {0.5, 0.5, -0.5}, {-0.5, 0.5, -0.5}, {-0.5, 0.5, 0.5}}},       // top
    {{0, -1, 0}, {{0.5, -0.5, 0.5}, {-0.5, -0.5, 0.5}, {-0.5, -0.5, -0.5}, {0.5, -0.5, -0.5}}},  // bottom
    {{1, 0, 0}, {{0.5, 0.5, 0.5}, {0.5, -0.5, 0.5}, {0.5, -0.5, -0.5}, {0.5, 0.5, -0.5}}},       // right
    {{-1, 0, 0}, {{-0.5, 0.5, 0.5}, {-0.5, 0.5, -0.5}, {-0.5, -0.5, -0.5}, {-0.5, -0.5, 0.5}}},  // left
};

constexpr int groundCells = 10; // per side

} // namespace

void drawCube(float x, float y, float z, float size)
{
    glPushMatrix();
        glTranslated(x, y, z);
        glScalef(size, size, size);
        glBegin(GL_QUADS);
        for (const CubeFace& face : cubeFaces) {
            glNormal3d(face.normal[0], face.normal[1], face.normal[2]);
            for (const auto& c : face.corners)
                glVertex3d(c[0], c[1], c[2]);
        }
        glEnd();
    glPopMatrix();
}

void drawGround(float size)
{
    const float start = -size / 2;
    const float step = (size / 2 - start) / groundCells;
    // One batch per colour, the colour set before it and the normal inside:
    // then the ground's vertices carry what every other batch's do, and the
    // renderer compiles one vertex pipeline for the whole frame, not two.
    // The cells do not overlap, so their order does not change a pixel.
    static const float shades[2] = {0.3f, 0.7f};
    for (int shade = 0; shade < 2; ++shade) {
        glColor3f(shades[shade], shades[shade], shades[shade]);
        glBegin(GL_QUADS);
        glNormal3f(0, 1, 0);
        float x0 = start;
        for (int i = 0; i < groundCells; ++i) {
            const float x1 = x0 + step;
            float z0 = start;
            for (int j = 0; j < groundCells; ++j) {
                const float z1 = z0 + step;
                if ((i + j) % 2 == shade) {
                    glVertex3d(x0, 0, z0);
                    glVertex3d(x0, 0, z1);
                    glVertex3d(x1, 0, z1);
                    glVertex3d(x1, 0, z0);
                }
                z0 = z1;
            }
            x0 = x1;
        }
        glEnd();
    }
}
