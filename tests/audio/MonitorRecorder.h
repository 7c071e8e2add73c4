#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "ChildProcess.h"
#include "ScratchDirectory.h"

namespace plinka::testing {

// What a server's null sink played, as float stereo at 48 kHz, recorded from its monitor by parec
// (pipewire-pulse serves it too) in fragments of that many frames. Stopped when let go.
class MonitorRecorder {
  public:
    MonitorRecorder(const std::string& serverAddress, const std::string& sink, int fragmentFrames);

    // Whether it records: the first data came, which takes a few seconds when the sink was
    // suspended.
    bool recording() const { return recording_; }
    // Everything recorded so far, interleaved stereo.
    std::vector<float> samples() const;
    size_t frames() const;

  private:
    ScratchDirectory directory_;
    std::unique_ptr<ChildProcess> parec_;
    bool recording_ = false;
};

}  // namespace plinka::testing
