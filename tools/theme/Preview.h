#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/synth/WavFile.h"

namespace plinka::themetool {

class ToolPlatform;

// Types `text` (see typingSchedule) through a real SoundController with the theme file in
// force, advancing the offline mixer on a virtual clock at its own rate, and answers
// everything it mixed (stereo), tails included. nullopt with one line of reason in `error` when
// the theme doesn't load or nothing in the text can be typed.
std::optional<synth::Audio> renderPreview(ToolPlatform& tool, const std::string& themeFile,
                                          std::string_view text, uint64_t seed, std::string& error);

}  // namespace plinka::themetool
