#include <gtest/gtest.h>

#include "harness/Colours.h"
#include "harness/Harness.h"
#include "machines/DumpTruck.h"
#include "machines/ExampleMachine.h"
#include "tests/e2e/PanelLooks.h"

namespace {

// Sliders of the machines the tests pose, top to bottom.
constexpr int sliderX = 0, sliderZ = 1, sliderOrientation = 2;
constexpr int exampleSize = 3, exampleFirstUnused = 4;
constexpr int truckTip = 3;

int right(const Rect& r)
{
    return r.x + r.w;
}

int bottom(const Rect& r)
{
    return r.y + r.h;
}

} // namespace

TEST(Sliders, MoveAndGrowTheSelectedExampleAndInactiveOnesIgnoreDrags)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine>()));
    const ColourSpread atStart = spreadOf(dalvery.viewShot(), Colour::Yellow);
    ASSERT_GT(atStart.count, 0);

    // Example1 starts under the excavator. Seen from the start-up camera, +x
    // runs to the right and +z towards the viewer, down the picture: moved
    // out either way, the cube takes the yellow further that way.
    dalvery.setSlider(sliderX, 0.75);
    const ColourSpread movedX = spreadOf(dalvery.viewShot(), Colour::Yellow);
    EXPECT_GT(right(movedX.bounds), right(atStart.bounds) + 50);
    dalvery.setSlider(sliderX, 0.5);
    dalvery.setSlider(sliderZ, 0.75);
    const ColourSpread movedZ = spreadOf(dalvery.viewShot(), Colour::Yellow);
    EXPECT_GT(bottom(movedZ.bounds), bottom(atStart.bounds) + 30);
    dalvery.setSlider(sliderZ, 0.5);

    dalvery.setSlider(exampleSize, 1.0);
    const ColourSpread grown = spreadOf(dalvery.viewShot(), Colour::Yellow);
    // A cube of edge 20 over the excavator adds far more than the excavator shows.
    EXPECT_GT(grown.count, 2 * atStart.count);

    // A click in the list takes the keyboard focus back from the size slider.
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine>()));
    const Image before = dalvery.windowShot();
    ASSERT_FALSE(sliderLooksActive(before, exampleFirstUnused));
    dalvery.setSlider(exampleFirstUnused, 1.0);
    EXPECT_EQ(dalvery.problem(), "");
    EXPECT_EQ(dalvery.windowShot().countDifferences(before), 0);
}

// The truck's machine camera looks at it from +x, +z and does not turn with
// it, so turning the truck shows as its cab going round its chassis.
TEST(Sliders, TurnAndTipTheDumpTruck)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(listed<DumpTruck>()));
    dalvery.press(layout::Button::Machine);
    const Image flat = dalvery.viewShot();
    const ColourSpread cab = spreadOf(flat, Colour::Red);
    const ColourSpread chassis = spreadOf(flat, Colour::Green);
    ASSERT_GT(cab.count, 0);
    ASSERT_GT(chassis.count, 0);
    EXPECT_LT(cab.centreX, chassis.centreX) << "the cab, at the front (-x), is on the left";

    // A quarter turn to the left brings the cab round to +z, the camera's side.
    dalvery.setSlider(sliderOrientation, 0.25);
    EXPECT_GT(countOf(dalvery.viewShot(), Colour::Red), 2 * cab.count);
    // Turned right round, the cab stands on the other side of the chassis.
    dalvery.setSlider(sliderOrientation, 0.5);
    const Image turned = dalvery.viewShot();
    EXPECT_GT(spreadOf(turned, Colour::Red).centreX, spreadOf(turned, Colour::Green).centreX);
    dalvery.setSlider(sliderOrientation, 0);
    EXPECT_EQ(dalvery.viewShot().countDifferences(flat), 0) << "back at 0, the picture is as before";

    // The tipped bed lifts off the chassis and shows more of its top; the
    // truck itself stays where it is.
    dalvery.setSlider(truckTip, 1.0);
    const Image tipped = dalvery.viewShot();
    EXPECT_GT(tipped.countDifferences(flat), 5000);
    const ColourSpread tippedChassis = spreadOf(tipped, Colour::Green);
    EXPECT_GT(tippedChassis.count, chassis.count + chassis.count / 5);
    EXPECT_NEAR(spreadOf(tipped, Colour::Red).centreY, cab.centreY, 30);
}
