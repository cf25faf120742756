#pragma once

// A rectangle: window units, screen pixels or image pixels, as the caller says.
struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    constexpr Rect movedBy(int dx, int dy) const { return {x + dx, y + dy, w, h}; }
};
