#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/linux/audio/AudioOptions.h"
#include "tools/soundpack/PackPlan.h"

typedef struct sf_private_tag SNDFILE;

namespace plinka::soundpack {

// The rate imported sounds are stored at: the one the application mixes at, so that loading an
// imported theme resamples nothing.
inline constexpr int kClipRate = AudioOptions{}.sampleRate;

// One sound ready for a theme: interleaved mono or stereo samples at kClipRate.
struct Clip {
    int channels = 1;
    std::vector<float> samples;
    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
    // Its size as a 16-bit WAV file.
    std::size_t wavBytes() const { return 44 + samples.size() * 2; }
};

// An audio file of a pack, held in memory and read by libsndfile (WAV, Ogg Vorbis, FLAC, MP3
// and the rest it knows).
class AudioFile {
  public:
    // Opens the bytes; nullptr with the reason when they are not audio Plinka can play.
    static std::unique_ptr<AudioFile> open(std::vector<uint8_t> bytes, std::string& error);
    ~AudioFile();
    AudioFile(const AudioFile&) = delete;
    AudioFile& operator=(const AudioFile&) = delete;

    // The source's sound: the whole file, or its slice [startMs, startMs + lengthMs) cut on
    // whole frames, or the first or second half of that; the first two channels, resampled to
    // kClipRate. A slice that runs past the
    // end, or a sound longer than PackLimits::kMaxSoundSeconds, is cut, and `note` says so.
    // nullopt with the reason when there is no sound there.
    std::optional<Clip> clip(const SoundSource& source, std::string& problem, std::string& note);

  private:
    struct Stream;
    AudioFile();
    // Up to `frames` frames from the current position, as (at most) two channels.
    std::vector<float> readFrames(int64_t frames);

    std::unique_ptr<Stream> stream_;
    SNDFILE* file_ = nullptr;
    int rate_ = 0;
    int channels_ = 0;
    int64_t frames_ = 0;
};

// Writes the clip as a 16-bit PCM WAV file; false with the reason.
bool writeWav(const Clip& clip, const std::string& path, std::string& error);

}  // namespace plinka::soundpack
