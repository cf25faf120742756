#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// Where the repetitions of a figure lie: the median, and the middle half of
// them around it, from the lower to the upper quartile.
struct Spread {
    double low, median, high;
};

// The value a fraction p (0 to 1) of the way through the values in order,
// interpolated between the two nearest: p = 0.5 gives the middle value, or
// the mean of the two middle ones for an even count. 0 for no values.
inline double quantile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double at = p * double(values.size() - 1);
    const size_t below = size_t(std::floor(at));
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (at - double(below)) * (values[above] - values[below]);
}

// The quartiles as Google Benchmark statistics, beside its own median.
inline double lowerQuartile(const std::vector<double>& values)
{
    return quantile(values, 0.25);
}
inline double upperQuartile(const std::vector<double>& values)
{
    return quantile(values, 0.75);
}
