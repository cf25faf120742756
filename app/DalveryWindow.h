#pragma once

#include <FL/Fl_Double_Window.H>

#include <vector>

#include "app/Rock.h"

class Fl_Browser;
class Fl_Button;
class Fl_Group;
class Fl_Value_Slider;
class Machine;
class SiteDisplay;

// The main window: the site display on the left, the control panel on the
// right, and the model they share (machines, selection, rocks).
class DalveryWindow : public Fl_Double_Window {
public:
    DalveryWindow();
    ~DalveryWindow() override;

    // Lists the machine (by name) and points it back at this window.
    void addMachine(Machine* machine);
    // Binds the sliders to the machine's parameters, or greys them out for null.
    void selectMachine(Machine* machine);

    SiteDisplay* display;
    Fl_Group* panel;
    Fl_Browser* machineBrowser;          // line k + 1 holds machines[k]
    std::vector<Fl_Value_Slider*> sliders; // ten, top to bottom
    Fl_Button* worldButton;
    Fl_Button* machineButton;
    Fl_Button* driverButton;
    Fl_Button* addRockButton;
    Fl_Button* clearRocksButton;
    std::vector<Machine*> machines;      // not owned; live to the end of the program
    Machine* selectedMachine;            // one of machines, or null
    std::vector<Rock> rocks;
};
