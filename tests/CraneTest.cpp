#include <GL/gl.h>

#include <cmath>
#include <map>

#include "machines/Crane.h"
#include "tests/Feedback.h"
#include "tests/GlContext.h"
#include "tests/MachineExpect.h"

namespace {

using CraneCamera = GlTest;
using CraneGeometry = GlTest;

// The crane of the start-up site: tower axis at (15, 17), cells of 6, a tower
// of 9 cells (54 high) and a boom reaching 7 cells (42) ahead of the axis.
Crane startUpCrane()
{
    return Crane(15, 17, 6, 9, 7);
}

bool isGrey(const FbVertex& v, float level)
{
    return std::fabs(v.r - level) < 0.01f && std::fabs(v.g - level) < 0.01f && std::fabs(v.b - level) < 0.01f;
}

// The lines and triangles of one drawing, sorted by what they belong to:
// the boom is grey 0.4, box and cables grey 0.7, the tower anything else.
struct CraneParts {
    std::vector<FbPrimitive> tower, boom, cables;
    std::vector<FbVertex> box;
};

CraneParts partsOf(const std::vector<FbPrimitive>& primitives)
{
    CraneParts parts;
    for (const FbPrimitive& p : primitives) {
        const FbVertex& v = p.vertices[0];
        if (p.kind == FbPrimitive::Polygon && isGrey(v, 0.7f))
            parts.box.insert(parts.box.end(), p.vertices.begin(), p.vertices.end());
        else if (p.kind == FbPrimitive::Line && isGrey(v, 0.7f))
            parts.cables.push_back(p);
        else if (p.kind == FbPrimitive::Line && isGrey(v, 0.4f))
            parts.boom.push_back(p);
        else
            parts.tower.push_back(p);
    }
    return parts;
}

TEST(CraneLoadPoint, OnlyFromNinetyFivePercentDownAndFallingToTheGround)
{
    struct Case {
        float boxVertical;
        bool canSetDown;
        double y;
    };
    const Case cases[] = {
        {7, false, 50.22}, // start-up
        {94.9f, false, 2.754},
        {95, true, 2.7},
        {100, true, 0},
    };
    Crane crane = startUpCrane();
    for (const Case& c : cases) {
        crane.params[2] = c.boxVertical;
        float x = 0, y = 0, z = 0;
        EXPECT_EQ(crane.getLoadPoint(x, y, z), c.canSetDown) << "box vertical " << c.boxVertical;
        const double found[3] = {x, y, z}, expected[3] = {15, c.y, 28.1};
        expectNear3(found, expected, 1e-4, "load point");
    }
}

TEST(CraneLoadPoint, TurnsWithTheBoomAndRunsWithTheBox)
{
    struct Case {
        float rotation, boxHorizontal;
        double x, z;
    };
    const Case cases[] = {
        {90, 7, 15 + 11.1, 17},
        {90, 0, 15 + 9, 17},
        {90, 100, 15 + 39, 17},
        {180, 7, 15, 17 - 11.1},
    };
    Crane crane = startUpCrane();
    crane.params[2] = 95;
    for (const Case& c : cases) {
        crane.params[0] = c.rotation;
        crane.params[1] = c.boxHorizontal;
        float x = 0, y = 0, z = 0;
        EXPECT_TRUE(crane.getLoadPoint(x, y, z));
        const double found[3] = {x, y, z}, expected[3] = {c.x, 2.7, c.z};
        expectNear3(found, expected, 1e-4, "load point"); // 3.141593 is a few millionths off π
    }
}

TEST_F(CraneCamera, StandsTenCellsBesideTheTowerLevelWithTheBoomsUndersideAndWatchesTheLoad)
{
    Crane crane = startUpCrane();
    const double eye[3] = {75, 54, 17}, target[3] = {15, 50.22, 28.1};
    expectCamera([&](float aspect) { crane.setMachineView(aspect); }, eye, target);

    crane.params[0] = 90; // boom along +x: the camera moves round to -z
    const double turnedEye[3] = {15, 54, 17 - 60}, turnedTarget[3] = {26.1, 50.22, 17};
    expectCamera([&](float aspect) { crane.setMachineView(aspect); }, turnedEye, turnedTarget);

    EXPECT_FALSE(crane.setDriverView(1)) << "no seat: the display falls back to the world camera";
}

TEST_F(CraneGeometry, TowerIsNineLatticeCellsAt15_17WithEachFaceOnceInItsOwnOrange)
{
    Crane crane = startUpCrane();
    glColor3f(1, 0, 0);
    const CraneParts afterRed = partsOf(capture([&] { crane.draw(); }));
    // Neither the slider parameters nor the colour left by what came before
    // change the tower.
    crane.params[0] = 90;
    crane.params[1] = crane.params[2] = 100;
    glColor3f(0, 0, 1);
    const CraneParts afterBlue = partsOf(capture([&] { crane.draw(); }));

    for (const CraneParts* parts : {&afterRed, &afterBlue}) {
        const std::vector<FbVertex> tower = allVertices(parts->tower);
        ASSERT_EQ(parts->tower.size(), 4u * 8 * 9) << "four faces of nine cells, eight lines a cell";
        expectBox(boundsOf(tower), {12, 0, 14}, {18, 54, 20}, "tower");
        EXPECT_EQ(withColour(tower, 1, 0.7f, 0).size(), tower.size()) << "all of it orange";
    }

    // Every face has two diagonals in each of its nine cells: a face drawn
    // twice or left out shows in these counts.
    std::map<std::pair<int, double>, int> diagonalsPerFace; // (axis, plane) -> count
    for (const FbPrimitive& line : afterRed.tower) {
        const FbVertex &a = line.vertices[0], &b = line.vertices[1];
        if (std::fabs(a.y - b.y) < 1e-3)
            continue;
        if (std::fabs(a.x - b.x) < 1e-3 && std::fabs(a.z - b.z) > 1e-3)
            ++diagonalsPerFace[{0, std::round(a.x)}];
        else if (std::fabs(a.z - b.z) < 1e-3 && std::fabs(a.x - b.x) > 1e-3)
            ++diagonalsPerFace[{2, std::round(a.z)}];
    }
    const std::map<std::pair<int, double>, int> once = {
        {{0, 12}, 18}, {{0, 18}, 18}, {{2, 14}, 18}, {{2, 20}, 18}};
    EXPECT_EQ(diagonalsPerFace, once);
}

TEST_F(CraneGeometry, BoomTurnsAboutTheTowerAndTheBoxHangsWhereItsSlidersPutIt)
{
    struct Case {
        float rotation, boxHorizontal, boxVertical;
        double boomLow[3], boomHigh[3], boxCentre[3];
    };
    const Case cases[] = {
        {0, 0, 0, {12, 54, 5}, {18, 60, 59}, {15, 51, 26}},   // box against the boom, 1.5 cells out
        {0, 100, 100, {12, 54, 5}, {18, 60, 59}, {15, 3, 56}}, // on the ground, at the boom's end
        {90, 100, 0, {3, 54, 14}, {57, 60, 20}, {54, 51, 17}},
    };
    Crane crane = startUpCrane();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "rotation " << c.rotation << ", box " << c.boxHorizontal
                                          << "/" << c.boxVertical);
        crane.params[0] = c.rotation;
        crane.params[1] = c.boxHorizontal;
        crane.params[2] = c.boxVertical;
        const CraneParts parts = partsOf(capture([&] { crane.draw(); }));
        expectBox(boundsOf(allVertices(parts.boom)), c.boomLow, c.boomHigh, "boom");
        const Box box = boundsOf(parts.box);
        const double centre[3] = {(box.min[0] + box.max[0]) / 2, (box.min[1] + box.max[1]) / 2,
                                  (box.min[2] + box.max[2]) / 2};
        expectNear3(centre, c.boxCentre, 1e-3, "box centre");
        EXPECT_NEAR(box.max[1] - box.min[1], 6, 1e-3) << "the box is one cell";

