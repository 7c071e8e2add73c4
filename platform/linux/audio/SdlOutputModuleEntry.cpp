// The SDL output module's entry point; the module links SdlAudioOutput and SDL, nothing of the
// executable: the mix and the log are reached through their interfaces.
#include "platform/linux/audio/SdlAudioOutput.h"
#include "platform/linux/audio/SdlOutputModule.h"

extern "C" __attribute__((visibility("default"))) plinka::audio::AudioOutput* plinkaOpenSdlOutput(
    plinka::audio::MixSource* source, const plinka::AudioOptions* options, plinka::Log* log) {
    return plinka::audio::SdlAudioOutput::create(*source, *options, *log).release();
}
