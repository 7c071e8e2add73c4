#pragma once

#include <memory>
#include <string>

#include "SoundFiles.h"
#include "platform/SystemSoundService.h"

namespace plinka::bench {

// A key-click-sized sound file (0.1 s of mono at 44.1 kHz, so it is resampled) in a scratch
// directory, made into a system sound of the service.
SystemSoundID makeClick(SystemSoundService& service, const testing::ScratchDirectory& dir);

}  // namespace plinka::bench
