#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/soundpack/PackPlan.h"

namespace plinka::soundpack {

// Reads a bucklespring folder into theme terms: the files named "%02x-%d.wav" (the key's Linux
// evdev code in hex, then 1 for the press and 0 for the release) in the pack's shallowest
// folder that has any; other files are ignored, codes with no key listed in one warning. Files
// are named by their paths inside the pack. nullopt when no file is named so.
std::optional<PackPlan> planBucklespring(const std::vector<std::string>& files);

}  // namespace plinka::soundpack
