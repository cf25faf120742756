#include "harness/Harness.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <thread>

#include "harness/ChildProcess.h"
#include "harness/Colours.h"
#include "harness/Poll.h"
#include "harness/VirtualDisplay.h"
#include "harness/WindowManager.h"

namespace {

// Xvfb, the program and its first frame: under valgrind, with both cores
// busy, the first frame has taken 40 s with FLTK 1.4 (FLTK 1.3 under 30 s).
constexpr double startSeconds = 120;
constexpr double answerSeconds = 10;   // the program reacting to one input
constexpr double changeSeconds = 5;    // the window's size after a rescale
constexpr int steadyGrabs = 4;         // equal grabs in a row that make a still picture
constexpr auto grabInterval = std::chrono::milliseconds(40);
// FLTK turns a press and the motions after it into a drag only if it sees
// the motions one by one, as they come from a hand.
constexpr auto inputPause = std::chrono::milliseconds(12);
constexpr int dragStep = 6; // pixels between two motion events

void pause()
{
    std::this_thread::sleep_for(inputPause);
}

bool isText(const Rgb& p)
{
    return std::max({p.r, p.g, p.b}) < 100;
}

bool hasText(const Image& shot, const Rect& area)
{
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x)
            if (isText(shot.at(x, y)))
                return true;
    return false;
}

std::vector<std::string> words(const std::string& command)
{
    std::istringstream in(command);
    std::vector<std::string> result;
    for (std::string word; in >> word;)
        result.push_back(word);
    return result;
}

} // namespace

std::string programUnderTest()
{
    const char* command = std::getenv("DALVERY_COMMAND");
    return command && *command ? command : DALVERY_PROGRAM;
}

Harness::Harness(const std::string& command,
                 const std::vector<std::string>& windowManagerCommand, double scale, int monitors,
                 MachineList list)
    : list_(std::move(list))
{
    // The scaled window fits where the program asks for it.
    display = std::make_unique<VirtualDisplay>(VirtualDisplay::scaledScreen(scale, 24, monitors));
    if (!display->ready()) {
        problem_ = display->problem();
        return;
    }
    if (monitors > 1 && !display->splitIntoMonitors(monitors)) {
        problem_ = "cannot split display " + display->name() + " into monitors (xrandr)";
        return;
    }
    x = std::make_unique<XSession>(display->name());
    if (!x->usable()) {
        problem_ = "cannot use display " + display->name() + " with the XTest extension";
        return;
    }
    if (!windowManagerCommand.empty()) {
        windowManager = std::make_unique<WindowManager>(windowManagerCommand, display->name(), *x);
        if (!windowManager->problem().empty()) {
            problem_ = windowManager->problem();
            return;
        }
    }
    ChildProcess::Options options;
    options.argv = words(command);
    // Always said, so that a factor in our own environment does not leak in.
    std::ostringstream factor;
    factor << scale;
    options.environment = {"DISPLAY=" + display->name(), "FLTK_SCALING_FACTOR=" + factor.str()};
    options.captureStdout = true;
    program = std::make_unique<ChildProcess>(options);
    if (!program->started()) {
        problem_ = "cannot start " + command;
        return;
    }
    if (!waitForWindow())
        return;
    if (!answered()) {
        problem_ = "the program did not answer once its window was drawn";
        return;
    }
    const Image shot = settle();
    const std::vector<int> tops = findListLines(shot);
    // The lines the box holds whole: a list longer than its box may show
    // part of one more. The lines' pitch is measured between the tops of
    // their text, which capitals align.
    wholeLines = int(tops.size());
    if (tops.size() >= 2) {
        std::vector<int> pitches;
        for (size_t i = 1; i < tops.size(); ++i)
            pitches.push_back(tops[i] - tops[i - 1]);
        std::nth_element(pitches.begin(), pitches.begin() + long(pitches.size() / 2), pitches.end());
        const int pitch = pitches[pitches.size() / 2];
        wholeLines = std::min(wholeLines, listLinesArea(shot).h / pitch);
    }
    const int expected = int(list_.size());
    if (int(lineCentres.size()) > expected)
        problem_ = "the list shows " + std::to_string(lineCentres.size()) + " lines, " + std::to_string(expected) +
                   " expected";
    else if (wholeLines < expected && !scrollbarShown(shot))
        problem_ = listShows() + ", and no scrollbar";
    scrollbarThen = shot.crop(toPixels(layout::listScrollbar));
}

Harness::~Harness() = default;

