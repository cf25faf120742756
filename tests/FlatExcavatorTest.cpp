#include <GL/gl.h>

#include <array>
#include <cmath>
#include <vector>

#include "machines/FlatExcavator.h"
#include "tests/Feedback.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"

namespace {

using ExcavatorCameras = GlTest;
using ExcavatorGeometry = GlTest;

struct Pose {
    float x, z, orientation, spin, arm, elbow, bucket;
};

void setPose(FlatExcavator& excavator, const Pose& p)
{
    excavator.params = {p.x, p.z, p.orientation, p.spin, p.arm, p.elbow, p.bucket};
}

std::array<float, 3> loadPoint(FlatExcavator& excavator)
{
    std::array<float, 3> point{};
    EXPECT_TRUE(excavator.getLoadPoint(point[0], point[1], point[2]));
    return point;
}

void expectPoint(const std::array<float, 3>& actual, double x, double y, double z, double tolerance)
{
    EXPECT_NEAR(actual[0], x, tolerance);
    EXPECT_NEAR(actual[1], y, tolerance);
    EXPECT_NEAR(actual[2], z, tolerance);
}

TEST(ExcavatorLoadPoint, MatchesHandWorkedPoses)
{
    FlatExcavator excavator;
    expectPoint(loadPoint(excavator), -36.43, 11.07, 0, 0.005);

    const double root2 = std::sqrt(2.0);
    const struct {
        Pose pose;
        double x, y, z;
        const char* what;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, -3 - 24 - 14 - root2, 8 - root2, 0, "all parameters 0"},
        {{0, 0, 0, 90, 0, 0, 0}, 0, 8 - root2, 3 + 24 + 14 + root2, "spin 90 reaches to +z"},
        {{0, 0, 0, 0, -90, 0, 0}, -3 - root2, 8 + 24 + 14 + root2, 0, "arm straight up"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setPose(excavator, c.pose);
        expectPoint(loadPoint(excavator), c.x, c.y, c.z, 1e-3);
    }
}

TEST(ExcavatorLoadPoint, DependsOnOrientationAndSpinOnlyThroughTheirSumAndMovesWithXZ)
{
    FlatExcavator excavator;
    setPose(excavator, {0, 0, 0, 150, -45, 30, 20});
    const std::array<float, 3> atOrigin = loadPoint(excavator);
    for (Pose pose : {Pose{10, -20, 150, 0, -45, 30, 20}, Pose{10, -20, 200, -50, -45, 30, 20},
                      Pose{10, -20, 300, -150, -45, 30, 20}}) {
        SCOPED_TRACE(pose.orientation);
        setPose(excavator, pose);
        expectPoint(loadPoint(excavator), atOrigin[0] + 10, atOrigin[1], atOrigin[2] - 20, 1e-3);
    }
}

TEST_F(ExcavatorCameras, MachineCameraWatchesFromBehindAndAboveWhateverThePose)
{
    FlatExcavator excavator;
    for (Pose pose : {Pose{0, 0, 0, 0, -30, 60, 0}, Pose{30, -40, 120, -70, -80, 150, -100}}) {
        SCOPED_TRACE(pose.x);
        setPose(excavator, pose);
        const double eye[3] = {pose.x + 20.0, 28, pose.z + 100.0};
        const double target[3] = {pose.x - 10.0, 8, pose.z};
        expectCamera([&](float aspect) { excavator.setMachineView(aspect); }, eye, target, 60);
    }
}

TEST_F(ExcavatorCameras, DriverLooksLevelAheadOfTheTurningAxisTurningWithSpinPlusOrientation)
{
    FlatExcavator excavator;
    const struct {
        Pose pose;
        double eye[3];
        double forward[3];
    } cases[] = {
        {{0, 0, 0, 90, 0, 0, 0}, {0, 16, 16.01}, {0, 0, 1}},
        {{0, 0, 0, 0, -30, 60, 0}, {-16.01, 16, 0}, {-1, 0, 0}},
        {{5, -7, 30, 60, -90, 180, 45}, {5, 16, 9.01}, {0, 0, 1}},
        {{0, 0, 180, 0, 0, 0, 0}, {16.01, 16, 0}, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pose.spin);
        setPose(excavator, c.pose);
        const double target[3] = {c.eye[0] + c.forward[0], c.eye[1], c.eye[2] + c.forward[2]};
        bool offered = false;
        expectCamera([&](float aspect) { offered = excavator.setDriverView(aspect); }, c.eye, target);
        EXPECT_TRUE(offered);
    }
}

struct Pieces {
    std::vector<FbPrimitive> tracks, bodyAndCab, arm, forearm, bucket;
};

// The drawing split where the colour changes: in draw order the pieces come
// out as grey tracks, yellow body and cab, arm in a deeper yellow, forearm,
// bucket.
Pieces capturePieces(FlatExcavator& excavator)
{
    std::vector<std::vector<FbPrimitive>> runs;
    float last[3] = {-1, -1, -1};
    for (const FbPrimitive& p : capture([&] { excavator.draw(); })) {
        const FbVertex& v = p.vertices[0];
        if (v.r != last[0] || v.g != last[1] || v.b != last[2])
            runs.emplace_back();
        runs.back().push_back(p);
        last[0] = v.r, last[1] = v.g, last[2] = v.b;
    }
    EXPECT_EQ(runs.size(), 5u);
    if (runs.size() != 5)
        return {};
    const float expected[5][3] = {{64, 64, 64}, {250, 250, 0}, {255, 230, 0}, {250, 250, 0}, {255, 230, 0}};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(withColour(runs[k][0].vertices, expected[k][0] / 255, expected[k][1] / 255,
                             expected[k][2] / 255).size(), runs[k][0].vertices.size())
            << "piece " << k;
    return {runs[0], runs[1], runs[2], runs[3], runs[4]};
}

// The bounds of the primitives whose own bounds pass `keep`.
Box boundsWhere(const std::vector<FbPrimitive>& primitives, bool (*keep)(const Box&))
{
    std::vector<FbVertex> kept;
    for (const FbPrimitive& p : primitives)
        if (keep(boundsOf(p.vertices)))
            kept.insert(kept.end(), p.vertices.begin(), p.vertices.end());
    EXPECT_FALSE(kept.empty());
    return boundsOf(kept);
}

TEST_F(ExcavatorGeometry, PiecesHaveTheirHeightsAndThicknesses)
{
    FlatExcavator excavator;
    const Pieces pieces = capturePieces(excavator);
    expectBox(boundsWhere(pieces.tracks, [](const Box& b) { return b.min[2] > 0; }),
              {-9, 0, 1}, {9, 4, 5}, "left track");
    expectBox(boundsWhere(pieces.tracks, [](const Box& b) { return b.max[2] < 0; }),
              {-9, 0, -5}, {9, 4, -1}, "right track");
    // A primitive belongs to the cab when it reaches above the body's top.
    expectBox(boundsWhere(pieces.bodyAndCab, [](const Box& b) { return b.max[1] < 9 + 1e-3; }),
              {-7, 5, -3}, {9, 9, 3}, "body");
    expectBox(boundsWhere(pieces.bodyAndCab, [](const Box& b) { return b.max[1] > 9 + 1e-3; }),
              {-7, 9, -3}, {2, 13, 3}, "cab");
    for (const auto* piece : {&pieces.arm, &pieces.forearm}) {
        Box box = boundsOf(allVertices(*piece));
        EXPECT_NEAR(box.min[2], -1, 1e-3);
        EXPECT_NEAR(box.max[2], 1, 1e-3);
    }
    Box bucket = boundsOf(allVertices(pieces.bucket));
    EXPECT_NEAR(bucket.min[2], -2, 1e-3);
    EXPECT_NEAR(bucket.max[2], 2, 1e-3);
}

TEST_F(ExcavatorGeometry, TracksFollowOrientationAloneTheBodyFollowsSpinToo)
{
    FlatExcavator excavator;
    setPose(excavator, {0, 0, 90, -90, -30, 60, 0});
    const Pieces pieces = capturePieces(excavator);
    expectBox(boundsOf(allVertices(pieces.tracks)), {-5, 0, -9}, {5, 4, 9}, "tracks turned a quarter");
    expectBox(boundsOf(allVertices(pieces.bodyAndCab)), {-7, 5, -3}, {9, 13, 3}, "body and cab square");
}

// Whether (x, y) lies inside the triangle or convex polygon, in the x-y plane.
bool containsXY(const FbPrimitive& polygon, double x, double y)
{
    const auto& v = polygon.vertices;
    bool anyPositive = false, anyNegative = false;
    for (size_t i = 0; i < v.size(); ++i) {
        const FbVertex& a = v[i];
        const FbVertex& b = v[(i + 1) % v.size()];
        const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        anyPositive = anyPositive || cross > 1e-9;
        anyNegative = anyNegative || cross < -1e-9;
    }
    return !(anyPositive && anyNegative);
}

TEST_F(ExcavatorGeometry, BucketFollowsArmElbowAndBucketAndHoldsTheLoadPoint)
{
    FlatExcavator excavator;
    for (Pose pose : {Pose{0, 0, 0, 0, -30, 60, 0}, Pose{12, -8, 0, 0, -70, 120, -90},
                      Pose{-5, 20, 0, 0, -10, 30, 45}, Pose{0, 0, 0, 0, -90, 180, -180}}) {
        SCOPED_TRACE(pose.arm);
        setPose(excavator, pose);
        const std::array<float, 3> load = loadPoint(excavator);
        const Pieces pieces = capturePieces(excavator);
        bool inFrontFace = false;
        for (const FbPrimitive& p : pieces.bucket) {
            const bool onFrontFace = boundsOf(p.vertices).min[2] > pose.z + 2 - 1e-3;
            inFrontFace = inFrontFace || (onFrontFace && containsXY(p, load[0], load[1]));
        }
        EXPECT_TRUE(inFrontFace) << "load point (" << load[0] << ", " << load[1] << ") not in the bucket";
        EXPECT_NEAR(load[2], pose.z, 1e-4);
    }

    // Turned by Orientation and spin together, the bucket still holds it.
    setPose(excavator, {3, 4, 30, 60, -50, 100, -20});
    const std::array<float, 3> load = loadPoint(excavator);
    const Box bucket = boundsOf(allVertices(capturePieces(excavator).bucket));
    for (int i = 0; i < 3; ++i) {
        EXPECT_GT(load[i], bucket.min[i]) << "axis " << i;
        EXPECT_LT(load[i], bucket.max[i]) << "axis " << i;
    }
}

TEST_F(ExcavatorGeometry, DrawLeavesTheModelViewAsFound)
{
    FlatExcavator excavator;
    setPose(excavator, {10, -10, 45, 30, -60, 90, -45});
    expectLeavesModelViewAsFound([&] { excavator.draw(); });
}

} // namespace
