// Reads the figures the benchmark programs wrote, prints them beside their
// floors and ends with one line judging every target.
#include <cstdio>
#include <string>

#include "bench/Results.h"
#include "bench/Targets.h"

namespace {

void row(const Results& r, const char* label, const std::string& key, const std::string& baseKey,
         const char* unit, const char* baseLabel)
{
    if (!r.count(key) || !r.count(baseKey)) {
        std::printf("%-40s %14s\n", label, "no figure");
        return;
    }
    const double value = r.at(key), base = r.at(baseKey);
    std::printf("%-40s %11.2f %-2s %11.2f %-2s %-26s %6.2fx\n", label, value, unit, base, unit, baseLabel,
                base > 0 ? value / base : 0.0);
}

// A figure with no floor of its own.
void single(const Results& r, const char* label, const std::string& key, const char* unit)
{
    if (r.count(key))
        std::printf("%-40s %11.2f %-2s\n", label, r.at(key), unit);
    else
        std::printf("%-40s %14s\n", label, "no figure");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s RESULTS_FILE\n", argv[0]);
        return 2;
    }
    const Results r = readResults(argv[1]);
    if (r.empty()) {
        std::fprintf(stderr, "bench_summary: no figures in %s\n", argv[1]);
        return 1;
    }
    std::printf("\n%-40s %14s %14s %-26s %7s\n", "figure (medians)", "value", "floor", "floor is", "ratio");
    row(r, "frame: start-up scene", "frame.startup.ms", "frame.startup.floor_ms", "ms", "ground only");
    for (const char* rocks : {"0", "100", "1000", "10000"}) {
        const std::string label = std::string("frame: start-up scene + ") + rocks + " rocks";
        const std::string key = std::string("frame.rocks") + rocks;
        row(r, label.c_str(), key + ".ms", key + ".floor_ms", "ms", "ground only");
    }
    row(r, "frame: start-up scene, again at the end", "frame.startup_again.ms", "frame.startup_again.floor_ms",
        "ms", "ground only");
    single(r, "first frame, fresh context: ground", "frame.first.floor_ms", "ms");
    single(r, "then first start-up scene frame", "frame.first.ms", "ms");
    // Where the scene's time goes: each machine alone on the ground.
    const std::string machinePrefix = "frame.machine.", floorSuffix = ".floor_ms";
    for (const auto& [key, value] : r) {
        if (key.compare(0, machinePrefix.size(), machinePrefix) != 0 ||
            key.size() < floorSuffix.size() ||
            key.compare(key.size() - floorSuffix.size(), floorSuffix.size(), floorSuffix) != 0)
            continue;
        const std::string figure = key.substr(0, key.size() - floorSuffix.size());
        const std::string label = "frame: ground + " + figure.substr(machinePrefix.size()) + " alone";
        row(r, label.c_str(), figure + ".ms", key, "ms", "ground only");
    }
    row(r, "start-up to first frame", "startup.dalvery.ms", "startup.least.ms", "ms", "least FLTK GL program");
    row(r, "peak resident memory", "memory.dalvery.kb", "memory.least.kb", "kB", "least FLTK GL program");
    row(r, "slider event to end of frame", "event.ms", "event.frame_ms", "ms", "the frame alone, window");

    std::printf("\n");
    const std::vector<Verdict> verdicts = judge(r);
    for (const Verdict& v : verdicts)
        std::printf("%-46s %-34s %-26s %s\n", v.target.c_str(), v.figure.c_str(), v.bound.c_str(),
                    v.held ? "held" : v.measured ? "MISSED" : "NOT MEASURED");
    std::printf("\n%s\n", summaryLine(verdicts).c_str());
    return 0;
}
