#include <gtest/gtest.h>

#include "tests/e2e/Colours.h"
#include "tests/e2e/Driver.h"
#include "tests/e2e/Poll.h"

namespace {

const Point viewMiddle{layout::view.w / 2, layout::view.h / 2};

} // namespace

TEST(Cameras, MachineAndDriverViewsOfAnExample)
{
    DalveryDriver dalvery(DALVERY_PROGRAM);
    ASSERT_EQ(dalvery.problem(), "");
    const Image world = dalvery.viewShot();
    ASSERT_TRUE(dalvery.select(SiteMachine::Example1));

    dalvery.press(layout::Button::Machine);
    // The example's own camera stands close in front of it.
    EXPECT_GT(countOf(dalvery.viewShot(), Colour::Yellow), 20 * countOf(world, Colour::Yellow));

    // No driver's seat: the world camera, exactly as before.
    dalvery.press(layout::Button::Driver);
    EXPECT_TRUE(pollUntil([&] { return dalvery.viewShot() == world; }, 5));
}

TEST(Cameras, RightDragTurnsAndAltRightDragPansTheWorld)
{
    DalveryDriver dalvery(DALVERY_PROGRAM);
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(SiteMachine::Example1));
    const Image world = dalvery.viewShot();

    dalvery.dragInView({200, 300}, {350, 250}, Drag::Left, Expect::NoChange);
    EXPECT_EQ(dalvery.viewShot().countDifferences(world), 0) << "a left-drag leaves the camera alone";

    dalvery.dragInView({300, 300}, {420, 330}, Drag::Right);
    const Image turned = dalvery.viewShot();
    EXPECT_GT(turned.countDifferences(world), 10000);
    // The world turns about its centre, where the example cubes stand.
    const ColourSpread cubes = spreadOf(turned, Colour::Yellow);
    EXPECT_NEAR(cubes.centreX, viewMiddle.x, 40);
    EXPECT_NEAR(cubes.centreY, viewMiddle.y, 40);

    // Panning: the scene follows the pointer.
    const ColourSpread groundBefore = spreadOf(turned, Colour::GroundDark);
    dalvery.dragInView({300, 300}, {360, 300}, Drag::AltRight);
    const Image right = dalvery.viewShot();
    const ColourSpread groundRight = spreadOf(right, Colour::GroundDark);
    const ColourSpread cubesRight = spreadOf(right, Colour::Yellow);
    EXPECT_GT(groundRight.centreX, groundBefore.centreX + 20);
    EXPECT_GT(cubesRight.centreX, cubes.centreX + 60);
    EXPECT_NEAR(cubesRight.centreY, cubes.centreY, 10);

    dalvery.dragInView({300, 300}, {300, 260}, Drag::AltRight);
    const Image up = dalvery.viewShot();
    EXPECT_LT(spreadOf(up, Colour::GroundDark).centreY, groundRight.centreY - 20);
    EXPECT_LT(spreadOf(up, Colour::Yellow).centreY, cubesRight.centreY - 40);
}
