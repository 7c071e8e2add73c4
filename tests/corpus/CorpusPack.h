#pragma once

#include <filesystem>

namespace plinka::testing {

// The sound files the configs of tests/corpus/config name, written into `folder`: a one-second Ogg
// sprite "sound.ogg", "a.wav", and "press/k0.wav" to "press/k2.wav".
void writeCorpusPackSounds(const std::filesystem::path& folder);

}  // namespace plinka::testing
