#pragma once

#include "platform/KeyedArchive.h"

namespace plinka {

struct Platform;

// The classes a theme file may hold, made with the given platform's services.
ClassTable themeClasses(Platform& platform);

}  // namespace plinka
