// Event to frame: the real main window on the X display named by DISPLAY,
// its dump truck's "tip amount" slider dragged with the X test extension, as
// a user's pointer would. Each sample runs from the slider's callback to the
// end of the next frame of the site display, rendering finished. Between two
// samples the same frame is drawn directly in the view's own context and
// swapped like FLTK does, giving the frame's cost in the window beside it.
// Each sample is one repetition of a Google Benchmark case.
#include <benchmark/benchmark.h>

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Value_Slider.H>
#include <FL/gl.h>
#include <FL/x.H>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/Callbacks.h"
#include "app/DalveryWindow.h"
#include "app/Site.h"
#include "view/SiteDisplay.h"
#include "bench/Sampled.h"
#include "machines/DumpTruck.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int warmUpSamples = 10;
constexpr int samples = 100;
constexpr int tipSlider = 3;     // its "tip amount"
constexpr double waitLimit = 5;  // seconds for one frame to follow its event

struct Timing {
    Clock::time_point callbackAt;
    bool pending = false; // a slider change not yet followed by a frame
    int framesEnded = 0;
    std::vector<double> eventToFrameMs;
} timing;

// Drawn after the site's machines, last of all, it draws nothing and ends
// the frame: glFinish makes that the moment the renderer has finished the
// frame too.
class FrameEndMarker : public Machine {
public:
    FrameEndMarker() : Machine(3, "frame end") {}

    void setMachineView(float) override {}
    void draw() override
    {
        glFinish();
        ++timing.framesEnded;
        if (timing.pending) {
            timing.eventToFrameMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - timing.callbackAt).count());
            timing.pending = false;
        }
    }
};

void timedSliderCallback(Fl_Widget* widget, void* data)
{
    if (!timing.pending) {
        timing.callbackAt = Clock::now();
        timing.pending = true;
    }
    sliderCallback(widget, data);
}

// The frame as FLTK draws it after a change, without the event before it.
double directFrameMs(SiteDisplay& display)
{
    display.make_current();
    const int before = timing.framesEnded;
    const auto start = Clock::now();
    display.draw(); // the marker ends it with glFinish
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    display.swap_buffers();
    return timing.framesEnded == before + 1 ? ms : -1;
}

// Runs the event loop until a frame ends after `before` frames had.
bool awaitFrame(int before)
{
    const auto start = Clock::now();
    while (timing.framesEnded == before) {
        if (std::chrono::duration<double>(Clock::now() - start).count() > waitLimit)
            return false;
        Fl::wait(0.05);
    }
    return true;
}

// The slider's two points on the screen, and the next one to move to.
struct SliderDrag {
    int xs[2];
    int y;
    int next = 1;
};
SliderDrag drag;
DalveryWindow* window;
bool failed = false;

// The dump truck's line in the list.
int truckLine()
{
    for (size_t k = 0; k < window->machines.size(); ++k)
        if (dynamic_cast<const DumpTruck*>(window->machines[k]))
            return int(k) + 1;
    return 0;
}

// Moves the pointer to the slider's other point; false, with the reason
// said, when no frame follows or the direct frame misses its last machine.
bool moveOnce(double& eventMs, double& frameMs)
{
    const int before = timing.framesEnded;
    const size_t samplesBefore = timing.eventToFrameMs.size();
    XTestFakeMotionEvent(fl_display, -1, drag.xs[drag.next], drag.y, CurrentTime);
    XFlush(fl_display);
    drag.next = 1 - drag.next;
    if (!awaitFrame(before) || timing.eventToFrameMs.size() != samplesBefore + 1) {
        std::fprintf(stderr, "event_bench: no frame followed a slider move\n");
        return false;
    }
    eventMs = timing.eventToFrameMs.back();
    frameMs = directFrameMs(*window->display);
    if (frameMs < 0) {
        std::fprintf(stderr, "event_bench: a direct frame did not reach its last machine\n");
        return false;
    }
    return true;
}

void sliderMoves(benchmark::State& state)
{
    for (auto _ : state) {
        double eventMs = 0, frameMs = 0;
        if (!moveOnce(eventMs, frameMs)) {
            failed = true;
            state.SkipWithError("a slider move was not followed by its frame");
            break;
        }
        state.SetIterationTime(eventMs / 1000);
        state.counters["ms"] = eventMs;
        state.counters["frame_ms"] = frameMs;
    }
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    fl_open_display();
    int eventBase, errorBase, major, minor;
    if (!XTestQueryExtension(fl_display, &eventBase, &errorBase, &major, &minor)) {
        std::fprintf(stderr, "event_bench: the X display lacks the XTEST extension\n");
        return 1;
    }

    // As main builds it, and the marker after the machines: the display
    // draws it, the list does not show it.
    window = new DalveryWindow();
    populateSite(window);
    window->machines.push_back(new FrameEndMarker());
    for (Fl_Value_Slider* slider : window->sliders)
        slider->callback(timedSliderCallback, window);
    window->show();
    if (!awaitFrame(0)) {
        std::fprintf(stderr, "event_bench: the window never drew\n");
        return 1;
    }

    window->machineBrowser->value(truckLine());
    machineBrowserCallback(window->machineBrowser, window);
    if (!awaitFrame(timing.framesEnded)) {
        std::fprintf(stderr, "event_bench: selecting the truck drew no frame\n");
        return 1;
    }

    // Two points on the slider's track, far enough apart to be different values.
    const Fl_Value_Slider* slider = window->sliders[tipSlider];
    drag.y = window->y() + slider->y() + slider->h() / 2;
    drag.xs[0] = window->x() + slider->x() + slider->w() / 2;
    drag.xs[1] = window->x() + slider->x() + slider->w() - 20;
    XTestFakeMotionEvent(fl_display, -1, drag.xs[0], drag.y, CurrentTime);
    XTestFakeButtonEvent(fl_display, 1, True, CurrentTime);
    XFlush(fl_display);
    if (!awaitFrame(timing.framesEnded)) {
        std::fprintf(stderr, "event_bench: pressing on the slider drew no frame\n");
        return 1;
    }
    timing.eventToFrameMs.clear(); // the press is no move

    for (int i = 0; i < warmUpSamples; ++i) {
        double eventMs, frameMs;
        if (!moveOnce(eventMs, frameMs))
            return 1;
    }
    sampled(benchmark::RegisterBenchmark("event", sliderMoves), samples);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    XTestFakeButtonEvent(fl_display, 1, False, CurrentTime);
    XFlush(fl_display);
    return failed ? 1 : 0;
}
