#pragma once

#include <chrono>

namespace plinka {

class Log;

// How the audio output is set up. Every value is clamped to a workable range when used.
struct AudioOptions {
    enum class Output {
        // The sound server unless SDL_AUDIODRIVER names one of SDL's own drivers.
        Automatic,
        // The sound server; SDL where none answers.
        SoundServer,
        // SDL's output, with the driver SDL_AUDIODRIVER names or SDL's choice.
        Sdl,
    };
    Output output = Output::Automatic;
    int sampleRate = 48000;
    // Frames per device callback, or the sound server's lead: the output's latency quantum.
    int bufferFrames = 256;
    // Sounds heard at once; a further one steals the oldest voice.
    int maxVoices = 32;
    // How often the output checks that its device is still there, and retries when it is not.
    std::chrono::milliseconds devicePollInterval{500};

    // These options clamped to workable values, with PLINKA_AUDIO_BUFFER_FRAMES (when set to a
    // number) in place of bufferFrames; a value that is not a number is logged and ignored.
    // Automatic becomes Sdl or SoundServer.
    AudioOptions resolved(Log& log) const;
    // These options clamped to workable values.
    AudioOptions clamped() const;
};

}  // namespace plinka
