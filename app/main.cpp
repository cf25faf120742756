#include <FL/Fl.H>

#include "app/DalveryWindow.h"
#include "app/Site.h"
#include "machines/ExampleMachine.h"

int main()
{
    DalveryWindow* window = new DalveryWindow();
    buildSite(window);
    window->addMachine(new ExampleMachine("Example1", 0, 0, 2));
    window->addMachine(new ExampleMachine("Example2", 10, 0, 2));
    window->show();
    Fl::run();
    return 0; // the window and the machines are left to the end of the process
}
