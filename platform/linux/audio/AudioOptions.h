#pragma once

#include <chrono>

namespace plinka {

class Log;

// How the audio output is set up. Every value is clamped to a workable range when used.
struct AudioOptions {
    enum class Output {
        // PLINKA_AUDIO's choice (pipewire, pulse or sdl); else SDL when SDL_AUDIODRIVER names one
        // of SDL's own drivers; else Servers.
        Automatic,
        // PipeWire when it answers with an audio sink, else the PulseAudio server (PipeWire's
        // PulseAudio service too), else SDL.
        Servers,
        // That server alone: while it does not answer, sounds are dropped and it is asked again.
        PipeWire,
        PulseAudio,
        // SDL's output, with the driver SDL_AUDIODRIVER names or SDL's choice.
        Sdl,
    };
    Output output = Output::Automatic;
    int sampleRate = 48000;
    // The output's latency quantum: frames per SDL callback, per PipeWire graph cycle, or of the
    // lead kept over the PulseAudio server's sink. 0: the output's own default.
    int bufferFrames = 0;
    // Sounds heard at once; a further one steals the oldest voice.
    int maxVoices = 32;
    // How often the output checks that its device is still there, and retries when it is not.
    std::chrono::milliseconds devicePollInterval{500};

    // These options clamped to workable values, with PLINKA_AUDIO_BUFFER_FRAMES (when set to a
    // number) in place of bufferFrames and Automatic resolved; a variable that makes no sense is
    // logged and ignored.
    AudioOptions resolved(Log& log) const;
    // These options clamped to workable values.
    AudioOptions clamped() const;
    // These options with bufferFrames, when 0, set to the output's default.
    AudioOptions withDefaultFrames(int frames) const;
};

}  // namespace plinka
