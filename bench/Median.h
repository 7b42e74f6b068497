#pragma once

#include <algorithm>
#include <vector>

// The middle of a benchmark's rounds: one slow round (another program busy) does not move it.
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}
