#include "tests/reliability/RandomUser.h"

#include <chrono>
#include <iterator>
#include <thread>

#include "harness/Layout.h"
#include "harness/VirtualScreen.h"

namespace {

// Window coordinates of the harness's virtual screen, and 40 pixels past it:
// points there are sent too, and the server holds the pointer at the edge.
constexpr int pastScreen = 40;
const int screenLeft = -layout::window.x - pastScreen;
const int screenTop = -layout::window.y - pastScreen;
const int screenRight = virtualScreen::width - layout::window.x + pastScreen;
const int screenBottom = virtualScreen::height - layout::window.y + pastScreen;

const char* const buttonNames[] = {"left", "middle", "right"};

} // namespace

RandomUser::RandomUser(Harness& harness, unsigned seed) : harness(harness), rng(seed) {}

int RandomUser::between(int low, int high)
{
    return std::uniform_int_distribution<int>(low, high)(rng);
}

bool RandomUser::chance(int percent)
{
    return between(1, 100) <= percent;
}

Point RandomUser::inRect(int x, int y, int w, int h)
{
    return {between(x, x + w - 1), between(y, y + h - 1)};
}

Point RandomUser::anywhere()
{
    switch (between(0, 5)) {
    case 0: // past the left or the top edge of the view, to negative coordinates
        return chance(50) ? Point{between(screenLeft, layout::view.x - 1), between(screenTop, screenBottom)}
                          : Point{between(screenLeft, screenRight), between(screenTop, layout::view.y - 1)};
    case 1: // past the right or the bottom edge, into the panel or off the window
        return chance(50) ? Point{between(layout::view.x + layout::view.w, screenRight), between(screenTop, screenBottom)}
                          : Point{between(screenLeft, screenRight), between(layout::view.y + layout::view.h, screenBottom)};
    default:
        return inRect(layout::view.x, layout::view.y, layout::view.w, layout::view.h);
    }
}

void RandomUser::moveAlong(Point to, int steps)
{
    const Point from = pointer;
    for (int i = 1; i <= steps; ++i) {
        pointer = {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps};
        harness.moveTo(pointer);
    }
}

std::string RandomUser::act()
{
    // A pause of up to 3 ms before each action: sometimes the program draws
    // a frame between two actions, sometimes it reads several at once.
    std::this_thread::sleep_for(std::chrono::microseconds(between(0, 3000)));
    switch (between(0, 15)) {
    case 0: case 1: case 2: return clickInList();
    case 3: case 4: case 5: return clickAButton();
    case 6: case 7: case 8: return dragASlider();
    case 9: case 10: case 11: case 12: return dragInView();
    case 13: case 14: return chordInView();
    default: return hover();
    }
}

std::string RandomUser::clickInList()
{
    const Rect& list = layout::listInside;
    const Point p = inRect(list.x, list.y, list.w, list.h);
    pointer = p;
    harness.moveTo(p);
    const int button = chance(80) ? 1 : between(2, 3);
    harness.button(button, true);
    harness.button(button, false);
    return std::string(buttonNames[button - 1]) + " click in the list at y " + std::to_string(p.y);
}

std::string RandomUser::clickAButton()
{
    const auto& place = layout::buttons[between(0, int(std::size(layout::buttons)) - 1)];
    const Rect& r = place.rect;
    pointer = inRect(r.x + 1, r.y + 1, r.w - 2, r.h - 2);
    harness.moveTo(pointer);
    harness.button(1, true);
    harness.button(1, false);
    return std::string("click on \"") + place.label + "\"";
}

std::string RandomUser::dragASlider()
{
    const int i = between(0, layout::sliderCount - 1);
    const Rect s = layout::slider(i);
    pointer = inRect(s.x, s.y, s.w, s.h);
    harness.moveTo(pointer);
    harness.button(1, true);
    // Along the slider, past its ends now and then, and off it.
    const Point to = chance(75) ? Point{between(s.x - 60, s.x + s.w + 60), s.y + between(0, s.h - 1)} : anywhere();
    moveAlong(to, between(1, 12));
    harness.button(1, false);
    return "drag on slider " + std::to_string(i);
}

std::string RandomUser::dragInView()
{
    const int kind = between(0, 3); // left, middle, right, Alt+right
    const int button = kind == 3 ? 3 : kind + 1;
    pointer = inRect(layout::view.x, layout::view.y, layout::view.w, layout::view.h);
    harness.moveTo(pointer);
    if (kind == 3)
        harness.key("Alt_L", true);
    harness.button(button, true);
    const int legs = between(1, 4);
    for (int leg = 0; leg < legs; ++leg)
        moveAlong(anywhere(), between(1, 10));
    harness.button(button, false);
    if (kind == 3)
        harness.key("Alt_L", false);
    return kind == 3 ? "Alt+right drag in the view" : std::string(buttonNames[button - 1]) + " drag in the view";
}

std::string RandomUser::chordInView()
{
    const int first = between(1, 3);
    int second = between(1, 2);
    if (second >= first)
        ++second;
    const bool alt = first == 3 && chance(50);
    pointer = inRect(layout::view.x, layout::view.y, layout::view.w, layout::view.h);
    harness.moveTo(pointer);
    if (alt)
        harness.key("Alt_L", true);
    harness.button(first, true);
    moveAlong(anywhere(), between(1, 6));
    harness.button(second, true);
    moveAlong(anywhere(), between(1, 6));
    // Let go in either order.
    if (chance(50)) {
        harness.button(second, false);
        moveAlong(anywhere(), between(1, 5));
        harness.button(first, false);
    } else {
        harness.button(first, false);
        moveAlong(anywhere(), between(1, 5));
        harness.button(second, false);
    }
    if (alt)
        harness.key("Alt_L", false);
    return std::string(alt ? "Alt+" : "") + buttonNames[first - 1] + " drag with a " + buttonNames[second - 1] +
           " press in it";
}

std::string RandomUser::hover()
{
    moveAlong(anywhere(), between(1, 8));
    return "pointer moved without a button";
}
