#include <gtest/gtest.h>

#include "harness/Colours.h"
#include "harness/Harness.h"
#include "harness/Poll.h"
#include "machines/Crane.h"
#include "machines/DumpTruck.h"
#include "machines/ExampleMachine.h"

namespace {

const Point viewMiddle{layout::view.w / 2, layout::view.h / 2};

} // namespace

TEST(Cameras, MachineAndDriverViewsFollowTheSelection)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    const Image world = dalvery.viewShot();
    const auto sameAsWorld = [&] { return dalvery.viewShot() == world; };

    // The truck's own camera stands close above it.
    ASSERT_TRUE(dalvery.select(listed<DumpTruck>()));
    dalvery.press(layout::Button::Machine);
    const Image truckCamera = dalvery.viewShot();
    EXPECT_GT(countOf(truckCamera, Colour::Red), 5000);
    EXPECT_GT(countOf(truckCamera, Colour::Green), 5000);
    EXPECT_GT(countOf(truckCamera, Colour::Red), 5 * countOf(world, Colour::Red));
    EXPECT_GT(countOf(truckCamera, Colour::Green), 5 * countOf(world, Colour::Green));

    // From the truck's seat the site looks different again...
    dalvery.press(layout::Button::Driver);
    EXPECT_GT(dalvery.viewShot().countDifferences(world), 10000);
    EXPECT_GT(dalvery.viewShot().countDifferences(truckCamera), 10000);
    // ...but an example machine and the crane have no seat: the world camera,
    // exactly as before.
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine>()));
    EXPECT_TRUE(pollUntil(sameAsWorld, 5)) << "Example1";
    ASSERT_TRUE(dalvery.select(listed<Crane>()));
    dalvery.press(layout::Button::Machine);
    EXPECT_GT(dalvery.viewShot().countDifferences(world), 10000) << "the crane's own camera";
    dalvery.press(layout::Button::Driver);
    EXPECT_TRUE(pollUntil(sameAsWorld, 5)) << "Crane";
}

TEST(Cameras, RightDragTurnsAndAltRightDragPansTheWorld)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine>()));
    const Image world = dalvery.viewShot();

    dalvery.dragInView({200, 300}, {350, 250}, Drag::Left);
    EXPECT_EQ(dalvery.problem(), "");
    EXPECT_EQ(dalvery.viewShot().countDifferences(world), 0) << "a left-drag leaves the camera alone";

    dalvery.dragInView({300, 300}, {420, 330}, Drag::Right);
    const Image turned = dalvery.viewShot();
    EXPECT_GT(turned.countDifferences(world), 10000);
    // The world turns about its centre, where the excavator stands.
    const ColourSpread yellow = spreadOf(turned, Colour::Yellow);
    EXPECT_NEAR(yellow.centreX, viewMiddle.x, 40);
    EXPECT_NEAR(yellow.centreY, viewMiddle.y, 40);

    // Panning: the scene follows the pointer.
    const ColourSpread groundBefore = spreadOf(turned, Colour::GroundDark);
    dalvery.dragInView({300, 300}, {360, 300}, Drag::AltRight);
    const Image right = dalvery.viewShot();
    const ColourSpread groundRight = spreadOf(right, Colour::GroundDark);
    const ColourSpread yellowRight = spreadOf(right, Colour::Yellow);
    EXPECT_GT(groundRight.centreX, groundBefore.centreX + 20);
    EXPECT_GT(yellowRight.centreX, yellow.centreX + 60);
    EXPECT_NEAR(yellowRight.centreY, yellow.centreY, 10);

    dalvery.dragInView({300, 300}, {300, 260}, Drag::AltRight);
    const Image up = dalvery.viewShot();
    EXPECT_LT(spreadOf(up, Colour::GroundDark).centreY, groundRight.centreY - 20);
    EXPECT_LT(spreadOf(up, Colour::Yellow).centreY, yellowRight.centreY - 40);
}
