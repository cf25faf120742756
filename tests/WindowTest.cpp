#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
#include "machines/ExampleMachine.h"
#include "tests/KeptSite.h"
#include "tests/StdoutPipe.h"
#include "tests/TestMachines.h"
#include "view/SiteDisplay.h"
#include "view/WindowLayout.h"

namespace {

// The window as the program builds it, shown on the test's X display so that
// redraw requests can be seen.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        populateKeptSite(&window);
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
        std::string label = "unused";
        double min = -100, max = 100, value = 0;
    };
    void expectSlider(int i, const Shown& expected, bool active)
    {
        const Fl_Value_Slider* s = window.sliders[size_t(i)];
        EXPECT_EQ(s->label(), expected.label) << "slider " << i;
        EXPECT_EQ(s->minimum(), expected.min) << "slider " << i;
        EXPECT_EQ(s->maximum(), expected.max) << "slider " << i;
        EXPECT_EQ(s->value(), expected.value) << "slider " << i;
        EXPECT_EQ(s->active() != 0, active) << "slider " << i;
    }

    DalveryWindow window;
};

void expectAt(const Fl_Widget* widget, const Rect& r, const std::string& what)
{
    EXPECT_EQ(widget->x(), r.x) << what;
    EXPECT_EQ(widget->y(), r.y) << what;
    EXPECT_EQ(widget->w(), r.w) << what;
    EXPECT_EQ(widget->h(), r.h) << what;
}

