#include <FL/Fl.H>
#include <FL/Fl_Gl_Window.H>
#include <GL/gl.h>

#include <cmath>

#include "tests/FakeMouse.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"
#include "view/SiteDisplay.h"
#include "view/WorldCamera.h"

namespace {

const float pi = std::acos(-1.0f);

Quaternion aboutAxis(float degrees, float ax, float ay, float az)
{
    const float half = degrees * pi / 360;
    return {ax * std::sin(half), ay * std::sin(half), az * std::sin(half), std::cos(half)};
}

// Applies quatToMatrix's row-major rotation to v.
Vec3 rotate(const Quaternion& q, Vec3 v)
{
    float m[16];
    quatToMatrix(q, m);
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z,
            m[4] * v.x + m[5] * v.y + m[6] * v.z,
            m[8] * v.x + m[9] * v.y + m[10] * v.z};
}

void expectQuat(const Quaternion& q, float x, float y, float z, float w, float tolerance = 1e-5f)
{
    EXPECT_NEAR(q.x, x, tolerance);
    EXPECT_NEAR(q.y, y, tolerance);
    EXPECT_NEAR(q.z, z, tolerance);
    EXPECT_NEAR(q.w, w, tolerance);
}

TEST(Quaternions, ProductAppliesTheFirstArgumentFirst)
{
    const Quaternion quarterAboutX = aboutAxis(90, 1, 0, 0);
    const Quaternion quarterAboutY = aboutAxis(90, 0, 1, 0);
    // +y turned about x goes to +z; +z turned about y goes to +x.
    const Vec3 v = rotate(quatMultiply(quarterAboutX, quarterAboutY), {0, 1, 0});
    EXPECT_NEAR(v.x, 1, 1e-6);
    EXPECT_NEAR(v.y, 0, 1e-6);
    EXPECT_NEAR(v.z, 0, 1e-6);
    // The other order ends elsewhere: +y is unchanged by the turn about y, then goes to +z.
    const Vec3 w = rotate(quatMultiply(quarterAboutY, quarterAboutX), {0, 1, 0});
    EXPECT_NEAR(w.z, 1, 1e-6);
}

TEST(Quaternions, MatrixIsRightHandedAndIgnoresLength)
{
    // A quarter turn about +z takes +x to +y.
    Vec3 v = rotate(aboutAxis(90, 0, 0, 1), {1, 0, 0});
    EXPECT_NEAR(v.y, 1, 1e-6);
    EXPECT_NEAR(v.x, 0, 1e-6);
    Quaternion scaled = aboutAxis(90, 0, 0, 1);
    scaled.x *= 3;
    scaled.y *= 3;
    scaled.z *= 3;
    scaled.w *= 3;
    v = rotate(scaled, {1, 0, 0});
    EXPECT_NEAR(v.y, 1, 1e-6);

    float m[16];
    quatToMatrix({0, 0, 0, 0}, m);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f) << "zero quaternion gives the identity, entry " << i;

    Quaternion q{1, 2, 3, 4};
    quatNormalize(q);
    EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1, 1e-6);
    EXPECT_NEAR(q.w / q.x, 4, 1e-5);
}

// The drags below cannot see it: scaling a point scales the turn's cross
// and dot products alike.
TEST(Quaternions, PointsOffTheBallGoToTheUnitRim)
{
    const Vec3 rim = projectToSphere(3, 4);
    EXPECT_NEAR(rim.x, 0.6f, 1e-6);
    EXPECT_NEAR(rim.y, 0.8f, 1e-6);
    EXPECT_EQ(rim.z, 0.0f);
}

