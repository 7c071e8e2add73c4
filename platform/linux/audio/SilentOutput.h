#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/linux/audio/AudioOutput.h"

namespace plinka::audio {

// Where no output can be had at all: renders the mix into nothing at the real pace on its own
// thread, so sounds end, speech finishes and disposed objects are let go; nothing is heard.
class SilentOutput final : public AudioOutput {
  public:
    SilentOutput(MixSource& source, const AudioOptions& options);
    ~SilentOutput() override;
    SilentOutput(const SilentOutput&) = delete;
    SilentOutput& operator=(const SilentOutput&) = delete;

    bool isOpen() const override { return false; }
    void wake() override {}

  private:
    void run();

    MixSource& source_;
    const std::chrono::milliseconds interval_;
    std::vector<float> scratch_;
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread thread_;  // last: starts once everything above is ready
};

}  // namespace plinka::audio
