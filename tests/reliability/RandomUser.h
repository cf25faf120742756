#pragma once

#include <random>
#include <string>

#include "harness/Harness.h"

// A user who clicks, drags and presses anywhere in the program's window and
// beyond it, as fast as the input goes: the list (on its lines and below
// them), every button, active and inactive sliders, left, middle, right and
// Alt+right drags in the view that may leave it past any edge and past the
// screen's own, and other buttons pressed in the middle of a drag. Every
// action lets go of whatever it pressed. The same seed gives the same
// actions.
class RandomUser {
public:
    RandomUser(Harness& harness, unsigned seed);

    // One action; returns what it was, for a failure message.
    std::string act();

private:
    int between(int low, int high); // inclusive
    bool chance(int percent);
    Point anywhere();               // window coordinates, on the screen or past it
    Point inRect(int x, int y, int w, int h);

    std::string clickInList();
    std::string clickAButton();
    std::string dragASlider();
    std::string dragInView();
    std::string chordInView();
    std::string hover();

    void moveAlong(Point to, int steps);

    Harness& harness;
    std::mt19937 rng;
    Point pointer{0, 0};
};
