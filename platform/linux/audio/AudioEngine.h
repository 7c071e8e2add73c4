#pragma once

#include <cstddef>
#include <memory>

#include "platform/linux/audio/AudioOptions.h"
#include "platform/linux/audio/AudioOutput.h"
#include "platform/linux/audio/Mixer.h"

namespace plinka {

class Log;

// The process's audio: one mixer, heard either through an output or rendered on demand.
class AudioEngine {
    struct Private {
        explicit Private() = default;
    };

  public:
    // The mixer heard through the sound server (written only while something sounds), or
    // through SDL's output (opened by openSdlOutput) where no server answers (logged) or where
    // options ask for SDL; the output keeps itself open and reopens itself.
    // PLINKA_AUDIO_BUFFER_FRAMES overrides options.bufferFrames.
    static std::unique_ptr<AudioEngine> openDevice(const AudioOptions& options, Log& log,
                                                   const audio::OpenOutput& openSdlOutput);
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
    // Whether the mix goes to the sound server rather than through SDL.
    bool usesSoundServer() const { return usesSoundServer_; }
    // Offline: mixes the next frames into out (interleaved stereo, 2 floats a frame) and answers
    // true. With a device the device renders; this gives silence and false.
    bool render(float* out, size_t frames);

  private:
    const AudioOptions options_;
    audio::Mixer mixer_;
    bool usesSoundServer_ = false;
    std::unique_ptr<audio::AudioOutput> output_;  // after the mixer: it goes first
};

}  // namespace plinka
