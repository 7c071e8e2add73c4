#pragma once

#include <string>

namespace plinka {
class SoundTheme;
}

namespace plinka::themetool {

// The theme's table in human terms: its name, then one line per slot that does something
// (state, key, what plays), key-down first, in key-code order.
std::string describeTheme(const SoundTheme& theme);

}  // namespace plinka::themetool
