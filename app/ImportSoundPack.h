#pragma once

#include <string>

#include "platform/SoundPackInstaller.h"

namespace plinka {

class AlertPresenter;
class AppController;
class Log;

// What "Import Sound Pack…" does with the pack the person chose: imports it among their themes,
// made as the options say, and switches to it as the menu does (saved, its sample played); when
// that fails, an alert says in one sentence why. Warnings about single keys go to the log. True
// when it switched.
bool importSoundPackAndSwitch(const std::string& pack, const SoundPackInstaller::Options& options,
                              const SoundPackInstaller& installer, Log& log,
                              AppController& controller, AlertPresenter& alerts);

}  // namespace plinka
