#include "app/DalveryWindow.h"

#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include <cstdio>

#include "app/Callbacks.h"
#include "machines/Machine.h"
#include "view/SiteDisplay.h"
#include "view/WindowLayout.h"

namespace {

Fl_Button* newButton(layout::Button which)
{
    const layout::ButtonPlace& place = layout::place(which);
    const Rect& r = place.rect;
    return new Fl_Button(r.x, r.y, r.w, r.h, place.label);
}

const struct {
    layout::Button button;
    Fl_Button* DalveryWindow::*field;
} viewButtons[] = {
    {layout::Button::World, &DalveryWindow::worldButton},
    {layout::Button::Machine, &DalveryWindow::machineButton},
    {layout::Button::Driver, &DalveryWindow::driverButton},
};

} // namespace

DalveryWindow::DalveryWindow()
    : Fl_Double_Window(layout::window.x, layout::window.y, layout::window.w, layout::window.h, "Dalvery"),
      selectedMachine(nullptr)
{
    // Docks and taskbars match the window to its desktop entry by this name:
    // the X instance name under X11, the app id under Wayland. FLTK's own
    // default would be "FLTK".
    xclass(DALVERY_APP_ID);

    panel = new Fl_Group(layout::panel.x, layout::panel.y, layout::panel.w, layout::panel.h);

    const Rect& list = layout::list;
    machineBrowser = new Fl_Browser(list.x, list.y, list.w, list.h, "select machine");
    machineBrowser->type(FL_HOLD_BROWSER);
    Fl_Group::current()->resizable(machineBrowser);
    machineBrowser->callback(machineBrowserCallback, this);

    addRockButton = newButton(layout::Button::AddRock);
    addRockButton->callback(addRockCallback, this);
    clearRocksButton = newButton(layout::Button::ClearRocks);
    clearRocksButton->callback(clearRocksCallback, this);

    for (int i = 0; i < layout::sliderCount; ++i) {
        const Rect r = layout::slider(i);
        Fl_Value_Slider* slider = new Fl_Value_Slider(r.x, r.y, r.w, r.h, "unused");
        sliders.push_back(slider);
        slider->minimum(-100);
        slider->type(FL_HOR_SLIDER);
        slider->maximum(100);
        slider->step(1);
        slider->deactivate();
        slider->callback(sliderCallback, this);
    }

    for (const auto& place : viewButtons) {
        Fl_Button* button = newButton(place.button);
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
