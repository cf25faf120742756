#include "harness/XSession.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

// Windows come and go under the harness (the program may be closing); a
// request about a vanished window must not end the test process, which is
// what Xlib's default handler does.
int ignoreXError(Display*, XErrorEvent*)
{
    return 0;
}

// Depth 3 reaches a window that a window manager has put in a frame, even
// one nested a level deeper.
Window findTitled(Display* display, Window parent, const std::string& title, int depth)
{
    Window root, grandparent, *children = nullptr;
    unsigned count = 0;
    if (depth == 0 || !XQueryTree(display, parent, &root, &grandparent, &children, &count))
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
    for (unsigned i = 0; i < count && !found; ++i)
        found = findTitled(display, children[i], title, depth - 1);
    if (children)
        XFree(children);
    return found;
}

// The windows a window manager lists in a property of the root window.
std::vector<Window> rootWindowList(Display* display, const char* property)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::vector<Window> windows;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, property, False), 0,
                           4096, False, XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data && format == 32) {
        // Xlib hands 32-bit items back as longs.
        const unsigned long* items = reinterpret_cast<const unsigned long*>(data);
        windows.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return windows;
}

// A client message about `window`, sent to `target`: to the window itself
// from a window manager, or to the root window for the window manager.
void sendMessage(Display* display, Window target, long eventMask, Window window, const char* message,
                 std::initializer_list<long> data)
{
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, message, False);
    event.xclient.format = 32;
    int i = 0;
    for (long d : data)
        event.xclient.data.l[i++] = d;
    XSendEvent(display, target, False, eventMask, &event);
    XSync(display, False);
}

// As the Extended Window Manager Hints ask of pagers and taskbars.
void tellWindowManager(Display* display, Window window, const char* message,
                       std::initializer_list<long> data)
{
    sendMessage(display, DefaultRootWindow(display), SubstructureRedirectMask | SubstructureNotifyMask,
                window, message, data);
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
    return findTitled(display, DefaultRootWindow(display), title, 3);
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
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint)) {
        state.windowInstance = hint.res_name ? hint.res_name : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    const std::vector<Window> clients = rootWindowList(display, "_NET_CLIENT_LIST");
    state.managed = std::find(clients.begin(), clients.end(), window) != clients.end();
    return state;
}

int XSession::viewableTopLevels()
{
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return 0;
    int viewable = 0;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        viewable += XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable;
    }
    if (children)
        XFree(children);
    return viewable;
}

int XSession::depth() const
{
    return DefaultDepth(display, DefaultScreen(display));
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
    sendMessage(display, window, NoEventMask, window, "WM_PROTOCOLS",
                {long(XInternAtom(display, "WM_DELETE_WINDOW", False)), CurrentTime});
}

// ICCCM has every client answer a selection request, a refusal included, and
// FLTK and Wine answer one whatever they own. The request is for a selection
// and a target of ours, which nobody has, so the program's answer is a
// refusal that changes nothing.
bool XSession::roundTrip(unsigned long window, double seconds)
{
    if (!requestor)
        requestor = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    const Atom ours = XInternAtom(display, "DALVERY_HARNESS", False);
    XEvent request;
    std::memset(&request, 0, sizeof request);
    request.xselectionrequest.type = SelectionRequest;
    request.xselectionrequest.owner = window;
    request.xselectionrequest.requestor = requestor;
    request.xselectionrequest.selection = ours;
    request.xselectionrequest.target = ours;
    request.xselectionrequest.property = ours;
    // The answer carries the request's time back: it numbers the requests.
    request.xselectionrequest.time = ++requests;
    // Wine at times reads a request off its connection without waking up to
    // answer it, until another event comes: so the request is sent again
    // while no answer has come. Any copy comes after the input before it.
    constexpr auto again = std::chrono::milliseconds(200);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline =
        Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    Clock::time_point nextSend = Clock::now();
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= nextSend) {
            // No event mask: the event goes to the client that made the window.
            if (!XSendEvent(display, window, False, NoEventMask, &request))
                return false;
            XFlush(display);
            nextSend = now + again;
        }
        XEvent answer;
        while (XCheckTypedWindowEvent(display, requestor, SelectionNotify, &answer))
            if (answer.xselection.time == requests)
                return true;
        if (now >= deadline)
            return false;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(deadline, nextSend) - now);
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, int(wait.count()) + 1);
        XEventsQueued(display, QueuedAfterReading);
    }
}

bool XSession::windowManagerAnswers()
{
    // Saying it manages the screen (_NET_SUPPORTING_WM_CHECK) is not enough:
    // openbox says so before its event loop runs, and a window mapped then
    // stays unmapped until some later event wakes the loop. So it is asked
    // for the frame extents of a window of ours, again until it answers;
    // each request is such an event.
    if (rootWindowList(display, "_NET_SUPPORTING_WM_CHECK").empty())
        return false;
    if (!probe)
        probe = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    int count = 0;
    Atom* properties = XListProperties(display, probe, &count);
    const Atom extents = XInternAtom(display, "_NET_FRAME_EXTENTS", False);
    const bool answered =
        properties && std::find(properties, properties + count, extents) != properties + count;
    if (properties)
        XFree(properties);
    if (!answered)
        tellWindowManager(display, probe, "_NET_REQUEST_FRAME_EXTENTS", {});
    return answered;
}

void XSession::askToMoveResize(unsigned long window, const Rect& wanted)
{
    // The window's own gravity; x, y, width and height given; from a pager (2).
    const long flags = (1 << 8) | (1 << 9) | (1 << 10) | (1 << 11) | (2 << 12);
    tellWindowManager(display, window, "_NET_MOVERESIZE_WINDOW",
                      {flags, wanted.x, wanted.y, wanted.w, wanted.h});
}

void XSession::askToClose(unsigned long window)
{
    tellWindowManager(display, window, "_NET_CLOSE_WINDOW", {CurrentTime, 2});
}
