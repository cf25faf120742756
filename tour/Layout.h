#pragma once

#include "tour/Image.h"

// Where the program's widgets are, in window pixels, as a user sees them.
namespace layout {

const Rect window{50, 50, 800, 600}; // on the screen
const Rect view{5, 5, 625, 590};
const Rect list{635, 5, 160, 105};
const Rect listInside{637, 7, 156, 101}; // within the list's sunken frame

enum class Button { World, Machine, Driver, AddRock, ClearRocks };

struct ButtonPlace {
    Button button;
    const char* label;
    Rect rect;
};

const ButtonPlace buttons[] = {
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

inline Rect slider(int i)
{
    return {635, 200 + 40 * i, 160, 20};
}

// A value slider keeps its left 35 pixels for the number; the track is the
// rest inside the 2-pixel frame, and the knob is half the inner height plus
// one wide. The knob's left edge runs over the track's width less its own.
constexpr int sliderNumberWidth = 35;
constexpr int sliderFrame = 2;
constexpr int sliderKnob = (20 - 2 * sliderFrame) / 2 + 1;

inline Rect sliderTrack(int i)
{
    const Rect s = slider(i);
    return {s.x + sliderNumberWidth + sliderFrame, s.y + sliderFrame,
            s.w - sliderNumberWidth - 2 * sliderFrame, s.h - 2 * sliderFrame};
}

} // namespace layout
