// The cost of a process that holds a theme with the audio stream open and no keys: CPU time
// and resident memory over a stretch of idle time. Usage: plinka_idle_cost [seconds] [theme]
#include <sys/resource.h>

#include <QCoreApplication>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/audio/AudioEngine.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundController.h"

namespace {

double cpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A "Vm..." line of /proc/self/status, in kilobytes.
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int seconds = argc > 1 ? std::stoi(argv[1]) : 30;
    plinka::LinuxPlatform::Options options;
    options.processName = "PlinkaIdle";
    options.bundlePath = PLINKA_BUNDLE_DIR;
    plinka::LinuxPlatform services(options);
    plinka::AudioKeepAlive keepAlive(services.platform());
    plinka::SoundController controller(services.platform(), keepAlive);
    const std::optional<std::string> theme =
        argc > 2 ? std::optional<std::string>(argv[2]) : std::nullopt;
    controller.setThemeByName(theme);

    const double cpuBefore = cpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    QTimer::singleShot(seconds * 1000, &application, &QCoreApplication::quit);
    application.exec();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallBefore).count();
    const double cpu = cpuSeconds() - cpuBefore;

    std::printf("theme: %s, device open: %s, buffer: %d frames at %d Hz\n",
                controller.currentThemeName().value_or("(none)").c_str(),
                services.audioEngine().isDeviceOpen() ? "yes" : "no",
                services.audioEngine().options().bufferFrames,
                services.audioEngine().options().sampleRate);
    std::printf("idle %.1f s: CPU %.3f s = %.3f %% of one core; RSS %ld kB, peak %ld kB\n", wall,
                cpu, 100.0 * cpu / wall, statusKilobytes("VmRSS"), statusKilobytes("VmHWM"));
    return 0;
}
