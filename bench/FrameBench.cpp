// Frame cost of the site display in a headless GL context of the view's size:
// the start-up scene and the scene with rocks, each frame timed in alternation
// with each of two floors, so that load from elsewhere on the machine weighs
// on a frame and its floor alike:
// - the same picture with nothing to hand over: the frame compiled once into
//   a display list, replayed from the renderer's own buffers. What the frame
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
#include "tests/HeadlessGl.h"
#include "bench/Sampled.h"
#include "bench/RockGrid.h"
#include "machines/Machine.h"
#include "view/SiteDisplay.h"
#include "view/WindowLayout.h"

namespace {

constexpr int viewW = layout::view.w, viewH = layout::view.h;
constexpr int warmUpFrames = 10;

// The size in pixels of the surface drawn into: the view's, twice it at scale 2.
int pixelW = viewW, pixelH = viewH;

// The model as main builds it, world camera in its start-up pose.
struct StartupSite {
    StartupSite() { populateSite(&window); }
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

// A case's frame made ready on its first repetition: its display list
// compiled, its pictures checked, the renderer warmed up. One case at a time.
struct Prepared {
    std::string name;
    std::unique_ptr<CompiledFrame> compiled;
    std::string error;
};
std::unique_ptr<Prepared> prepared;

void prepare(SiteDisplay& measured, const std::string& name)
{
    prepared.reset(); // its display list goes before the next is made
    prepared = std::make_unique<Prepared>();
    prepared->name = name;
    prepared->compiled = std::make_unique<CompiledFrame>(measured);
    const std::function<void()> frame = [&] { measured.draw(); };
    const std::function<void()> floors[2] = {[&] { prepared->compiled->draw(); },
                                             [&] { empty->window.display->draw(); }};
    const std::vector<unsigned char> framePicture = picture(frame);
    // A frame that drew into part of the surface would measure a smaller picture.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    if (viewport[0] != 0 || viewport[1] != 0 || viewport[2] != pixelW || viewport[3] != pixelH) {
        prepared->error = "the frame's viewport is not the whole surface";
        return;
    }
    // A floor that drew anything else would measure something else.
    if (!samePicture(framePicture, picture(floors[0]), picture(floors[1]))) {
        prepared->error = "the display list draws another picture than the frame";
        return;
    }
    for (int i = 0; i < warmUpFrames; ++i)
        for (const auto& floor : floors) {
            timeFrame(frame);
            timeFrame(floor);
        }
}

// One repetition times the measured frame in four pairs, two with each
// floor, one in each order: frame and list, list and frame, frame and
// ground, ground and frame. No floor is timed between two heavy frames:
// beside a frame of 10,000 rocks a ground frame already takes up to twice
// its usual time. The repetition's figures are the means of its frames and
// of the measured frame over its floor, pair by pair; Google Benchmark takes
// their median and quartiles over the repetitions. The benchmark's own time
// is the measured frame's.
void timeAgainstFloors(benchmark::State& state, SiteDisplay& measured, const std::string& name)
{
    if (!prepared || prepared->name != name)
        prepare(measured, name);
    if (!prepared->error.empty()) {
        state.SkipWithError(prepared->error.c_str());
        return;
    }
    const std::function<void()> frame = [&] { measured.draw(); };
    const std::function<void()> list = [&] { prepared->compiled->draw(); };
    const std::function<void()> ground = [&] { empty->window.display->draw(); };
    for (auto _ : state) {
        FrameTime f[4], l[2], g[2];
        f[0] = timeFrame(frame);
        l[0] = timeFrame(list);
        l[1] = timeFrame(list);
        f[1] = timeFrame(frame);
        f[2] = timeFrame(frame);
        g[0] = timeFrame(ground);
        g[1] = timeFrame(ground);
        f[3] = timeFrame(frame);
        const double frameMs = (f[0].ms + f[1].ms + f[2].ms + f[3].ms) / 4;
        state.SetIterationTime(frameMs / 1000);
        state.counters["ms"] = frameMs;
        state.counters["cpu_ms"] = (f[0].cpuMs + f[1].cpuMs + f[2].cpuMs + f[3].cpuMs) / 4;
        state.counters["list_ms"] = (l[0].ms + l[1].ms) / 2;
        state.counters["floor_ms"] = (g[0].ms + g[1].ms) / 2;
        state.counters["x_list"] = (f[0].ms / l[0].ms + f[1].ms / l[1].ms) / 2;
        state.counters["x_floor"] = (f[2].ms / g[0].ms + f[3].ms / g[1].ms) / 2;
    }
}

// The first frames of a fresh context carry the renderer's compiling of the
// lit pipeline (the ground's), then of what only the machines use.
void firstFrames(benchmark::State& state)
{
    for (auto _ : state) {
        const FrameTime floor = timeFrame([] { empty->window.display->draw(); });
        const FrameTime scene = timeFrame([] { site->window.display->draw(); });
        state.SetIterationTime(scene.ms / 1000);
        state.counters["floor_ms"] = floor.ms;
        state.counters["ms"] = scene.ms;
    }
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
// each floor draws the same pixels as the frame. The last case: the surface
// stays at that size.
void startupSceneAtScale2(benchmark::State& state)
{
    if (pixelW != 2 * viewW) {
        std::string error;
        if (!resizeHeadlessSurface(2 * viewW, 2 * viewH, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        pixelW = 2 * viewW;
        pixelH = 2 * viewH;
        for (SiteDisplay* display : {site->window.display, empty->window.display})
            display->size(pixelW, pixelH);
    }
    site->window.rocks.clear();
    timeAgainstFloors(state, *site->window.display, "startup_scale2");
}

void withRocks(benchmark::State& state, int count)
{
    site->window.rocks = rockGrid(count);
    timeAgainstFloors(state, *site->window.display, "rocks" + std::to_string(count));
    site->window.rocks.clear();
}

void machineAlone(benchmark::State& state, LoneMachine& lone)
{
    timeAgainstFloors(state, *lone.window.display, "machine_" + lone.name);
}

// Repetitions of four pairs each. A frame of 10,000 rocks costs some tens of
// milliseconds: fewer keep the run short while staying at 50 pairs a floor.
int repetitionsFor(int rocks)
{
    return rocks >= 10000 ? 25 : 60;
}

void addCase(const std::string& name, const std::function<void(benchmark::State&)>& run, int repetitions)
{
    sampled(benchmark::RegisterBenchmark(("frame." + name).c_str(), run), repetitions);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
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

    // First, while the context is fresh.
    benchmark::RegisterBenchmark("frame.first", firstFrames)->Iterations(1)->UseManualTime()->Unit(
        benchmark::kMillisecond);
    addCase("startup", startupScene, repetitionsFor(0));
    for (int rocks : {0, 100, 1000, 10000})
        addCase("rocks" + std::to_string(rocks), [rocks](benchmark::State& state) { withRocks(state, rocks); },
                repetitionsFor(rocks));
    for (Machine* machine : startup.window.machines)
        loneMachines.push_back(std::make_unique<LoneMachine>(machine));
    for (const auto& lone : loneMachines)
        addCase("machine_" + lone->name, [&lone](benchmark::State& state) { machineAlone(state, *lone); },
                repetitionsFor(0));
    addCase("startup_again", startupSceneAgain, repetitionsFor(0));
    addCase("startup_scale2", startupSceneAtScale2, repetitionsFor(0));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    prepared.reset();
    return 0;
}