// A drag turns about the axis square to the two points it joins on the ball
// (or on its rim, for points off the ball), by twice the angle between them.
TEST(WorldCameraDrags, TurnByTwiceTheAngleBetweenThePointsOnTheBall)
{
    const float s = std::sin(pi / 4), c = std::cos(pi / 4);
    const struct {
        float fromX, fromY, toX, toY;
        Quaternion turn;
    } drags[] = {
        {0, 0, 1, 0, {0, 1, 0, 0}},          // centre to right edge: a half turn about the vertical
        {0, 0, 0.6f, 0, {0, 0.6f, 0, 0.8f}}, // to (0.6, 0, 0.8) on the ball
        {2, 0, 1.5f, 1.5f, {0, 0, s, c}},    // beyond the right edge; an eighth of the rim
        {0.9f, 0.9f, 0, 2, {0, 0, s, c}},    // from the top right corner, inside the view but off the ball
    };
    for (const auto& d : drags) {
        SCOPED_TRACE(::testing::Message() << "from " << d.fromX << ", " << d.fromY);
        WorldCamera camera;
        camera.beginDrag(d.fromX, d.fromY);
        camera.dragMode = WorldCamera::RotateDrag;
        camera.dragTo(d.toX, d.toY);
        expectQuat(camera.dragRotation, d.turn.x, d.turn.y, d.turn.z, d.turn.w);
        expectQuat(camera.baseRotation, 0, 0, 0, 1);
    }
}

TEST(WorldCameraDrags, RotationIsMeasuredFromTheDragStartNotTheLastMove)
{
    WorldCamera direct, wandering;
    for (WorldCamera* c : {&direct, &wandering}) {
        c->beginDrag(-0.2f, 0.1f);
        c->dragMode = WorldCamera::RotateDrag;
    }
    wandering.dragTo(0.7f, -0.6f);
    wandering.dragTo(0.1f, 0.9f);
    wandering.dragTo(0.4f, 0.3f);
    direct.dragTo(0.4f, 0.3f);
    expectQuat(wandering.dragRotation, direct.dragRotation.x, direct.dragRotation.y,
               direct.dragRotation.z, direct.dragRotation.w, 1e-7f);
}

TEST(WorldCameraDrags, ANewDragFoldsTheLastIntoTheBase)
{
    WorldCamera camera;
    camera.beginDrag(0, 0);
    camera.dragMode = WorldCamera::RotateDrag;
    camera.dragTo(0.5f, 0);
    const Quaternion first = camera.dragRotation;
    float before[16], after[16];
    camera.viewMatrix(before);
    camera.dragMode = WorldCamera::NoDrag; // released: still shown, not yet folded
    expectQuat(camera.baseRotation, 0, 0, 0, 1);

    camera.beginDrag(0.3f, 0.3f);
    camera.dragMode = WorldCamera::RotateDrag;
    expectQuat(camera.baseRotation, first.x, first.y, first.z, first.w);
    expectQuat(camera.dragRotation, 0, 0, 0, 1);
    camera.viewMatrix(after);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(before[i], after[i], 1e-6) << "the view does not jump at the press";

    // The second drag starts from the view the first left: the composed turn
    // is the first followed by the second.
    camera.dragTo(0.3f, -0.2f);
    const Quaternion second = camera.dragRotation;
    const Vec3 probe{0.3f, -0.5f, 0.8f};
    const Vec3 expected = rotate(second, rotate(first, probe));
    const Vec3 got = rotate(quatMultiply(camera.baseRotation, camera.dragRotation), probe);
    EXPECT_NEAR(got.x, expected.x, 1e-5);
    EXPECT_NEAR(got.y, expected.y, 1e-5);
    EXPECT_NEAR(got.z, expected.z, 1e-5);
}

TEST(WorldCameraDrags, PanFollowsThePointerAndStopsAtTheRelease)
{
    WorldCamera camera;
    camera.distance = 250;
    camera.panX = 10;
    camera.panY = -4;
    camera.beginDrag(-1, 0);
    camera.dragMode = WorldCamera::PanDrag;
    camera.dragTo(0, 0.5f);
    camera.dragTo(1, 0.2f);
    EXPECT_NEAR(camera.panX, 10 - 500, 1e-3);
    EXPECT_NEAR(camera.panY, -4 - 0.2f * 250, 1e-3);
    expectQuat(camera.dragRotation, 0, 0, 0, 1);
    // A second pan starts from where the first ended.
    camera.beginDrag(0, 0);
    camera.dragTo(0.1f, 0);
    EXPECT_NEAR(camera.panX, 10 - 500 - 25, 1e-3);
}

