#include <gtest/gtest.h>

#include "harness/Harness.h"
#include "tests/reliability/SelectionLines.h"

// A scripted session of the real program under valgrind's memcheck
// (DALVERY_UNDER_VALGRIND starts it there): every machine selected and
// posed, rocks added and cleared, the three cameras, drags in the view, the
// list cleared and an inactive slider dragged. Memcheck ends the program
// with status 99 when it finds an invalid read or write, a use of
// uninitialised memory or a block of ours lost, and prints what it found.
TEST(ValgrindSession, ScriptedSessionHasNoMemoryErrorsAndNoLeaksOfOurs)
{
    Harness dalvery(DALVERY_UNDER_VALGRIND);
    ASSERT_EQ(dalvery.problem(), "");
    using layout::Button;

    for (const ListedMachine& m : dalvery.list()) {
        SCOPED_TRACE(m.name);
        ASSERT_TRUE(dalvery.select(m)) << dalvery.problem();
        dalvery.setSlider(0, 0.6);
        dalvery.setSlider(3, 0.8);
        dalvery.press(Button::AddRock);
        for (Button view : {Button::Machine, Button::Driver, Button::World})
            dalvery.press(view);
    }
    dalvery.dragInView({300, 300}, {420, 250}, Drag::Right);
    dalvery.dragInView({300, 300}, {200, 350}, Drag::AltRight);
    dalvery.dragInView({300, 300}, {-40, 620}, Drag::Left);
    dalvery.clickBelowLastLine();
    dalvery.setSlider(0, 0.2); // inactive now
    dalvery.press(Button::ClearRocks);
    ASSERT_EQ(dalvery.problem(), "");

    dalvery.requestClose();
    const auto status = dalvery.waitForExit(120);
    ASSERT_TRUE(status.has_value()) << "still running, or ended by a signal";
    EXPECT_EQ(*status, 0) << "memcheck found errors: see its report above";
    EXPECT_EQ(firstBadSelectionLine(dalvery.output()), "");
}