        // Two cables from the box's centre up to the boom's axis, at height 57.
        ASSERT_EQ(parts.cables.size(), 2u);
        for (const FbPrimitive& cable : parts.cables) {
            const Box span = boundsOf(cable.vertices);
            EXPECT_NEAR(span.min[1], c.boxCentre[1], 1e-3);
            EXPECT_NEAR(span.max[1], 57, 1e-3);
        }
    }
}

TEST_F(CraneGeometry, LinesAreLitAlikeWhateverNormalWasLeftBefore)
{
    Crane crane = startUpCrane();
    auto litAfter = [&](double nx, double ny, double nz) {
        return capture([&] { glNormal3d(nx, ny, nz); crane.draw(); }, Capture::Normals);
    };
    const auto a = litAfter(-1, 0, 0), b = litAfter(0, 0, 1);
    ASSERT_EQ(a.size(), b.size());
    int lines = 0;
    for (size_t k = 0; k < a.size(); ++k) {
        if (a[k].kind != FbPrimitive::Line)
            continue;
        ++lines;
        for (size_t i = 0; i < a[k].vertices.size(); ++i) {
            EXPECT_NEAR(a[k].vertices[i].nx, b[k].vertices[i].nx, 1e-3);
            EXPECT_NEAR(a[k].vertices[i].ny, b[k].vertices[i].ny, 1e-3);
            EXPECT_NEAR(a[k].vertices[i].nz, b[k].vertices[i].nz, 1e-3);
        }
    }
    const int towerLines = 4 * 8 * 9;
    EXPECT_EQ(lines, 2 * towerLines + 2) << "tower, boom and two cables";
    // The tower comes first; its lines are lit as facing up, like the ground.
    for (int k = 0; k < towerLines; ++k)
        for (const FbVertex& v : a[k].vertices)
            ASSERT_NEAR(v.ny, 1, 0.02) << "tower line " << k;
}

TEST_F(CraneGeometry, DrawLeavesTheModelViewAsFound)
{
    Crane crane = startUpCrane();
    crane.params[0] = 45;
    expectLeavesModelViewAsFound([&] { crane.draw(); });
}

} // namespace
