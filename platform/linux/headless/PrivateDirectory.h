#pragma once

#include <string>

namespace plinka {

// Whether the directory is a real directory (no link) of this user that no one else may enter.
bool isPrivateDirectory(const std::string& directory);
// Makes the directory (0700) or takes an existing one of this user's, closing it to others;
// false, with the reason in `error`, when it is missing and cannot be made, or someone else's.
bool preparePrivateDirectory(const std::string& directory, std::string* error);

}  // namespace plinka
