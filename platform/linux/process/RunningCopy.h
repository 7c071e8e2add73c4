#pragma once

#include <string>

#include "platform/linux/process/ReopenChannel.h"

namespace plinka {

// Hands the request to a running copy of the application of that bundle identifier (compared
// without regard to case, as the single-copy guard compares it); false when no copy answered.
bool sendToRunningCopy(const std::string& bundleIdentifier, ReopenRequest request);

}  // namespace plinka
