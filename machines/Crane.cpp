#include "machines/Crane.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "draw/Angles.h"
#include "draw/Lens.h"
#include "draw/Primitives.h"

namespace {

// Crane yellow: the tower has to stand out against the grey ground.
const GLfloat towerColour[3] = {1.0f, 0.7f, 0.0f};

// From this "box vertical" on, the box is low enough to set a rock down.
constexpr float setDownFrom = 95;

// Path of one lattice cell on a truss face, as (y, z offset from the cell's
// start): up the near edge, across, down the far edge, back, then both
// diagonals, ending where the next cell begins.
const double cellPath[8][2] = {
    {0.5, 0}, {0.5, 1}, {-0.5, 1}, {-0.5, 0}, {0.5, 0}, {-0.5, 1}, {-0.5, 0}, {0.5, 1},
};

// Lengths in cells are whole: truncated toward zero.
int wholeCells(float cells)
{
    return int(cells);
}

// One side of a lattice column, in the plane x = 0.5: n unit cells from
// z = 0 to z = n, each outlined with both its diagonals, as a single loop.
// Its lines take the column's axis as normal.
void drawTrussFace(int n)
{
    glBegin(GL_LINE_LOOP);
    glNormal3d(0, 0, 1);
    for (int i = 0; i < n; ++i)
        for (const auto& p : cellPath)
            glVertex3d(0.5, p[0], i + p[1]);
    glEnd();
}

// A square lattice column of cross-section 1 by 1 centred on the z axis,
// from z = 0 to z = n.
void drawTruss(int n)
{
    glPushMatrix();
        // The turns add up (0, 90, 180, 270), putting the faces at 0, 90,
        // 270 and 180 degrees: each side once.
        for (int k = 0; k < 4; ++k) {
            glRotated(k * 90, 0, 0, 1);
            drawTrussFace(n);
        }
    glPopMatrix();
}

} // namespace

Crane::Crane(float x, float z, float scale, float towerHeight, float boomLength)
    : Machine(3, "Crane"),
      scale(scale),
      baseX(x),
      baseZ(z),
      towerHeight(towerHeight),
      boomLength(boomLength)
{
    paramNames[0] = "boom rotation";
    paramRanges[0] = {0.0f, 360.0f};
    paramNames[1] = "box horizontal";
    paramRanges[1] = {0.0f, 100.0f};
    params[1] = boomLength;
    paramNames[2] = "box vertical";
    paramRanges[2] = {0.0f, 100.0f};
    params[2] = boomLength;
}

// Lines are lit like faces, with the current normal, which GL turns through
// the model-view in force at each vertex. A normal is therefore turned with
// each face of a truss, except one along the column's own axis. So the lattice
// lines take their column's axis as normal (for the tower that is straight up,
// lit like the ground) and the cables take straight up; none of them depends
// on what was drawn before the crane.
void Crane::draw()
{
    const int nH = wholeCells(towerHeight), nL = wholeCells(boomLength);
    // The box's centre, in cells: `reach` ahead of the tower's axis along the
    // boom, `drop` below the boom's axis.
    const double reach = 1.5 + (nL - 2) * params[1] / 100;
    const double drop = 1 + (nH - 1) * params[2] / 100;

    glPushMatrix(); // tower
        glTranslatef(baseX, 0, baseZ);
        glScalef(scale, scale, scale);
        glRotatef(-90, 1, 0, 0); // the column's +z becomes world up
        glColor3fv(towerColour);
        drawTruss(nH);
    glPopMatrix();

    glPushMatrix(); // boom frame: on the boom's axis, turned with the boom, in cells
        glTranslatef(baseX, (towerHeight + 0.5f) * scale, baseZ);
        glScalef(scale, scale, scale);
        glRotatef(params[0], 0, 1, 0);

        glPushMatrix(); // box, with its cables up to the boom's axis
            glColor3d(0.7, 0.7, 0.7);
            glTranslated(0, -drop, reach);
            glBegin(GL_LINES);
            glNormal3d(0, 1, 0);
            glVertex3d(-0.25, 0, 0);
            glVertex3d(-0.25, drop, 0);
            glVertex3d(0.25, 0, 0);
            glVertex3d(0.25, drop, 0);
            glEnd();
            drawCube(0, 0, 0, 1);
        glPopMatrix();

        // From two cells behind the tower's axis to nL cells ahead of it.
        glColor3f(0.4f, 0.4f, 0.4f);
        glTranslated(0, 0, -2);
        drawTruss(nL + 2);
    glPopMatrix();
}

bool Crane::getLoadPoint(float& x, float& y, float& z)
{
    const int nH = wholeCells(towerHeight), nL = wholeCells(boomLength);
    // The box's distance from the tower's axis, site units.
    const float r = float(((nL - 2) * params[1] / 100 + 1.5) * scale);
    // 3.141593 rather than pi: the load point has always been placed with this
    // constant; it differs from pi's by a few millionths of a site unit.
    const double theta = params[0] * 2 * 3.141593 / 360;
    x = float(std::sin(theta) * r + baseX);
    z = float(std::cos(theta) * r + baseZ);
    // Falls from the tower's top with the box raised to the ground with it
    // fully lowered.
    y = (100 - params[2]) * nH * scale / 100;
    return params[2] >= setDownFrom;
}

void Crane::setMachineView(float aspect)
{
    loadPerspective(cameraFieldOfView, aspect);
    // Ten cells out from the tower's axis at right angles to the boom (on the
    // +x side with the boom at 0), level with the boom's underside.
    const double a = radians(-params[0]);
    const double d = 10 * scale;
    float targetX, targetY, targetZ;
    getLoadPoint(targetX, targetY, targetZ); // aimed at even when it cannot set down
    gluLookAt(baseX + d * std::cos(a), towerHeight * scale, baseZ + d * std::sin(a),
              targetX, targetY, targetZ, 0, 1, 0);
}
