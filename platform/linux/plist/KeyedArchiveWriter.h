#pragma once

#include <optional>

#include "base/Object.h"

namespace plinka {

// The property list of a keyed archive of `root`, laid out as the platform's archiver does
// ("$archiver", "$version" 100000, "$top" {"root"}, "$objects" starting with "$null"), so that
// its unarchiver reads it. nullopt when the graph holds something that can't be archived (a UID)
// or nests deeper than the reader would accept.
std::optional<Object> keyedArchivePropertyList(const Object& root);

}  // namespace plinka
