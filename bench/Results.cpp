#include "bench/Results.h"

#include <fstream>
#include <set>

#include <nlohmann/json.hpp>

namespace {

// A run's name is the benchmark's with Google Benchmark's own suffixes
// ("/iterations:4/repeats:60/manual_time"), which the figures leave out.
std::string benchmarkName(const nlohmann::json& run)
{
    const std::string name = run.value("run_name", run.value("name", ""));
    return name.substr(0, name.find('/'));
}

} // namespace

Results readResults(const std::vector<std::string>& paths)
{
    Results results;
    for (const std::string& path : paths) {
        std::ifstream in(path);
        const nlohmann::json file = nlohmann::json::parse(in, nullptr, false);
        if (file.is_discarded() || !file.contains("benchmarks"))
            continue;
        for (const nlohmann::json& run : file["benchmarks"]) {
            const bool aggregate = run.value("run_type", "") == "aggregate";
            const std::string statistic = run.value("aggregate_name", "");
            std::vector<std::string> suffixes;
            if (!aggregate)
                suffixes = {"", ".q1", ".q3"};
            else if (statistic == "median")
                suffixes = {""};
            else if (statistic == "q1" || statistic == "q3")
                suffixes = {"." + statistic};
            if (suffixes.empty() || run.value("error_occurred", false))
                continue;
            // Counters are the numbers among the run's members that Google
            // Benchmark does not write itself.
            static const std::set<std::string> own = {"family_index", "per_family_instance_index", "repetitions",
                                                      "repetition_index", "threads", "iterations", "real_time",
                                                      "cpu_time"};
            for (const auto& [key, value] : run.items()) {
                if (!value.is_number() || own.count(key))
                    continue;
                for (const std::string& suffix : suffixes)
                    results[benchmarkName(run) + "." + key + suffix] = value.get<double>();
            }
        }
    }
    return results;
}

std::optional<Spread> spreadIn(const Results& results, const std::string& name)
{
    const auto low = results.find(name + ".q1"), median = results.find(name),
               high = results.find(name + ".q3");
    if (low == results.end() || median == results.end() || high == results.end())
        return std::nullopt;
    return Spread{low->second, median->second, high->second};
}
