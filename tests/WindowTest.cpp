#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
#include "harness/SiteMachines.h"
#include "machines/ExampleMachine.h"
#include "tests/KeptSite.h"
#include "tests/StdoutPipe.h"
#include "tests/TestMachines.h"
#include "view/SiteDisplay.h"

namespace {

// The window as the program builds it, shown on the test's X display so that
// redraw requests can be seen.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        buildKeptSite(&window);
        window.addMachine(&example1);
        window.addMachine(&example2);
        window.show();
        window.display->clear_damage();
    }

    // Clicks line `line` of the machine list (0: below the last line, which
    // clears the selection).
    void selectLine(int line)
    {
        if (line == 0)
            window.machineBrowser->deselect();
        else
            window.machineBrowser->value(line);
        machineBrowserCallback(window.machineBrowser, &window);
    }
    int lineOf(const Machine* machine)
    {
        for (int line = 1; line <= window.machineBrowser->size(); ++line)
            if (window.machineBrowser->data(line) == machine)
                return line;
        return 0;
    }
    bool redrawRequested()
    {
        const bool requested = window.display->damage() != 0;
        window.display->clear_damage();
        return requested;
    }
    // What a slider shows; at start, and on every slider never bound.
    struct Shown {
        const char* label = "unused";
        double min = -100, max = 100, value = 0;
    };
    void expectSlider(int i, const Shown& expected, bool active)
    {
        const Fl_Value_Slider* s = window.sliders[size_t(i)];
        EXPECT_STREQ(s->label(), expected.label) << "slider " << i;
        EXPECT_EQ(s->minimum(), expected.min) << "slider " << i;
        EXPECT_EQ(s->maximum(), expected.max) << "slider " << i;
        EXPECT_EQ(s->value(), expected.value) << "slider " << i;
        EXPECT_EQ(s->active() != 0, active) << "slider " << i;
    }

    ExampleMachine example1{"Example1", 0, 0, 2};
    ExampleMachine example2{"Example2", 10, 0, 2};
    DalveryWindow window;
};

TEST_F(MainWindow, IsLaidOutAsTheUserExpects)
{
    EXPECT_STREQ(window.label(), "Dalvery");
    EXPECT_EQ(window.x(), 50);
    EXPECT_EQ(window.y(), 50);
    EXPECT_EQ(window.w(), 800);
    EXPECT_EQ(window.h(), 600);

    EXPECT_EQ(window.panel->x(), 630);
    EXPECT_EQ(window.panel->y(), 0);
    EXPECT_EQ(window.panel->w(), 170);
    EXPECT_EQ(window.panel->h(), 590);
    EXPECT_EQ(window.display->x(), 5);
    EXPECT_EQ(window.display->y(), 5);
    EXPECT_EQ(window.display->w(), 625);
    EXPECT_EQ(window.display->h(), 590);
    ASSERT_EQ(window.children(), 2);
    EXPECT_EQ(window.child(0), window.panel);
    EXPECT_EQ(window.child(1), window.display);
    EXPECT_EQ(window.display->mainWindow, &window);

    // Panel children in creation (and keyboard focus) order.
    const Fl_Widget* expectedOrder[17] = {window.machineBrowser, window.addRockButton, window.clearRocksButton};
    for (int i = 0; i < 10; ++i)
        expectedOrder[3 + i] = window.sliders[size_t(i)];
    expectedOrder[13] = window.worldButton;
    expectedOrder[14] = window.machineButton;
    expectedOrder[15] = window.driverButton;
    ASSERT_EQ(window.panel->children(), 16);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(window.panel->child(i), expectedOrder[i]) << "panel child " << i;
    EXPECT_EQ(window.panel->resizable(), window.machineBrowser);
    EXPECT_EQ(window.machineBrowser->type(), FL_HOLD_BROWSER);
    EXPECT_STREQ(window.machineBrowser->label(), "select machine");

    EXPECT_STREQ(window.addRockButton->label(), "Add Rock");
    EXPECT_STREQ(window.clearRocksButton->label(), "Clear Rocks");
    const Fl_Button* viewButtons[] = {window.worldButton, window.machineButton, window.driverButton};
    const char* viewLabels[] = {"world", "machine", "driver"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(viewButtons[i]->label(), viewLabels[i]);
        EXPECT_EQ(viewButtons[i]->type(), FL_RADIO_BUTTON);
        EXPECT_EQ(viewButtons[i]->selection_color(), FL_YELLOW);
        EXPECT_EQ(viewButtons[i]->value(), i == 0 ? 1 : 0);
        EXPECT_EQ(viewButtons[i]->y(), 135);
    }

    ASSERT_EQ(window.sliders.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(window.sliders[size_t(i)]->y(), 200 + 40 * i);
        EXPECT_EQ(window.sliders[size_t(i)]->type(), FL_HOR_SLIDER);
        EXPECT_EQ(window.sliders[size_t(i)]->step(), 1.0);
        expectSlider(i, {}, false);
    }
    EXPECT_EQ(window.selectedMachine, nullptr);
    EXPECT_TRUE(window.rocks.empty());
}

