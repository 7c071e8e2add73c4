#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <vector>

namespace plinka::testing {

// What a server's null sink played, as float stereo at kRate, recorded from its monitor, with
// when each frame was played. Stopped when let go.
class SinkRecorder {
  public:
    static constexpr int kRate = 48000;

    virtual ~SinkRecorder() = default;

    // Whether it records (or, when it lets the sink sleep, is ready to).
    virtual bool recording() const = 0;
    // Everything recorded so far, interleaved stereo.
    virtual std::vector<float> samples() const = 0;
    virtual size_t frames() const = 0;
    // When the sink played the recorded frame, and which frame it played at a time (the first
    // for a time before it); nullopt while no timing near it is known yet.
    virtual std::optional<std::chrono::steady_clock::time_point> timeOfFrame(
        size_t frame) const = 0;
    virtual std::optional<size_t> frameAt(std::chrono::steady_clock::time_point time) const = 0;
    // Whether recorded data was lost because it was not read in time.
    virtual bool overflowed() const = 0;
};

}  // namespace plinka::testing
