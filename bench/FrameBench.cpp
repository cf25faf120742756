// Frame cost of the site display in a headless GL context of the view's size:
// the start-up scene and the scene with rocks, each frame timed beside a
// frame of the ground alone (the floor) drawn in alternation with it, so that
// load from elsewhere on the machine weighs on both alike.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/DalveryWindow.h"
#include "app/Site.h"
#include "tests/HeadlessGl.h"
#include "bench/Median.h"
#include "bench/Results.h"
#include "bench/RockGrid.h"
#include "machines/ExampleMachine.h"
#include "machines/Machine.h"
#include "view/SiteDisplay.h"

namespace {

constexpr int viewW = 625, viewH = 590; // the program's view
constexpr int warmUpFrames = 10;

std::string resultsPath;

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

// One frame as the program draws it, plus glFinish: the software renderer
// rasterises on worker threads after draw() has returned.
double frameMs(SiteDisplay& display)
{
    const auto start = std::chrono::steady_clock::now();
    display.draw();
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

StartupSite* site;
EmptySite* empty;
std::vector<std::unique_ptr<LoneMachine>> loneMachines;

// Each iteration times a pair of frames, the measured one and the floor,
// the two taking turns to go first. The benchmark's own time is the measured
// frame's; the figures written are the medians of both.
void timePairs(benchmark::State& state, SiteDisplay& measured, const std::string& name)
{
    SiteDisplay& floor = *empty->window.display;
    for (int i = 0; i < warmUpFrames; ++i) {
        frameMs(measured);
        frameMs(floor);
    }
    std::vector<double> measuredMs, floorMs;
    bool measuredFirst = true;
    for (auto _ : state) {
        double m, f;
        if (measuredFirst) {
            m = frameMs(measured);
            f = frameMs(floor);
        } else {
            f = frameMs(floor);
            m = frameMs(measured);
        }
        measuredFirst = !measuredFirst;
        measuredMs.push_back(m);
        floorMs.push_back(f);
        state.SetIterationTime(m / 1000);
    }
    const double m = median(measuredMs), f = median(floorMs);
    state.counters["median_ms"] = m;
    state.counters["floor_ms"] = f;
    state.counters["x_floor"] = m / f;
    appendResult(resultsPath, "frame." + name + ".ms", m);
    appendResult(resultsPath, "frame." + name + ".floor_ms", f);
}

void startupScene(benchmark::State& state)
{
    site->window.rocks.clear();
    timePairs(state, *site->window.display, "startup");
}

// The same scene once more after every other case, some 3,000 frames later,
// among them frames of up to 10,000 rocks: it must cost what it cost at first.
void startupSceneAgain(benchmark::State& state)
{
    site->window.rocks.clear();
    timePairs(state, *site->window.display, "startup_again");
}

void withRocks(benchmark::State& state)
{
    const int count = int(state.range(0));
    site->window.rocks = rockGrid(count);
    timePairs(state, *site->window.display, "rocks" + std::to_string(count));
    site->window.rocks.clear();
}

void machineAlone(benchmark::State& state)
{
    LoneMachine& lone = *loneMachines[state.range(0)];
    timePairs(state, *lone.window.display, "machine." + lone.name);
}

// A frame of 10,000 rocks costs some tens of milliseconds: fewer frames keep
// the run short while staying above 50.
int framesFor(int rocks)
{
    return rocks >= 10000 ? 60 : 150;
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
    const double firstFloorMs = frameMs(*bare.window.display);
    const double firstSceneMs = frameMs(*startup.window.display);
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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
