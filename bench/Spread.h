#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// Where the samples of a figure lie: the median, and the middle half of the
// samples around it, from the lower to the upper quartile.
struct Spread {
    double low, median, high;
};

// The value a fraction p (0 to 1) of the way through the samples in order,
// interpolated between the two nearest: p = 0.5 gives the middle value, or
// the mean of the two middle ones for an even count. 0 for no samples.
// Takes a copy: the caller's order is kept.
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

inline double median(const std::vector<double>& values)
{
    return quantile(values, 0.5);
}

inline Spread spreadOf(const std::vector<double>& values)
{
    return {quantile(values, 0.25), median(values), quantile(values, 0.75)};
}