bool Harness::waitForWindow()
{
    const bool mapped = pollUntil([&] {
        if (!window)
            window = x->findTopLevel("Dalvery");
        const auto state = window ? x->stateOf(window) : std::nullopt;
        if (state && state->viewable)
            frame = state->frame;
        return (state && state->viewable) || !program->running();
    }, startSeconds);
    if (!mapped || !program->running()) {
        problem_ = program->running() ? "no window titled \"Dalvery\" was mapped"
                                      : "the program " + program->howItEnded() + " before its window was mapped";
        return false;
    }
    // Drawn: the view shows its clear colour and the list its text. A
    // program that dies at its first frame is reported at once.
    const bool drawn = pollUntil([&] {
        const Image shot = windowShot();
        return (!shot.empty() && spreadOf(shot, Colour::Background, toPixels(layout::view)).count > 1000 &&
                hasText(shot, toPixels(layout::listInside))) || !program->running();
    }, startSeconds) && program->running();
    if (!drawn)
        problem_ = program->running() ? "the window was mapped but never drawn"
                                      : "the program " + program->howItEnded() + " before its window was drawn";
    return drawn;
}

// The lines in view, found from the rows of text in the list: one run of
// rows with dark pixels, or the selection's bar, per line. The font, and
// with it the line height, is whatever the machine has. Returns the top
// row of each, pixels.
std::vector<int> Harness::findListLines(const Image& shot)
{
    lineCentres.clear();
    std::vector<int> tops;
    const Rect text = listLinesArea(shot);
    int runStart = -1;
    for (int y = text.y; y <= text.y + text.h; ++y) {
        bool line = false;
        for (int x = text.x; x < text.x + text.w && y < text.y + text.h && !line; ++x)
            line = isText(shot.at(x, y)) || shot.at(x, y) == layout::listSelection;
        if (line && runStart < 0)
            runStart = y;
        if (!line && runStart >= 0) {
            lineCentres.push_back((runStart + y - 1) / 2.0 / scale());
            tops.push_back(runStart);
            runStart = -1;
        }
    }
    return tops;
}

// The list's text area, less the scrollbar FLTK adds along its bottom, as
// tall as the side one is wide, when a name is wider than the list. The
// rows of a line are mostly the list's white or the selection's bar; the
// scrollbar's are greys.
Rect Harness::listLinesArea(const Image& shot) const
{
    Rect text = toPixels(layout::listText);
    const Rect& t = layout::listText;
    const Rect bar = toPixels({t.x, t.y + t.h - layout::scrollbarWidth, t.w, layout::scrollbarWidth});
    int lineLike = 0;
    for (int x = bar.x; x < bar.x + bar.w; ++x) {
        const Rgb p = shot.at(x, bar.y + bar.h / 2);
        lineLike += p == layout::listBackground || p == layout::listSelection;
    }
    if (2 * lineLike < bar.w)
        text.h = bar.y - text.y;
    return text;
}

bool Harness::scrollbarShown(const Image& shot) const
{
    return hasText(shot, toPixels(layout::listScrollbar));
}

std::string Harness::listShows() const
{
    return "the list shows " + std::to_string(wholeLines) + " of " + std::to_string(list_.size()) + " lines";
}

// Turns the mouse wheel over the list, three notches at a time, until the
// list holds still at its end (down) or its top, and looks at its lines:
// counted from the last at the end, where the first in view may show in part.
// Where the list already stands there, as its scrollbar shows, it is only
// looked at.
void Harness::wheelList(bool down)
{
    const auto scrollbar = [&] { return windowShot().crop(toPixels(layout::listScrollbar)); };
    if (wheeledDown == down && scrollbar() == scrollbarThen) {
        findListLines(windowShot());
        return;
    }
    const Rect& text = layout::listText;
    moveTo({text.x + text.w / 2, text.y + text.h / 2});
    const int wheel = down ? 5 : 4;
    Image before = windowShot().crop(toPixels(layout::list));
    for (size_t turn = 0; turn <= list_.size(); ++turn) {
        for (int notch = 0; notch < 3; ++notch) {
            pause();
            x->button(wheel, true);
            pause();
            x->button(wheel, false);
        }
        afterInput();
        Image now = windowShot().crop(toPixels(layout::list));
        if (now == before)
            break;
        before = std::move(now);
    }
    findListLines(windowShot());
    firstShownLine = down ? int(list_.size()) - int(lineCentres.size()) + 1 : 1;
    wheeledDown = down;
    scrollbarThen = scrollbar();
}

std::optional<XSession::WindowState> Harness::windowState()
{
    const auto state = x->stateOf(window);
    if (state && state->viewable)
        frame = state->frame;
    return state;
}

Image Harness::windowShot()
{
    return x->grab(frame);
}

Image Harness::viewShot()
{
    return windowShot().crop(toPixels(layout::view));
}

Rect Harness::toPixels(const Rect& units) const
{
    const auto px = [&](int n) { return int(std::lround(n * scale())); };
    return {px(units.x), px(units.y), px(units.w), px(units.h)};
}

