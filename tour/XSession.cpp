#include "tour/XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstring>

namespace {

// Windows come and go under the driver (the program may be closing); a
// request about a vanished window must not end the test process, which is
// what Xlib's default handler does.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

} // namespace

XSession::XSession(const std::string& displayName)
{
    XSetErrorHandler(ignoreXError);
    display = XOpenDisplay(displayName.c_str());
    if (!display)
        return;
    int eventBase, errorBase, major, minor;
    hasXTest = XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor);
}

XSession::~XSession()
{
    if (display)
        XCloseDisplay(display);
}

unsigned long XSession::findTopLevel(const std::string& title)
{
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name)
                found = children[i];
            XFree(name);
        }
    }
    if (children)
        XFree(children);
    return found;
}

std::optional<XSession::WindowState> XSession::stateOf(unsigned long window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return std::nullopt;
    WindowState state;
    state.viewable = attributes.map_state == IsViewable;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    state.frame = {x, y, attributes.width, attributes.height};
    char* name = nullptr;
    if (XFetchName(display, window, &name) && name) {
        state.title = name;
        XFree(name);
    }
    return state;
}

Image XSession::grab(const Rect& area)
{
    XImage* shot = XGetImage(display, DefaultRootWindow(display), area.x, area.y,
                             unsigned(area.w), unsigned(area.h), AllPlanes, ZPixmap);
    if (!shot)
        return Image();
    Image image(area.w, area.h);
    const bool packed = shot->bits_per_pixel == 32 && shot->red_mask == 0xff0000 &&
                        shot->green_mask == 0xff00 && shot->blue_mask == 0xff;
    for (int y = 0; y < area.h; ++y) {
        for (int x = 0; x < area.w; ++x) {
            unsigned long p;
            if (packed) {
                std::uint32_t word;
                std::memcpy(&word, shot->data + y * shot->bytes_per_line + 4 * x, 4);
                p = word;
            } else {
                p = XGetPixel(shot, x, y);
            }
            // Depth 24, as the virtual display is set up.
            image.at(x, y) = {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)};
        }
    }
    XDestroyImage(shot);
    return image;
}

void XSession::moveTo(int x, int y)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
}

void XSession::button(int number, bool press)
{
    XTestFakeButtonEvent(display, unsigned(number), press, CurrentTime);
    XSync(display, False);
}

void XSession::key(const std::string& keysym, bool press)
{
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysym.c_str()));
    XTestFakeKeyEvent(display, code, press, CurrentTime);
    XSync(display, False);
}

void XSession::requestClose(unsigned long window)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}
