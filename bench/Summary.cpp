// Reads the figures the benchmark programs wrote (Google Benchmark's JSON,
// whose console output has shown each of them already), and judges every
// target: a table, then one line.
#include <cstdio>
#include <string>
#include <vector>

#include "bench/Results.h"
#include "bench/Targets.h"

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
    std::printf("\n");
    const std::vector<Verdict> verdicts = judge(r);
    for (const Verdict& v : verdicts)
        std::printf("%-46s %-40s %-28s %s\n", v.target.c_str(), v.figure.c_str(), v.bound.c_str(),
                    outcomeName(v.outcome));
    std::printf("\n%s\n", summaryLine(verdicts).c_str());
    return 0;
}
