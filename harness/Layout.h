#pragma once

#include "harness/Rgb.h"
#include "view/WindowLayout.h"

// What the harness works out from the window's layout: where FLTK draws
// inside the widgets. Window units, like the layout.
namespace layout {

constexpr Rect listInside{list.x + 2, list.y + 2, list.w - 4, list.h - 4}; // within the sunken frame
// When its lines overflow it, the list shows FLTK's scrollbar, 16 units wide,
// at its right; the lines' text starts at the left.
constexpr int scrollbarWidth = 16;
constexpr Rect listText{listInside.x, listInside.y, listInside.w - scrollbarWidth, listInside.h};
constexpr Rect listScrollbar{listText.x + listText.w, listInside.y, scrollbarWidth, listInside.h};
// FLTK's selection colour: the bar behind the selected line, its text white
// as the list's background is.
constexpr Rgb listSelection{0, 0, 128};
constexpr Rgb listBackground{255, 255, 255};

// A value slider keeps its left 35 units for the number; the track is the
// rest inside the 2-unit frame, and the knob is half the inner height plus
// one wide. The knob's left edge runs over the track's width less its own.
constexpr int sliderNumberWidth = 35;
constexpr int sliderFrame = 2;
constexpr int sliderKnob = (slider(0).h - 2 * sliderFrame) / 2 + 1;

inline Rect sliderTrack(int i)
{
    const Rect s = slider(i);
    return {s.x + sliderNumberWidth + sliderFrame, s.y + sliderFrame,
            s.w - sliderNumberWidth - 2 * sliderFrame, s.h - 2 * sliderFrame};
}

} // namespace layout
