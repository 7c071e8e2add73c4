#pragma once

#include <chrono>
#include <vector>

namespace plinka::audio {

class Mixer;

// Audio side, while no output plays: renders the time that went by (at most a few seconds) into
// the scratch buffer and drops it, so sounds end, speech finishes and disposed objects are let
// go as if they had been heard.
void renderIntoNothing(Mixer& mixer, std::chrono::steady_clock::duration elapsed,
                       std::vector<float>& scratch);

}  // namespace plinka::audio
