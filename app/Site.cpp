#include "app/Site.h"

#include "app/DalveryWindow.h"
#include "machines/Crane.h"
#include "machines/DumpTruck.h"
#include "machines/FlatExcavator.h"

void buildSite(DalveryWindow* window)
{
    window->addMachine(new DumpTruck(-24, -24, 6, 0));
    window->addMachine(new Crane(15, 17, 6, 9, 7));
    window->addMachine(new FlatExcavator());
}
