#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <random>

#include "tests/FakeMouse.h"
#include "view/WorldCamera.h"

namespace {

// Long runs of mouse drags through the camera's event handling, with points
// anywhere a pointer event can put them: in the view, past every edge, far
// negative, at the limits of an int.
class CameraNumbers : public ::testing::Test {
protected:
    void SetUp() override
    {
        camera.widget = &view;
        camera.distance = 250; // as the site display sets it
        camera.spin(0.2f, 0.4f, 0.0f);
    }
    int send(int event, int x, int y, int button, int state = 0)
    {
        fakeMouse(x, y, button, state);
        return camera.handleMouse(event);
    }
    int wildCoordinate(std::mt19937& rng, int size)
    {
        switch (rng() % 8) {
        case 0: return INT_MIN + int(rng() % 2);
        case 1: return INT_MAX - int(rng() % 2);
        case 2: return -int(rng() % 40000);   // off the left or top
        case 3: return size + int(rng() % 40000); // off the right or bottom
        default: return int(rng() % unsigned(size + 1)); // in the view, edges included
        }
    }
    // Everything the camera keeps is finite, and the view matrix is a proper
    // rotation: orthonormal columns, determinant +1, no translation.
    void expectSound(const char* when)
    {
        SCOPED_TRACE(when);
        const Quaternion* rotations[] = {&camera.baseRotation, &camera.dragRotation};
        for (const Quaternion* q : rotations) {
            ASSERT_TRUE(std::isfinite(q->x) && std::isfinite(q->y) && std::isfinite(q->z) &&
                        std::isfinite(q->w));
        }
        ASSERT_TRUE(std::isfinite(camera.panX) && std::isfinite(camera.panY));
        ASSERT_TRUE(std::isfinite(camera.panDeltaX) && std::isfinite(camera.panDeltaY));

        float m[16];
        camera.viewMatrix(m);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                double dot = 0;
                for (int k = 0; k < 3; ++k)
                    dot += double(m[4 * i + k]) * m[4 * j + k];
                ASSERT_NEAR(dot, i == j ? 1 : 0, 1e-5) << "rows " << i << ", " << j;
            }
        }
        const double det = double(m[0]) * (double(m[5]) * m[10] - double(m[6]) * m[9]) -
                           double(m[1]) * (double(m[4]) * m[10] - double(m[6]) * m[8]) +
                           double(m[2]) * (double(m[4]) * m[9] - double(m[5]) * m[8]);
        ASSERT_NEAR(det, 1, 1e-5) << "a rotation, not a reflection";
        for (int i : {3, 7, 11, 12, 13, 14})
            ASSERT_EQ(m[i], 0.0f) << "entry " << i;
        ASSERT_EQ(m[15], 1.0f);
    }

    Fl_Gl_Window view{0, 0, 625, 590};
    WorldCamera camera;
};

TEST_F(CameraNumbers, DegenerateDragsStayFinite)
{
    // No movement: the two sphere points coincide and their cross product is zero.
    send(FL_PUSH, 300, 300, FL_RIGHT_MOUSE);
    send(FL_DRAG, 300, 300, FL_RIGHT_MOUSE);
    expectSound("drag to the press point");
    // Opposite points of the rim: cross product zero, dot product -1.
    send(FL_PUSH, 2000, 295, FL_RIGHT_MOUSE);
    send(FL_DRAG, -2000, 295, FL_RIGHT_MOUSE);
    expectSound("drag across to the opposite rim point");
    // The farthest points an event can carry, rotating and panning.
    for (int state : {0, int(FL_ALT)}) {
        send(FL_PUSH, INT_MIN, INT_MAX, FL_RIGHT_MOUSE, state);
        send(FL_DRAG, INT_MAX, INT_MIN, FL_RIGHT_MOUSE, state);
        send(FL_DRAG, INT_MIN, INT_MIN, FL_RIGHT_MOUSE, state);
        send(FL_RELEASE, INT_MIN, INT_MIN, FL_RIGHT_MOUSE, state);
        expectSound(state ? "pan between the limits of an int" : "turn between the limits of an int");
    }
}

TEST_F(CameraNumbers, ThousandsOfWildDragsLeaveARotation)
{
    const unsigned seed = 20240607;
    SCOPED_TRACE(::testing::Message() << "seed " << seed);
    std::mt19937 rng(seed);
    const int drags = 20000;
    for (int n = 0; n < drags; ++n) {
        const int state = rng() % 3 == 0 ? int(FL_ALT) : 0;
        send(FL_PUSH, wildCoordinate(rng, view.w()), wildCoordinate(rng, view.h()), FL_RIGHT_MOUSE, state);
        const int moves = 1 + int(rng() % 6);
        for (int k = 0; k < moves; ++k)
            send(FL_DRAG, wildCoordinate(rng, view.w()), wildCoordinate(rng, view.h()), FL_RIGHT_MOUSE, state);
        // Sometimes another button ends the drag instead of the release.
        if (rng() % 5 == 0)
            send(FL_PUSH, wildCoordinate(rng, view.w()), wildCoordinate(rng, view.h()), FL_LEFT_MOUSE);
        send(FL_RELEASE, wildCoordinate(rng, view.w()), wildCoordinate(rng, view.h()), FL_RIGHT_MOUSE);
        if (n % 1000 == 0)
            expectSound("during the run");
        if (HasFatalFailure())
            FAIL() << "after drag " << n;
    }
    expectSound("after the run");
    // The folded rotation is never renormalised; its length creeps by rounding
    // (about 4e-8 a drag) but stays far from anything that matters: the matrix
    // divides it out.
    const Quaternion& q = camera.baseRotation;
    EXPECT_NEAR(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w), 1, 0.01);
}

} // namespace
