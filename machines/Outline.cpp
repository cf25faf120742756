#include "machines/Outline.h"

#include <GL/gl.h>

#include <cmath>

#include "draw/Vec3.h"

namespace {

int pointCount(const Outline& outline)
{
    return outline.coordCount / 2;
}

// In the outline's plane, z = 0.
Vec3 pointAt(const Outline& outline, int i)
{
    return {float(outline.points[2 * i]), float(outline.points[2 * i + 1]), 0};
}

} // namespace

void drawOutlineFace(const Outline& outline, double z)
{
    const int n = pointCount(outline);
    glPushMatrix();
        glColor3ub(outline.color[0], outline.color[1], outline.color[2]);
        glTranslated(0, 0, z);
        glBegin(GL_POLYGON);
        glNormal3d(0, 0, z > 0 ? 1 : -1);
        for (int i = 0; i < n; ++i) {
            const Vec3 p = pointAt(outline, i);
            glVertex3d(p.x, p.y, p.z);
        }
        glEnd();
    glPopMatrix();
}

void drawExtrudedOutline(const Outline& outline, double halfThickness)
{
    const double h = halfThickness;
    drawOutlineFace(outline, h);
    drawOutlineFace(outline, -h);

    // The walls take the colour the faces left current.
    const int n = pointCount(outline);
    glBegin(GL_QUADS);
    for (int i = 0; i < n; ++i) {
        const Vec3 a = pointAt(outline, i);
        const Vec3 b = pointAt(outline, (i + 1) % n);
        const double dx = b.x - a.x;
        const double dy = b.y - a.y;
        const double length = std::sqrt(dx * dx + dy * dy);
        // Going counter-clockwise, the inside lies to the left of each edge,
        // so the outward normal is the right-hand one, (dy, -dx).
        glNormal3d(dy / length, -dx / length, 0);
        glVertex3d(a.x, a.y, h);
        glVertex3d(b.x, b.y, h);
        glVertex3d(b.x, b.y, -h);
        glVertex3d(a.x, a.y, -h);
    }
    glEnd();
}
