#pragma once

#include "platform/linux/LinuxPlatform.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundController.h"

namespace plinka::bench {

// The real platform on the built bundle, its mixer rendered on demand, with a sound controller:
// the theme engine as the application runs it, without a device.
struct OfflineSounds {
    OfflineSounds()
        : services(LinuxPlatform::Options{"PlinkaBench", PLINKA_BUNDLE_DIR, {}, true}),
          keepAlive(services.platform()),
          controller(services.platform(), keepAlive) {}

    LinuxPlatform services;
    AudioKeepAlive keepAlive;
    SoundController controller;
};

}  // namespace plinka::bench
