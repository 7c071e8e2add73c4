#pragma once

#include "doubles/FakeBundle.h"
#include "doubles/FakeKeyedArchives.h"
#include "doubles/FakeSleepWakeNotifications.h"
#include "doubles/FakeSpeechService.h"
#include "doubles/FakeSystemSoundService.h"
#include "doubles/FakeTemporaryFiles.h"
#include "doubles/FakeUserThemeFolder.h"
#include "doubles/ManualRunLoop.h"
#include "doubles/RecordingLog.h"
#include "platform/Platform.h"

namespace plinka::testing {

// Every platform service as a double, and the Platform that refers to them.
struct FakePlatform {
    ManualRunLoop runLoop;
    RecordingLog log;
    FakeBundle bundle;
    FakeKeyedArchives archives;
    FakeSystemSoundService systemSounds;
    FakeSpeechService speech;
    FakeSleepWakeNotifications sleepWake;
    FakeTemporaryFiles temporaryFiles;
    ScriptedRandom random;
    FakeUserThemeFolder userThemes;
    Platform platform{runLoop, log,       bundle,         archives, systemSounds,
                      speech,  sleepWake, temporaryFiles, random,   userThemes};
};

}  // namespace plinka::testing
