#include "harness/SiteList.h"

#include "app/Site.h"

MachineList listOf(void (*populate)(MachineRecorder*))
{
    // Never destroyed: the machines stay reachable to the end of the process,
    // like the program's own, whatever becomes of the lists made of them.
    static MachineRecorder* const kept = new MachineRecorder;
    MachineRecorder recorder;
    populate(&recorder);
    MachineList list;
    for (Machine* machine : recorder.machines) {
        kept->addMachine(machine);
        list.push_back({int(list.size()) + 1, machine->name, machine});
    }
    return list;
}

const MachineList& siteList()
{
    static const MachineList list = listOf(populateSite<MachineRecorder>);
    return list;
}
