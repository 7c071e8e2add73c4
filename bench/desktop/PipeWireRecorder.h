#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "TimedRecorder.h"

struct pw_stream;
struct pw_thread_loop;

namespace plinka::testing {

// Records a PipeWire server's sink through a native capture stream, placing each block at the
// graph cycle that carried it: exact to the cycle, where the PulseAudio service's stream clock
// wanders by 0.7 % between its corrections. Its cycle (8192 frames asked for) never shortens a
// program's.
class PipeWireRecorder final : public TimedRecorder {
  public:
    // Records the sink of that name on the server that PIPEWIRE_RUNTIME_DIR points at; unless it
    // keeps the sink awake, the server may suspend the sink as if nothing recorded it.
    PipeWireRecorder(const std::string& sink, int latencyFrames, bool keepsSinkAwake);
    ~PipeWireRecorder() override;
    PipeWireRecorder(const PipeWireRecorder&) = delete;
    PipeWireRecorder& operator=(const PipeWireRecorder&) = delete;

    bool recording() const override { return connected_; }
    std::vector<float> samples() const override;
    size_t frames() const override;
    std::optional<std::chrono::steady_clock::time_point> timeOfFrame(size_t frame) const override;
    std::optional<size_t> frameAt(std::chrono::steady_clock::time_point time) const override;

  private:
    struct Block {
        int64_t cycleNanos;  // steady clock
        size_t firstFrame;
    };

    // PipeWire's realtime thread.
    void process();

    pw_thread_loop* loop_ = nullptr;
    pw_stream* stream_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<float> samples_;
    std::vector<Block> blocks_;
    bool connected_ = false;
};

}  // namespace plinka::testing
