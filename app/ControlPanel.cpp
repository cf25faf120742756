#include <FL/Fl_Group.H>
#include <FL/Fl_Value_Slider.H>

#include <algorithm>

#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
#include "machines/Machine.h"
#include "view/SiteDisplay.h"

namespace {

// Slider i shows parameter i; parameters past the last slider have none.
size_t boundCount(const DalveryWindow& window, const Machine& machine)
{
    return std::min(machine.params.size(), window.sliders.size());
}

} // namespace

void DalveryWindow::selectMachine(Machine* machine)
{
    if (machine) {
        const size_t n = boundCount(*this, *machine);
        for (size_t i = 0; i < n; ++i) {
            Fl_Value_Slider* slider = sliders[i];
            slider->activate();
            slider->range(machine->paramRanges[i].first, machine->paramRanges[i].second);
            // FLTK keeps the pointer: the machine's names never change or move.
            slider->label(machine->paramNames[i].c_str());
            slider->value(machine->params[i]);
        }
        for (size_t i = n; i < sliders.size(); ++i) {
            sliders[i]->label("unused");
            sliders[i]->deactivate();
        }
        // The labels stand under the sliders, outside their boxes, where a
        // slider's own redraw does not reach: a shorter label would be drawn
        // over the remains of the longer one. Repaint the panel's area.
        damage(FL_DAMAGE_ALL, panel->x(), panel->y(), panel->w(), panel->h());
    } else {
        // Greyed out, still showing the last machine's names and values.
        for (Fl_Value_Slider* slider : sliders)
            slider->deactivate();
    }
    selectedMachine = machine;
    display->damage(1);
}

void sliderCallback(Fl_Widget*, void* data)
{
    DalveryWindow* window = static_cast<DalveryWindow*>(data);
    Machine* machine = window->selectedMachine;
    if (!machine)
        return;
    // Every bound slider is written back, not only the one that moved; the
    // others hold exactly the values they were given.
    const size_t n = boundCount(*window, *machine);
    for (size_t i = 0; i < n; ++i)
        machine->params[i] = float(window->sliders[i]->value());
    window->display->damage(1);
}
