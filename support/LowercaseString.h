#pragma once

#include <string>
#include <string_view>

namespace plinka {

// The UTF-8 text with every letter in lower case, by the Unicode case tables.
std::string lowercaseString(std::string_view text);

}  // namespace plinka
