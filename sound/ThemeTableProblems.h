#pragma once

#include <optional>
#include <string>

#include "base/Object.h"

namespace plinka {

// What in a theme's table keeps keys silent (rows or slots missing, slots that hold no sound),
// told by counts and kinds and never by key; nullopt when every key can sound. Logged once when
// a theme loads, so that playback itself never has to write anything about a key.
std::optional<std::string> themeTableProblems(const Object& sounds);

}  // namespace plinka
