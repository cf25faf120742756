#include <gtest/gtest.h>

#include "tests/e2e/Colours.h"
#include "tests/e2e/Driver.h"

TEST(Rocks, AnExampleMachineHasNoLoadToPutDown)
{
    DalveryDriver dalvery(DALVERY_PROGRAM);
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(SiteMachine::Example1));
    const Image before = dalvery.viewShot();
    dalvery.press(layout::Button::AddRock, Expect::NoChange);
    const Image after = dalvery.viewShot();
    EXPECT_EQ(after.countDifferences(before), 0);
    EXPECT_EQ(countOf(after, Colour::Brown), 0);
}
