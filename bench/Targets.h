#pragma once

#include <string>
#include <vector>

#include "bench/Results.h"

// The performance targets on the reference machine, judged from the figures
// the benchmark programs wrote. Each figure is a spread: its median and the
// middle half of its repetitions. A target is
// - held when the median is within its bound;
// - within noise when the median is not but part of the middle half is:
//   the load of a shared machine can put it either side;
// - missed when the whole middle half lies past the bound.
enum class Outcome { held, withinNoise, missed, notMeasured };

struct Verdict {
    std::string target; // what is measured
    std::string figure; // the median and the middle half, as printed
    std::string bound;  // what it must stay within
    Outcome outcome;
};

// A frame of the start-up scene over the same frame replayed from a display
// list: what drawing in immediate mode costs above the picture itself. The
// same bound at scale 2, with four times the pixels.
constexpr double frameToListLimit = 1.2;
constexpr double rocksFrameLimitMs = 16.7; // one 60 Hz refresh
// Cost per rock from 1,000 to 10,000 rocks over that from 0 to 1,000, in
// processor time: 1 for a straight line; a cost growing with the square of
// the rocks gives about 11, one that stops growing near 0. The cases run one
// after another, and processor time, unlike the time a frame takes, does not
// stretch with the load from elsewhere that comes and goes between them. The
// band is a factor of 1.5 either way.
constexpr double linearSlopeLow = 1 / 1.5, linearSlopeHigh = 1.5;
// The start-up scene after all the other frames over the same scene at first,
// each in floors of the ground alone.
constexpr double noGrowthLimit = 1.2;
// Over the least program with the same widgets whose view draws lit.
constexpr double startupLimit = 1.15;
constexpr double memoryLimit = 1.05;
// The same where nothing is cached: Mesa's shader cache off.
constexpr double coldStartupLimit = 1.3;
constexpr double eventSlackMs = 1;

std::vector<Verdict> judge(const Results& results);

const char* outcomeName(Outcome outcome);

// One line: every target with its figure and outcome, then the count held and
// the name of every target that is not.
std::string summaryLine(const std::vector<Verdict>& verdicts);
