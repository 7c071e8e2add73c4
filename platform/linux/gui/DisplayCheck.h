#pragma once

#include <optional>
#include <string>

namespace plinka {

// Why no window could be shown in this session, said before Qt tries (and aborts with a hint
// of several lines): Qt would use X11 and the X display cannot be opened. nullopt when it can,
// and when Qt is asked for another platform or may choose Wayland.
std::optional<std::string> unreachableDisplay();

}  // namespace plinka
