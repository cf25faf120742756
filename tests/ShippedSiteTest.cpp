#include <FL/Fl_Browser.H>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/DalveryWindow.h"
#include "machines/Machine.h"
#include "tests/KeptSite.h"

namespace {

// The work site the program ships with, the one place the tests say it:
// every other test reads the site from the program's code. A machine of
// your own, added after Example2, fails this test alone, and by design.
struct Parameter {
    const char* label;
    float min, max, start;
};

struct ShippedMachine {
    const char* name;
    std::vector<Parameter> parameters;
};

const ShippedMachine shippedSite[] = {
    {"Dump truck", {{"X", -100, 100, -24}, {"Z", -100, 100, -24}, {"Orientation", 0, 360, 0},
                    {"tip amount", 0, 60, 0}}},
    {"Crane", {{"boom rotation", 0, 360, 0}, {"box horizontal", 0, 100, 7}, {"box vertical", 0, 100, 7}}},
    {"Excavator", {{"X", -100, 100, 0}, {"Z", -100, 100, 0}, {"Orientation", 0, 360, 0}, {"spin", -180, 180, 0},
                   {"arm", -90, 0, -30}, {"elbow", 0, 180, 60}, {"bucket", -180, 45, 0}}},
    {"Example1", {{"X", -100, 100, 0}, {"Z", -100, 100, 0}, {"Orientation", 0, 360, 0}, {"size", 1, 20, 2}}},
    {"Example2", {{"X", -100, 100, 10}, {"Z", -100, 100, 0}, {"Orientation", 0, 360, 0}, {"size", 1, 20, 2}}},
};

} // namespace

TEST(ShippedSite, FiveMachinesListedInOrderWithTheirLabelsBoundsAndStartValues)
{
    DalveryWindow window;
    populateKeptSite(&window);
    const int lines = window.machineBrowser->size();
    for (int line = 1; line <= std::min(lines, int(std::size(shippedSite))); ++line) {
        const ShippedMachine& expected = shippedSite[line - 1];
        const Machine& machine = *window.machines[size_t(line - 1)];
        SCOPED_TRACE(::testing::Message() << "line " << line << ", " << expected.name);
        EXPECT_STREQ(window.machineBrowser->text(line), expected.name);
        ASSERT_EQ(machine.params.size(), expected.parameters.size());
        for (size_t i = 0; i < expected.parameters.size(); ++i) {
            const Parameter& p = expected.parameters[i];
            EXPECT_EQ(machine.paramNames[i], p.label) << "parameter " << i;
            EXPECT_EQ(machine.paramRanges[i].first, p.min) << p.label;
            EXPECT_EQ(machine.paramRanges[i].second, p.max) << p.label;
            EXPECT_EQ(machine.params[i], p.start) << p.label;
        }
    }
    EXPECT_EQ(lines, int(std::size(shippedSite)))
        << "This test pins the site the program ships with: " << std::size(shippedSite) << " machines, \""
        << shippedSite[0].name << "\" to \"" << std::end(shippedSite)[-1].name << "\"; "
        << "the list holds " << lines << ". A machine added to the site fails this test, and only this one: "
        << "that is expected. If the machine is meant to ship with the program, add it to shippedSite "
        << "in tests/ShippedSiteTest.cpp, at its end: its name, then each parameter's label, "
        << "minimum, maximum and start value, as its constructor sets them.";
}
