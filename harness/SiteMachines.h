#pragma once

// The machines of the work site as the list shows them, top to bottom.
enum class SiteMachine { DumpTruck, Crane, Excavator, Example1, Example2 };

struct ListedMachine {
    SiteMachine machine;
    int line;         // from 1, as the program prints it
    const char* name;
};

const ListedMachine siteMachines[] = {
    {SiteMachine::DumpTruck, 1, "Dump truck"},
    {SiteMachine::Crane, 2, "Crane"},
    {SiteMachine::Excavator, 3, "Excavator"},
    {SiteMachine::Example1, 4, "Example1"},
    {SiteMachine::Example2, 5, "Example2"},
};

inline const ListedMachine& listed(SiteMachine machine)
{
    for (const ListedMachine& m : siteMachines)
        if (m.machine == machine)
            return m;
    return siteMachines[0];
}
