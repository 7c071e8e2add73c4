#pragma once

#include <string>

namespace plinka {

class AlertPresenter;
class AppController;
class SoundPackInstaller;
class Log;

// What "Import Sound Pack…" does with the pack the person chose: imports it among their themes
// and switches to it as the menu does (saved, its sample played); when that fails, an alert
// says in one sentence why. Warnings about single keys go to the log. True when it switched.
bool importSoundPackAndSwitch(const std::string& pack, const SoundPackInstaller& installer,
                              Log& log, AppController& controller, AlertPresenter& alerts);

}  // namespace plinka