bool Harness::saveWindowShot(const std::string& path)
{
    return savePng(settle(), path);
}

const std::string& Harness::output()
{
    return program->output();
}

bool Harness::running()
{
    return program->running();
}

std::string Harness::selectionLine(int line, const std::string& name)
{
    return "Selected Machine " + std::to_string(line) + " '" + name + "'\n";
}

// The window's place is read again for each grab: FLTK's rescale after a
// move between monitors moves the window by a pixel after resizing it, and
// a still picture grabbed where the window was is still, but wrong.
Image Harness::settle()
{
    const auto place = [&] {
        windowState();
        return frame;
    };
    Rect lastPlace = place();
    Image last = windowShot();
    int same = 1;
    pollUntil([&] {
        const Rect nowPlace = place();
        Image now = windowShot();
        const bool moved = nowPlace.x != lastPlace.x || nowPlace.y != lastPlace.y || nowPlace.w != lastPlace.w ||
                           nowPlace.h != lastPlace.h;
        if (now == last && !moved) {
            ++same;
        } else {
            same = 1;
            last = std::move(now);
            lastPlace = nowPlace;
        }
        return same >= steadyGrabs;
    }, answerSeconds, grabInterval);
    return last;
}

// Two round trips: the first answer comes once the program has handled the
// input before it, the second once it has drawn, as FLTK draws what the
// input changed before it waits for more events. Its drawing goes through
// the X server ahead of its answer.
bool Harness::answered()
{
    return x->roundTrip(window, answerSeconds) && x->roundTrip(window, answerSeconds);
}

bool Harness::syncWithProgram()
{
    const bool answers = answered();
    settle();
    return answers;
}

void Harness::afterInput()
{
    if (!syncWithProgram() && problem_.empty())
        problem_ = "the program did not answer its input";
}

Point Harness::toScreen(int wx, int wy) const
{
    return {frame.x + int(std::lround(wx * scale())), frame.y + int(std::lround(wy * scale()))};
}

void Harness::click(int wx, int wy)
{
    const Point p = toScreen(wx, wy);
    x->moveTo(p.x, p.y);
    pause();
    x->button(1, true);
    pause();
    x->button(1, false);
}

void Harness::dragPath(Point from, Point to, int button)
{
    const Point a = toScreen(from.x, from.y);
    const Point b = toScreen(to.x, to.y);
    x->moveTo(a.x, a.y);
    pause();
    x->button(button, true);
    pause();
    const int steps = std::max(1, int(std::ceil(std::hypot(b.x - a.x, b.y - a.y) / dragStep)));
    for (int i = 1; i <= steps; ++i) {
        x->moveTo(a.x + (b.x - a.x) * i / steps, a.y + (b.y - a.y) * i / steps);
        pause();
        // FLTK 1.3 folds the motions it reads at once into one, handed on
        // after the release that follows them: a slow program would see the
        // press and the release alone, and no drag.
        if (!x->roundTrip(window, answerSeconds) && problem_.empty())
            problem_ = "the program did not answer during a drag";
    }
    x->button(button, false);
    pause();
}

bool Harness::selectLine(int line, const std::string& name)
{
    const int lines = int(list_.size());
    if (line < 1 || line > lines) {
        if (problem_.empty())
            problem_ = "there is no line " + std::to_string(line) + " in a list of " + std::to_string(lines);
        return false;
    }
    // A list longer than its box may have moved since it was last looked
    // at: a click on a line half in view scrolls it whole into view. It is
    // wheeled to the end that shows the line whole, and looked at again.
    if (wholeLines < lines)
        wheelList(line > wholeLines);
    const int index = line - firstShownLine;
    if (index < 0 || index >= int(lineCentres.size())) {
        if (problem_.empty())
            problem_ = listShows() + ", and wheeling it brought line " + std::to_string(line) + " no nearer";
        return false;
    }
    const size_t from = output().size();
    const std::string expected = selectionLine(line, name);
    click(layout::listText.x + 20, int(std::lround(lineCentres[size_t(index)])));
    const bool printed = program->waitForOutput(expected, from, answerSeconds).has_value();
    afterInput();
    if (!printed && problem_.empty()) {
        // The lines without their newlines.
        const auto quoted = [](std::string printed) {
            printed.erase(std::remove(printed.begin(), printed.end(), '\n'), printed.end());
            return "\"" + printed + "\"";
        };
        const std::string instead = output().substr(from);
        problem_ = "clicking list line " + std::to_string(line) + " printed " +
                   (instead.empty() ? "nothing" : quoted(instead)) + ", not " + quoted(expected);
    }
    return printed;
}

