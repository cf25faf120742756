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

const Point viewMiddle{layout::view.w / 2, layout::view.h / 2};

} // namespace

TEST(Sliders, MoveAndGrowTheSelectedExampleAndInactiveOnesIgnoreDrags)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine>()));
    const Image atStart = dalvery.viewShot();

    // Example1 starts under the excavator, in the middle of the view where
    // the start-up camera looks. Seen from there, +x runs to the right and +z
    // towards the viewer, down the picture: moved out either way, the cube
    // shows yellow that way where there was none, whatever else is yellow.
    dalvery.setSlider(sliderX, 0.75);
    const ColourSpread movedX = spreadOfNew(atStart, dalvery.viewShot(), Colour::Yellow);
    EXPECT_GT(movedX.count, 20);
    EXPECT_GT(movedX.centreX, viewMiddle.x + 60); // 97 pixels right
    dalvery.setSlider(sliderX, 0.5);
    dalvery.setSlider(sliderZ, 0.75);
    const ColourSpread movedZ = spreadOfNew(atStart, dalvery.viewShot(), Colour::Yellow);
    EXPECT_GT(movedZ.count, 20);
    EXPECT_GT(movedZ.centreY, viewMiddle.y + 30); // 62 pixels down
    dalvery.setSlider(sliderZ, 0.5);

    // A cube of edge 20 over the excavator makes some 5,600 pixels yellow;
    // one of edge 15, some 3,200.
    dalvery.setSlider(exampleSize, 1.0);
    EXPECT_GT(spreadOfNew(atStart, dalvery.viewShot(), Colour::Yellow).count, 4000);

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
