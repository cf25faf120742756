#include <gtest/gtest.h>

#include "harness/Colours.h"
#include "harness/Harness.h"
#include "harness/Poll.h"
#include "machines/ExampleMachine.h"

// Under openbox as Debian installs it, with its system-wide configuration:
// a desktop as a new user has one.
TEST(WindowManager, OpenboxManagesAFixedSizeWindowThatPansWithShiftAltAndCloses)
{
    Harness dalvery(DALVERY_PROGRAM, {"openbox"});
    ASSERT_EQ(dalvery.problem(), "");

    auto state = dalvery.windowState();
    ASSERT_TRUE(state.has_value());
    EXPECT_TRUE(state->managed);
    EXPECT_EQ(state->title, "Dalvery");
    EXPECT_EQ(state->windowInstance, DALVERY_APP_ID);
    EXPECT_EQ(state->frame.w, layout::window.w);
    EXPECT_EQ(state->frame.h, layout::window.h);

    // The window manager moves the window, which shows it has dealt with the
    // request, but keeps its size: the program fixes it.
    const Rect before = state->frame;
    dalvery.requestMoveResize({before.x + 100, before.y + 80, 1000, 800});
    EXPECT_TRUE(pollUntil([&] {
        state = dalvery.windowState();
        return state && state->frame.x != before.x;
    }, 10)) << "the window manager did not move the window";
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->frame.w, layout::window.w);
    EXPECT_EQ(state->frame.h, layout::window.h);

    // Openbox takes Alt + right-drag for itself; with Shift too it reaches
    // the program, and the site follows the pointer.
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine>()));
    const Image site = dalvery.viewShot();
    dalvery.dragInView({300, 300}, {380, 300}, Drag::ShiftAltRight);
    const Image panned = dalvery.viewShot();
    const ColourSpread yellow = spreadOf(site, Colour::Yellow);
    const ColourSpread yellowPanned = spreadOf(panned, Colour::Yellow);
    EXPECT_GT(yellowPanned.centreX, yellow.centreX + 60);
    EXPECT_NEAR(yellowPanned.centreY, yellow.centreY, 10);
    EXPECT_GT(spreadOf(panned, Colour::GroundDark).centreX, spreadOf(site, Colour::GroundDark).centreX + 20);

    dalvery.requestClose();
    const auto status = dalvery.waitForExit(10);
    ASSERT_TRUE(status.has_value()) << "still running, or killed by a signal";
    EXPECT_EQ(*status, 0);
}
