#pragma once

#include <samplerate.h>

#include <cstddef>
#include <memory>
#include <vector>

namespace plinka::audio {

// Converts a mono stream that arrives in pieces (synthesized speech) to another rate.
class StreamResampler {
  public:
    StreamResampler(int inputRate, int outputRate);
    // Starts a new stream: forgets what earlier input left in the filter.
    void reset();
    // The output for the next piece of input; with endOfInput, also the filter's tail.
    const std::vector<float>& process(const float* in, size_t frames, bool endOfInput);
    bool isValid() const { return state_ != nullptr; }

  private:
    struct StateDeleter {
        void operator()(SRC_STATE* state) const { src_delete(state); }
    };

    double ratio_;
    std::unique_ptr<SRC_STATE, StateDeleter> state_;
    std::vector<float> piece_;
    std::vector<float> out_;
};

}  // namespace plinka::audio
