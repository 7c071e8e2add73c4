// The speech module's entry point; the module links espeak-ng and its engine, nothing of the
// executable: the log and the speech's sink are reached through their interfaces.
#include "platform/linux/audio/EspeakEngine.h"
#include "platform/linux/audio/SpeechModule.h"

extern "C" __attribute__((visibility("default"))) plinka::audio::SpeechEngine*
plinkaStartSpeechEngine(plinka::Log* log) {
    return plinka::audio::startEspeak(*log);
}
