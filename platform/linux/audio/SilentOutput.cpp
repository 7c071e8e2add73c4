#include "platform/linux/audio/SilentOutput.h"

#include "platform/linux/audio/AudioOptions.h"
#include "platform/linux/audio/RenderIntoNothing.h"

namespace plinka::audio {

SilentOutput::SilentOutput(MixSource& source, const AudioOptions& options)
    : source_(source),
      interval_(options.devicePollInterval),
      scratch_(static_cast<size_t>(options.bufferFrames) * 2),
      thread_([this] { run(); }) {}

SilentOutput::~SilentOutput() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_all();
    thread_.join();
}

void SilentOutput::run() {
    auto last = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    while (!stop_.wait_for(lock, interval_, [this] { return stopping_; })) {
        const auto now = std::chrono::steady_clock::now();
        renderIntoNothing(source_, now - last, scratch_);
        last = now;
    }
}

}  // namespace plinka::audio
