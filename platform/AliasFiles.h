#pragma once

#include <optional>
#include <string>

namespace plinka {

// The platform's alias files: small files that refer to another file or folder.
class AliasFiles {
  public:
    virtual ~AliasFiles() = default;
    // The path the alias file at `path` refers to, one step only (an alias to an alias answers
    // the second alias), found without asking the user anything or mounting a volume; nullopt
    // when the file is no alias or cannot be resolved that way.
    virtual std::optional<std::string> resolveAliasFile(const std::string& path) const = 0;
};

}  // namespace plinka
