#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace plinka::testing {

// The largest magnitude among the samples [from, to).
inline float peakOf(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX) {
    float peak = 0.0f;
    for (size_t i = from; i < std::min(to, samples.size()); ++i) {
        peak = std::max(peak, std::fabs(samples[i]));
    }
    return peak;
}

}  // namespace plinka::testing
