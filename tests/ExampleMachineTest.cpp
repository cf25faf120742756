#include <GL/gl.h>

#include "machines/ExampleMachine.h"
#include "tests/Feedback.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"

namespace {

using ExampleMachineDrawing = GlTest;

// The cube stands on the ground over (X, Z) with edge `size`, whatever the
// orientation, and is yellow.
TEST_F(ExampleMachineDrawing, IsAYellowCubeStandingOnTheGround)
{
    struct Case {
        float x, z, size, orientation;
    } cases[] = {{0, 0, 1, 0}, {-30, 40, 20, 0}, {10, 0, 2, 0}, {10, 0, 2, 135}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "size " << c.size << ", orientation " << c.orientation);
        ExampleMachine m("cube", c.x, c.z, c.size);
        m.params[2] = c.orientation;
        auto vertices = allVertices(capture([&] { m.draw(); }));
        ASSERT_EQ(vertices.size(), 36u);
        EXPECT_EQ(withColour(vertices, 1, 1, 0).size(), vertices.size());
        expectBox(boundsOf(vertices), {c.x - c.size / 2, 0, c.z - c.size / 2},
                  {c.x + c.size / 2, c.size, c.z + c.size / 2}, "cube");
    }
}

TEST_F(ExampleMachineDrawing, LeavesTheModelViewAsFound)
{
    ExampleMachine m("cube", 3, 4, 5);
    expectLeavesModelViewAsFound([&] { m.draw(); });
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
        SCOPED_TRACE(::testing::Message() << "size " << c.size << ", orientation " << c.orientation);
        ExampleMachine m("cube", c.x, c.z, c.size);
        m.params[2] = c.orientation;
        const double target[3] = {c.eye[0], c.eye[1], c.eye[2] - 1};
        expectCamera([&](float aspect) { m.setMachineView(aspect); }, c.eye, target);
    }
}

} // namespace
