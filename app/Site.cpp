#include "app/Site.h"

#include "app/DalveryWindow.h"

void buildSite(DalveryWindow* window)
{
    (void)window;
}
