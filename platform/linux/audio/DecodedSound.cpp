#include "platform/linux/audio/DecodedSound.h"

#include <array>

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
void addFrames(const Sample* in, float scale, ChannelGains gains, float* stereo, size_t count) {
    const float left = scale * gains.left;
    const float right = scale * gains.right;
    for (size_t frame = 0; frame < count; ++frame) {
        stereo[2 * frame] += static_cast<float>(in[Channels * frame]) * left;
        stereo[2 * frame + 1] += static_cast<float>(in[Channels * frame + Channels - 1]) * right;
    }
}

template <typename Sample>
void addChannels(int channels, const Sample* samples, float scale, ChannelGains gains,
                 float* stereo, size_t from, size_t count) {
    if (channels == 1) {
        addFrames<1>(samples + from, scale, gains, stereo, count);
    } else {
        addFrames<2>(samples + 2 * from, scale, gains, stereo, count);
    }
}

// Catmull-Rom through four neighbouring samples, at `t` (0 to 1) between the middle two.
float interpolate(float before, float from, float to, float after, float t) {
    const float c1 = 0.5f * (to - before);
    const float c2 = before - 2.5f * from + 2.0f * to - 0.5f * after;
    const float c3 = 0.5f * (after - before) + 1.5f * (from - to);
    return ((c3 * t + c2) * t + c1) * t + from;
}

template <int Channels, typename Sample>
size_t addResampled(const Sample* in, size_t frames, float scale, ChannelGains gains, float* stereo,
                    double& position, double step, size_t count) {
    const auto last = static_cast<int64_t>(frames) - 1;
    // Outside the sound is silence.
    const auto at = [&](int64_t frame, int channel) {
        return frame < 0 || frame > last ? 0.0f
                                         : static_cast<float>(in[Channels * frame + channel]);
    };
    const float left = scale * gains.left;
    const float right = scale * gains.right;
    size_t added = 0;
    for (; added < count && position < static_cast<double>(frames); ++added) {
        const auto frame = static_cast<int64_t>(position);
        const auto t = static_cast<float>(position - static_cast<double>(frame));
        std::array<float, Channels> values;
        for (int channel = 0; channel < Channels; ++channel) {
            if (frame >= 1 && frame + 2 <= last) {
                const Sample* p = in + Channels * (frame - 1) + channel;
                values[channel] = interpolate(
                    static_cast<float>(p[0]), static_cast<float>(p[Channels]),
                    static_cast<float>(p[2 * Channels]), static_cast<float>(p[3 * Channels]), t);
            } else {
                values[channel] = interpolate(at(frame - 1, channel), at(frame, channel),
                                              at(frame + 1, channel), at(frame + 2, channel), t);
            }
        }
        stereo[2 * added] += values[0] * left;
        stereo[2 * added + 1] += values[Channels - 1] * right;
        position += step;
    }
    return added;
}

template <typename Sample>
size_t addResampledChannels(int channels, const Sample* samples, size_t frames, float scale,
                            ChannelGains gains, float* stereo, double& position, double step,
                            size_t count) {
    if (channels == 1) {
        return addResampled<1>(samples, frames, scale, gains, stereo, position, step, count);
    }
    return addResampled<2>(samples, frames, scale, gains, stereo, position, step, count);
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

void DecodedSound::mixInto(float* stereo, size_t from, size_t count, ChannelGains gains) const {
    if (!pcm_.empty()) {
        addChannels(channels_, pcm_.data(), 1.0f / kPcmScale, gains, stereo, from, count);
    } else if (!floats_.empty()) {
        addChannels(channels_, floats_.data(), 1.0f, gains, stereo, from, count);
    }
}

size_t DecodedSound::mixResampledInto(float* stereo, double& position, double step, size_t count,
                                      ChannelGains gains) const {
    if (!pcm_.empty()) {
        return addResampledChannels(channels_, pcm_.data(), frames_, 1.0f / kPcmScale, gains,
                                    stereo, position, step, count);
    }
    return addResampledChannels(channels_, floats_.data(), frames_, 1.0f, gains, stereo, position,
                                step, count);
}

}  // namespace plinka::audio
