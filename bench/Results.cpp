#include "bench/Results.h"

#include <fstream>

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
    std::string name;
    double value;
    while (in >> name >> value)
        results[name] = value;
    return results;
}
