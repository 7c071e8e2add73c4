#pragma once

#include <functional>
#include <optional>
#include <string>

namespace plinka {
class Sound;
class SoundTheme;
}  // namespace plinka

namespace plinka::themetool {

// A sound's length in seconds as it plays; nullopt when it is not known.
using SoundLength = std::function<std::optional<double>(const Sound& sound)>;

// The theme's table in human terms: its name, then one line per slot that does something
// (state, key, what plays, how long a sound lasts), key-down first, in key-code order, then the
// mouse buttons' slots likewise.
std::string describeTheme(const SoundTheme& theme, const SoundLength& lengthOf);

}  // namespace plinka::themetool
