#include "machines/DumpTruck.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "draw/Angles.h"
#include "draw/Lens.h"
#include "draw/Primitives.h"
#include "draw/Vec3.h"

namespace {

constexpr int wheelSegments = 10;
constexpr double wheelRadius = 0.25; // truck units; the wheel is drawn as a unit wheel scaled by it

// A wheel's place, in truck units from the chassis centre. The wheels on the
// right-hand side (local z = 0) are turned half a turn about y so that their
// hubs, like those on the left, face away from the chassis.
struct WheelPlace {
    double x, y, z;
    bool turned;
};

const WheelPlace wheelPlaces[] = {
    {0.75, -0.25, 0.75, false},
    {-0.75, -0.25, 0.75, false},
    {0.75, -0.25, -0.75, true},
    {-0.75, -0.25, -0.75, true},
};

// A unit wheel in its own frame: axle along z, tread radius 1, bore radius
// 0.5, width 1 (z from -0.5 to 0.5). The hub faces +z; the -z side, towards
// the chassis, is left open. The circle starts at the top and runs clockwise
// seen from +z. Leaves the colour white.
void drawWheel()
{
    double sine[wheelSegments + 1], cosine[wheelSegments + 1];
    for (int i = 0; i <= wheelSegments; ++i) { // the last point repeats the first
        const double theta = radians(i * 360.0 / wheelSegments);
        sine[i] = std::sin(theta);
        cosine[i] = std::cos(theta);
    }

    glColor3f(0, 0, 0);
    // Tread: faces away from the axle.
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= wheelSegments; ++i) {
        glNormal3d(sine[i], cosine[i], 0);
        glVertex3d(sine[i], cosine[i], -0.5);
        glVertex3d(sine[i], cosine[i], 0.5);
    }
    glEnd();
    // Bore: the inner wall of the tyre's ring, capped by the hub on the
    // outside and seen only through the open inner side. The surface seen
    // there faces the axle, and lighting is one-sided (a back face is lit
    // with its front normal), so the normal points to the axle: an outward
    // one would light that wall from the far side of the tyre.
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i <= wheelSegments; ++i) {
        glNormal3d(-sine[i], -cosine[i], 0);
        glVertex3d(0.5 * sine[i], 0.5 * cosine[i], -0.5);
        glVertex3d(0.5 * sine[i], 0.5 * cosine[i], 0.5);
    }
    glEnd();
    // Outer side wall, the ring between the bore and the tread on the hub side.
    glBegin(GL_QUAD_STRIP);
    glNormal3d(0, 0, 1);
    for (int i = 0; i <= wheelSegments; ++i) {
        glVertex3d(0.5 * sine[i], 0.5 * cosine[i], 0.5);
        glVertex3d(sine[i], cosine[i], 0.5);
    }
    glEnd();

    glColor3f(1, 1, 1);
    // Hub cap, flush with the side wall.
    glBegin(GL_POLYGON);
    glNormal3d(0, 0, 1);
    for (int i = 0; i <= wheelSegments; ++i)
        glVertex3d(0.5 * sine[i], 0.5 * cosine[i], 0.5);
    glEnd();
}

// Orientation in radians.
double heading(const DumpTruck& truck)
{
    return radians(truck.params[2]);
}

// The world point on the ground under the truck-local point (u, ·, w).
Vec3 localToWorld(const DumpTruck& truck, double u, double w)
{
    const double X = truck.params[0], Z = truck.params[1];
    const double a = heading(truck);
    return {float(X + u * std::cos(a) + w * std::sin(a)), 0,
            float(Z - u * std::sin(a) + w * std::cos(a))};
}

} // namespace

DumpTruck::DumpTruck(float x, float z, float size, float tip)
    : Machine(4, "Dump truck"),
      size(size)
{
    params[0] = x;
    params[1] = z;
    paramNames[3] = "tip amount";
    paramRanges[3] = {0.0f, 60.0f};
    params[3] = tip;
}

void DumpTruck::draw()
{
    const float X = params[0], Z = params[1], orientation = params[2], tip = params[3];
    const float s = size;
    glPushMatrix();
        // Turns the whole truck about the vertical through (X, Z); the parts
        // below are placed in world terms around that point.
        glTranslatef(X, 0, Z);
        glRotatef(orientation, 0, 1, 0);
        glTranslatef(-X, 0, -Z);

        glPushMatrix(); // cab
            glColor3d(1, 0, 0);
            glTranslated(X - 1.5 * s, 0.75 * s, Z + 0.75 * s);
            glScaled(1, 1.5, 1);
            drawCube(0, 0, 0, s);
        glPopMatrix();

        glPushMatrix(); // wheels and chassis, from the chassis centre
            glTranslated(X, 0.5 * s, Z + 0.75 * s);
            for (const WheelPlace& wheel : wheelPlaces) {
                glPushMatrix();
                    glTranslated(wheel.x * s, wheel.y * s, wheel.z * s);
                    if (wheel.turned)
                        glRotated(180, 0, 1, 0);
                    glScaled(wheelRadius * s, wheelRadius * s, wheelRadius * s);
                    drawWheel();
                glPopMatrix();
            }
            glScaled(2, 1, 1);
            glColor3d(0, 1, 0);
            drawCube(0, 0, 0, s);
        glPopMatrix();

        glPushMatrix(); // load bed
            glTranslated(X, 1.25 * s, Z + 0.75 * s);
            // The bed turns about its rear hinge, the top rear edge of the
            // chassis, 0.25 s below and s behind the bed's centre; turning
            // by -tip about +z lifts its front end.
            glTranslated(s, -0.25 * s, 0);
            glRotated(-tip, 0, 0, 1);
            glTranslated(-s, 0.25 * s, 0);
            glScaled(2 * s, 0.5 * s, s);
            glColor3d(0.8, 0.8, 0.8);
            drawCube(0, 0, 0, 1);
        glPopMatrix();
    glPopMatrix();
}

bool DumpTruck::getLoadPoint(float& x, float& y, float& z)
{
    // The rear end of the centre line, below the hinge; the tip does not matter.
    const Vec3 rear = localToWorld(*this, size, 0.75 * size);
    x = rear.x;
    y = 0.5f * size;
    z = rear.z;
    return true;
}

void DumpTruck::setMachineView(float aspect)
{
    const float X = params[0], Z = params[1];
    const float s = size;
    loadPerspective(cameraFieldOfView, aspect);
    gluLookAt(X + 4.5 * s, 5 * s, Z + 4.5 * s, X, 0.5 * s, Z, 0, 1, 0);
}

bool DumpTruck::setDriverView(float aspect)
{
    // On the centre line, 0.02 s ahead of the cab's front face, looking one
    // unit straight ahead (local -x), level.
    const double a = heading(*this);
    const double eyeY = 0.5 * size;
    const Vec3 eye = localToWorld(*this, -2.02 * size, 0.75 * size);
    loadPerspective(cameraFieldOfView, aspect);
    gluLookAt(eye.x, eyeY, eye.z, eye.x - std::cos(a), eyeY, eye.z + std::sin(a), 0, 1, 0);
    return true;
}
