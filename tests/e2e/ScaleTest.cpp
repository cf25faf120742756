#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "harness/Colours.h"
#include "harness/Harness.h"
#include "harness/Poll.h"
#include "harness/VirtualScreen.h"
#include "machines/DumpTruck.h"

namespace {

// Share of the pixels of `small` inside `area` that `big`, a picture of the
// same scene at a larger scale, does not show: a pixel is shown when one of
// the pixels of `big` whose middles fall inside it has its colour. Thin
// lines and edges fall on other pixels at another scale; a picture drawn at
// the wrong size or place differs nearly everywhere.
double notShown(const Image& big, const Image& small, const Rect& area)
{
    const double sx = double(big.width()) / small.width(), sy = double(big.height()) / small.height();
    const auto first = [](int i, double s) { return int(std::ceil(i * s - 0.5)); };
    int missing = 0;
    for (int y = area.y; y < area.y + area.h; ++y)
        for (int x = area.x; x < area.x + area.w; ++x) {
            bool shown = false;
            for (int by = first(y, sy); by < first(y + 1, sy) && !shown; ++by)
                for (int bx = first(x, sx); bx < first(x + 1, sx) && !shown; ++bx)
                    shown = big.at(bx, by) == small.at(x, y);
            missing += !shown;
        }
    return double(missing) / (area.w * area.h);
}

// The program on a screen of twice the scale. The harness tells it so with
// FLTK_SCALING_FACTOR, unless DALVERY_COMMAND_SCALE2 starts it where the
// system says so itself: the Windows build under Wine at 192 dpi.
std::string atTwiceTheScale()
{
    const char* command = std::getenv("DALVERY_COMMAND_SCALE2");
    return command && *command ? command : programUnderTest();
}

struct ScaledStep {
    const char* what;
    void (*act)(Harness&);   // on both programs, or null
    const char* rescaleKeys; // then typed with Ctrl at scale 2 alone
    int windowW, windowH;    // the window at scale 2 afterwards, pixels
};

const ScaledStep throughTheTrucksCamera = {"through the truck's camera",
                                           [](Harness& d) {
                                               d.select(listed<DumpTruck>());
                                               d.press(layout::Button::Machine);
                                           },
                                           "", 1600, 1200};

const ScaledStep scaledSteps[] = {
    {"as it opens", nullptr, "", 1600, 1200},
    {"turned", [](Harness& d) { d.dragInView({300, 300}, {420, 330}, Drag::Right); }, "", 1600, 1200},
    {"panned", [](Harness& d) { d.dragInView({300, 300}, {360, 260}, Drag::AltRight); }, "", 1600, 1200},
    throughTheTrucksCamera,
};

// On a window that has had no click, on Xvfb without a window manager, the
// keys did not reach FLTK: the steps start with a click, as a user would.
const ScaledStep rescaledSteps[] = {
    throughTheTrucksCamera,
    {"after Ctrl+'-'", nullptr, "-", 1440, 1080},
    {"after Ctrl+'+'", nullptr, "+", 1600, 1200},
    {"after Ctrl+'-' and Ctrl+'0'", nullptr, "-0", 1600, 1200},
};

// The program at scale 1 and at 2 takes each step; the window at 2 has the
// step's size and its view shows the picture of scale 1 at that size.
template <size_t n>
void expectTheSamePictureLarger(const ScaledStep (&steps)[n])
{
    Harness one(programUnderTest(), {}, 1);
    Harness two(atTwiceTheScale(), {}, 2);
    ASSERT_EQ(one.problem(), "");
    ASSERT_EQ(two.problem(), "");
    const auto state = two.windowState();
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(state->frame.x, 100);
    EXPECT_EQ(state->frame.y, 100);

    for (const ScaledStep& step : steps) {
        if (step.act) {
            step.act(one);
            step.act(two);
        }
        for (const char* k = step.rescaleKeys; *k; ++k)
            EXPECT_TRUE(two.rescaleWithKey(*k)) << step.what;
        const auto now = two.windowState();
        ASSERT_TRUE(now.has_value());
        EXPECT_EQ(now->frame.w, step.windowW) << step.what;
        EXPECT_EQ(now->frame.h, step.windowH) << step.what;
        // Measured: at most 0.09 % of the view, and 0.54 % of where the
        // machines stand, are thin lines landing elsewhere. Machines drawn
        // without depth at scale 2 left 0.86 % of the view (under the 1 %
        // this once allowed) and 8 % of their own area not shown.
        const Image small = one.viewShot(), big = two.viewShot();
        EXPECT_LT(notShown(big, small, {0, 0, small.width(), small.height()}), 0.0015) << step.what;
        EXPECT_LT(notShown(big, small, standingArea(small)), 0.01) << step.what;
    }
    EXPECT_EQ(one.problem(), "");
    EXPECT_EQ(two.problem(), "");
}

} // namespace

