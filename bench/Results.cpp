#include "bench/Results.h"

#include <fstream>
#include <sstream>

bool appendResult(const std::string& path, const std::string& name, double value)
{
    std::ofstream out(path, std::ios::app);
    out.precision(9);
    out << name << ' ' << value << '\n';
    return bool(out);
}

Results readResults(const std::string& path)
{
    Results results;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        // A line that does not read as a name and a number (a benchmark that
        // died mid-write, a nan) is skipped; the lines after it still count.
        std::istringstream fields(line);
        std::string name;
        double value;
        if (fields >> name >> value)
            results[name] = value;
    }
    return results;
}

bool appendSpread(const std::string& path, const std::string& name, const Spread& spread)
{
    return appendResult(path, name + ".q1", spread.low) && appendResult(path, name, spread.median) &&
           appendResult(path, name + ".q3", spread.high);
}

std::optional<Spread> spreadIn(const Results& results, const std::string& name)
{
    const auto low = results.find(name + ".q1"), median = results.find(name),
               high = results.find(name + ".q3");
    if (low == results.end() || median == results.end() || high == results.end())
        return std::nullopt;
    return Spread{low->second, median->second, high->second};
}
