#include "platform/linux/audio/SoftLimiter.h"

#include <algorithm>
#include <cmath>

namespace plinka::audio {

SoftLimiter::SoftLimiter(int sampleRate)
    : release_(static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * sampleRate)))) {}

void SoftLimiter::process(float* stereo, size_t frames) {
    for (size_t frame = 0; frame < frames; ++frame) {
        float& left = stereo[2 * frame];
        float& right = stereo[2 * frame + 1];
        const float peak = std::max(std::fabs(left), std::fabs(right));
        gain_ += (1.0f - gain_) * release_;
        if (peak * gain_ > kCeiling) {
            gain_ = kCeiling / peak;
        }
        left *= gain_;
        right *= gain_;
    }
}

}  // namespace plinka::audio
