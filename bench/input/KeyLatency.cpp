// From a key event reaching the X server to the first mixed sample of its sound, through the
// whole key path: the XInput 2 tap on its thread, the hand-off to the main thread, the theme,
// and the mixer in the device callback (SDL's disk driver, paced like a device). The keys go
// in through XTEST on a private Xvfb; the desktop around the application controller is doubles.
// Usage: plinka_key_latency [keys] [theme (Mechanical)]
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>
#include <vector>

#include "XvfbServer.h"
#include "app/AppController.h"
#include "bench/Percentile.h"
#include "doubles/FakeDesktop.h"
#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/audio/AudioEngine.h"
#include "platform/linux/input/LinuxEventTapService.h"
#include "sound/AudioKeepAlive.h"
#include "sound/SoundController.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <linux/input-event-codes.h>

namespace {

using namespace plinka;
using Clock = std::chrono::steady_clock;
using plinka::bench::percentile;

// Sends the key event and waits for the mixer to start a voice after it; the latency in
// microseconds, or a negative number when no sound came within a second.
double pressOrRelease(Display* display, unsigned keycode, bool down, const audio::Mixer& mixer) {
    XTestFakeKeyEvent(display, keycode, down ? True : False, CurrentTime);
    const auto sent = Clock::now();
    XFlush(display);  // the request is on the server's socket: it has reached the server
    while (mixer.lastVoiceStart() < sent) {
        if (Clock::now() - sent > std::chrono::seconds(1)) {
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    return std::chrono::duration<double, std::micro>(mixer.lastVoiceStart() - sent).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int keys = argc > 1 ? std::atoi(argv[1]) : 300;
    ::setenv("SDL_AUDIODRIVER", "disk", 0);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    testing::XvfbServer server;
    if (!server.running()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    QCoreApplication application(argc, argv);
    LinuxPlatform::Options options;
    options.processName = "PlinkaKeyLatency";
    options.bundlePath = PLINKA_BUNDLE_DIR;
    LinuxPlatform services(options);
    Platform& platform = services.platform();
    if (!services.audioEngine().isDeviceOpen()) {
        std::fprintf(stderr, "no audio device\n");
        return 1;
    }

    LinuxEventTapService::Options tapOptions;
    tapOptions.display = server.display();
    tapOptions.forced = InputBackend::X11;
    LinuxEventTapService eventTaps(tapOptions);
    testing::FakeDesktop fakes(platform);
    DesktopServices desktop{
        eventTaps,         fakes.access,        fakes.alerts, fakes.application, fakes.statusBar,
        fakes.defaults,    fakes.processes,     fakes.urls,   fakes.settings,    fakes.loginItems,
        fakes.information, fakes.launch.chores, fakes.files,  fakes.keyNames,    fakes.soundPacks};
    AppController::initialize(platform, desktop);
    // A theme with key-up sounds: every event is measured.
    fakes.defaults.setObject(Object::string(argc > 2 ? argv[2] : "Mechanical"), "soundTheme");
    AudioKeepAlive keepAlive(platform);
    SoundController sounds(platform, keepAlive);
    AppController controller(platform, desktop, sounds);
    controller.awakeFromNib();
    controller.applicationDidFinishLaunching();

    std::vector<double> latencies;
    int lost = 0;
    std::thread typist([&] {
        Display* display = XOpenDisplay(server.display().c_str());
        const audio::Mixer& mixer = services.audioEngine().mixer();
        constexpr unsigned kA = KEY_A + 8;  // X key codes are evdev codes plus 8
        // Until the tap listens, keys go unheard; each try releases what it pressed.
        for (bool heard = false; !heard;) {
            const bool downHeard = pressOrRelease(display, kA, true, mixer) >= 0;
            heard = pressOrRelease(display, kA, false, mixer) >= 0 && downHeard;
        }
        std::mt19937 random(7);
        // Keys land anywhere in the buffer period, as typing does; far enough apart that the
        // last one's sounds have started.
        std::uniform_int_distribution<int> pause(15000, 30000);
        for (int i = 0; i < keys; ++i) {
            for (bool down : {true, false}) {
                std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
                const double latency = pressOrRelease(display, kA, down, mixer);
                if (latency < 0) {
                    ++lost;
                } else {
                    latencies.push_back(latency);
                }
            }
        }
        XCloseDisplay(display);
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    application.exec();
    typist.join();
    controller.stopEventTapThread();

    const AudioOptions& audio = services.audioEngine().options();
    const double period = 1e3 * audio.bufferFrames / audio.sampleRate;
    std::printf("key events: %zu sounded, %d lost; buffer period %.2f ms\n", latencies.size(), lost,
                period);
    if (latencies.empty()) {
        return 1;
    }
    const double p99 = percentile(latencies, 0.99) / 1e3;
    std::printf("key -> first mixed sample: p50 %.2f ms, p99 %.2f ms, max %.2f ms\n",
                percentile(latencies, 0.5) / 1e3, p99, percentile(latencies, 1.0) / 1e3);
    std::printf("goal p99 < 5 ms + one period (%.2f ms): %s\n", 5 + period,
                p99 < 5 + period ? "met" : "missed");
    return 0;
}
