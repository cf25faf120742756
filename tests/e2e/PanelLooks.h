#pragma once

#include <algorithm>

#include "harness/Image.h"
#include "harness/Layout.h"

// What the panel's widgets look like in a window shot. FLTK draws an
// inactive widget without any black (its frame and text are greyed), so
// black pixels tell an active slider from an inactive one.
inline bool sliderLooksActive(const Image& window, int i)
{
    const Rect r = layout::slider(i);
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            if (std::max({window.at(x, y).r, window.at(x, y).g, window.at(x, y).b}) < 64)
                return true;
    return false;
}

// Pixels of FLTK's selection colour (navy) in the list: the selected line's bar.
inline int listHighlight(const Image& window)
{
    int n = 0;
    const Rect& r = layout::listInside;
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x)
            n += window.at(x, y) == layout::listSelection;
    return n;
}
