// plinka-import-pack PACK [--split-release]: imports one sound pack among the user's themes for
// Plinka, in a process of its own, so that the application never maps the zip, compression and
// crypto libraries for a pack imported now and then. --split-release gives keys without a release
// sound the two halves of their sound. Answers with records each ended by a NUL byte, so that
// texts keep any line break: "warning TEXT" for each key or sound left out, then "installed NAME"
// and exit 0; or "failure REASON" (one sentence without its full stop) and exit 1. Usage errors
// exit 2.
#include <cstdio>
#include <string>

#include "platform/linux/LinuxPlatform.h"
#include "tools/soundpack/SoundPackImport.h"

namespace {

void answer(const std::string& kind, const std::string& text) {
    std::printf("%s %s", kind.c_str(), text.c_str());
    std::putchar('\0');
}

}  // namespace

int main(int argc, char** argv) {
    const bool splitRelease = argc == 3 && std::string(argv[2]) == "--split-release";
    if (argc != 2 && !splitRelease) {
        std::fputs("usage: plinka-import-pack PACK [--split-release]\n", stderr);
        return 2;
    }
    plinka::LinuxPlatform::Options options;
    options.processName = "plinka-import-pack";
    options.headless = true;
    options.speech = false;
    plinka::LinuxPlatform platform(options);
    std::string error;
    const auto report = plinka::soundpack::installSoundPack(argv[1], std::nullopt, {splitRelease},
                                                            platform.platform(), error);
    if (!report) {
        answer("failure", error);
        return 1;
    }
    for (const auto& warning : report->warnings) {
        answer("warning", warning);
    }
    answer("installed", report->name);
    return 0;
}
