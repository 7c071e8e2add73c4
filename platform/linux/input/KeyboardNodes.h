#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plinka {

// The keyboards and pointers among the event nodes of the directory ("/dev/input"), full paths
// in name order. They are told by the kernel's description of each node under the sysfs class
// directory ("/sys/class/input"), which every user may read: so they are known before the
// nodes themselves may be read.
std::vector<std::string> keyboardAndPointerNodes(const std::string& directory,
                                                 const std::string& sysfsClass);

// The "capabilities/key" bitmap the kernel describes the event node by; nullopt when there is
// no description.
std::optional<std::string> describedKeys(const std::string& sysfsClass, const std::string& node);

// Whether a "capabilities/key" bitmap (hexadecimal words of the kernel's long, most significant
// first) has a key, not a button, that makes a theme key code.
bool bitmapHasKeyboardKeys(std::string_view bitmap);
// Whether such a bitmap has a mouse button that sounds (left, right or middle).
bool bitmapHasPointerButtons(std::string_view bitmap);

}  // namespace plinka
