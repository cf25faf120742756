#include "bench/Targets.h"

#include <cstdio>
#include <initializer_list>

namespace {

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

bool have(const Results& results, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        if (!results.count(name))
            return false;
    return true;
}

Verdict missing(const std::string& target, const std::string& bound)
{
    return {target, "no figure", bound, false, false};
}

Verdict ratioAtMost(const Results& r, const std::string& target, const char* numerator,
                    const char* denominator, double limit)
{
    const std::string bound = format("<= %.1fx", limit);
    if (!have(r, {numerator, denominator}) || r.at(denominator) <= 0)
        return missing(target, bound);
    const double ratio = r.at(numerator) / r.at(denominator);
    return {target, format("%.2fx", ratio), bound, true, ratio <= limit};
}

} // namespace

std::vector<Verdict> judge(const Results& r)
{
    std::vector<Verdict> verdicts;
    verdicts.push_back(ratioAtMost(r, "start-up scene frame / ground-only floor", "frame.startup.ms",
                                   "frame.startup.floor_ms", frameToFloorLimit));

    const std::string rocksBound = format("<= %.1f ms", rocksFrameLimitMs);
    if (have(r, {"frame.rocks1000.ms"})) {
        const double ms = r.at("frame.rocks1000.ms");
        verdicts.push_back({"frame with 1,000 rocks", format("%.2f ms", ms), rocksBound, true,
                            ms <= rocksFrameLimitMs});
    } else {
        verdicts.push_back(missing("frame with 1,000 rocks", rocksBound));
    }

    const std::string linearBound =
        format("slope ratio %.2f", linearSlopeLow) + format(" to %.2f", linearSlopeHigh);
    if (have(r, {"frame.rocks0.ms", "frame.rocks1000.ms", "frame.rocks10000.ms", "frame.rocks0.floor_ms",
                 "frame.rocks1000.floor_ms", "frame.rocks10000.floor_ms"}) &&
        r.at("frame.rocks0.floor_ms") > 0 && r.at("frame.rocks1000.floor_ms") > 0 &&
        r.at("frame.rocks10000.floor_ms") > 0) {
        // The slopes are taken in units of each case's own floor: the cases
        // run one after another, and load from elsewhere that comes and goes
        // between them would otherwise bend the line.
        const double x0 = r.at("frame.rocks0.ms") / r.at("frame.rocks0.floor_ms");
        const double x1k = r.at("frame.rocks1000.ms") / r.at("frame.rocks1000.floor_ms");
        const double x10k = r.at("frame.rocks10000.ms") / r.at("frame.rocks10000.floor_ms");
        const double low = (x1k - x0) / 1000, high = (x10k - x1k) / 9000;
        const double slopeRatio = low > 0 ? high / low : 0;
        const double perRockUs = (r.at("frame.rocks10000.ms") - r.at("frame.rocks0.ms")) / 10000 * 1000;
        verdicts.push_back({"cost linear in rocks",
                            format("%.2f us a rock", perRockUs) + format(", slope ratio %.2f", slopeRatio),
                            linearBound, true,
                            low > 0 && slopeRatio >= linearSlopeLow && slopeRatio <= linearSlopeHigh});
    } else {
        verdicts.push_back(missing("cost linear in rocks", linearBound));
    }

    const std::string growthBound = format("<= %.2fx", noGrowthLimit);
    if (have(r, {"frame.startup.ms", "frame.startup.floor_ms", "frame.startup_again.ms",
                 "frame.startup_again.floor_ms"}) &&
        r.at("frame.startup.ms") > 0 && r.at("frame.startup.floor_ms") > 0 &&
        r.at("frame.startup_again.floor_ms") > 0) {
        const double first = r.at("frame.startup.ms") / r.at("frame.startup.floor_ms");
        const double again = r.at("frame.startup_again.ms") / r.at("frame.startup_again.floor_ms");
        const double growth = again / first;
        verdicts.push_back({"same frame after all the others / at first", format("%.2fx", growth),
                            growthBound, true, growth <= noGrowthLimit});
    } else {
        verdicts.push_back(missing("same frame after all the others / at first", growthBound));
    }

    verdicts.push_back(ratioAtMost(r, "start-up to first frame / least FLTK program", "startup.dalvery.ms",
                                   "startup.least.ms", startupLimit));
    verdicts.push_back(ratioAtMost(r, "peak memory / least FLTK program", "memory.dalvery.kb",
                                   "memory.least.kb", memoryLimit));

    const std::string eventBound = format("<= frame + %.0f ms", eventSlackMs);
    if (have(r, {"event.ms", "event.frame_ms"})) {
        const double ms = r.at("event.ms"), limit = r.at("event.frame_ms") + eventSlackMs;
        verdicts.push_back({"slider event to end of frame", format("%.2f ms", ms),
                            eventBound + format(" = %.2f ms", limit), true, ms <= limit});
    } else {
        verdicts.push_back(missing("slider event to end of frame", eventBound));
    }
    return verdicts;
}

std::string summaryLine(const std::vector<Verdict>& verdicts)
{
    std::string line = "SUMMARY:";
    int held = 0;
    for (const Verdict& v : verdicts) {
        line += " [" + v.target + ": " + v.figure + " (" + v.bound + ") " +
                (v.held ? "held" : v.measured ? "MISSED" : "NOT MEASURED") + "]";
        held += v.held;
    }
    return line + " " + std::to_string(held) + " of " + std::to_string(verdicts.size()) + " targets held";
}
