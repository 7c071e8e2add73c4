#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/linux/audio/AudioThreadShared.h"

namespace plinka::audio {

// A sound ready to mix: interleaved float stereo at the output rate, never changed once made.
class DecodedSound final : public AudioThreadShared {
  public:
    explicit DecodedSound(std::vector<float> stereoSamples) : samples_(std::move(stereoSamples)) {}

    const float* samples() const { return samples_.data(); }
    size_t frames() const { return samples_.size() / 2; }

  private:
    std::vector<float> samples_;
};

}  // namespace plinka::audio
