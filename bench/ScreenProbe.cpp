#include "bench/ScreenProbe.h"

#include <X11/Xutil.h>

ScreenProbe::ScreenProbe() : display(XOpenDisplay(nullptr)) {}

ScreenProbe::~ScreenProbe()
{
    if (display)
        XCloseDisplay(display);
}

int ScreenProbe::depth() const
{
    return DefaultDepth(display, DefaultScreen(display));
}

ScreenProbe::Rgb ScreenProbe::pixel(int x, int y) const
{
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image)
        return {-1, -1, -1};
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    // Depth 24 TrueColor: 8 bits a channel, red highest.
    return {int((p >> 16) & 0xff), int((p >> 8) & 0xff), int(p & 0xff)};
}
