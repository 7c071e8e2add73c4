#include "CorpusPack.h"

#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

namespace plinka::testing {

namespace {

namespace fs = std::filesystem;

void writeTone(const fs::path& file, int format, int rate, int channels, double seconds) {
    fs::create_directories(file.parent_path());
    std::vector<float> samples;
    for (int frame = 0; frame < static_cast<int>(seconds * rate); ++frame) {
        samples.insert(samples.end(), static_cast<size_t>(channels),
                       static_cast<float>(0.5 * std::sin(frame * 0.05)));
    }
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* out = sf_open(file.c_str(), SFM_WRITE, &info);
    sf_writef_float(out, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(out);
}

}  // namespace

void writeCorpusPackSounds(const fs::path& folder) {
    writeTone(folder / "sound.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 1.0);
    writeTone(folder / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 0.05);
    for (int i = 0; i < 3; ++i) {
        writeTone(folder / "press" / ("k" + std::to_string(i) + ".wav"),
                  SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 0.02);
    }
}

}  // namespace plinka::testing
