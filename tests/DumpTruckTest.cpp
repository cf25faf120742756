#include <GL/gl.h>

#include <cmath>

#include "machines/DumpTruck.h"
#include "tests/Feedback.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"

namespace {

using TruckCameras = GlTest;
using TruckGeometry = GlTest;

const double pi = std::acos(-1.0);
constexpr double s = 6; // the truck's size as created

bool hasVertexNear(const std::vector<FbVertex>& vertices, double x, double y, double z)
{
    for (const FbVertex& v : vertices)
        if (std::fabs(v.x - x) < 1e-3 && std::fabs(v.y - y) < 1e-3 && std::fabs(v.z - z) < 1e-3)
            return true;
    return false;
}

TEST(TruckLoadPoint, IsAtTheRearOfTheCentreLineTurningWithTheTruckNotTheBed)
{
    struct Case {
        float orientation, tip;
        double x, z;
    };
    const Case cases[] = {
        {0, 0, -24 + s, -24 + 0.75 * s}, // as created: (-18, 3, -19.5)
        {0, 60, -24 + s, -24 + 0.75 * s},
        {90, 0, -24 + 0.75 * s, -24 - s},
        {180, 30, -24 - s, -24 - 0.75 * s},
    };
    DumpTruck truck(-24, -24, 6, 0);
    for (const Case& c : cases) {
        truck.params[2] = c.orientation;
        truck.params[3] = c.tip;
        float x = 0, y = 0, z = 0;
        EXPECT_TRUE(truck.getLoadPoint(x, y, z));
        EXPECT_NEAR(x, c.x, 1e-4) << "orientation " << c.orientation;
        EXPECT_NEAR(y, 0.5 * s, 1e-4) << "orientation " << c.orientation;
        EXPECT_NEAR(z, c.z, 1e-4) << "orientation " << c.orientation;
    }
}

TEST_F(TruckCameras, MachineCameraLooksDownFromPlusXPlusZWhateverTheOrientationAndTip)
{
    DumpTruck truck(-24, -24, 6, 0);
    const double eye[3] = {3, 30, 3}, target[3] = {-24, 3, -24};
    expectCamera([&](float aspect) { truck.setMachineView(aspect); }, eye, target);
    truck.params[2] = 90;
    truck.params[3] = 60;
    expectCamera([&](float aspect) { truck.setMachineView(aspect); }, eye, target);
}

TEST_F(TruckCameras, DriverLooksLevelAheadFromTheCabFrontAndTurnsWithTheTruck)
{
    struct Case {
        float orientation;
        double eye[3], ahead[3];
    };
    const Case cases[] = {
        {0, {-24 - 2.02 * s, 3, -24 + 0.75 * s}, {-1, 0, 0}},
        {90, {-24 + 0.75 * s, 3, -24 + 2.02 * s}, {0, 0, 1}},
    };
    DumpTruck truck(-24, -24, 6, 30);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.orientation);
        truck.params[2] = c.orientation;
        const double target[3] = {c.eye[0] + c.ahead[0], c.eye[1], c.eye[2] + c.ahead[2]};
        bool offered = false;
        expectCamera([&](float aspect) { offered = truck.setDriverView(aspect); }, c.eye, target);
        EXPECT_TRUE(offered);
    }
}

TEST_F(TruckGeometry, Is18Long9High10AndAHalfWideWithTheCabAtItsFront)
{
    DumpTruck truck(-24, -24, 6, 0);
    auto straight = allVertices(capture([&] { truck.draw(); }));
    expectBox(boundsOf(straight), {-36, 0, -24.75}, {-18, 9, -14.25}, "truck");
    expectBox(boundsOf(withColour(straight, 1, 0, 0)), {-36, 0, -22.5}, {-30, 9, -16.5}, "cab");

    // Turned by 90 degrees the front (local -x) points to +z.
    truck.params[2] = 90;
    auto turned = allVertices(capture([&] { truck.draw(); }));
    expectBox(boundsOf(turned), {-24.75, 0, -30}, {-14.25, 9, -12}, "turned truck");
    expectBox(boundsOf(withColour(turned, 1, 0, 0)), {-22.5, 0, -18}, {-16.5, 9, -12}, "turned cab");
}