TEST_F(MainWindow, IsLaidOutAsTheUserExpects)
{
    EXPECT_STREQ(window.label(), "Dalvery");
    expectAt(&window, layout::window, "window");
    expectAt(window.panel, layout::panel, "panel");
    expectAt(window.display, layout::view, "view");
    ASSERT_EQ(window.children(), 2);
    EXPECT_EQ(window.child(0), window.panel);
    EXPECT_EQ(window.child(1), window.display);
    EXPECT_EQ(window.display->mainWindow, &window);

    // Panel children in creation (and keyboard focus) order.
    std::vector<const Fl_Widget*> expectedOrder = {window.machineBrowser, window.addRockButton,
                                                   window.clearRocksButton};
    expectedOrder.insert(expectedOrder.end(), window.sliders.begin(), window.sliders.end());
    expectedOrder.insert(expectedOrder.end(), {window.worldButton, window.machineButton, window.driverButton});
    ASSERT_EQ(window.panel->children(), int(expectedOrder.size()));
    for (int i = 0; i < window.panel->children(); ++i)
        EXPECT_EQ(window.panel->child(i), expectedOrder[size_t(i)]) << "panel child " << i;
    EXPECT_EQ(window.panel->resizable(), window.machineBrowser);
    EXPECT_EQ(window.machineBrowser->type(), FL_HOLD_BROWSER);
    EXPECT_STREQ(window.machineBrowser->label(), "select machine");

    const struct {
        layout::Button place;
        const Fl_Button* button;
    } buttons[] = {
        {layout::Button::World, window.worldButton},     {layout::Button::Machine, window.machineButton},
        {layout::Button::Driver, window.driverButton},   {layout::Button::AddRock, window.addRockButton},
        {layout::Button::ClearRocks, window.clearRocksButton},
    };
    for (const auto& b : buttons) {
        const layout::ButtonPlace& place = layout::place(b.place);
        EXPECT_STREQ(b.button->label(), place.label);
        expectAt(b.button, place.rect, place.label);
    }
    const Fl_Button* viewButtons[] = {window.worldButton, window.machineButton, window.driverButton};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(viewButtons[i]->type(), FL_RADIO_BUTTON);
        EXPECT_EQ(viewButtons[i]->selection_color(), FL_YELLOW);
        EXPECT_EQ(viewButtons[i]->value(), i == 0 ? 1 : 0);
    }

    ASSERT_EQ(window.sliders.size(), size_t(layout::sliderCount));
    for (int i = 0; i < layout::sliderCount; ++i) {
        expectAt(window.sliders[size_t(i)], layout::slider(i), "slider " + std::to_string(i));
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
    ASSERT_EQ(window.machineBrowser->size(), int(window.machines.size()));
    for (int line = 1; line <= window.machineBrowser->size(); ++line) {
        const Machine* machine = window.machines[size_t(line - 1)];
        EXPECT_EQ(window.machineBrowser->text(line), machine->name) << "line " << line;
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
    // The same line again: printed again.
    const int last = int(window.machines.size());
    const std::string lastLine = "Selected Machine " + std::to_string(last) + " '" + window.machines.back()->name + "'\n";
    EXPECT_EQ(printedBySelecting(2), "Selected Machine 2 '" + window.machines[1]->name + "'\n");
    EXPECT_EQ(printedBySelecting(last), lastLine);
    EXPECT_EQ(printedBySelecting(last), lastLine);
    EXPECT_EQ(printedBySelecting(0), "");
    EXPECT_EQ(window.selectedMachine, nullptr);
}

// The site's machines as the program made them, before any test moves a slider.
struct MachineAtStart {
    std::vector<float> params;
    std::vector<std::string> paramNames;
    std::vector<std::pair<float, float>> paramRanges;
};

std::vector<MachineAtStart> atStart(const std::vector<Machine*>& machines)
{
    std::vector<MachineAtStart> result;
    for (const Machine* m : machines)
        result.push_back({m->params, m->paramNames, m->paramRanges});
    return result;
}

// From one machine to another, then deselected and selected again: slider i
// shows the label, bounds and value of the machine's parameter i; unbound
// ones read "unused", greyed out, with the bounds and value of their last
// use; a deselection greys them all and keeps what they showed. Selecting
// changes no parameter.
TEST_F(MainWindow, SlidersShowTheSelectedMachinesParameters)
{
    const std::vector<MachineAtStart> site = atStart(window.machines);
    const auto byCount = [&](const MachineAtStart& a, const MachineAtStart& b) {
        return a.params.size() < b.params.size();
    };
    const int most = int(std::max_element(site.begin(), site.end(), byCount) - site.begin()) + 1;
    const int fewest = int(std::min_element(site.begin(), site.end(), byCount) - site.begin()) + 1;
    // From the most sliders to fewer and back, through every line.
    std::vector<int> lines = {most};
    for (int line = 1; line <= int(site.size()); ++line)
        lines.push_back(line);
    lines.insert(lines.end(), {0, fewest});

    Shown shown[layout::sliderCount];
    for (int line : lines) {
        SCOPED_TRACE(::testing::Message() << "line " << line);
        selectLine(line);
        EXPECT_EQ(window.selectedMachine, line ? window.machines[size_t(line - 1)] : nullptr);
        EXPECT_TRUE(redrawRequested());
        for (size_t i = 0; i < size_t(layout::sliderCount); ++i) {
            const bool bound = line != 0 && i < site[size_t(line - 1)].params.size();
            if (bound) {
                const MachineAtStart& m = site[size_t(line - 1)];
                shown[i] = {m.paramNames[i], m.paramRanges[i].first, m.paramRanges[i].second, m.params[i]};
            } else if (line != 0) {
                shown[i].label = "unused";
            }
            expectSlider(int(i), shown[i], bound);
        }
    }
    for (size_t k = 0; k < site.size(); ++k)
        EXPECT_EQ(window.machines[k]->params, site[k].params) << "machine " << k;
}

TEST_F(MainWindow, EachSliderWritesItsOwnParameterBackAndNoOther)
{
    for (int line = 1; line <= int(window.machines.size()); ++line) {
        const Machine& machine = *window.machines[size_t(line - 1)];
        for (size_t i = 0; i < std::min(machine.params.size(), window.sliders.size()); ++i) {
            SCOPED_TRACE(::testing::Message() << "line " << line << ", " << machine.paramNames[i]);
            selectLine(line);
            redrawRequested();
            std::vector<std::vector<float>> expected;
            for (const Machine* m : window.machines)
                expected.push_back(m->params);
            const auto [min, max] = machine.paramRanges[i];
            const float moved = machine.params[i] == max ? min : max;
            expected[size_t(line - 1)][i] = moved;

            window.sliders[i]->value(moved);
            sliderCallback(nullptr, &window); // the slider that moved is not passed on
            for (size_t k = 0; k < window.machines.size(); ++k)
                EXPECT_EQ(window.machines[k]->params, expected[k]) << "machine " << k;
            EXPECT_TRUE(redrawRequested());
        }
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
    const Machine* last = window.machines.back();
    const std::vector<float> before = last->params;
    selectLine(lineOf(last));
    selectLine(0);
    redrawRequested();
    window.sliders[0]->value(before[0] - 40);
    sliderCallback(window.sliders[0], &window);
    EXPECT_EQ(last->params, before);
    EXPECT_FALSE(redrawRequested());
}

TEST_F(MainWindow, ViewButtonsOnlyAskForARedraw)
{
    const Machine* first = window.machines.front();
    selectLine(lineOf(first));
    redrawRequested();
    const std::vector<float> before = first->params;
    for (Fl_Button* button : {window.machineButton, window.driverButton, window.worldButton}) {
        button->setonly();
        viewButtonCallback(button, &window);
        EXPECT_TRUE(redrawRequested());
        EXPECT_EQ(window.selectedMachine, first);
        EXPECT_EQ(first->params, before);
        EXPECT_TRUE(window.rocks.empty());
    }
}

TEST_F(MainWindow, RocksGoWhereTheSelectedMachineHoldsItsLoad)
{
    // Nothing selected, or a machine without a load point: nothing happens.
    addRockCallback(window.addRockButton, &window);
    EXPECT_TRUE(window.rocks.empty());
    EXPECT_FALSE(redrawRequested());
    ExampleMachine loadless("No load", 0, 0, 2);
    window.addMachine(&loadless);
    selectLine(lineOf(&loadless));
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
    selectLine(lineOf(&loadless));
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
