// dalvery_long_list: the program with one machine of the tests' own after
// its site's, its entry point otherwise the program's own.
#include <FL/Fl.H>

#include "app/DalveryWindow.h"
#include "tests/e2e/LongSite.h"

int main()
{
    static DalveryWindow* const window = new DalveryWindow();
    populateLongSite(window);
    window->show();
    Fl::run();
    return 0;
}