TEST_F(MainWindow, ListsTheSitesMachinesByNameInOrderWithThemselvesAsLineData)
{
    // The list the end-to-end tests and the tour click in, line by line.
    ASSERT_EQ(window.machineBrowser->size(), int(std::size(siteMachines)));
    ASSERT_EQ(window.machines.size(), std::size(siteMachines));
    for (const ListedMachine& expected : siteMachines) {
        const int line = expected.line;
        const Machine* machine = window.machines[size_t(line - 1)];
        EXPECT_STREQ(window.machineBrowser->text(line), expected.name) << "line " << line;
        EXPECT_EQ(machine->name, expected.name);
        EXPECT_EQ(window.machineBrowser->data(line), machine) << "line " << line;
    }
    EXPECT_EQ(window.machineBrowser->value(), 0) << "nothing selected at start";
}

TEST_F(MainWindow, SelectingALinePrintsItAtOnceEvenIntoAPipe)
{
    // What a click prints, read from the pipe without flushing anything.
    auto printedBySelecting = [&](int line) {
        StdoutPipe out;
        selectLine(line);
        return out.read();
    };
    for (size_t k = 0; k < window.machines.size(); ++k) {
        const std::string expected =
            "Selected Machine " + std::to_string(k + 1) + " '" + window.machines[k]->name + "'\n";
        EXPECT_EQ(printedBySelecting(int(k) + 1), expected);
        EXPECT_EQ(window.selectedMachine, window.machines[k]);
    }
    EXPECT_EQ(printedBySelecting(2), "Selected Machine 2 'Crane'\n");
    // The same line again: printed again.
    EXPECT_EQ(printedBySelecting(5), "Selected Machine 5 'Example2'\n");
    EXPECT_EQ(printedBySelecting(5), "Selected Machine 5 'Example2'\n");
    EXPECT_EQ(printedBySelecting(0), "");
    EXPECT_EQ(window.selectedMachine, nullptr);
}

// What slider `slider` shows while the machine on list line `line` is
// selected, and the parameter it writes back. Sliders a machine does not
// list here are unbound.
struct SliderRow {
    int line;
    int slider;
    const char* label;
    double min, max, value;
    int param;
};

const SliderRow boundSliders[] = {
    {1, 0, "X", -100, 100, -24, 0},
    {1, 1, "Z", -100, 100, -24, 1},
    {1, 2, "Orientation", 0, 360, 0, 2},
    {1, 3, "tip amount", 0, 60, 0, 3},
    {2, 0, "boom rotation", 0, 360, 0, 0},
    {2, 1, "box horizontal", 0, 100, 7, 1},
    {2, 2, "box vertical", 0, 100, 7, 2},
    {3, 0, "X", -100, 100, 0, 0},
    {3, 1, "Z", -100, 100, 0, 1},
    {3, 2, "Orientation", 0, 360, 0, 2},
    {3, 3, "spin", -180, 180, 0, 3},
    {3, 4, "arm", -90, 0, -30, 4},
    {3, 5, "elbow", 0, 180, 60, 5},
    {3, 6, "bucket", -180, 45, 0, 6},
    {4, 0, "X", -100, 100, 0, 0},
    {4, 1, "Z", -100, 100, 0, 1},
    {4, 2, "Orientation", 0, 360, 0, 2},
    {4, 3, "size", 1, 20, 2, 3},
    {5, 0, "X", -100, 100, 10, 0},
    {5, 1, "Z", -100, 100, 0, 1},
    {5, 2, "Orientation", 0, 360, 0, 2},
    {5, 3, "size", 1, 20, 2, 3},
};

const SliderRow* rowOf(int line, int slider)
{
    for (const SliderRow& row : boundSliders)
        if (row.line == line && row.slider == slider)
            return &row;
    return nullptr;
}

// From one machine to another, then deselected and selected again: bound
// sliders take the machine's labels, bounds and values; unbound ones read
// "unused", greyed out, with the bounds and value of their last use; a
// deselection greys them all and keeps what they showed.
TEST_F(MainWindow, SlidersShowTheSelectedMachinesParameters)
{
    Shown shown[10];
    for (int line : {3, 2, 1, 4, 5, 0, 2}) {
        SCOPED_TRACE(::testing::Message() << "line " << line);
        selectLine(line);
        EXPECT_EQ(window.selectedMachine, line ? window.machines[size_t(line - 1)] : nullptr);
        EXPECT_TRUE(redrawRequested());
        for (int i = 0; i < 10; ++i) {
            const SliderRow* row = rowOf(line, i);
            if (row)
                shown[i] = {row->label, row->min, row->max, row->value};
            else if (line != 0)
                shown[i].label = "unused";
            expectSlider(i, shown[i], row != nullptr);
        }
    }
}

