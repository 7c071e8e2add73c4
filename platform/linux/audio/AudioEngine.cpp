#include "platform/linux/audio/AudioEngine.h"

#include <algorithm>

#include "platform/linux/audio/SdlAudioOutput.h"

namespace plinka {

AudioEngine::AudioEngine(Private, const AudioOptions& options)
    : options_(options), mixer_(options.sampleRate, options.maxVoices) {}

AudioEngine::~AudioEngine() = default;

std::unique_ptr<AudioEngine> AudioEngine::openDevice(const AudioOptions& options, Log& log) {
    auto engine = std::make_unique<AudioEngine>(Private(), options.resolved(log));
    engine->output_ =
        std::make_unique<audio::SdlAudioOutput>(engine->mixer_, engine->options_, log);
    return engine;
}

std::unique_ptr<AudioEngine> AudioEngine::offline(const AudioOptions& options) {
    return std::make_unique<AudioEngine>(Private(), options.clamped());
}

bool AudioEngine::isDeviceOpen() const {
    return output_ != nullptr && output_->isOpen();
}

bool AudioEngine::render(float* out, size_t frames) {
    if (output_ != nullptr) {
        std::fill(out, out + 2 * frames, 0.0f);
        return false;
    }
    mixer_.render(out, frames);
    return true;
}

}  // namespace plinka
