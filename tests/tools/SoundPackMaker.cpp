#include "tools/SoundPackMaker.h"

#include <sndfile.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

#include "audio/SoundFiles.h"

namespace plinka::testing {

namespace fs = std::filesystem;

std::vector<float> toneBurst(double frequency, double ms, int rate, int channels) {
    const auto frames = static_cast<size_t>(ms * rate / 1000);
    std::vector<float> samples;
    for (size_t frame = 0; frame < frames; ++frame) {
        const double t = static_cast<double>(frame) / rate;
        // Full strength for the first 40 %, then a fall to nothing by the end.
        const double fade = std::min(1.0, 2.5 * (1.0 - static_cast<double>(frame) / frames));
        const auto sample =
            static_cast<float>(0.5 * fade * std::sin(2 * std::numbers::pi * frequency * t));
        samples.insert(samples.end(), static_cast<size_t>(channels), sample);
    }
    return samples;
}

void writeSamples(const fs::path& file, int format, int rate, int channels,
                  const std::vector<float>& samples) {
    fs::create_directories(file.parent_path());
    writeSoundFile(file.string(), format, rate, channels, samples);
}

void writeTone(const fs::path& file, int format, double frequency, double ms, int rate,
               int channels) {
    writeSamples(file, format, rate, channels, toneBurst(frequency, ms, rate, channels));
}

int oggFormat() {
    return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
}
int flacFormat() {
    return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
}
int mp3Format() {
    return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
}
int wavFormat() {
    return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
}

double toneStrength(const std::vector<float>& samples, int channels, int rate, size_t from,
                    size_t count, double frequency) {
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * frequency / rate);
    double previous = 0;
    double beforePrevious = 0;
    const size_t end = std::min(from + count, samples.size() / static_cast<size_t>(channels));
    for (size_t frame = from; frame < end; ++frame) {
        const double current = samples[frame * static_cast<size_t>(channels)] +
                               coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
    }
    const double power = previous * previous + beforePrevious * beforePrevious -
                         coefficient * previous * beforePrevious;
    return count == 0 ? 0 : power / static_cast<double>(count * count);
}

}  // namespace plinka::testing
