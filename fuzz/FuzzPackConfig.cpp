// libFuzzer target: bytes as a sound pack's config.json, imported as far as a check goes. The
// pack around it holds a one-second Ogg sprite and a few WAV files, so fuzzed defines reach
// the slicing, range and file look-ups with real audio behind them.
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/soundpack/SoundPackImport.h"

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

// The pack's folder, removed when the fuzzer exits.
struct PackFolder {
    PackFolder()
        : path(fs::temp_directory_path() / ("plinka-fuzz-pack-" + std::to_string(::getpid()))) {
        writeTone(path / "sound.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, 44100, 2, 1.0);
        writeTone(path / "a.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1, 0.05);
        for (int i = 0; i < 3; ++i) {
            writeTone(path / "press" / ("k" + std::to_string(i) + ".wav"),
                      SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 0.02);
        }
    }
    ~PackFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

const fs::path& packFolder() {
    static const PackFolder folder;
    return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(packFolder() / "config.json", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::string error;
    plinka::soundpack::checkSoundPack(packFolder().string(), {}, error);
    return 0;
}