TEST_F(MainWindow, EachSliderWritesItsOwnParameterBackAndNoOther)
{
    for (const SliderRow& row : boundSliders) {
        SCOPED_TRACE(::testing::Message() << "line " << row.line << ", " << row.label);
        selectLine(row.line);
        redrawRequested();
        std::vector<std::vector<float>> expected;
        for (const Machine* machine : window.machines)
            expected.push_back(machine->params);
        const double moved = row.value == row.max ? row.min : row.max;
        expected[size_t(row.line - 1)][size_t(row.param)] = float(moved);

        window.sliders[size_t(row.slider)]->value(moved);
        sliderCallback(nullptr, &window); // the slider that moved is not passed on
        for (size_t k = 0; k < window.machines.size(); ++k)
            EXPECT_EQ(window.machines[k]->params, expected[k]) << "machine " << k;
        EXPECT_TRUE(redrawRequested());
    }
}

// Slider labels stand outside the sliders' boxes: relabelling must repaint
// the panel's background too, or "unused" is drawn over "tip amount".
TEST_F(MainWindow, RelabellingRepaintsThePanelBehindTheLabels)
{
    selectLine(1);
    window.clear_damage();
    selectLine(2);
    EXPECT_EQ(window.damage() & FL_DAMAGE_ALL, FL_DAMAGE_ALL);
}

TEST_F(MainWindow, AValueOutsideItsRangeIsShownAndKeptUnchanged)
{
    ExampleMachine giant("Giant", 0, 0, 50.5f);
    window.addMachine(&giant);
    selectLine(lineOf(&giant));
    EXPECT_EQ(window.sliders[3]->value(), 50.5);
    window.sliders[0]->value(7);
    sliderCallback(window.sliders[0], &window);
    EXPECT_EQ(giant.params[3], 50.5f);
    EXPECT_EQ(giant.params[0], 7.0f);
}

TEST_F(MainWindow, ASliderMovedWithNothingSelectedDoesNothing)
{
    selectLine(lineOf(&example2));
    selectLine(0);
    redrawRequested();
    window.sliders[0]->value(-40);
    sliderCallback(window.sliders[0], &window);
    EXPECT_EQ(example2.params[0], 10.0f);
    EXPECT_FALSE(redrawRequested());
}

TEST_F(MainWindow, ViewButtonsOnlyAskForARedraw)
{
    selectLine(lineOf(&example1));
    redrawRequested();
    const std::vector<float> before = example1.params;
    for (Fl_Button* button : {window.machineButton, window.driverButton, window.worldButton}) {
        button->setonly();
        viewButtonCallback(button, &window);
        EXPECT_TRUE(redrawRequested());
        EXPECT_EQ(window.selectedMachine, &example1);
        EXPECT_EQ(example1.params, before);
        EXPECT_TRUE(window.rocks.empty());
    }
}

TEST_F(MainWindow, RocksGoWhereTheSelectedMachineHoldsItsLoad)
{
    // Nothing selected, or a machine without a load point: nothing happens.
    addRockCallback(window.addRockButton, &window);
    EXPECT_TRUE(window.rocks.empty());
    EXPECT_FALSE(redrawRequested());
    selectLine(lineOf(&example1));
    redrawRequested();
    addRockCallback(window.addRockButton, &window);
    EXPECT_TRUE(window.rocks.empty());
    EXPECT_FALSE(redrawRequested());

    CarrierMachine carrier(1.5f, 2.5f, -3.5f);
    window.addMachine(&carrier);
    selectLine(lineOf(&carrier));
    redrawRequested();
    addRockCallback(window.addRockButton, &window);
    addRockCallback(window.addRockButton, &window);
    EXPECT_TRUE(redrawRequested());
    ASSERT_EQ(window.rocks.size(), 2u);
    for (const Rock& rock : window.rocks) {
        EXPECT_EQ(rock.x, 1.5f);
        EXPECT_EQ(rock.y, 2.5f);
        EXPECT_EQ(rock.z, -3.5f);
    }
    // The rocks stay where they were put when the machine moves on.
    carrier.load[0] = 40;
    addRockCallback(window.addRockButton, &window);
    ASSERT_EQ(window.rocks.size(), 3u);
    EXPECT_EQ(window.rocks[0].x, 1.5f);
    EXPECT_EQ(window.rocks[2].x, 40.0f);
    // ... and when another machine is selected.
    selectLine(lineOf(&example1));
    EXPECT_EQ(window.rocks.size(), 3u);

    clearRocksCallback(window.clearRocksButton, &window);
    EXPECT_TRUE(window.rocks.empty());
    EXPECT_TRUE(redrawRequested());
    clearRocksCallback(window.clearRocksButton, &window);
    EXPECT_TRUE(redrawRequested()) << "a redraw even with no rocks";

    selectLine(lineOf(&carrier));
    addRockCallback(window.addRockButton, &window);
    EXPECT_EQ(window.rocks.size(), 1u) << "rocks can be added after clearing";
}

} // namespace
