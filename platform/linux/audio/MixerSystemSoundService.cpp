#include "platform/linux/audio/MixerSystemSoundService.h"

#include <algorithm>

#include "base/FileUrl.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/audio/SoundFileDecoder.h"

namespace plinka {

MixerSystemSoundService::MixerSystemSoundService(AudioEngine& engine, double maxSecondsInAll)
    : engine_(engine), maxSecondsInAll_(maxSecondsInAll) {}

MixerSystemSoundService::~MixerSystemSoundService() {
    for (auto& [id, entry] : sounds_) {
        engine_.mixer().retire(std::move(entry.sound));
    }
}

OSStatus MixerSystemSoundService::createSystemSoundID(const std::string& fileUrl,
                                                      SystemSoundID* outSoundID) {
    const std::optional<std::string> path = FileUrl::pathOfFileURL(fileUrl);
    if (!path) {
        return kAudioServicesSystemSoundUnspecifiedError;
    }
    const double rate = engine_.mixer().sampleRate();
    const double room = maxSecondsInAll_ - static_cast<double>(liveFrames_) / rate;
    if (room <= 0) {
        return kSoundsTooLongInAllError;
    }
    audio::DecodedSamples decoded =
        audio::decodeSoundFile(*path, engine_.mixer().sampleRate(), audio::ResampleQuality::Medium,
                               std::min(audio::kMaxSoundSeconds, room));
    if (decoded.status == kSoundTooLongError && room < audio::kMaxSoundSeconds) {
        return kSoundsTooLongInAllError;
    }
    if (decoded.status != kNoErr) {
        return decoded.status;
    }
    const SystemSoundID id = nextID_++;
    const bool silent = std::all_of(decoded.stereo.begin(), decoded.stereo.end(),
                                    [](float sample) { return sample == 0.0f; });
    auto sound = std::make_shared<audio::DecodedSound>(std::move(decoded.stereo));
    liveFrames_ += sound->frames();
    sounds_.emplace(id, Entry{std::move(sound), 1, silent});
    if (outSoundID != nullptr) {
        *outSoundID = id;
    }
    return kNoErr;
}

OSStatus MixerSystemSoundService::setProperty(AudioServicesPropertyID property,
                                              SystemSoundID soundID, uint32_t value) {
    if (property != kAudioServicesPropertyIsUISound) {
        return kAudioServicesUnsupportedPropertyError;
    }
    const auto found = sounds_.find(soundID);
    if (found == sounds_.end()) {
        return kAudioServicesSystemSoundUnspecifiedError;
    }
    found->second.isUISound = value;
    return kNoErr;
}

void MixerSystemSoundService::playSystemSound(SystemSoundID soundID, SoundPlacement placement) {
    const auto found = sounds_.find(soundID);
    if (found != sounds_.end() && !found->second.silent) {
        engine_.mixer().play(*found->second.sound, placement);
    }
}

OSStatus MixerSystemSoundService::disposeSystemSoundID(SystemSoundID soundID) {
    const auto found = sounds_.find(soundID);
    if (found == sounds_.end()) {
        return kAudioServicesSystemSoundUnspecifiedError;
    }
    liveFrames_ -= found->second.sound->frames();
    engine_.mixer().retire(std::move(found->second.sound));
    sounds_.erase(found);
    return kNoErr;
}

// Speech is mixed by the same mixer, so it follows too.
void MixerSystemSoundService::setOutputVolume(float volume) {
    engine_.mixer().setVolume(volume);
}

std::optional<uint32_t> MixerSystemSoundService::isUISound(SystemSoundID soundID) const {
    const auto found = sounds_.find(soundID);
    if (found == sounds_.end()) {
        return std::nullopt;
    }
    return found->second.isUISound;
}

std::optional<double> MixerSystemSoundService::durationOf(SystemSoundID soundID) const {
    const auto found = sounds_.find(soundID);
    if (found == sounds_.end()) {
        return std::nullopt;
    }
    return static_cast<double>(found->second.sound->frames()) / engine_.mixer().sampleRate();
}

}  // namespace plinka
