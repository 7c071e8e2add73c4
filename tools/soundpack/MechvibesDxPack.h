#pragma once

#include <QJsonObject>

#include <optional>
#include <string>

#include "tools/soundpack/PackPlan.h"

namespace plinka::soundpack {

// Reads a MechvibesDX config.json ("config_version" "2") into theme terms: "definitions" by the
// names web browsers give keys ("KeyA", "AltLeft", "ArrowUp"...) and by mouse button
// ("MouseLeft", "MouseRight", "MouseMiddle"), each with a "timing" [[down_start, down_end],
// [up_start, up_end]] in milliseconds of the pack's "audio_file" ("definition_method" "single")
// or of its own "audio_file" ("multi", where a definition without timing plays its whole file);
// "options" "random_pitch" (cents, or true) is the theme's pitch variation. A config_version of
// "1" is a Mechvibes config. A definition that can't be taken is one warning and the rest goes on;
// nullopt with one line of reason when the config itself is not one MechvibesDX reads.
std::optional<PackPlan> planMechvibesDx(const QJsonObject& config, std::string& error);

}  // namespace plinka::soundpack
