#pragma once

#include <string>

#include "tools/synth/RecipeFile.h"
#include "tools/theme/MappingFile.h"

namespace plinka::synth {

using themetool::kMappingFileName;

// Renders every sound of the recipe into `directory` (made if missing) as 48 kHz 16-bit mono
// WAV, and writes the recipe's mapping there as theme.map when it has any. False with the
// reason in `error`.
bool synthesise(const Recipe& recipe, const std::string& directory, std::string& error);

}  // namespace plinka::synth
