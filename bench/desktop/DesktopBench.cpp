// Key sounds as a user has them, side by side in one run: each program runs on a private Xvfb
// with a tray host (trayer) and a private PulseAudio server, keys go in through XTEST, and the
// null sink's monitor is recorded. For Plinka (the built application with its tray and default
// theme), bucklespring (when installed) and a bare XInput 2 + SDL2 click: key-to-sound latency
// p50 and p99, the first key after a long silence, idle CPU (the program's threads, and the
// sound server's) and resident memory.
//
// Usage: plinka_desktop_bench [--keys N] [--silence SECONDS] [--idle SECONDS]
//                             [--also LABEL BUNDLE]...
//   --keys     key presses timed per program (100)
//   --silence  the silence before the last key (60); idle cost is taken over its last
//   --idle     seconds (30)
//   --also     one more Plinka to measure, from another bundle (an earlier build)
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"
#include "MonitorRecorder.h"
#include "PlinkaSession.h"
#include "PulseServer.h"
#include "ScratchDirectory.h"
#include "XvfbServer.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

using namespace plinka::testing;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr float kAudible = 1e-3f;  // -60 dBFS: the null sink is otherwise exactly silent
constexpr unsigned kKeycode = 52;  // z
constexpr auto kHeld = 150ms;      // from press to release
constexpr auto kQuietBefore = 30ms;
constexpr auto kLongestLatency = 500ms;

struct Options {
    int keys = 100;
    int silenceSeconds = 60;
    int idleSeconds = 30;
    std::vector<std::pair<std::string, std::string>> also;  // label, bundle
};

struct Result {
    std::string label;
    std::vector<double> latencies;  // ms
    int sent = 0;
    int busy = 0;  // presses skipped: something still sounded just before
    std::optional<double> afterSilence;
    double idleCpu = 0;    // percent of one core
    double serverCpu = 0;  // the sound server's, over the same time
    long rssKb = 0;
    long rssFileKb = 0;
    std::string failure;
};

// CPU time of every thread of the process so far, from the scheduler's own accounting.
double cpuSeconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double seconds = 0;
    if (DIR* directory = ::opendir(tasks.c_str())) {
        while (const dirent* entry = ::readdir(directory)) {
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double nanoseconds = 0;
            if (entry->d_name[0] != '.' && stat >> nanoseconds) {
                seconds += nanoseconds / 1e9;
            }
        }
        ::closedir(directory);
    }
    return seconds;
}

long statusKb(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stol(line.substr(field.size() + 1));
        }
    }
    return -1;
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5)];
}

// Keys through XTEST on one connection, timed when the request leaves for the server.
class Keyboard {
  public:
    explicit Keyboard(const std::string& display) : display_(XOpenDisplay(display.c_str())) {}
    ~Keyboard() {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;

    bool open() const { return display_ != nullptr; }
    Clock::time_point send(bool down) {
        XTestFakeKeyEvent(display_, kKeycode, down ? True : False, CurrentTime);
        const auto sent = Clock::now();
        XFlush(display_);
        return sent;
    }
    // A press, held, released; when the press was sent.
    Clock::time_point tap() {
        const auto pressed = send(true);
        std::this_thread::sleep_for(kHeld);
        send(false);
        return pressed;
    }

  private:
    Display* display_;
};

enum class Heard { Sound, Nothing, Busy };

// The onset of the first sound after the press, from the monitor: its latency in ms.
Heard latencyOf(const MonitorRecorder& recorder, Clock::time_point pressed, double* latency) {
    const auto quietFrom = recorder.frameAt(pressed - kQuietBefore);
    const auto from = recorder.frameAt(pressed);
    const auto to = recorder.frameAt(pressed + kLongestLatency);
    if (!quietFrom || !from || !to) {
        return Heard::Nothing;
    }
    const std::vector<float> mix = recorder.samples();
    auto audible = [&mix](size_t frame) {
        return std::max(std::fabs(mix[2 * frame]), std::fabs(mix[2 * frame + 1])) > kAudible;
    };
    for (size_t frame = *quietFrom; frame < *from && 2 * frame + 1 < mix.size(); ++frame) {
        if (audible(frame)) {
            return Heard::Busy;
        }
    }
    for (size_t frame = *from; frame < *to && 2 * frame + 1 < mix.size(); ++frame) {
        if (audible(frame)) {
            const auto onset = recorder.timeOfFrame(frame);
            if (!onset) {
                return Heard::Nothing;
            }
            *latency = std::chrono::duration<double, std::milli>(*onset - pressed).count();
            return Heard::Sound;
        }
    }
    return Heard::Nothing;
}

// Waits until the recording reaches past the press's window.
void waitForRecording(const MonitorRecorder& recorder, Clock::time_point pressed) {
    const auto deadline = Clock::now() + 5s;
    while (!recorder.frameAt(pressed + kLongestLatency + 100ms) ||
           *recorder.frameAt(pressed + kLongestLatency + 100ms) >= recorder.frames()) {
        if (Clock::now() > deadline) {
            return;
        }
        std::this_thread::sleep_for(20ms);
    }
}

class Bench {
  public:
    Bench(const Options& options, const XvfbServer& x, const MonitorRecorder& recorder,
          pid_t serverPid)
        : options_(options), keyboard_(x.display()), recorder_(recorder), serverPid_(serverPid) {}

