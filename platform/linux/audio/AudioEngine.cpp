#include "platform/linux/audio/AudioEngine.h"

#include <algorithm>

#include "base/Log.h"
#include "platform/linux/audio/SdlOutputModule.h"
#include "platform/linux/audio/ServerOutputModules.h"
#include "platform/linux/audio/SilentOutput.h"

namespace plinka {

AudioEngine::AudioEngine(Private, const AudioOptions& options)
    : options_(options), mixer_(options.sampleRate, options.maxVoices) {}

AudioEngine::~AudioEngine() {
    output_.reset();
    mixer_.setWakeUp({});
}

std::unique_ptr<AudioEngine> AudioEngine::openDevice(const AudioOptions& options, Log& log,
                                                     const Outputs& outputs) {
    using Output = AudioOptions::Output;
    auto engine = std::make_unique<AudioEngine>(Private(), options.resolved(log));
    audio::Mixer& mixer = engine->mixer_;
    const Output choice = engine->options_.output;
    const bool anyServer = choice == Output::Servers;
    std::string unanswered;  // the servers asked in vain, and why
    auto connect = [&](const char* name, int defaultFrames, const audio::ConnectOutput& open) {
        const AudioOptions forOutput = engine->options_.withDefaultFrames(defaultFrames);
        std::string error = "not built in";
        engine->output_ = open ? open(mixer, forOutput, log, !anyServer, &error) : nullptr;
        if (engine->output_ != nullptr) {
            engine->options_ = forOutput;
            engine->outputName_ = name;
        } else if (anyServer) {
            unanswered += std::string(unanswered.empty() ? "" : "; ") + name + ": " + error;
        } else {
            log.log(std::string(name) + " cannot be used (" + error + "); sounds are dropped");
            engine->output_ = std::make_unique<audio::SilentOutput>(mixer, forOutput);
        }
    };
    if (anyServer || choice == Output::PipeWire) {
        connect("PipeWire", audio::kPipeWireDefaultFrames, outputs.pipeWire);
    }
    if (engine->output_ == nullptr && (anyServer || choice == Output::PulseAudio)) {
        connect("PulseAudio", audio::kPulseAudioDefaultFrames, outputs.pulseAudio);
    }
    if (engine->output_ == nullptr) {
        engine->options_ = engine->options_.withDefaultFrames(audio::kSdlDefaultFrames);
        engine->output_ = outputs.sdl(mixer, engine->options_, log);
        engine->outputName_ = "SDL";
    }
    // A closed output has said why already.
    if (engine->output_->isOpen()) {
        log.log("Sound plays through " + engine->outputName_ +
                (unanswered.empty() ? "" : " (no answer from " + unanswered + ")"));
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
