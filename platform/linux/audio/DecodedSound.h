#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/linux/audio/AudioThreadShared.h"

namespace plinka::audio {

// What each channel of a sound is multiplied by as it is mixed.
struct ChannelGains {
    float left = 1.0f;
    float right = 1.0f;
};

// A sound ready to mix at the output rate, never changed once made. It is kept in the smallest
// form that holds it exactly: one channel when both are the same, and 16-bit samples when every
// sample is a multiple of 1/32768 (what 16-bit files decode to), else floats.
class DecodedSound final : public AudioThreadShared {
  public:
    // Takes interleaved float stereo.
    explicit DecodedSound(const std::vector<float>& stereoSamples);

    size_t frames() const { return frames_; }
    int channels() const { return channels_; }
    // Bytes the samples take.
    size_t storedBytes() const;
    // Audio side: adds count frames from frame `from` on to interleaved stereo.
    void mixInto(float* stereo, size_t from, size_t count, ChannelGains gains = {}) const;
    // Audio side: adds up to count frames read every `step` frames of the sound from `position`
    // on (cubic interpolation between its frames), stopping at its end; moves `position` on and
    // answers the frames added.
    size_t mixResampledInto(float* stereo, double& position, double step, size_t count,
                            ChannelGains gains) const;

  private:
    size_t frames_;
    int channels_;
    std::vector<int16_t> pcm_;   // when exact in 16 bits
    std::vector<float> floats_;  // otherwise
};

}  // namespace plinka::audio
