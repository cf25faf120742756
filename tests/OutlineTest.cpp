#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "machines/FlatExcavator.h"
#include "machines/Outline.h"
#include "tests/Feedback.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"

namespace {

using SquareSlab = GlTest;
using OutlineEdgeCases = GlTest;
using SlabWalls = GlTest;

const double squarePoints[] = {1, -1, 1, 1, -1, 1, -1, -1};
const Outline square = {squarePoints, 8, {10, 200, 30}};

bool isWall(const FbPrimitive& p)
{
    return std::fabs(p.vertices[0].nz) < 0.5;
}

std::vector<FbPrimitive> walls(const std::vector<FbPrimitive>& primitives)
{
    std::vector<FbPrimitive> result;
    for (const FbPrimitive& p : primitives)
        if (isWall(p))
            result.push_back(p);
    return result;
}

// Every wall's normal is a horizontal unit vector, perpendicular to the wall
// and pointing away from the outline's vertex centroid (inside a convex
// outline): each vertex of a wall lies the same positive distance along it.
void expectWallsFaceOutward(const Outline& outline, double halfThickness, const char* name)
{
    SCOPED_TRACE(name);
    const int n = outline.coordCount / 2;
    double cx = 0, cy = 0;
    for (int i = 0; i < n; ++i) {
        cx += outline.points[2 * i] / n;
        cy += outline.points[2 * i + 1] / n;
    }
    auto drawn = walls(capture([&] { drawExtrudedOutline(outline, halfThickness); }, Capture::Normals));
    EXPECT_EQ(drawn.size(), size_t(2 * n)) << "one wall, two triangles, per edge";
    for (const FbPrimitive& wall : drawn) {
        const FbVertex& first = wall.vertices[0];
        EXPECT_NEAR(std::hypot(first.nx, first.ny), 1, 1e-2);
        const double distance = first.nx * (first.x - cx) + first.ny * (first.y - cy);
        EXPECT_GT(distance, 0.1) << "wall normal points into the slab";
        for (const FbVertex& v : wall.vertices) {
            EXPECT_NEAR(v.nx * (v.x - cx) + v.ny * (v.y - cy), distance, 1e-2)
                << "normal not perpendicular to its wall";
            EXPECT_NEAR(std::fabs(v.z), std::fabs(halfThickness), 1e-3);
        }
    }
}

TEST_F(SquareSlab, FacesLieAtTheHalfThicknessFacingAwayFromTheMiddleWhateverItsSign)
{
    for (double h : {2.0, -2.0}) {
        SCOPED_TRACE(h);
        auto primitives = capture([h] { drawExtrudedOutline(square, h); }, Capture::Normals);
        ASSERT_FALSE(primitives.empty());
        // The face at +h is drawn first: a negative h swaps which side is lit +z.
        const FbVertex& first = primitives.front().vertices[0];
        EXPECT_NEAR(first.z, h, 1e-3);
        EXPECT_NEAR(first.nz, h > 0 ? 1 : -1, 1e-2);
        int front = 0, back = 0;
        for (const FbPrimitive& p : primitives) {
            if (isWall(p))
                continue;
            for (const FbVertex& v : p.vertices) {
                EXPECT_NEAR(std::fabs(v.z), 2, 1e-3);
                EXPECT_NEAR(v.nz, v.z > 0 ? 1 : -1, 1e-2) << "face at z " << v.z << " lit from inside";
                (v.z > 0 ? front : back) += 1;
            }
        }
        EXPECT_GT(front, 0);
        EXPECT_GT(back, 0);
    }
}

TEST_F(SquareSlab, FirstWallSpansItsEdgeFacingPlusX)
{
    int corners = 0; // bit per corner (1, ±1, ±2) reached
    for (const FbPrimitive& wall : walls(capture([] { drawExtrudedOutline(square, 2); }, Capture::Normals))) {
        bool onFirstEdge = true;
        for (const FbVertex& v : wall.vertices)
            onFirstEdge = onFirstEdge && std::fabs(v.x - 1) < 1e-3;
        if (!onFirstEdge)
            continue;
        for (const FbVertex& v : wall.vertices) {
            EXPECT_NEAR(v.nx, 1, 1e-2);
            EXPECT_NEAR(v.ny, 0, 1e-2);
            EXPECT_NEAR(v.nz, 0, 1e-2);
            corners |= 1 << ((v.y > 0) + 2 * (v.z > 0));
        }
    }
    EXPECT_EQ(corners, 0xf) << "the wall from (1, -1) to (1, 1) misses a corner";
}

TEST_F(SquareSlab, TakesTheOutlineColourEverywhereAndLeavesTheMatricesAsFound)
{
    glColor3f(1, 0, 1);
    auto vertices = allVertices(capture([] { drawExtrudedOutline(square, 2); }));
    ASSERT_FALSE(vertices.empty());
    EXPECT_EQ(withColour(vertices, 10 / 255.0f, 200 / 255.0f, 30 / 255.0f).size(), vertices.size());

    expectLeavesModelViewAsFound([] { drawExtrudedOutline(square, 2); });
}

TEST_F(OutlineEdgeCases, AnOddCoordCountIgnoresTheLastValue)
{
    // A triangle, then one stray value; the pair (50, 50) is never a point.
    const double points[] = {0, 0, 4, 0, 0, 3, 50, 50};
    const Outline triangle = {points, 7, {255, 255, 255}};
    Box box = boundsOf(allVertices(capture([&] { drawExtrudedOutline(triangle, 1); })));
    EXPECT_NEAR(box.max[0], 4, 1e-3);
    EXPECT_NEAR(box.max[1], 3, 1e-3);
    expectWallsFaceOutward(triangle, 1, "three walls, the last closing the triangle");
}

TEST_F(OutlineEdgeCases, FewerThanTwoValuesDrawNothingButStillSetTheColour)
{
    const double points[] = {7};
    for (int count : {0, 1}) {
        SCOPED_TRACE(count);
        const Outline empty = {points, count, {255, 0, 0}};
        glColor3f(0, 0, 1);
        EXPECT_TRUE(capture([&] { drawExtrudedOutline(empty, 1); }).empty());
        drawExtrudedOutline(empty, 1);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_FLOAT_EQ(colour[0], 1);
        EXPECT_FLOAT_EQ(colour[2], 0);
    }
}

// Each face, front and back, covers the outline's area and passes through
// every one of its points: a point dropped from a face, or from an outline's
// table, leaves a wedge missing that the bounds of the walls do not show.
// The points and areas are the pieces' own, worked by hand from their
// shapes (the track: 18 by 4 less four corners of half a unit).
void expectFacesCoverOutline(const Outline& outline, double halfThickness, int points, double area,
                             const char* name)
{
    SCOPED_TRACE(name);
    const int n = outline.coordCount / 2;
    EXPECT_EQ(n, points) << name << ": the outline has " << n << " points, not " << points;
    for (double z : {halfThickness, -halfThickness}) {
        double covered = 0;
        std::vector<bool> reached(size_t(n), false);
        for (const FbPrimitive& face : capture([&] { drawExtrudedOutline(outline, halfThickness); },
                                               Capture::Normals)) {
            if (isWall(face) || std::fabs(face.vertices[0].z - z) > 1e-3)
                continue;
            const auto& v = face.vertices;
            for (size_t i = 0; i < v.size(); ++i) {
                const FbVertex& a = v[i];
                const FbVertex& b = v[(i + 1) % v.size()];
                covered += (a.x * b.y - b.x * a.y) / 2;
                for (int k = 0; k < n; ++k)
                    if (std::hypot(a.x - outline.points[2 * k], a.y - outline.points[2 * k + 1]) < 1e-3)
                        reached[size_t(k)] = true;
            }
        }
        // Seen from +z the front face winds counter-clockwise, the back face
        // the same way in x and y: both give a positive area here.
        EXPECT_NEAR(covered, area, 1e-3) << name << ": the face at z = " << z << " covers " << covered
                                         << " square units of " << area;
        for (int k = 0; k < n; ++k)
            EXPECT_TRUE(reached[size_t(k)]) << name << ": the face at z = " << z << " misses point " << k
                                            << " (" << outline.points[2 * k] << ", "
                                            << outline.points[2 * k + 1] << ")";
    }
}

TEST_F(SlabWalls, FaceOutwardAndFacesCoverTheOutlineForTheSquareAndEveryExcavatorOutline)
{
    const struct {
        const Outline& outline;
        double halfThickness;
        int points;
        double area;
        const char* name;
    } slabs[] = {
        {square, 2, 4, 4, "square"},
        {square, -2, 4, 4, "square, negative half-thickness"},
        {FlatExcavator::trackOutline, 2, 8, 70, "track"},
        {FlatExcavator::bodyOutline, 3, 5, 62, "body"},
        {FlatExcavator::cabOutline, 3, 4, 32, "cab"},
        {FlatExcavator::armRootOutline, 1, 6, 25.5, "arm root"},
        {FlatExcavator::armOutline, 1, 5, 36, "arm"},
        {FlatExcavator::forearmOutline, 1, 6, 30, "forearm"},
        {FlatExcavator::bucketOutline, 2, 5, 20, "bucket"},
    };
    for (const auto& slab : slabs) {
        expectWallsFaceOutward(slab.outline, slab.halfThickness, slab.name);
        expectFacesCoverOutline(slab.outline, slab.halfThickness, slab.points, slab.area, slab.name);
    }
}

} // namespace
