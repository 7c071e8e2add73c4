#pragma once

#include <cstddef>

namespace plinka::audio {

// Keeps a mix under the ceiling: the gain drops at once to what the loudest sample of a frame
// needs (no overshoot, no hard clipping) and comes back smoothly, so a burst of overlapping
// sounds is only made quieter for a moment.
class SoftLimiter {
  public:
    static constexpr float kCeiling = 0.944f;  // -0.5 dBFS
    static constexpr double kReleaseSeconds = 0.08;
    // A gain this close to 1 counts as fully recovered: the rest is far below hearing.
    static constexpr float kUnity = 0.999f;

    explicit SoftLimiter(int sampleRate);
    // Limits interleaved stereo in place.
    void process(float* stereo, size_t frames);
    float gain() const { return gain_; }

  private:
    float release_;  // per-frame step of the gain back towards 1
    float gain_ = 1.0f;
};

}  // namespace plinka::audio
