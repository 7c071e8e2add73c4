#include "platform/linux/audio/AudioOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Log.h"

namespace plinka {
namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

AudioOptions::Output automaticOutput(Log& log) {
    const std::string_view forced = environment("PLINKA_AUDIO");
    if (forced == "pipewire") {
        return AudioOptions::Output::PipeWire;
    }
    if (forced == "pulse") {
        return AudioOptions::Output::PulseAudio;
    }
    if (forced == "sdl") {
        return AudioOptions::Output::Sdl;
    }
    if (!forced.empty()) {
        log.log("Ignoring PLINKA_AUDIO=\"" + std::string(forced) +
                "\": not one of pipewire, pulse, sdl");
    }
    // A driver named for SDL is a choice of SDL (the tests' disk driver, plain ALSA), unless it
    // names a sound server.
    const std::string_view driver = environment("SDL_AUDIODRIVER");
    const bool sdlChosen = !driver.empty() && driver != "pulseaudio" && driver != "pipewire";
    return sdlChosen ? AudioOptions::Output::Sdl : AudioOptions::Output::Servers;
}

}  // namespace

AudioOptions AudioOptions::clamped() const {
    AudioOptions result = *this;
    result.sampleRate = std::clamp(sampleRate, 8000, 192000);
    result.bufferFrames = bufferFrames == 0 ? 0 : std::clamp(bufferFrames, 16, 8192);
    result.maxVoices = std::clamp(maxVoices, 1, 256);
    result.devicePollInterval = std::clamp(devicePollInterval, std::chrono::milliseconds(10),
                                           std::chrono::milliseconds(10000));
    return result;
}

AudioOptions AudioOptions::withDefaultFrames(int frames) const {
    AudioOptions result = *this;
    if (result.bufferFrames == 0) {
        result.bufferFrames = frames;
    }
    return result;
}

AudioOptions AudioOptions::resolved(Log& log) const {
    AudioOptions result = *this;
    if (output == Output::Automatic) {
        result.output = automaticOutput(log);
    }
    if (const std::string_view value = environment("PLINKA_AUDIO_BUFFER_FRAMES"); !value.empty()) {
        int frames = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), frames);
        if (error == std::errc() && end == value.data() + value.size() && frames > 0) {
            result.bufferFrames = frames;
        } else {
            log.log("Ignoring PLINKA_AUDIO_BUFFER_FRAMES=\"" + std::string(value) +
                    "\": not a number of frames");
        }
    }
    return result.clamped();
}

}  // namespace plinka
