#include <gtest/gtest.h>

#include <cmath>

#include "harness/Colours.h"
#include "harness/Harness.h"
#include "machines/Crane.h"
#include "machines/DumpTruck.h"
#include "machines/ExampleMachine.h"
#include "machines/FlatExcavator.h"
#include "tests/e2e/Projection.h"

namespace {

// Slider positions, as fractions of their travel.
constexpr int craneBoxVertical = 2;
constexpr double boxLowered = 0.95; // 95 percent: low enough to set a rock down
constexpr double boxHalfway = 0.5;  // 50 percent
constexpr int excavatorSpin = 3;
constexpr double spinLeft = 0.75;   // +90 degrees: the arm reaches towards +z
constexpr double spinAhead = 0.5;   // 0 degrees

// The machine cameras of the start-up site, and where each machine holds
// its load in the pose the test gives it (site units).
const Vec truckEye{3, 30, 3}, truckCentre{-24, 3, -24};
const Vec truckLoad{-18, 3, -19.5};
const Vec craneEye{75, 54, 17};
const Vec craneLoad{15, 2.7, 28.1};         // under the box lowered to 95
const Vec craneCentreHalfway{15, 27, 28.1}; // the load point with the box at 50
const Vec excavatorEye{20, 28, 100}, excavatorCentre{-10, 8, 0};
const Vec excavatorLoad{0, 11.07, 36.43};   // the default pose's bucket, turned by 90

constexpr double nearEnough = 25; // pixels between the rock's middle and its expected place

double distance(const ColourSpread& s, const Point& p)
{
    return std::hypot(s.centreX - p.x, s.centreY - p.y);
}

} // namespace

// Each rock is looked at through the machine's own camera, whose place is
// known, so that where the brown shows can be checked against the load point.
TEST(Rocks, LeftWhereEachMachineHoldsItsLoadAndAllCleared)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");

    ASSERT_TRUE(dalvery.select(listed<DumpTruck>()));
    dalvery.press(layout::Button::Machine);
    ASSERT_EQ(countOf(dalvery.viewShot(), Colour::Brown), 0);
    dalvery.press(layout::Button::AddRock);
    const ColourSpread truckRock = spreadOf(dalvery.viewShot(), Colour::Brown);
    EXPECT_GT(truckRock.count, 300);
    EXPECT_LT(distance(truckRock, projectInView(truckEye, truckCentre, 40, truckLoad)), nearEnough);

    // The crane sets its rock down inside the lowered box; raising the box
    // uncovers it, and the crane's camera follows the box up.
    ASSERT_TRUE(dalvery.select(listed<Crane>()));
    dalvery.setSlider(craneBoxVertical, boxLowered);
    dalvery.press(layout::Button::AddRock);
    dalvery.setSlider(craneBoxVertical, boxHalfway);
    const ColourSpread craneRock = spreadOf(dalvery.viewShot(), Colour::Brown);
    EXPECT_GT(craneRock.count, 200);
    EXPECT_LT(distance(craneRock, projectInView(craneEye, craneCentreHalfway, 40, craneLoad)), nearEnough);

    // The excavator's rock is left in its bucket, in mid-air; turning the
    // body back leaves it there, in plain sight of the excavator's camera.
    ASSERT_TRUE(dalvery.select(listed<FlatExcavator>()));
    dalvery.setSlider(excavatorSpin, spinLeft);
    const int brownBefore = countOf(dalvery.viewShot(), Colour::Brown);
    dalvery.press(layout::Button::AddRock);
    dalvery.setSlider(excavatorSpin, spinAhead);
    const Image withRock = dalvery.viewShot();
    const Point expected = projectInView(excavatorEye, excavatorCentre, 60, excavatorLoad);
    const ColourSpread excavatorRock =
        spreadOf(withRock, Colour::Brown, {expected.x - 40, expected.y - 40, 80, 80});
    EXPECT_GT(countOf(withRock, Colour::Brown), brownBefore);
    EXPECT_GT(excavatorRock.count, 100);
    EXPECT_LT(distance(excavatorRock, expected), nearEnough);

    dalvery.press(layout::Button::ClearRocks);
    EXPECT_EQ(countOf(dalvery.viewShot(), Colour::Brown), 0);
    dalvery.press(layout::Button::World);
    EXPECT_EQ(countOf(dalvery.viewShot(), Colour::Brown), 0);

    // An example machine holds no load: nothing changes.
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine>()));
    const Image before = dalvery.viewShot();
    dalvery.press(layout::Button::AddRock);
    EXPECT_EQ(dalvery.viewShot().countDifferences(before), 0);
    EXPECT_EQ(dalvery.problem(), "") << "every click answered";
}
