// Start-up to first frame and peak memory of the real program beside two
// least FLTK programs of its shape, on the X display named by DISPLAY: the
// one with the same widgets whose view draws lit (the floor), and the one
// whose view only clears (context). Each launch is timed from just before
// fork to the moment a pixel of the view, read from outside, shows the
// program's sky. The programs take turns in rounds of one launch each, the
// rounds going through the six orders of three in turn, so that each program
// follows each other one equally often; the ratios are taken round by round,
// each round one repetition of a Google Benchmark case.
//
// Then the same start-up cold: with Mesa's shader cache off, as after an
// install or an upgrade of Mesa or wherever the cache cannot be written, so
// that the renderer compiles every pipeline the first frame needs. Only the
// real program and the floor, which compiles the pipelines any picture of
// the site needs, taking turns, each first every other round.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/Sampled.h"
#include "harness/ChildProcess.h"
#include "harness/Poll.h"
#include "harness/XSession.h"
#include "view/SiteLook.h"
#include "view/WindowLayout.h"

namespace {

using Clock = std::chrono::steady_clock;

// A pixel near the top-left corner of the view: open sky in the program's
// start-up view. The window stands where it asks to (no window manager on
// the virtual display).
constexpr Rect probe{layout::window.x + layout::view.x + 20, layout::window.y + layout::view.y + 20, 1, 1};

constexpr auto pollInterval = std::chrono::microseconds(500);
constexpr double launchTimeout = 20; // seconds
// Time left to the program after its first frame before it is ended, for
// whatever it still does on its way to idle (both programs measured here
// reach their peak memory by the end of the first frame).
constexpr auto settleTime = std::chrono::milliseconds(100);

// The sky, give or take the rounding of its channels to 8 bits.
bool showsSky(XSession& screen)
{
    const Image pixel = screen.grab(probe);
    if (pixel.empty())
        return false;
    const Rgb& p = pixel.at(0, 0);
    const int got[3] = {p.r, p.g, p.b};
    for (int i = 0; i < 3; ++i)
        if (std::abs(got[i] - skyColour[i] * 255) > 5)
            return false;
    return true;
}

struct Launch {
    bool ok;
    double firstFrameMs;
    long peakKb; // resident set high-water mark over the whole run
};

// Turns Mesa's shader cache off in the launched program.
const std::vector<std::string> noShaderCache = {"MESA_SHADER_CACHE_DISABLE=true"};

Launch launch(const std::string& program, XSession& screen, const std::vector<std::string>& environment = {})
{
    Launch result{false, 0, 0};
    // No window of an earlier launch may still show at the probe pixel.
    if (!pollUntil([&] { return !showsSky(screen); }, launchTimeout, pollInterval)) {
        std::fprintf(stderr, "startup_bench: the screen still shows an earlier window\n");
        return result;
    }
    ChildProcess::Options options;
    options.argv = {program};
    options.environment = environment;
    options.discardStdout = true;
    const auto start = Clock::now();
    ChildProcess child(options);
    if (!child.started())
        return result;
    const bool drawn = pollUntil([&] { return showsSky(screen) || !child.running(); }, launchTimeout,
                                 pollInterval) && child.running();
    result.firstFrameMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (!child.running()) {
        std::fprintf(stderr, "startup_bench: %s %s before drawing\n", program.c_str(), child.howItEnded().c_str());
        return result;
    }
    if (drawn)
        std::this_thread::sleep_for(settleTime);
    child.stop();
    result.peakKb = child.peakResidentKb();
    result.ok = drawn;
    if (!drawn)
        std::fprintf(stderr, "startup_bench: %s drew nothing within the time limit\n", program.c_str());
    return result;
}

struct Series {
    std::string name;
    std::string program;
};
constexpr int programs = 3;
Series series[programs];
XSession* screen;
bool failed = false;

// One round: each program launched once, in the next of the six orders;
// the real program's figures and its ratios to each baseline are the
// round's counters, of which Google Benchmark takes the median and the
// quartiles over the rounds.
void rounds(benchmark::State& state)
{
    static int order[programs] = {0, 1, 2};
    for (auto _ : state) {
        Launch runs[programs];
        for (int k : order) {
            runs[k] = launch(series[k].program, *screen);
            if (!runs[k].ok) {
                failed = true;
                state.SkipWithError("a launch failed");
                return;
            }
        }
        std::next_permutation(order, order + programs);
        state.SetIterationTime(runs[0].firstFrameMs / 1000);
        for (int k = 0; k < programs; ++k) {
            state.counters[series[k].name + ".ms"] = runs[k].firstFrameMs;
            state.counters[series[k].name + ".kb"] = double(runs[k].peakKb);
            if (k > 0) {
                state.counters["x_" + series[k].name] = runs[0].firstFrameMs / runs[k].firstFrameMs;
                state.counters["kb_x_" + series[k].name] = double(runs[0].peakKb) / double(runs[k].peakKb);
            }
        }
    }
}

// One cold round: the real program and the floor, in turns; the real
// program's first frame and its ratio to the floor's are the round's
// counters, as in a warm round.
void coldRounds(benchmark::State& state)
{
    static bool floorFirst = false;
    for (auto _ : state) {
        Launch runs[2];
        for (int k : {floorFirst ? 1 : 0, floorFirst ? 0 : 1}) {
            runs[k] = launch(series[k].program, *screen, noShaderCache);
            if (!runs[k].ok) {
                failed = true;
                state.SkipWithError("a launch failed");
                return;
            }
        }
        floorFirst = !floorFirst;
        state.SetIterationTime(runs[0].firstFrameMs / 1000);
        for (int k = 0; k < 2; ++k)
            state.counters[series[k].name + ".ms"] = runs[k].firstFrameMs;
        state.counters["x_" + series[1].name] = runs[0].firstFrameMs / runs[1].firstFrameMs;
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr, "usage: %s [benchmark options] DALVERY LEAST_LIT_PROGRAM LEAST_PROGRAM [ROUNDS]\n",
                     argv[0]);
        return 2;
    }
    const int roundCount = argc == 5 ? std::atoi(argv[4]) : 30;
    const char* displayName = std::getenv("DISPLAY");
    XSession x(displayName ? displayName : "");
    if (!x.usable()) {
        std::fprintf(stderr, "startup_bench: no X display (DISPLAY unset or unreachable)\n");
        return 1;
    }
    if (x.depth() != 24) {
        std::fprintf(stderr, "startup_bench: the display has depth %d, not 24\n", x.depth());
        return 1;
    }
    screen = &x;
    series[0] = {"dalvery", argv[1]};
    series[1] = {"least_lit", argv[2]};
    series[2] = {"least", argv[3]};

    // One launch of each first, untimed, so that none pays alone for
    // loading the shared libraries from disk.
    for (const Series& s : series)
        if (!launch(s.program, x).ok)
            return 1;

    sampled(benchmark::RegisterBenchmark("startup", rounds), roundCount);
    // A cold launch compiles for some 100 ms more: half the rounds are
    // enough for a median and quartiles of the ratio.
    sampled(benchmark::RegisterBenchmark("startup_cold", coldRounds), std::max(roundCount / 2, 1));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return failed ? 1 : 0;
}
