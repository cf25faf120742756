#include <gtest/gtest.h>

#include <string>

#include "harness/Harness.h"
#include "tests/e2e/LongSite.h"
#include "tests/e2e/PanelLooks.h"

// The program with a machine of the tests' own after its site's: a list
// with one line more than its box shows, as a site of six machines has.
// The harness wheels the last line into view as a user would; it selects
// its machine and binds its sliders, and the lines above still work.
TEST(LongList, TheLastLineScrollsIntoViewAndSelectsItsMachineAndTheOthersStillWork)
{
    const MachineList list = listOf(populateLongSite<MachineRecorder>);
    Harness dalvery(DALVERY_LONG_LIST_PROGRAM, {}, 1, 1, list);
    ASSERT_EQ(dalvery.problem(), "");
    ASSERT_LT(dalvery.shownLines(), int(list.size())) << "the list shows all its lines: nothing to scroll";

    const ListedMachine& added = list.back();
    ASSERT_TRUE(dalvery.select(added)) << dalvery.problem();
    std::string printed = Harness::selectionLine(added.line, added.name);
    EXPECT_EQ(dalvery.output(), printed);
    const Image shot = dalvery.windowShot();
    const int bound = int(added.machine->params.size());
    for (int i = 0; i < layout::sliderCount; ++i)
        EXPECT_EQ(sliderLooksActive(shot, i), i < bound) << "slider " << i;
    // Its size slider grows its cube.
    const Image before = dalvery.viewShot();
    dalvery.setSlider(3, 1.0);
    EXPECT_GT(dalvery.viewShot().countDifferences(before), 2000);

    for (const ListedMachine& m : list) {
        if (m.line == added.line)
            continue;
        EXPECT_TRUE(dalvery.select(m)) << dalvery.problem();
        printed += Harness::selectionLine(m.line, m.name);
    }
    EXPECT_TRUE(dalvery.select(added)) << "back down to the last line: " << dalvery.problem();
    printed += Harness::selectionLine(added.line, added.name);
    EXPECT_EQ(dalvery.output(), printed);
}