// At twice the scale, as on a 2x screen, the window has twice as many
// pixels each way, and its view shows the picture of scale 1 at that size,
// also after the same drags (which FLTK reports in window units)...
TEST(Scale, AtTwiceTheScaleTheViewShowsTheSamePictureLarger)
{
    if (!DALVERY_FLTK14)
        GTEST_SKIP() << "FLTK 1.3 does not scale windows";
    expectTheSamePictureLarger(scaledSteps);
}

// ...and after the user rescales the window with FLTK's keys.
TEST(Scale, AfterFltksRescaleKeysTheViewShowsTheSamePictureAtTheNewSize)
{
    if (!DALVERY_FLTK14)
        GTEST_SKIP() << "FLTK 1.3 does not scale windows";
    expectTheSamePictureLarger(rescaledSteps);
}

// FLTK 1.4 gives each X11 monitor a factor of its own, which its rescale
// keys change for the window's monitor alone. Moved onto a monitor of
// another factor, the window takes that factor (FLTK waits a second after
// the move), and its view shows what it showed there before.
TEST(Scale, MovedToAMonitorOfAnotherFactorTheViewIsDrawnAtThatFactor)
{
    if (!DALVERY_FLTK14)
        GTEST_SKIP() << "FLTK 1.3 does not scale windows";
    Harness dalvery(programUnderTest(), {"openbox"}, 1, 2);
    ASSERT_EQ(dalvery.problem(), "");
    // The view and the window's width at each factor.
    const Image atOne = dalvery.viewShot();
    const int widthAtOne = dalvery.windowState()->frame.w;
    ASSERT_TRUE(dalvery.rescaleWithKey('-'));
    const Image atNineTenths = dalvery.viewShot();
    const int widthAtNineTenths = dalvery.windowState()->frame.w;
    ASSERT_NE(widthAtNineTenths, widthAtOne);
    const struct {
        const char* where;
        int x;          // the window's new left edge, screen pixels
        const Image& expected;
        int windowW;
    } moves[] = {
        {"onto the second monitor", virtualScreen::width + 100, atOne, widthAtOne},
        {"back onto the first", 50, atNineTenths, widthAtNineTenths},
    };
    for (const auto& move : moves) {
        const auto before = dalvery.windowState();
        ASSERT_TRUE(before.has_value()) << move.where;
        dalvery.requestMoveResize({move.x, 100, before->frame.w, before->frame.h});
        ASSERT_TRUE(pollUntil([&] {
            const auto now = dalvery.windowState();
            return now && now->frame.w == move.windowW;
        }, 10)) << move.where << ": the window kept its size";
        dalvery.settle();
        const Image shot = dalvery.viewShot();
        ASSERT_EQ(shot.width(), move.expected.width()) << move.where;
        EXPECT_EQ(shot.countDifferences(move.expected), 0) << move.where;
        EXPECT_EQ(dalvery.problem(), "") << move.where;
    }
    EXPECT_TRUE(dalvery.select(listed<DumpTruck>())) << "the click did not land";
}
