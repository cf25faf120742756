#pragma once

#include <benchmark/benchmark.h>

#include "bench/Spread.h"

// A case whose every repetition is one sample that the case times itself:
// Google Benchmark reports the median over the repetitions, and the
// quartiles as statistics of ours, q1 and q3.
inline benchmark::internal::Benchmark* sampled(benchmark::internal::Benchmark* b, int repetitions)
{
    return b->Iterations(1)
        ->Repetitions(repetitions)
        ->ComputeStatistics("q1", lowerQuartile)
        ->ComputeStatistics("q3", upperQuartile)
        ->ReportAggregatesOnly()
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}
