#pragma once

#include <ostream>

#include "base/Object.h"

namespace plinka {

// Lets test failures show Objects as readable text.
void PrintTo(const Object& object, std::ostream* out);

}  // namespace plinka
