#pragma once

#include <X11/Xlib.h>

// Reads single pixels of the screen of an X display from outside the program
// that draws them.
class ScreenProbe {
public:
    // Opens the display named by DISPLAY; ok() tells whether that worked.
    ScreenProbe();
    ~ScreenProbe();
    ScreenProbe(const ScreenProbe&) = delete;
    ScreenProbe& operator=(const ScreenProbe&) = delete;

    bool ok() const { return display != nullptr; }
    int depth() const;

    struct Rgb {
        int r, g, b;
    };
    // The pixel at (x, y) of the root window, 8 bits a channel.
    Rgb pixel(int x, int y) const;

private:
    Display* display;
};
