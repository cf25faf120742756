#pragma once

#include <optional>
#include <string>

#include "harness/Image.h"

typedef struct _XDisplay Display;

// The harness's own connection to the X server: it finds windows, reads the
// screen's pixels and sends input through the XTest extension, so the
// program sees the same events as from a real mouse and keyboard.
class XSession {
public:
    explicit XSession(const std::string& displayName);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // False when the server or its XTest extension cannot be reached.
    bool usable() const { return display && hasXTest; }

    struct WindowState {
        std::string title;       // WM_NAME
        // The instance half of WM_CLASS, which docks match to the desktop
        // entry (FLTK capitalises the class half).
        std::string windowInstance;
        bool viewable = false;
        bool managed = false;    // in the window manager's client list
        Rect frame;              // on the screen, without a window manager's frame
    };
    // A top-level window titled `title`, also inside a window manager's
    // frame; 0 when there is none yet.
    unsigned long findTopLevel(const std::string& title);
    std::optional<WindowState> stateOf(unsigned long window);
    // Top-level windows on the screen now: a program's, a window manager's
    // frames, and any transient ones such as tooltips.
    int viewableTopLevels();

    // The screen's pixels; they read true at depth 24, as the virtual
    // displays have.
    Image grab(const Rect& screenArea);
    int depth() const;

    void moveTo(int x, int y);
    void button(int number, bool press);          // 1 left, 2 middle, 3 right
    void key(const std::string& keysym, bool press); // e.g. "Alt_L", "Escape"
    // The close request a window manager sends when the user closes a window.
    void requestClose(unsigned long window);

    // A round trip through the program that made `window`: a request that it
    // answers when its event loop reaches it, so after every event that
    // reached it before, XTest's input included. False when no answer came
    // within `seconds`.
    bool roundTrip(unsigned long window, double seconds);

    // True once a window manager manages the screen and answers requests;
    // until then each call asks it again. Call it until it holds.
    bool windowManagerAnswers();
    // What a pager or a taskbar asks of the window manager on a user's
    // behalf: to move and resize a window, or to close it.
    void askToMoveResize(unsigned long window, const Rect& wanted);
    void askToClose(unsigned long window);

private:
    Display* display = nullptr;
    bool hasXTest = false;
    unsigned long probe = 0; // an unmapped window of ours to ask a window manager about
    unsigned long requestor = 0; // an unmapped window of ours that answers come to
    unsigned long requests = 0;  // round trips asked for, which tell their answers apart
};
