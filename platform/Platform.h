#pragma once

namespace plinka {

class Bundle;
class KeyedArchives;
class Log;
class RandomSource;
class RunLoop;
class SleepWakeNotifications;
class SpeechService;
class SystemSoundService;
class TemporaryFiles;
class UserThemeFolder;

// The platform services one process runs with. The process's own set is installed once at
// start; tests build their own from doubles.
struct Platform {
    RunLoop& runLoop;
    Log& log;
    Bundle& mainBundle;
    KeyedArchives& archives;
    SystemSoundService& systemSounds;
    SpeechService& speech;
    SleepWakeNotifications& sleepWake;
    TemporaryFiles& temporaryFiles;
    RandomSource& random;
    UserThemeFolder& userThemes;

    // The process's platform; installed before any shared instance is made.
    static Platform& shared();
    static void installShared(Platform& platform);
};

}  // namespace plinka
