#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <string>

#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
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
    void expectSlider(int i, const char* label, double min, double max, double value, bool active)
    {
        Fl_Value_Slider* s = window.sliders[i];
        EXPECT_STREQ(s->label(), label) << "slider " << i;
        EXPECT_EQ(s->minimum(), min) << "slider " << i;
        EXPECT_EQ(s->maximum(), max) << "slider " << i;
        EXPECT_EQ(s->value(), value) << "slider " << i;
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
        expectSlider(i, "unused", -100, 100, 0, false);
    }
    EXPECT_EQ(window.selectedMachine, nullptr);
    EXPECT_TRUE(window.rocks.empty());
}

TEST_F(MainWindow, ListsEveryMachineByNameWithItselfAsLineData)
{
    ASSERT_EQ(window.machineBrowser->size(), int(window.machines.size()));
    for (size_t k = 0; k < window.machines.size(); ++k) {
        Machine* machine = window.machines[k];
        const int line = int(k) + 1;
        EXPECT_EQ(window.machineBrowser->text(line), machine->name);
        EXPECT_EQ(window.machineBrowser->data(line), machine);
        EXPECT_EQ(machine->window, &window);
    }
    EXPECT_EQ(window.machines.back(), &example2);
    EXPECT_EQ(window.machineBrowser->value(), 0) << "nothing selected at start";
}

TEST_F(MainWindow, StartsWithTheFiveMachinesOfTheSiteInOrder)
{
    const char* expected[] = {"Dump truck", "Crane", "Excavator", "Example1", "Example2"};
    ASSERT_EQ(window.machineBrowser->size(), 5);
    for (int line = 1; line <= 5; ++line)
        EXPECT_STREQ(window.machineBrowser->text(line), expected[line - 1]) << "line " << line;
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

TEST_F(MainWindow, SlidersShowTheSelectedMachinesParameters)
{
    example2.params[2] = 45;
    selectLine(lineOf(&example2));
    EXPECT_TRUE(redrawRequested());
    expectSlider(0, "X", -100, 100, 10, true);
    expectSlider(1, "Z", -100, 100, 0, true);
    expectSlider(2, "Orientation", 0, 360, 45, true);
    expectSlider(3, "size", 1, 20, 2, true);
    for (int i = 4; i < 10; ++i)
        expectSlider(i, "unused", -100, 100, 0, false);
}

TEST_F(MainWindow, MovingASliderWritesEveryBoundParameterBack)
{
    example1.params[0] = -12;
    selectLine(lineOf(&example1));
    redrawRequested();
    window.sliders[3]->value(5);
    sliderCallback(window.sliders[3], &window);
    EXPECT_EQ(example1.params[3], 5.0f) << "size follows its slider";
    EXPECT_EQ(example1.params[0], -12.0f) << "the untouched sliders write back what they showed";
    EXPECT_EQ(example1.params[1], 0.0f);
    EXPECT_EQ(example1.params[2], 0.0f);
    EXPECT_EQ(example2.params[3], 2.0f) << "only the selected machine changes";
    EXPECT_TRUE(redrawRequested());

    window.sliders[0]->value(33);
    sliderCallback(window.sliders[0], &window);
    EXPECT_EQ(example1.params[0], 33.0f);
    EXPECT_EQ(example1.params[3], 5.0f);
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

TEST_F(MainWindow, DeselectingGreysTheSlidersOutButKeepsWhatTheyShowed)
{
    selectLine(lineOf(&example2));
    redrawRequested();
    selectLine(0);
    EXPECT_EQ(window.selectedMachine, nullptr);
    EXPECT_TRUE(redrawRequested());
    expectSlider(0, "X", -100, 100, 10, false);
    expectSlider(3, "size", 1, 20, 2, false);
    expectSlider(4, "unused", -100, 100, 0, false);

    // A slider change with nothing selected does nothing at all.
    window.sliders[0]->value(-40);
    sliderCallback(window.sliders[0], &window);
    EXPECT_EQ(example2.params[0], 10.0f);
    EXPECT_FALSE(redrawRequested());

    // Selecting again sets the sliders up afresh from the machine.
    selectLine(lineOf(&example2));
    expectSlider(0, "X", -100, 100, 10, true);
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
