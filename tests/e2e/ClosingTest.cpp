#include <gtest/gtest.h>

#include <string>

#include "harness/Harness.h"
#include "machines/ExampleMachine.h"

// There is no window manager on the virtual display; the harness sends the
// close request one would send when the user closes the window.
TEST(Closing, TheWindowManagersCloseRequestEndsTheProgramWithStatusZero)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_TRUE(dalvery.select(listed<ExampleMachine, 1>()));
    const std::string selected = dalvery.output();
    dalvery.requestClose();
    const auto status = dalvery.waitForExit(10);
    ASSERT_TRUE(status.has_value()) << "still running, or killed by a signal";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(dalvery.output(), selected) << "printed on closing";
}

TEST(Closing, EscapeEndsTheProgramWithStatusZero)
{
    Harness dalvery(programUnderTest());
    ASSERT_EQ(dalvery.problem(), "");
    dalvery.pressEscape();
    const auto status = dalvery.waitForExit(10);
    ASSERT_TRUE(status.has_value()) << "still running, or killed by a signal";
    EXPECT_EQ(*status, 0);
}
