#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/linux/audio/MixSource.h"

namespace plinka::audio {

// Audio side, while no output plays: renders the time that went by (at most a few seconds) into
// the scratch buffer and drops it, so sounds end, speech finishes and disposed objects are let
// go as if they had been heard. Inline, so that outputs in a module carry their own copy.
inline void renderIntoNothing(MixSource& source, std::chrono::steady_clock::duration elapsed,
                              std::vector<float>& scratch) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    // At most a few seconds' worth, should the caller have been held up.
    size_t frames = static_cast<size_t>(std::clamp(seconds, 0.0, 5.0) * source.sampleRate());
    const size_t chunk = scratch.size() / 2;
    while (frames > 0 && chunk > 0) {
        const size_t count = std::min(frames, chunk);
        source.render(scratch.data(), count);
        frames -= count;
    }
}

}  // namespace plinka::audio
