#pragma once

#include <string>

#include "platform/linux/audio/AudioOutput.h"

namespace plinka::audio {

// The outputs to sound servers live in modules of the bundle (Contents/PlugIns), so that a
// process maps only the client library of the server it plays through.
inline constexpr char kPipeWireOutputModuleFile[] = "plinka-pipewire-output.so";
inline constexpr char kPulseAudioOutputModuleFile[] = "plinka-pulse-output.so";
// Frames of the quantum unless the options say otherwise, at 48 kHz: a PipeWire graph cycle of
// 1 ms (a key waits for the next cycle and then one more, so 64 frames could not be heard within
// 2 ms; shorter cycles would hold every other program in the graph to them while keys are
// typed), a lead of 2.7 ms over the PulseAudio server's sink (which then buffers 1.3 ms).
inline constexpr int kPipeWireDefaultFrames = 48;
inline constexpr int kPulseAudioDefaultFrames = 128;

// Connects an output from the module of the bundle at bundlePath, loading the module the first
// time it is needed and keeping it for the process's life. Where no PipeWire socket is there to
// be asked, PipeWire's module is not loaded at all.
ConnectOutput pipeWireOutputFromBundle(const std::string& bundlePath);
ConnectOutput pulseAudioOutputFromBundle(const std::string& bundlePath);

}  // namespace plinka::audio

// Each module's one entry point: a new output that the caller owns, or nullptr with the reason in
// `error` (see ConnectOutput).
extern "C" plinka::audio::AudioOutput* plinkaConnectOutput(plinka::audio::MixSource* source,
                                                           const plinka::AudioOptions* options,
                                                           plinka::Log* log, bool keepTrying,
                                                           std::string* error);
