#pragma once

#include <cstddef>
#include <memory>

#include "platform/linux/audio/AudioOptions.h"
#include "platform/linux/audio/Mixer.h"

namespace plinka {

class Log;

namespace audio {
class SdlAudioOutput;
}

// The process's audio: one mixer, heard either through the sound device or rendered on demand.
class AudioEngine {
    struct Private {
        explicit Private() = default;
    };

  public:
    // The mixer played through the default device, kept open (and reopened) by SdlAudioOutput.
    // PLINKA_AUDIO_BUFFER_FRAMES overrides options.bufferFrames.
    static std::unique_ptr<AudioEngine> openDevice(const AudioOptions& options, Log& log);
    // The mixer without a device or thread: nothing is heard until render is called.
    static std::unique_ptr<AudioEngine> offline(const AudioOptions& options);
    AudioEngine(Private, const AudioOptions& options);
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    audio::Mixer& mixer() { return mixer_; }
    const AudioOptions& options() const { return options_; }
    // Whether a device plays the mix now; false offline.
    bool isDeviceOpen() const;
    // Offline: mixes the next frames into out (interleaved stereo, 2 floats a frame) and answers
    // true. With a device the device renders; this gives silence and false.
    bool render(float* out, size_t frames);

  private:
    const AudioOptions options_;
    audio::Mixer mixer_;
    std::unique_ptr<audio::SdlAudioOutput> output_;  // after the mixer: it goes first
};

}  // namespace plinka
