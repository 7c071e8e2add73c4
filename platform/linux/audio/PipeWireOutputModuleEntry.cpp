// The PipeWire output module's entry point; the module links PipeWireOutput and libpipewire,
// nothing of the executable: the mix and the log are reached through their interfaces.
#include "platform/linux/audio/PipeWireOutput.h"
#include "platform/linux/audio/ServerOutputModules.h"

extern "C" __attribute__((visibility("default"))) plinka::audio::AudioOutput* plinkaConnectOutput(
    plinka::audio::MixSource* source, const plinka::AudioOptions* options, plinka::Log* log,
    bool keepTrying, std::string* error) {
    return plinka::audio::PipeWireOutput::connect(*source, *options, *log, keepTrying, error)
        .release();
}
