#pragma once

#include "view/Rect.h"

// The main window's geometry in FLTK units: the window coordinates of its
// widgets, as many pixels at scale 1, and as many times the scale on a
// scaled screen. The program builds its window from these; the tour, the
// harness of the real program and the benchmarks find the widgets here.
namespace layout {

constexpr Rect window{50, 50, 800, 600}; // where the program asks to open, on the screen
constexpr Rect view{5, 5, 625, 590};
constexpr Rect panel{630, 0, 170, 590};
constexpr Rect list{635, 5, 160, 105};

enum class Button { World, Machine, Driver, AddRock, ClearRocks };

struct ButtonPlace {
    Button button;
    const char* label;
    Rect rect;
};

constexpr ButtonPlace buttons[] = {
    {Button::World, "world", {635, 135, 50, 20}},
    {Button::Machine, "machine", {685, 135, 60, 20}},
    {Button::Driver, "driver", {745, 135, 50, 20}},
    {Button::AddRock, "Add Rock", {635, 170, 75, 20}},
    {Button::ClearRocks, "Clear Rocks", {715, 170, 80, 20}},
};

inline const ButtonPlace& place(Button button)
{
    for (const ButtonPlace& p : buttons)
        if (p.button == button)
            return p;
    return buttons[0];
}

constexpr int sliderCount = 10;

// Top to bottom, under the buttons.
constexpr Rect slider(int i)
{
    return {635, 200 + 40 * i, 160, 20};
}

} // namespace layout
