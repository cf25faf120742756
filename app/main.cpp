#include <FL/Fl.H>

#include "app/DalveryWindow.h"
#include "app/Site.h"
#include "machines/ExampleMachine.h"

int main()
{
    // Held in static storage: the window, and through it the machines, stay
    // reachable to the end of the process, so a leak checker sees them kept,
    // not lost, whatever FLTK still points at when the event loop ends.
    static DalveryWindow* const window = new DalveryWindow();
    buildSite(window);
    window->addMachine(new ExampleMachine("Example1", 0, 0, 2));
    window->addMachine(new ExampleMachine("Example2", 10, 0, 2));
    window->show();
    Fl::run();
    return 0; // the window and the machines are left to the end of the process
}
