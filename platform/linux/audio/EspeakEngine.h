#pragma once

#include "platform/linux/audio/SpeechEngine.h"

namespace plinka::audio {

// espeak-ng, set up once per process: the engine, or nullptr once the reason is logged. The
// application reaches it through its speech module; tests and tools may link it directly.
SpeechEngine* startEspeak(Log& log);

}  // namespace plinka::audio
