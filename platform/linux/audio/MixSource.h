#pragma once

#include <cstddef>

namespace plinka::audio {

// What an output plays: the mix, rendered on the output's thread. Called through this interface,
// an output loaded from a module needs no symbol of the executable.
class MixSource {
  public:
    virtual int sampleRate() const = 0;
    // The next frames, interleaved stereo.
    virtual void render(float* out, size_t frames) = 0;
    // Whether the mix stays silent until something new is queued (the output is woken then).
    virtual bool isQuiet() = 0;

  protected:
    ~MixSource() = default;
};

}  // namespace plinka::audio
