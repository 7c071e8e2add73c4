#include "tools/soundpack/PackAudio.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/linux/audio/SoundFileDecoder.h"
#include "tools/soundpack/PackLimits.h"

namespace plinka::soundpack {

namespace {

// The rates a sound may come at; the top one bounds what reading a slice may allocate.
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 192000;

// A position in frames as people read it; any offset however huge prints.
std::string milliseconds(double frames, int rate) {
    return std::to_string(
               static_cast<long long>(std::min(std::round(frames * 1000 / rate), 1e15))) +
           " ms";
}

}  // namespace

// libsndfile reads the bytes in memory through these.
struct AudioFile::Stream {
    std::vector<uint8_t> bytes;
    sf_count_t position = 0;

    static sf_count_t length(void* self) {
        return static_cast<sf_count_t>(static_cast<Stream*>(self)->bytes.size());
    }
    static sf_count_t seek(sf_count_t offset, int whence, void* self) {
        auto& stream = *static_cast<Stream*>(self);
        const sf_count_t base = whence == SEEK_CUR   ? stream.position
                                : whence == SEEK_END ? length(self)
                                                     : 0;
        if (offset < -base || offset > length(self) - base) {
            return -1;
        }
        stream.position = base + offset;
        return stream.position;
    }
    static sf_count_t read(void* buffer, sf_count_t count, void* self) {
        auto& stream = *static_cast<Stream*>(self);
        const sf_count_t n = std::clamp<sf_count_t>(count, 0, length(self) - stream.position);
        if (n == 0) {
            return 0;  // an empty file's bytes have no address to copy from
        }
        std::memcpy(buffer, stream.bytes.data() + stream.position, static_cast<size_t>(n));
        stream.position += n;
        return n;
    }
    static sf_count_t write(const void*, sf_count_t, void*) { return 0; }
    static sf_count_t tell(void* self) { return static_cast<Stream*>(self)->position; }
};

AudioFile::AudioFile() : stream_(std::make_unique<Stream>()) {}

AudioFile::~AudioFile() {
    if (file_ != nullptr) {
        sf_close(file_);
    }
}

std::unique_ptr<AudioFile> AudioFile::open(std::vector<uint8_t> bytes, std::string& error) {
    std::unique_ptr<AudioFile> audio(new AudioFile());
    audio->stream_->bytes = std::move(bytes);
    static SF_VIRTUAL_IO io{Stream::length, Stream::seek, Stream::read, Stream::write,
                            Stream::tell};
    SF_INFO info{};
    audio->file_ = sf_open_virtual(&io, SFM_READ, &info, audio->stream_.get());
    if (audio->file_ == nullptr) {
        error = std::string("not audio Plinka can read (") + sf_strerror(nullptr) + ")";
        return nullptr;
    }
    if (info.samplerate < kMinRate || info.samplerate > kMaxRate || info.channels < 1) {
        error = "audio at " + std::to_string(info.samplerate) + " Hz, which Plinka doesn't play";
        return nullptr;
    }
    audio->rate_ = info.samplerate;
    audio->channels_ = info.channels;
    audio->frames_ = info.frames;
    return audio;
}

std::vector<float> AudioFile::readFrames(int64_t frames) {
    const auto width = static_cast<size_t>(std::min(channels_, 2));
    constexpr size_t kChunkFrames = 4096;
    std::vector<float> chunk(kChunkFrames * static_cast<size_t>(channels_));
    std::vector<float> samples;
    samples.reserve(static_cast<size_t>(frames) * width);
    while (samples.size() < static_cast<size_t>(frames) * width) {
        const size_t wanted =
            std::min(kChunkFrames, static_cast<size_t>(frames) - samples.size() / width);
        const sf_count_t got = sf_readf_float(file_, chunk.data(), static_cast<sf_count_t>(wanted));
        if (got <= 0) {
            break;
        }
        for (size_t frame = 0; frame < static_cast<size_t>(got); ++frame) {
            for (size_t channel = 0; channel < width; ++channel) {
                const float sample = chunk[frame * static_cast<size_t>(channels_) + channel];
                samples.push_back(std::isfinite(sample) ? sample : 0.0f);
            }
        }
    }
    return samples;
}

std::optional<Clip> AudioFile::clip(const SoundSource& source, std::string& problem,
                                    std::string& note) {
    const double fileFrames = static_cast<double>(frames_);
    double start = source.startMs ? std::round(*source.startMs * rate_ / 1000) : 0;
    double frames = source.lengthMs ? std::round(*source.lengthMs * rate_ / 1000) : fileFrames;
    if (start >= fileFrames) {
        problem = source.startMs
                      ? "starts at " + milliseconds(start, rate_) + ", past the end of the file (" +
                            milliseconds(fileFrames, rate_) + ")"
                      : "holds no sound";
        return std::nullopt;
    }
    if (start + frames > fileFrames) {
        frames = fileFrames - start;
        note = "runs past the end of the file (" + milliseconds(fileFrames, rate_) + "): cut there";
    }
    if (source.part != SoundSource::Part::Whole) {
        const double firstHalf = std::floor(frames / 2);
        start += source.part == SoundSource::Part::SecondHalf ? firstHalf : 0;
        frames = source.part == SoundSource::Part::SecondHalf ? frames - firstHalf : firstHalf;
    }
    const double maxFrames = PackLimits::kMaxSoundSeconds * rate_;
    if (frames > maxFrames) {
        frames = maxFrames;
        note = "longer than " + std::to_string(static_cast<int>(PackLimits::kMaxSoundSeconds)) +
               " s: cut there";
    }
    if (sf_seek(file_, static_cast<sf_count_t>(start), SEEK_SET) < 0) {
        problem = "can't be read at " + milliseconds(start, rate_);
        return std::nullopt;
    }
    Clip clip;
    clip.channels = std::min(channels_, 2);
    clip.samples = readFrames(static_cast<int64_t>(frames));
    if (clip.samples.empty()) {
        problem = "holds no sound";
        return std::nullopt;
    }
    if (rate_ != kClipRate) {
        int error = 0;
        clip.samples = audio::resample(clip.samples, clip.channels, rate_, kClipRate,
                                       audio::ResampleQuality::Medium, &error);
        if (error != 0 || clip.samples.empty()) {
            problem = "can't be resampled";
            return std::nullopt;
        }
    }
    return clip;
}

bool writeWav(const Clip& clip, const std::string& path, std::string& error) {
    SF_INFO info{};
    info.samplerate = kClipRate;
    info.channels = clip.channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        error = path + ": can't be written (" + sf_strerror(nullptr) + ")";
        return false;
    }
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const auto frames = static_cast<sf_count_t>(clip.frames());
    const bool written = sf_writef_float(file, clip.samples.data(), frames) == frames;
    if (sf_close(file) != 0 || !written) {
        error = path + ": can't be written";
        return false;
    }
    return true;
}

}  // namespace plinka::soundpack
