#include "tools/synth/WavFile.h"

#include <sndfile.h>

#include <memory>

namespace plinka::synth {

namespace {

struct CloseFile {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFile = std::unique_ptr<SNDFILE, CloseFile>;

}  // namespace

bool writeWav(const std::string& path, const Audio& audio, std::string& error) {
    SF_INFO info{};
    info.samplerate = audio.sampleRate;
    info.channels = audio.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SndFile file(sf_open(path.c_str(), SFM_WRITE, &info));
    if (!file) {
        error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    // Samples past full scale are clipped rather than wrapped.
    sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const auto frames = static_cast<sf_count_t>(audio.frames());
    if (sf_writef_float(file.get(), audio.samples.data(), frames) != frames) {
        error = path + ": " + sf_strerror(file.get());
        return false;
    }
    return true;
}

bool readAudio(const std::string& path, Audio& audio, std::string& error) {
    SF_INFO info{};
    SndFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        error = path + ": " + sf_strerror(nullptr);
        return false;
    }
    audio.sampleRate = info.samplerate;
    audio.channels = info.channels;
    audio.samples.assign(static_cast<size_t>(info.frames * info.channels), 0.0f);
    const sf_count_t read = sf_readf_float(file.get(), audio.samples.data(), info.frames);
    audio.samples.resize(static_cast<size_t>(read * info.channels));
    return true;
}

}  // namespace plinka::synth
