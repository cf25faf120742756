#pragma once

#include <string>
#include <vector>

#include "bench/Results.h"

// The performance targets on the reference machine, judged from the figures
// the benchmark programs wrote.
struct Verdict {
    std::string target; // what is measured
    std::string figure; // the measured value, as printed
    std::string bound;  // what it must stay within
    bool measured;      // false when a figure it needs is missing
    bool held;          // false when missed or not measured
};

constexpr double frameToFloorLimit = 1.5;
constexpr double rocksFrameLimitMs = 16.7; // one 60 Hz refresh
// Cost per rock from 1,000 to 10,000 rocks over that from 0 to 1,000, each
// in floors: 1 for a straight line; a cost growing with the square of the
// rocks gives about 11, one that stops growing near 0. The band is a factor
// of 1.5 either way: runs on a shared machine gave 0.80 to 1.05.
constexpr double linearSlopeLow = 1 / 1.5, linearSlopeHigh = 1.5;
// The start-up scene after all the other frames over the same scene at first,
// each in units of its own floor.
constexpr double noGrowthLimit = 1.2;
constexpr double startupLimit = 1.3;
constexpr double memoryLimit = 1.3;
constexpr double eventSlackMs = 1;

std::vector<Verdict> judge(const Results& results);

// One line: every target with its figure and whether it holds.
std::string summaryLine(const std::vector<Verdict>& verdicts);
