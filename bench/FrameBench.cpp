// Frame cost of the site display in a headless GL context of the view's size:
// the start-up scene and the scene with rocks, each frame timed in alternation
// with each of two floors, so that load from elsewhere on the machine weighs
// on a frame and its floor alike:
// - the same picture with nothing to hand over: the frame compiled once into
//   a display list, replayed from the driver's own buffers. What the frame
//   costs above it is the cost of drawing in immediate mode;
// - the ground alone, the frame of an empty site (clear, lights, camera and
//   ground): what any picture of the site costs.
// Last, the start-up scene at scale 2, against the same floors at its size.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DalveryWindow.h"
#include "app/Site.h"
#include "tour/HeadlessGl.h"
#include "bench/Spread.h"
#include "bench/Results.h"
#include "bench/RockGrid.h"
#include "machines/ExampleMachine.h"
#include "machines/Machine.h"
#include "view/SiteDisplay.h"
#include "view/WindowLayout.h"

namespace {

constexpr int viewW = layout::view.w, viewH = layout::view.h;
constexpr int warmUpFrames = 10;

std::string resultsPath;
// The size in pixels of the surface drawn into: the view's, twice it at scale 2.
int pixelW = viewW, pixelH = viewH;

// The model as main builds it, world camera in its start-up pose.
struct StartupSite {
    StartupSite()
    {
        buildSite(&window);
        window.addMachine(new ExampleMachine("Example1", 0, 0, 2));
        window.addMachine(new ExampleMachine("Example2", 10, 0, 2));
    }
    DalveryWindow window;
};

// The frame of the floor: an empty site draws clear, lights, camera, ground.
struct EmptySite {
    DalveryWindow window;
};

// Lower case, spaces to underscores: "Dump truck" gives "dump_truck".
std::string figureName(const std::string& machineName)
{
    std::string name;
    for (char c : machineName)
        name += c == ' ' ? '_' : char(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

// Where the time of the start-up scene goes: each of its machines alone on
// the ground, as the program built it.
struct LoneMachine {
    explicit LoneMachine(Machine* machine) : name(figureName(machine->name))
    {
        window.machines = {machine};
    }
    std::string name;
    DalveryWindow window;
};

// Processor time of the whole process, all its threads (glibc: to the
// microsecond).
double cpuNowMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

// How long a frame took, and the processor time the whole process (the
// renderer's threads too) spent on it: the work alone, which time spent
// waiting for the cores while other programs run does not stretch.
struct FrameTime {
    double ms, cpuMs;
};

// One frame, plus glFinish: the software renderer rasterises on worker
// threads after the drawing calls have returned.
FrameTime timeFrame(const std::function<void()>& draw)
{
    const double cpuStart = cpuNowMs();
    const auto start = std::chrono::steady_clock::now();
    draw();
    glFinish();
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
            cpuNowMs() - cpuStart};
}

// A display's frame compiled once into a display list. Only the benchmark
// does this: the program itself draws every frame afresh.
class CompiledFrame {
public:
    explicit CompiledFrame(SiteDisplay& display) : list(glGenLists(1))
    {
        glNewList(list, GL_COMPILE);
        display.draw();
        glEndList();
    }
    ~CompiledFrame() { glDeleteLists(list, 1); }
    CompiledFrame(const CompiledFrame&) = delete;
    CompiledFrame& operator=(const CompiledFrame&) = delete;

    void draw() const { glCallList(list); }

private:
    GLuint list;
};

std::vector<unsigned char> picture(const std::function<void()>& draw)
{
    draw();
    std::vector<unsigned char> pixels(size_t(pixelW) * pixelH * 4);
    glReadPixels(0, 0, pixelW, pixelH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// The display list's picture may differ from the frame's where rounding
// decides a pixel (an edge, two faces at one depth): a few dozen pixels in the
// start-up scene. It must agree with the frame in all but a tenth of the
// pixels the frame draws over the bare ground, which any missing or extra
// part, down to a single example machine, exceeds many times over.
bool samePicture(const std::vector<unsigned char>& frame, const std::vector<unsigned char>& list,
                 const std::vector<unsigned char>& ground)
{
    size_t differ = 0, drawn = 0;
    for (size_t i = 0; i < frame.size(); i += 4) {
        differ += !std::equal(&frame[i], &frame[i] + 4, &list[i]);
        drawn += !std::equal(&frame[i], &frame[i] + 4, &ground[i]);
    }
    return differ * 10 <= drawn;
}

StartupSite* site;
EmptySite* empty;
std::vector<std::unique_ptr<LoneMachine>> loneMachines;

// Times the measured frame against each floor in turn: first in pairs with
// the display list, then in pairs with the ground, each pair in the other
// order to the one before, half the iterations each. No floor is timed
// between two heavy frames: beside a frame of 10,000 rocks a ground frame
// already takes up to twice its usual time. The benchmark's own time is the
// measured frame's; the figures written are the spreads of the times and of
// the measured frame over its floor, pair by pair.
void timeAgainstFloors(benchmark::State& state, SiteDisplay& measured, const std::string& name)
{
    const CompiledFrame compiled(measured);
    SiteDisplay& ground = *empty->window.display;
    const std::function<void()> frame = [&] { measured.draw(); };
    const std::function<void()> floors[2] = {[&] { compiled.draw(); }, [&] { ground.draw(); }};
    const std::vector<unsigned char> framePicture = picture(frame);
    // A frame that drew into part of the surface would measure a smaller picture.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] != pixelW || viewport[3] != pixelH) {
        state.SkipWithError("the frame's viewport is not the whole surface");
        return;
    }
    // A floor that drew anything else would measure something else.
    if (!samePicture(framePicture, picture(floors[0]), picture(floors[1]))) {
        state.SkipWithError("the display list draws another picture than the frame");
        return;
    }
    for (int i = 0; i < warmUpFrames; ++i)
        for (const auto& floor : floors) {
            timeFrame(frame);
            timeFrame(floor);
        }

    struct Pairs {
        std::vector<double> frameMs, floorMs, ratio;
    } pairs[2];
    std::vector<double> frameCpuMs;
    const benchmark::IterationCount half = state.max_iterations / 2;
    benchmark::IterationCount i = 0;
    for (auto _ : state) {
        const int k = i < half ? 0 : 1;
        FrameTime m, f;
        if (i++ % 2) {
            f = timeFrame(floors[k]);
            m = timeFrame(frame);
        } else {
            m = timeFrame(frame);
            f = timeFrame(floors[k]);
        }
        pairs[k].frameMs.push_back(m.ms);
        pairs[k].floorMs.push_back(f.ms);
        pairs[k].ratio.push_back(m.ms / f.ms);
        frameCpuMs.push_back(m.cpuMs);
        state.SetIterationTime(m.ms / 1000);
    }
    std::vector<double> allFrameMs = pairs[0].frameMs;
    allFrameMs.insert(allFrameMs.end(), pairs[1].frameMs.begin(), pairs[1].frameMs.end());
    const Spread xList = spreadOf(pairs[0].ratio), xGround = spreadOf(pairs[1].ratio);
    state.counters["median_ms"] = median(allFrameMs);
    state.counters["x_list"] = xList.median;
    state.counters["x_ground"] = xGround.median;
    const std::string figure = "frame." + name;
    appendSpread(resultsPath, figure + ".ms", spreadOf(allFrameMs));
    appendSpread(resultsPath, figure + ".cpu_ms", spreadOf(frameCpuMs));
    appendSpread(resultsPath, figure + ".list_ms", spreadOf(pairs[0].floorMs));
    appendSpread(resultsPath, figure + ".floor_ms", spreadOf(pairs[1].floorMs));
    appendSpread(resultsPath, figure + ".x_list", xList);
    appendSpread(resultsPath, figure + ".x_floor", xGround);
}

void startupScene(benchmark::State& state)
{
    site->window.rocks.clear();
    timeAgainstFloors(state, *site->window.display, "startup");
}

// The same scene once more after every other case at the view's size, some
// 5,000 frames later, among them frames of up to 10,000 rocks: it must cost
// what it cost at first.
void startupSceneAgain(benchmark::State& state)
{
    site->window.rocks.clear();
    timeAgainstFloors(state, *site->window.display, "startup_again");
}

// Under FLTK 1.4 on a screen at scale 2 the view stays 625 by 590 units and
// has twice the pixels each way: the frame sets its viewport to the pixels
// and its cameras keep the aspect of the units. A view of twice the units
// makes the same calls with the same numbers, the aspect to the last bit, and
// under FLTK 1.3 too, which does not scale. Both displays take that size, so
// each floor draws the same pixels as the frame.
void startupSceneAtScale2(benchmark::State& state)
{
    SiteDisplay* displays[] = {site->window.display, empty->window.display};
    std::string error;
    if (!resizeHeadlessSurface(2 * viewW, 2 * viewH, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    pixelW = 2 * viewW;
    pixelH = 2 * viewH;
    for (SiteDisplay* display : displays)
        display->size(pixelW, pixelH);
    site->window.rocks.clear();
    timeAgainstFloors(state, *site->window.display, "startup_scale2");
    pixelW = viewW;
    pixelH = viewH;
    for (SiteDisplay* display : displays)
        display->size(viewW, viewH);
    if (!resizeHeadlessSurface(viewW, viewH, error))
        state.SkipWithError(error.c_str());
}

void withRocks(benchmark::State& state)
{
    const int count = int(state.range(0));
    site->window.rocks = rockGrid(count);
    timeAgainstFloors(state, *site->window.display, "rocks" + std::to_string(count));
    site->window.rocks.clear();
}

void machineAlone(benchmark::State& state)
{
    LoneMachine& lone = *loneMachines[state.range(0)];
    timeAgainstFloors(state, *lone.window.display, "machine." + lone.name);
}

// Pairs of frames, half of them with each floor. A frame of 10,000 rocks
// costs some tens of milliseconds: fewer keep the run short while staying
// at 50 pairs a floor.
int framesFor(int rocks)
{
    return rocks >= 10000 ? 2 * 50 : 2 * 120;
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s [benchmark options] RESULTS_FILE\n", argv[0]);
        return 2;
    }
    resultsPath = argv[1];
    std::string error;
    if (!makeHeadlessContext(viewW, viewH, error)) {
        std::fprintf(stderr, "frame_bench: %s\n", error.c_str());
        return 1;
    }
    std::printf("GL_RENDERER: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    StartupSite startup;
    EmptySite bare;
    site = &startup;
    empty = &bare;

    // The first frames of a fresh context carry the driver's compiling of the
    // lit pipeline (the ground's), then of what only the machines use.
    const double firstFloorMs = timeFrame([&] { bare.window.display->draw(); }).ms;
    const double firstSceneMs = timeFrame([&] { startup.window.display->draw(); }).ms;
    std::printf("first frames of a fresh context: ground only %.1f ms, then the start-up scene %.1f ms\n",
                firstFloorMs, firstSceneMs);
    appendResult(resultsPath, "frame.first.floor_ms", firstFloorMs);
    appendResult(resultsPath, "frame.first.ms", firstSceneMs);

    benchmark::RegisterBenchmark("Frame/StartupScene", startupScene)
        ->Iterations(framesFor(0))->UseManualTime()->Unit(benchmark::kMillisecond);
    for (int rocks : {0, 100, 1000, 10000})
        benchmark::RegisterBenchmark("Frame/Rocks", withRocks)
            ->Arg(rocks)->Iterations(framesFor(rocks))->UseManualTime()->Unit(benchmark::kMillisecond);
    for (Machine* machine : startup.window.machines)
        loneMachines.push_back(std::make_unique<LoneMachine>(machine));
    for (size_t k = 0; k < loneMachines.size(); ++k)
        benchmark::RegisterBenchmark(("Frame/Alone/" + loneMachines[k]->name).c_str(), machineAlone)
            ->Arg(int(k))->Iterations(framesFor(0))->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Frame/StartupSceneAgain", startupSceneAgain)
        ->Iterations(framesFor(0))->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Frame/StartupSceneAtScale2", startupSceneAtScale2)
        ->Iterations(framesFor(0))->UseManualTime()->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
