#include "tools/synth/Biquad.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace plinka::synth {

Biquad::Biquad(FilterType type, double frequency, double q, double sampleRate) {
    if (type == FilterType::None) {
        return;
    }
    // Keep the corner below Nyquist so the section stays stable.
    const double f = std::clamp(frequency, 10.0, sampleRate * 0.45);
    const double w = 2.0 * std::numbers::pi * f / sampleRate;
    const double alpha = std::sin(w) / (2.0 * std::max(q, 0.05));
    const double cosw = std::cos(w);
    double b0 = 0, b1 = 0, b2 = 0;
    switch (type) {
        case FilterType::Lowpass:
            b0 = b2 = (1 - cosw) / 2;
            b1 = 1 - cosw;
            break;
        case FilterType::Highpass:
            b0 = b2 = (1 + cosw) / 2;
            b1 = -(1 + cosw);
            break;
        case FilterType::Bandpass:  // unity gain at the centre
            b0 = alpha;
            b1 = 0;
            b2 = -alpha;
            break;
        case FilterType::None:
            break;
    }
    const double a0 = 1 + alpha;
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = -2 * cosw / a0;
    a2_ = (1 - alpha) / a0;
}

}  // namespace plinka::synth
