#include <gtest/gtest.h>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Value_Slider.H>

#include <cmath>
#include <string>

#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
#include "machines/ExampleMachine.h"
#include "machines/FlatExcavator.h"

namespace {

struct SliderState {
    const char* label;
    double minimum, maximum, value;
};

const SliderState excavatorStart[7] = {
    {"X", -100, 100, 0},         {"Z", -100, 100, 0},    {"Orientation", 0, 360, 0},
    {"spin", -180, 180, 0},      {"arm", -90, 0, -30},   {"elbow", 0, 180, 60},
    {"bucket", -180, 45, 0},
};

class ExcavatorPanel : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.addMachine(&excavator);
        window.addMachine(&example);
    }

    void selectLine(int line)
    {
        window.machineBrowser->value(line);
        machineBrowserCallback(nullptr, &window);
    }

    void expectSlider(int i, const SliderState& expected, bool active)
    {
        SCOPED_TRACE(i);
        const Fl_Value_Slider* slider = window.sliders[i];
        EXPECT_EQ(std::string(slider->label()), expected.label);
        EXPECT_DOUBLE_EQ(slider->minimum(), expected.minimum);
        EXPECT_DOUBLE_EQ(slider->maximum(), expected.maximum);
        EXPECT_DOUBLE_EQ(slider->value(), expected.value);
        EXPECT_EQ(slider->active() != 0, active);
    }

    DalveryWindow window;
    FlatExcavator excavator;
    ExampleMachine example{"Example1", 4, 5, 2};
};

TEST_F(ExcavatorPanel, SevenSlidersShowTheExcavatorsLabelsBoundsAndStartValues)
{
    selectLine(1);
    ASSERT_EQ(window.selectedMachine, &excavator);
    for (int i = 0; i < 7; ++i)
        expectSlider(i, excavatorStart[i], true);
    for (int i = 7; i < 10; ++i)
        expectSlider(i, {"unused", -100, 100, 0}, false);
}

TEST_F(ExcavatorPanel, EachSliderDrivesItsOwnJoint)
{
    selectLine(1);
    for (int i = 3; i < 7; ++i) {
        SCOPED_TRACE(i);
        const std::vector<float> before = excavator.params;
        window.sliders[i]->value(excavatorStart[i].minimum);
        sliderCallback(nullptr, &window);
        for (int k = 0; k < 7; ++k)
            EXPECT_FLOAT_EQ(excavator.params[k], k == i ? excavatorStart[i].minimum : before[k]);
    }
}

TEST_F(ExcavatorPanel, AMachineWithFewerParametersLeavesTheRestInactiveWithTheExcavatorsLastState)
{
    selectLine(1);
    window.sliders[5]->value(90);
    sliderCallback(nullptr, &window);
    selectLine(2);
    ASSERT_EQ(window.selectedMachine, &example);
    expectSlider(0, {"X", -100, 100, 4}, true);
    expectSlider(3, {"size", 1, 20, 2}, true);
    expectSlider(4, {"unused", -90, 0, -30}, false);
    expectSlider(5, {"unused", 0, 180, 90}, false);
    expectSlider(6, {"unused", -180, 45, 0}, false);
}

TEST_F(ExcavatorPanel, AddRockLeavesARockInTheBucket)
{
    selectLine(1);
    addRockCallback(nullptr, &window);
    ASSERT_EQ(window.rocks.size(), 1u);
    EXPECT_NEAR(window.rocks[0].x, -36.43, 0.005);
    EXPECT_NEAR(window.rocks[0].y, 11.07, 0.005);
    EXPECT_NEAR(window.rocks[0].z, 0, 1e-5);

    // Raised straight up and turned a quarter, the rock follows the bucket.
    window.sliders[3]->value(90);
    window.sliders[4]->value(-90);
    window.sliders[5]->value(0);
    sliderCallback(nullptr, &window);
    addRockCallback(nullptr, &window);
    ASSERT_EQ(window.rocks.size(), 2u);
    EXPECT_NEAR(window.rocks[1].x, 0, 1e-3);
    EXPECT_NEAR(window.rocks[1].y, 8 + 24 + 14 + std::sqrt(2.0), 1e-3);
    EXPECT_NEAR(window.rocks[1].z, 3 + std::sqrt(2.0), 1e-3);
}

} // namespace
