#pragma once

#include <cstddef>
#include <memory>
#include <string>

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
    // How the engine reaches the outputs that the application loads from modules.
    struct Outputs {
        audio::ConnectOutput pipeWire;
        audio::ConnectOutput pulseAudio;
        audio::OpenOutput sdl;
    };

    // The mixer heard through the output that options choose (see AudioOptions::Output), which
    // keeps itself open and reopens itself; one line logged names it, or says why none plays.
    // PLINKA_AUDIO and PLINKA_AUDIO_BUFFER_FRAMES override options.
    static std::unique_ptr<AudioEngine> openDevice(const AudioOptions& options, Log& log,
                                                   const Outputs& outputs);
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
    // The output's name: "PipeWire", "PulseAudio" or "SDL"; empty offline.
    const std::string& outputName() const { return outputName_; }
    // Offline: mixes the next frames into out (interleaved stereo, 2 floats a frame) and answers
    // true. With a device the device renders; this gives silence and false.
    bool render(float* out, size_t frames);

  private:
    AudioOptions options_;  // with the output's own buffer frames once it is open
    audio::Mixer mixer_;
    std::string outputName_;
    std::unique_ptr<audio::AudioOutput> output_;  // after the mixer: it goes first
};

}  // namespace plinka
