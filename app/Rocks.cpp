#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
#include "machines/Machine.h"
#include "view/SiteDisplay.h"

void addRockCallback(Fl_Widget*, void* data)
{
    DalveryWindow* window = static_cast<DalveryWindow*>(data);
    Machine* machine = window->selectedMachine;
    if (!machine)
        return;
    float x, y, z;
    if (!machine->getLoadPoint(x, y, z))
        return;
    window->rocks.push_back({x, y, z});
    window->display->damage(1);
}

void clearRocksCallback(Fl_Widget*, void* data)
{
    DalveryWindow* window = static_cast<DalveryWindow*>(data);
    window->rocks.clear();
    window->display->damage(1);
}
