#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "harness/ChildProcess.h"
#include "harness/Harness.h"
#include "harness/Layout.h"
#include "harness/Poll.h"
#include "harness/VirtualDisplay.h"
#include "harness/XSession.h"

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct NoGlCase {
    const char* name;
    std::vector<std::string> serverArgs;
};

void PrintTo(const NoGlCase& c, std::ostream* os)
{
    *os << c.name;
}

// Displays on which no OpenGL context can be made: a server without the GLX
// extension, and one whose only visuals have 8 bits.
class WithoutOpenGl : public ::testing::TestWithParam<NoGlCase> {};

// The program cannot show its 3-D view there. It must say so in one line on
// stderr and go on with its panel: the list still selects and prints, the
// buttons and a drag where the view would be break nothing, and closing the
// window still ends it with status 0.
TEST_P(WithoutOpenGl, SaysSoInOneLineAndTheRestStillWorks)
{
    VirtualDisplay display(GetParam().serverArgs);
    ASSERT_TRUE(display.ready()) << display.problem();
    XSession x(display.name());
    ASSERT_TRUE(x.usable());
    // The bare screen where the list will be, to see when the list is drawn
    // (compared, not decoded: the screen's depth changes the colours).
    const Rect listOnScreen = layout::listInside.movedBy(layout::window.x, layout::window.y);
    const Image bare = x.grab(listOnScreen);

    char errTemplate[] = "/tmp/dalvery-stderr-XXXXXX";
    const int errFd = mkstemp(errTemplate);
    ASSERT_GE(errFd, 0);
    close(errFd);
    const std::string errPath = errTemplate;
    ChildProcess::Options options;
    options.argv = {DALVERY_PROGRAM};
    options.environment = {"DISPLAY=" + display.name()};
    options.captureStdout = true;
    options.stderrFile = errPath;
    ChildProcess program(options);
    ASSERT_TRUE(program.started());

    unsigned long window = 0;
    Rect frame{};
    ASSERT_TRUE(pollUntil([&] {
        window = window ? window : x.findTopLevel("Dalvery");
        const auto state = window ? x.stateOf(window) : std::nullopt;
        if (state && state->viewable)
            frame = state->frame;
        return (state && state->viewable) || !program.running();
    }, 30)) << "no window";
    ASSERT_TRUE(program.running()) << readFile(errPath);
    // A click before the list's first frame finds no lines to hit.
    ASSERT_TRUE(pollUntil([&] { return x.grab(listOnScreen).countDifferences(bare) > 100; }, 30))
        << "the list was never drawn";

    auto click = [&](int wx, int wy, int button) {
        x.moveTo(frame.x + wx, frame.y + wy);
        x.button(button, true);
        x.button(button, false);
    };
    // Where the view would be: a turn, a pan and a left drag, each off the window.
    struct Gesture {
        int button;
        bool alt;
    };
    for (const Gesture& g : {Gesture{3, false}, Gesture{3, true}, Gesture{1, false}}) {
        x.moveTo(frame.x + 300, frame.y + 300);
        if (g.alt)
            x.key("Alt_L", true);
        x.button(g.button, true);
        x.moveTo(frame.x + 400, frame.y + 200);
        x.moveTo(frame.x - 100, frame.y + 700);
        x.button(g.button, false);
        if (g.alt)
            x.key("Alt_L", false);
    }
    for (const auto& place : layout::buttons)
        click(place.rect.x + place.rect.w / 2, place.rect.y + place.rect.h / 2, 1);
    // The first list line, near the top of the list whatever the font.
    click(layout::listInside.x + 20, layout::listInside.y + 5, 1);
    const std::string selected = Harness::selectionLine(1, siteList().front().name);
    EXPECT_TRUE(program.waitForOutput(selected, 0, 20).has_value()) << "the list did not answer";

    x.requestClose(window);
    const auto status = program.waitForExit(30);
    const std::string errors = readFile(errPath);
    unlink(errPath.c_str());
    ASSERT_TRUE(status.has_value()) << "still running, or ended by a signal; stderr:\n" << errors;
    EXPECT_EQ(*status, 0) << errors;
    EXPECT_EQ(program.output(), selected) << "standard output holds the selection lines alone";
    EXPECT_EQ(errors, "Insufficient GL support\n");
}

INSTANTIATE_TEST_SUITE_P(Displays, WithoutOpenGl,
                         ::testing::Values(NoGlCase{"NoGlxExtension", {"-extension", "GLX"}},
                                           NoGlCase{"EightBitScreen", VirtualDisplay::scaledScreen(1, 8)}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
