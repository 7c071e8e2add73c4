#pragma once

#include <string>
#include <string_view>

namespace plinka {

// The text as one word for /bin/sh, whatever characters it holds.
std::string shellQuoted(std::string_view text);

}  // namespace plinka
