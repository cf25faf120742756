#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/Spread.h"

// The benchmarks' figures, read from the JSON files Google Benchmark writes
// (--benchmark_out). Each counter of a benchmark is a figure named
// "benchmark.counter"; of one repeated, its median over the repetitions
// under that name and its quartiles (the statistics "q1" and "q3") under
// name.q1 and name.q3, so that a reader after medians alone finds them. A
// benchmark run once gives all three the one value.
using Results = std::map<std::string, double>;

// Every figure in the files; a file that is missing or not such JSON adds
// none.
Results readResults(const std::vector<std::string>& paths);

// The spread of that name; none unless all three figures are there.
std::optional<Spread> spreadIn(const Results& results, const std::string& name);
