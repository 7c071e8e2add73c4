#include "platform/linux/audio/DecodedSound.h"

namespace plinka::audio {
namespace {

constexpr float kPcmScale = 32768.0f;

bool channelsAreEqual(const std::vector<float>& stereo) {
    for (size_t i = 0; i + 1 < stereo.size(); i += 2) {
        if (stereo[i] != stereo[i + 1]) {
            return false;
        }
    }
    return true;
}

// Range first, then a truncating round trip: cheaper than nearbyint on every sample, and NaN
// fails the range test.
bool fitsPcm16(const float* samples, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const float scaled = samples[i] * kPcmScale;
        if (!(scaled >= -32768.0f && scaled <= 32767.0f) ||
            static_cast<float>(static_cast<int>(scaled)) != scaled) {
            return false;
        }
    }
    return true;
}

template <int Channels, typename Sample>
void addFrames(const Sample* in, float scale, float* stereo, size_t count) {
    for (size_t frame = 0; frame < count; ++frame) {
        const float left = static_cast<float>(in[Channels * frame]) * scale;
        const float right = static_cast<float>(in[Channels * frame + Channels - 1]) * scale;
        stereo[2 * frame] += left;
        stereo[2 * frame + 1] += right;
    }
}

template <typename Sample>
void addChannels(int channels, const Sample* samples, float scale, float* stereo, size_t from,
                 size_t count) {
    if (channels == 1) {
        addFrames<1>(samples + from, scale, stereo, count);
    } else {
        addFrames<2>(samples + 2 * from, scale, stereo, count);
    }
}

}  // namespace

DecodedSound::DecodedSound(const std::vector<float>& stereoSamples)
    : frames_(stereoSamples.size() / 2), channels_(channelsAreEqual(stereoSamples) ? 1 : 2) {
    const size_t step = channels_ == 1 ? 2 : 1;  // one channel: every left sample
    const size_t count = frames_ * static_cast<size_t>(channels_);
    const float* in = stereoSamples.data();
    if (fitsPcm16(in, 2 * frames_)) {
        pcm_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            pcm_[i] = static_cast<int16_t>(in[i * step] * kPcmScale);
        }
    } else {
        floats_.resize(count);
        for (size_t i = 0; i < count; ++i) {
            floats_[i] = in[i * step];
        }
    }
}

size_t DecodedSound::storedBytes() const {
    return pcm_.size() * sizeof(int16_t) + floats_.size() * sizeof(float);
}

void DecodedSound::mixInto(float* stereo, size_t from, size_t count) const {
    if (!pcm_.empty()) {
        addChannels(channels_, pcm_.data(), 1.0f / kPcmScale, stereo, from, count);
    } else if (!floats_.empty()) {
        addChannels(channels_, floats_.data(), 1.0f, stereo, from, count);
    }
}

}  // namespace plinka::audio
