#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace plinka::testing {

class SoundServer;

// What a server's null sink played, as float stereo at kRate, with when each frame was played.
// Stopped when let go.
class TimedRecorder {
  public:
    static constexpr int kRate = 48000;

    virtual ~TimedRecorder() = default;

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
};

// A recorder of the server's sink, in fragments of about that many frames (where the server sends
// them so), which lets the server suspend the sink unless it keeps it awake. Needs this process's
// environment to reach the server.
std::unique_ptr<TimedRecorder> recordWithTimes(const SoundServer& server, int fragmentFrames,
                                               bool keepsSinkAwake);

}  // namespace plinka::testing
