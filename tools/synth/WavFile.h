#pragma once

#include <string>
#include <vector>

namespace plinka::synth {

// Interleaved float samples in [-1, 1] and their format.
struct Audio {
    std::vector<float> samples;
    int sampleRate = 0;
    int channels = 1;

    size_t frames() const {
        return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0;
    }
};

// Writes 16-bit PCM WAV; false with the reason in `error` when the file can't be written.
bool writeWav(const std::string& path, const Audio& audio, std::string& error);
// Reads any audio file libsndfile knows; false with the reason in `error`.
bool readAudio(const std::string& path, Audio& audio, std::string& error);

}  // namespace plinka::synth
