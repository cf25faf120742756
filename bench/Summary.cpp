// Reads the figures the benchmark programs wrote (Google Benchmark's JSON),
// prints them beside their floors and ends with one line judging every
// target.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/Results.h"
#include "bench/Targets.h"

namespace {

// A figure beside a floor, with the spread of the one over the other taken
// sample by sample (ratioKey), or for figures measured apart only the ratio
// of their medians (no ratioKey).
void row(const Results& r, const std::string& label, const std::string& key, const std::string& floorKey,
         const char* unit, const char* floorLabel, const std::string& ratioKey = "")
{
    if (!r.count(key) || !r.count(floorKey)) {
        std::printf("%-42s %14s\n", label.c_str(), "no figure");
        return;
    }
    const double value = r.at(key), floor = r.at(floorKey);
    const std::optional<Spread> ratio = ratioKey.empty() ? std::nullopt : spreadIn(r, ratioKey);
    std::printf("%-42s %11.2f %-2s %11.2f %-2s %-22s %6.2fx", label.c_str(), value, unit, floor, unit,
                floorLabel, ratio ? ratio->median : floor > 0 ? value / floor : 0.0);
    if (ratio)
        std::printf("  %.2f to %.2f", ratio->low, ratio->high);
    std::printf("\n");
}

// A figure with no floor of its own.
void single(const Results& r, const std::string& label, const std::string& key, const char* unit)
{
    if (r.count(key))
        std::printf("%-42s %11.2f %-2s\n", label.c_str(), r.at(key), unit);
    else
        std::printf("%-42s %14s\n", label.c_str(), "no figure");
}

// A frame beside its two floors, each ratio taken frame by frame.
void frameRows(const Results& r, const std::string& label, const std::string& figure)
{
    row(r, label, figure + ".ms", figure + ".list_ms", "ms", "its display list", figure + ".x_list");
    row(r, "", figure + ".ms", figure + ".floor_ms", "ms", "ground only", figure + ".x_floor");
}

// Starts with `start` and ends with `end`.
bool framed(const std::string& key, const std::string& start, const std::string& end)
{
    return key.size() >= start.size() + end.size() && key.compare(0, start.size(), start) == 0 &&
           key.compare(key.size() - end.size(), end.size(), end) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s BENCHMARK_JSON...\n", argv[0]);
        return 2;
    }
    const Results r = readResults(std::vector<std::string>(argv + 1, argv + argc));
    if (r.empty()) {
        std::fprintf(stderr, "bench_summary: no figures in %s\n", argv[1]);
        return 1;
    }
    std::printf("\n%-42s %14s %14s %-22s %7s  %s\n", "figure (medians)", "value", "floor", "floor is", "ratio",
                "middle half");
    frameRows(r, "frame: start-up scene", "frame.startup");
    for (const char* rocks : {"0", "100", "1000", "10000"}) {
        const std::string figure = std::string("frame.rocks") + rocks;
        frameRows(r, std::string("frame: start-up scene + ") + rocks + " rocks", figure);
        single(r, "  processor time, all threads", figure + ".cpu_ms", "ms");
    }
    frameRows(r, "frame: start-up scene, again at the end", "frame.startup_again");
    frameRows(r, "frame: start-up scene at scale 2", "frame.startup_scale2");
    row(r, "", "frame.startup_scale2.ms", "frame.startup.ms", "ms", "at scale 1");
    single(r, "first frame, fresh context: ground", "frame.first.floor_ms", "ms");
    single(r, "then first start-up scene frame", "frame.first.ms", "ms");
    // Where the scene's time goes: each machine alone on the ground.
    const std::string machinePrefix = "frame.machine_", listSuffix = ".list_ms";
    for (const auto& entry : r) {
        const std::string& key = entry.first;
        if (!framed(key, machinePrefix, listSuffix))
            continue;
        const std::string figure = key.substr(0, key.size() - listSuffix.size());
        frameRows(r, "frame: ground + " + figure.substr(machinePrefix.size()) + " alone", figure);
    }
    const struct {
        std::string name;
        const char* label;
    } leastPrograms[] = {{"least_lit", "least lit program"}, {"least", "least clearing program"}};
    for (const auto& least : leastPrograms) {
        row(r, "start-up to first frame", "startup.dalvery.ms", "startup." + least.name + ".ms", "ms", least.label,
            "startup.x_" + least.name);
        row(r, "peak resident memory", "startup.dalvery.kb", "startup." + least.name + ".kb", "kB", least.label,
            "startup.kb_x_" + least.name);
    }
    row(r, "slider event to end of frame", "event.ms", "event.frame_ms", "ms", "the frame in the window");

    std::printf("\n");
    const std::vector<Verdict> verdicts = judge(r);
    for (const Verdict& v : verdicts)
        std::printf("%-46s %-40s %-28s %s\n", v.target.c_str(), v.figure.c_str(), v.bound.c_str(),
                    outcomeName(v.outcome));
    std::printf("\n%s\n", summaryLine(verdicts).c_str());
    return 0;
}
