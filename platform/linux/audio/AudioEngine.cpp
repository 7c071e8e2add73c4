#include "platform/linux/audio/AudioEngine.h"

#include <algorithm>
#include <string>

#include "base/Log.h"
#include "platform/linux/audio/PulseAudioOutput.h"

namespace plinka {

AudioEngine::AudioEngine(Private, const AudioOptions& options)
    : options_(options), mixer_(options.sampleRate, options.maxVoices) {}

AudioEngine::~AudioEngine() {
    output_.reset();
    mixer_.setWakeUp({});
}

std::unique_ptr<AudioEngine> AudioEngine::openDevice(const AudioOptions& options, Log& log,
                                                     const audio::OpenOutput& openSdlOutput) {
    auto engine = std::make_unique<AudioEngine>(Private(), options.resolved(log));
    audio::Mixer& mixer = engine->mixer_;
    if (engine->options_.output == AudioOptions::Output::SoundServer) {
        std::string error;
        engine->output_ = audio::PulseAudioOutput::connect(mixer, engine->options_, log, &error);
        if (engine->output_ == nullptr) {
            log.log("No sound server answers (" + error + "); playing through SDL");
        }
    }
    engine->usesSoundServer_ = engine->output_ != nullptr;
    if (engine->output_ == nullptr) {
        engine->output_ = openSdlOutput(mixer, engine->options_, log);
    }
    mixer.setWakeUp([output = engine->output_.get()] { output->wake(); });
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
