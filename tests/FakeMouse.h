#pragma once

#include <FL/Fl.H>

// Sets FLTK's event state as the event loop would for a mouse event at
// (x, y) in the receiving window, with `button` (FL_LEFT_MOUSE...) and the
// modifier `state` (FL_ALT...).
inline void fakeMouse(int x, int y, int button, int state = 0)
{
    Fl::e_x = x;
    Fl::e_y = y;
    Fl::e_keysym = FL_Button + button;
    Fl::e_state = state;
}