    Result measure(const std::string& label,
                   const std::function<std::unique_ptr<ChildProcess>()>& start) {
        Result result;
        result.label = label;
        std::fprintf(stderr, "%s: starting\n", label.c_str());
        const std::unique_ptr<ChildProcess> program = start();
        if (!program || !keyboard_.open()) {
            result.failure = "did not start";
            return result;
        }
        if (!becomesReady()) {
            result.failure = "no sound within 30 s of typing: " + program->output();
            return result;
        }
        std::fprintf(stderr, "%s: %d keys\n", label.c_str(), options_.keys);
        std::mt19937 random(7);
        // The next press once the release sound of even a slow program is over.
        std::uniform_int_distribution<int> pause(650, 800);
        std::vector<Clock::time_point> presses;
        for (int key = 0; key < options_.keys; ++key) {
            presses.push_back(keyboard_.tap());
            std::this_thread::sleep_for(std::chrono::milliseconds(pause(random)));
        }
        waitForRecording(recorder_, presses.back());
        for (const auto pressed : presses) {
            double latency = 0;
            ++result.sent;
            switch (latencyOf(recorder_, pressed, &latency)) {
                case Heard::Sound:
                    result.latencies.push_back(latency);
                    break;
                case Heard::Busy:
                    ++result.busy;
                    break;
                case Heard::Nothing:
                    break;
            }
        }

        std::fprintf(stderr, "%s: %d s of silence\n", label.c_str(), options_.silenceSeconds);
        std::this_thread::sleep_for(
            std::chrono::seconds(options_.silenceSeconds - options_.idleSeconds));
        const double cpuBefore = cpuSeconds(program->pid());
        const double serverBefore = cpuSeconds(serverPid_);
        const auto idleFrom = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(options_.idleSeconds));
        const double wall = std::chrono::duration<double>(Clock::now() - idleFrom).count();
        result.idleCpu = 100 * (cpuSeconds(program->pid()) - cpuBefore) / wall;
        result.serverCpu = 100 * (cpuSeconds(serverPid_) - serverBefore) / wall;
        result.rssKb = statusKb(program->pid(), "VmRSS");
        result.rssFileKb = statusKb(program->pid(), "RssFile");

        const auto pressed = keyboard_.tap();
        waitForRecording(recorder_, pressed);
        double latency = 0;
        if (latencyOf(recorder_, pressed, &latency) == Heard::Sound) {
            result.afterSilence = latency;
        }
        std::this_thread::sleep_for(500ms);  // its release sound
        return result;
    }

  private:
    // Types until a key is heard: the program listens and its sounds are loaded.
    bool becomesReady() {
        const auto deadline = Clock::now() + 30s;
        while (Clock::now() < deadline) {
            const auto pressed = keyboard_.tap();
            std::this_thread::sleep_for(600ms);
            waitForRecording(recorder_, pressed);
            double latency = 0;
            if (latencyOf(recorder_, pressed, &latency) == Heard::Sound) {
                std::this_thread::sleep_for(1s);  // whatever start-up still does
                return true;
            }
        }
        return false;
    }

    const Options& options_;
    Keyboard keyboard_;
    const MonitorRecorder& recorder_;
    pid_t serverPid_;
};

void printTable(const std::vector<Result>& results, const Options& options) {
    std::printf(
        "| program | key-to-sound p50 | p99 | first key after %d s of silence | idle CPU "
        "(%d s, one core) | sound server's CPU meanwhile | RSS (file-backed) | keys "
        "heard |\n",
        options.silenceSeconds, options.idleSeconds);
    std::printf("|---|---|---|---|---|---|---|---|\n");
    for (const Result& result : results) {
        if (!result.failure.empty()) {
            std::printf("| %s | %s | | | | | | |\n", result.label.c_str(), result.failure.c_str());
            continue;
        }
        auto ms = [](std::optional<double> value) {
            char text[32] = "not heard";
            if (value) {
                std::snprintf(text, sizeof text, "%.1f ms", *value);
            }
            return std::string(text);
        };
        const bool any = !result.latencies.empty();
        std::printf(
            "| %s | %s | %s | %s | %.2f %% | %.2f %% | %.1f MB (%.1f MB) | %zu of %d |\n",
            result.label.c_str(),
            ms(any ? std::optional(percentile(result.latencies, 0.5)) : std::nullopt).c_str(),
            ms(any ? std::optional(percentile(result.latencies, 0.99)) : std::nullopt).c_str(),
            ms(result.afterSilence).c_str(), result.idleCpu, result.serverCpu,
            static_cast<double>(result.rssKb) / 1024, static_cast<double>(result.rssFileKb) / 1024,
            result.latencies.size(), result.sent - result.busy);
    }
}

