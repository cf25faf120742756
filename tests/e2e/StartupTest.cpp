#include <gtest/gtest.h>

#include <string>

#include "harness/Colours.h"
#include "harness/Harness.h"
#include "tests/e2e/PanelLooks.h"

namespace {

// Colours the start-up view must show, and at least how many pixels of each.
struct ExpectedColour {
    Colour colour;
    int atLeast;
};

const ExpectedColour startUpColours[] = {
    {Colour::Background, 50000},
    {Colour::GroundDark, 50000},
    {Colour::GroundLight, 50000},
    {Colour::Yellow, 800}, // the excavator
    {Colour::Red, 300},    // the truck's cab
    {Colour::Green, 80},   // its chassis, half hidden by the cab
};

} // namespace

TEST(StartUp, OpensTheSiteWindowWithNoSliderActive)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");

    const auto state = dalvery.windowState();
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->title, "Dalvery");
    EXPECT_EQ(state->frame.x, layout::window.x);
    EXPECT_EQ(state->frame.y, layout::window.y);
    EXPECT_EQ(state->frame.w, layout::window.w);
    EXPECT_EQ(state->frame.h, layout::window.h);

    const Image shot = dalvery.settle();
    for (const ExpectedColour& expected : startUpColours)
        EXPECT_GE(spreadOf(shot, expected.colour, layout::view).count, expected.atLeast)
            << colourName(expected.colour);
    // The sky is above the ground: the view's top row is all background.
    EXPECT_EQ(spreadOf(shot, Colour::Background, {layout::view.x, layout::view.y, layout::view.w, 1}).count,
              layout::view.w);
    // The excavator stands in the middle of the site, which the camera looks at.
    const ColourSpread yellow = spreadOf(shot, Colour::Yellow, layout::view);
    EXPECT_NEAR(yellow.centreX, layout::view.x + layout::view.w / 2, 60);
    EXPECT_NEAR(yellow.centreY, layout::view.y + layout::view.h / 2, 60);

    for (int i = 0; i < layout::sliderCount; ++i)
        EXPECT_FALSE(sliderLooksActive(shot, i)) << "slider " << i;
    EXPECT_EQ(listHighlight(shot), 0);
    EXPECT_EQ(dalvery.output(), "");
}

// Docks match the window to the desktop entry by its X instance name, also
// without a window manager. Under Wine, Wine names the X window, not the
// program: the Windows build's scenarios leave this one out.
TEST(WindowClass, TheInstanceNameIsTheDesktopEntrysName)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    const auto state = dalvery.windowState();
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->windowInstance, DALVERY_APP_ID);
}

TEST(MachineList, PrintsEachSelectionAsItHappensAndClearsBelowTheLastLine)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");

    // Each line is awaited before the next click, with the program running:
    // it is printed when it happens, not when the program ends.
    std::string printed;
    for (const ListedMachine& m : dalvery.list()) {
        EXPECT_TRUE(dalvery.select(m)) << dalvery.problem();
        EXPECT_TRUE(dalvery.running());
        printed += Harness::selectionLine(m.line, m.name);
        EXPECT_EQ(dalvery.output(), printed);
        // The sliders are bound to the machine: the first one is active.
        EXPECT_TRUE(sliderLooksActive(dalvery.windowShot(), 0)) << m.name;
    }

    const ListedMachine& last = dalvery.list().back();
    EXPECT_TRUE(dalvery.select(last)) << "the selected line clicked again";
    printed += Harness::selectionLine(last.line, last.name);
    EXPECT_EQ(dalvery.output(), printed);
    EXPECT_GT(listHighlight(dalvery.windowShot()), 0);

    // A list that shows all its lines has room below the last.
    if (dalvery.shownLines() < int(dalvery.list().size()))
        return;
    ASSERT_TRUE(dalvery.clickBelowLastLine()) << "no room below the last line";
    const Image shot = dalvery.windowShot();
    EXPECT_EQ(listHighlight(shot), 0);
    for (int i = 0; i < layout::sliderCount; ++i)
        EXPECT_FALSE(sliderLooksActive(shot, i)) << "slider " << i;
    EXPECT_EQ(dalvery.output(), printed) << "no selection prints nothing";
}
