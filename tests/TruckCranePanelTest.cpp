#include <FL/Fl_Browser.H>
#include <FL/Fl_Value_Slider.H>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
#include "app/Site.h"
#include "machines/Machine.h"

namespace {

struct SliderRow {
    const char* label;
    double min, max, value;
};

const std::vector<SliderRow> truckRows = {
    {"X", -100, 100, -24}, {"Z", -100, 100, -24}, {"Orientation", 0, 360, 0}, {"tip amount", 0, 60, 0}};
const std::vector<SliderRow> craneRows = {
    {"boom rotation", 0, 360, 0}, {"box horizontal", 0, 100, 7}, {"box vertical", 0, 100, 7}};

constexpr int truckLine = 1, craneLine = 2;

class TruckCranePanel : public ::testing::Test {
protected:
    TruckCranePanel() { buildSite(&window); }

    void select(int line)
    {
        window.machineBrowser->value(line);
        machineBrowserCallback(nullptr, &window);
    }

    // As the user would drag them: set the sliders, then their callback runs.
    void moveSliders(const std::vector<double>& values)
    {
        for (size_t i = 0; i < values.size(); ++i)
            window.sliders[i]->value(values[i]);
        sliderCallback(nullptr, &window);
    }

    void expectSliders(const std::vector<SliderRow>& rows)
    {
        ASSERT_EQ(window.sliders.size(), 10u);
        for (size_t i = 0; i < window.sliders.size(); ++i) {
            const Fl_Value_Slider* slider = window.sliders[i];
            if (i >= rows.size()) {
                EXPECT_FALSE(slider->active()) << "slider " << i;
                EXPECT_STREQ(slider->label(), "unused") << "slider " << i;
                continue;
            }
            EXPECT_TRUE(slider->active()) << rows[i].label;
            EXPECT_STREQ(slider->label(), rows[i].label);
            EXPECT_EQ(slider->minimum(), rows[i].min) << rows[i].label;
            EXPECT_EQ(slider->maximum(), rows[i].max) << rows[i].label;
            EXPECT_EQ(slider->value(), rows[i].value) << rows[i].label;
        }
    }

    DalveryWindow window;
};

TEST_F(TruckCranePanel, ListsTheTruckFirstAndTheCraneSecond)
{
    ASSERT_GE(window.machines.size(), 2u);
    EXPECT_EQ(window.machines[0]->name, "Dump truck");
    EXPECT_EQ(window.machines[1]->name, "Crane");
    EXPECT_STREQ(window.machineBrowser->text(truckLine), "Dump truck");
    EXPECT_STREQ(window.machineBrowser->text(craneLine), "Crane");
}

TEST_F(TruckCranePanel, SlidersShowEachMachinesParameters)
{
    select(truckLine);
    EXPECT_EQ(window.selectedMachine, window.machines[0]);
    expectSliders(truckRows);
    // The crane has one parameter fewer: the truck's fourth slider is released.
    select(craneLine);
    EXPECT_EQ(window.selectedMachine, window.machines[1]);
    expectSliders(craneRows);
}

TEST_F(TruckCranePanel, MovingASliderWritesEveryBoundSliderToItsOwnParameter)
{
    select(truckLine);
    moveSliders({10, 20, 30, 40});
    EXPECT_EQ(window.machines[0]->params, (std::vector<float>{10, 20, 30, 40}));

    select(craneLine);
    moveSliders({90, 50, 96});
    EXPECT_EQ(window.machines[1]->params, (std::vector<float>{90, 50, 96}));
    EXPECT_EQ(window.machines[0]->params, (std::vector<float>{10, 20, 30, 40})) << "the truck kept its pose";
}

TEST_F(TruckCranePanel, AddRockDropsAtTheTrucksRearButNotUnderTheRaisedCraneBox)
{
    select(truckLine);
    addRockCallback(nullptr, &window);
    ASSERT_EQ(window.rocks.size(), 1u);
    EXPECT_FLOAT_EQ(window.rocks[0].x, -18);
    EXPECT_FLOAT_EQ(window.rocks[0].y, 3);
    EXPECT_FLOAT_EQ(window.rocks[0].z, -19.5);

    // The rock stays put when the truck moves and tips.
    moveSliders({0, 0, 90, 60});
    EXPECT_FLOAT_EQ(window.rocks[0].x, -18);

    select(craneLine);
    addRockCallback(nullptr, &window);
    EXPECT_EQ(window.rocks.size(), 1u) << "the box hangs high at start-up";
    moveSliders({0, 7, 100});
    addRockCallback(nullptr, &window);
    ASSERT_EQ(window.rocks.size(), 2u);
    EXPECT_NEAR(window.rocks[1].x, 15, 1e-4);
    EXPECT_NEAR(window.rocks[1].y, 0, 1e-4);
    EXPECT_NEAR(window.rocks[1].z, 28.1, 1e-4);
}

} // namespace
