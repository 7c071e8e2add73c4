#include "platform/Platform.h"

#include <cassert>

namespace plinka {

namespace {
Platform* sharedPlatform = nullptr;
}

Platform& Platform::shared() {
    assert(sharedPlatform != nullptr && "the process's platform is installed at start");
    return *sharedPlatform;
}

void Platform::installShared(Platform& platform) {
    sharedPlatform = &platform;
}

}  // namespace plinka
