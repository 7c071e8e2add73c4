#include "sound/AudioKeepAlive.h"

#include <array>
#include <cstdio>

#include "base/Format.h"
#include "base/Log.h"
#include "platform/Bundle.h"
#include "platform/Platform.h"
#include "platform/SleepWakeNotifications.h"

namespace plinka {

AudioKeepAlive& AudioKeepAlive::sharedInstance() {
    static AudioKeepAlive keepAlive(Platform::shared());
    return keepAlive;
}

AudioKeepAlive::AudioKeepAlive(Platform& platform) : platform_(platform) {
    platform_.sleepWake.addWillSleepObserver([this] { receiveSleepNotification(); });
    platform_.sleepWake.addDidWakeObserver([this] { receiveWakeNotification(); });
}

AudioKeepAlive::~AudioKeepAlive() {
    stop();
}

void AudioKeepAlive::start() {
    std::lock_guard lock(lock_);
    if (_timer) {
        return;
    }
    const auto url = platform_.mainBundle.urlForResource("silence", "wav");
    const OSStatus status =
        platform_.systemSounds.createSystemSoundID(url.value_or(""), &keepAliveSound_);
    if (status != kNoErr) {
        platform_.log.log(stringWithFormat("Error %@ creating system sound for %@",
                                           {OSStatusToFourChar(status), url}));
        return;
    }
    _timer = platform_.runLoop.scheduleTimer(kInterval, true,
                                             [this](Timer& timer) { timedKeepAlive(timer); });
    _timer->fire();
}

void AudioKeepAlive::stop() {
    std::lock_guard lock(lock_);
    if (!_timer) {
        return;
    }
    _timer->invalidate();
    _timer.reset();
    platform_.systemSounds.disposeSystemSoundID(keepAliveSound_);
}

void AudioKeepAlive::timedKeepAlive(Timer& /*timer*/) {
    platform_.systemSounds.playSystemSound(keepAliveSound_);
}

void AudioKeepAlive::receiveSleepNotification() {
    wasRunning_ = _timer != nullptr;
    stop();
}

void AudioKeepAlive::receiveWakeNotification() {
    if (wasRunning_) {
        start();
    }
}

std::string AudioKeepAlive::OSStatusToFourChar(OSStatus status) {
    std::array<char, 20> text{};
    if (status == kNoErr) {
        std::snprintf(text.data(), text.size(), "No error");
    } else {
        const auto bits = static_cast<uint32_t>(status);
        const std::array<unsigned char, 4> bytes{
            static_cast<unsigned char>(bits >> 24), static_cast<unsigned char>(bits >> 16),
            static_cast<unsigned char>(bits >> 8), static_cast<unsigned char>(bits)};
        bool printable = true;
        for (unsigned char byte : bytes) {
            printable = printable && byte >= 0x20 && byte <= 0x7E;
        }
        if (printable) {
            std::snprintf(text.data(), text.size(), "'%c%c%c%c'", bytes[0], bytes[1], bytes[2],
                          bytes[3]);
        } else {
            std::snprintf(text.data(), text.size(), "%d", status);
        }
    }
    return stringWithFormat("%s", {text.data()});
}

}  // namespace plinka
