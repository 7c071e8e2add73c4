#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plinka {

// The paths of the regular files in `directory` whose extension is `type`, by file name; empty
// when the directory can't be read.
std::vector<std::string> filesOfType(const std::string& directory, std::string_view type);

}  // namespace plinka
