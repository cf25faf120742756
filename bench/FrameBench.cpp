// Frame cost of the site display in a headless GL context of the view's size:
// the start-up scene and the scene with rocks, each frame timed beside two
// floors drawn in turn with it, so that load from elsewhere on the machine
// weighs on all three alike:
// - the same picture with nothing to hand over: the frame compiled once into
//   a display list, replayed from the driver's own buffers. What the frame
//   costs above it is the cost of drawing in immediate mode;
// - the ground alone, the frame of an empty site (clear, lights, camera and
//   ground): what any picture of the site costs.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/DalveryWindow.h"
#include "app/Site.h"
#include "tests/HeadlessGl.h"
#include "bench/Spread.h"
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

// One frame, plus glFinish: the software renderer rasterises on worker
// threads after the drawing calls have returned.
double frameMs(const std::function<void()>& draw)
{
    const auto start = std::chrono::steady_clock::now();
    draw();
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
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
    std::vector<unsigned char> pixels(size_t(viewW) * viewH * 4);
    glReadPixels(0, 0, viewW, viewH, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
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

// Each iteration times three frames, the measured one and its two floors, in
// an order that turns by one each time. The benchmark's own time is the
// measured frame's; the figures written are the spreads of the three times and
// of the measured frame over each floor, frame by frame.
void timeAgainstFloors(benchmark::State& state, SiteDisplay& measured, const std::string& name)
{
    const CompiledFrame compiled(measured);
    SiteDisplay& ground = *empty->window.display;
    const std::function<void()> draws[3] = {
        [&] { measured.draw(); },
        [&] { compiled.draw(); },
        [&] { ground.draw(); },
    };
    // A floor that drew anything else would measure something else.
    // A floor that drew anything else would measure something else.
    if (!samePicture(picture(draws[0]), picture(draws[1]), picture(draws[2]))) {
        state.SkipWithError("the display list draws another picture than the frame");
        return;
    }
    for (int i = 0; i < warmUpFrames; ++i)
        for (const auto& draw : draws)
            frameMs(draw);

    std::vector<double> ms[3], overList, overGround;
    int first = 0;
    for (auto _ : state) {
        double taken[3];
        for (int k = 0; k < 3; ++k) {
            const int which = (first + k) % 3;
            taken[which] = frameMs(draws[which]);
        }
        first = (first + 1) % 3;
        for (int k = 0; k < 3; ++k)
            ms[k].push_back(taken[k]);
        overList.push_back(taken[0] / taken[1]);
        overGround.push_back(taken[0] / taken[2]);
        state.SetIterationTime(taken[0] / 1000);
    }
    const Spread xList = spreadOf(overList), xGround = spreadOf(overGround);
    state.counters["median_ms"] = median(ms[0]);
    state.counters["x_list"] = xList.median;
    state.counters["x_ground"] = xGround.median;
    const std::string figure = "frame." + name;
    appendSpread(resultsPath, figure + ".ms", spreadOf(ms[0]));
    appendSpread(resultsPath, figure + ".list_ms", spreadOf(ms[1]));
    appendSpread(resultsPath, figure + ".floor_ms", spreadOf(ms[2]));
    appendSpread(resultsPath, figure + ".x_list", xList);
    appendSpread(resultsPath, figure + ".x_floor", xGround);
}

void startupScene(benchmark::State& state)
{
    site->window.rocks.clear();
    timeAgainstFloors(state, *site->window.display, "startup");
}

// The same scene once more after every other case, some 3,000 frames later,
// among them frames of up to 10,000 rocks: it must cost what it cost at first.
void startupSceneAgain(benchmark::State& state)
{
    site->window.rocks.clear();
    timeAgainstFloors(state, *site->window.display, "startup_again");
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
    const double firstFloorMs = frameMs([&] { bare.window.display->draw(); });
    const double firstSceneMs = frameMs([&] { startup.window.display->draw(); });
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
