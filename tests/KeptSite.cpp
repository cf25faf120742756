#include "tests/KeptSite.h"

#include <vector>

#include "app/DalveryWindow.h"
#include "app/Site.h"

void populateKeptSite(DalveryWindow* window)
{
    // Never destroyed, so the leak check at exit still finds the machines.
    static std::vector<Machine*>* const kept = new std::vector<Machine*>;
    const size_t before = window->machines.size();
    populateSite(window);
    kept->insert(kept->end(), window->machines.begin() + long(before), window->machines.end());
}