Options parse(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--keys" && i + 1 < argc) {
            options.keys = std::atoi(argv[++i]);
        } else if (argument == "--silence" && i + 1 < argc) {
            options.silenceSeconds = std::atoi(argv[++i]);
        } else if (argument == "--idle" && i + 1 < argc) {
            options.idleSeconds = std::atoi(argv[++i]);
        } else if (argument == "--also" && i + 2 < argc) {
            options.also.emplace_back(argv[i + 1], argv[i + 2]);
            i += 2;
        } else {
            std::fprintf(stderr, "unknown argument %s\n", argument.c_str());
            std::exit(2);
        }
    }
    options.idleSeconds = std::clamp(options.idleSeconds, 1, std::max(options.silenceSeconds, 1));
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parse(argc, argv);
    ScratchDirectory scratch;
    XvfbServer x;
    PulseServer pulse(scratch.file("pulse"));
    if (!x.running() || !pulse.running()) {
        std::fprintf(stderr, "needs Xvfb and pulseaudio\n");
        return 1;
    }
    ChildProcess::Options trayOptions;
    trayOptions.arguments = {"--edge",  "top", "--align",      "left",  "--widthtype", "pixel",
                             "--width", "96",  "--heighttype", "pixel", "--height",    "48"};
    trayOptions.environment = {{"DISPLAY", x.display()}};
    trayOptions.mergeErrors = true;
    const std::string trayer = programPath("trayer");
    const auto tray =
        trayer.empty() ? nullptr : std::make_unique<ChildProcess>(trayer, trayOptions);
    if (!tray || !runOnDisplay(x.display(),
                               {"sh", "-c",
                                "xdotool search --sync --onlyvisible --class trayer >/dev/null"})) {
        std::fprintf(stderr, "needs trayer and xdotool for Plinka's tray\n");
        return 1;
    }
    // Large fragments: the recorder must not hold the sink's latency down for the programs.
    MonitorRecorder recorder(pulse.address(), PulseServer::kSink, 4800);
    if (!recorder.recording()) {
        std::fprintf(stderr, "cannot record the null sink\n");
        return 1;
    }
    const std::vector<std::pair<std::string, std::string>> environment = {
        {"DISPLAY", x.display()},
        {"PULSE_SERVER", pulse.address()},
        {"HOME", scratch.file("home")},
        {"XDG_RUNTIME_DIR", scratch.file("runtime")},
    };
    auto run = [&](const std::string& program, const std::vector<std::string>& arguments) {
        ChildProcess::Options childOptions;
        childOptions.arguments = arguments;
        childOptions.environment = environment;
        childOptions.mergeErrors = true;
        return std::make_unique<ChildProcess>(program, childOptions);
    };

    Bench bench(options, x, recorder, pulse.pids().front());
    std::vector<Result> results;
    std::vector<std::pair<std::string, std::string>> plinkas{{"Plinka", ""}};
    plinkas.insert(plinkas.end(), options.also.begin(), options.also.end());
    std::vector<std::unique_ptr<PlinkaSession>> sessions;
    for (const auto& [label, bundle] : plinkas) {
        sessions.push_back(std::make_unique<PlinkaSession>(x.display(), bundle));
        PlinkaSession& session = *sessions.back();
        results.push_back(bench.measure(label, [&session, &pulse] {
            // Through the sound server: SDL_AUDIODRIVER names it rather than the disk driver.
            return session.start(
                {}, {{"SDL_AUDIODRIVER", "pulseaudio"}, {"PULSE_SERVER", pulse.address()}});
        }));
    }
    // Debian installs it among the games, which are not always on the path.
    std::string buckle = programPath("buckle");
    if (buckle.empty() && ::access("/usr/games/buckle", X_OK) == 0) {
        buckle = "/usr/games/buckle";
    }
    if (!buckle.empty()) {
        results.push_back(bench.measure("bucklespring", [&] { return run(buckle, {}); }));
    } else {
        Result missing;
        missing.label = "bucklespring";
        missing.failure = "not installed (apt-get install bucklespring)";
        results.push_back(missing);
    }
    results.push_back(bench.measure("bare XInput 2 + SDL2 click, 256 frames",
                                    [&] { return run(PLINKA_BARE_CLICK, {}); }));
    if (recorder.overflowed()) {
        std::fprintf(stderr, "warning: the recorder fell behind; latencies may be off\n");
    }
    printTable(results, options);
    return 0;
}
