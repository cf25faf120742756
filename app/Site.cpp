#include "app/Site.h"

#include "app/DalveryWindow.h"
#include "machines/FlatExcavator.h"

void buildSite(DalveryWindow* window)
{
    (void)window;
    window->addMachine(new FlatExcavator());
}
