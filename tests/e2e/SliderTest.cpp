#include <gtest/gtest.h>

#include "tests/e2e/Colours.h"
#include "tests/e2e/Driver.h"
#include "tests/e2e/PanelLooks.h"

namespace {

// Example1's sliders, top to bottom.
constexpr int sliderX = 0, sliderZ = 1, sliderSize = 3;
constexpr int firstUnused = 4;

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
    DalveryDriver dalvery(DALVERY_PROGRAM);
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(SiteMachine::Example1));
    const ColourSpread atStart = spreadOf(dalvery.viewShot(), Colour::Yellow);
    ASSERT_GT(atStart.count, 0);

    // Seen from the start-up camera, +x runs to the right and +z towards the
    // viewer, down the picture; Example1 leaves Example2 behind, so the
    // yellow reaches further that way.
    dalvery.setSlider(sliderX, 0.75);
    const ColourSpread movedX = spreadOf(dalvery.viewShot(), Colour::Yellow);
    EXPECT_GT(right(movedX.bounds), right(atStart.bounds) + 50);
    dalvery.setSlider(sliderX, 0.5);
    dalvery.setSlider(sliderZ, 0.75);
    const ColourSpread movedZ = spreadOf(dalvery.viewShot(), Colour::Yellow);
    EXPECT_GT(bottom(movedZ.bounds), bottom(atStart.bounds) + 30);
    dalvery.setSlider(sliderZ, 0.5);

    dalvery.setSlider(sliderSize, 1.0);
    const ColourSpread grown = spreadOf(dalvery.viewShot(), Colour::Yellow);
    // An edge ten times as long: far more than ten times the pixels.
    EXPECT_GT(grown.count, 10 * atStart.count);

    dalvery.syncWithProgram(); // the list takes the keyboard focus back from the size slider
    const Image before = dalvery.windowShot();
    ASSERT_FALSE(sliderLooksActive(before, firstUnused));
    dalvery.setSlider(firstUnused, 1.0, Expect::NoChange);
    EXPECT_EQ(dalvery.windowShot().countDifferences(before), 0);
}
