#pragma once

#include <algorithm>
#include <vector>

// The middle value (the mean of the two middle ones for an even count);
// 0 for none. Takes a copy: the caller's order is kept.
inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const size_t mid = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + mid, values.end());
    const double upper = values[mid];
    if (values.size() % 2)
        return upper;
    const double lower = *std::max_element(values.begin(), values.begin() + mid);
    return (lower + upper) / 2;
}
