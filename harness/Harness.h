#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "harness/Image.h"
#include "harness/Layout.h"
#include "harness/SiteList.h"
#include "harness/XSession.h"

class ChildProcess;
class VirtualDisplay;
class WindowManager;

// Drives the real program as a user would: on a virtual display of its own
// it starts the binary, waits for its window, clicks, drags and types with
// real X input, reads what the program prints and looks at the pixels.
//
// Each action returns once the program has handled the input and drawn the
// frame that follows, however slow the machine: the program answers a
// request sent after the input only when it has read the input, and a
// second one only after it has drawn (FLTK draws before it waits for more
// events). The picture is then taken once it holds still, for Wine: it
// answers as it reads the X events, before the program has handled the
// messages it makes of them.
enum class Drag { Left, Right, AltRight, ShiftAltRight };

struct Point {
    int x;
    int y;
};

// The command that starts the program under test, its words separated by
// spaces: $DALVERY_COMMAND when set, such as "wine build-windows/dalvery.exe"
// for the Windows build, else the program of this build.
std::string programUnderTest();

class Harness {
public:
    // `command` starts the program (see programUnderTest()).
    // `windowManager` starts one on the display before the program, e.g.
    // {"openbox"}; without it there is none, and the window is where and
    // how big the program makes it. `scale` is the screen's scaling factor
    // the program is told (FLTK 1.4 follows it; 1.3 ignores it). The screen
    // is `monitors` monitors side by side, the window on the first. `list`
    // is the machine list the program is expected to show.
    explicit Harness(const std::string& command,
                     const std::vector<std::string>& windowManager = {}, double scale = 1, int monitors = 1,
                     MachineList list = siteList());
    ~Harness();
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    // Empty once the window is up and drawn and while every input has been
    // answered as expected; else what went wrong.
    const std::string& problem() const { return problem_; }

    // Also follows the window where a window manager has moved it.
    std::optional<XSession::WindowState> windowState();
    // The window as on the screen: its pixels, `scale()` per window unit.
    Image windowShot();
    // The site view alone.
    Image viewShot();
    // Screen pixels per window unit. FLTK scales the whole window alike, so
    // the window's size on the screen tells it, also after a rescale.
    double scale() const { return double(frame.w) / layout::window.w; }
    // A rectangle of window units as pixels of a window shot.
    Rect toPixels(const Rect& units) const;
    bool saveWindowShot(const std::string& path);

    // Everything the program has printed so far.
    const std::string& output();
    bool running();
    static std::string selectionLine(int line, const std::string& name);

    const MachineList& list() const { return list_; }
    // How many lines the list's box shows whole.
    int shownLines() const { return wholeLines; }

    // Clicks a list line, found by what the list shows, and waits for its
    // selection line; false when it was not printed in time. A line out of
    // view is wheeled into view first, as a user would.
    bool selectLine(int line, const std::string& name);
    bool select(const ListedMachine& machine);
    // A click in the list's empty space below its last line; false, and no
    // click, when the list has none.
    bool clickBelowLastLine();
    void press(layout::Button button);
    // Drags slider `i` to `fraction` of its travel (0 its minimum, 1 its
    // maximum) the way a user does: press on the knob, move, release.
    void setSlider(int i, double fraction);
    // A drag in the site view between two points in view units.
    void dragInView(Point from, Point to, Drag kind);

    // FLTK 1.4's keys that rescale the window: Ctrl with '+', '-' or '0',
    // typed as on a US keyboard ('+' is Shift and '='), with the pointer over
    // the view. Waits for the window's new size, for the factor FLTK shows
    // meanwhile to go, and for a still picture; false when the size did not
    // change.
    bool rescaleWithKey(char key);

    // Raw input for gestures of the caller's own: window units,
    // anywhere on the screen or past it; nothing is waited for.
    void moveTo(Point windowPoint);
    void button(int number, bool press);
    void key(const std::string& keysym, bool press);

    // The user closes the window: through the window manager when there is
    // one, else with the message a window manager sends.
    void requestClose();
    // Asks the window manager to move and resize the window, as a pager does.
    void requestMoveResize(const Rect& onScreen);
    void pressEscape();
    std::optional<int> waitForExit(double seconds);

    // Waits until the window's picture and its place on the screen hold
    // still, and returns the picture.
    Image settle();
    // Makes sure the program has handled all input sent so far and drawn
    // what it made it draw, and the picture holds still; false when the
    // program did not answer.
    bool syncWithProgram();

private:
    bool waitForWindow();
    std::vector<int> findListLines(const Image& shot);
    Rect listLinesArea(const Image& shot) const;
    bool scrollbarShown(const Image& shot) const;
    std::string listShows() const;
    void wheelList(bool down);
    bool answered();
    void afterInput();
    Point toScreen(int wx, int wy) const;
    void click(int wx, int wy);
    void dragPath(Point from, Point to, int button); // window coordinates

    std::unique_ptr<VirtualDisplay> display;
    std::unique_ptr<XSession> x;
    std::unique_ptr<WindowManager> windowManager;
    std::unique_ptr<ChildProcess> program;
    std::string problem_;
    unsigned long window = 0;
    Rect frame;                   // the window on the screen
    MachineList list_;            // what the list is expected to hold
    int wholeLines = 0;
    // The list lines in view when last looked at: the middle of each in
    // window units, and the number of the first.
    std::vector<double> lineCentres;
    int firstShownLine = 1;
    // Whether the list was last wheeled to its end or to its top, where it
    // opens, and its scrollbar then.
    bool wheeledDown = false;
    Image scrollbarThen;
};