TEST_F(TruckGeometry, BedLiesOnTheChassisAndTipsAboutItsRearHinge)
{
    DumpTruck truck(0, 0, 6, 0); // local and world frames coincide
    auto bedAt = [&](float tip) {
        truck.params[3] = tip;
        return withColour(allVertices(capture([&] { truck.draw(); })), 0.8f, 0.8f, 0.8f);
    };
    expectBox(boundsOf(bedAt(0)), {-s, s, 0.25 * s}, {s, 1.5 * s, 1.25 * s}, "flat bed");

    for (float tip : {30.0f, 60.0f}) {
        SCOPED_TRACE(tip);
        const double T = tip * pi / 180;
        auto bed = bedAt(tip);
        for (double z : {0.25 * s, 1.25 * s}) {
            EXPECT_TRUE(hasVertexNear(bed, s, s, z)) << "rear lower edge on the hinge";
            EXPECT_TRUE(hasVertexNear(bed, s - 2 * s * std::cos(T), s + 2 * s * std::sin(T), z))
                << "front lower edge raised";
        }
        EXPECT_NEAR(boundsOf(bed).min[1], s, 1e-3) << "nothing of the bed below its hinge";
    }
}

TEST_F(TruckGeometry, WheelsStandOnTheGroundWithWhiteHubsFacingOutOnBothSides)
{
    DumpTruck truck(0, 0, 6, 0);
    auto vertices = allVertices(capture([&] { truck.draw(); }));
    const Box tyres = boundsOf(withColour(vertices, 0, 0, 0));
    EXPECT_NEAR(tyres.min[1], 0, 1e-3) << "tyres touch the ground";
    EXPECT_NEAR(tyres.max[1], 0.5 * s, 1e-3);
    EXPECT_NEAR(tyres.min[2], -0.125 * s, 1e-3);
    EXPECT_NEAR(tyres.max[2], 1.625 * s, 1e-3);

    // Each hub lies in the outermost plane of its side of the truck.
    int right = 0, left = 0;
    for (const FbVertex& v : withColour(vertices, 1, 1, 1)) {
        if (std::fabs(v.z - tyres.min[2]) < 1e-3)
            ++right;
        else if (std::fabs(v.z - tyres.max[2]) < 1e-3)
            ++left;
        else
            ADD_FAILURE() << "hub vertex at z " << v.z << " faces the chassis";
    }
    EXPECT_GT(right, 0);
    EXPECT_EQ(right, left);
}

// Tread outward and bore towards the axle, side wall and hub cap along the
// axle away from the chassis; whatever normal was current before the truck.
TEST_F(TruckGeometry, WheelSurfacesCarryTheirOwnNormals)
{
    DumpTruck truck(0, 0, 6, 0);
    auto coloured = capture([&] { truck.draw(); });
    auto lit = capture([&] { glNormal3d(-1, 0, 0); truck.draw(); }, Capture::Normals);
    ASSERT_EQ(lit.size(), coloured.size());

    // Wheel axles at x = ±0.75 s, height 0.25 s; the right side's (z = 0)
    // hubs face -z, the left side's (z = 1.5 s) +z. Tread radius 0.25 s, bore 0.125 s.
    auto fromAxle = [](const FbVertex& v, double& dx, double& dy) {
        dx = v.x - (v.x < 0 ? -0.75 : 0.75) * s;
        dy = v.y - 0.25 * s;
        return std::hypot(dx, dy);
    };
    int tread = 0, bore = 0, flat = 0;
    for (size_t k = 0; k < lit.size(); ++k) {
        const FbVertex& c = coloured[k].vertices[0];
        const bool white = c.r > 0.99f && c.g > 0.99f && c.b > 0.99f;
        const bool black = c.r < 0.01f && c.g < 0.01f && c.b < 0.01f;
        if (!white && !black)
            continue;
        const std::vector<FbVertex>& vs = lit[k].vertices;
        const double outward = vs[0].z < 0.75 * s ? -1 : 1;
        const double hubPlane = outward < 0 ? -0.125 * s : 1.625 * s;
        bool isFlat = true; // side wall or hub cap
        for (const FbVertex& v : vs)
            isFlat = isFlat && std::fabs(v.z - hubPlane) < 1e-3;
        double dx, dy;
        const bool isTread = !isFlat && fromAxle(vs[0], dx, dy) > 0.1875 * s;
        (isFlat ? flat : isTread ? tread : bore)++;
        for (const FbVertex& v : vs) {
            const double r = fromAxle(v, dx, dy);
            const double radial = isTread ? 1 : -1;
            const double expected[3] = {isFlat ? 0 : radial * dx / r, isFlat ? 0 : radial * dy / r,
                                        isFlat ? outward : 0};
            const double found[3] = {v.nx, v.ny, v.nz};
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(found[i], expected[i], 0.02)
                    << (isFlat ? "side" : isTread ? "tread" : "bore") << " at " << v.x << ", " << v.y
                    << ", " << v.z << ", axis " << i;
        }
    }
    EXPECT_GT(tread, 0);
    EXPECT_GT(bore, 0);
    EXPECT_GT(flat, 0);
}

TEST_F(TruckGeometry, DrawLeavesTheModelViewAsFound)
{
    DumpTruck truck(-24, -24, 6, 45);
    truck.params[2] = 30;
    expectLeavesModelViewAsFound([&] { truck.draw(); });
}

} // namespace
