#pragma once

#include <string>
#include <vector>

#include "app/Site.h"
#include "machines/Machine.h"

// The machine list of a program, read from the code that fills it
// (app/Site.h), so that what the tests, the tour and the benchmarks expect
// follows the site wherever it changes.
struct ListedMachine {
    int line;               // from 1, as the program prints it; 0: not in the list
    std::string name;
    const Machine* machine; // as the program's code makes it: its type and parameters
};
using MachineList = std::vector<ListedMachine>;

// The list that `populate` fills, top to bottom. Its machines are made
// afresh and kept to the end of the process, as the program keeps its own.
MachineList listOf(void (*populate)(MachineRecorder*));

// The program's own list: its site as populateSite makes it.
const MachineList& siteList();

// The line of the `nth` machine (from 0) of type M, e.g. the second
// ExampleMachine; line 0 when there is none.
template <class M, int nth = 0>
const ListedMachine& listed(const MachineList& list = siteList())
{
    static const ListedMachine none{0, "", nullptr};
    int seen = 0;
    for (const ListedMachine& m : list)
        if (dynamic_cast<const M*>(m.machine) && seen++ == nth)
            return m;
    return none;
}
