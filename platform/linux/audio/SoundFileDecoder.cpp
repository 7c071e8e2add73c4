#include "platform/linux/audio/SoundFileDecoder.h"

#include <fcntl.h>
#include <samplerate.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <memory>

namespace plinka::audio {
namespace {

struct SndfileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;

OSStatus statusForOpenError(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return kFileNotFoundErr;
        case EACCES:
        case EPERM:
            return kAudioFilePermissionsError;
        case ENXIO:  // a socket
        case ENODEV:
            return kAudioFileNotRegularFileError;
        default:
            return kAudioServicesSystemSoundUnspecifiedError;
    }
}

OSStatus statusForSndfileError(int error) {
    switch (error) {
        case SF_ERR_UNRECOGNISED_FORMAT:
            return kAudioFileUnsupportedFileTypeError;
        case SF_ERR_UNSUPPORTED_ENCODING:
            return kAudioFileUnsupportedDataFormatError;
        case SF_ERR_MALFORMED_FILE:
            return kAudioFileInvalidFileError;
        default:
            return kAudioServicesSystemSoundUnspecifiedError;
    }
}

// A float file may hold NaN or infinity; the mixer must never see them.
float finiteOrSilent(float sample) {
    return std::isfinite(sample) ? sample : 0.0f;
}

// The file's frames as interleaved stereo, at most maxFrames of them (a header may lie).
std::vector<float> readStereo(SNDFILE* file, const SF_INFO& info, size_t maxFrames) {
    const size_t channels = static_cast<size_t>(info.channels);
    constexpr size_t kChunkFrames = 4096;
    std::vector<float> chunk(kChunkFrames * channels);
    std::vector<float> stereo;
    stereo.reserve(std::min(static_cast<size_t>(std::max<sf_count_t>(info.frames, 0)), maxFrames) *
                   2);
    while (stereo.size() / 2 < maxFrames) {
        const size_t wanted = std::min(kChunkFrames, maxFrames - stereo.size() / 2);
        const sf_count_t read = sf_readf_float(file, chunk.data(), static_cast<sf_count_t>(wanted));
        if (read <= 0) {
            break;
        }
        for (size_t frame = 0; frame < static_cast<size_t>(read); ++frame) {
            const float* in = &chunk[frame * channels];
            stereo.push_back(finiteOrSilent(in[0]));
            stereo.push_back(finiteOrSilent(channels > 1 ? in[1] : in[0]));
        }
    }
    return stereo;
}

}  // namespace

std::vector<float> resample(const std::vector<float>& in, int channels, int inputRate,
                            int outputRate, ResampleQuality quality, int* error) {
    const double ratio = static_cast<double>(outputRate) / inputRate;
    const auto width = static_cast<size_t>(channels);
    const long inputFrames = static_cast<long>(in.size() / width);
    std::vector<float> out((static_cast<size_t>(std::ceil(inputFrames * ratio)) + 16) * width);
    SRC_DATA data{};
    data.data_in = in.data();
    data.input_frames = inputFrames;
    data.data_out = out.data();
    data.output_frames = static_cast<long>(out.size() / width);
    data.src_ratio = ratio;
    data.end_of_input = 1;
    *error = src_simple(&data, static_cast<int>(quality), channels);
    out.resize(static_cast<size_t>(data.output_frames_gen) * width);
    return out;
}

DecodedSamples decodeSoundFile(const std::string& path, int outputRate, ResampleQuality quality,
                               double maxSeconds) {
    DecodedSamples result;
    // Without O_NONBLOCK a pipe would hold the open until a writer came, perhaps for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        result.status = statusForOpenError(errno);
        return result;
    }
    struct stat about {};
    if (::fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {
        ::close(fd);
        result.status = kAudioFileNotRegularFileError;
        return result;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    SF_INFO info{};
    SndfileHandle file(sf_open_fd(fd, SFM_READ, &info, SF_TRUE));
    if (!file) {
        result.status = statusForSndfileError(sf_error(nullptr));
        return result;
    }
    if (info.samplerate <= 0 || info.channels <= 0) {
        result.status = kAudioFileInvalidFileError;
        return result;
    }
    // A header can claim anything; what it claims bounds every buffer below.
    if (info.samplerate < kMinSampleRate || info.samplerate > kMaxSampleRate ||
        info.channels > kMaxChannels) {
        result.status = kAudioFileUnsupportedDataFormatError;
        return result;
    }
    if (static_cast<double>(info.frames) > maxSeconds * info.samplerate) {
        result.status = kSoundTooLongError;
        return result;
    }
    const auto maxFrames = static_cast<size_t>(maxSeconds * info.samplerate);
    std::vector<float> stereo = readStereo(file.get(), info, maxFrames);
    if (info.samplerate == outputRate || stereo.empty()) {
        result.stereo = std::move(stereo);
        return result;
    }
    int error = 0;
    result.stereo = resample(stereo, 2, info.samplerate, outputRate, quality, &error);
    if (error != 0) {
        result.stereo.clear();
        result.status = kAudioServicesSystemSoundUnspecifiedError;
    }
    return result;
}

}  // namespace plinka::audio