TEST(WorldCameraDrags, SpinComposesOntoTheBase)
{
    WorldCamera camera;
    camera.spin(0.2f, 0.4f, 0.0f);
    expectQuat(camera.baseRotation, 0.2f, 0.4f, 0, 0.894427f);
    camera.spin(0, 0, 0); // no turn
    expectQuat(camera.baseRotation, 0.2f, 0.4f, 0, 0.894427f);
    WorldCamera big;
    big.spin(3, 0, 4); // beyond the unit ball: a half turn about (0.6, 0, 0.8)
    expectQuat(big.baseRotation, 0.6f, 0, 0.8f, 0);
}

// Mouse events through handleMouse, with FLTK's event state set directly.
class WorldCameraEvents : public ::testing::Test {
protected:
    void SetUp() override { camera.widget = &view; }
    Fl_Gl_Window view{0, 0, 600, 400};
    WorldCamera camera;
};

TEST_F(WorldCameraEvents, RightButtonRotatesAndAltRightPans)
{
    fakeMouse(300, 200, FL_RIGHT_MOUSE);
    EXPECT_EQ(camera.handleMouse(FL_PUSH), 1);
    EXPECT_EQ(camera.dragMode, WorldCamera::RotateDrag);
    fakeMouse(600, 200, FL_RIGHT_MOUSE);
    EXPECT_EQ(camera.handleMouse(FL_DRAG), 1);
    expectQuat(camera.dragRotation, 0, 1, 0, 0);
    EXPECT_EQ(camera.handleMouse(FL_RELEASE), 1);
    EXPECT_EQ(camera.dragMode, WorldCamera::NoDrag);
    expectQuat(camera.dragRotation, 0, 1, 0, 0); // kept until the next press

    camera.distance = 100;
    fakeMouse(0, 100, FL_RIGHT_MOUSE, FL_ALT);
    EXPECT_EQ(camera.handleMouse(FL_PUSH), 1);
    EXPECT_EQ(camera.dragMode, WorldCamera::PanDrag);
    fakeMouse(150, 0, FL_RIGHT_MOUSE, 0); // Alt let go mid-drag: still a pan
    EXPECT_EQ(camera.handleMouse(FL_DRAG), 1);
    EXPECT_NEAR(camera.panX, -50, 1e-3); // a quarter of the width: half a unit
    EXPECT_NEAR(camera.panY, -50, 1e-3); // from y = 0.5 to the top edge
    expectQuat(camera.dragRotation, 0, 0, 0, 1);
}

TEST_F(WorldCameraEvents, AltPressedAfterThePressKeepsARotation)
{
    fakeMouse(300, 200, FL_RIGHT_MOUSE);
    camera.handleMouse(FL_PUSH);
    fakeMouse(450, 200, FL_RIGHT_MOUSE, FL_ALT);
    camera.handleMouse(FL_DRAG);
    EXPECT_EQ(camera.dragMode, WorldCamera::RotateDrag);
    EXPECT_EQ(camera.panX, 0.0f);
    EXPECT_GT(camera.dragRotation.y, 0.1f);
}

