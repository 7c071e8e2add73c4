#include "app/AppController.h"

#include "platform/Platform.h"
#include "sound/KeyHandOff.h"
#include "sound/SoundController.h"

namespace plinka {

AppController::AppController(Platform& platform, DesktopServices& desktop, SoundController& sounds)
    : platform_(platform),
      desktop_(desktop),
      sounds_(sounds),
      keyHandOff_(std::make_unique<KeyHandOff>(platform.runLoop, platform.log,
                                               [this](int32_t keyCode, int state) {
                                                   state == 1 ? _keyDown(keyCode) : _keyUp(keyCode);
                                               })) {}

AppController::~AppController() {
    stopEventTapThread();
}

void AppController::awakeFromNib() {
    sounds_.setThemeByName(std::nullopt);
}

void AppController::applicationDidFinishLaunching() {
    detachEventTapThread();
}

}  // namespace plinka
