#pragma once

#include <string>
#include <vector>

#include "platform/SystemSoundService.h"

namespace plinka::audio {

// The converters worth choosing between (libsamplerate's SRC_SINC_* values).
enum class ResampleQuality { Fastest = 2, Medium = 1, Best = 0 };

struct DecodedSamples {
    OSStatus status = kNoErr;
    std::vector<float> stereo;  // interleaved left/right at the requested rate
};

// The longest sound we keep: system sounds are short, and this bounds what a hostile file costs.
constexpr double kMaxSoundSeconds = 30.0;
// What a file's header may claim; anything else is refused before a sample is read.
constexpr int kMinSampleRate = 1000;
constexpr int kMaxSampleRate = 384000;
constexpr int kMaxChannels = 32;

// Reads the audio file at the path (any format libsndfile knows: AIFF, WAV, CAF, ...), makes it
// stereo (mono is duplicated, channels past two are dropped) and resamples it once to the rate.
// On failure the status says why: missing file, not a regular file, no permission, unknown
// type, bad data, a rate or channel count out of bounds, longer than maxSeconds.
DecodedSamples decodeSoundFile(const std::string& path, int outputRate,
                               ResampleQuality quality = ResampleQuality::Medium,
                               double maxSeconds = kMaxSoundSeconds);

// Interleaved samples of `channels` channels at `inputRate` resampled to `outputRate`;
// libsamplerate's error code in `error` (0 when none).
std::vector<float> resample(const std::vector<float>& in, int channels, int inputRate,
                            int outputRate, ResampleQuality quality, int* error);

}  // namespace plinka::audio
