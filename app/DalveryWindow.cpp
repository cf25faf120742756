#include "app/DalveryWindow.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdio>

#include "app/Callbacks.h"
#include "machines/Machine.h"
#include "view/SiteDisplay.h"

namespace {

constexpr int sliderCount = 10;

// Panel layout, window pixels.
constexpr int panelX = 630, panelW = 170, panelH = 590;
constexpr int columnX = 635, columnW = 160; // the panel's inner column
constexpr int sliderTop = 200, sliderPitch = 40, sliderH = 20;

struct ViewButtonPlace {
    Fl_Button* DalveryWindow::*field;
    int x, w;
    const char* label;
};

const ViewButtonPlace viewButtons[] = {
    {&DalveryWindow::worldButton, 635, 50, "world"},
    {&DalveryWindow::machineButton, 685, 60, "machine"},
    {&DalveryWindow::driverButton, 745, 50, "driver"},
};
constexpr int viewButtonY = 135, viewButtonH = 20;

} // namespace

DalveryWindow::DalveryWindow()
    : Fl_Double_Window(50, 50, 800, 600, "Dalvery"),
      selectedMachine(nullptr)
{
    // Docks and taskbars match the window to its desktop entry by this name:
    // the X instance name under X11, the app id under Wayland. FLTK's own
    // default would be "FLTK".
    xclass(DALVERY_APP_ID);

    panel = new Fl_Group(panelX, 0, panelW, panelH);

    machineBrowser = new Fl_Browser(columnX, 5, columnW, 105, "select machine");
    machineBrowser->type(FL_HOLD_BROWSER);
    Fl_Group::current()->resizable(machineBrowser);
    machineBrowser->callback(machineBrowserCallback, this);

    addRockButton = new Fl_Button(635, 170, 75, 20, "Add Rock");
    addRockButton->callback(addRockCallback, this);
    clearRocksButton = new Fl_Button(715, 170, 80, 20, "Clear Rocks");
    clearRocksButton->callback(clearRocksCallback, this);

    for (int i = 0; i < sliderCount; ++i) {
        Fl_Value_Slider* slider =
            new Fl_Value_Slider(columnX, sliderTop + sliderPitch * i, columnW, sliderH, "unused");
        sliders.push_back(slider);
        slider->minimum(-100);
        slider->type(FL_HOR_SLIDER);
        slider->maximum(100);
        slider->step(1);
        slider->deactivate();
        slider->callback(sliderCallback, this);
    }

    for (const ViewButtonPlace& place : viewButtons) {
        Fl_Button* button = new Fl_Button(place.x, viewButtonY, place.w, viewButtonH, place.label);
        button->type(FL_RADIO_BUTTON);
        button->selection_color(FL_YELLOW);
        button->callback(viewButtonCallback, this);
        this->*place.field = button;
    }
    worldButton->value(1);

    panel->end();

    display = new SiteDisplay();
    display->mainWindow = this;
    end();
}

DalveryWindow::~DalveryWindow() = default;

void DalveryWindow::addMachine(Machine* machine)
{
    machines.push_back(machine);
    machineBrowser->add(machine->name.c_str(), machine);
    machine->window = this;
}

void machineBrowserCallback(Fl_Widget*, void* data)
{
    DalveryWindow* window = static_cast<DalveryWindow*>(data);
    const int line = window->machineBrowser->value();
    if (line == 0) {
        window->selectMachine(nullptr);
        return;
    }
    Machine* machine = static_cast<Machine*>(window->machineBrowser->data(line));
    std::printf("Selected Machine %d '%s'\n", line, machine->name.c_str());
    // Flushed at once so a log or a pipe sees the selection as it happens.
    std::fflush(stdout);
    window->selectMachine(machine);
}

void viewButtonCallback(Fl_Widget*, void* data)
{
    static_cast<DalveryWindow*>(data)->display->damage(1);
}
