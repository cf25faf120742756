#include <FL/Fl.H>

#include "app/DalveryWindow.h"
#include "app/Site.h"

int main()
{
    // Held in static storage: the window, and through it the machines, stay
    // reachable to the end of the process, so a leak checker sees them kept,
    // not lost, whatever FLTK still points at when the event loop ends.
    static DalveryWindow* const window = new DalveryWindow();
    populateSite(window); // buildSite's truck, crane and excavator, then Example1 and Example2
    window->show();
    Fl::run();
    return 0; // the window and the machines are left to the end of the process
}
