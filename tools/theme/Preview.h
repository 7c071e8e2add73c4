#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/synth/WavFile.h"

namespace plinka::themetool {

class ToolPlatform;

// Types `text` (see typingSchedule), then clicks the mouse buttons (see clickSchedule), through
// a real SoundController with the theme file in force, advancing the offline mixer on a virtual
// clock at its own rate, and answers everything it mixed (stereo), tails included. nullopt with
// one line of reason in `error` when the theme doesn't load or there is nothing to type or click.
std::optional<synth::Audio> renderPreview(ToolPlatform& tool, const std::string& themeFile,
                                          std::string_view text, uint64_t seed, std::string& error,
                                          const std::vector<int>& clicks = {});

}  // namespace plinka::themetool
