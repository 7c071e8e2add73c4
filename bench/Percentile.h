#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace plinka::bench {

// The nearest-rank percentile of a non-empty sample; fraction 1.0 is the largest value.
inline double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5)];
}

}  // namespace plinka::bench
