#pragma once

#include <QJsonObject>

#include <optional>
#include <string>

#include "tools/soundpack/PackPlan.h"

namespace plinka::soundpack {

// Reads a Mechvibes config.json into theme terms:
// - version 1 (no "version"): "key_define_type" "single" (each define [start_ms, length_ms] of
//   the sprite "sound") or "multi" (each define a file name);
// - version 2: each define a file name, with a range "{lo-hi}" standing for variants; "sound"
//   and "soundup" play for every key that has no define of its own.
// A define may be null (silent); "CODE-up" is the key's release. Files are named as the config
// names them. A define that can't be taken is one warning and the rest goes on, codes with no
// key are listed in one warning; nullopt with one line of reason when the config itself is not
// one Mechvibes reads.
std::optional<PackPlan> planMechvibes(const QJsonObject& config, std::string& error);

}  // namespace plinka::soundpack