bool Harness::select(const ListedMachine& machine)
{
    return selectLine(machine.line, machine.name);
}

bool Harness::clickBelowLastLine()
{
    const Rect& inside = layout::listInside;
    if (wholeLines < int(list_.size()))
        return false;
    int y = inside.y + inside.h / 2;
    if (lineCentres.size() >= 2) {
        const double pitch = lineCentres[1] - lineCentres[0];
        const int lastSlotEnd = int(std::lround(lineCentres.back() + pitch / 2));
        if (lastSlotEnd + 2 >= inside.y + inside.h)
            return false;
        y = (lastSlotEnd + inside.y + inside.h) / 2;
    }
    click(inside.x + 20, y);
    afterInput();
    return true;
}

void Harness::press(layout::Button button)
{
    const Rect& r = layout::place(button).rect;
    click(r.x + r.w / 2, r.y + r.h / 2);
    afterInput();
}

void Harness::setSlider(int i, double fraction)
{
    const Rect track = layout::sliderTrack(i);
    const int y = track.y + track.h / 2;
    const int knobMiddle = layout::sliderKnob / 2;
    const Point atMinimum{track.x + knobMiddle, y};
    // First to the minimum, where the knob's place is known; pressing beside
    // the knob would make it jump there first.
    dragPath(atMinimum, {track.x - 30, y}, 1);
    // The knob is at the minimum once the program has handled that drag.
    if (!answered() && problem_.empty())
        problem_ = "the program did not answer a drag of a slider";
    const int travel = track.w - layout::sliderKnob;
    int target = track.x + int(std::lround(std::clamp(fraction, 0.0, 1.0) * travel)) + knobMiddle;
    if (fraction >= 1)
        target += 30; // past the end: the knob stops at the maximum
    dragPath(atMinimum, {target, y}, 1);
    afterInput();
}

void Harness::dragInView(Point from, Point to, Drag kind)
{
    const Point a{layout::view.x + from.x, layout::view.y + from.y};
    const Point b{layout::view.x + to.x, layout::view.y + to.y};
    std::vector<std::string> held;
    if (kind == Drag::ShiftAltRight)
        held.push_back("Shift_L");
    if (kind == Drag::AltRight || kind == Drag::ShiftAltRight)
        held.push_back("Alt_L");
    for (const std::string& key : held) {
        x->key(key, true);
        pause();
    }
    dragPath(a, b, kind == Drag::Left ? 1 : 3);
    for (const std::string& key : held)
        x->key(key, false);
    afterInput();
}

bool Harness::rescaleWithKey(char key)
{
    const Rect before = frame;
    const int topLevels = x->viewableTopLevels();
    std::vector<std::string> held = {"Control_L"};
    if (key == '+')
        held.insert(held.end(), {"Shift_L", "equal"});
    else
        held.push_back(key == '-' ? "minus" : "0");
    // Without a window manager the keyboard follows the pointer.
    moveTo({layout::view.x + layout::view.w / 2, layout::view.y + layout::view.h / 2});
    for (const std::string& k : held) {
        pause();
        x->key(k, true);
    }
    for (auto k = held.rbegin(); k != held.rend(); ++k) {
        pause();
        x->key(*k, false);
    }
    if (!answered() && problem_.empty())
        problem_ = "the program did not answer a rescaling key";
    const bool resized = pollUntil([&] {
        const auto state = windowState();
        return state && (state->frame.w != before.w || state->frame.h != before.h);
    }, changeSeconds, grabInterval);
    // FLTK maps its window showing the factor with the new size, and keeps
    // it for a moment; then the program draws again what it covered.
    settle();
    pollUntil([&] { return x->viewableTopLevels() <= topLevels; }, changeSeconds, grabInterval);
    afterInput();
    return resized;
}

void Harness::moveTo(Point windowPoint)
{
    const Point p = toScreen(windowPoint.x, windowPoint.y);
    x->moveTo(p.x, p.y);
}

void Harness::button(int number, bool press)
{
    x->button(number, press);
}

void Harness::key(const std::string& keysym, bool press)
{
    x->key(keysym, press);
}

void Harness::requestClose()
{
    if (windowManager)
        x->askToClose(window);
    else
        x->requestClose(window);
}

void Harness::requestMoveResize(const Rect& onScreen)
{
    x->askToMoveResize(window, onScreen);
}

void Harness::pressEscape()
{
    // Without a window manager the keyboard follows the pointer.
    const Point p = toScreen(layout::view.x + layout::view.w / 2, layout::view.y + layout::view.h / 2);
    x->moveTo(p.x, p.y);
    pause();
    x->key("Escape", true);
    pause();
    x->key("Escape", false);
}

std::optional<int> Harness::waitForExit(double seconds)
{
    return program->waitForExit(seconds);
}
