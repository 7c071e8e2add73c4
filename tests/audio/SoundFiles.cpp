#include "SoundFiles.h"

#include <sndfile.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "base/FileUrl.h"

namespace plinka::testing {

void writeSoundFile(const std::string& path, int format, int sampleRate, int channels,
                    const std::vector<float>& samples) {
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(file);
}

std::string urlOf(const std::string& path) {
    return FileUrl::fileURLWithPath(path);
}

SystemSoundID makeSound(SystemSoundService& service, const ScratchDirectory& folder,
                        const std::vector<float>& mono) {
    static std::atomic<int> made{0};
    const std::string path = folder.file("sound" + std::to_string(made++) + ".caf");
    writeSoundFile(path, SF_FORMAT_CAF | SF_FORMAT_FLOAT, 48000, 1, mono);
    SystemSoundID id = 0;
    if (service.createSystemSoundID(urlOf(path), &id) != kNoErr) {
        throw std::runtime_error("cannot make a sound of " + path);
    }
    return id;
}

std::vector<float> sineSamples(size_t frames, int sampleRate, double frequency, float amplitude) {
    std::vector<float> samples(frames);
    for (size_t i = 0; i < frames; ++i) {
        samples[i] = amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * frequency *
                                                             static_cast<double>(i) / sampleRate));
    }
    return samples;
}

double rmsOf(const std::vector<float>& samples, size_t from, size_t to) {
    to = std::min(to, samples.size());
    double sum = 0;
    for (size_t i = from; i < to; ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0.0;
}

size_t firstSoundingFrame(const std::vector<float>& stereo, size_t from) {
    for (size_t frame = from; 2 * frame + 1 < stereo.size(); ++frame) {
        if (stereo[2 * frame] != 0.0f || stereo[2 * frame + 1] != 0.0f) {
            return frame;
        }
    }
    return std::string::npos;
}

}  // namespace plinka::testing
