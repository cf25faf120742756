#include <GL/gl.h>

#include <cmath>
#include <set>
#include <tuple>

#include "tests/Feedback.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"
#include "draw/Primitives.h"

namespace {

using Cubes = GlTest;
using Ground = GlTest;

TEST_F(Cubes, CoverTheirEdgeAroundTheCentre)
{
    expectBox(boundsOf(allVertices(capture([] { drawCube(0, 0, 0, 1); }))),
              {-0.5, -0.5, -0.5}, {0.5, 0.5, 0.5}, "unit cube");
    expectBox(boundsOf(allVertices(capture([] { drawCube(3, 1, -4, 2); }))),
              {2, 0, -5}, {4, 2, -3}, "moved cube");
}

TEST_F(Cubes, EveryFaceHasItsOutwardNormalAndTheCurrentColour)
{
    glColor3f(0.2f, 0.4f, 0.6f);
    auto unlit = allVertices(capture([] { drawCube(1, 2, 3, 4); }));
    ASSERT_EQ(unlit.size(), 36u) << "six faces as two triangles each";
    EXPECT_EQ(withColour(unlit, 0.2f, 0.4f, 0.6f).size(), unlit.size());

    // Each face's normal equals the direction from the centre to its vertices'
    // shared coordinate: the face lies at centre ± 2 along its normal.
    auto faces = capture([] { drawCube(1, 2, 3, 4); }, Capture::Normals);
    std::set<std::tuple<int, int, int>> normalsSeen;
    for (const FbPrimitive& triangle : faces) {
        for (const FbVertex& v : triangle.vertices) {
            const double n[3] = {v.nx, v.ny, v.nz};
            const double offset[3] = {v.x - 1, v.y - 2, v.z - 3};
            EXPECT_NEAR(std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]), 1.0, 1e-2);
            for (int i = 0; i < 3; ++i) {
                if (std::fabs(n[i]) > 0.5) {
                    EXPECT_NEAR(offset[i], 2 * n[i], 1e-3) << "normal points inward on axis " << i;
                }
            }
        }
        const FbVertex& v = triangle.vertices[0];
        normalsSeen.insert({int(std::lround(v.nx)), int(std::lround(v.ny)), int(std::lround(v.nz))});
    }
    EXPECT_EQ(normalsSeen.size(), 6u);
}

TEST_F(Cubes, LeaveTheMatrixStackAndTheColourAsFound)
{
    glColor3f(0.1f, 0.2f, 0.3f);
    expectLeavesModelViewAsFound([] { drawCube(5, 6, 7, 8); });
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[0], 0.1f);
    EXPECT_FLOAT_EQ(colour[2], 0.3f);
}

TEST_F(Ground, IsAHundredCellsOfAlternatingGreyOnTheFloor)
{
    auto primitives = capture([] { drawGround(200); });
    auto vertices = allVertices(primitives);
    EXPECT_EQ(primitives.size(), 200u) << "100 quads as two triangles each";
    expectBox(boundsOf(vertices), {-100, 0, -100}, {100, 0, 100}, "ground");

    // Colour of the cell whose centre is (cx, cz).
    auto cellColour = [&](double cx, double cz) {
        for (const FbPrimitive& p : primitives) {
            double sx = 0, sz = 0;
            for (const FbVertex& v : p.vertices) {
                sx += v.x;
                sz += v.z;
            }
            const double n = double(p.vertices.size());
            // A triangle's centroid lies inside its cell.
            if (std::floor((sx / n + 100) / 20) == std::floor((cx + 100) / 20) &&
                std::floor((sz / n + 100) / 20) == std::floor((cz + 100) / 20))
                return p.vertices[0].r;
        }
        return -1.0f;
    };
    EXPECT_NEAR(cellColour(-90, -90), 0.3f, 1e-3) << "corner cell dark";
    EXPECT_NEAR(cellColour(-70, -90), 0.7f, 1e-3) << "its neighbour along x light";
    EXPECT_NEAR(cellColour(-90, -70), 0.7f, 1e-3) << "its neighbour along z light";
    EXPECT_NEAR(cellColour(90, 90), 0.3f, 1e-3) << "far corner dark";
    EXPECT_NEAR(cellColour(90, -90), 0.7f, 1e-3);
    for (const FbVertex& v : vertices)
        ASSERT_TRUE(std::fabs(v.r - 0.3f) < 1e-3 || std::fabs(v.r - 0.7f) < 1e-3);

    auto lit = allVertices(capture([] { drawGround(200); }, Capture::Normals));
    for (const FbVertex& v : lit) {
        ASSERT_NEAR(v.ny, 1, 1e-2) << "every cell faces up";
        ASSERT_NEAR(v.nx, 0, 1e-2);
    }
}

} // namespace
