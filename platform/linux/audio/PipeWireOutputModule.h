#pragma once

#include <string>

#include "platform/linux/audio/AudioOutput.h"

namespace plinka::audio {

// PipeWire's output lives in a module of the bundle (Contents/PlugIns), so that libpipewire and
// the plugins it loads are mapped only by a process that plays through PipeWire.
inline constexpr char kPipeWireOutputModuleFile[] = "plinka-pipewire-output.so";
// Frames per graph cycle unless the options say otherwise: 1.3 ms at 48 kHz.
inline constexpr int kPipeWireDefaultFrames = 64;

// Connects PipeWire's output from the module of the bundle at bundlePath, loading the module
// the first time it is needed and keeping it for the process's life. Where no PipeWire socket is
// there to be asked, the module is not loaded at all.
ConnectOutput pipeWireOutputFromBundle(const std::string& bundlePath);

}  // namespace plinka::audio

// The module's one entry point: a new PipeWire output (a PipeWireOutput) that the caller owns,
// or nullptr with the reason in `error`.
extern "C" plinka::audio::AudioOutput* plinkaConnectPipeWireOutput(
    plinka::audio::MixSource* source, const plinka::AudioOptions* options, plinka::Log* log,
    bool keepTrying, std::string* error);