TEST_F(WorldCameraEvents, OtherButtonsAreNotTakenAndEndADrag)
{
    for (int button : {FL_LEFT_MOUSE, FL_MIDDLE_MOUSE}) {
        fakeMouse(100, 100, button);
        EXPECT_EQ(camera.handleMouse(FL_PUSH), 0);
        fakeMouse(500, 300, button);
        EXPECT_EQ(camera.handleMouse(FL_DRAG), 0);
        EXPECT_EQ(camera.handleMouse(FL_RELEASE), 0);
        expectQuat(camera.baseRotation, 0, 0, 0, 1);
        expectQuat(camera.dragRotation, 0, 0, 0, 1);
    }
    fakeMouse(300, 200, FL_RIGHT_MOUSE);
    camera.handleMouse(FL_PUSH);
    fakeMouse(300, 200, FL_LEFT_MOUSE);
    EXPECT_EQ(camera.handleMouse(FL_PUSH), 0);
    EXPECT_EQ(camera.dragMode, WorldCamera::NoDrag);
    fakeMouse(600, 200, FL_LEFT_MOUSE);
    EXPECT_EQ(camera.handleMouse(FL_DRAG), 0) << "the interrupted drag is over";
    expectQuat(camera.dragRotation, 0, 0, 0, 1);
    EXPECT_EQ(camera.handleMouse(FL_MOVE), 0);
}

using WorldCameraView = GlTest;

TEST_F(WorldCameraView, StartsTiltedTwoHundredFiftyUnitsFromTheOrigin)
{
    SiteDisplay display; // configures its camera as the program does
    display.camera.applyView();
    EXPECT_EQ(matrixMode(), GL_MODELVIEW);
    const CameraPose pose = currentCameraPose();
    EXPECT_NEAR(pose.eye[0], -178.89, 0.01);
    EXPECT_NEAR(pose.eye[1], 89.44, 0.01);
    EXPECT_NEAR(pose.eye[2], 150.00, 0.01);
    // Looking straight at the origin.
    const double toOrigin = std::sqrt(pose.eye[0] * pose.eye[0] + pose.eye[1] * pose.eye[1] + pose.eye[2] * pose.eye[2]);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(pose.forward[i], -pose.eye[i] / toOrigin, 1e-5);
    expectLens(pose, 40, 625.0 / 590.0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 625);
    EXPECT_EQ(viewport[3], 590);
}

TEST_F(WorldCameraView, AFullWidthPanMovesTheCentreFiveHundredUnitsRight)
{
    SiteDisplay display;
    WorldCamera& camera = display.camera;
    camera.beginDrag(-1, 0);
    camera.dragMode = WorldCamera::PanDrag;
    camera.dragTo(1, 0);
    camera.applyView();
    const Mat4 mv = currentMatrix(GL_MODELVIEW_MATRIX);
    const double origin[3] = {0, 0, 0};
    double eyeSpace[3];
    mv.apply(origin, eyeSpace);
    EXPECT_NEAR(eyeSpace[0], 500, 1e-3);
    EXPECT_NEAR(eyeSpace[1], 0, 1e-3);
    EXPECT_NEAR(eyeSpace[2], -250, 1e-3);
}

// A half turn about the view's vertical takes the eye to the far side of
// the site's centre, from a level start as from the start-up tilt: the drag
// turns the picture as the user sees it, after the turns before it. The next
// press folds it into those without moving the eye.
TEST_F(WorldCameraView, HalfTurnDragShowsTheSiteFromTheOtherSide)
{
    const struct {
        bool level;
        double eye[3];
    } cases[] = {
        {true, {0, 0, -250}},
        {false, {178.89, -89.44, -150.00}}, // opposite the start-up eye
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level ? "level" : "tilted");
        SiteDisplay display;
        WorldCamera& camera = display.camera;
        if (c.level)
            camera.baseRotation = Quaternion();
        camera.beginDrag(0, 0);
        camera.dragMode = WorldCamera::RotateDrag;
        camera.dragTo(1, 0);
        for (const char* when : {"after the drag", "at the next press"}) {
            camera.applyView();
            expectNear3(currentCameraPose().eye, c.eye, 0.01, when);
            camera.beginDrag(0.5f, 0.5f);
        }
    }
}

} // namespace
