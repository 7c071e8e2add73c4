#pragma once

#include <string>

#include "platform/linux/audio/SpeechEngine.h"

namespace plinka::audio {

// The speech engine lives in a module of the bundle (Contents/PlugIns), so that espeak-ng and what
// it pulls in (its sound output, ALSA) are mapped only by a process that speaks.
inline constexpr char kSpeechModuleFile[] = "plinka-speech.so";

// Starts the speech engine from the module of the bundle at bundlePath, as the file was at this
// call (see BundleModule), loading the module the first time and keeping it for the process's
// life. Where it cannot be loaded, one line is logged and there is no engine.
StartSpeechEngine speechEngineFromBundle(const std::string& bundlePath);

}  // namespace plinka::audio

// The module's one entry point: espeak-ng started, or nullptr once the reason is logged.
extern "C" plinka::audio::SpeechEngine* plinkaStartSpeechEngine(plinka::Log* log);
