#pragma once

#include <string>

#include "platform/linux/audio/AudioOutput.h"

namespace plinka::audio {

// SDL's output lives in a module of the bundle (Contents/PlugIns), so that SDL and what it pulls
// in (ALSA, DRM, Wayland, X11 extensions) are mapped only by a process that plays through SDL.
inline constexpr char kSdlOutputModuleFile[] = "plinka-sdl-output.so";
// Frames per callback unless the options say otherwise: SDL pulls whether or not anything sounds.
inline constexpr int kSdlDefaultFrames = 256;

// Opens SDL's output from the module of the bundle at bundlePath, as the file was at this call
// (see BundleModule), loading the module the first time and keeping it for the process's life.
// Where it cannot be loaded, one line is logged and the mix plays into nothing.
OpenOutput sdlOutputFromBundle(const std::string& bundlePath);

}  // namespace plinka::audio

// The module's one entry point: a new SDL output (an SdlAudioOutput) that the caller owns.
extern "C" plinka::audio::AudioOutput* plinkaOpenSdlOutput(plinka::audio::MixSource* source,
                                                           const plinka::AudioOptions* options,
                                                           plinka::Log* log);
