#include <GL/gl.h>

#include <cmath>

#include "machines/ExampleMachine.h"
#include "tests/Feedback.h"
#include "tests/GlContext.h"

namespace {

TEST(ExampleMachineModel, TakesItsPlaceAndSizeFromTheConstructor)
{
    ExampleMachine m("Example2", 10, 0, 2);
    EXPECT_EQ(m.name, "Example2");
    ASSERT_EQ(m.params.size(), 4u);
    EXPECT_EQ(m.params[0], 10.0f);
    EXPECT_EQ(m.params[1], 0.0f);
    EXPECT_EQ(m.params[2], 0.0f);
    EXPECT_EQ(m.params[3], 2.0f);
    EXPECT_EQ(m.paramNames[3], "size");
    EXPECT_EQ(m.paramRanges[3], std::make_pair(1.0f, 20.0f));
    EXPECT_EQ(m.paramNames[0], "X");

    ExampleMachine huge("huge", 0, 0, 50); // beyond the slider bounds: kept as given
    EXPECT_EQ(huge.params[3], 50.0f);

    float x = 4, y = 5, z = 6;
    EXPECT_FALSE(m.getLoadPoint(x, y, z));
    EXPECT_EQ(x, 4.0f);
    EXPECT_EQ(y, 5.0f);
    EXPECT_EQ(z, 6.0f);
}

using ExampleMachineDrawing = GlTest;

// The cube stands on the ground over (X, Z) with edge `size`, whatever the
// orientation, and is yellow.
TEST_F(ExampleMachineDrawing, IsAYellowCubeStandingOnTheGround)
{
    struct Case {
        float x, z, size, orientation;
    } cases[] = {{0, 0, 1, 0}, {-30, 40, 20, 0}, {10, 0, 2, 0}, {10, 0, 2, 135}};
    for (const Case& c : cases) {
        ExampleMachine m("cube", c.x, c.z, c.size);
        m.params[2] = c.orientation;
        auto vertices = allVertices(capture([&] { m.draw(); }));
        ASSERT_EQ(vertices.size(), 36u);
        EXPECT_EQ(withColour(vertices, 1, 1, 0).size(), vertices.size());
        const Box box = boundsOf(vertices);
        const double low[3] = {c.x - c.size / 2, 0, c.z - c.size / 2};
        const double high[3] = {c.x + c.size / 2, c.size, c.z + c.size / 2};
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(box.min[i], low[i], 1e-3) << "size " << c.size << " axis " << i;
            EXPECT_NEAR(box.max[i], high[i], 1e-3) << "size " << c.size << " axis " << i;
        }
    }
}

TEST_F(ExampleMachineDrawing, LeavesTheModelViewAsFound)
{
    ExampleMachine m("cube", 3, 4, 5);
    glTranslatef(1, 2, 3);
    const Mat4 before = currentMatrix(GL_MODELVIEW_MATRIX);
    const int depth = modelViewDepth();
    m.draw();
    const Mat4 after = currentMatrix(GL_MODELVIEW_MATRIX);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(before.m[i], after.m[i]);
    EXPECT_EQ(modelViewDepth(), depth);
    EXPECT_EQ(matrixMode(), GL_MODELVIEW);
}

// A level camera on the +z side, backing off as the cube grows; it ignores
// the orientation.
TEST_F(ExampleMachineDrawing, MachineCameraLooksAlongMinusZFromInFront)
{
    struct Case {
        float x, z, size, orientation;
        double eye[3];
    } cases[] = {
        {0, 0, 1, 0, {0, 3, 27}},
        {5, -7, 20, 0, {5, 22, -7 + 65}},
        {10, 0, 2, 0, {10, 4, 29}},
        {10, 0, 2, 270, {10, 4, 29}},
    };
    for (const Case& c : cases) {
        ExampleMachine m("cube", c.x, c.z, c.size);
        m.params[2] = c.orientation;
        glMatrixMode(GL_PROJECTION);
        glTranslatef(9, 9, 9); // must be replaced, not multiplied onto
        m.setMachineView(1.25f);
        EXPECT_EQ(matrixMode(), GL_MODELVIEW);
        const CameraPose pose = currentCameraPose();
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(pose.eye[i], c.eye[i], 1e-4) << "size " << c.size << " axis " << i;
        EXPECT_NEAR(pose.forward[2], -1, 1e-6);
        EXPECT_NEAR(pose.up[1], 1, 1e-6);
        EXPECT_NEAR(pose.fovY, 40, 1e-3);
        EXPECT_NEAR(pose.aspect, 1.25, 1e-5);
    }
}

} // namespace
