#include "platform/linux/audio/AudioOptions.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/Log.h"

namespace plinka {

AudioOptions AudioOptions::clamped() const {
    AudioOptions result = *this;
    result.sampleRate = std::clamp(sampleRate, 8000, 192000);
    result.bufferFrames = std::clamp(bufferFrames, 16, 8192);
    result.maxVoices = std::clamp(maxVoices, 1, 256);
    result.devicePollInterval = std::clamp(devicePollInterval, std::chrono::milliseconds(10),
                                           std::chrono::milliseconds(10000));
    return result;
}

AudioOptions AudioOptions::resolved(Log& log) const {
    AudioOptions result = *this;
    if (output == Output::Automatic) {
        // A driver named for SDL is a choice of SDL (the tests' disk driver, plain ALSA), unless
        // it names the sound server itself.
        const char* driver = std::getenv("SDL_AUDIODRIVER");
        const std::string_view name = driver != nullptr ? driver : "";
        const bool sdlChosen = !name.empty() && name != "pulseaudio" && name != "pipewire";
        result.output = sdlChosen ? Output::Sdl : Output::SoundServer;
    }
    if (const char* text = std::getenv("PLINKA_AUDIO_BUFFER_FRAMES"); text != nullptr) {
        const std::string_view value(text);
        int frames = 0;
        const auto [end, error] =
            std::from_chars(value.data(), value.data() + value.size(), frames);
        if (error == std::errc() && end == value.data() + value.size()) {
            result.bufferFrames = frames;
        } else {
            log.log("Ignoring PLINKA_AUDIO_BUFFER_FRAMES=\"" + std::string(value) +
                    "\": not a number of frames");
        }
    }
    return result.clamped();
}

}  // namespace plinka
