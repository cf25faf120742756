#pragma once

#include <vector>

#include "machines/Crane.h"
#include "machines/DumpTruck.h"
#include "machines/ExampleMachine.h"
#include "machines/FlatExcavator.h"

// The work site, said once: the program fills its window with it, and the
// tests, the tour and the benchmarks read it from here. `window` is the main
// window in the program, and anything else with an addMachine(Machine*)
// where a site is read, not shown. Each machine is added as it is made: the
// machine list shows them in this order, top to bottom.

// Takes a site's machines where the program's window would list them, for
// whatever reads the site without showing it.
struct MachineRecorder {
    void addMachine(Machine* machine) { machines.push_back(machine); }
    std::vector<Machine*> machines;
};

// The site's working machines: the dump truck, the crane and the excavator.
template <class Window>
void buildSite(Window* window)
{
    window->addMachine(new DumpTruck(-24, -24, 6, 0));
    window->addMachine(new Crane(15, 17, 6, 9, 7));
    window->addMachine(new FlatExcavator());
}

// The whole site: the working machines, then the examples. A machine of
// your own goes after Example2's line, where it moves no line above it.
template <class Window>
void populateSite(Window* window)
{
    buildSite(window);
    window->addMachine(new ExampleMachine("Example1", 0, 0, 2));
    window->addMachine(new ExampleMachine("Example2", 10, 0, 2));
}
