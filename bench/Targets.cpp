#include "bench/Targets.h"

#include <cstdio>
#include <initializer_list>
#include <limits>
#include <optional>

namespace {

constexpr double unbounded = std::numeric_limits<double>::infinity();

std::string format(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// "1.03x (0.98 to 1.09)": the median, then the middle half.
std::string describe(const Spread& s, const char* unit)
{
    return format("%.2f", s.median) + unit + " (" + format("%.2f", s.low) + " to " + format("%.2f", s.high) + ")";
}

// Held, within noise or missed for a bound from `low` to `high`.
Outcome outcomeOf(const Spread& s, double low, double high)
{
    if (s.median >= low && s.median <= high)
        return Outcome::held;
    if (s.low <= high && s.high >= low)
        return Outcome::withinNoise;
    return Outcome::missed;
}

Verdict missing(const std::string& target, const std::string& bound)
{
    return {target, "no figure", bound, Outcome::notMeasured};
}

Verdict atMost(const Results& r, const std::string& target, const std::string& figure, double limit,
               const char* unit)
{
    const std::string bound = "<= " + format("%.2f", limit) + unit;
    const std::optional<Spread> s = spreadIn(r, figure);
    if (!s)
        return missing(target, bound);
    return {target, describe(*s, unit), bound, outcomeOf(*s, -unbounded, limit)};
}

// Cost per rock above 1,000 rocks over that below; unbounded when the cost
// does not grow below 1,000.
double slopeRatio(double ms0, double ms1k, double ms10k)
{
    const double below = (ms1k - ms0) / 1000, above = (ms10k - ms1k) / 9000;
    return below > 0 ? above / below : unbounded;
}

Verdict linearInRocks(const Results& r)
{
    const std::string target = "cost linear in rocks",
                      bound = format("slope ratio %.2f", linearSlopeLow) + format(" to %.2f", linearSlopeHigh);
    const std::optional<Spread> ms0 = spreadIn(r, "frame.rocks0.cpu_ms"),
                                ms1k = spreadIn(r, "frame.rocks1000.cpu_ms"),
                                ms10k = spreadIn(r, "frame.rocks10000.cpu_ms");
    if (!ms0 || !ms1k || !ms10k)
        return missing(target, bound);
    // The ratio grows with the cost of 10,000 rocks and of none, and falls
    // with that of 1,000: its middle half runs between the corners of theirs.
    const Spread ratio{slopeRatio(ms0->low, ms1k->high, ms10k->low),
                       slopeRatio(ms0->median, ms1k->median, ms10k->median),
                       slopeRatio(ms0->high, ms1k->low, ms10k->high)};
    const double perRockUs = (ms10k->median - ms0->median) / 10000 * 1000;
    return {target, format("%.2f us a rock, ", perRockUs) + describe(ratio, ""), bound,
            outcomeOf(ratio, linearSlopeLow, linearSlopeHigh)};
}

Verdict noGrowth(const Results& r)
{
    const std::string target = "same frame after all the others / at first",
                      bound = format("<= %.2fx", noGrowthLimit);
    const std::optional<Spread> first = spreadIn(r, "frame.startup.x_floor"),
                                again = spreadIn(r, "frame.startup_again.x_floor");
    if (!first || !again || first->low <= 0)
        return missing(target, bound);
    const Spread growth{again->low / first->high, again->median / first->median, again->high / first->low};
    return {target, describe(growth, "x"), bound, outcomeOf(growth, -unbounded, noGrowthLimit)};
}

Verdict eventToFrame(const Results& r)
{
    const std::string target = "slider event to end of frame",
                      bound = format("<= frame + %.0f ms", eventSlackMs);
    const std::optional<Spread> event = spreadIn(r, "event.ms");
    if (!event || !r.count("event.frame_ms"))
        return missing(target, bound);
    const double limit = r.at("event.frame_ms") + eventSlackMs;
    return {target, describe(*event, " ms"), bound + format(" = %.2f ms", limit),
            outcomeOf(*event, -unbounded, limit)};
}

} // namespace

std::vector<Verdict> judge(const Results& r)
{
    return {
        atMost(r, "start-up scene frame / its display list", "frame.startup.x_list", frameToListLimit, "x"),
        atMost(r, "start-up scene frame at 2x / its display list", "frame.startup_scale2.x_list",
               frameToListLimit, "x"),
        atMost(r, "frame with 1,000 rocks", "frame.rocks1000.ms", rocksFrameLimitMs, " ms"),
        linearInRocks(r),
        noGrowth(r),
        atMost(r, "start-up to first frame / least lit program", "startup.x_least_lit", startupLimit, "x"),
        atMost(r, "cold start-up / least lit program", "startup_cold.x_least_lit",
               coldStartupLimit, "x"),
        atMost(r, "peak memory / least lit program", "startup.kb_x_least_lit", memoryLimit, "x"),
        eventToFrame(r),
    };
}

const char* outcomeName(Outcome outcome)
{
    switch (outcome) {
    case Outcome::held:
        return "held";
    case Outcome::withinNoise:
        return "WITHIN NOISE";
    case Outcome::missed:
        return "MISSED";
    case Outcome::notMeasured:
        return "NOT MEASURED";
    }
    return "";
}

std::string summaryLine(const std::vector<Verdict>& verdicts)
{
    std::string line = "SUMMARY:";
    int held = 0;
    for (const Verdict& v : verdicts) {
        line += " [" + v.target + ": " + v.figure + " (" + v.bound + ") " + outcomeName(v.outcome) + "]";
        held += v.outcome == Outcome::held;
    }
    line += " " + std::to_string(held) + " of " + std::to_string(verdicts.size()) + " targets held";
    for (Outcome other : {Outcome::withinNoise, Outcome::missed, Outcome::notMeasured}) {
        std::string names;
        for (const Verdict& v : verdicts)
            if (v.outcome == other)
                names += (names.empty() ? "" : ", ") + v.target;
        if (!names.empty())
            line += std::string("; ") + outcomeName(other) + ": " + names;
    }
    return line;
}
